#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
# Cross-builds, with MinGW-w64 for 64-bit Windows, the third-party libraries
# Zerova's Windows build links statically: libffi, PCRE2, GLib (GLib, GObject,
# GIO), win-iconv, libxml2, Nettle and libgsf. They come from the source
# releases in SOURCES_DIR (its README.md says where each comes from), checked
# against the checksums below, with Debian 12's patches applied; the tools come
# from Debian packages, which this script installs when missing. Nothing is
# downloaded and nothing is written inside the checkout.
#
# Usage: scripts/windows-libs.sh [SOURCES_DIR]
#   SOURCES_DIR defaults to $ZEROVA_WINDOWS_SOURCES.
#
# The result is a prefix, ${ZEROVA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-~/.cache}/zerova/windows}/KEY,
# holding include/, lib/*.a and lib/pkgconfig/*.pc (glib-2.0, gobject-2.0,
# gio-2.0, libgsf-1, libxml-2.0, nettle, zlib), plus win-iconv as lib/libiconv.a
# and include/iconv.h. KEY is a hash of the sources' checksums, of this script
# and of the cross toolchain's versions, so a second run builds nothing. The
# build runs in a temporary folder into a staging prefix that is renamed into
# place only when everything succeeded. Its output goes to log files, shown
# only on failure. The last line on stdout is the prefix; use it with
#   PKG_CONFIG_LIBDIR=PREFIX/lib/pkgconfig pkg-config --static ...
set -euo pipefail

self=$(readlink -f "${BASH_SOURCE[0]}")
started=$SECONDS

say() { echo "windows-libs: $*" >&2; }
die() { say "$*"; exit 1; }

# ---------------------------------------------------------------------------
# The sources: file, sha256, where it comes from.
sources=(
  "glib2.0_2.74.6.orig.tar.xz|069cf7e51cd261eb163aaf06c8d1754c6835f31252180aff5814e5afc7757fbc|Debian 12 source package glib2.0 2.74.6-2+deb12u9 (apt-get source glib2.0)"
  "glib2.0_2.74.6-2+deb12u9.debian.tar.xz|ccfe76a05463099331f31fc2fde1677ce3c5e0d054112890541b511c0b3321ff|Debian 12 source package glib2.0 2.74.6-2+deb12u9 (apt-get source glib2.0)"
  "libffi_3.4.4.orig.tar.gz|d66c56ad259a82cf2a9dfc408b32bf5da52371500b84745f7fb8b645712df676|Debian 12 source package libffi 3.4.4-1 (apt-get source libffi)"
  "pcre2_10.42.orig.tar.gz|c33b418e3b936ee3153de2c61cc638e7e4fe3156022a5c77d0711bcbb9d64f1f|Debian 12 source package pcre2 10.42-1 (apt-get source pcre2)"
  "proxy-libintl-0.4.tar.gz|13ef3eea0a3bc0df55293be368dfbcff5a8dd5f4759280f28e030d1494a5dffb|proxy-libintl's git tag 0.4 (commit c03e1a74b17fa7ec467e110130775409e4828a4c), as git archive --prefix=proxy-libintl-0.4/"
  "win-iconv-0.0.10.tar.gz|8208fc0bd68d75bcc61b071168f4289413bcc06febcb8900f044e695689407c6|win-iconv's git tag v0.0.10 (commit 9d16924a97cffcda415dc28569c15d34a6dbf1d5), as git archive --prefix=win-iconv-0.0.10/"
  "libxml2_2.9.14+dfsg.orig.tar.xz|4fe913dec8b1ab89d13b489b419a8203176ea39e931eaa0d25b17eafb9c279e9|Debian 12 source package libxml2 2.9.14+dfsg-1.3~deb12u6 (apt-get source libxml2)"
  "libxml2_2.9.14+dfsg-1.3~deb12u6.debian.tar.xz|f33a99a0018cbb94aadc3bf26661e401cb90dff856aa170faf7239151ee9b9ac|Debian 12 source package libxml2 2.9.14+dfsg-1.3~deb12u6 (apt-get source libxml2)"
  "nettle_3.8.1.orig.tar.gz|364f3e2b77cd7dcde83fd7c45219c834e54b0c75e428b6f894a23d12dd41cbfe|Debian 12 source package nettle 3.8.1-2 (apt-get source nettle)"
  "libgsf-1.14.50.tar.gz|fc26642f7347c8dc68a24afabec43baa54adae5dc29cc15e5de58b29d3bf6dac|libgsf's git tag LIBGSF_1_14_50 (commit 3f6b8dc6f2ba395eeb0dc3c2ebc60c14105be3e1), as git archive --prefix=libgsf-1.14.50/"
  "libgsf_1.14.50-1+deb12u1.debian.tar.xz|cce2b2a627d43c054c3125d739d902ae4fec7a49e6767ea0e0c78ff891c0ca1f|Debian 12 source package libgsf 1.14.50-1+deb12u1 (apt-get source libgsf)"
)

