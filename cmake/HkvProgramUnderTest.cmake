# For tests and benchmarks that start the real program: where it lies, relative to their
# executable.
function(hkv_program_under_test target)
  get_target_property(test_dir ${target} BINARY_DIR)
  file(RELATIVE_PATH relpath ${test_dir} ${CMAKE_BINARY_DIR}/src/app/BrevinHotkey.exe)
  string(REPLACE "/" "\\\\" relpath "${relpath}")
  target_compile_definitions(${target} PRIVATE HKV_PROGRAM_RELPATH=L"${relpath}")
  add_dependencies(${target} BrevinHotkey)
endfunction()
