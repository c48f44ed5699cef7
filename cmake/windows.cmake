# The Windows build: zorvex.exe, zorvexc.exe and the tests that run under Wine.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
add_compile_options(-Wall -Wextra)
add_link_options(-static -static-libgcc -static-libstdc++)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/../bin)

# libpng is built from Debian's sources by scripts/build-libpng.sh.
set(ZX_LIBPNG_PREFIX "${PROJECT_SOURCE_DIR}/build/deps/libpng" CACHE PATH "Static MinGW libpng")
list(APPEND CMAKE_FIND_ROOT_PATH ${ZX_LIBPNG_PREFIX})
set(PNG_NAMES png16 libpng16.a)
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

add_library(zx_portable STATIC ${ZX_PORTABLE_SOURCES})
target_include_directories(zx_portable PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(zx_portable PUBLIC PNG::PNG ZLIB::ZLIB)

# Everything else under src/ except the two entry points is Windows-bound.
file(GLOB_RECURSE ZX_ALL_SOURCES CONFIGURE_DEPENDS src/*.cpp)
set(ZX_WIN_SOURCES ${ZX_ALL_SOURCES})
list(REMOVE_ITEM ZX_WIN_SOURCES ${ZX_PORTABLE_SOURCES})
list(FILTER ZX_WIN_SOURCES EXCLUDE REGEX "/src/(app/main|console/)")
add_library(zx_win STATIC ${ZX_WIN_SOURCES})
target_include_directories(zx_win PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(zx_win PUBLIC zx_portable PNG::PNG ZLIB::ZLIB
  comctl32 uxtheme version ole32 oleaut32 uuid shell32 shlwapi comdlg32 gdi32 msimg32 user32 kernel32)

# String tables, generated from the catalogue's text files.
file(GLOB ZX_STRING_FILES CONFIGURE_DEPENDS src/resources/strings/*.tsv)
set(ZX_STRINGS_RC ${CMAKE_BINARY_DIR}/generated/strings.rc)
add_custom_command(OUTPUT ${ZX_STRINGS_RC}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/make_string_tables.py
          ${PROJECT_SOURCE_DIR}/src/resources/strings ${ZX_STRINGS_RC}
  DEPENDS ${ZX_STRING_FILES} ${PROJECT_SOURCE_DIR}/tools/make_string_tables.py
  COMMENT "Generating string tables")
# The module template and the artwork, generated at build time (the artwork
# with Debian's python3 and its Pillow, python3-pil).
set(ZX_TEMPLATE_RC ${CMAKE_BINARY_DIR}/generated/module_template.rc)
add_custom_command(OUTPUT ${ZX_TEMPLATE_RC} ${CMAKE_BINARY_DIR}/generated/module_template.z
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/make_module_template.py
          ${CMAKE_BINARY_DIR}/generated/module_template.z ${ZX_TEMPLATE_RC}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/make_module_template.py
  COMMENT "Generating the module template")
set(ZX_ARTWORK_RC ${CMAKE_BINARY_DIR}/generated/artwork.rc)
add_custom_command(OUTPUT ${ZX_ARTWORK_RC}
  COMMAND /usr/bin/python3 ${PROJECT_SOURCE_DIR}/tools/make_artwork.py
          ${CMAKE_BINARY_DIR}/generated/artwork ${ZX_ARTWORK_RC}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/make_artwork.py
  COMMENT "Drawing the tool bar pictures and packed icons")
set(ZX_RESOURCES ${PROJECT_SOURCE_DIR}/src/resources/zorvex.rc)
set_source_files_properties(${ZX_RESOURCES} PROPERTIES
  OBJECT_DEPENDS "${ZX_STRINGS_RC};${ZX_TEMPLATE_RC};${ZX_ARTWORK_RC};${PROJECT_SOURCE_DIR}/src/resources/zorvex.manifest")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_BINARY_DIR}/generated -I${PROJECT_SOURCE_DIR}/src/resources")
add_library(zx_resources OBJECT ${ZX_RESOURCES} ${ZX_STRINGS_RC})
add_custom_target(zx_generated_items DEPENDS ${ZX_TEMPLATE_RC} ${ZX_ARTWORK_RC})
add_dependencies(zx_resources zx_generated_items)

add_executable(zorvex WIN32 src/app/main.cpp $<TARGET_OBJECTS:zx_resources>)
target_link_libraries(zorvex PRIVATE zx_win)
target_link_options(zorvex PRIVATE -municode)

file(GLOB ZX_CONSOLE_SOURCES CONFIGURE_DEPENDS src/console/*.cpp)
add_executable(zorvexc ${ZX_CONSOLE_SOURCES} $<TARGET_OBJECTS:zx_resources>)
target_link_libraries(zorvexc PRIVATE zx_win)
target_link_options(zorvexc PRIVATE -municode)

# Benchmarks (not tests): tools/bench_*.cpp, each its own program, run by hand.
file(GLOB ZX_BENCH_SOURCES CONFIGURE_DEPENDS tools/bench_*.cpp)
foreach(source ${ZX_BENCH_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source} $<TARGET_OBJECTS:zx_resources>)
  target_link_libraries(${name} PRIVATE zx_win)
  target_link_options(${name} PRIVATE -municode)
endforeach()

# Tests: the portable unit tests and the Windows ones, in one program run under Wine.
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
file(GLOB ZX_WINE_TESTS CONFIGURE_DEPENDS tests/wine/*.cpp)
add_executable(zx_tests ${ZX_PORTABLE_TESTS} ${ZX_WINE_TESTS} $<TARGET_OBJECTS:zx_resources>)
target_include_directories(zx_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(zx_tests PRIVATE zx_win GTest::gtest)
target_compile_definitions(zx_tests PRIVATE ZX_TEST_DATA="Z:${PROJECT_SOURCE_DIR}/tests/data" ZX_SOURCE_DIR="Z:${PROJECT_SOURCE_DIR}")
# Wine takes the user's language from the Unix locale: the tests, and the
# programs they start, run as on an English (United Kingdom) system.
gtest_discover_tests(zx_tests TEST_PREFIX "wine." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "ZX_BIN=${CMAKE_BINARY_DIR}/../bin" ENVIRONMENT_MODIFICATION "LC_ALL=set:en_GB.UTF-8")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${PROJECT_SOURCE_DIR}/cmake/wine_serial_tests.cmake)

# Checks of the programs against independent tools (Python scripts).
file(GLOB ZX_TOOL_CHECKS CONFIGURE_DEPENDS tests/checks/test_*.py)
foreach(check ${ZX_TOOL_CHECKS})
  get_filename_component(name ${check} NAME_WE)
  add_test(NAME check.${name} COMMAND /usr/bin/python3 ${check})
  set_tests_properties(check.${name} PROPERTIES
    ENVIRONMENT "ZX_BIN=${CMAKE_BINARY_DIR}/../bin;ZX_ROOT=${PROJECT_SOURCE_DIR}")
endforeach()
