#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, testing, packaging and
# benchmarking need, and only those that are missing, so repeated runs cost a
# dpkg query. Without apt and dpkg (another distribution) it lists what is
# needed, by Debian name and by what the package provides, and leaves the
# installing to you: the build then says what it still misses.
set -euo pipefail

# Debian name|what it provides
packages=(
  "cmake|CMake 3.25 or later"
  "g++|a C++20 compiler (GCC 12)"
  "make|GNU make"
  "pkg-config|pkg-config"
  "libicu-dev|ICU (uc, i18n) headers and libraries"
  "libfast-float-dev|the fast_float header library"
  "qt6-base-dev|Qt 6 Core, Gui, Widgets and DBus development files"
  "qt6-l10n-tools|Qt 6 lrelease and lupdate (translations)"
  "libxcb1-dev|xcb"
  "libxcb-xinput-dev|xcb-xinput"
  "libgtest-dev|GoogleTest"
  "libgmock-dev|GoogleMock"
  "libbenchmark-dev|Google Benchmark"
  "clang|clang (fuzzing)"
  "libclang-rt-14-dev|clang's libFuzzer and sanitizer runtimes"
  "clang-format|clang-format"
  "locales-all|compiled locales (tests in ja_JP, de_DE and others)"
  "xvfb|Xvfb, a virtual X server (tests, demo)"
  "openbox|openbox, an X window manager (tests, demo)"
  "xdotool|xdotool (tests, demo)"
  "xterm|xterm (demo windows)"
  "x11-utils|xprop (demo)"
  "trayer|trayer, a system tray (tests, demo)"
  "imagemagick|ImageMagick's import (demo screenshot)"
  "fonts-dejavu-core|DejaVu fonts"
  "dbus-daemon|dbus-daemon (tests)"
  "python3-dbus|Python D-Bus bindings (test stand-ins for logind)"
  "python3-gi|Python GObject introspection (test stand-ins)"
  "gir1.2-glib-2.0|GLib introspection data (test stand-ins)"
  "libglib2.0-bin|gdbus (tests)"
  "libxcb-screensaver0-dev|xcb-screensaver (X11 idle time)"
  "libwayland-dev|libwayland-client"
  "wayland-protocols|Wayland protocol XML files"
  "qt6-wayland|Qt 6 Wayland platform plugin"
  "sway|sway (Wayland tests)"
  "kwin-wayland|KWin (Wayland tests)"
  "qdbus-qt5|qdbus (KWin tests)"
  "mutter|mutter (GNOME tests)"
  "gnome-shell|GNOME Shell (GNOME tests)"
  "dpkg-dev|dpkg-shlibdeps (make package)"
  "file|file (make package)"
  "lintian|lintian (package checks)"
  "desktop-file-utils|desktop-file-validate (package checks)"
  "appstream|appstreamcli (package checks)"
  "man-db|man (package checks)"
)

if ! command -v dpkg-query >/dev/null || ! command -v apt-get >/dev/null; then
  echo "No apt and dpkg here: install these (Debian 12 names, and what each provides)"
  echo "with your system's package manager, then build again:"
  for entry in "${packages[@]}"; do
    printf '  %-26s %s\n' "${entry%%|*}" "${entry#*|}"
  done
  exit 0
fi

missing=()
for entry in "${packages[@]}"; do
  p=${entry%%|*}
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
