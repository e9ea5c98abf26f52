# The device image: `cmake --install --component device` (or the package newgui built by
# `cpack -G DEB`) holds the program, its bus policy and its service unit, and nothing of the
# tests or the simulator. The simulator (component "toolsim") is the second package,
# newgui-toolsim, for development boards and VMs.
set(CPACK_PACKAGE_NAME newgui)
set(CPACK_PACKAGE_VENDOR "newgui team")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Display and operator interface of the cordless tightening tool")
set(CPACK_PACKAGE_CONTACT "newgui team <newgui@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL device toolsim)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_DEVICE_PACKAGE_NAME newgui)
set(CPACK_DEBIAN_TOOLSIM_PACKAGE_NAME newgui-toolsim)
set(CPACK_COMPONENT_TOOLSIM_DESCRIPTION "Simulated services of the cordless tightening tool, for the display on a development board or a VM")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The target architecture of a cross build (cmake/debian-cross.cmake) or the host's.
if(NG_CROSS_TRIPLET)
  execute_process(COMMAND dpkg-architecture -qDEB_HOST_ARCH -t${NG_CROSS_TRIPLET}
    OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
# Debian 12's Qt 6 runtime: the libraries the program links, and what it loads at run time:
# the platform plugins (linuxfb, eglfs, vnc, xcb), the SQLite driver and the QML modules the
# scene imports (QtQuick, QtQml with its WorkerScript and Models parts). tst_package checks
# this list against the program's libraries and the plugins it really loads.
set(NG_QT_RUNTIME_DEPENDS
  libqt6core6 libqt6gui6 libqt6widgets6 libqt6qml6 libqt6qmlmodels6 libqt6qmlworkerscript6 libqt6quick6 libqt6quickwidgets6
  libqt6dbus6 libqt6sql6 libqt6network6 libqt6opengl6
  qt6-qpa-plugins libqt6sql6-sqlite
  qml6-module-qtquick qml6-module-qtqml qml6-module-qtqml-workerscript qml6-module-qtqml-models)
list(TRANSFORM NG_QT_RUNTIME_DEPENDS APPEND " (>= 6.4)")
list(JOIN NG_QT_RUNTIME_DEPENDS ", " CPACK_DEBIAN_DEVICE_PACKAGE_DEPENDS)
string(APPEND CPACK_DEBIAN_DEVICE_PACKAGE_DEPENDS ", libc6, libstdc++6, libgcc-s1, libsqlite3-0, libfontconfig1, dbus")
# Chinese and Japanese glyphs, which the bundled font lacks (see src/app/scenefonts.cpp), and
# fontconfig's cache builder, whose trigger indexes the font when it is installed: without a
# cache fontconfig would read the 5 MB font at every start.
string(APPEND CPACK_DEBIAN_DEVICE_PACKAGE_DEPENDS ", fonts-wqy-microhei, fontconfig")
set(CPACK_DEBIAN_TOOLSIM_PACKAGE_DEPENDS
  "libqt6core6 (>= 6.4), libqt6dbus6 (>= 6.4), libqt6sql6 (>= 6.4), libqt6sql6-sqlite (>= 6.4), libc6, libstdc++6, libgcc-s1, dbus, adduser")
set(CPACK_DEBIAN_TOOLSIM_PACKAGE_CONTROL_EXTRA ${NG_TOOLSIM_MAINTAINER_SCRIPTS})
include(CPack)
