#!/bin/bash
# Fails when a source file includes from a layer above its own, or when Qt reaches
# a folder below the windows. The layers, bottom to top:
#   platform < vault < tools < csv < ui < app
# Prints one line per offence and a closing count.
set -euo pipefail
cd "$(dirname "$0")/../src"

layers=(platform vault tools csv ui app)
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done
qt_from=${rank[ui]}

bad=0
files=0
while IFS= read -r file; do
    files=$((files + 1))
    own=${file%%/*}
    if [[ -z ${rank[$own]+x} ]]; then
        echo "$file: folder '$own' is not a layer"
        bad=$((bad + 1))
        continue
    fi
    while IFS=: read -r line text; do
        target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
        if [[ -n ${rank[$target]+x} && ${rank[$target]} -gt ${rank[$own]} ]]; then
            echo "$file:$line: '$own' includes from '$target', a layer above it"
            bad=$((bad + 1))
        fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+/' "$file" || true)
    if ((rank[$own] < qt_from)) && grep -qE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file"; then
        echo "$file: Qt in '$own', a layer below the windows"
        bad=$((bad + 1))
    fi
done < <(find . -name '*.cpp' -o -name '*.h' | sed 's#^\./##' | sort)

echo "check-layers: $files files, $bad offences"
((bad == 0))
