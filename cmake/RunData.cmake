# Everything the programs read at run time belongs to lumarq_run_data: the shader files, the models
# and the music, made by generators under tools/ (shaders, modelgen, synth), which add their
# outputs to it. The native build also makes the web's shader files, in LUMARQ_WEB_SHADER_DIR.
add_custom_target(lumarq_run_data ALL)
set(LUMARQ_WEB_SHADER_DIR ${CMAKE_BINARY_DIR}/shader-web)
if(NOT LUMARQ_ASSETS_FROM_NATIVE)
  return()
endif()

# The generators are programs for the build machine: a cross build copies their outputs from a
# native build of the same sources, and so do the release build and the hardening tree.
set(LUMARQ_NATIVE_RUN_DIR "" CACHE PATH "run folder of a native build, whose generated files this build copies")
set(shader_dir ${LUMARQ_NATIVE_RUN_DIR}/shader)
if(LUMARQ_PLATFORM STREQUAL web)
  set(shader_dir ${LUMARQ_NATIVE_RUN_DIR}/../shader-web)
endif()
if(NOT EXISTS "${LUMARQ_NATIVE_RUN_DIR}/models" OR NOT EXISTS "${LUMARQ_NATIVE_RUN_DIR}/mp3"
   OR NOT EXISTS "${shader_dir}")
  message(FATAL_ERROR "This build copies the shader files, models/ and mp3/ from a native build: build one "
                      "(scripts/build) and pass its run folder as -DLUMARQ_NATIVE_RUN_DIR=<build>/run")
endif()
add_custom_target(lumarq_generated_assets
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${shader_dir} ${LUMARQ_RUN_DIR}/shader
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${LUMARQ_NATIVE_RUN_DIR}/models ${LUMARQ_RUN_DIR}/models
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${LUMARQ_NATIVE_RUN_DIR}/mp3 ${LUMARQ_RUN_DIR}/mp3)
add_dependencies(lumarq_run_data lumarq_generated_assets)
