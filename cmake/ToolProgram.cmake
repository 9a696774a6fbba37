# A tool program, built into the run folder beside the demo programs and the data they all read.
function(lumarq_add_tool_program name)
  add_executable(${name} ${ARGN})
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${LUMARQ_RUN_DIR})
  add_dependencies(${name} lumarq_run_data)
endfunction()
