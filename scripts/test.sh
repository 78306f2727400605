#!/bin/bash
# Builds and runs every test: the native build with warnings as errors, the core
# under AddressSanitizer and UndefinedBehaviorSanitizer, the Windows build under
# wine, and the formatting check.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
export WINEDEBUG=-all
export WINEPREFIX="$PWD/build/wineprefix"
export QT_QPA_PLATFORM=offscreen

step() { echo; echo "=== $*"; }

step "Formatting"
mapfile -t sources < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench -name '*.cpp' -o -name '*.h')
clang-format --dry-run --Werror "${sources[@]}"
echo "clang-format: ${#sources[@]} files clean"

for preset in ci sanitize mingw; do
    step "Build and test: $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset" -j2 --timeout 600 | tee "$logs/$preset.log"
done

# One closing line over all runs.
passed=0
failed=0
for log in "$logs"/*.log; do
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
done
echo
echo "$passed passed, $failed failed"
((failed == 0))
