# The Debian package (`make package`): the installed tree of the executable with its desktop
# entry, icons, metainfo, manual page and the files Debian asks of every package.
include(GNUInstallDirs)

set(VANTOR_PACKAGE_DATA ${PROJECT_SOURCE_DIR}/data/package)
# Debian wants the changelog compressed at the highest level and without a timestamp, so the
# same sources always give the same package.
set(VANTOR_CHANGELOG ${PROJECT_BINARY_DIR}/package/changelog.gz)
set(VANTOR_MANPAGE ${PROJECT_BINARY_DIR}/package/vantor.1.gz)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
execute_process(COMMAND gzip -9nc ${VANTOR_PACKAGE_DATA}/changelog
    OUTPUT_FILE ${VANTOR_CHANGELOG} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND gzip -9nc ${VANTOR_PACKAGE_DATA}/vantor.1
    OUTPUT_FILE ${VANTOR_MANPAGE} COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${VANTOR_PACKAGE_DATA}/changelog ${VANTOR_PACKAGE_DATA}/vantor.1)
install(FILES ${VANTOR_PACKAGE_DATA}/copyright ${VANTOR_CHANGELOG}
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${VANTOR_MANPAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantor)
set(CPACK_PACKAGE_VENDOR Quorvel)
set(CPACK_PACKAGE_CONTACT "Quorvel <vantor@quorvel.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tray monitor for the Codex and Claude Code usage limits")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Vantor sits in the tray and shows how much of each five-hour and weekly
usage window of Codex and Claude Code is left. When an exhausted window
resets it sends a desktop notification and can play a short voice clip.
It only talks to the local codex executable and to the Claude usage
endpoint with the sign-in Claude Code keeps.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://quorvel.com/vantor)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The linked libraries come from dpkg-shlibdeps; what Qt loads at run time by name does not
# show up there: the QML modules the interface imports (directly and through QtQuick and
# QtQuick.Controls.Fusion), and GStreamer's playback, MP3 decoder and audio sinks behind Qt
# Multimedia. The X11 and offscreen platform plugins come with libqt6gui6; without Wayland's,
# Qt falls back to XWayland, so that one is only recommended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qml6-module-qtqml, qml6-module-qtqml-models, qml6-module-qtqml-workerscript, \
qml6-module-qtquick, qml6-module-qtquick-controls, qml6-module-qtquick-layouts, \
qml6-module-qtquick-shapes, qml6-module-qtquick-templates, qml6-module-qtquick-window, \
qml6-module-qtquick-dialogs, qml6-module-qt-labs-folderlistmodel, \
gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
# The desktop's own folder chooser comes through one of Qt's platform themes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-gtk-platformtheme | qt6-xdgdesktopportal-platformtheme")

include(CPack)
