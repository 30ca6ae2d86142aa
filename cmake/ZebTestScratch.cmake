# Hermetic tests: each test registered in the calling directory gets its own settings, data and
# workbench folders under the build tree, so that running ctest directly never reads or writes
# the user's files. Call zeb_scratch_tests() at the end of a directory's CMakeLists.txt.
include_guard(GLOBAL)

function(zeb_scratch_tests)
  get_property(tests DIRECTORY PROPERTY TESTS)
  foreach(test IN LISTS tests)
    set(scratch "${CMAKE_BINARY_DIR}/test-scratch/${test}")
    file(MAKE_DIRECTORY "${scratch}/config" "${scratch}/data" "${scratch}/home")
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
      "XDG_CONFIG_HOME=${scratch}/config" "XDG_DATA_HOME=${scratch}/data" "ZEB500_HOME=${scratch}/home")
  endforeach()
endfunction()
