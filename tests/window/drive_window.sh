#!/bin/sh
# Drives a real Zerova window under Xvfb as a user would: Select, type the
# fixture's path into the file dialog, Enter, Select once more (it must stay
# disabled: no dialog), Convert, dismiss the message.
# When the fixture holds password.txt, the workbook is password-protected: a wrong
# password is typed into the password dialog first, then, when the dialog asks
# again, the right one. Passes when the program exits with status 0 and leaves the
# expected document.
#
# usage: drive_window.sh ZEROVA X_PROBE FIXTURE_DIR   (FIXTURE_DIR holds input.xls,
#                                                      expected.xml, perhaps password.txt)
# Exits 77 (skipped) when xvfb-run or xdotool is missing.
set -eu

. "$(dirname "$0")/under_xvfb.sh"
zerova=$(realpath "$1")
probe=$(realpath "$2")
fixture=$(realpath "$3")

work=$(mktemp -d)
pid=
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"

# Clicks at pixel ($2, $3) of window $1's client area (the server takes the
# move before the click, so no need to wait between them).
click() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
}

# Positions are the buttons' centres: Select at (216, 48), Convert at (216, 80),
# each 161 x 25 pixels.
"$zerova" &
pid=$!
main=$(wait_window Zerova) || fail "the window did not appear"
[ -n "$main" ] || fail "the window did not appear"
click "$main" 296 60

dialog=$(wait_window Open) || fail "the file dialog did not appear"
[ -n "$dialog" ] || fail "the file dialog did not appear"
wait_focus "$dialog"
xdotool type --delay 10 "$fixture/input.xls"
# The completer's list, when it has come up, takes the first Enter; the dialog
# closes on the next.
for enter in 1 2; do
  xdotool key Return
  settle "$main"
  xdotool search --onlyvisible --name '^Open$' >/dev/null 2>&1 || break
  [ "$enter" -eq 1 ] || fail "the file dialog did not take the file"
done

# Select works once: a second click opens nothing (no window manager here, so a
# dialog would be mapped by the time the click is handled).
click "$main" 296 60
settle "$main"
if xdotool search --onlyvisible --name '^Open$' >/dev/null 2>&1; then
  fail "Select opened the file dialog a second time"
fi

click "$main" 296 92
if [ -f "$fixture/password.txt" ]; then
  "$probe" keys "$(cat "$fixture/password.txt")" || fail "could not map the password's keys"
  for password in "not the password" "$(head -n 1 "$fixture/password.txt")"; do
    asked=$(wait_window Password) || fail "no password dialog after Convert"
    [ -n "$asked" ] || fail "no password dialog after Convert"
    wait_focus "$asked"
    xdotool type --delay 10 "$password"
    xdotool key Return
    settle "$main"
    # The dialog has closed; after the wrong password a new one asks again.
    if xdotool search --onlyvisible --name '^Password$' 2>/dev/null | grep -qx "$asked"; then
      fail "the password dialog did not close"
    fi
  done
fi
box=$(wait_window Dizuzize) || fail "no message after Convert"
[ -n "$box" ] || fail "no message after Convert"
wait_focus "$box"
xdotool key Return

# The program ends once the message is dismissed.
i=0
while kill -0 "$pid" 2>/dev/null; do
  i=$((i + 1))
  [ "$i" -le 100 ] || fail "the program did not end after the message"
  sleep 0.1
done
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
cmp xmlstructure.xml "$fixture/expected.xml" || fail "xmlstructure.xml is not the expected document"
echo "PASS"
