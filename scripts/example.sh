#!/usr/bin/env bash
# Quick start (1): installs what is missing, builds Zerova, converts the bundled
# example sheet and shows the document it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
# Runs a command with its output in build/log.txt, shown only when it fails.
quiet() { mkdir -p build; "$@" >build/log.txt 2>&1 || { cat build/log.txt; return 1; }; }
scripts/install-deps.sh
quiet cmake --preset default
quiet cmake --build --preset default --target zerova -j"$(nproc)"
work=build/example
mkdir -p "$work"
(cd "$work" && ../default/zerova ../../examples/people.xls)
echo "--- $work/xmlstructure.xml ---"
cat "$work/xmlstructure.xml"
