#!/usr/bin/env bash
# Builds Zerova for 64-bit Windows on Debian 12, and with `test` runs its tests
# under Wine:
#
#   ZEROVA_WINDOWS_SOURCES=DIR scripts/windows.sh [test]
#
# DIR holds the source releases of the libraries Debian has no MinGW build of
# (docs/windows.md lists them and where each comes from; default:
# ../shared/windows-sources). scripts/windows-libs.sh checks each against its
# SHA-256 and cross-builds them once into a cache outside the checkout; then
# the preset `windows` (cmake/mingw-w64.cmake) builds zerova.exe and the
# window, zerova-window.exe, static programs that need no DLL beside them; NSIS
# (packaging/windows/zerova.nsi) makes their installer,
# zerova-VERSION-setup.exe, and zip their portable
# zerova-VERSION-windows-x64.zip. `test` runs the Windows build's tests under
# Wine (ctest --preset windows; the window's on a display of their own, under
# Xvfb); where the Linux build is at hand (build/default/zerova), checks that
# both give the same documents and refusals (tests/cli/same_on_windows.sh); and
# installs, runs and uninstalls the installer's programs
# (tests/packaging/windows_installer_test.sh). The last line printed is the
# folder that holds what was built.
set -euo pipefail
cd "$(dirname "$0")/.."
# Runs a command with its output in build/windows-log.txt, shown only when it fails.
quiet() { mkdir -p build; "$@" >build/windows-log.txt 2>&1 || { cat build/windows-log.txt; return 1; }; }
case ${1:-build} in
  build | test) ;;
  *)
    echo "usage: scripts/windows.sh [test]" >&2
    exit 2
    ;;
esac

sources=${ZEROVA_WINDOWS_SOURCES:-../shared/windows-sources}
if [ ! -d "$sources" ]; then
  echo "windows.sh: $sources: no such folder; set ZEROVA_WINDOWS_SOURCES to the folder of" \
    "the libraries' source releases (docs/windows.md says which and where to get them)" >&2
  exit 1
fi
scripts/install-deps.sh windows
ZEROVA_WINDOWS_PREFIX=$(scripts/windows-libs.sh "$sources" | tail -n 1)
export ZEROVA_WINDOWS_PREFIX

echo "== Windows build (MinGW-w64)" >&2
quiet cmake --preset windows
quiet cmake --build --preset windows -j"$(nproc)"
dist=$PWD/build/windows/dist
rm -rf "$dist"
mkdir -p "$dist"
for program in zerova zerova-window; do
  x86_64-w64-mingw32-strip -o "$dist/$program.exe" "build/windows/$program.exe"
done

# The installer and the portable zip of both programs (packaging/windows/),
# named with CMake's project() version; the text files as Windows shows them.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
setup=$dist/zerova-$version-setup.exe
sed 's/$/\r/' LICENSE >"$dist/LICENSE.txt"
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' packaging/windows/README.txt >"$dist/README.txt"
echo "== installer (NSIS) and zip" >&2
quiet makensis -V2 -DVERSION="$version" -DDIST="$dist" -DOUTFILE="$setup" packaging/windows/zerova.nsi
(cd "$dist" && zip -q -X "zerova-$version-windows-x64.zip" \
  zerova.exe zerova-window.exe LICENSE.txt README.txt)

if [ "${1:-build}" = test ]; then
  echo "== Windows tests (Wine)" >&2
  ctest --preset windows -j"$(nproc)" >&2
  if [ -x build/default/zerova ]; then
    echo "== the same documents on Windows as on Linux" >&2
    tests/cli/same_on_windows.sh build/default/zerova build/windows/zerova.exe >&2
  fi
  if [ -f "$setup" ]; then
    echo "== the installer: a silent install, a run, a silent uninstall (Wine)" >&2
    tests/packaging/windows_installer_test.sh "$setup" "$version" tests/data >&2
  fi
fi
echo "$dist"
