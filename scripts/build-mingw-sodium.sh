#!/bin/bash
# Cross-compiles libsodium for x86_64-w64-mingw32 (static) from Debian's own source
# package, the same version as the installed libsodium-dev, so that the Windows build
# uses the code the native build uses. The result is cached outside the clone, once
# per machine and version; a cached copy makes this script do nothing.
#
# ZORVAN_MINGW_SODIUM names the install folder (CMake reads the same variable);
# by default /var/cache/zorvan-mingw/sodium-<Debian version>.
#
# The source comes through apt-get source with deb-src entries for the machine's
# own Debian suites, kept in a private folder: /etc/apt and the machine's package
# lists are left alone.
set -euo pipefail

host=x86_64-w64-mingw32
needed=(libsodium-dev dpkg-dev autoconf automake libtool make gcc-mingw-w64-x86-64-posix)

# shellcheck source=scripts/lib/debian-source.sh
source "$(dirname "$0")/lib/debian-source.sh"
install_missing "${needed[@]}"

version=$(dpkg-query -W -f='${Version}' libsodium-dev)
source_package=$(dpkg-query -W -f='${source:Package}' libsodium-dev)
prefix=${ZORVAN_MINGW_SODIUM:-/var/cache/zorvan-mingw/sodium-$version}

if [[ -f $prefix/lib/libsodium.a && -f $prefix/include/sodium.h ]]; then
    echo "libsodium $version for $host: $prefix (cached)"
    exit 0
fi

echo "libsodium $version for $host: building into $prefix"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
debian_source "$work" "$work/src" "$source_package=$version"
tree=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name "$source_package-*" | head -1)
if [[ -z $tree ]]; then
    echo "build-mingw-sodium: apt-get source gave no $source_package source tree" >&2
    exit 1
fi

# Installed into a folder beside the prefix and moved into place at the end, so that
# an interrupted run never leaves a prefix that looks complete.
mkdir -p "$(dirname "$prefix")"
stage=$(mktemp -d "$prefix.partial.XXXXXX")
trap 'rm -rf "$work" "$stage"' EXIT
(
    cd "$tree"
    # The Debian tarball holds no configure script; Debian's build makes it with
    # autoreconf as well.
    autoreconf -fi >"$work/autoreconf.log" 2>&1 || { tail -40 "$work/autoreconf.log" >&2; exit 1; }
    # The whole library: the vault needs argon2id, XChaCha20-Poly1305, randombytes and
    # guarded memory, and --enable-minimal would drop parts of the API.
    ./configure --host=$host --prefix="$prefix" --disable-shared --enable-static \
        CC=$host-gcc-posix CFLAGS="-O2" >"$work/configure.log" 2>&1 ||
        { tail -40 "$work/configure.log" >&2; exit 1; }
    make -j"$(nproc)" >"$work/make.log" 2>&1 || { tail -40 "$work/make.log" >&2; exit 1; }
    make install DESTDIR="$stage" >"$work/install.log" 2>&1 || { tail -40 "$work/install.log" >&2; exit 1; }
)
rm -rf "$prefix"
mv "$stage$prefix" "$prefix"
echo "libsodium $version for $host: installed into $prefix"
