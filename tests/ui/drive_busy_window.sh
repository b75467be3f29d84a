#!/bin/sh
# Drives a real Zerova window through a long conversion (a generated sheet of
# 65,535 rows by 4 columns) under Xvfb with a window manager, as a user would,
# with the keyboard: Enter on Select, the path typed into the dialog, Enter on
# Convert. While it converts, the window must answer the window manager's ping
# within 1 s, repaint what another window covered, and show its progress bar
# advancing (two screenshots differ); then the completion box, status 0 and the
# expected document. A second run is stopped with Exit and Yes: the incomplete
# document is removed and the program ends with status 1.
#
# usage: drive_busy_window.sh ZEROVA MAKE_TEXT_GRID X_PROBE
# Exits 77 (skipped) when xvfb-run, xdotool or openbox is missing.
set -eu

needs=openbox
. "$(dirname "$0")/under_xvfb.sh"
zerova=$(realpath "$1")
make_grid=$(realpath "$2")
probe=$(realpath "$3")

work=$(mktemp -d)
pid=
wm=
trap 'kill $pid $wm 2>/dev/null || true; rm -rf "$work"' EXIT

openbox --sm-disable >/dev/null 2>&1 &
wm=$!
"$probe" wait-wm || fail "the window manager did not start"
"$make_grid" 65535 4 "$work" || fail "could not make the sheet"

# Starts zerova in folder $1 and converts the sheet with the keyboard; sets
# $pid and $main, and returns once the document has its first lines.
start_conversion() {
  mkdir -p "$1"
  (cd "$1" && exec "$zerova" 2>stderr.txt) &
  pid=$!
  main=$(wait_window Zerova) || fail "the window did not appear"
  [ -n "$main" ] || fail "the window did not appear"
  sleep 0.5
  xdotool key Return  # Select has the focus
  dialog=$(wait_window Open) || fail "the file dialog did not appear"
  [ -n "$dialog" ] || fail "the file dialog did not appear"
  sleep 0.5
  xdotool type --delay 10 "$work/input.xls"
  sleep 0.3
  xdotool key Return
  sleep 0.5
  if xdotool search --onlyvisible --name '^Open$' >/dev/null 2>&1; then xdotool key Return; fi
  sleep 0.5
  xdotool key Return  # Convert has the focus now
  i=0
  until [ -s "$1/xmlstructure.xml" ]; do
    i=$((i + 1))
    [ "$i" -le 100 ] || fail "the conversion did not start"
    sleep 0.1
  done
}

# Waits (at most $1 tenths of a second) for the program to end; sets $status.
wait_end() {
  i=0
  while kill -0 "$pid" 2>/dev/null; do
    i=$((i + 1))
    [ "$i" -le "$1" ] || fail "the program did not end"
    sleep 0.1
  done
  status=0
  wait "$pid" || status=$?
}

# A whole conversion, watched from outside while it runs.
start_conversion "$work/full"
"$probe" ping "$main" || fail "no answer to the ping during the conversion"
"$probe" shot "$main" "$work/early.ppm" || fail "no screenshot"
sleep 1.5
"$probe" shot "$main" "$work/later.ppm" || fail "no screenshot"
cmp -s "$work/early.ppm" "$work/later.ppm" && fail "the window did not change in 1.5 s"
# (3, 3) lies outside the frame, in the window's back colour.
"$probe" cover "$main" 3 3 ffc080 || fail "the window did not repaint after being covered"
"$probe" ping "$main" || fail "no answer to the second ping"
[ -n "$(xdotool search --onlyvisible --name '^Dizuzize$' 2>/dev/null)" ] &&
  fail "the conversion ended before it could be watched; the sheet is too small"
box=$(timeout 240 xdotool search --sync --onlyvisible --name '^Dizuzize$' | head -n 1) ||
  fail "no message after the conversion"
sleep 0.5
xdotool key Return
wait_end 100
[ "$status" -eq 0 ] || fail "the full run ended with status $status"
cmp "$work/full/xmlstructure.xml" "$work/expected.xml" || fail "the document is not the expected one"

# Exit during a conversion asks; Yes stops it, removes the incomplete document and
# says so.
start_conversion "$work/cancel"
xdotool mousemove --sync --window "$main" 296 124 click 1  # Exit
question=$(wait_window Dizuzize) || fail "Exit asked nothing"
[ -n "$question" ] || fail "Exit asked nothing"
sleep 0.5
xdotool key y
# The box that says what the stop did.
sleep 1
timeout 20 xdotool search --sync --onlyvisible --name '^Dizuzize$' >/dev/null ||
  fail "no message after the stop"
sleep 0.5
xdotool key Return
wait_end 100
[ "$status" -eq 1 ] || fail "the stopped run ended with status $status"
[ ! -e "$work/cancel/xmlstructure.xml" ] || fail "the incomplete document is still there"
grep -qxF "zerova: $work/cancel/xmlstructure.xml: the conversion was cancelled; the incomplete document was removed" \
  "$work/cancel/stderr.txt" || fail "stderr does not say the conversion was cancelled: $(cat "$work/cancel/stderr.txt")"
echo "PASS"
