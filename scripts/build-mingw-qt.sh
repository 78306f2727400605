#!/bin/bash
# Cross-compiles qtbase for x86_64-w64-mingw32 as static libraries from Debian's own
# source package, the version of the installed qt6-base-dev, so that the Windows
# program is built from the Qt the native one uses. Debian's native Qt supplies the
# host tools (moc, rcc, uic). The result is cached outside the clone, once per machine
# and version; a cached copy makes this script do nothing. The first build takes
# about half an hour on two cores.
#
# Qt SVG is not built: the Windows program gets its images as PNG drawn from the same
# SVG files at build time (src/ui/CMakeLists.txt), which keeps this build shorter and
# needs one source package only.
#
# ZORVAN_MINGW_QT names the install folder (CMake reads the same variable); by
# default /var/cache/zorvan-mingw/qt-<Debian version of qt6-base>.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$PWD

host=x86_64-w64-mingw32
needed=(qt6-base-dev qt6-base-dev-tools dpkg-dev cmake ninja-build perl
    g++-mingw-w64-x86-64-posix)

# shellcheck source=scripts/lib/debian-source.sh
source scripts/lib/debian-source.sh
install_missing "${needed[@]}"

base_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
base_source=$(dpkg-query -W -f='${source:Package}' qt6-base-dev)
prefix=${ZORVAN_MINGW_QT:-/var/cache/zorvan-mingw/qt-$base_version}
# Written last: its presence means the prefix is whole.
stamp=$prefix/zorvan-qt-build.txt

if [[ -f $stamp ]]; then
    echo "Qt $base_version for $host: $prefix (cached)"
    exit 0
fi

echo "Qt $base_version for $host: building into $prefix"
started=$SECONDS
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
debian_source "$work" "$work/src" "$base_source=$base_version"
base_tree=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name "$base_source-*" | head -1)
if [[ -z $base_tree ]]; then
    echo "build-mingw-qt: apt-get source gave no $base_source source tree" >&2
    exit 1
fi

# Installed into a folder beside the prefix and moved into
# place at the end, so that an interrupted run never leaves a prefix that looks whole.
# Qt's CMake files are relocatable, so the move keeps them working.
mkdir -p "$(dirname "$prefix")"
stage=$(mktemp -d "$prefix.partial.XXXXXX")
trap 'rm -rf "$work" "$stage"' EXIT
chmod 755 "$stage"

# The machine is shared: the long compile runs at the lowest priority.
build() { # name log cmake-arguments...
    local name=$1 log=$2
    shift 2
    echo "  $name: configure"
    nice -n 19 cmake -G Ninja "$@" >"$log" 2>&1 || { tail -60 "$log" >&2; return 1; }
    echo "  $name: build"
    nice -n 19 cmake --build "$work/build-$name" --parallel "$(nproc)" >>"$log" 2>&1 ||
        { grep -m 20 -B 2 -A 8 -E 'error|FAILED' "$log" >&2 || tail -60 "$log" >&2; return 1; }
    cmake --install "$work/build-$name" >>"$log" 2>&1 || { tail -40 "$log" >&2; return 1; }
}

common=(
    -DCMAKE_BUILD_TYPE=Release
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DBUILD_SHARED_LIBS=OFF
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    # No wine while Qt builds: nothing of it runs here.
    -DCMAKE_CROSSCOMPILING_EMULATOR=
)

# The program needs Core, Gui, Widgets, Network (the single-instance socket) and the
# Windows platform plugin. Everything Qt can take from its own tree is taken from
# there, so that no other mingw library is needed; no TLS, so no OpenSSL.
# tabletevent: Debian's tarball drops the wintab headers. OpenGL stays on (loaded at
# run time): the Windows platform plugin of this version does not compile without it.
# DirectWrite on with Direct2D off fails to link the plugin, so both are off and the
# plugin draws text through GDI.
build qtbase "$work/qtbase.log" -S "$base_tree" -B "$work/build-qtbase" "${common[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$stage" \
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_testlib=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_openssl=OFF -DINPUT_openssl=no \
    -DFEATURE_tabletevent=OFF \
    -DINPUT_opengl=dynamic \
    -DFEATURE_direct2d=OFF -DFEATURE_directwrite=OFF -DFEATURE_directwrite3=OFF

# The few files that name the folder they were installed into are pointed at the
# final one; the CMake package files otherwise find everything relative to themselves.
grep -rlF "$stage" "$stage" 2>/dev/null | while read -r file; do
    if grep -qI . "$file"; then sed -i "s|$stage|$prefix|g" "$file"; fi
done

echo "qtbase $base_version" >"$stage/zorvan-qt-build.txt"
rm -rf "$prefix"
mv "$stage" "$prefix"
echo "Qt $base_version for $host: installed into $prefix in $(((SECONDS - started) / 60)) min"
