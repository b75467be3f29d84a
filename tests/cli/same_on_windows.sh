#!/usr/bin/env bash
# Checks that zerova.exe under Wine does what the Linux build does, byte for
# byte: its version line, every fixture of tests/data (with its password.txt, if any) and every
# file of the real-world corpus (../shared/corpus, when present) is converted by
# both, each in a fresh folder holding an earlier document, and the exit
# status, the document left and the lines on stderr (but for Windows' CR LF)
# must be the same.
#
#   tests/cli/same_on_windows.sh LINUX_ZEROVA ZEROVA_EXE
#
# Prints each difference, then "N same, M different"; exits 1 on a difference.
set -u
[ $# -eq 2 ] || { echo "usage: same_on_windows.sh LINUX_ZEROVA ZEROVA_EXE" >&2; exit 2; }
here=$(cd "$(dirname "$0")/../.." && pwd)
linux=$(readlink -f "$1") exe=$(readlink -f "$2")
wine_run=$here/scripts/wine-run.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
same=0 different=0

# Runs program $1 (linux or windows) on the arguments after it in $work/$1,
# leaving there its status, stderr and document.
run() {
  local side=$1
  shift
  rm -rf "${work:?}/$side"
  mkdir -p "$work/$side"
  printf 'an earlier document\r\n' >"$work/$side/xmlstructure.xml"
  if [ "$side" = linux ]; then
    (cd "$work/$side" && timeout -k 2 30 "$linux" "$@") </dev/null >"$work/$side.out" 2>"$work/$side.err"
  else
    (cd "$work/$side" && timeout -k 2 240 "$wine_run" "$exe" "$@") </dev/null >"$work/$side.out" 2>"$work/$side.err"
  fi
  echo $? >"$work/$side.status"
}

# Converts $1 with both (the arguments after it go before the file) and compares.
compare() {
  local file=$1
  shift
  run linux "$@" "$file"
  run windows "$@" "$file"
  local what=""
  cmp -s "$work/linux.status" "$work/windows.status" ||
    what="status $(cat "$work/linux.status") on Linux, $(cat "$work/windows.status") on Windows"
  [ -z "$what" ] && ! cmp -s "$work/linux/xmlstructure.xml" "$work/windows/xmlstructure.xml" &&
    what="the documents differ: $(cmp "$work/linux/xmlstructure.xml" "$work/windows/xmlstructure.xml" 2>&1 | head -n 1)"
  tr -d '\r' <"$work/windows.err" >"$work/windows.lines"  # Windows ends its lines in CR LF
  [ -z "$what" ] && ! cmp -s "$work/linux.err" "$work/windows.lines" &&
    what="stderr differs: '$(head -c 200 "$work/linux.err")' against '$(head -c 200 "$work/windows.err")'"
  if [ -n "$what" ]; then
    different=$((different + 1))
    echo "DIFFERENT ${file#"$here"/}: $what"
  else
    same=$((same + 1))
  fi
}

# The version line first: the same sources, the same words.
linux_version=$("$linux" --version)
windows_version=$("$wine_run" "$exe" --version | tr -d '\r')
if [ "$linux_version" = "$windows_version" ]; then
  same=$((same + 1))
else
  different=$((different + 1))
  echo "DIFFERENT --version: '$linux_version' against '$windows_version'"
fi

for input in "$here"/tests/data/*/input*; do
  password=$(dirname "$input")/password.txt
  if [ -f "$password" ]; then
    compare "$input" --password-file "$password"
  else
    compare "$input"
  fi
done
for input in "$here"/tests/data/encrypted/*; do compare "$input"; done
corpus=$here/../shared/corpus
for folder in xls more; do
  [ -d "$corpus/$folder" ] || continue
  for input in "$corpus/$folder"/*; do
    case $input in *.expected | *.refused | *.any | *.converts | *.tsv) continue ;; esac
    compare "$input"
  done
done
echo "$same same, $different different"
[ "$different" -eq 0 ]
