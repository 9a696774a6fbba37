# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the posix-threads compilers, whose
# C++ runtime has std::thread). Libraries and headers come from the mingw sysroot and from the
# dependency prefix that scripts/build-windows-deps makes, handed in as LUMARQ_WINDOWS_DEPS.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# try_compile projects read this file again; they need the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES LUMARQ_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${LUMARQ_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
