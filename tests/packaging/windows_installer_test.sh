#!/usr/bin/env bash
# zerova-VERSION-setup.exe under Wine, in a Wine prefix of its own, installing
# for the current user (/CURRENTUSER) and for all users (Wine runs programs as
# an administrator, so a plain /S does): a silent install over another, "Open
# with Zerova" for each extension, the ProgID's command, the "Apps & features"
# entry with the version, the Start-menu shortcut, a run of the installed
# zerova.exe, and of the installed window as "Open with" starts it (on a
# display, where xvfb-run and xdotool are at hand); then the silent uninstaller that entry names, which must leave
# the prefix's files and registry as they were before, the user's own keys
# among them (an extension's default program), except a file the user put in
# the program's folder, kept with the folder.
#
#   tests/packaging/windows_installer_test.sh SETUP_EXE VERSION DATA_DIR
set -u
[ $# -eq 3 ] || { echo "usage: windows_installer_test.sh SETUP_EXE VERSION DATA_DIR" >&2; exit 2; }
setup=$(readlink -f "$1") version=$2 data=$(readlink -f "$3")
t=$(mktemp -d)
export WINEPREFIX=$t/prefix WINEDEBUG=-all
# No menu entries or file types for the build machine's desktop from the prefix's.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
trap 'wineserver -k 2>/dev/null; rm -rf "$t"' EXIT
here=$(cd "$(dirname "$0")/../.." && pwd)
wine_run=$here/scripts/wine-run.sh
failures=0 mode=
fail() { failures=$((failures + 1)); echo "FAIL ($mode): $*"; }
win() { ZEROVA_WINEPREFIX=$WINEPREFIX "$wine_run" "$@"; }
reg_value() {
  win reg query "$1" "${@:2}" 2>/dev/null | tr -d '\r' | sed -n 's/^ *[^ ].*  *REG_[A-Z]*  *//p'
}
# A Windows path as the prefix's Unix one; a Windows environment variable's value.
unix() { win winepath -u "$1" 2>/dev/null | tr -d '\r'; }
folder() { win cmd /c echo "%$1%" | tr -d '\r'; }
# What is in the prefix, but Windows' own folder and temporary files (where
# the uninstaller runs from, deleted at Windows' next start).
snapshot() {
  (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -path '*/Temp/*' -prune -o -print |
    sort) >"$t/files$1"
  for hive in hkcu hklm; do
    (cd "$t" && win reg export "$hive\\Software" "$hive$1.reg" /y >/dev/null)
  done
}
mkdir -p "$t/prefix" "$t/work"

# The user's own (the first command makes the prefix): .xls opened by their
# spreadsheet program, with an "Open with" entry.
win reg add 'HKCU\Software\Classes\.xls' /ve /d Excel.Sheet.8 /f >/dev/null
win reg add 'HKCU\Software\Classes\.xls\OpenWithProgids' /v Excel.Sheet.8 /d '' /f >/dev/null
win reg add 'HKLM\Software\Classes\.csv' /ve /d Excel.CSV /f >/dev/null
wineserver -w
# Runs a command of the window's tests on a display, in this prefix: its Wine
# server, started without one, ended first. Its settings are made before the
# first look at the prefix.
on_display() {
  wineserver -k 2>/dev/null
  ZEROVA_WINDOW_WINEPREFIX=$WINEPREFIX "$here/tests/window/win32/on_display.sh" "$@"
}
on_display true >/dev/null
snapshot 0

for mode in current all; do
  if [ $mode = current ]; then
    root=HKCU dir="$(folder LOCALAPPDATA)\\Programs\\Zerova" option=/CURRENTUSER
    menu="$(folder APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs"
  else
    root=HKLM dir="$(folder ProgramFiles)\\Zerova" option=
    menu="$(folder ProgramData)\\Microsoft\\Windows\\Start Menu\\Programs"
  fi
  key="$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zerova"
  # Twice: the second over the first, as an upgrade, must forget nothing to remove.
  for install in first second; do win "$setup" /S $option || fail "the $install install: status $?"; done
  for ext in .xls .xlsx .xlsm .xlsb .ods .fods .csv; do
    win reg query "$root\\Software\\Classes\\$ext\\OpenWithProgids" /v Zerova.Workbook >/dev/null 2>&1 ||
      fail "no Open with Zerova for $ext"
  done
  [ "$(reg_value 'HKCU\Software\Classes\.xls' /ve)" = Excel.Sheet.8 ] ||
    fail "the .xls default program changed"
  [ "$(reg_value "$root\\Software\\Classes\\Zerova.Workbook\\shell\\open\\command" /ve)" = \
    "\"$dir\\zerova-window.exe\" \"%1\"" ] || fail "the ProgID's command"
  [ "$(reg_value "$key" /v DisplayVersion)" = "$version" ] || fail "Apps & features: DisplayVersion"
  [ "$(reg_value "$key" /v InstallLocation)" = "$dir" ] || fail "Apps & features: InstallLocation"
  [ "$(reg_value "$key" /v Publisher)" = "The Zerova developers" ] || fail "Apps & features: Publisher"
  grep -qaF "$dir\\zerova-window.exe" "$(unix "$menu\\Zerova.lnk")" 2>/dev/null ||
    fail "no Start-menu shortcut to zerova-window.exe"
  installed=$(unix "$dir")
  for file in zerova.exe zerova-window.exe LICENSE.txt README.txt uninstall.exe; do
    [ -f "$installed/$file" ] || fail "$file not installed"
  done

  rm -f "$t/work/xmlstructure.xml"
  (cd "$t/work" && win "$dir\\zerova.exe" -q "$data/basic/input.xls" 2>/dev/null) ||
    fail "the installed zerova.exe: status $?"
  cmp -s "$data/basic/expected.xml" "$t/work/xmlstructure.xml" ||
    fail "the installed zerova.exe's document differs"
  if [ $mode = current ]; then
    [ -f "$installed/xmlstr.xml" ] || fail "no scratch file beside the installed program"
    on_display "$here/tests/window/win32/drive_window.sh" "$installed" "$data/basic" given \
      >"$t/driven" 2>&1
    case $? in 0 | 77) ;; *) fail "the installed window: $(tail -n 2 "$t/driven")" ;; esac
  else
    echo "the user's" >"$installed/notes.txt"
  fi

  # The uninstaller as "Apps & features" runs it, silent; it copies itself away
  # and returns at once, so wait for every program of the prefix to end.
  quiet=$(reg_value "$key" /v QuietUninstallString)
  uninstaller=$(printf '%s' "$quiet" | sed -n 's/^"\(.*\)" \/S$/\1/p')
  [ "$uninstaller" = "$dir\\uninstall.exe" ] || fail "QuietUninstallString: $quiet"
  win "$uninstaller" /S || fail "the uninstaller: status $?"
  wineserver -w
  if [ $mode = all ]; then
    left=$(ls "$installed" 2>&1)
    [ "$left" = notes.txt ] || fail "the user's file and its folder not kept alone: $left"
    rm -rf "$installed"
  fi
  snapshot 1
  diff "$t/files0" "$t/files1" | sed 's/^/  /' | grep . && fail "files left or removed: see above"
  for hive in hkcu hklm; do
    cmp -s "$t/${hive}0.reg" "$t/${hive}1.reg" || fail "registry ($hive) changed: $(
      diff <(iconv -f UTF-16 "$t/${hive}0.reg") <(iconv -f UTF-16 "$t/${hive}1.reg") | head -5)"
  done
done

[ $failures -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "windows_installer: all passed"
