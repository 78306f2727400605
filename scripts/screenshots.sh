#!/bin/bash
# Renders the main window, the item dialog and the options dialog over the sample
# vault on a private X server with openbox, and writes PNGs.
# Usage: screenshots.sh [output folder]   (default: docs/)
# Expects a built program in build/ci or build/default (scripts/run.sh builds one).
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs}")
mkdir -p "$out"

program=""
for candidate in build/ci/src/app/zorvan build/default/src/app/zorvan; do
    if [[ -x $candidate ]]; then
        program=$(realpath "$candidate")
        break
    fi
done
[[ -n $program ]] || { echo "screenshots: no built program; run scripts/run.sh first" >&2; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

cp tests/data/vault-sample/Zorvan.* "$work/"
# Xvfb picks a free display and names it in the file.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 150); do
    [[ -s $work/display ]] && break
    sleep 0.2
done
export DISPLAY=":$(head -1 "$work/display")"
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)

# Waits until a window with exactly this title is shown; prints its id.
window() {
    for _ in $(seq 150); do
        if id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [[ -n $id ]]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    echo "screenshots: no window \"$1\"; the windows shown:" >&2
    xdotool search --onlyvisible --name '.' getwindowname %@ >&2 2>/dev/null || true
    echo "screenshots: the program said:" >&2
    cat "$work/program.log" >&2 2>/dev/null || true
    return 1
}

shoot() {
    for _ in $(seq 20); do
        sleep 0.5  # let it map and paint
        if import -window "$1" "$out/$2" 2>/dev/null; then
            echo "screenshots: $out/$2"
            return 0
        fi
    done
    echo "screenshots: could not capture $2" >&2
    return 1
}

# Sends keys to a window once the window manager has made it active, so that they
# cannot reach another one while focus is still moving.
press() {
    local id=$1
    shift
    xdotool windowactivate --sync "$id" 2>/dev/null || true
    xdotool key "$@"
}

# Waits until the window is gone.
closed() {
    for _ in $(seq 150); do
        xwininfo -id "$1" 2>/dev/null | grep -q IsViewable || return 0
        sleep 0.2
    done
    return 1
}

ZORVAN_DATA_DIR="$work" QT_QPA_PLATFORM=xcb "$program" /p zorvan >"$work/program.log" 2>&1 &
pids+=($!)
main=$(window "Zorvan [0-9.]*")
xdotool windowsize --sync "$main" 560 300
shoot "$main" main-window.png

press "$main" F6 Tab Down Up Return
item=$(window ".*のプロパティ")
shoot "$item" item-dialog.png
press "$item" Escape
closed "$item"

press "$main" alt+Return
options=$(window "オプション")
shoot "$options" options-dialog.png
press "$options" Escape
closed "$options"
