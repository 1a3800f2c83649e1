#!/usr/bin/env bash
# Installs the Debian packages that building, testing and benchmarking need,
# and only those that are missing, so repeated runs cost a dpkg query.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libicu-dev libfast-float-dev
  qt6-base-dev
  libxcb1-dev libxcb-xinput-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  locales-all
  xvfb openbox xdotool xterm x11-utils trayer imagemagick fonts-dejavu-core
  dbus-daemon python3-dbus python3-gi gir1.2-glib-2.0 libglib2.0-bin
  libxcb-screensaver0-dev
  libwayland-dev wayland-protocols qt6-wayland
  sway kwin-wayland qdbus-qt5 mutter gnome-shell
)

missing=()
for p in "${packages[@]}"; do
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
