# The release package of this build: the four demo programs, lumarq-capture, shader/, models/ and
# mp3/ and a README.txt in one folder, stripped of debug symbols, packed by CPack as
# lumarq-<version>-linux-x86_64.tar.gz or lumarq-<version>-windows-x64.zip (scripts/release).
if(WIN32)
  set(LUMARQ_PACKAGE_PLATFORM windows-x64)
  set(CPACK_GENERATOR ZIP)
  set(readme_newlines CRLF)  # for Notepad
else()
  set(LUMARQ_PACKAGE_PLATFORM linux-x86_64)
  set(CPACK_GENERATOR TGZ)
  set(readme_newlines UNIX)
  # What the programs load at run time, by Debian package, for the README: the libraries they
  # link (the C and C++ runtimes aside, which every system has) and a GL driver.
  set(LUMARQ_RUNTIME_PACKAGES "libglfw3 libassimp5 liblodepng0 libopenal1 libmpg123-0 libasound2 libgl1 libgl1-mesa-dri")
endif()

foreach(size ${LUMARQ_DISPLAY_SIZES})
  install(TARGETS lumarq-${size} RUNTIME DESTINATION .)
endforeach()
install(TARGETS lumarq-capture RUNTIME DESTINATION .)
install(DIRECTORY ${LUMARQ_RUN_DIR}/shader ${LUMARQ_RUN_DIR}/models ${LUMARQ_RUN_DIR}/mp3 DESTINATION .
  PATTERN ${LUMARQ_MODELS_STAMP_NAME} EXCLUDE)
configure_file(${CMAKE_CURRENT_LIST_DIR}/release/README-${LUMARQ_PLATFORM}.txt.in ${CMAKE_BINARY_DIR}/README.txt
  @ONLY NEWLINE_STYLE ${readme_newlines})
install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)

set(CPACK_PACKAGE_NAME lumarq)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME lumarq-${PROJECT_VERSION}-${LUMARQ_PACKAGE_PLATFORM})
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_SOURCE_DIR}/dist)
include(CPack)
