# Building for the browser with Debian's emscripten (WebGL 2, Web Audio). Libraries and headers
# come from emscripten's own sysroot and from the dependency prefix that scripts/build-web-deps
# makes, handed in as LUMARQ_WEB_DEPS.

# CMake's try-runs (mpg123's configure checks) run their test programs in node. Node 20's own
# fetch cannot load the emitted program's file URLs ("Failed to parse URL"), so it is switched off.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/node --no-experimental-fetch)
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# try_compile projects read this file again; they need the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES LUMARQ_WEB_DEPS)
if(LUMARQ_WEB_DEPS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${LUMARQ_WEB_DEPS})
endif()
