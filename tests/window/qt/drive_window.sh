#!/bin/sh
# Drives real Zerova windows under Xvfb with xdotool, as a user would, for what
# only a real display shows (the rest is form2_test's, offscreen): 1. Select, the
# fixture's path typed into Qt's file dialog, Enter, Convert, Enter on the message;
# 2. `zerova --from-menu FILE`: the window titled with FILE, Enter, Enter; 3. a long
# conversion started so stays responsive: Exit asks at once, No lets it write on,
# Exit and Yes stop it, the incomplete document removed, status 1. Every wait is
# for a state, bounded only to fail rather than hang.
#
# usage: drive_window.sh ZEROVA FIXTURE_DIR   (holding input.xls and expected.xml)
# Exits 77 (skipped) when xvfb-run or xdotool is missing.
set -eu
if [ "${1:-}" != --inside ]; then
  for tool in xvfb-run xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "SKIP: $tool is not installed"
      exit 77
    fi
  done
  # -noreset: the server stays as it is when its last client leaves, so the
  # window of the next part, started the moment the last one ends, does not meet
  # it resetting (under load, that window failed to open, or to be found).
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" sh "$0" --inside "$@"
fi
unset QT_QPA_PLATFORM
zerova=$(realpath "$2")
fixture=$(realpath "$3")
. "$(dirname "$0")/../drive_steps.sh"

click() { # on the button at ($2, $3) of window $1
  xdotool mousemove --window "$1" "$2" "$3" click 1
}
select_at=60 convert_at=92 exit_at=124 # the buttons' middles, x 296

# 1. From Select to the message.
mkdir "$work/1" "$work/2" "$work/3"
(cd "$work/1" && exec "$zerova") &
pid=$!
main=$(wait_window '^Zerova$') || fail "the window did not appear"
click "$main" 296 $select_at
dialog=$(wait_window '^Open$') || fail "the file dialog did not appear"
xdotool windowfocus --sync "$dialog" type --delay 10 "$fixture/input.xls"
# The completer's list, when it has come up, takes the first Enter.
keys "$dialog" Return
gone '^Open$' 30 || { keys "$dialog" Return && gone '^Open$' 100; } ||
  fail "the file dialog did not take the file"
wait_window '^input\.xls .* Zerova$' >/dev/null || fail "the title does not name the file"
click "$main" 296 $convert_at
expect_document "$work/1"

# 2. Given a file: Enter, Enter.
(cd "$work/2" && exec "$zerova" --from-menu "$fixture/input.xls") &
pid=$!
main=$(wait_window '^input\.xls .* Zerova$') || fail "the window did not open with the file"
keys "$main" Return
expect_document "$work/2"

# 3. A long conversion (write_long_workbook).
write_long_workbook "$work/long.fods"
document=$work/3/xmlstructure.xml
(cd "$work/3" && exec "$zerova" --from-menu "$work/long.fods" 2>stderr.txt) &
pid=$!
main=$(wait_window '^long\.fods .* Zerova$') || fail "the window did not open with the file"
press_exit() { click "$main" 296 $exit_at; }
stop_long_conversion n "$work/3/stderr.txt"
echo "PASS"
