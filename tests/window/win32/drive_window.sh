#!/bin/sh
# Drives the Win32 window under Wine, from outside with xdotool, by keyboard as
# a user may: 1. zerova.exe with no argument opens the window, Tab moves from
# Select to Exit, Enter there ends it, writing nothing; 2. Enter on Select opens
# the system's file dialog, the fixture's path typed there and Enter, then
# Enter on Convert and on the message; 3. the window started with the file:
# Enter, Enter; 4. a long conversion: Enter on Exit, which takes the focus from
# Convert, asks at once; No lets it write on, Yes stops it, the incomplete
# document removed, status 1. The documents must be the fixture's, byte for
# byte. Every wait is for a state, bounded only to fail rather than hang.
#
# usage: on_display.sh drive_window.sh DIST FIXTURE_DIR [given]
#   DIST holds zerova.exe and zerova-window.exe, FIXTURE_DIR input.xls,
#   input.xlsx and expected.xml. With `given`, only 3., with input.xlsx (an
#   installed window, as "Open with" starts it).
# Exits 77 (skipped) when xdotool is missing.
set -eu
if ! command -v xdotool >/dev/null 2>&1; then
  echo "SKIP: xdotool is not installed"
  exit 77
fi
wine_run=$(cd "$(dirname "$0")/../../.." && pwd)/scripts/wine-run.sh
dist=$(realpath "$1")
fixture=$(realpath "$2")
. "$(dirname "$0")/../drive_steps.sh"

# Starts zerova-window.exe in the folder $1 with the arguments $2...
start() {
  folder=$1
  shift
  (cd "$folder" && exec "$wine_run" "$dist/zerova-window.exe" "$@" 2>stderr.txt) &
  pid=$!
}

mkdir "$work/1" "$work/2" "$work/3" "$work/4"
only_given=${3:-}
if [ -z "$only_given" ]; then
# 1. zerova.exe alone opens the window; Tab, Enter: Exit.
(cd "$work/1" && "$wine_run" "$dist/zerova.exe") || fail "zerova.exe with no argument: status $?"
main=$(wait_window '^Zerova$') || fail "zerova.exe did not open the window"
keys "$main" Tab Return
gone '^Zerova$' 200 || fail "Tab, Enter did not reach Exit"
[ ! -e "$work/1/xmlstructure.xml" ] || fail "Exit wrote a document"

# 2. Select: the file dialog, the file typed, Convert.
start "$work/2"
main=$(wait_window '^Zerova$') || fail "the window did not appear"
keys "$main" Return
dialog=$(wait_window '^Open$') || fail "Enter on Select did not open the file dialog"
xdotool windowfocus --sync "$dialog" type --delay 10 "$("$wine_run" winepath -w "$fixture/input.xls")"
keys "$dialog" Return
gone '^Open$' 100 || fail "the file dialog did not take the file"
main=$(wait_window '^input\.xls .* Zerova$') || fail "the title does not name the file"
keys "$main" Return
expect_document "$work/2"

fi

# 3. Given a file: Enter, Enter.
book=input.xls
[ -z "$only_given" ] || book=input.xlsx
start "$work/3" "$fixture/$book"
main=$(wait_window "^$(echo "$book" | sed 's/[.]/[.]/') .* Zerova\$") ||
  fail "the window did not open with $book in its title"
keys "$main" Return
expect_document "$work/3"
if [ -n "$only_given" ]; then
  echo "PASS"
  exit 0
fi

# 4. A long conversion (write_long_workbook).
write_long_workbook "$work/long.fods"
document=$work/4/xmlstructure.xml
start "$work/4" "$work/long.fods"
main=$(wait_window '^long\.fods .* Zerova$') || fail "the window did not open with the file"
# Enter on Exit, which takes the focus from Convert; No is the question's default.
press_exit() { keys "$main" Return; }
stop_long_conversion Return "$work/4/stderr.txt"
echo "PASS"
