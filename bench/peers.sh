#!/bin/bash
# bench/peers.sh: zerova side by side with its peers and with its own floor, in
# one run, as ratios of medians.
#
#   bench/peers.sh            (RUNS=5 by default; RUNS=3 bench/peers.sh for less)
#
# ZEROVA=... and DISCARDING_RUN=... measure other builds of the two programs (an
# older commit's, say) in place of this tree's.
#
# Installs what it needs from Debian (catdoc for xls2csv, python3-xlrd,
# python3-xlwt), builds zerova and bench/discarding_run with the default preset,
# generates the sheets with bench/make_sheets.py, compiles bench/floor.c, then
# prints:
#   P1  the whole run of `zerova SHEET` against the floor: a C program doing only
#       the design's per-line file operations for the same lines (goal <= 1.10)
#   P2  reading and text building (discarding_run: the lines built, then
#       discarded) against catdoc's `xls2csv SHEET`, both whole processes (<= 0.5)
#   P3  `zerova` on a 10 x 100 sheet against xlrd building the same lines in
#       Python (bench/xlrd_lines.py), both whole processes (<= 0.5); the floor's
#       own ratio on those lines follows it, the least P3 can be on this machine
#   P4  zerova's peak memory on the 65,535-row sheet (<= 42 MB and <= 3 x the file)
# and the peak memory of reading the same sheet in every format. The contenders
# take turns. P1 is the median of the ratios of RUNS pairs of runs, each pair run
# back to back (a run of 20 s or so varies by a fifth with the disk's other
# work), and is shown again in CPU time (user and system), which varies far
# less; P2 and P3 are ratios of the medians of 4 x RUNS runs each. Nothing here
# is a test: the numbers depend on the machine and on what else it is doing.
set -euo pipefail

cd "$(dirname "$0")/.."
RUNS=${RUNS:-5}

# --- what it needs ---------------------------------------------------------
. bench/install_missing.sh
install_missing catdoc python3-xlrd python3-xlwt
cmake --preset default >/dev/null
cmake --build --preset default --target zerova discarding_run >/dev/null
zerova=${ZEROVA:-$PWD/build/default/zerova}
discard=${DISCARDING_RUN:-$PWD/build/default/bench/discarding_run}
scratch=$(dirname "$zerova")/xmlstr.xml  # where zerova renews its scratch file

work=$(mktemp -d /tmp/zerova-peers-XXXXXX)
trap 'rm -rf "$work"' EXIT
cc -O2 -o "$work/floor" bench/floor.c
/usr/bin/python3 bench/make_sheets.py "$work" 65535 10 xls,xlsx,xlsb,ods,xml,html,csv >/dev/null
/usr/bin/python3 bench/make_sheets.py "$work" 100 10 xls,xlsx,xlsb,ods,xml,html,csv >/dev/null
big=$work/sheet-65535x10.xls
small=$work/sheet-100x10.xls
mkdir "$work/run"
cd "$work/run"

# --- measuring -------------------------------------------------------------
# Microseconds the command takes, its output discarded.
elapsed() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1
  local end=$EPOCHREALTIME
  echo $(((${end/./} - ${start/./})))
}
# Microseconds the command takes, then its user and system CPU time in
# microseconds (to 10 ms), its output discarded.
elapsed_and_cpu() {
  local start=$EPOCHREALTIME
  /usr/bin/time -f '%U %S' -o "$work/cpu" "$@" >/dev/null 2>&1
  local end=$EPOCHREALTIME
  echo "$(((${end/./} - ${start/./}))) $(awk '{printf "%d", ($1 + $2) * 1e6}' "$work/cpu")"
}
# Peak resident memory of the command, in KiB.
peak_kib() {
  /usr/bin/time -f %M -o "$work/peak" "$@" >/dev/null 2>&1
  cat "$work/peak"
}
median() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
seconds() { awk -v us="$1" 'BEGIN {printf "%.3f s", us / 1e6}'; }
mib() { awk -v k="$1" 'BEGIN {printf "%.1f MB", k * 1024 / 1e6}'; }

echo "Machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs; $(. /etc/os-release && echo "$PRETTY_NAME")"
echo "Load before: $(cut -d' ' -f1-3 /proc/loadavg); $RUNS runs each"

