# 64-bit Windows, cross-built with mingw-w64 (scripts/build-windows, cmake/mingw-w64-x86_64.cmake):
# console programs linked statically, so they need no DLL but Windows' own; the libraries come
# from the prefix that scripts/build-windows-deps makes (LUMARQ_WINDOWS_DEPS), the generated
# assets from a native build.
find_package(OpenGL REQUIRED)
find_package(glfw3 3.3 REQUIRED)
# Sound goes out through WinMM (with the kernel-streaming GUIDs that name its speaker layouts).
# The static Assimp package names minizip and zlib without a path.
find_package(mpg123 REQUIRED CONFIG)
set(LUMARQ_SOUND_LIBRARIES MPG123::libmpg123 winmm ksguid)
link_directories(${LUMARQ_WINDOWS_DEPS}/lib)
add_link_options(-static -mconsole)
include(cmake/Glad.cmake)

set(LUMARQ_PLATFORM_SOURCES
  src/assets/shader_text_desktop.cpp
  src/assets/texture_pixels_desktop.cpp
  src/gl/gl_entry_points_desktop.cpp
  src/platform/host_windows.cpp
  src/render/outline_strokes_desktop.cpp
  src/render/shadow_target_desktop.cpp
  src/sound/sound_output_windows.cpp)
set(LUMARQ_PLATFORM_INCLUDE_DIRS)
set(LUMARQ_DISPLAY_SIZES 1280x720 1280x1024 1920x1200 1920x1080)
# No null audio device: the tools' muted music takes the sound layer's no-sound output.
set(LUMARQ_MUTED_SOUND silent_output)
set(LUMARQ_ASSETS_FROM_NATIVE ON)
# The capture tool (stills and sheets; videos stay with Linux, which has ffmpeg) and the launcher,
# lumarq.exe, which starts the build that fits the monitor.
set(LUMARQ_TOOLS session capture launcher)
