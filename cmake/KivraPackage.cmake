# The Debian packages, made by CPack from the two install components:
#   kivra_<version>_<arch>.deb   the game (component "game")
#   vantor_<version>_<arch>.deb  the JPEG reader plug-in and image-plugin-host ("plugin"), for
#                                image programs, which need none of the game
# The version is the project's; dependencies on shared libraries are computed from the
# programs and the plug-in by dpkg-shlibdeps; the data packages the game opens at run time are
# named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kivra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game plugin)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vorn <packages@kivra.example.org>")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://kivra.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The game. Fonts for its text, the General MIDI soundfont for its tunes, the desktop's opener
# for web addresses.
set(CPACK_DEBIAN_GAME_PACKAGE_NAME kivra)
set(CPACK_DEBIAN_GAME_PACKAGE_SECTION games)
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS
    "fonts-unifont, fonts-arphic-uming, timgm6mb-soundfont, xdg-utils")
set(CPACK_COMPONENT_GAME_DESCRIPTION
    "tile-matching puzzle game with a Simplified Chinese interface
Qarven Vorn is a single-player tile-matching puzzle game with a Simplified
Chinese interface. Pick two tiles with the same picture that can be joined
by a path of at most two bends through empty cells, and both vanish. It has
four difficulties, eleven levels with their own rules for moving the tiles,
a countdown, hints, reshuffles, prize draws, high-score tables, three tile
themes, music and sound effects.")

# The plug-in. It shows its messages through a desktop dialog tool when there is one.
set(CPACK_DEBIAN_PLUGIN_PACKAGE_NAME vantor)
set(CPACK_DEBIAN_PLUGIN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PLUGIN_PACKAGE_RECOMMENDS zenity)
set(CPACK_COMPONENT_PLUGIN_DESCRIPTION
    "JPEG reader plug-in for image programs
vantor.so reads baseline JPEG pictures for image programs that load reader
plug-ins by path, through its one export, GetImageFileInfo, with a decoder
of its own. image-plugin-host loads such a plug-in and reads pictures
through it from the command line.")
include(CPack)
