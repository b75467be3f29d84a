#!/usr/bin/env bash
# Checks the include rules of src/, with no exemption:
#  - a format's folder includes its own headers, the shared folders of formats/
#    (containers, xml, crypto, sheet, text, numbers) and services/, never another
#    format's folder or the registry;
#  - a shared folder includes only shared folders and services/;
#  - services/ and conversion/ include nothing from formats/;
#  - ui/ includes from formats/ only the registry (formats/registry.h);
#  - nothing outside ui/ includes Qt.
# Prints each breach and exits 1 when there is one.
set -u
cd "$(dirname "$0")/../src"
shared="containers|xml|crypto|sheet|text|numbers"
status=0
breach() { echo "check-layout: $1"; status=1; }
# Lists `grep -Hn` lines of the includes from formats/ in the files given.
format_includes() { grep -HnE '#include "formats/' "$@" 2>/dev/null; }

for dir in formats/*/; do
  folder=$(basename "$dir")
  if [[ "$folder" =~ ^($shared)$ ]]; then
    while IFS= read -r line; do
      breach "$line: a shared folder of formats/ includes a format or the registry"
    done < <(format_includes "$dir"* | grep -vE "#include \"formats/($shared)/")
  else
    while IFS= read -r line; do
      breach "$line: a format includes another format's folder or the registry"
    done < <(format_includes "$dir"* | grep -vE "#include \"formats/($shared|$folder)/")
  fi
done
while IFS= read -r line; do
  breach "$line: services/ and conversion/ name no format"
done < <(format_includes services/* conversion/*)
while IFS= read -r line; do
  breach "$line: ui/ opens workbooks through the registry alone"
done < <(format_includes ui/* | grep -v '#include "formats/registry.h"')
while IFS= read -r line; do
  breach "$line: Qt below src/ui/"
done < <(grep -HnE '#include <Q' conversion/* services/* formats/*.* formats/*/* 2>/dev/null)
exit $status
