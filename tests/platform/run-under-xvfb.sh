#!/bin/bash
# Runs a command with an X server of its own: Xvfb picks a free display and names
# it (-displayfd), so parallel runs never collide and the user's desktop, its
# window manager and its keyboard stay out of the test.
# Usage: run-under-xvfb.sh COMMAND [ARGS...]
# For wine, COMMAND is the wine program. Wine's server keeps the display of the
# first program that started it, so WINEPREFIX must name a prefix that no other
# program uses meanwhile; its server is waited for before and after the run.
set -euo pipefail

dir=$(mktemp -d)
xvfb=
cleanup() {
    if [[ -n $xvfb ]]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$dir"
}
trap cleanup EXIT

wineserver=$(dirname "$1")/wineserver
if [[ $(basename "$1") != wine* || ! -x $wineserver ]]; then
    wineserver=
fi
if [[ -n $wineserver ]]; then
    # A server left from an earlier run would still hold that run's display.
    timeout 60 "$wineserver" -w || true
fi

Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 -noreset 3>"$dir/display" \
    >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 300); do
    if [[ $(wc -l <"$dir/display") -ge 1 ]]; then
        break
    fi
    if ! kill -0 "$xvfb" 2>/dev/null; then
        echo "Xvfb ended without naming a display" >&2
        exit 1
    fi
    sleep 0.1
done
number=$(head -n1 "$dir/display")
if [[ -z $number ]]; then
    echo "Xvfb named no display" >&2
    exit 1
fi
export DISPLAY=":$number"

status=0
"$@" || status=$?
if [[ -n $wineserver ]]; then
    # Wine's own programs end while their display still exists.
    timeout 60 "$wineserver" -w || true
fi
exit "$status"
