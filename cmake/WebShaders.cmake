# Derives the GLSL ES 3.00 text of every shader for the web build (cmake -P): the version line
# becomes "#version 300 es", any #extension lines stay right after it, as GLSL wants them before
# every other token, and default precisions follow. A file of the same name in OVERRIDE_DIR takes
# the place of SOURCE_DIR's (the web's contour stage). Files are written only when they change.
#   -DSOURCE_DIR=shader -DOVERRIDE_DIR=web/shader -DOUT_DIR=<run>/shader
file(MAKE_DIRECTORY ${OUT_DIR})
file(GLOB sources ${SOURCE_DIR}/*)
foreach(source ${sources})
  get_filename_component(name ${source} NAME)
  if(EXISTS ${OVERRIDE_DIR}/${name})
    set(source ${OVERRIDE_DIR}/${name})
  endif()
  file(READ ${source} text)
  if(NOT text MATCHES "^#version [^\n]*\n")
    message(FATAL_ERROR "${source}: the first line is not a #version line")
  endif()
  string(REGEX REPLACE "^#version [^\n]*\n" "" text "${text}")
  set(extensions "")
  while(text MATCHES "^(#extension [^\n]*\n)")
    string(APPEND extensions "${CMAKE_MATCH_1}")
    string(LENGTH "${CMAKE_MATCH_1}" skip)
    string(SUBSTRING "${text}" ${skip} -1 text)
  endwhile()
  # highp throughout, as desktop GL computes; the shadow map's depth needs its 16 bits.
  set(derived "#version 300 es\n${extensions}precision highp float;\nprecision highp int;\nprecision highp sampler2D;\n${text}")
  set(old "")
  if(EXISTS ${OUT_DIR}/${name})
    file(READ ${OUT_DIR}/${name} old)
  endif()
  if(NOT old STREQUAL derived)
    file(WRITE ${OUT_DIR}/${name} "${derived}")
  endif()
endforeach()
