# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack -G DEB` in a build folder (scripts/package makes
# one from a Release build). Dependencies on libraries come from the binaries
# (dpkg-shlibdeps); the list below adds what is loaded at run time instead:
# Qt's X11 platform plugin, Qt's Russian translations, the window's font, and
# the GStreamer plug-ins that the players need for the program's own files
# (base: the playing pipeline and raw video and audio conversion; good: the
# AVI and WAV readers and the PulseAudio output, which PipeWire serves too).
# The maintainer comes from cmake/Maintainer.cmake.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kadrix)
set(CPACK_PACKAGE_VENDOR "The Kadrix developers")
set(CPACK_PACKAGE_CONTACT "${KADRIX_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pictures and short clips of a region of the screen")
set(CPACK_PACKAGE_INSTALL_DIRECTORY kadrix)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KADRIX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
if(KADRIX_HOMEPAGE)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KADRIX_HOMEPAGE}")
endif()
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
# The desktop's default sound input (pactl; without it Qt's first input is
# taken), and the help page and mail handed to the desktop (xdg-open,
# xdg-email).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-user-dirs, xdg-utils, pulseaudio-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianPackageFinish.cmake)
# The long description; CPack puts the summary line above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Kadrix is a small screen-capture utility for X11 desktops with a Russian
interface. Its window doubles as a see-through capture frame: put it over a
region of the screen, and one button takes a picture of exactly that region,
records a short clip of it, or records a short sound. Files are numbered
automatically in a folder picked in the window's own file browser.
.
kadrix-tool gives scripts the same picture formats and screen grab.")

include(CPack)