# The floor rewrites the document zerova wrote: the same lines and bytes.
"$zerova" "$big" >/dev/null
cp xmlstructure.xml "$work/big.xml"
"$zerova" "$small" >/dev/null
cp xmlstructure.xml "$work/small.xml"
/usr/bin/python3 "$OLDPWD/bench/xlrd_lines.py" "$small"
cmp -s xmlstructure.xml "$work/small.xml" || echo "warning: xlrd_lines.py wrote another document"

p1_zerova=() p1_floor=() p1_ratio=() p1_zerova_cpu=() p1_floor_cpu=()
p2_zerova=() p2_peer=() p3_zerova=() p3_peer=() p3_floor=()
for ((i = 0; i < RUNS; i++)); do
  read -r wall cpu < <(elapsed_and_cpu "$zerova" "$big")
  p1_zerova+=("$wall") p1_zerova_cpu+=("$cpu")
  read -r wall cpu < <(elapsed_and_cpu "$work/floor" "$work/big.xml" "$scratch")
  p1_floor+=("$wall") p1_floor_cpu+=("$cpu")
  p1_ratio+=("$(ratio "${p1_zerova[-1]}" "$wall")")
  for ((j = 0; j < 4; j++)); do
    p2_zerova+=("$(elapsed "$discard" "$big")")
    p2_peer+=("$(elapsed xls2csv "$big")")
    p3_zerova+=("$(elapsed "$zerova" "$small")")
    p3_peer+=("$(elapsed /usr/bin/python3 "$OLDPWD/bench/xlrd_lines.py" "$small")")
    p3_floor+=("$(elapsed "$work/floor" "$work/small.xml" "$scratch")")
  done
done
p4_zerova=$(peak_kib "$zerova" "$big")
p4_peer=$(peak_kib xls2csv "$big")
big_bytes=$(stat -c %s "$big")

row() { printf '%-4s %-44s %-12s %-12s %6s  %s\n' "$@"; }
echo
row "" "measure" "zerova" "reference" "ratio" "goal"
z=$(median "${p1_zerova[@]}") r=$(median "${p1_floor[@]}")
row P1 "whole run, 65,535 x 10 .xls" "$(seconds "$z")" "$(seconds "$r")" "$(median "${p1_ratio[@]}")" "<= 1.10 x the floor"
z=$(median "${p1_zerova_cpu[@]}") r=$(median "${p1_floor_cpu[@]}")
row "" "  the same, CPU time" "$(seconds "$z")" "$(seconds "$r")" "$(ratio "$z" "$r")" \
  "(pairs: $(printf '%s\n' "${p1_ratio[@]}" | sort -n | paste -sd' '))"
z=$(median "${p2_zerova[@]}") r=$(median "${p2_peer[@]}")
row P2 "reading and text building, same sheet" "$(seconds "$z")" "$(seconds "$r")" "$(ratio "$z" "$r")" "<= 0.5 x xls2csv"
z=$(median "${p3_zerova[@]}") r=$(median "${p3_peer[@]}")
row P3 "whole run, 100 x 10 .xls" "$(seconds "$z")" "$(seconds "$r")" "$(ratio "$z" "$r")" "<= 0.5 x xlrd"
f=$(median "${p3_floor[@]}")
row "" "  the floor alone, same lines" "$(seconds "$f")" "$(seconds "$r")" "$(ratio "$f" "$r")" "(P3 cannot go below)"
row P4 "peak memory, 65,535 x 10 .xls ($(mib $((big_bytes / 1024))))" "$(mib "$p4_zerova")" "$(mib "$p4_peer")" \
  "$(ratio "$((p4_zerova * 1024))" "$big_bytes")" "<= 42 MB and <= 3 x the file"

# Reading each format of the same sheet: the peak, and the peak above what
# reading the 100 x 10 sheet in the same format takes (the program's own start).
echo
printf '%-6s %10s %10s %8s %12s %8s\n' format file peak "x file" "above start" "x file"
for format in xls xlsx xlsb ods xml html csv; do
  file=$work/sheet-65535x10.$format
  bytes=$(stat -c %s "$file")
  peak=$(peak_kib "$discard" "$file")
  start=$(peak_kib "$discard" "$work/sheet-100x10.$format")
  printf '%-6s %10s %10s %8s %12s %8s\n' "$format" "$(mib $((bytes / 1024)))" "$(mib "$peak")" \
    "$(ratio "$((peak * 1024))" "$bytes")" "$(mib $((peak - start)))" \
    "$(ratio "$(((peak - start) * 1024))" "$bytes")"
done
echo
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)"
