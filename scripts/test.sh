#!/usr/bin/env bash
# Quick start (2): installs what is missing, builds Zerova and runs the whole test
# suite: the code's layout against .clang-format, the tests under AddressSanitizer +
# UndefinedBehaviorSanitizer, a bounded fuzzing run, the real-world corpus when
# ../shared/corpus is present, the Debian package (made once by scripts/package.sh,
# checked by scripts/check-package.sh), the regular build's tests, and last the
# Windows build and its tests under Wine (scripts/windows.sh test), when the
# libraries' sources are at hand (ZEROVA_WINDOWS_SOURCES, or
# ../shared/windows-sources).
set -euo pipefail
cd "$(dirname "$0")/.."
# Runs a command with its output in build/log.txt, shown only when it fails.
quiet() { mkdir -p build; "$@" >build/log.txt 2>&1 || { cat build/log.txt; return 1; }; }
jobs=$(nproc)
scripts/install-deps.sh

echo "== layout of the code (.clang-format)"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z '*.cpp' '*.h' '*.c'
else
  find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0
fi | xargs -0 clang-format --dry-run --Werror

echo "== sanitizer build and tests"
quiet cmake --preset sanitize
quiet cmake --build --preset sanitize -j"$jobs"
ctest --preset sanitize -j"$jobs"

echo "== fuzzing (bounded)"
FUZZ_SECONDS=${FUZZ_SECONDS:-15} scripts/fuzz.sh

echo "== regular build"
quiet cmake --preset default
quiet cmake --build --preset default -j"$jobs"

if [ -x ../shared/corpus/check.sh ]; then
  echo "== real-world corpus"
  ../shared/corpus/check.sh build/default/zerova
fi

echo "== Debian package"
deb=$(scripts/package.sh | tail -n 1)
scripts/check-package.sh "$deb"

echo "== tests"
ctest --preset default -j"$jobs"

windows_sources=${ZEROVA_WINDOWS_SOURCES:-../shared/windows-sources}
if [ -d "$windows_sources" ]; then
  echo "== Windows build and tests (MinGW-w64, Wine)"
  ZEROVA_WINDOWS_SOURCES=$windows_sources scripts/windows.sh test >/dev/null
else
  echo "== Windows build: skipped, no libraries' sources at $windows_sources (docs/windows.md)"
fi
