#!/usr/bin/env bash
# Checks Zerova's Debian package as a distribution would, then unpacks it into a
# scratch root (dpkg -x) and runs what it installs:
#  - lintian finds no error (what else it says is shown);
#  - it holds exactly the files a user gets (the programs, the desktop entry, the
#    icon, AppStream metadata, the man page, copyright and changelog);
#  - desktop-file-validate and appstreamcli validate (pedantic) report nothing, and
#    the man page renders with `man --warnings` without a warning;
#  - the desktop entry (MimeType=, run as `zerova --from-menu %f`) and AppStream
#    (<provides>) declare exactly the MIME types of the files Zerova reads;
#  - the package, its changelog, its AppStream release and `zerova --version` name
#    the version that project() in CMakeLists.txt sets, and so does the release
#    tag vX.Y.Z when the checkout's HEAD carries one;
#  - the installed zerova converts tests/data/basic/input.xls into that folder's
#    expected.xml, renewing its scratch file in the scratch root (no system folder),
#    and, given no file, starts the installed window (which finds no display).
#
# Usage: scripts/check-package.sh DEB
# Prints one line per check; exits 1 when any fails.
set -euo pipefail

if [ $# -ne 1 ] || [ ! -f "$1" ]; then
  echo "usage: check-package.sh DEB" >&2
  exit 2
fi
deb=$(realpath "$1")
source_root=$(cd "$(dirname "$0")/.." && pwd -P)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
pass() { echo "check-package: ok: $1"; }
fail() {
  echo "check-package: FAILED: $1" >&2
  failed=1
}

# lintian, as root, first says it would rather not run as root.
if lintian --fail-on error "$deb" >"$scratch/lintian" 2>&1; then
  pass "lintian finds no error"
else
  fail "lintian finds errors"
fi
grep -v '^running with root privileges' "$scratch/lintian" || true

expected="./usr/bin/zerova
./usr/libexec/zerova/zerova-window
./usr/share/applications/zerova.desktop
./usr/share/doc/zerova/changelog.gz
./usr/share/doc/zerova/copyright
./usr/share/icons/hicolor/scalable/apps/zerova.svg
./usr/share/man/man1/zerova.1.gz
./usr/share/metainfo/io.github.zerova.zerova.metainfo.xml"
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
if [ "$actual" = "$expected" ]; then
  pass "the package holds the $(wc -l <<<"$expected") files it should"
else
  fail "the package's files differ (- expected, + found):"
  diff <(echo "$expected") <(echo "$actual") >&2 || true
fi

root="$scratch/root"
dpkg -x "$deb" "$root"

# Each validator's whole output, which must be empty (appstreamcli: its success line alone).
# Passes `what` when `report` is `clean`, else fails showing the report.
expect_report() {
  local what=$1 report=$2 clean=$3
  if [ "$report" = "$clean" ]; then pass "$what reports nothing"; else fail "$what: $report"; fi
}
expect_report desktop-file-validate \
  "$(desktop-file-validate "$root/usr/share/applications/zerova.desktop" 2>&1)" ""
metainfo="$root/usr/share/metainfo/io.github.zerova.zerova.metainfo.xml"
expect_report "appstreamcli validate --pedantic" \
  "$(appstreamcli validate --pedantic --no-net --no-color "$metainfo" 2>&1)" \
  "✔ Validation was successful."
# Excel's .xls, .xlsx, .xlsm and .xlsb, OpenDocument's .ods and .fods, CSV and
# tab-separated text: not XML or HTML at large, which other programs open better.
mime_types="application/vnd.ms-excel
application/vnd.openxmlformats-officedocument.spreadsheetml.sheet
application/vnd.ms-excel.sheet.macroEnabled.12
application/vnd.ms-excel.sheet.binary.macroEnabled.12
application/vnd.oasis.opendocument.spreadsheet
application/vnd.oasis.opendocument.spreadsheet-flat-xml
text/csv
text/tab-separated-values"
entry="$root/usr/share/applications/zerova.desktop"
declared=$(sed -n 's/^MimeType=//p' "$entry" | tr ';' '\n' | sed '/^$/d')
provided=$(sed -n 's|.*<mediatype>\(.*\)</mediatype>.*|\1|p' "$metainfo")
if [ "$declared" = "$mime_types" ] && [ "$provided" = "$mime_types" ] &&
  grep -qx 'Exec=zerova --from-menu %f' "$entry"; then
  pass "the desktop entry and AppStream declare the $(wc -l <<<"$mime_types") MIME types it reads"
else
  fail "the MIME types or the Exec line differ; desktop entry: $(grep '^Exec=' "$entry")"$'\n'"$declared"$'\n'"AppStream:"$'\n'"$provided"
fi
expect_report "man --warnings on the man page" \
  "$(LC_ALL=C.UTF-8 man --warnings -l "$root/usr/share/man/man1/zerova.1.gz" 2>&1 >/dev/null)" ""

version=$(sed -n 's/^project(zerova VERSION \([^ ]*\) .*/\1/p' "$source_root/CMakeLists.txt")
zcat "$root/usr/share/doc/zerova/changelog.gz" >"$scratch/changelog"
versions="project() $version
package $(dpkg-deb -f "$deb" Version)
changelog $(dpkg-parsechangelog -l "$scratch/changelog" -S Version)
AppStream $(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
--version $("$root/usr/bin/zerova" --version | sed -n 's/^zerova \([^ ]*\).*/\1/p')"
# The release tags at HEAD, when the sources are a git checkout of their own.
if [ "$(git -C "$source_root" rev-parse --show-toplevel 2>/dev/null)" = "$source_root" ]; then
  for tag in $(git -C "$source_root" tag --points-at HEAD | grep -E '^v[0-9]+\.[0-9]+\.[0-9]+$'); do
    versions+=$'\n'"tag ${tag#v}"
  done
fi
if [ "$(awk '{ print $2 }' <<<"$versions" | sort -u)" = "$version" ]; then
  pass "$(cut -d ' ' -f 1 <<<"$versions" | paste -sd ' '): all say $version"
else
  fail "the versions differ:"$'\n'"$versions"
fi

work="$scratch/work"
mkdir -p "$work"
fixture="$source_root/tests/data/basic"
status=0
# Its notes on stderr (what the basic table leaves out) are the run's, not checked here.
output=$(cd "$work" && "$root/usr/bin/zerova" "$fixture/input.xls" 2>"$scratch/stderr") ||
  status=$?
if [ "$status" -eq 0 ] && [ "$output" = "XML created successfully" ] &&
  cmp -s "$work/xmlstructure.xml" "$fixture/expected.xml"; then
  pass "the installed zerova converts tests/data/basic/input.xls into expected.xml"
else
  fail "the installed zerova on tests/data/basic/input.xls: exit $status: $output $(
    cat "$scratch/stderr")"
  [ -f "$work/xmlstructure.xml" ] && diff "$fixture/expected.xml" "$work/xmlstructure.xml" >&2
fi
# Unpacked outside the system folders, the program renews its scratch file beside itself.
if [ -f "$root/usr/bin/xmlstr.xml" ] && [ ! -s "$root/usr/bin/xmlstr.xml" ]; then
  pass "the scratch file was renewed empty beside the unpacked zerova"
else
  fail "no empty scratch file beside the unpacked zerova"
fi

status=0
output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/zerova" 2>&1) ||
  status=$?
if [ "$status" -eq 1 ] && [[ "$output" == "zerova: cannot open the window: no display"* ]]; then
  pass "the installed zerova starts the installed window"
else
  fail "the installed zerova, given no file: exit $status: $output"
fi

exit $failed
