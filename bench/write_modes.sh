#!/bin/bash
# bench/write_modes.sh: the ways zerova writes a document, side by side in one
# run, as medians of a few runs each, with a peer reading the same workbook.
#
#   bench/write_modes.sh            (RUNS=3 by default)
#
# On the 65,535-row x 10-column .xls of bench/make_sheets.py:
#   zerova SHEET              ./xmlstructure.xml a line at a time, each line
#                             appended with its own open and close, the scratch
#                             file renewed before it (from the build tree, whose
#                             folder is writable, so it is renewed)
#   zerova -o FILE SHEET      the document written whole and renamed into place
#   zerova -o - SHEET > FILE  the same document on standard output, redirected
#   xls2csv SHEET > FILE      catdoc's reader of the same workbook
# and on the 1,000,000-row x 10-column .xlsx of bench/make_big_xlsx.py: -o FILE,
# -o - > FILE and xlsx2csv. Goals: -o FILE at most 1.2 x `-o - > FILE` on both,
# and at most 0.5 x xls2csv on the .xls. Each document is checked to be the same
# bytes whichever way it was written. Installs what it needs from Debian (catdoc,
# xlsx2csv, python3-xlwt). Nothing here is a test: the numbers depend on the
# machine and on what else it is doing (the load is printed before and after).
set -euo pipefail

cd "$(dirname "$0")/.."
RUNS=${RUNS:-3}

. bench/install_missing.sh
install_missing catdoc xlsx2csv python3-xlwt
cmake --preset default >/dev/null
cmake --build --preset default --target zerova >/dev/null
zerova=${ZEROVA:-$PWD/build/default/zerova}

work=$(mktemp -d /tmp/zerova-write-modes-XXXXXX)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 bench/make_sheets.py "$work" 65535 10 xls >/dev/null
/usr/bin/python3 bench/make_big_xlsx.py "$work/big.xlsx" >/dev/null
xls=$work/sheet-65535x10.xls
xlsx=$work/big.xlsx
mkdir "$work/run"
cd "$work/run"

# Microseconds the shell command takes.
elapsed() {
  local start=$EPOCHREALTIME
  bash -c "$1" >/dev/null 2>&1
  local end=$EPOCHREALTIME
  echo $(((${end/./} - ${start/./})))
}
median() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
seconds() { awk -v us="$1" 'BEGIN {printf "%.3f s", us / 1e6}'; }

# Runs each of the named shell commands RUNS times, in turns, and prints a line
# per command: its name and its median; sets medians[NAME].
declare -A medians
measure() {
  declare -A runs
  for ((i = 0; i < RUNS; i++)); do
    for name in "$@"; do runs[$name]+="$(elapsed "${commands[$name]}") "; done
  done
  for name in "$@"; do
    # shellcheck disable=SC2086
    medians[$name]=$(median ${runs[$name]})
    printf '  %-28s %10s\n' "$name" "$(seconds "${medians[$name]}")"
  done
}

echo "Machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs; $(. /etc/os-release && echo "$PRETTY_NAME")"
echo "Load before: $(cut -d' ' -f1-3 /proc/loadavg); $RUNS runs each"

declare -A commands=(
  ["zerova SHEET"]="'$zerova' '$xls'"
  ["zerova -o FILE"]="'$zerova' -o out.xml '$xls'"
  ["zerova -o - > FILE"]="'$zerova' -o - '$xls' > piped.xml"
  ["xls2csv"]="xls2csv '$xls' > out.csv"
)
echo
echo ".xls, 65,535 x 10 ($(du -h "$xls" | cut -f1)):"
measure "zerova SHEET" "zerova -o FILE" "zerova -o - > FILE" "xls2csv"
cmp -s xmlstructure.xml out.xml && cmp -s out.xml piped.xml || echo "  warning: the documents differ"
xls_whole=${medians["zerova -o FILE"]} xls_piped=${medians["zerova -o - > FILE"]}
xls_default=${medians["zerova SHEET"]} xls_peer=${medians["xls2csv"]}

commands=(
  ["zerova -o FILE"]="'$zerova' -o out.xml '$xlsx'"
  ["zerova -o - > FILE"]="'$zerova' -o - '$xlsx' > piped.xml"
  ["xlsx2csv"]="xlsx2csv '$xlsx' > out.csv"
)
echo
echo ".xlsx, 1,000,000 x 10 ($(du -h "$xlsx" | cut -f1)):"
measure "zerova -o FILE" "zerova -o - > FILE" "xlsx2csv"
cmp -s out.xml piped.xml || echo "  warning: the documents differ"

echo
echo ".xls:  -o FILE / -o - > FILE  $(ratio "$xls_whole" "$xls_piped")  (goal <= 1.2)"
echo "       -o FILE / xls2csv      $(ratio "$xls_whole" "$xls_peer")  (goal <= 0.5)"
echo "       the default / -o FILE  $(ratio "$xls_default" "$xls_whole")"
echo ".xlsx: -o FILE / -o - > FILE  $(ratio "${medians["zerova -o FILE"]}" "${medians["zerova -o - > FILE"]}")  (goal <= 1.2)"
echo "       -o FILE / xlsx2csv     $(ratio "${medians["zerova -o FILE"]}" "${medians["xlsx2csv"]}")"
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)"
