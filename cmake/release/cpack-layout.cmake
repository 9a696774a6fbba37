# Read by CPack once for each package generator: where each component of the Linux build goes
# (cmake/Release.cmake lists them). The tarball holds the viewer's folder; the Debian package
# spreads the components under /usr.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX /)
  set(CPACK_INSTALL_CMAKE_PROJECTS ${CPACK_LUMARQ_DEB_PROJECTS})
else()
  set(CPACK_INSTALL_CMAKE_PROJECTS ${CPACK_LUMARQ_ARCHIVE_PROJECTS})
endif()
