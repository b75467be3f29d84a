#!/bin/bash
# bench/big_xlsx.sh: `zerova -o - BOOK > /dev/null` on a 1,000,000-row x 10-column
# .xlsx, beside inflating its sheet part alone (`unzip -p`) and beside another
# reader of the same workbook (`xlsx2csv`, Debian's), as medians of a few runs.
#
#   bench/big_xlsx.sh            (RUNS=5 by default; xlsx2csv, twenty times
#                                 slower, runs min(RUNS, 3) times)
#   BOOK=orders.xlsx bench/big_xlsx.sh    measures a workbook made before
#
# Installs what it needs from Debian (xlsx2csv, unzip), builds zerova and
# bench/stream_run with the default preset, writes the workbook with
# bench/make_big_xlsx.py (about 55 MB, its sheet part about 414 MB of XML), then
# prints the wall time and CPU time of each, zerova's time as a multiple of the
# inflating (goal: <= 2) and of xlsx2csv's, and the peak memory of each.
# zerova reads the sheet part in three stages, a thread each: inflating it,
# parsing its XML, and building the sheet from the cells the parser recorded.
# Inflating and building share the second core, so on two idle cores its time
# is that of parsing the XML and writing the document.
# Where the command line has no `-o -` yet, bench/stream_run stands in for it:
# the same conversion, written to standard output through the same stream
# writer. Nothing here is a test: the numbers depend on the machine and on what
# else it is doing (the load is printed before and after).
set -euo pipefail

cd "$(dirname "$0")/.."
RUNS=${RUNS:-5}
PEER_RUNS=$((RUNS < 3 ? RUNS : 3))

. bench/install_missing.sh
install_missing xlsx2csv unzip
cmake --preset default >/dev/null
cmake --build --preset default --target zerova stream_run >/dev/null
zerova=${ZEROVA:-$PWD/build/default/zerova}
stream_run=$PWD/build/default/bench/stream_run

work=$(mktemp -d /tmp/zerova-big-xlsx-XXXXXX)
trap 'rm -rf "$work"' EXIT
book=${BOOK:-}
if [ -z "$book" ]; then
  book=$work/orders.xlsx
  /usr/bin/python3 bench/make_big_xlsx.py "$book"
fi
part=xl/worksheets/sheet1.xml

# `zerova -o -` where the command line has it, else stream_run.
/usr/bin/python3 bench/make_big_xlsx.py "$work/small.xlsx" 10
if "$zerova" -o - "$work/small.xlsx" >"$work/small.xml" 2>/dev/null &&
  "$stream_run" "$work/small.xlsx" 2>/dev/null | cmp -s - "$work/small.xml"; then
  convert=("$zerova" -o -)
  name="zerova -o -"
else
  convert=("$stream_run")
  name="stream_run"
fi

# Wall and CPU (user + system) microseconds of the command, and its peak
# resident memory in KiB, its output discarded.
measure() {
  local start=$EPOCHREALTIME
  /usr/bin/time -f '%U %S %M' -o "$work/time" "$@" >/dev/null 2>"$work/stderr"
  local end=$EPOCHREALTIME
  echo "$(((${end/./} - ${start/./}))) $(awk '{printf "%d %d", ($1 + $2) * 1e6, $3}' "$work/time")"
}
median() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
seconds() { awk -v us="$1" 'BEGIN {printf "%.2f s", us / 1e6}'; }
mib() { awk -v k="$1" 'BEGIN {printf "%.1f MB", k * 1024 / 1e6}'; }

echo "Machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs; $(. /etc/os-release && echo "$PRETTY_NAME")"
echo "Workbook: $(mib $(($(stat -c %s "$book") / 1024))), its sheet part $(unzip -l "$book" "$part" | awk 'NR == 4 {printf "%.0f MB", $1 / 1e6}') of XML"
echo "Load before: $(cut -d' ' -f1-3 /proc/loadavg); $RUNS runs each, xlsx2csv $PEER_RUNS"

inflate_wall=() inflate_cpu=() inflate_peak=()
zerova_wall=() zerova_cpu=() zerova_peak=() split=()
peer_wall=() peer_cpu=() peer_peak=()
for ((i = 0; i < RUNS; i++)); do
  read -r wall cpu peak < <(measure unzip -p "$book" "$part")
  inflate_wall+=("$wall") inflate_cpu+=("$cpu") inflate_peak+=("$peak")
  read -r wall cpu peak < <(measure "${convert[@]}" "$book")
  zerova_wall+=("$wall") zerova_cpu+=("$cpu") zerova_peak+=("$peak")
  [ "$name" = stream_run ] && split+=("$(cat "$work/stderr")")
  if ((i < PEER_RUNS)); then
    read -r wall cpu peak < <(measure xlsx2csv "$book")
    peer_wall+=("$wall") peer_cpu+=("$cpu") peer_peak+=("$peak")
  fi
done

iw=$(median "${inflate_wall[@]}") zw=$(median "${zerova_wall[@]}") pw=$(median "${peer_wall[@]}")
row() { printf '%-30s %10s %10s %10s\n' "$@"; }
echo
row "" "wall" "CPU" "peak"
row "unzip -p (inflating alone)" "$(seconds "$iw")" "$(seconds "$(median "${inflate_cpu[@]}")")" \
  "$(mib "$(median "${inflate_peak[@]}")")"
row "$name" "$(seconds "$zw")" "$(seconds "$(median "${zerova_cpu[@]}")")" \
  "$(mib "$(median "${zerova_peak[@]}")")"
row "xlsx2csv" "$(seconds "$pw")" "$(seconds "$(median "${peer_cpu[@]}")")" \
  "$(mib "$(median "${peer_peak[@]}")")"
echo
echo "zerova / inflating: $(ratio "$zw" "$iw") (goal <= 2; runs: $(printf '%s\n' "${zerova_wall[@]}" |
  awk -v i="$iw" '{printf "%.2f ", $1 / i}'))"
echo "zerova / xlsx2csv:  $(ratio "$zw" "$pw")"
if ((${#split[@]})); then
  echo "stream_run, each run: $(printf '%s; ' "${split[@]}")"
fi
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)"
