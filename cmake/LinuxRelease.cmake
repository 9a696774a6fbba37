# The self-contained Linux release build (scripts/build-release): GLFW, Assimp with minizip and
# zlib, mpg123 and LodePNG come as static libraries from the prefix that scripts/build-deps linux
# makes, and the C++ runtime is linked in too, so the programs need only the C library, the GL and
# X libraries that a driver brings, and libasound; OpenAL is opened at run time. Included before
# the packages are looked up, so that the prefix is searched first.
if(NOT EXISTS "${LUMARQ_STATIC_DEPS}/.complete")
  message(FATAL_ERROR "LUMARQ_STATIC_DEPS=${LUMARQ_STATIC_DEPS} is not a finished build of scripts/build-deps linux")
endif()
list(PREPEND CMAKE_PREFIX_PATH ${LUMARQ_STATIC_DEPS})
# Assimp's package names minizip and zlib without a path.
link_directories(${LUMARQ_STATIC_DEPS}/lib)
# --as-needed: a library that the static ones name but nothing calls is not asked for at run time.
add_link_options(-static-libstdc++ -static-libgcc LINKER:--as-needed)
