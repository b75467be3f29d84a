#!/bin/sh
# Renders Zerova's window, in its start state, to a PNG on Qt's offscreen
# platform (no display needed).
#
# usage: scripts/render_window.sh [BUILD_DIR [PNG]]
#   BUILD_DIR  a build tree holding zerova-window (default: build/default)
#   PNG        the image to write (default: docs/window.png)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/default}
png=${2:-$root/docs/window.png}
window=$build/zerova-window

if [ ! -x "$window" ]; then
  echo "render_window.sh: $window is not built; build the zerova-window target first" >&2
  exit 1
fi
mkdir -p "$(dirname "$png")"
QT_QPA_PLATFORM=offscreen "$window" --render "$png"
echo "wrote $png"
