#!/usr/bin/env bash
# zerova.exe under Wine, as a Windows user runs it: the version line, the help
# in Windows' words, non-ASCII names in and out, the default document with its
# scratch file beside the program, --outdir --all-sheets on sheets whose names
# are no Windows file names, an earlier document kept through a failed run and
# through the default run's refusals of a read-only and a hard-linked document,
# a workbook piped in (through cmd's `type` too) and the document written to
# standard output, and the NUL device.
#
#   tests/cli/windows_command_line_test.sh ZEROVA_EXE DATA_DIR
set -u
[ $# -eq 2 ] || { echo "usage: windows_command_line_test.sh ZEROVA_EXE DATA_DIR" >&2; exit 2; }
exe=$(readlink -f "$1") data=$(readlink -f "$2")
wine_run=$(cd "$(dirname "$0")/../.." && pwd)/scripts/wine-run.sh
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
failures=0
fail() { failures=$((failures + 1)); echo "FAIL: $*"; }
zerova() { "$wine_run" "$exe" "$@"; }
basic=$data/basic/expected.xml

# The version line.
zerova --version | grep -qE '^zerova [0-9]+\.[0-9]+\.[0-9]+' || fail "--version: $(zerova --version 2>&1)"

# The help in Windows' words: how a run is stopped, what a stream is; 80 columns.
zerova --help | tr -d '\r' >"$t/help"
grep -q 'Ctrl+C, Ctrl+Break and' "$t/help" && grep -q '130 when Ctrl+C stopped it' "$t/help" &&
  grep -q 'with -, CON, NUL or a' "$t/help" && ! grep -q 'SIG\|/usr\|/dev/' "$t/help" ||
  fail "--help does not speak Windows' words: $(cat "$t/help")"
[ "$(awk 'length($0) > 80' "$t/help" | wc -l)" -eq 0 ] || fail "--help: lines past 80 columns"

# Non-ASCII names in and out.
mkdir "$t/names" && cp "$data/basic/input.xls" "$t/names/Données 日本.xls"
(cd "$t/names" && zerova -q -o "Résultat 表.xml" "Données 日本.xls") ||
  fail "non-ASCII names: status $?"
cmp -s "$basic" "$t/names/Résultat 表.xml" || fail "non-ASCII names: the document differs"

# The default document, line by line, and the scratch file in the program's folder.
mkdir -p "$t/program" "$t/work" && cp "$exe" "$t/program/zerova.exe"
(cd "$t/work" && "$wine_run" "$t/program/zerova.exe" "$data/basic/input.xls") >"$t/stdout" ||
  fail "the default run: status $?"
cmp -s "$basic" "$t/work/xmlstructure.xml" || fail "the default run: the document differs"
grep -q 'XML created successfully' "$t/stdout" || fail "the default run: no success line"
[ -f "$t/program/xmlstr.xml" ] && [ ! -s "$t/program/xmlstr.xml" ] ||
  fail "the default run: no empty scratch file beside the program"

# Sheets named CON, a<b>|c, x., Data and DATA: five valid, distinct file names.
(cd "$t" && zerova -q --outdir out --all-sheets "$data/sheet-names/input.xlsx") ||
  fail "--all-sheets: status $?"
names=$(cd "$t/out" 2>/dev/null && ls)
[ "$(printf '%s\n' "$names" | tr '[:upper:]' '[:lower:]' | sort -u | grep -c .)" -eq 5 ] ||
  fail "--all-sheets: not five distinct names: $names"
printf '%s\n' "$names" | grep -E '[<>:"\\|?*]|[. ]$|^(con|prn|aux|nul|com[1-9]|lpt[1-9])(\.|$)' -i &&
  fail "--all-sheets: a name Windows refuses"

# An earlier document kept when the run fails.
printf 'earlier\r\n' >"$t/earlier.xml"
cp "$t/earlier.xml" "$t/kept.xml"
printf 'no workbook' >"$t/broken.xls"
(cd "$t" && zerova -o kept.xml broken.xls) 2>"$t/err" && fail "a broken workbook converted"
cmp -s "$t/earlier.xml" "$t/kept.xml" || fail "the earlier document changed on a failure"
[ "$(wc -l <"$t/err")" -eq 1 ] || fail "the failure took other than one line: $(cat "$t/err")"

# The default document refused before it is emptied: read-only (its attribute, as
# Windows keeps it; as root too), then under a second name.
mkdir "$t/kept" && printf 'earlier\r\n' >"$t/kept/xmlstructure.xml"
(cd "$t/kept" && "$wine_run" attrib +r xmlstructure.xml &&
  zerova "$data/basic/input.xls") 2>"$t/err" && fail "a read-only document was written"
grep -qF 'read-only; the document was left as it was; make it writable (attrib -r' "$t/err" ||
  fail "a read-only document: $(cat "$t/err")"
chmod u+w "$t/kept/xmlstructure.xml" && ln "$t/kept/xmlstructure.xml" "$t/kept/other.txt"
(cd "$t/kept" && zerova "$data/basic/input.xls") 2>"$t/err" && fail "a hard link was written through"
grep -qF 'a hard link' "$t/err" || fail "a hard-linked document: $(cat "$t/err")"
cmp -s "$t/earlier.xml" "$t/kept/other.txt" || fail "the earlier document changed on a refusal"

# A workbook on standard input, the document on standard output.
zerova -o - - <"$data/basic/input.xlsx" >"$t/piped.xml" || fail "-o - -: status $?"
cmp -s "$basic" "$t/piped.xml" || fail "-o - -: the document differs"
# Through cmd's pipe: Wine's `type` passes text alone unchanged, so a CSV.
cp "$data/basic/input.csv" "$t/book.csv"
(cd "$t" && "$wine_run" cmd /c "type book.csv | $(printf 'Z:%s' "$exe" | tr / '\\') -o - -") \
  >"$t/typed.xml" || fail "type book.csv | zerova.exe -o - -: status $?"
cmp -s "$basic" "$t/typed.xml" || fail "type book.csv | zerova.exe -o - -: the document differs"

# The null device takes the document; nothing is left behind.
(cd "$t/names" && zerova -o NUL "Données 日本.xls") >/dev/null || fail "-o NUL: status $?"

[ "$failures" -eq 0 ] && echo "all passed"
[ "$failures" -eq 0 ]
