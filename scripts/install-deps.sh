#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that one part of the work needs, and only
# those that are missing, so repeated runs cost a dpkg query.
#   scripts/install-deps.sh [GROUP...]     (default: every group)
# Groups: build (compile and run the program), demo (the demo in a private X
# session), package (make package), test (the test suites, benchmarks and
# fuzzers), release (a chroot of another Debian release).
# Names are the same on Debian 12, 13 and testing (and Ubuntu) where the
# releases agree; where they differ an entry lists alternatives, and the
# first one the release has is taken. An entry marked optional is installed
# where the release has it (labwc, say, came with Debian 13): without it the
# tests that need it say so and are skipped.
# Without apt and dpkg (another distribution) it lists what is needed and
# leaves the installing to you: the build then says what it still misses.
set -euo pipefail

# "name[/alternative...][?]|what it provides"; a trailing ? marks it optional.
build=(
  "cmake|CMake 3.25 or later"
  "g++|a C++20 compiler"
  "make|GNU make"
  "pkg-config|pkg-config"
  "libicu-dev|ICU (uc, i18n) headers and libraries"
  "libfast-float-dev|the fast_float header library"
  "qt6-base-dev|Qt 6 Core, Gui, Widgets and DBus development files"
  "qt6-l10n-tools|Qt 6 lrelease and lupdate (translations)"
  "qt6-wayland|Qt 6 Wayland platform plugin (running under Wayland)"
  "libxcb1-dev|xcb"
  "libxcb-xinput-dev|xcb-xinput"
  "libxcb-screensaver0-dev|xcb-screensaver (X11 idle time)"
  "libwayland-dev|libwayland-client"
  "wayland-protocols|Wayland protocol XML files"
)
demo=(
  "xvfb|Xvfb, a virtual X server"
  "openbox|openbox, an X window manager"
  "trayer/stalonetray|trayer (or stalonetray), an XEmbed system tray"
  "xdotool|xdotool"
  "xterm|xterm (demo windows)"
  "x11-utils|xprop"
  "imagemagick|ImageMagick's import (screenshots)"
  "fonts-dejavu-core|DejaVu fonts"
  "fonts-ipafont-gothic|IPA Gothic (Japanese text in the report window's screenshots)"
)
package=(
  "dpkg-dev|dpkg-shlibdeps"
  "file|file"
)
test=(
  "${demo[@]}"
  "${package[@]}"
  "libgtest-dev|GoogleTest"
  "libgmock-dev|GoogleMock"
  "libbenchmark-dev|Google Benchmark"
  "clang|clang (fuzzing)"
  "libclang-rt-dev/libclang-rt-14-dev|clang's libFuzzer and sanitizer runtimes"
  "clang-format|clang-format"
  "locales-all|compiled locales (tests in ja_JP, de_DE and others)"
  "dbus-daemon|dbus-daemon"
  "python3-dbus|Python D-Bus bindings (stand-ins for logind)"
  "python3-gi|Python GObject introspection (stand-ins)"
  "gir1.2-glib-2.0|GLib introspection data (stand-ins)"
  "libglib2.0-bin|gdbus"
  "sway|sway (wlroots tests)"
  "labwc?|labwc (wlroots tests; Debian 13 and later)"
  "wlrctl?|wlrctl, to focus windows under labwc"
  "kwin-wayland|KWin (KDE tests)"
  "mutter|mutter (GNOME tests)"
  "gnome-shell|GNOME Shell (GNOME tests)"
  "syncthing|Syncthing (several machines sharing a folder)"
  "iproute2|ip (loopback in the synchroniser test's network namespace)"
  "lintian|lintian (package checks)"
  "desktop-file-utils|desktop-file-validate (package checks)"
  "appstream|appstreamcli (package checks)"
  "man-db|man (package checks)"
)
release=(
  "debootstrap|debootstrap (a chroot of another release)"
)

groups=("$@")
((${#groups[@]})) || groups=(build package test release)
wanted=()
for group in "${groups[@]}"; do
  case $group in
    build | demo | package | test | release) ;;
    *)
      echo "install-deps.sh: unknown group '$group' (build, demo, package, test, release)" >&2
      exit 2
      ;;
  esac
  declare -n entries=$group
  wanted+=("${entries[@]}")
done

if ! command -v dpkg-query >/dev/null || ! command -v apt-get >/dev/null; then
  echo "No apt and dpkg here: install these (Debian's names, and what each provides)"
  echo "with your system's package manager, then build again:"
  for entry in "${wanted[@]}"; do
    printf '  %-26s %s\n' "${entry%%|*}" "${entry#*|}"
  done
  exit 0
fi

installed() { [[ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" == "install ok installed" ]]; }
# Whether this release's package lists have the package.
available() { grep -q 'Candidate: [^(]' <<<"$(apt-cache policy "$1" 2>/dev/null)"; }

# The entries none of whose names is installed, each once.
missing=()
declare -A seen
for entry in "${wanted[@]}"; do
  [[ -z ${seen[$entry]:-} ]] || continue
  seen[$entry]=1
  names=${entry%%|*}
  found=""
  IFS=/ read -ra alternatives <<<"${names%\?}"
  for name in "${alternatives[@]}"; do
    installed "$name" && found=1 && break
  done
  [[ -n $found ]] || missing+=("$entry")
done
((${#missing[@]})) || exit 0

sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# Another apt (an unattended upgrade, say) may hold a lock: wait for it, up
# to ten minutes. apt-get waits for dpkg's lock when told to, but not for
# the lock of its package lists.
apt_get() {
  local tries errors
  errors=$(mktemp)
  for ((tries = 0; tries < 120; tries++)); do
    if $sudo apt-get -o DPkg::Lock::Timeout=600 -qq "$@" 2>"$errors"; then
      rm -f "$errors"
      return 0
    fi
    grep -q 'Could not get lock' "$errors" || break
    ((tries > 0)) || echo "install-deps.sh: another apt is at work; waiting for it to finish" >&2
    sleep 5
  done
  cat "$errors" >&2
  rm -f "$errors"
  return 1
}

# Optional packages alone do not warrant refreshing the lists.
for entry in "${missing[@]}"; do
  if [[ "${entry%%|*}" != *\? ]]; then
    apt_get update
    break
  fi
done

picked=()
unknown=()
for entry in "${missing[@]}"; do
  names=${entry%%|*}
  IFS=/ read -ra alternatives <<<"${names%\?}"
  choice=""
  for name in "${alternatives[@]}"; do
    available "$name" && choice=$name && break
  done
  if [[ -n $choice ]]; then
    picked+=("$choice")
  elif [[ "$names" != *\? ]]; then
    unknown+=("${names} (${entry#*|})")
  fi
done
if ((${#unknown[@]})); then
  echo "install-deps.sh: this release has no package named: ${unknown[*]}" >&2
  exit 1
fi
((${#picked[@]})) || exit 0

echo "Installing missing packages: ${picked[*]}"
apt_get install -y --no-install-recommends "${picked[@]}" >/dev/null ||
  { echo "install-deps.sh: apt-get could not install: ${picked[*]}" >&2; exit 1; }
