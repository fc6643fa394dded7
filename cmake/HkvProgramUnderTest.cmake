# For tests and benchmarks that start the real program: where it lies, relative to their
# executable.
function(hkv_program_under_test target)
  get_target_property(test_dir ${target} BINARY_DIR)
  set(config_dir "")
  if(CMAKE_CONFIGURATION_TYPES)
    # Multi-configuration generators (Visual Studio) put every executable into a folder named
    # after its configuration.
    set(config_dir "/$<CONFIG>")
  endif()
  file(RELATIVE_PATH relpath ${test_dir}${config_dir}
       ${CMAKE_BINARY_DIR}/src/app${config_dir}/BrevinHotkey.exe)
  string(REPLACE "/" "\\\\" relpath "${relpath}")
  target_compile_definitions(${target} PRIVATE HKV_PROGRAM_RELPATH=L"${relpath}")
  get_target_property(libs ${target} LINK_LIBRARIES)
  if(gtest IN_LIST libs)
    # Tests (not the benchmarks) fail when a copy of the program they started ended by a fault.
    target_compile_definitions(${target} PRIVATE HKV_FAIL_ON_PROGRAM_FAULT)
  endif()
  add_dependencies(${target} BrevinHotkey)
endfunction()
