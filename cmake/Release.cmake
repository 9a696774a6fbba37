# The release packages, made by CPack (scripts/release) in the builds meant for them: the zip from
# the Windows build, and the tarball and the Debian package from the self-contained Linux build
# (LUMARQ_STATIC_DEPS, cmake/LinuxRelease.cmake). Each holds the four demo programs, the launcher
# lumarq, lumarq-capture, shader/, models/ and mp3/ and a README.txt, stripped of debug symbols, named
# lumarq-<version>-windows-x64.zip, lumarq-<version>-linux-x86_64.tar.gz and
# lumarq_<version>_amd64.deb. The developer build makes none: its programs load Debian's libraries.
if(NOT WIN32 AND NOT LUMARQ_STATIC_DEPS)
  return()
endif()

# What a viewer runs and reads, in one folder: the top of the tarball and the zip, /usr/lib/lumarq
# in the Debian package.
foreach(size ${LUMARQ_DISPLAY_SIZES})
  install(TARGETS lumarq-${size} RUNTIME DESTINATION . COMPONENT programs)
endforeach()
install(TARGETS lumarq-capture RUNTIME DESTINATION . COMPONENT programs)
# The launcher beside the programs: it starts the one that fits the primary monitor.
install(TARGETS lumarq RUNTIME DESTINATION . COMPONENT programs)
install(DIRECTORY ${LUMARQ_RUN_DIR}/shader ${LUMARQ_RUN_DIR}/models ${LUMARQ_RUN_DIR}/mp3 DESTINATION .
  COMPONENT programs PATTERN ${LUMARQ_MODELS_STAMP_NAME} EXCLUDE)

set(CPACK_PACKAGE_NAME lumarq)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_SOURCE_DIR}/dist)

if(WIN32)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/release/README-windows.txt.in ${CMAKE_BINARY_DIR}/README.txt
    @ONLY NEWLINE_STYLE CRLF)  # for Notepad
  install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION . COMPONENT readme)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME lumarq-${PROJECT_VERSION}-windows-x64)
  include(CPack)
  return()
endif()

# The README states the oldest C library the programs run on: the newest GLIBC symbol version
# that they ask for, read from the linked programs, so it is written once they are built.
set(LUMARQ_RELEASE_PROGRAMS lumarq lumarq-capture)
foreach(size ${LUMARQ_DISPLAY_SIZES})
  list(APPEND LUMARQ_RELEASE_PROGRAMS lumarq-${size})
endforeach()
set(program_files)
foreach(program ${LUMARQ_RELEASE_PROGRAMS})
  list(APPEND program_files $<TARGET_FILE:${program}>)
endforeach()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/README.txt
  COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${CMAKE_CURRENT_LIST_DIR}/release/README-linux.txt.in
    -DOUTPUT=${CMAKE_BINARY_DIR}/README.txt -DOBJDUMP=${CMAKE_OBJDUMP} -DPROJECT_VERSION=${PROJECT_VERSION}
    "-DPROGRAMS=${program_files}" -P ${CMAKE_CURRENT_LIST_DIR}/release/linux-readme.cmake
  DEPENDS ${LUMARQ_RELEASE_PROGRAMS} ${CMAKE_CURRENT_LIST_DIR}/release/README-linux.txt.in
    ${CMAKE_CURRENT_LIST_DIR}/release/linux-readme.cmake
  COMMENT "Writing the release README with the oldest glibc the programs run on"
  VERBATIM COMMAND_EXPAND_LISTS)
add_custom_target(lumarq_release_readme ALL DEPENDS ${CMAKE_BINARY_DIR}/README.txt)
install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION . COMPONENT readme)

# The desktop's part of the Debian package: the launcher on the PATH, a menu entry, and an icon
# that is a still of the show, rendered by the capture tool under a virtual X server.
find_program(LUMARQ_XVFB_RUN xvfb-run REQUIRED)
set(icon_time 29240)  # the tower with a character on it, the creatures at its foot
set(icon_dir ${CMAKE_BINARY_DIR}/icon)
add_custom_command(OUTPUT ${icon_dir}/lumarq.png
  COMMAND ${CMAKE_COMMAND} -E env LIBGL_ALWAYS_SOFTWARE=1 ${LUMARQ_XVFB_RUN} -a -s "-screen 0 640x480x24"
    $<TARGET_FILE:lumarq-capture> --size 256x256 --at ${icon_time} --out ${icon_dir}
  COMMAND ${CMAKE_COMMAND} -E rename ${icon_dir}/frame-${icon_time}.png ${icon_dir}/lumarq.png
  DEPENDS lumarq-capture
  WORKING_DIRECTORY ${LUMARQ_RUN_DIR}
  COMMENT "Rendering the icon"
  VERBATIM)
add_custom_target(lumarq_icon ALL DEPENDS ${icon_dir}/lumarq.png)
add_dependencies(lumarq_icon lumarq_run_data)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/launcher-link)
file(CREATE_LINK ../lib/lumarq/lumarq ${CMAKE_BINARY_DIR}/launcher-link/lumarq SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/launcher-link/lumarq DESTINATION bin COMPONENT desktop)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/release/lumarq.desktop DESTINATION share/applications COMPONENT desktop)
install(FILES ${icon_dir}/lumarq.png DESTINATION share/icons/hicolor/256x256/apps COMPONENT desktop)

# One build, two packages: the tarball is the viewer's folder with the README; the Debian package
# puts that folder under /usr/lib/lumarq, the README with the package's documents and the desktop
# files under /usr. cmake/release/cpack-layout.cmake picks the layout for each generator.
set(CPACK_GENERATOR TGZ DEB)
set(CPACK_PACKAGE_FILE_NAME lumarq-${PROJECT_VERSION}-linux-x86_64)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/release/cpack-layout.cmake)
set(CPACK_LUMARQ_ARCHIVE_PROJECTS
  ${CMAKE_BINARY_DIR} Lumarq programs / ${CMAKE_BINARY_DIR} Lumarq readme /)
set(CPACK_LUMARQ_DEB_PROJECTS
  ${CMAKE_BINARY_DIR} Lumarq programs /usr/lib/lumarq
  ${CMAKE_BINARY_DIR} Lumarq readme /usr/share/doc/lumarq
  ${CMAKE_BINARY_DIR} Lumarq desktop /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGE_CONTACT "Lumarq maintainers <maintainers@users.noreply.c-seed-dd5ea423.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "self-running real-time 3D demo")
set(CPACK_PACKAGE_DESCRIPTION "A stage of nine models, a camera that flies a scripted path, characters
that hop to the music, and a look that changes from toon shading to
shadow-mapped textures to bump mapping, all timed to its soundtrack.
Start it from the menu, or with lumarq, which picks the build that fits the
primary monitor.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# What the programs link, by the packages that hold it (the C library, GL, X11, ALSA).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What they open at run time when it is there: OpenAL for the music, and the X extensions that
# GLFW uses for video modes, several monitors, cursors and raw mouse motion.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libopenal1, libxrandr2, libxinerama1, libxcursor1, libxi6")
include(CPack)
