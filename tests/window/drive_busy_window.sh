#!/bin/sh
# Drives a real Zerova window through a long conversion under Xvfb with a window
# manager, as a user would, with the keyboard: Enter on Select, the path typed
# into the dialog, Enter on Convert. While it converts, the window must answer
# the window manager's ping within 1 s, repaint what another window covered, and
# show its progress bar advancing. Then Exit and Yes stop it: a box says so, the
# incomplete document is removed, stderr says so, and the status is 1.
#
# The sheet is a flat OpenDocument file of a few hundred bytes whose rows repeat:
# 4 columns of 1,048,575 values, 4,194,308 lines, which take about a minute to
# write here, where the watching takes a few seconds; so the conversion cannot
# end while it is watched, however busy the machine, and is stopped instead.
# (The full way to the completion box is drive_window.sh's.)
#
# usage: drive_busy_window.sh ZEROVA X_PROBE
# Exits 77 (skipped) when xvfb-run, xdotool or openbox is missing.
set -eu

needs=openbox
. "$(dirname "$0")/under_xvfb.sh"
zerova=$(realpath "$1")
probe=$(realpath "$2")

work=$(mktemp -d)
pid=
wm=
trap 'kill $pid $wm 2>/dev/null || true; rm -rf "$work"' EXIT

openbox --sm-disable >/dev/null 2>&1 &
wm=$!
"$probe" wait-wm || fail "the window manager did not start"
cell() {
  echo "<table:table-cell table:number-columns-repeated=\"4\" office:value-type=\"string\"><text:p>$1</text:p></table:table-cell>"
}
cat >"$work/input.fods" <<FODS
<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:body><office:spreadsheet><table:table table:name="Grid">
<table:table-row>$(cell label)</table:table-row>
<table:table-row table:number-rows-repeated="1048575">$(cell value)</table:table-row>
</table:table></office:spreadsheet></office:body></office:document>
FODS

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

# Start the conversion with the keyboard alone.
mkdir "$work/run"
(cd "$work/run" && exec "$zerova" 2>stderr.txt) &
pid=$!
main=$(wait_window Zerova) || fail "the window did not appear"
[ -n "$main" ] || fail "the window did not appear"
wait_focus "$main"
xdotool key Return # Select has the focus
dialog=$(wait_window Open) || fail "the file dialog did not appear"
[ -n "$dialog" ] || fail "the file dialog did not appear"
wait_focus "$dialog"
xdotool type --delay 10 "$work/input.fods"
# The completer's list, when it has come up, takes the first Enter.
for enter in 1 2; do
  xdotool key Return
  settle "$main"
  xdotool search --onlyvisible --name '^Open$' >/dev/null 2>&1 || break
  [ "$enter" -eq 1 ] || fail "the file dialog did not take the file"
done
wait_focus "$main"
xdotool key Return # Convert has the focus now
i=0
until [ -s "$work/run/xmlstructure.xml" ]; do
  i=$((i + 1))
  [ "$i" -le 600 ] || fail "the conversion did not start writing"
  sleep 0.1
done

# Watched from outside while it runs.
"$probe" ping "$main" || fail "no answer to the ping during the conversion"
"$probe" shot "$main" "$work/early.ppm" || fail "no screenshot"
# (3, 3) lies outside the frame, in the window's back colour.
"$probe" cover "$main" 3 3 ffc080 || fail "the window did not repaint after being covered"
"$probe" ping "$main" || fail "no answer to the second ping"
i=0
while "$probe" shot "$main" "$work/later.ppm" && cmp -s "$work/early.ppm" "$work/later.ppm"; do
  i=$((i + 1))
  [ "$i" -le 120 ] || fail "the window did not change in a minute"
  sleep 0.5
done
[ -z "$(xdotool search --onlyvisible --name '^Dizuzize$' 2>/dev/null)" ] ||
  fail "the conversion ended before it could be stopped; the sheet is too small"

# Exit during a conversion asks; Yes stops it, removes the incomplete document
# and says so, in a box and on stderr.
xdotool mousemove --window "$main" 296 124 click 1 # Exit
question=$(wait_window Dizuzize) || fail "Exit asked nothing"
[ -n "$question" ] || fail "Exit asked nothing"
wait_focus "$question"
xdotool key y
settle "$main"
i=0
box=
until [ -n "$box" ]; do
  i=$((i + 1))
  [ "$i" -le 200 ] || fail "no message after the stop"
  sleep 0.1
  box=$(xdotool search --onlyvisible --name '^Dizuzize$' 2>/dev/null | grep -vx "$question" | head -n 1) ||
    true
done
wait_focus "$box"
xdotool key Return
wait_end 100
[ "$status" -eq 1 ] || fail "the stopped run ended with status $status"
[ ! -e "$work/run/xmlstructure.xml" ] || fail "the incomplete document is still there"
grep -qxF "zerova: $work/run/xmlstructure.xml: the conversion was cancelled; the incomplete document was removed" \
  "$work/run/stderr.txt" || fail "stderr does not say the conversion was cancelled: $(cat "$work/run/stderr.txt")"
echo "PASS"