# The Debian packages the build needs.
packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix  # the cross compilers (POSIX threads)
  binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  libz-mingw-w64-dev                   # zlib for MinGW, used as it is
  wine wine64                          # runs GLib's configure checks
  meson ninja-build python3            # GLib
  gcc make patch xz-utils pkgconf m4   # the autotools builds
  autoconf automake libtool gtk-doc-tools autopoint gettext  # libgsf's autogen.sh
)

host=x86_64-w64-mingw32
mingw_sysroot=/usr/$host

# ---------------------------------------------------------------------------
# Check the sources.
src=${1:-${ZEROVA_WINDOWS_SOURCES:-}}
[ -n "$src" ] || die "usage: windows-libs.sh SOURCES_DIR (or set ZEROVA_WINDOWS_SOURCES)"
[ -d "$src" ] || die "$src: no such folder of sources"
src=$(cd "$src" && pwd)

bad=0
have_list=1
listed=
if [ -r "$src/SHA256SUMS" ]; then
  listed=$(cat "$src/SHA256SUMS")
else
  say "$src/SHA256SUMS: missing; it comes with the sources' folder"
  bad=1 have_list=0
fi
expected_sums=
for entry in "${sources[@]}"; do
  IFS='|' read -r file sum where <<<"$entry"
  expected_sums+="$sum  $file"$'\n'
  if [ ! -f "$src/$file" ]; then
    say "$src/$file: missing; get it from $where"; bad=1; continue
  fi
  if [ "$have_list" -eq 1 ] && ! grep -qxF "$sum  $file" <<<"$listed"; then
    say "$src/$file: its line in SHA256SUMS is missing or differs; get it from $where"; bad=1; continue
  fi
  actual=$(sha256sum <"$src/$file" | cut -d' ' -f1)
  if [ "$actual" != "$sum" ]; then
    say "$src/$file: sha256 $actual, expected $sum; get it from $where"; bad=1
  fi
done
[ "$bad" -eq 0 ] || exit 1

# ---------------------------------------------------------------------------
# Install the packages that are missing.
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || die "run as root or install sudo, to install ${missing[*]}"
    sudo=(sudo)
  fi
  say "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi

# ---------------------------------------------------------------------------
# The cache key: the sources' sums, this script (the recipe) and the toolchain.
toolchain=$(dpkg-query -W -f='${Package}=${Version}\n' g++-mingw-w64-x86-64-posix \
  gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev libz-mingw-w64-dev meson)
key=$( { printf '%s' "$expected_sums"; cat "$self"; printf '%s\n' "$toolchain"; } | sha256sum | cut -c1-16)
cache_root=${ZEROVA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-${HOME:?}/.cache}/zerova/windows}
mkdir -p "$cache_root"
cache_root=$(cd "$cache_root" && pwd)
prefix=$cache_root/$key

if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

# One build at a time; a run that waited may find its prefix done.
exec 9>"$cache_root/.lock"
flock 9
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

# ---------------------------------------------------------------------------
# The build.
work=$(mktemp -d "${TMPDIR:-/tmp}/zerova-windows-libs.XXXXXX")
# A fixed name (the lock is held), so that the build does not vary with it.
stage=$cache_root/.stage-$key
logs=$cache_root/$key.logs
rm -rf "$stage" "$logs"
mkdir -p "$logs" "$stage/include" "$stage/lib/pkgconfig"

export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
  if [ -d "$WINEPREFIX" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  rm -rf "$work" "$stage"
}
trap cleanup EXIT

jobs=$(nproc)
build=$(gcc -dumpmachine)
export PKG_CONFIG=pkg-config PKG_CONFIG_LIBDIR=$stage/lib/pkgconfig
unset PKG_CONFIG_PATH PKG_CONFIG_SYSROOT_DIR CC CXX CFLAGS CXXFLAGS CPPFLAGS LDFLAGS
export LC_ALL=C
# For the autotools builds: configure's own arguments.
autoconf_args=(--host="$host" --build="$build" --prefix="$stage" --disable-shared --enable-static
  --disable-dependency-tracking
  CC="$host-gcc-posix" CXX="$host-g++-posix" AR="$host-ar" RANLIB="$host-ranlib"
  CFLAGS="-O2" CXXFLAGS="-O2")

