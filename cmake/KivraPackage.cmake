# The Debian package, made by CPack from what `cmake --install` installs:
#   cpack --config CPackConfig.cmake   ->  kivra_<version>_<arch>.deb
# The version is the project's; the dependencies on shared libraries are computed from the
# programs and the plug-in by dpkg-shlibdeps; the data packages the game opens at run time are
# named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kivra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vorn <packages@kivra.example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://kivra.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Fonts for the game's text, the General MIDI soundfont for its tunes, the desktop's opener for
# web addresses; the plug-in shows its messages through a desktop dialog tool when it has one.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-unifont, fonts-arphic-uming, timgm6mb-soundfont, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "zenity")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tile-matching puzzle game, and a JPEG reader plug-in")
# The extended description; CPack puts the summary above it and indents it, an empty line
# becoming a paragraph break.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Qarven Vorn is a single-player tile-matching puzzle game with a Simplified
Chinese interface. Pick two tiles with the same picture that can be joined
by a path of at most two bends through empty cells, and both vanish. It has
four difficulties, eleven levels with their own rules for moving the tiles,
a countdown, hints, reshuffles, prize draws, high-score tables, three tile
themes, music and sound effects.

The package also holds vantor.so, a JPEG reader plug-in for image programs
that load readers by path, and image-plugin-host, which reads pictures
through such a plug-in from the command line.")
include(CPack)
