#!/bin/sh
# Makes the Windows programs' icon from Zerova's SVG icon: the sizes Windows
# shows (16 to 48 pixels, and 256, kept as PNG inside the .ico), drawn by
# rsvg-convert (librsvg2-bin) and put together by icotool (icoutils). The
# Windows build runs it (cmake/windows_resources.cmake).
#
# usage: scripts/windows-icon.sh SVG ICO
set -eu
[ $# -eq 2 ] || { echo "usage: windows-icon.sh SVG ICO" >&2; exit 2; }
svg=$1 ico=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for size in 16 20 24 32 40 48 64 256; do
  rsvg-convert --width "$size" --height "$size" --output "$work/$size.png" "$svg"
done
icotool --create --output "$ico" "$work"/16.png "$work"/20.png "$work"/24.png "$work"/32.png \
  "$work"/40.png "$work"/48.png "$work"/64.png --raw="$work/256.png"
