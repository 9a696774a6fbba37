# The browser (scripts/build-web, cmake/emscripten-web.cmake): WebGL 2 in place of desktop OpenGL,
# emscripten's own GLFW and OpenAL (on Web Audio) in place of the system's, the libraries that
# scripts/build-web-deps built from Debian's sources (LUMARQ_WEB_DEPS), and the generated assets
# from a native build. No demo program: the page's program (tools/web) runs the demo's entry.
link_directories(${LUMARQ_WEB_DEPS}/lib)
add_library(glfw INTERFACE)
target_link_options(glfw INTERFACE -sUSE_GLFW=3)
add_library(OpenGL::GL INTERFACE IMPORTED)
target_link_options(OpenGL::GL INTERFACE -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2)
# WebGL 2's entry points are linked directly: a header stands in for the generated loader's.
add_library(glad_gl INTERFACE)
target_include_directories(glad_gl SYSTEM INTERFACE ${PROJECT_SOURCE_DIR}/src/gl/web)

# Emscripten's OpenAL ships bare headers; the sound output is written against OpenAL Soft's
# (Debian's libopenal-dev), which declare the same API with its pointer types and extensions.
set(OPENAL_INCLUDE_DIR ${CMAKE_BINARY_DIR}/openal-include)
file(MAKE_DIRECTORY ${OPENAL_INCLUDE_DIR})
if(NOT EXISTS /usr/include/AL/alext.h)
  message(FATAL_ERROR "The web build compiles against OpenAL Soft's headers: install libopenal-dev (scripts/install-deps)")
endif()
file(CREATE_LINK /usr/include/AL ${OPENAL_INCLUDE_DIR}/AL SYMBOLIC)
find_package(mpg123 REQUIRED CONFIG)
set(LUMARQ_SOUND_LIBRARIES MPG123::libmpg123 openal)

set(LUMARQ_PLATFORM_SOURCES
  src/assets/shader_text_web.cpp
  src/assets/texture_pixels_web.cpp
  src/gl/gl_entry_points_web.cpp
  src/platform/host_posix.cpp
  src/render/outline_strokes_web.cpp
  src/render/shadow_target_web.cpp
  src/sound/openal_api_web.cpp
  src/sound/sound_output_openal.cpp)
set(LUMARQ_PLATFORM_INCLUDE_DIRS ${OPENAL_INCLUDE_DIR})
set(LUMARQ_DISPLAY_SIZES)
# No null audio device in a browser: the stills' muted music takes the no-sound output.
set(LUMARQ_MUTED_SOUND silent_output)
set(LUMARQ_ASSETS_FROM_NATIVE ON)
set(LUMARQ_TOOLS session web)
