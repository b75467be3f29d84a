#!/usr/bin/env bash
# Runs a Windows program under Wine, quietly and without a display unless one
# is set: the emulator of the Windows build's tests (cmake/mingw-w64.cmake).
# The Wine prefix is ZEROVA_WINEPREFIX, or one of the build's own under
# ~/.cache/zerova, made at its first use.
set -euo pipefail
export WINEPREFIX=${ZEROVA_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zerova/wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1 || true
  wineserver -w 2>/dev/null || true
fi
exec "$wine" "$@"
