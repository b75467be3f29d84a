#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and fuzzing Zerova need.
# Idempotent and quiet when nothing is missing; runs apt-get update only when the
# package lists are missing or an install fails for want of them.
set -euo pipefail

packages=(
  cmake g++ make pkg-config          # the build
  libgsf-1-dev libxml2-dev           # readers: OLE2 and zip containers, XML
  zlib1g-dev                         # ... a zip without its central directory
  nettle-dev                         # encrypted workbooks: hashes, HMAC, RC4, AES
  qt6-base-dev                       # the window
  libgtest-dev libgmock-dev          # tests
  libbenchmark-dev                   # benchmarks
  clang libclang-rt-14-dev           # fuzzing (libFuzzer, sanitizers)
  xvfb xauth xdotool                 # the window driven from outside in tests
  openbox libx11-dev                 # ... under a window manager, watched through Xlib
  fontconfig fonts-dejavu-core       # a font for the window on a bare machine
)

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
