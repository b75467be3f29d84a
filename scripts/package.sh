#!/usr/bin/env bash
# Makes Zerova's Debian package from this checkout: installs what building it
# needs (scripts/install-deps.sh build), builds a Release in build/package, with
# Debian's compiler and linker flags and without tests or benchmarks, and runs
# CPack's DEB generator (cmake/package.cmake). Prints the path of the package,
# zerova_VERSION_ARCH.deb, as its last line; then `sudo apt install` that path
# installs it with what it depends on.
#
# Usage: scripts/package.sh
# The build's output goes to build/package.log and is shown only when it fails.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/package"
log="$root/build/package.log"

"$root/scripts/install-deps.sh" build

mkdir -p "$root/build"
# Debian's flags for packages (stack protector, fortified functions, full RELRO),
# read by CMake from the environment when it configures anew.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CFLAGS="$CFLAGS $CPPFLAGS" CXXFLAGS="$CXXFLAGS $CPPFLAGS"
{
  cmake --fresh -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DZEROVA_TESTS=OFF -DZEROVA_BENCH=OFF
  cmake --build "$build" -j"$(nproc)"
  (cd "$build" && cpack -G DEB)
} >"$log" 2>&1 || { cat "$log" >&2; echo "package.sh: the package was not made" >&2; exit 1; }

# CPack names what it made: "CPack: - package: /path/zerova_0.3.0_amd64.deb generated."
deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' "$log" | tail -n 1)
if [ -z "$deb" ] || [ ! -f "$deb" ]; then
  cat "$log" >&2
  echo "package.sh: CPack named no package" >&2
  exit 1
fi
echo "$deb"
