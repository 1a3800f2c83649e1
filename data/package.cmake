# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, made by CPack from what the install rules install:
# `make package` (or `cpack -G DEB` in a build folder). Its Depends come from
# the libraries the programs link (dpkg-shlibdeps).

set(TESUKO_MAINTAINER "The tesuko developers <tesuko@users.noreply.github.com>"
    CACHE STRING "The Debian package's Maintainer field")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tesuko)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TESUKO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "records which application you work in, and for how long")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_THREADS 0)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TESUKO_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/tesuko/tesuko)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Under Wayland Qt shows the menu and the report window through its Wayland
# platform plugin (else through XWayland, where there is one); Qt's own
# dialogs (the file dialog) speak the user's language with Qt's translations.
# The libraries the program links pull in neither.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The extended description; the synopsis is the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "tesuko is a tray program for Linux desktops. While recording is on, every
switch from one application to another appends one line to a CSV activity
log: when the interval began, the application, the title of its front
window, the mouse clicks and key presses in the interval, and its length in
seconds. Opening the tray menu shows the five applications with the most
time; `tesuko --top` prints the same ranking in a terminal.
.
Recording pauses while the screen is locked or the machine sleeps, and
optionally while the desk is idle. The interval in progress is written when
tesuko quits or the session ends. It watches X11 desktops, and Wayland
desktops whose compositor tells it the active window.")

include(CPack)
