# The Debian package: `cpack -G DEB` in the build folder (scripts/package) makes
# norlplayer_<version>_<arch>.deb, installing under /usr. Library dependencies are computed.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME norlplayer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "NorlPlayer developers")
set(CPACK_PACKAGE_CONTACT "NorlPlayer developers <norlplayer@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compact skinnable MP3 player")
# Lines as the control file shows them: no longer than 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "NorlPlayer plays MP3 files in one small frameless window with an LED time"
       "display, a seek bar, volume and priority bars, five transport buttons and"
       "the playlist. Three skins come with it, and it keeps the last playlist from"
       "one run to the next.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://norlplayer.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The skins name these fonts; help and links open through the desktop's tools.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
# Qt loads its Wayland platform as a plugin: no library dependency names it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
