# Native build: the portable core, its tests, benchmarks, tools and fuzz targets.
enable_testing()
find_package(ZLIB REQUIRED)
target_link_libraries(plenvue_core PUBLIC ZLIB::ZLIB)
if(NOT PLENVUE_FUZZ)
  include(GoogleTest)
  find_package(GTest REQUIRED)

  file(GLOB native_test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
  add_executable(plenvue_tests ${native_test_sources})
  target_link_libraries(plenvue_tests PRIVATE plenvue_core GTest::gtest GTest::gtest_main)
  target_compile_definitions(plenvue_tests PRIVATE PLENVUE_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
    PLENVUE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(plenvue_tests DISCOVERY_MODE PRE_TEST)

  find_package(benchmark QUIET)
  if(benchmark_FOUND AND NOT PLENVUE_SANITIZE)
    file(GLOB bench_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
    if(bench_sources)
      add_executable(plenvue_bench ${bench_sources})
      target_link_libraries(plenvue_bench PRIVATE plenvue_core benchmark::benchmark benchmark::benchmark_main)
      target_compile_options(plenvue_bench PRIVATE -O2)
      # libpng only as the PNG writer's reference at its default settings.
      find_package(PNG REQUIRED)
      target_link_libraries(plenvue_bench PRIVATE PNG::PNG)
      # TurboJPEG only as the JPEG writer's reference.
      target_link_libraries(plenvue_bench PRIVATE turbojpeg)
      target_compile_definitions(plenvue_bench PRIVATE PLENVUE_BENCH_DATA="${CMAKE_SOURCE_DIR}/bench/data")
    endif()
  endif()

endif()

# Each fuzz/<name>.cpp is one libFuzzer target; the test fuzz.<name> runs it for a few seconds.
set(PLENVUE_FUZZ_SECONDS 5 CACHE STRING "Seconds each fuzz target runs as a test")
if(PLENVUE_FUZZ AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  file(GLOB fuzz_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*.cpp)
  foreach(src IN LISTS fuzz_sources)
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE plenvue_core)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    # New inputs go to a scratch corpus in the build tree; the committed seeds are only read.
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/corpus/${name})
    add_test(NAME fuzz.${name}
      COMMAND ${name} -max_total_time=${PLENVUE_FUZZ_SECONDS} -rss_limit_mb=1024
              ${CMAKE_BINARY_DIR}/corpus/${name} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
  endforeach()
endif()
