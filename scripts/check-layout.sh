#!/usr/bin/env bash
# Checks the include rules of src/: a format folder includes only formats/common/ and
# services/, never another format's folder; services/ includes no format header except
# in format detection (spreadsheet_service.cpp); nothing below src/ui/ includes Qt.
# Prints each breach and exits 1 when there is one.
set -u
cd "$(dirname "$0")/../src"
status=0
breach() { echo "check-layout: $1"; status=1; }
for dir in formats/*/; do
  format=$(basename "$dir")
  [ "$format" = common ] && continue
  while IFS= read -r line; do
    breach "$line: a format includes another format's folder"
  done < <(grep -HnE '#include "formats/' "$dir"* 2>/dev/null |
    grep -vE "#include \"formats/(common|$format)/")
done
while IFS= read -r line; do
  breach "$line: formats/common/ includes a format's folder"
done < <(grep -HnE '#include "formats/' formats/common/* | grep -v '#include "formats/common/')
while IFS= read -r line; do
  breach "$line: services/ includes a format outside format detection"
done < <(grep -HnE '#include "formats/' services/* | grep -v '^services/spreadsheet_service.cpp:')
while IFS= read -r line; do
  breach "$line: Qt below src/ui/"
done < <(grep -HnE '#include <Q' conversion/* services/* formats/*/* 2>/dev/null)
exit $status
