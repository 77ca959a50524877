#!/usr/bin/env bash
# Renders the icon's PNG sizes from its SVG (rsvg-convert, package librsvg2-bin).
# Run after changing the SVG and commit the result: the build takes the PNGs as
# they are, so that it needs no SVG renderer, and the window icon needs no SVG
# support in Qt.
set -euo pipefail
cd "$(dirname "$0")/hicolor"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" scalable/apps/dornvel.svg -o "${size}x${size}/apps/dornvel.png"
done
# The Windows icon (icotool, package icoutils): the sizes Windows shows, the
# largest one PNG-compressed as Windows Vista and later take it.
icotool -c -o ../windows/dornvel.ico {16x16,24x24,32x32,48x48,64x64,128x128}/apps/dornvel.png \
  -r 256x256/apps/dornvel.png
