#!/bin/bash
# The Windows program under wine, as a person meets it on a new machine: copied
# into an empty folder and started there, on an X server of the test's own with a
# window manager (openbox), driven with keys through xdotool. It sets the master
# password, stores an item, copies its password, saves the window position and
# quits; then it starts again with /p and the password, and a second copy
# started meanwhile hands over to it. Checked from outside: the
# data folder beside the program, the item read back by the core (VaultItems),
# the clipboard formats another Win32 program sees (ClipboardFormats), and the
# window geometry in twips in Zorvan.ini.
# Usage: program-under-wine.sh WINE ZORVAN_EXE VAULT_ITEMS_EXE CLIPBOARD_FORMATS_EXE
# WINEPREFIX must name a prefix that no other program uses meanwhile.
set -euo pipefail

wine=$1
program=$2
vault_items=$3
clipboard_formats=$4
wineserver=$(dirname "$wine")/wineserver
export LC_ALL=C.UTF-8

password=Kagi-7q2
name=mail
id=alice
item_password=pw-4711
password_title='パスワードの入力'
item_title='新規アイテムのプロパティ'
group_title='新規グループのプロパティ'
options_title='オプション'
main_title='^Zorvan [0-9]+\.[0-9]+\.[0-9]+$'

dir=$(mktemp -d)
app=$dir/app
mkdir "$app"
cp "$program" "$app/zorvan.exe"
xvfb= openbox= zorvan=
cleanup() {
    [[ -n $zorvan ]] && kill "$zorvan" 2>/dev/null
    timeout 30 "$wineserver" -k 2>/dev/null || true
    [[ -n $openbox ]] && kill "$openbox" 2>/dev/null
    [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT

passed=0
failed=0
last=ok
check() { # description command...
    local what=$1
    shift
    if "$@"; then
        last=ok
        passed=$((passed + 1))
    else
        last="not ok"
        failed=$((failed + 1))
    fi
    echo "$last - $what"
}
# Stops the run where later steps cannot work, saying what the screen showed.
need() { # description command...
    check "$@"
    [[ $last == ok ]] && return 0
    echo "windows: $(shown)"
    # What the screen showed, beside the test's other output in the build folder.
    import -window root "$PWD/program-under-wine-failure.png" 2>/dev/null &&
        echo "screen: $PWD/program-under-wine-failure.png"
    echo "program-under-wine: $passed passed, $failed failed, stopped"
    exit 1
}
shown() {
    local window titles=()
    for window in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
        titles+=("$(xdotool getwindowname "$window" 2>/dev/null)")
    done
    local IFS=,
    echo "[${titles[*]}] active: $(xdotool getactivewindow getwindowname 2>/dev/null || true)"
}

# The first visible window whose title matches, waited for up to $2 seconds.
window_of() { # title-regex seconds
    local deadline=$((SECONDS + $2)) found
    while ((SECONDS < deadline)); do
        found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        if [[ -n $found ]]; then
            echo "$found"
            return 0
        fi
        sleep 0.2
    done
    return 1
}
gone() { # title-regex seconds
    local deadline=$((SECONDS + $2))
    while ((SECONDS < deadline)); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.2
    done
    return 1
}
# Makes the window active, then sends the keys to whatever has the focus, as a
# keyboard would.
# A new window takes its keyboard focus a moment after it shows; keys sent before
# that are lost, so each activation waits a little.
activate() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1"
    sleep 0.5
}
keys() { xdotool key --delay 80 "$@"; }
type_text() { xdotool type --delay 80 "$1"; }
ended() { # pid seconds
    local deadline=$((SECONDS + $2))
    while ((SECONDS < deadline)); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.2
    done
    return 1
}
setting() { # key: its value in Zorvan.ini, the CR of the Windows line end dropped
    sed -nE "s/^$1=([-0-9]*).*/\1/p" "$app/Zorvan.ini" | tr -d '\r' | head -1
}
# Window geometry as X sees it: the client area of a wine window under a window
# manager, which is what Qt's width() and height() measure.
geometry() { # window -> "width height"
    xwininfo -id "$1" | awk '/^  Width:/ {w = $2} /^  Height:/ {h = $2} END {print w, h}'
}
# The client area's top-left corner on the screen.
position() { # window -> "x y"
    xwininfo -id "$1" |
        awk '/Absolute upper-left X:/ {x = $4} /Absolute upper-left Y:/ {y = $4} END {print x, y}'
}
# Whether twips are whole pixels within the given distance of a pixel position.
near_in_twips() { # twips pixels distance
    (($1 % 15 == 0 && $1 / 15 - $2 <= $3 && $2 - $1 / 15 <= $3))
}

# Xvfb names a free display itself; openbox is the desktop's window manager.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 -dpi 96 -noreset 3>"$dir/display" \
    >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 300); do
    [[ -s $dir/display ]] && break
    sleep 0.1
