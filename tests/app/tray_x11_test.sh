#!/usr/bin/env bash
# The notification-area icon in a real X session: Xvfb with the trayer tray
# host, the program started hidden, its icon clicked with xdotool.
# usage: tray_x11_test.sh PATH/TO/tarnel
set -u
fail() { echo "FAIL: $*"; exit 1; }
for tool in Xvfb trayer xdotool xwininfo; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup-debian.sh --tests installs it)"
done
work=$(mktemp -d) && chmod 700 "$work"
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
display=
for n in $(seq 90 140); do [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=$n; break; }; done
[ -n "$display" ] || { echo "SKIP: no free X display number"; exit 77; }
Xvfb ":$display" -screen 0 800x600x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
export DISPLAY=":$display" XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=xcb # a real X session, whatever the runner set
for _ in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
start_trayer() { trayer --edge top --align right --widthtype request --height 24 >>"$work/trayer.log" 2>&1 & trayer_pid=$!; }
start_trayer
sleep 0.5
# The program runs from a folder of its own, so its files are written there.
cp "$1" "$work/tarnel"
"$work/tarnel" >"$work/tarnel.log" 2>&1 &
tarnel_pid=$!

main_visible() { xdotool search --onlyvisible --name '^Tarnel! - Wake On Lan$' 2>/dev/null | head -n 1; }
find_icon() { # a small visible window of the program's class
    for w in $(xdotool search --onlyvisible --class tarnel 2>/dev/null); do
        [ "$(xwininfo -id "$w" | awk '/Width:|Height:/ { if ($2 > 48) big = 1 } END { print big + 0 }')" = 0 ] && { echo "$w"; return; }
    done
}
wait_for() { # wait_for SECONDS [!] COMMAND...: until the command prints something (with !, nothing)
    local until=$((SECONDS + $1)) want=1; shift
    [ "$1" = "!" ] && { want=0; shift; }
    while [ $SECONDS -lt $until ]; do
        out=$("$@"); [ -n "$out" ] && [ $want = 1 ] && { echo "$out"; return 0; }
        [ -z "$out" ] && [ $want = 0 ] && return 0
        sleep 0.1
    done
    return 1
}
click_icon() { xdotool mousemove --window "$icon" 11 11 click "$1"; }

icon=$(wait_for 10 find_icon) || fail "no tray icon appeared: $(cat "$work/tarnel.log")"
sleep 0.5
[ -z "$(main_visible)" ] || fail "the window is shown although the start-in-tray box is ticked"
click_icon 1
main=$(wait_for 5 main_visible) || fail "a left click on the icon did not show the window"
sleep 0.3
[ "$(xdotool getwindowfocus)" = "$main" ] || fail "the window is shown but not active"
xdotool mousemove --window "$main" 352 468 click 1 # "閉じる" at its place in the window
wait_for 5 ! main_visible || fail "閉じる did not hide the window"
click_icon 3
sleep 1
[ -z "$(main_visible)" ] || fail "a right click on the icon showed the window"
kill "$trayer_pid"
wait_for 8 main_visible >/dev/null || fail "the hidden window did not come back when the tray host went away"
start_trayer
icon=$(wait_for 10 find_icon) || fail "the icon did not come back after the tray host restarted"
echo "ok: icon only at start; a left click shows and activates; 閉じる hides; a right click does nothing; the tray going and coming back"

kill -TERM "$tarnel_pid"
timeout 10 tail --pid="$tarnel_pid" -f /dev/null || fail "SIGTERM did not end the program"
wait "$tarnel_pid" || fail "the program ended with status $?"
[ "$(od -An -c "$work/tarnel.ini" 2>/dev/null | tr -d ' \n')" = '"9001","1",1\r\n' ] || fail "tarnel.ini was not written at SIGTERM"
[ -z "$(xdotool search --class tarnel 2>/dev/null)" ] || fail "a window of the program is left after it ended"
echo "PASS"
