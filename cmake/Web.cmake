# The web platform (scripts/build-web, with the toolchain cmake/emscripten-web.cmake): WebGL 2 in
# place of desktop OpenGL, emscripten's own GLFW and OpenAL (on Web Audio) in place of the
# system's, and the libraries that scripts/build-web-deps built from Debian's sources.
set(LUMARQ_PLATFORM web)
set(LUMARQ_SOUND_OPENAL ON)

# Everything is linked statically into the page's program; the static Assimp package names
# minizip and zlib without a path.
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

