# Shared build settings and the helper functions every directory uses.
include_guard(GLOBAL)

set(ZEB_WARNINGS -Wall -Wextra -Wpedantic -Werror)
set(ZEB_SANITIZER_FLAGS "")
if(ZEB_SANITIZE STREQUAL "address")
  set(ZEB_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
elseif(ZEB_SANITIZE STREQUAL "thread")
  set(ZEB_SANITIZER_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
elseif(NOT ZEB_SANITIZE STREQUAL "")
  message(FATAL_ERROR "ZEB_SANITIZE must be empty, 'address' or 'thread', not '${ZEB_SANITIZE}'")
endif()
if(ZEB_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "Fuzz targets need clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  set(ZEB_SANITIZER_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
endif()
add_compile_options(${ZEB_SANITIZER_FLAGS})
add_link_options(${ZEB_SANITIZER_FLAGS})

find_package(Threads REQUIRED)
if(ZEB_BUILD_TESTS AND NOT ZEB_FUZZ)
  find_package(GTest REQUIRED)
endif()

# zeb_add_library(NAME DIR_SOURCES... [DEPS ...] [PUBLIC_DEPS ...])
# One library per directory; the directory itself is the include root of its headers
# ("#include \"platform/Dispatcher.h\"" from the source tree root).
function(zeb_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PUBLIC_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${ZEB_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_DEPS})
endfunction()

# zeb_add_test(NAME SOURCES ... [DEPS ...] [LABELS ...] [ENV ...] [OWN_MAIN])
# A GoogleTest program registered with CTest as one test per program. Label "threads"
# marks the tests that also run under ThreadSanitizer. OWN_MAIN: the sources bring main()
# (Qt tests that need an application object).
function(zeb_add_test name)
  if(NOT ZEB_BUILD_TESTS OR ZEB_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "OWN_MAIN" "TIMEOUT" "SOURCES;DEPS;LABELS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${ZEB_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock Threads::Threads)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABELS}"
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZEB500_SHARED_DATA=${ZEB_SHARED_DATA};ZEB500_SOURCE_DIR=${PROJECT_SOURCE_DIR};ZEB500_ASSETS=${ZEB_ASSETS_DIR};${ARG_ENV}")
  if(TARGET zeb_all_tests)
    add_dependencies(zeb_all_tests ${name})
  endif()
endfunction()

# zeb_add_fuzzer(NAME SOURCES ... [DEPS ...] [CORPUS dir])
# With ZEB_FUZZ: a libFuzzer program. Otherwise: the same entry point linked with a small
# driver that replays the seed corpus, registered as a regression test, so the targets
# build everywhere and their seeds run under every sanitizer.
function(zeb_add_fuzzer name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;DEPS" ${ARGN})
  if(ZEB_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    set_property(GLOBAL APPEND PROPERTY ZEB_FUZZERS "${name}|${ARG_CORPUS}")
    if(TARGET fuzzers)
      add_dependencies(fuzzers ${name})
    endif()
    return()
  endif()
  if(NOT ZEB_BUILD_TESTS)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/cmake/FuzzReplayMain.cpp)
  target_compile_options(${name} PRIVATE ${ZEB_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  add_test(NAME ${name}_seeds COMMAND ${name} ${ARG_CORPUS})
  set_tests_properties(${name}_seeds PROPERTIES LABELS "fuzz-seeds" TIMEOUT 120)
endfunction()

# zeb_add_benchmark(NAME SOURCES ... [DEPS ...])
function(zeb_add_benchmark name)
  if(NOT ZEB_BUILD_BENCH OR ZEB_FUZZ)
    return()
  endif()
  find_package(benchmark REQUIRED)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${ZEB_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark Threads::Threads)
endfunction()

if(ZEB_FUZZ AND NOT TARGET fuzzers)
  add_custom_target(fuzzers)
endif()

# Read-only assets the workbench finds at run time (language libraries, font, documentation):
# the build tree collects them here, and the start script and the tests point ZEB500_ASSETS at it.
set(ZEB_ASSETS_DIR "${CMAKE_BINARY_DIR}/assets")

# Captured receiver data for tests: the copy kept in the project (with its licence file).
if(NOT ZEB_SHARED_DATA)
  set(ZEB_SHARED_DATA "${PROJECT_SOURCE_DIR}/data/captures")
endif()
