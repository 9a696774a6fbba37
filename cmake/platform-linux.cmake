# Linux, the native build: the developer build (scripts/build) with the asset generators, the tools
# and the tests; the self-contained release build (scripts/build-release, LUMARQ_STATIC_DEPS),
# which links static libraries; or the hardening tree (scripts/build-hardening, LUMARQ_FUZZ). The
# last two take the generated assets from a developer build.
if(LUMARQ_STATIC_DEPS)
  include(cmake/LinuxRelease.cmake)
endif()
find_package(OpenGL REQUIRED)
find_package(glfw3 3.3 REQUIRED)
# Sound goes out through OpenAL Soft, opened at run time (so only its headers are needed here);
# ALSA is linked to quiet its error handler.
find_package(PkgConfig REQUIRED)
find_package(ALSA REQUIRED)
find_path(OPENAL_INCLUDE_DIR AL/al.h REQUIRED)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
set(LUMARQ_SOUND_LIBRARIES PkgConfig::MPG123 ALSA::ALSA ${CMAKE_DL_LIBS})
include(cmake/Glad.cmake)

set(LUMARQ_PLATFORM_SOURCES
  src/assets/shader_text_desktop.cpp
  src/assets/texture_pixels_desktop.cpp
  src/gl/gl_entry_points_desktop.cpp
  src/platform/host_posix.cpp
  src/render/outline_strokes_desktop.cpp
  src/render/shadow_target_desktop.cpp
  src/sound/openal_api_linux.cpp
  src/sound/sound_output_openal.cpp)
set(LUMARQ_PLATFORM_INCLUDE_DIRS ${OPENAL_INCLUDE_DIR})
set(LUMARQ_DISPLAY_SIZES 1280x720 1280x1024 1920x1200 1920x1080)
# The tools muted music goes to OpenAL Soft's null device (tools/session).
set(LUMARQ_MUTED_SOUND null_device)

if(LUMARQ_STATIC_DEPS)
  # What a release holds: the capture tool, and the launcher that starts the build fitting the
  # monitor. The assets come from the developer build.
  set(LUMARQ_ASSETS_FROM_NATIVE ON)
  set(LUMARQ_TOOLS session capture launcher)
elseif(LUMARQ_SANITIZE OR LUMARQ_FUZZ)
  # The hardening tree (scripts/build-hardening): the capture tool and the fuzz targets on the
  # instrumented engine. The assets come from the developer build.
  set(LUMARQ_ASSETS_FROM_NATIVE ON)
  set(LUMARQ_TOOLS session capture fuzz)
else()
  # The generators make the assets; the bench, the preview and the fuzz targets measure, play and
  # test with Linux tools (valgrind, OpenAL Soft's device clock, libFuzzer).
  set(LUMARQ_ASSETS_FROM_NATIVE OFF)
  set(LUMARQ_TOOLS shaders modelgen synth session capture bench preview fuzz launcher)
  # The bench needs valgrind's headers and nlohmann-json, which playing the demo does not: a tree
  # configured only to play leaves it out (scripts/play).
  option(LUMARQ_BENCH "Build lumarq-bench and its tests" ON)
  if(NOT LUMARQ_BENCH)
    list(REMOVE_ITEM LUMARQ_TOOLS bench)
  endif()
endif()
