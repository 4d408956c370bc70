# The Debian package of the editor and the command-line tool (cpack -G DEB in the build
# folder), made of what `cmake --install` installs.
set(CPACK_PACKAGE_NAME quoxmapper)
set(CPACK_PACKAGE_VENDOR "Quox Mapper developers")
set(CPACK_PACKAGE_CONTACT "Quox Mapper developers <quoxmapper@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Map editor for GTA III and Vice City")
set(CPACK_PACKAGE_DESCRIPTION
    "Quox Mapper edits the maps of the PC games GTA III and Vice City: the DAT file, the IDE and IPL text files it names and the IMG archive of models and texture dictionaries, with a 3D view of the whole map. quoxmapper-cli does the same work from scripts.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://localhost/quoxmapper")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The libraries the programs link, found by dpkg-shlibdeps (Qt, OpenGL, libsquish ...).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
