# Sourced first by the drive_*.sh window tests, with the script's arguments.
#
# Outside (no --inside): exits 77 (skipped) unless xvfb-run, xdotool and each tool
# in $needs are installed, then reruns the script with --inside in a fresh Xvfb
# server, once: a test that fails now and then is fixed, not run again.
# Inside: drops --inside, makes the window open on this X server, and defines
# fail(), wait_window(), wait_focus() and settle().
#
# Input is synthetic (XTEST) and races nothing: keys are typed only into the
# window that has the keyboard focus (wait_focus), and what they did is looked
# at only once the program has handled them (settle). Every wait is for a state,
# bounded only to fail rather than hang.
if [ "${1:-}" != --inside ]; then
  for tool in xvfb-run xdotool ${needs:-}; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "SKIP: $tool is not installed"
      exit 77
    fi
  done
  exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" --inside "$@"
fi
shift
unset QT_QPA_PLATFORM

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Waits (at most 20 s) for a visible window titled exactly $1; prints its id.
wait_window() {
  timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}

# Waits (at most 20 s) until window $1 has the keyboard focus.
wait_focus() {
  tries=0
  while [ "$(xdotool getwindowfocus 2>/dev/null)" != "$1" ]; do
    tries=$((tries + 1))
    [ "$tries" -le 200 ] || fail "window $1 never got the keyboard focus"
    sleep 0.1
  done
}

# Returns once the program of window $1 has handled all input sent so far
# (x_probe sync, with the x_probe at $probe).
settle() {
  "$probe" sync "$1" || fail "the window did not answer"
}
