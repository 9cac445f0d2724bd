# libjpeg-turbo, static with its SIMD code: ./plenvue builds it from Debian's source package for
# each target under build/libjpeg-turbo/VERSION/TARGET (the file build/libjpeg-turbo/version names
# the current one). PLENVUE_JPEG_TURBO_DIR points elsewhere when set.
if(WIN32)
  set(jpeg_turbo_target ${MINGW_TRIPLET})
else()
  set(jpeg_turbo_target native)
endif()
set(jpeg_turbo_default "")
if(EXISTS ${CMAKE_SOURCE_DIR}/build/libjpeg-turbo/version)
  file(STRINGS ${CMAKE_SOURCE_DIR}/build/libjpeg-turbo/version jpeg_turbo_version LIMIT_COUNT 1)
  set(jpeg_turbo_default ${CMAKE_SOURCE_DIR}/build/libjpeg-turbo/${jpeg_turbo_version}/${jpeg_turbo_target})
endif()
set(PLENVUE_JPEG_TURBO_DIR "${jpeg_turbo_default}" CACHE PATH
    "libjpeg-turbo for this target: include/ and lib/ with libjpeg.a and libturbojpeg.a")
if(NOT EXISTS "${PLENVUE_JPEG_TURBO_DIR}/lib/libjpeg.a" OR NOT EXISTS "${PLENVUE_JPEG_TURBO_DIR}/include/jpeglib.h")
  message(FATAL_ERROR "libjpeg-turbo for ${jpeg_turbo_target} not found (PLENVUE_JPEG_TURBO_DIR="
                      "'${PLENVUE_JPEG_TURBO_DIR}'): './plenvue build' builds it")
endif()
add_library(jpeg_turbo STATIC IMPORTED GLOBAL)
set_target_properties(jpeg_turbo PROPERTIES
  IMPORTED_LOCATION ${PLENVUE_JPEG_TURBO_DIR}/lib/libjpeg.a
  INTERFACE_INCLUDE_DIRECTORIES ${PLENVUE_JPEG_TURBO_DIR}/include)
# TurboJPEG only as the benchmark's reference.
add_library(turbojpeg STATIC IMPORTED GLOBAL)
set_target_properties(turbojpeg PROPERTIES
  IMPORTED_LOCATION ${PLENVUE_JPEG_TURBO_DIR}/lib/libturbojpeg.a
  INTERFACE_INCLUDE_DIRECTORIES ${PLENVUE_JPEG_TURBO_DIR}/include)
