#!/usr/bin/env bash
# Installs the Debian 12 packages Zerova needs, for one of three uses:
#
#   scripts/install-deps.sh run     what the programs need to run (the shared
#                                   libraries, Qt's platform plugins, a font)
#   scripts/install-deps.sh build   run, and what building them and their Debian
#                                   package needs (scripts/package.sh)
#   scripts/install-deps.sh test    build, and what the tests, benchmarks, fuzzing
#                                   and the package's checks need (scripts/test.sh)
#   scripts/install-deps.sh windows what the Windows build and its tests under
#                                   Wine need (scripts/windows.sh)
#
# With no argument: test. Idempotent and quiet when nothing is missing; runs
# apt-get update only when the package lists are missing or an install fails for
# want of them.
set -euo pipefail

run=(
  libgsf-1-114 libxml2               # readers: OLE2 and zip containers, XML
  libnettle8                         # encrypted workbooks: hashes, HMAC, RC4, AES
  zlib1g                             # ... a decrypted zip without its central directory
  libqt6widgets6 qt6-qpa-plugins     # the window, and Qt's way to the display
  libqt6svg6                         # ... its icon (Qt's SVG icon engine, loaded at run time)
  fontconfig fonts-dejavu-core       # a font for the window on a bare machine
)
build=(
  cmake g++ make pkg-config          # the build
  libgsf-1-dev libxml2-dev nettle-dev zlib1g-dev
  qt6-base-dev                       # the window
  dpkg-dev file                      # the package: dpkg-shlibdeps, and CPack's look at binaries
)
test=(
  libgtest-dev libgmock-dev          # tests
  zlib1g-dev                         # tests: zips written byte by byte
  libbenchmark-dev                   # benchmarks
  clang libclang-rt-14-dev           # fuzzing (libFuzzer, sanitizers)
  clang-format                       # the code's layout, checked by scripts/test.sh
  xvfb xauth xdotool                 # the window driven from outside in tests
  adwaita-qt6                        # ... and its look under the Adwaita styles
  lintian desktop-file-utils         # the package's checks
  appstream man-db
  parallel rsync                     # the README's batch over other machines, run over
  openssh-server openssh-client      #   ssh to this one (tests/cli/parallel_over_ssh_test.sh)
  python3-xlwt python3-openpyxl      # tests/data/make_*.py (the tests
  python3-odf                        #   read its committed output, never Python)
)
windows=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix  # the cross compilers (POSIX threads)
  binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  libz-mingw-w64-dev                 # zlib for MinGW
  cmake make pkgconf                 # the build
  googletest                         # GoogleTest's sources, built for Windows
  wine wine64                        # the tests, and GLib's configure checks
  meson ninja-build python3          # the libraries (scripts/windows-libs.sh)
  gcc patch xz-utils m4
  autoconf automake libtool gtk-doc-tools autopoint gettext
  libxml2-utils                      # the documents checked well-formed
  librsvg2-bin icoutils              # the programs' icon, from the SVG (scripts/windows-icon.sh)
  nsis zip                           # the installer and the portable zip
  xvfb xauth xdotool                 # the window's tests: a display for Wine, driven from outside
)

case ${1:-test} in
  run) packages=("${run[@]}") ;;
  build) packages=("${run[@]}" "${build[@]}") ;;
  test) packages=("${run[@]}" "${build[@]}" "${test[@]}") ;;
  windows) packages=("${windows[@]}") ;;
  *)
    echo "usage: install-deps.sh [run|build|test|windows]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: run as root or install sudo" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
echo "install-deps: installing ${missing[*]}"
if ! compgen -G "/var/lib/apt/lists/*_Packages*" >/dev/null; then
  "${sudo[@]}" apt-get update -qq
fi
if ! "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