# step NAME FUNCTION: runs FUNCTION in a fresh folder with its output in NAME's
# log; on failure shows the log's tail and fails.
step() {
  local name=$1 t0=$SECONDS
  shift
  mkdir -p "$work/$name"
  # In the background, so that set -e holds inside (it would not in an `if`);
  # without the lock's descriptor, which a lasting wineserver would keep.
  (cd "$work/$name" && set -x && "$@") >"$logs/$name.log" 2>&1 9>&- &
  if ! wait $!; then
    say "$name failed; the end of $logs/$name.log:"
    tail -n 40 "$logs/$name.log" >&2
    exit 1
  fi
  say "$name: $((SECONDS - t0)) s"
}

# unpack FILE: into the current folder, one level of folders stripped.
unpack() { tar -xf "$src/$1" --strip-components=1; }

# debian_patches FILE: applies the patches of a Debian source package's
# debian.tar.xz in its series' order.
debian_patches() {
  mkdir -p .debian
  tar -xf "$src/$1" -C .debian
  local p
  while read -r p _; do
    case $p in '' | '#'*) continue ;; esac
    patch -p1 -s -N -i ".debian/debian/patches/$p"
  done <.debian/debian/patches/series
}

zlib_pc() {
  cp "$mingw_sysroot/lib/pkgconfig/zlib.pc" "$stage/lib/pkgconfig/zlib.pc"
}

wine_boot() {
  wineboot --init
  wineserver -w
  # Kept running while GLib's configure checks start programs under Wine.
  wineserver -p
}

libffi() {
  unpack libffi_3.4.4.orig.tar.gz
  ./configure "${autoconf_args[@]}" --disable-docs --disable-multi-os-directory
  make -j"$jobs"
  make install
}

pcre2() {
  unpack pcre2_10.42.orig.tar.gz
  ./configure "${autoconf_args[@]}" CPPFLAGS=-DPCRE2_STATIC \
    --disable-pcre2grep-jit --disable-pcre2grep-callout
  make -j"$jobs" libpcre2-8.la libpcre2-posix.la
  make install-libLTLIBRARIES install-includeHEADERS install-nodist_includeHEADERS install-pkgconfigDATA
}

