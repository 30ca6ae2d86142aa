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

# The test framework's headers are most of the compile time of a test source, so every test
# program reuses one precompiled copy of them; Qt tests reuse a second one with the Qt
# headers, built with Qt's compile flags (a precompiled header must match the flags of the
# sources that use it; where it does not, the compiler reads the headers as usual).
option(ZEB_PCH "Precompile the headers shared by the test programs" ON)
# zeb_linked_qt(RESULT TARGET): "Widgets" when TARGET links Qt's widgets, directly or through
# the libraries it links; else "Core" when it links any other part of Qt; else empty.
function(zeb_linked_qt result target)
  set(pending ${target})
  set(seen "")
  set(found "")
  while(pending)
    list(POP_FRONT pending current)
    if(current IN_LIST seen OR NOT TARGET ${current})
      continue()
    endif()
    list(APPEND seen ${current})
    if(current STREQUAL "Qt6::Widgets")
      set(${result} "Widgets" PARENT_SCOPE)
      return()
    endif()
    if(current MATCHES "^Qt6?::")
      set(found "Core")
      continue()
    endif()
    get_target_property(imported ${current} IMPORTED)
    set(props INTERFACE_LINK_LIBRARIES)
    if(NOT imported)
      list(APPEND props LINK_LIBRARIES)
    endif()
    foreach(prop IN LISTS props)
      get_target_property(libs ${current} ${prop})
      if(libs)
        string(REGEX REPLACE "\\$<LINK_ONLY:([^>]*)>" "\\1" libs "${libs}")
        list(APPEND pending ${libs})
      endif()
    endforeach()
  endwhile()
  set(${result} "${found}" PARENT_SCOPE)
endfunction()

function(zeb_test_pch target kind)
  if(NOT ZEB_PCH)
    return()
  endif()
  set(owner zeb_pch_${kind})
  if(NOT TARGET ${owner})
    add_library(${owner} STATIC ${PROJECT_SOURCE_DIR}/cmake/PchAnchor.cpp)
    target_compile_options(${owner} PRIVATE ${ZEB_WARNINGS})
    target_link_libraries(${owner} PRIVATE GTest::gtest GTest::gmock)
    if(kind STREQUAL "qt")
      find_package(Qt6 REQUIRED COMPONENTS Widgets)
      target_link_libraries(${owner} PRIVATE Qt6::Widgets)
      target_compile_definitions(${owner} PRIVATE ZEB_PCH_QT)
    endif()
    target_precompile_headers(${owner} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/TestPch.h)
  endif()
  target_precompile_headers(${target} REUSE_FROM ${owner})
  if(kind STREQUAL "qt")
    target_compile_definitions(${target} PRIVATE ZEB_PCH_QT)
  endif()
  # A test whose flags differ from the owner's compiles without the precompiled copy. GCC 12
  # reports false array-bounds faults in inlined std::string copies once the headers come
  # precompiled; the sanitizer builds check the tests' bounds for real.
  target_compile_options(${target} PRIVATE -Wno-error=invalid-pch
                         $<$<CXX_COMPILER_ID:GNU>:-Wno-array-bounds -Wno-stringop-overflow -Wno-stringop-overread>)
endfunction()

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
  # A hang fails within a minute; no test program may need longer.
  if(NOT ARG_TIMEOUT OR ARG_TIMEOUT GREATER 60)
    set(ARG_TIMEOUT 60)
  endif()
  zeb_linked_qt(qt_module ${name})
  if(qt_module STREQUAL "Widgets")
    zeb_test_pch(${name} qt)
  elseif(qt_module STREQUAL "")
    zeb_test_pch(${name} plain)
  endif()
  add_test(NAME ${name} COMMAND bash ${PROJECT_SOURCE_DIR}/cmake/run-isolated.sh $<TARGET_FILE:${name}> --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABELS}"
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZEB500_SHARED_DATA=${ZEB_SHARED_DATA};ZEB500_SOURCE_DIR=${PROJECT_SOURCE_DIR};ZEB500_ASSETS=${ZEB_ASSETS_DIR};${ARG_ENV}")
  if("threads" IN_LIST ARG_LABELS)
    zeb_threads_target(${name})
  endif()
endfunction()

# zeb_add_command_test(NAME COMMAND [ARG...]): a test that runs a command line (a tool, a
# script), with folders of its own like the test programs. The command is a path or a
# generator expression such as $<TARGET_FILE:tool>.
function(zeb_add_command_test name)
  add_test(NAME ${name} COMMAND bash ${PROJECT_SOURCE_DIR}/cmake/run-isolated.sh ${ARGN})
  set_tests_properties(${name} PROPERTIES TIMEOUT 60)
endfunction()

# zeb_threads_target(TARGET...): targets that the "threads" tests need. The ThreadSanitizer
# stage builds only these (target "threads_tests", made at the end of the top-level list).
function(zeb_threads_target)
  set_property(GLOBAL APPEND PROPERTY ZEB_THREADS_TARGETS ${ARGN})
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
  set_tests_properties(${name}_seeds PROPERTIES LABELS "fuzz-seeds" TIMEOUT 60)
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
