#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts tesuko from a build folder. On a desktop (DISPLAY or WAYLAND_DISPLAY
# set) it runs in the foreground: Ctrl-C stops it and the interval in
# progress is written first. Without a display it runs the demo in a private
# virtual X session instead.
set -euo pipefail
build=${1:-build}
binary="$build/app/tesuko"

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  echo "Starting tesuko; its icon is in the system tray."
  echo "The log is TESUKO/log.csv in your desktop folder (~/Desktop in English)."
  echo "Ctrl-C stops tesuko (the interval in progress is written)."
  exec "$binary"
fi

echo "No DISPLAY is set, so there is no desktop to put tesuko on:"
echo "running the demo in a private virtual X session instead."
bash "$(dirname "$0")/install-deps.sh" demo
exec bash "$(dirname "$0")/demo.sh" "$build"
