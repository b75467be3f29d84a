#!/usr/bin/env bash
# Builds the libFuzzer targets (cmake --preset fuzz: clang, ASan + UBSan) and runs each
# one for a bounded time, seeded from fuzz/seeds/<format>/ (NAME_reader_fuzzer reads
# fuzz/seeds/NAME, where there is one) and from the fixture inputs of that format in
# tests/data/. New inputs go to a scratch corpus, so the committed seeds stay as they
# are; a crashing input is kept in build/fuzz/artifacts/.
#
# Usage: scripts/fuzz.sh            FUZZ_SECONDS (default 60) bounds each target.
# Exits non-zero when any target reports a finding or fails to build.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
seconds=${FUZZ_SECONDS:-60}

log="$root/build/fuzz-build.log"
mkdir -p "$root/build"
(cd "$root" && cmake --preset fuzz -DCMAKE_C_FLAGS= -DCMAKE_CXX_FLAGS= && cmake --build --preset fuzz -j"$(nproc)") \
  >"$log" 2>&1 || { cat "$log"; exit 1; }

artifacts="$build/artifacts"
logs="$build/logs"
mkdir -p "$logs"

# Shows a failing target's report (from just before the sanitizer's or libFuzzer's
# first line of it) and each input it kept, in base64, so that a finding on a machine
# we cannot reach can be replayed here: base64 -d > input; build/fuzz/fuzz/NAME input.
# The reports come last, after every target has run, where a log cut to its tail keeps them.
report() {
  local name=$1 log=$2 start
  start=$(grep -n -m1 -E '==[0-9]+==|^ALARM|out-of-memory|deadly signal|Test unit written' "$log" | cut -d: -f1)
  echo "-- $name found something; its report:"
  if [ -n "$start" ]; then
    tail -n +"$((start > 2 ? start - 2 : 1))" "$log" | head -n 50
  else
    tail -n 40 "$log"
  fi
  for input in "$artifacts/$name"-*; do
    [ -f "$input" ] || continue
    echo "-- input kept as ${input#$root/} ($(stat -c %s "$input") bytes), base64:"
    base64 -w 0 "$input" | head -c 65536
    echo
  done
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$artifacts"

export ASAN_OPTIONS="detect_leaks=1:fast_unwind_on_malloc=0:${ASAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:${LSAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"

mapfile -t fuzzers < <(find "$build" -type f -name '*_fuzzer' -perm -u+x | sort)
if [ ${#fuzzers[@]} -eq 0 ]; then
  echo "fuzz.sh: no *_fuzzer binaries under $build" >&2
  exit 1
fi

failed=()
for fuzzer in "${fuzzers[@]}"; do
  name=$(basename "$fuzzer")
  format=${name%_reader_fuzzer}
  format=${format%_fuzzer}
  seeds="$root/fuzz/seeds/$format"
  corpus="$scratch/$name"
  mkdir -p "$corpus"
  # The fixture inputs of the reader's format seed it too (named after their folder).
  case $format in
    csv) extensions="csv tsv" ;;
    ods) extensions="ods fods" ;;
    xml2003) extensions="xml" ;;
    ooxml_crypto) extensions="" ;;
    *) extensions=$format ;;
  esac
  for extension in $extensions; do
    for input in "$root"/tests/data/*/input*."$extension"; do
      [ -f "$input" ] && cp "$input" "$corpus/$(basename "$(dirname "$input")")-$(basename "$input")"
    done
  done
  inputs=("$corpus")
  from="the fixtures"
  if [ -d "$seeds" ]; then
    inputs+=("$seeds")
    from="${seeds#$root/} and the fixtures"
  fi
  echo "== $name: ${seconds}s, seeds from $from"
  # The run's own output is long; it goes to a log, and only a finding is shown in full.
  log="$logs/$name.log"
  if "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts/$name-" "${inputs[@]}" >"$log" 2>&1; then
    grep -E '^#[0-9]+[[:space:]]+DONE' "$log" || true
  else
    failed+=("$name")
    echo "$name found something; its report follows the last target"
  fi
done

for name in "${failed[@]}"; do report "$name" "$logs/$name.log"; done
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz.sh: findings in: ${failed[*]} (inputs in ${artifacts#$root/})" >&2
  exit 1
fi
echo "fuzz.sh: no findings in ${#fuzzers[@]} target(s)"
