#!/bin/sh
# `zerova` with no file where no window can be opened: one line on stderr saying
# so, nothing on stdout, status 1. Once with no display named at all, once with
# DISPLAY naming an X server that is not there. Then zerova-window's screenshot
# mode, light and dark, which needs no display.
#
# usage: no_display.sh ZEROVA
set -eu
zerova=$1
out=$(mktemp)
trap 'rm -f "$out" "$out.png"' EXIT

# Runs zerova with the variables in $1 (none when empty) and no other display
# named; checks that it says $2 alone, and its status.
expect() {
  status=0
  said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM $1 "$zerova" 2>&1 >"$out") ||
    status=$?
  if [ "$status" -ne 1 ] || [ "$said" != "$2" ] || [ -s "$out" ]; then
    echo "FAIL: ${1:-no display}: status $status, said: $said; on stdout: $(cat "$out")" >&2
    exit 1
  fi
}

expect "" "zerova: cannot open the window: no display to show it on (DISPLAY is not set); give a FILE to convert without one"
# The first display number with no server's socket.
n=4242
while [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
expect "DISPLAY=:$n" "zerova: cannot open the window: no display at DISPLAY=:$n; give a FILE to convert without one"
for dark in "" --dark; do
  QT_QPA_PLATFORM=offscreen "$(dirname "$zerova")/zerova-window" --render "$out.png" $dark 2>/dev/null &&
    [ -s "$out.png" ] || { echo "FAIL: zerova-window --render PNG $dark" >&2; exit 1; }
done
echo "PASS"
