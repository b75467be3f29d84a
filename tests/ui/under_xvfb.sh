# Sourced first by the drive_*.sh window tests, with the script's arguments.
#
# Outside (no --inside): exits 77 (skipped) unless xvfb-run, xdotool and each tool
# in $needs are installed, then reruns the script with --inside in a fresh Xvfb
# server. Synthetic input into a fresh X server can lose a race now and then (a key
# typed before a dialog's completer is ready), so a failed attempt gets a second
# one; a real fault fails both.
# Inside: drops --inside, makes the window open on this X server, and defines
# fail() and wait_window().
if [ "${1:-}" != --inside ]; then
  for tool in xvfb-run xdotool ${needs:-}; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "SKIP: $tool is not installed"
      exit 77
    fi
  done
  for attempt in 1 2; do
    if xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" --inside "$@"; then exit 0; fi
    echo "attempt $attempt failed" >&2
  done
  exit 1
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
