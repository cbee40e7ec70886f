# `cpack -G DEB` in the build folder turns what `cmake --install` installs into a Debian
# package; its library dependencies are found by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME lumora)
set(CPACK_PACKAGE_VENDOR "Corvane Software")
set(CPACK_PACKAGE_CONTACT "Corvane Software <lumora@corvane.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "new-mail notifier for the desktop tray")
set(CPACK_PACKAGE_DESCRIPTION
    "Lumora watches Maildir folders and shows new mail in an animated corner popup, with a tray icon that tells whether new or important mail waits. On Wayland without XWayland it uses desktop notifications.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The private libraries beside the plugins are ours, not another package's.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_INSTALL_PREFIX}/${LUMORA_INSTALL_PLUGINDIR})
# The sound theme gives the fallback new-mail sound; the Qt platform plugins draw on X11 and
# Wayland; xdg-utils opens messages in the desktop's handler; Qt's translations put its standard
# buttons and dialogs into the same language as ours.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "sound-theme-freedesktop, qt6-wayland, qt6-translations-l10n")
include(CPack)
