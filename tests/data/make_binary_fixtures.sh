#!/bin/sh
# Writes the fixture inputs that no Debian tool saves (.xlsb and Excel 2.x-4.x
# files: see make_binary_fixtures.cpp) into tests/data/, with the generator built
# in the default preset. Run it from anywhere: tests/data/make_binary_fixtures.sh
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
[ -f build/default/CMakeCache.txt ] || cmake --preset default >/dev/null
cmake --build --preset default --target make_binary_fixtures >/dev/null
build/default/tests/make_binary_fixtures tests/data
