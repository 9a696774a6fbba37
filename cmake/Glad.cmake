# Generates the OpenGL 4.3 core loader with Debian's glad generator at configure time, from the
# Khronos registry files that the package ships (--reproducible: no network).
find_program(GLAD_EXECUTABLE glad REQUIRED)
set(GLAD_OUT ${CMAKE_BINARY_DIR}/glad)
if(NOT EXISTS ${GLAD_OUT}/src/gl.c)
  execute_process(
    COMMAND ${GLAD_EXECUTABLE} --api gl:core=4.3 --extensions= --out-path ${GLAD_OUT} --reproducible --quiet c
    RESULT_VARIABLE glad_result OUTPUT_QUIET ERROR_QUIET)
  if(NOT glad_result EQUAL 0 OR NOT EXISTS ${GLAD_OUT}/src/gl.c)
    message(FATAL_ERROR "glad could not generate the OpenGL loader; install python3-glad (scripts/install-deps)")
  endif()
endif()
add_library(glad_gl STATIC ${GLAD_OUT}/src/gl.c)
target_include_directories(glad_gl SYSTEM PUBLIC ${GLAD_OUT}/include)
set_target_properties(glad_gl PROPERTIES POSITION_INDEPENDENT_CODE ON)
