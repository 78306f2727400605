#!/bin/bash
# Installs the Debian 12 packages a task needs, only those that are missing.
# Usage: install-deps.sh run|test
set -euo pipefail

build=(cmake ninja-build g++ pkg-config libsodium-dev libzxcvbn-dev libgtest-dev googletest libbenchmark-dev qt6-base-dev qt6-svg-dev qt6-translations-l10n libxtst-dev fonts-ipafont-gothic)
test_extra=(clang-format g++-mingw-w64-x86-64-posix wine64 xvfb xauth openbox xdotool x11-utils librsvg2-bin imagemagick x11-apps clang-14 libclang-rt-14-dev desktop-file-utils appstream dpkg-dev)

case "${1:-run}" in
    run) wanted=("${build[@]}") ;;
    test) wanted=("${build[@]}" "${test_extra[@]}") ;;
    *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "Installing: ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
else
    sudo=()
fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
