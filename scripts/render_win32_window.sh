#!/bin/sh
# Renders the Win32 window, zerova-window.exe, to PNGs under Wine on a display
# of its own (tests/window/win32/on_display.sh: Xvfb, Wine drawing the frame):
# docs/window-win32.png, the start state, and docs/window-win32-file.png, with
# book.xls chosen (tests/data/basic/input.xls under that name).
#
# usage: scripts/render_win32_window.sh [BUILD_DIR]
#   BUILD_DIR  the Windows build tree holding zerova-window.exe (default: build/windows)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build/windows}")
window=$build/zerova-window.exe
if [ ! -f "$window" ]; then
  echo "render_win32_window.sh: $window is not built; build the zerova-window target first" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root/tests/data/basic/input.xls" "$work/book.xls"
cd "$work"
render() {
  "$root/tests/window/win32/on_display.sh" "$root/scripts/wine-run.sh" "$window" --render "$@"
}
render start.png
render file.png book.xls
cp start.png "$root/docs/window-win32.png"
cp file.png "$root/docs/window-win32-file.png"
echo "wrote $root/docs/window-win32.png and $root/docs/window-win32-file.png"