glib() {
  unpack glib2.0_2.74.6.orig.tar.xz
  debian_patches glib2.0_2.74.6-2+deb12u9.debian.tar.xz
  mkdir -p subprojects/proxy-libintl
  tar -xf "$src/proxy-libintl-0.4.tar.gz" --strip-components=1 -C subprojects/proxy-libintl
  # GLib carries its own copy of win-iconv inside gconvert.c; its functions are
  # renamed so that they never clash with lib/libiconv.a in a static link.
  cat >cross.ini <<EOF
[binaries]
c = '$host-gcc-posix'
cpp = '$host-g++-posix'
ar = '$host-ar'
strip = '$host-strip'
windres = '$host-windres'
pkgconfig = 'pkg-config'
exe_wrapper = 'wine'

[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'

[properties]
pkg_config_libdir = '$stage/lib/pkgconfig'

[built-in options]
c_args = ['-Diconv_open=_g_win_iconv_open', '-Diconv_close=_g_win_iconv_close', '-Diconv=_g_win_iconv']
EOF
  meson setup _build --cross-file cross.ini --prefix="$stage" --libdir=lib \
    --default-library=static -Doptimization=2 -Ddebug=false -Db_ndebug=false \
    -Dwrap_mode=nodownload -Dtests=false -Dinstalled_tests=false -Dnls=disabled \
    -Dlibmount=disabled -Dselinux=disabled -Dxattr=false -Dgtk_doc=false -Dman=false \
    -Ddtrace=false -Dsystemtap=false -Dsysprof=disabled -Dlibelf=disabled \
    -Doss_fuzz=disabled -Dglib_debug=disabled
  # Only the libraries (their generated headers come along), not GLib's tools
  # and fuzzers, which take a fifth of the build; then only what linking needs.
  ninja -C _build -j"$jobs" glib/libglib-2.0.a gobject/libgobject-2.0.a gio/libgio-2.0.a \
    gmodule/libgmodule-2.0.a gthread/libgthread-2.0.a subprojects/proxy-libintl/libintl.a
  meson install -C _build --no-rebuild --tags devel --quiet
}

win_iconv() {
  unpack win-iconv-0.0.10.tar.gz
  # iconv() as on glibc, taking char **: the installed header says so too.
  "$host-gcc-posix" -O2 -DWINICONV_CONST= -c win_iconv.c -o win_iconv.o
  "$host-ar" rcs libiconv.a win_iconv.o
  install -m 644 libiconv.a "$stage/lib/"
  {
    printf '%s\n' "/* win-iconv 0.0.10, built with WINICONV_CONST empty: iconv() takes char ** as on glibc. */" \
      '#ifndef WINICONV_CONST' '# define WINICONV_CONST' '#endif'
    cat iconv.h
  } >"$stage/include/iconv.h"
}

libxml2() {
  unpack libxml2_2.9.14+dfsg.orig.tar.xz
  debian_patches libxml2_2.9.14+dfsg-1.3~deb12u6.debian.tar.xz
  # HTTP stays: libgsf's gsf_init() registers its HTTP input.
  ./configure "${autoconf_args[@]}" --disable-maintainer-mode \
    --without-python --without-lzma --without-icu --without-readline --without-history \
    --with-iconv="$stage" --with-zlib="$mingw_sysroot" \
    --without-ftp --without-catalog --without-debug --without-docbook --without-c14n \
    --without-schematron --without-schemas --without-xptr --without-xinclude --without-xpath \
    --without-modules --without-legacy
  make -j"$jobs" libxml2.la
  make install-libLTLIBRARIES install-pkgconfigDATA
  make -C include install
}

nettle() {
  unpack nettle_3.8.1.orig.tar.gz
  ./configure "${autoconf_args[@]}" --disable-public-key --disable-documentation --disable-openssl
  make -j"$jobs" libnettle.a nettle.pc
  make install-headers install-static install-pkgconfig
}

libgsf_autogen() {
  unpack libgsf-1.14.50.tar.gz
  debian_patches libgsf_1.14.50-1+deb12u1.debian.tar.xz
  NOCONFIGURE=1 ./autogen.sh
}

libgsf() {
  cd "$work/libgsf_autogen"
  ./configure "${autoconf_args[@]}" --disable-nls --without-gdk-pixbuf --disable-introspection \
    --without-bz2 --disable-gtk-doc --disable-gtk-doc-html --disable-gtk-doc-pdf
  make -C gsf -j"$jobs"
  make -C gsf install
  # libgsf-1.pc leaves out GIO and zlib, which a static link needs.
  sed -e 's/^Requires:.*/Requires: gio-2.0 gobject-2.0 glib-2.0 libxml-2.0/' libgsf-1.pc >"$stage/lib/pkgconfig/libgsf-1.pc"
  echo 'Requires.private: zlib' >>"$stage/lib/pkgconfig/libgsf-1.pc"
}

# Two chains at once: the 2-core machine keeps busy while one configures.
say "building into $prefix (logs in $logs)"
zlib_pc
(
  trap wait EXIT # Wine's start, even when a step here fails
  step wine wine_boot &
  wine=$!
  step libffi libffi
  step pcre2 pcre2
  wait "$wine"
  step glib glib
) &
chain_glib=$!
(
  step win_iconv win_iconv
  step libxml2 libxml2
  step nettle nettle
  step libgsf_autogen libgsf_autogen
) &
chain_rest=$!
failed=0
wait "$chain_glib" || failed=1
wait "$chain_rest" || failed=1
[ "$failed" -eq 0 ] || exit 1
wineserver -k >/dev/null 2>&1 || true
step libgsf libgsf

# ---------------------------------------------------------------------------
# Only what a static link needs stays: headers, static libraries, .pc files.
finish() {
  rm -rf "${stage:?}/bin" "${stage:?}/share" "${stage:?}/libexec"
  find "$stage/lib" -name '*.la' -delete
  local pc
  for pc in glib-2.0 gobject-2.0 gio-2.0 libgsf-1 libxml-2.0 nettle zlib; do
    test -f "$stage/lib/pkgconfig/$pc.pc"
  done
}
step finish finish

# A self-check: a program linked statically against all of it, run under Wine,
# writes and reads back an OLE2 file and a zip, hashes, converts and parses.
selfcheck() {
  cat >check.c <<'EOF'
#include <gsf/gsf.h>
#include <iconv.h>
#include <libxml/parser.h>
#include <nettle/sha1.h>
#include <stdio.h>
#include <string.h>

static int failures;
#define CHECK(what, ok) do { if (!(ok)) { printf("FAIL %s\n", what); failures++; } } while (0)

static int round_trip(int zip) {
  GError *err = NULL;
  GsfOutput *mem = gsf_output_memory_new();
  GsfOutfile *out = zip ? gsf_outfile_zip_new(mem, &err) : gsf_outfile_msole_new(mem);
  if (!out) return 0;
  GsfOutput *child = gsf_outfile_new_child(out, "Workbook", FALSE);
  gsf_output_write(child, 5, (const guint8 *)"hello");
  gsf_output_close(child);
  g_object_unref(child);
  gsf_output_close(GSF_OUTPUT(out));
  g_object_unref(out);
  GsfInput *in = gsf_input_memory_new(gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(mem)),
                                      gsf_output_size(mem), FALSE);
  GsfInfile *infile = zip ? gsf_infile_zip_new(in, &err) : gsf_infile_msole_new(in, &err);
  int ok = 0;
  if (infile) {
    GsfInput *stream = gsf_infile_child_by_name(infile, "Workbook");
    const guint8 *data = stream ? gsf_input_read(stream, 5, NULL) : NULL;
    ok = data && memcmp(data, "hello", 5) == 0;
    if (stream) g_object_unref(stream);
    g_object_unref(infile);
  }
  g_object_unref(in);
  g_object_unref(mem);
  return ok;
}

int main(void) {
  gsf_init();
  CHECK("OLE2", round_trip(0));
  CHECK("zip", round_trip(1));

  struct sha1_ctx sha;
  uint8_t digest[SHA1_DIGEST_SIZE];
  sha1_init(&sha);
  sha1_update(&sha, 3, (const uint8_t *)"abc");
  sha1_digest(&sha, sizeof digest, digest);
  CHECK("sha1", digest[0] == 0xa9 && digest[1] == 0x99);

  iconv_t cd = iconv_open("UTF-8", "CP1251");
  char in[] = "\xcf\xf0\xe8", out[16] = {0};
  char *ip = in, *op = out;
  size_t il = 3, ol = sizeof out;
  CHECK("iconv", cd != (iconv_t)-1 && iconv(cd, &ip, &il, &op, &ol) == 0 &&
                     strcmp(out, "\xd0\x9f\xd1\x80\xd0\xb8") == 0);

  xmlDocPtr doc = xmlReadMemory("<a><b>x</b></a>", 15, "x.xml", NULL, 0);
  CHECK("libxml2", doc && strcmp((const char *)xmlDocGetRootElement(doc)->name, "a") == 0);
  xmlFreeDoc(doc);

  gsf_shutdown();
  if (!failures) printf("ok\n");
  return failures != 0;
}
EOF
  # shellcheck disable=SC2046
  "$host-gcc-posix" -O2 -Wall -o check.exe check.c -static \
    $(pkg-config --static --cflags --libs libgsf-1 libxml-2.0 nettle) -liconv
  "$host-objdump" -p check.exe | awk '/DLL Name:/ {print $3}' >imports.txt
  cat imports.txt
  if grep -Eiv '^(kernel32|msvcrt|ws2_32|ole32|oleaut32|shell32|shlwapi|advapi32|user32|gdi32|dnsapi|iphlpapi|winmm|bcrypt|crypt32|secur32|userenv|ntdll|rpcrt4|mswsock|setupapi|comctl32|api-ms-win-[a-z0-9-]+)\.dll$' imports.txt; then
    echo "check.exe imports a DLL that is not Windows' own"
    return 1
  fi
  wine check.exe | tr -d '\r' | tee result.txt
  grep -qx ok result.txt
}
step selfcheck selfcheck
wineserver -k >/dev/null 2>&1 || true

# The staging prefix becomes the cache prefix: its paths are rewritten, then
# it is renamed into place in one step.
{ grep -rlIZ --fixed-strings "$stage" "$stage" || true; } | xargs -0r sed -i "s|$stage|$prefix|g"
! grep -rqI --fixed-strings "$stage" "$stage" || die "the staging path is left in $stage"
mv "$logs" "$stage/logs"
touch "$stage/.complete"
rm -rf "$prefix"
mv -T "$stage" "$prefix"
say "done in $((SECONDS - started)) s"
echo "$prefix"
