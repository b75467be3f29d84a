#!/bin/sh
# Runs a command of the Win32 window's tests, whose Windows programs run
# through scripts/wine-run.sh, on a display of its own: a new Xvfb server, and
# a Wine prefix kept for these tests alone (ZEROVA_WINDOW_WINEPREFIX), whose
# processes are ended afterwards, so that none outlives the display it was
# started on. There Wine draws the windows' frames itself, as no window
# manager runs under Xvfb. ctest runs one such test at a time.
#
# usage: on_display.sh COMMAND [ARGUMENT]...
# Exits 77 (skipped) when xvfb-run is missing.
set -eu
if [ "${1:-}" != --inside ]; then
  if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "SKIP: xvfb-run is not installed"
    exit 77
  fi
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" sh "$0" --inside "$@"
fi
shift
root=$(cd "$(dirname "$0")/../../.." && pwd)
ZEROVA_WINEPREFIX=${ZEROVA_WINDOW_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zerova/wine-window}
WINEPREFIX=$ZEROVA_WINEPREFIX
export ZEROVA_WINEPREFIX WINEPREFIX
if [ ! -f "$WINEPREFIX/decorated" ]; then
  "$root/scripts/wine-run.sh" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f \
    >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/decorated"
fi
status=0
"$@" || status=$?
wineserver -k 2>/dev/null || true
exit $status