done
export DISPLAY=":$(head -n1 "$dir/display")"
openbox --sm-disable >/dev/null 2>&1 &
openbox=$!
for _ in $(seq 300); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
need "openbox runs on $DISPLAY" xprop -root _NET_SUPPORTING_WM_CHECK

# A server left from an earlier run would hold that run's display. The prefix is
# made (or updated) before the program starts, so that its first window is not
# raced by wine's own set-up.
timeout 60 "$wineserver" -w || true
started=$SECONDS
timeout 300 "$wine" wineboot --init >/dev/null 2>&1 || true
echo "# wine prefix ready in $((SECONDS - started)) s"

# First start, in an empty folder: the new vault asks for the password twice.
started=$SECONDS
(cd "$app" && exec "$wine" zorvan.exe) >"$dir/first.log" 2>&1 &
zorvan=$!
window=$(window_of "$password_title" 120) || true
need "the password dialog opens ($((SECONDS - started)) s)" test -n "$window"
for file in Zorvan.ini Zorvan.idx Zorvan.itm Zorvan.bmp backup; do
    check "the data folder beside the program holds $file" test -e "$app/$file"
done
activate "$window"
type_text "$password"
keys Tab
type_text "$password"
keys Return
main=$(window_of "$main_title" 60) || true
need "a new master password opens the main window" test -n "$main"
activate "$main"

# A group first: a new vault has none, and items live in groups.
keys ctrl+Insert
window=$(window_of "$group_title" 30) || true
need "Ctrl+Insert opens the group dialog" test -n "$window"
activate "$window"
type_text web
keys Return
need "OK closes the group dialog" gone "$group_title" 30

# One item through the item dialog: the focus starts on the tabs; the name below
# them, then ID and password below it.
activate "$main"
keys Insert
window=$(window_of "$item_title" 30) || true
need "Insert opens the item dialog" test -n "$window"
activate "$window"
keys Tab
type_text "$name"
keys Down
type_text "$id"
keys Down
type_text "$item_password"
keys Return
need "OK closes the item dialog" gone "$item_title" 30

# Its password copied with Ctrl+W once the row is clicked (the list's only row,
# below the group selector, the search box and the header), then read by another
# Win32 program.
activate "$main"
xdotool mousemove --window "$main" 60 134 click 1
sleep 0.5
keys ctrl+w
sleep 1
"$wine" "$clipboard_formats" >"$dir/clipboard.txt" 2>"$dir/clipboard.err" || true
tr -d '\r' <"$dir/clipboard.txt" >"$dir/clipboard"
sed 's/^/# clipboard: /' "$dir/clipboard"
check "the clipboard holds the password as text" grep -qxF "text	$item_password" "$dir/clipboard"
check "ExcludeClipboardContentFromMonitorProcessing is on the clipboard" \
    grep -qE '^ExcludeClipboardContentFromMonitorProcessing	' "$dir/clipboard"
