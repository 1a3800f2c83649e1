#!/usr/bin/env bash
# Draws the tray icon, app/resources/tesuko.png: a clock face, a saturated blue
# disk with a dark rim (reads on light panels) and white hands (reads on dark
# ones), big enough in every stroke to survive scaling down to 16 px.
set -euo pipefail
out=${1:-"$(dirname "$0")/../app/resources/tesuko.png"}
convert -size 64x64 xc:none \
  -fill '#1f74e0' -stroke '#0a3878' -strokewidth 4 -draw 'circle 32,32 32,4' \
  -stroke white -strokewidth 7 \
  -draw 'stroke-linecap round line 32,33 32,15' -draw 'stroke-linecap round line 32,33 45,41' \
  -fill white -stroke none -draw 'circle 32,33 32,28' \
  -strip "PNG32:$out"
