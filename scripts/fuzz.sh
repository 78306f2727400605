#!/bin/bash
# Builds the libFuzzer targets (preset "fuzz"), replays every committed corpus, then
# fuzzes each target for the given seconds (default 30), two at a time. New inputs
# and reproducers go to a scratch folder, never into tests/fuzz/corpus.
# Exits nonzero when any target crashes, hangs or runs out of memory.
# Usage: fuzz.sh [seconds [target...]]   (targets: the names in tests/fuzz/CMakeLists.txt)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
scratch=${ZORVAN_FUZZ_SCRATCH:-$PWD/build/fuzz/scratch}
targets=(settings group_index item_store csv backup command_line sealed)
if (($# > 1)); then
    targets=("${@:2}")
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# The files the targets hand to the readers; removed here even after a crash.
if [[ -d /dev/shm ]]; then
    ZORVAN_FUZZ_TMP=$(mktemp -d /dev/shm/zorvan-fuzz.XXXXXX)
else
    ZORVAN_FUZZ_TMP=$(mktemp -d)
fi
export ZORVAN_FUZZ_TMP
trap 'rm -rf "$ZORVAN_FUZZ_TMP"' EXIT

# One target: replay its corpus, then fuzz. Output goes to its log.
run_target() {
    local name=$1 binary="build/fuzz/tests/fuzz/fuzz_$1" corpus="tests/fuzz/corpus/$1"
    local work="$scratch/$name"
    mkdir -p "$work/new" "$work/found"
    local options=(-max_len=8192 -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024 -print_final_stats=1
                   "-artifact_prefix=$work/found/")
    {
        echo "--- replay $corpus"
        "$binary" "${options[@]}" "$corpus"/* &&
            echo "--- fuzz $seconds s" &&
            nice -n 19 "$binary" "${options[@]}" -max_total_time="$seconds" "$work/new" "$corpus"
    } >"$work/log" 2>&1
}

failed=()
report() {
    local name=$1 status=$2 log="$scratch/$1/log"
    local execs
    execs=$(grep -E '^stat::number_of_executed_units' "$log" | tail -1 | awk '{print $2}' || true)
    if ((status == 0)); then
        echo "PASS fuzz_$name (${execs:-0} executions, $(ls "$scratch/$name/new" | wc -l) inputs in $scratch/$name/new)"
    else
        failed+=("$name")
        echo "FAIL fuzz_$name, log $log"
        grep -E 'ERROR: |SUMMARY: |Test unit written to' "$log" | sed 's/^/    /' || true
        # A replayed corpus file that fails is its own reproducer.
        if ! grep -q 'Test unit written to' "$log"; then
            grep -E '^Running: ' "$log" | tail -1 | sed 's/^Running: /    reproducer: /' || true
        fi
    fi
}

for ((i = 0; i < ${#targets[@]}; i += 2)); do
    pair=("${targets[@]:i:2}")
    pids=()
    for name in "${pair[@]}"; do
        run_target "$name" &
        pids+=($!)
    done
    for k in "${!pair[@]}"; do
        status=0
        wait "${pids[k]}" || status=$?
        report "${pair[k]}" "$status"
    done
done

# The closing line has the form ctest uses, so that scripts/test.sh counts it.
total=${#targets[@]}
bad=${#failed[@]}
echo "$(((total - bad) * 100 / total))% tests passed, $bad tests failed out of $total"
((bad == 0))