check "CanIncludeInClipboardHistory is on the clipboard as DWORD 0" \
    grep -qxE 'CanIncludeInClipboardHistory	4	00000000' "$dir/clipboard"
check "CanUploadToCloudClipboard is on the clipboard as DWORD 0" \
    grep -qxE 'CanUploadToCloudClipboard	4	00000000' "$dir/clipboard"

# The window position saved through the options dialog, in twips: 15 a pixel at
# 96 dpi. The window is first given a size and place of the test's own; the
# button sits before OK and Cancel at the end of the focus chain.
activate "$main"
xdotool windowsize --sync "$main" 500 330
xdotool windowmove --sync "$main" 120 90
sleep 0.5
read -r width height < <(geometry "$main")
read -r x y < <(position "$main")
keys alt+Return
window=$(window_of "$options_title" 30) || true
need "Alt+Enter opens the options dialog" test -n "$window"
activate "$window"
keys shift+Tab shift+Tab shift+Tab space
sleep 1
keys Escape
need "Esc closes the options dialog" gone "$options_title" 30
echo "# main window ${width}x${height} pixels at $x,$y; Zorvan.ini: left=$(setting left)" \
    "top=$(setting top) width=$(setting width) height=$(setting height)"
check "the width is stored in twips" test "$(setting width)" = "$((width * 15))"
check "the height is stored in twips" test "$(setting height)" = "$((height * 15))"
# The place is the frame's corner as Windows sees it; wine draws no frame of its
# own under a window manager, so only its distance from the client area's corner
# is known: a border and a title bar.
check "the left edge is stored in twips" near_in_twips "$(setting left)" "$x" 10
check "the top edge is stored in twips" near_in_twips "$(setting top)" "$y" 40

# Quit with the window manager's close key.
activate "$main"
keys alt+F4
check "Alt+F4 ends the program" ended "$zorvan" 60
zorvan=
timeout 60 "$wineserver" -w || true

# Second start with the password on the command line: no password dialog, and
# the window as large as Zorvan.ini says.
(cd "$app" && exec "$wine" zorvan.exe /p "$password") >"$dir/second.log" 2>&1 &
zorvan=$!
main=$(window_of "$main_title" 120) || true
need "/p opens the main window" test -n "$main"
check "/p shows no password dialog" gone "$password_title" 1
sleep 1
read -r again_width again_height < <(geometry "$main")
read -r again_x again_y < <(position "$main")
echo "# second start: ${again_width}x${again_height} pixels at $again_x,$again_y"
check "the window opens at the stored width" test "$((again_width * 15))" = "$(setting width)"
check "the window opens at the stored height" test "$((again_height * 15))" = "$(setting height)"
check "the window opens at the stored place" test "$again_x,$again_y" = "$x,$y"

# A second copy from the same folder finds the first through its named pipe, asks
# it to show itself and ends, with no window of its own.
(cd "$app" && exec "$wine" zorvan.exe) >"$dir/third.log" 2>&1 &
other=$!
check "a second copy ends by itself" ended "$other" 60
check "the second copy opens no window" \
    test "$(xdotool search --onlyvisible --name '.' | wc -l)" = 1
activate "$main"
keys alt+F4
check "Alt+F4 ends the program again" ended "$zorvan" 60
zorvan=
timeout 60 "$wineserver" -w || true

# The item, read from the files by the core.
"$wine" "$vault_items" "Z:$app" "$password" >"$dir/items.txt" 2>"$dir/items.err" || true
tr -d '\r' <"$dir/items.txt" >"$dir/items"
sed 's/^/# vault: /' "$dir/items"
check "the core reads the stored item from the files" \
    grep -qE "	$name	$id	$item_password\$" "$dir/items"
check "the vault holds that one item" test "$(wc -l <"$dir/items")" = 1

echo "program-under-wine: $passed passed, $failed failed"
((failed == 0))
