#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the icons' PNG sizes from their SVGs in data/icons/hicolor: the
# application icon under apps/, the tray's recording, paused and stopped
# icons under status/. The SVGs are drawn on a 16 px grid, so the smallest
# size keeps whole-pixel edges. Needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
theme="$(cd "$(dirname "$0")/../data/icons/hicolor" && pwd)"
sizes=(16 22 24 32 48 64 128 256)

for svg in "$theme"/scalable/*/*.svg; do
  context=$(basename "$(dirname "$svg")")
  name=$(basename "$svg" .svg)
  for size in "${sizes[@]}"; do
    folder="$theme/${size}x${size}/$context"
    mkdir -p "$folder"
    rsvg-convert --width "$size" --height "$size" "$svg" --output "$folder/$name.png"
  done
done
