# Windows build: Plenvue.exe, Ravelin.dll, the language packages, the Windows tests.
enable_language(RC)
# Every module's .rc includes the shared version block and the generated version header.
function(plenvue_version_resource target)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/res ${CMAKE_BINARY_DIR}/generated)
endfunction()
enable_testing()
include(GoogleTest)

# zlib from MinGW's own tree, linked into the programs rather than shipped as a DLL.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
target_link_libraries(plenvue_core PUBLIC ZLIB::ZLIB)

set(win_link_options -static -static-libgcc -static-libstdc++)
set(win_libs comctl32 comdlg32 gdi32 user32 kernel32 shell32 ole32 oleaut32 uuid advapi32)

# Every Win32-only source except the entry point, so the Windows tests can link the classes.
set(win_sources)
foreach(dir IN LISTS PLENVUE_SUBSYSTEMS)
  file(GLOB dir_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*_win.cpp)
  list(APPEND win_sources ${dir_sources})
endforeach()
list(FILTER win_sources EXCLUDE REGEX "/shell/WinMain_win\\.cpp$")
add_library(plenvue_win STATIC ${win_sources})
target_link_libraries(plenvue_win PUBLIC plenvue_core ${win_libs})
target_compile_definitions(plenvue_win PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600)

add_executable(Plenvue WIN32 ${CMAKE_SOURCE_DIR}/shell/WinMain_win.cpp ${CMAKE_SOURCE_DIR}/res/Plenvue.rc)
target_link_libraries(Plenvue PRIVATE plenvue_win)
target_link_options(Plenvue PRIVATE ${win_link_options})
plenvue_version_resource(Plenvue)

# Ravelin: the mouse-hook library, undecorated stdcall exports through its .def file.
file(GLOB ravelin_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/ravelin/*.cpp)
if(ravelin_sources)
  add_library(Ravelin SHARED ${ravelin_sources} ${CMAKE_SOURCE_DIR}/ravelin/Ravelin.def ${CMAKE_SOURCE_DIR}/ravelin/Ravelin.rc)
  set_target_properties(Ravelin PROPERTIES PREFIX "" OUTPUT_NAME Ravelin)
  target_link_libraries(Ravelin PRIVATE user32 kernel32)
  target_link_options(Ravelin PRIVATE ${win_link_options} -Wl,--kill-at)
  plenvue_version_resource(Ravelin)
endif()

# Language packages: resource-only modules, no code and no entry point.
file(GLOB lang_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/lang/*.rc)
foreach(src IN LISTS lang_sources)
  get_filename_component(name ${src} NAME_WE)
  add_library(lang_${name} MODULE ${src})
  set_target_properties(lang_${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name} SUFFIX ".dll"
    LINKER_LANGUAGE C LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/Language)
  target_link_options(lang_${name} PRIVATE -nostdlib -s -Wl,-e,0 -Wl,--no-insert-timestamp)
  plenvue_version_resource(lang_${name})
  add_dependencies(Plenvue lang_${name})
endforeach()

# GoogleTest from Debian's sources, built with the cross compiler.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB win_test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
if(win_test_sources)
  add_executable(plenvue_wintests ${win_test_sources})
  # The tests drive the printer and sound APIs directly; only the shipped modules avoid importing them.
  target_link_libraries(plenvue_wintests PRIVATE plenvue_win gtest gtest_main winspool winmm)
  target_link_options(plenvue_wintests PRIVATE ${win_link_options})
  target_compile_definitions(plenvue_wintests PRIVATE PLENVUE_BIN_DIR="${CMAKE_BINARY_DIR}")
  # RavelinChild.* run only as second processes started by the Ravelin tests, never on their own.
  gtest_discover_tests(plenvue_wintests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    TEST_FILTER "-RavelinChild.*" PROPERTIES RUN_SERIAL TRUE)
endif()

# End-to-end tests drive the real program with real input; one CTest test per file, run serially.
file(GLOB e2e_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.py)
foreach(src IN LISTS e2e_tests)
  get_filename_component(name ${src} NAME_WE)
  add_test(NAME e2e.${name} COMMAND python3 ${src} -v)
  set_tests_properties(e2e.${name} PROPERTIES RUN_SERIAL TRUE TIMEOUT 600
    ENVIRONMENT "PLENVUE_BIN_DIR=${CMAKE_BINARY_DIR};PLENVUE_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endforeach()

# The end-to-end tests' helper: reads windows and screen pixels from inside the Wine session.
add_executable(pvprobe ${CMAKE_SOURCE_DIR}/tests/e2e/pvprobe.cpp)
target_link_libraries(pvprobe PRIVATE comctl32 gdi32 user32 shell32 winspool psapi)
target_link_options(pvprobe PRIVATE ${win_link_options})
add_library(pvmenu SHARED ${CMAKE_SOURCE_DIR}/tests/e2e/pvmenu.cpp)
set_target_properties(pvmenu PROPERTIES PREFIX "")
target_link_libraries(pvmenu PRIVATE user32)
target_link_options(pvmenu PRIVATE ${win_link_options})
add_dependencies(pvprobe pvmenu)

# A package with an entry point that leaves a file: the Windows tests show it never runs.
add_library(CodePackage MODULE ${CMAKE_SOURCE_DIR}/tests/win/data/CodePackage.c ${CMAKE_SOURCE_DIR}/tests/win/data/CodePackage.rc)
set_target_properties(CodePackage PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/testdata)
target_link_options(CodePackage PRIVATE -static-libgcc)
if(TARGET plenvue_wintests)
  add_dependencies(plenvue_wintests CodePackage)
endif()

# The help pages belong in the program folder; removed pages must not linger there.
file(GLOB_RECURSE help_pages CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/*)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/help/.copied
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/help
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/help ${CMAKE_BINARY_DIR}/help
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/help/.copied
  DEPENDS ${help_pages} COMMENT "Copying the help pages")
add_custom_target(help_pages ALL DEPENDS ${CMAKE_BINARY_DIR}/help/.copied)
add_dependencies(Plenvue help_pages)

# The portable zip and the installer, from the program folder as built (./plenvue package).
set(shipped_targets Plenvue Ravelin plenvue-cli help_pages)
foreach(src IN LISTS lang_sources)
  get_filename_component(name ${src} NAME_WE)
  list(APPEND shipped_targets lang_${name})
endforeach()
add_custom_target(packages
  COMMAND python3 ${CMAKE_SOURCE_DIR}/tools/package/make_packages.py ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/dist ${PROJECT_VERSION}
  VERBATIM)
add_dependencies(packages ${shipped_targets})

# Every shipped binary imports only known system DLLs and carries the project version.
add_test(NAME package.ImportTable
  COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/package/check_imports.py ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
# Where the tests run on another build (the 64-bit one, on machines that cannot start 32-bit
# programs), the shipped 32-bit program folder is checked as well.
set(PLENVUE_SHIPPED_BUILD "" CACHE PATH "Another build's program folder whose binaries the import check reads too")
if(PLENVUE_SHIPPED_BUILD)
  add_test(NAME package.ImportTableShipped
    COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/package/check_imports.py ${PLENVUE_SHIPPED_BUILD} ${PROJECT_VERSION})
endif()
