# Run by cpack on the staged package (DESTDIR names the staging directory):
# Debian's copyright file and changelog belong to the package alone, so
# `cmake --install` leaves them out.
file(INSTALL ${CPACK_BRELOX_DEB_DOCS}
  DESTINATION "${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/${CPACK_PACKAGE_NAME}")
