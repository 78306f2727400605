#!/bin/bash
# Builds and runs every test: the native build with warnings as errors, the core
# under AddressSanitizer and UndefinedBehaviorSanitizer, the Windows build under
# wine, the formatting and layer checks, and a short run of every fuzz target.
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

# Includes point down the layers only, and Qt stays above the core; one test.
step "Layers"
if bash scripts/check-layers.sh; then
    echo "100% tests passed, 0 tests failed out of 1" >"$logs/layers.log"
else
    echo "0% tests passed, 1 tests failed out of 1" >"$logs/layers.log"
fi

for preset in ci sanitize mingw; do
    step "Build and test: $preset"
    if [[ $preset == mingw ]]; then
        # libsodium and Qt for Windows, built once per machine into a cache folder.
        bash scripts/build-mingw-sodium.sh
        bash scripts/build-mingw-qt.sh
    fi
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset" -j2 --timeout 600 | tee "$logs/$preset.log"
done

# The screenshot script still renders its three windows; it counts as one test.
step "Screenshots"
# It once found no main window within 30 s on a loaded machine and never again in
# many runs; a second try is made and shown, with what was on the screen.
if bash scripts/screenshots.sh "$logs/screenshots" ||
    { echo "screenshots: second try"; bash scripts/screenshots.sh "$logs/screenshots"; }; then
    echo "100% tests passed, 0 tests failed out of 1" | tee "$logs/screenshots.log"
else
    echo "0% tests passed, 1 tests failed out of 1" | tee "$logs/screenshots.log"
fi

# The .deb installs and starts as far as the password dialog; one closing line.
step "Package"
bash scripts/package-check.sh build/ci | tee "$logs/package.raw" || true
sed -nE 's/^package-check: ([0-9]+) passed, ([0-9]+) failed$/\1 \2/p' "$logs/package.raw" |
    while read -r ok bad; do
        echo "$((ok * 100 / (ok + bad)))% tests passed, $bad tests failed out of $((ok + bad))"
    done >"$logs/package.log"

# Each target counts as one test; its corpus is replayed first. A failure is counted
# below rather than ending the script here.
step "Fuzz: every target for 30 s"
bash scripts/fuzz.sh 30 | tee "$logs/fuzz.log" || true

# One closing line over all runs. A log without a result line (its build failed)
# counts as one failure.
passed=0
failed=0
for log in "$logs"/*.log; do
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1 || true)
    if [[ -z $line ]]; then
        failed=$((failed + 1))
        continue
    fi
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
done
echo
echo "$passed passed, $failed failed"
((failed == 0))
