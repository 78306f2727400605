#!/bin/bash
# Mutation check: applies each deliberate fault of scripts/mutations.tsv to the
# sources, one at a time, rebuilds, runs the tests that should see it and records
# whether they failed ("killed") or all passed ("survived"). A survivor is a fault
# the tests let through. The file is always put back, and checked against git.
# Not part of the CI run: one pass over the table takes the better part of an hour.
#
#   scripts/mutate.sh [-b BUILD_DIR] [-o OUT.md] [-k ID] [-n] [-t TABLE]
#     -b  configured build folder (default build/ci)
#     -o  also write the Markdown table to this file
#     -k  run only the row with this id (may be given more than once)
#     -n  only check that every row applies; nothing is built or run
#     -t  mutation table (default scripts/mutations.tsv)
# Each row's build and test output is kept in BUILD_DIR/mutate-logs.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/ci
out=
table=scripts/mutations.tsv
only=()
dry=0
while getopts "b:o:k:nt:h" opt; do
    case $opt in
        b) build=$OPTARG ;;
        o) out=$OPTARG ;;
        k) only+=("$OPTARG") ;;
        n) dry=1 ;;
        t) table=$OPTARG ;;
        *)
            sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'
            exit 2
            ;;
    esac
done

if [[ $dry -eq 0 && ! -f $build/CMakeCache.txt ]]; then
    echo "mutate: $build is not a configured build folder (cmake --preset ci)" >&2
    exit 2
fi

export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-/work}
export QT_QPA_PLATFORM=offscreen
# The long crash campaign is for the lead's runs; each row here stays short.
unset ZORVAN_CRASH_FULL

work=$(mktemp -d)
# Each row's build and test output stays for a look at what killed it.
logs=$build/mutate-logs
[[ $dry -eq 1 ]] || mkdir -p "$logs"
original=        # the file now mutated, if any
restore() {
    if [[ -n $original ]]; then
        cp "$work/original" "$original"
        if ! git diff --quiet -- "$original"; then
            echo "mutate: $original differs from git after restoring it" >&2
            exit 3
        fi
        original=
    fi
}
trap 'restore; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

# Counts the occurrences of FIND in FILE and, with APPLY=1, replaces the only one.
# In the table, \n, \t and \\ in find and replace stand for a line break, a tab and
# a backslash.
mutate() {
    FILE=$1 FIND=$2 REPLACE=$3 APPLY=$4 python3 - <<'EOF'
import os, re, sys
unescape = lambda s: re.sub(r'\\(.)', lambda m: {'n': '\n', 't': '\t'}.get(m[1], m[1]), s)
path, find, repl = os.environ['FILE'], unescape(os.environ['FIND']), unescape(os.environ['REPLACE'])
with open(path, encoding='utf-8', newline='') as f:
    text = f.read()
count = text.count(find)
if count == 1 and os.environ['APPLY'] == '1':
    with open(path, 'w', encoding='utf-8', newline='') as f:
        f.write(text.replace(find, repl))
print(count)
EOF
}

cell() { # a table cell: no pipes or line breaks
    local s=${1//|/\\|}
    s=${s//\\n/ ⏎ }
    printf '%s' "${s//$'\t'/ }"
}

emit() { printf '%s\n' "$1" | tee -a "$work/table.md"; }

started=$(date +%s)
emit "| id | layer | file | mutation | result | failing tests (first few) |"
emit "|---|---|---|---|---|---|"

declare -A counts=()
ran_targets=()
while IFS=$'\t' read -r id file find replace description targets tests; do
    [[ -z $id || $id == \#* ]] && continue
    if [[ ${#only[@]} -gt 0 && ! " ${only[*]} " == *" $id "* ]]; then
        continue
    fi
    layer=$(sed -E 's#^src/([^/]+)/.*#\1#' <<<"$file")
    [[ $targets == - ]] && targets=
    [[ $tests == - ]] && tests=
    # Below the windows the core test programs see every fault; gtest names hold a dot.
    case $layer in
        platform | vault | tools | csv)
            targets=${targets:-zorvan_core_tests}
            tests=${tests:-'\.'}
            ;;
    esac
    result=
    failing=
    rowStart=$(date +%s)
    if [[ ! -f $file ]]; then
        result="not applicable (no such file)"
    elif ! git diff --quiet -- "$file"; then
        result="not applicable (file has local changes)"
    else
        n=$(mutate "$file" "$find" "$replace" 0)
        if [[ $n -ne 1 ]]; then
            result="not applicable (text found $n times)"
        fi
    fi
    if [[ -z $result && $dry -eq 1 ]]; then
        result="applies"
    elif [[ -z $result ]]; then
        cp -p "$file" "$work/original"
        original=$file
        mutate "$file" "$find" "$replace" 1 >/dev/null
        # shellcheck disable=SC2086 # targets is a word list
        if ! nice -n 10 cmake --build "$build" ${targets:+--target $targets} >"$work/build.log" 2>&1; then
            result="invalid (does not compile)"
            cp "$work/build.log" "$logs/$id.build.log"
        else
            set +e
            (cd "$build" && ctest -j2 --timeout 300 --no-tests=error ${tests:+-R "$tests"}) \
                >"$work/test.log" 2>&1
            rc=$?
            set -e
            cp "$work/test.log" "$logs/$id.test.log"
            if [[ $rc -ne 0 ]]; then
                result="killed"
                failing=$(sed -n '/The following tests FAILED/,$p' "$work/test.log" |
                    sed -nE 's/^[[:space:]]*[0-9]+ - ([^ ]+) .*/\1/p' | head -3 | paste -sd, - |
                    sed 's/,/, /g')
                [[ -z $failing ]] && failing=$(tail -1 "$work/test.log")
            else
                result="**survived**"
            fi
        fi
        ran_targets+=("${targets:-all}")
        restore
    fi
    key=${result%% (*}
    counts[$key]=$((${counts[$key]:-0} + 1))
    echo "mutate: $id: $result ($(($(date +%s) - rowStart)) s)" >&2
    emit "| $id | $layer | ${file#src/} | $(cell "$description") | $result | $(cell "$failing") |"
done <"$table"

# The build folder should hold what the sources say again.
if [[ ${#ran_targets[@]} -gt 0 ]]; then
    mapfile -t uniq < <(printf '%s\n' "${ran_targets[@]}" | sort -u)
    if [[ " ${uniq[*]} " == *" all "* ]]; then
        nice -n 10 cmake --build "$build" >/dev/null 2>&1 || true
    else
        # shellcheck disable=SC2046
        nice -n 10 cmake --build "$build" --target $(printf '%s ' "${uniq[@]}") >/dev/null 2>&1 || true
    fi
fi

summary=""
for key in "${!counts[@]}"; do
    summary+="${summary:+, }${counts[$key]} ${key//\*/}"
done
emit ""
emit "Rows: $summary. Time: $(($(date +%s) - started)) s."
if [[ -n $out ]]; then
    cp "$work/table.md" "$out"
fi
