#!/usr/bin/env bash
# Checks the include rules of src/, with no exemption:
#  - a format's folder includes its own headers, the shared folders of formats/
#    (containers, xml, crypto, sheet, text, numbers) and services/, never another
#    format's folder or the registry;
#  - a shared folder includes only shared folders and services/;
#  - services/ includes nothing of the other folders; conversion/ nothing of
#    formats/, cli/ or window/;
#  - cli/ and window/ include from formats/ only the registry (formats/registry.h),
#    and never each other;
#  - Qt is included under window/qt/ alone, <windows.h> under platform/windows/
#    and window/win32/ alone;
#  - window/ itself, outside its toolkits' folders qt/ and win32/, includes no
#    toolkit and neither of those folders, and they never include each other;
#  - platform/posix/ and platform/windows/ include services/ and their own
#    folder alone, and nothing else includes platform/;
#  - the system's own headers (<unistd.h>, <windows.h>, ...) only in the
#    platform's folder (and a window's drawing, under window/).
# Prints each breach and exits 1 when there is one.
set -u
cd "$(dirname "$0")/../src"
shared="containers|xml|crypto|sheet|text|numbers"
status=0
breach() { echo "check-layout: $1"; status=1; }
# Lists the `grep -Hn` lines of the includes of our FOLDER/ in the files and
# folders given (their files at any depth).
includes_of() { local folder=$1; shift; grep -rHnE "#include \"$folder/" "$@" 2>/dev/null; }
# The same for the system headers matching the pattern TOOLKIT (<Q..., say).
system_includes() { local toolkit=$1; shift; grep -rHnE "#include <$toolkit" "$@" 2>/dev/null; }

for dir in formats/*/; do
  folder=$(basename "$dir")
  if [[ "$folder" =~ ^($shared)$ ]]; then
    while IFS= read -r line; do
      breach "$line: a shared folder of formats/ includes a format or the registry"
    done < <(includes_of formats "$dir"* | grep -vE "#include \"formats/($shared)/")
  else
    while IFS= read -r line; do
      breach "$line: a format includes another format's folder or the registry"
    done < <(includes_of formats "$dir"* | grep -vE "#include \"formats/($shared|$folder)/")
  fi
  while IFS= read -r line; do
    breach "$line: a format includes the conversion or a program"
  done < <(includes_of '(conversion|cli|window)' "$dir"*)
done
while IFS= read -r line; do
  breach "$line: services/ is interfaces only and includes no other folder"
done < <(includes_of '(formats|conversion|cli|window)' services/*)
while IFS= read -r line; do
  breach "$line: conversion/ reads sheets through services/ alone and names no program"
done < <(includes_of '(formats|cli|window)' conversion/* conversion/*/*)
for program in cli window; do
  while IFS= read -r line; do
    breach "$line: $program/ opens workbooks through the registry alone"
  done < <(includes_of formats "$program" | grep -v '#include "formats/registry.h"')
done
while IFS= read -r line; do
  breach "$line: cli/ never includes window/"
done < <(includes_of window cli)
while IFS= read -r line; do
  breach "$line: window/ never includes cli/"
done < <(includes_of cli window)
while IFS= read -r line; do
  breach "$line: Qt outside src/window/qt/"
done < <(system_includes Q * | grep -v '^window/qt/')
while IFS= read -r line; do
  breach "$line: <windows.h> outside src/platform/windows/ and src/window/win32/"
done < <(system_includes '[Ww]indows\.h>' * | grep -vE '^(platform/windows|window/win32)/')
# Form2 and its layout, view and messages: what every toolkit's window shares.
shared_window=$(find window -maxdepth 1 -type f)
while IFS= read -r line; do
  breach "$line: window/ outside qt/ and win32/ includes no toolkit"
done < <(system_includes '(Q|[Ww]indows\.h>|gtk/|gdk/|X11/|wx/)' $shared_window
  includes_of 'window/(qt|win32)' $shared_window)
while IFS= read -r line; do
  breach "$line: window/qt/ and window/win32/ never include each other"
done < <(includes_of window/win32 window/qt; includes_of window/qt window/win32)
for platform in posix windows; do
  while IFS= read -r line; do
    breach "$line: platform/$platform/ includes services/ and its own folder alone"
  done < <(grep -HnE '#include "' platform/"$platform"/* 2>/dev/null |
    grep -vE "#include \"(services|platform/$platform)/")
done
while IFS= read -r line; do
  breach "$line: only the platform's folder includes platform/"
done < <(grep -rHnE '#include "platform/' services conversion formats cli window 2>/dev/null)
system_headers='unistd|fcntl|pwd|termios|signal|poll|dlfcn|windows|winbase|io|direct|sys/[a-z]+'
while IFS= read -r line; do
  breach "$line: a system's own header outside src/platform/"
done < <(grep -rHnE "#include <($system_headers)\.h>" services conversion formats cli 2>/dev/null)
exit $status
