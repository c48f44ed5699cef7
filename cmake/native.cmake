# Native build of the portable core: unit tests under ASan/UBSan, fuzz targets.
set(ZX_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_compile_options(-g -O1 ${ZX_SANITIZE} -Wall -Wextra)
add_link_options(${ZX_SANITIZE})

# The system's libpng (Debian's libpng-dev) stands in for the MinGW build.
find_package(PNG REQUIRED)

add_library(zx_portable STATIC ${ZX_PORTABLE_SOURCES})
target_include_directories(zx_portable PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(zx_portable PUBLIC PNG::PNG)

add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_executable(zx_native_tests ${ZX_PORTABLE_TESTS})
target_include_directories(zx_native_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(zx_native_tests PRIVATE zx_portable GTest::gtest_main)
target_compile_definitions(zx_native_tests PRIVATE
  ZX_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
gtest_discover_tests(zx_native_tests TEST_PREFIX "native." DISCOVERY_MODE PRE_TEST)

# Fuzz targets (clang's libFuzzer): tests/fuzz/NAME_fuzz.cpp -> NAME_fuzz.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  # The readers themselves carry the coverage instrumentation the fuzzer steers by.
  add_library(zx_portable_fuzz STATIC ${ZX_PORTABLE_SOURCES})
  target_include_directories(zx_portable_fuzz PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(zx_portable_fuzz PRIVATE -fsanitize=fuzzer-no-link)
  target_link_libraries(zx_portable_fuzz PUBLIC PNG::PNG)
  file(GLOB ZX_FUZZ_SOURCES CONFIGURE_DEPENDS tests/fuzz/*_fuzz.cpp)
  set(ZX_FUZZ_SECONDS 20 CACHE STRING "Seconds each fuzz target runs under ctest")
  foreach(source ${ZX_FUZZ_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE zx_portable_fuzz)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set(corpus ${CMAKE_BINARY_DIR}/corpus/${name})
    file(MAKE_DIRECTORY ${corpus})
    add_test(NAME fuzz.${name}
      COMMAND ${name} -max_total_time=${ZX_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048
              -print_final_stats=1 ${corpus} ${PROJECT_SOURCE_DIR}/tests/fuzz/seeds/${name})
  endforeach()
endif()
