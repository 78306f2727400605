#!/bin/bash
# Builds the Debian package from a built tree, checks its menu entry and metainfo,
# unpacks it into a scratch root and starts the unpacked program on a private X
# server as far as the password dialog, with a data folder of its own.
# Usage: package-check.sh [build folder]   (default: build/ci, configured and built)
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
build=$(realpath -m "${1:-build/ci}")
app_id=io.github.zorvan.Zorvan
dialog_title="パスワードの入力"

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok: $1"; }
fail() { failed=$((failed + 1)); echo "FAILED: $1" >&2; }
finish() {
    echo "package-check: $passed passed, $failed failed"
    ((failed == 0))
    exit
}

work=$(mktemp -d)
pids=()
cleanup() {
    # The program first, then the X server; each is waited for, so that no server of
    # ours is still going away when the next run looks for a free display.
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

[[ -f $build/CPackConfig.cmake ]] || { fail "no configured build in $build"; finish; }

# The package: cpack packs what `cmake --install` installs, so the program is brought
# up to date first.
if cmake --build "$build" --target zorvan >"$work/build.log" 2>&1 &&
    cpack --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1; then
    pass "cpack made a package"
else
    cat "$work/build.log" "$work/cpack.log" >&2
    fail "cpack made a package"
    finish
fi
deb=$(find "$work/pkg" -maxdepth 1 -name "zorvan_*.deb" | head -1)
[[ -n $deb ]] || { fail "package file zorvan_*.deb"; finish; }

# Exactly the program and its three data files; tests, benchmarks and helpers stay out.
expected="./usr/bin/zorvan
./usr/share/applications/$app_id.desktop
./usr/share/icons/hicolor/scalable/apps/$app_id.svg
./usr/share/metainfo/$app_id.metainfo.xml"
actual=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)
if [[ $actual == "$expected" ]]; then
    pass "package holds the program, menu entry, metainfo and icon only"
else
    diff <(echo "$expected") <(echo "$actual") >&2
    fail "package holds the program, menu entry, metainfo and icon only"
fi

depends=$(dpkg-deb -f "$deb" Depends)
if [[ $depends == *libqt6widgets6* && $depends == *libqt6svg6* && $depends == *libc6* ]]; then
    pass "package depends on the Qt runtime"
else
    fail "package depends on the Qt runtime (Depends: $depends)"
fi

root=$work/root
dpkg -x "$deb" "$root"
desktop=$root/usr/share/applications/$app_id.desktop
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml

# Hints are advice on categories; errors and warnings fail.
if out=$(desktop-file-validate "$desktop" 2>&1) && ! grep -Eq 'error|warning' <<<"$out"; then
    pass "desktop-file-validate"
else
    echo "$out" >&2
    fail "desktop-file-validate"
fi
if out=$(appstreamcli validate --no-net "$metainfo" 2>&1); then
    pass "appstreamcli validate"
else
    echo "$out" >&2
    fail "appstreamcli validate"
fi

# The entry starts the installed program and shows the installed icon; the metainfo
# points at the entry.
entry() { sed -n "s/^$1=//p" "$desktop"; }
if [[ -x $root/usr/bin/$(entry Exec) &&
    -f $root/usr/share/icons/hicolor/scalable/apps/$(entry Icon).svg ]] &&
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo"; then
    pass "menu entry and metainfo name the installed files"
else
    fail "menu entry and metainfo name the installed files"
fi

# The installed program on a private X server, with a home and data folder of its own.
# Xvfb picks a free display and names it in the file. It must not reset when the
# probe below disconnects: a client connecting during a reset is turned away.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
pids=("$xvfb")
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.1
done
DISPLAY=":$(head -1 "$work/display")"
export DISPLAY
# The server answers before the program is started, so that a program that cannot
# connect is the program's fault.
for _ in $(seq 50); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done
if ! xdotool getdisplaygeometry >/dev/null 2>&1; then
    cat "$work/xvfb.log" >&2
    fail "Xvfb answers on display $DISPLAY"
    finish
fi
mkdir -p "$work/home" "$work/data" "$work/runtime"
chmod 700 "$work/runtime"
env -u ZORVAN_DATA_DIR QT_QPA_PLATFORM=xcb \
    HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime" \
    "$root/usr/bin/zorvan" >"$work/program.log" 2>&1 &
program=$!
pids=("$program" "$xvfb")

shown=""
for _ in $(seq 150); do
    shown=$(xdotool search --onlyvisible --name "^$dialog_title\$" 2>/dev/null | head -1)
    [[ -n $shown ]] && break
    kill -0 "$program" 2>/dev/null || break
    sleep 0.2
done
if [[ -n $shown ]]; then
    pass "installed program shows the password dialog"
else
    cat "$work/program.log" >&2
    kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb on $DISPLAY has ended:" >&2; cat "$work/xvfb.log" >&2; }
    fail "installed program shows the password dialog"
fi

# A program folder under /usr is not the data folder: the vault goes to
# $XDG_DATA_HOME/zorvan, the user's alone.
data=$work/data/zorvan
modes=$(cd "$data" 2>/dev/null && stat -c '%a %n' . backup Zorvan.ini Zorvan.idx Zorvan.itm Zorvan.bmp 2>&1)
if [[ $modes == "700 .
700 backup
600 Zorvan.ini
600 Zorvan.idx
600 Zorvan.itm
600 Zorvan.bmp" ]]; then
    pass "vault created in \$XDG_DATA_HOME/zorvan, folder 0700, files 0600"
else
    echo "$modes" >&2
    fail "vault created in \$XDG_DATA_HOME/zorvan, folder 0700, files 0600"
fi
if [[ $(ls -A "$root/usr/bin") == zorvan && -z $(ls -A "$work/home") ]]; then
    pass "nothing written beside the program or in the home folder"
else
    ls -lA "$root/usr/bin" "$work/home" >&2
    fail "nothing written beside the program or in the home folder"
fi

finish  # the clean-up ends the program and the server
