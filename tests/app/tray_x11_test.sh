#!/usr/bin/env bash
# The notification-area icon in a real X session: Xvfb with the trayer tray
# host, the program started hidden, its icon clicked with xdotool.
# usage: tray_x11_test.sh PATH/TO/tarnel
set -u
program=$1
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
for tool in Xvfb trayer xdotool xwininfo; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup-debian.sh --tests installs it)"
done

work=$(mktemp -d)
chmod 700 "$work"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A free display number.
display=
for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
[ -n "$display" ] || skip "no free X display number"
Xvfb ":$display" -screen 0 800x600x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=":$display"
for _ in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
xwininfo -root >/dev/null 2>&1 || skip "Xvfb could not start: $(cat "$work/xvfb.log")"

start_trayer() {
    trayer --edge top --align right --widthtype request --height 24 >>"$work/trayer.log" 2>&1 &
    trayer_pid=$!
    pids+=($trayer_pid)
}
start_trayer
sleep 0.5

# The program runs from a folder of its own, so its files are written there.
cp "$program" "$work/tarnel"
export XDG_RUNTIME_DIR=$work
# A real X session, whatever the test runner set for the other tests.
export QT_QPA_PLATFORM=xcb
"$work/tarnel" >"$work/tarnel.log" 2>&1 &
tarnel_pid=$!
pids+=($tarnel_pid)

title="Tarnel! - Wake On Lan"
main_visible() { xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1; }
# The icon: a small visible window of the program's class.
find_icon() {
    for w in $(xdotool search --onlyvisible --class tarnel 2>/dev/null); do
        geometry=$(xwininfo -id "$w" 2>/dev/null)
        width=$(awk '/Width:/ {print $2}' <<<"$geometry")
        height=$(awk '/Height:/ {print $2}' <<<"$geometry")
        if [ "${width:-0}" -le 48 ] && [ "${height:-0}" -le 48 ]; then echo "$w"; return; fi
    done
}
wait_for() { # wait_for SECONDS COMMAND...: until the command prints something
    local until=$((SECONDS + $1)); shift
    while [ $SECONDS -lt $until ]; do
        out=$("$@"); [ -n "$out" ] && { echo "$out"; return 0; }
        sleep 0.1
    done
    return 1
}
wait_gone() {
    local until=$((SECONDS + $1)); shift
    while [ $SECONDS -lt $until ]; do
        [ -z "$("$@")" ] && return 0
        sleep 0.1
    done
    return 1
}

icon=$(wait_for 10 find_icon) || fail "no tray icon appeared: $(cat "$work/tarnel.log")"
sleep 0.5
[ -z "$(main_visible)" ] || fail "the window is shown although the start-in-tray box is ticked"
echo "ok: started as an icon only ($icon)"

xdotool mousemove --window "$icon" 11 11 click 1
main=$(wait_for 5 main_visible) || fail "a left click on the icon did not show the window"
sleep 0.3
focus=$(xdotool getwindowfocus)
[ "$focus" = "$main" ] || fail "the window is shown but not active (focus $focus, window $main)"
echo "ok: a left click shows and activates the window"

# "閉じる" at its place in the window.
xdotool mousemove --window "$main" 352 468 click 1
wait_gone 5 main_visible || fail "閉じる did not hide the window"
echo "ok: 閉じる hides the window"

xdotool mousemove --window "$icon" 11 11 click 3
sleep 1
[ -z "$(main_visible)" ] || fail "a right click on the icon showed the window"
echo "ok: a right click changes nothing"

kill "$trayer_pid"; wait "$trayer_pid" 2>/dev/null
wait_for 8 main_visible >/dev/null || fail "the hidden window did not come back when the tray host went away"
echo "ok: without a tray host the hidden window comes back"
start_trayer
icon=$(wait_for 10 find_icon) || fail "the icon did not come back after the tray host restarted"
echo "ok: the icon comes back when the tray host restarts"

xdotool mousemove --window "$icon" 11 11 click 1
wait_for 5 main_visible >/dev/null || fail "the icon does not work after the tray host restarted"

kill -TERM "$tarnel_pid"
for _ in $(seq 100); do kill -0 "$tarnel_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$tarnel_pid" 2>/dev/null && fail "SIGTERM did not end the program"
wait "$tarnel_pid"; status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
[ -f "$work/tarnel.ini" ] || fail "tarnel.ini was not written at SIGTERM"
[ "$(od -An -c "$work/tarnel.ini" | tr -d ' \n')" = '"9001","1",1\r\n' ] || fail "tarnel.ini holds $(od -c "$work/tarnel.ini")"
[ -z "$(xdotool search --class tarnel 2>/dev/null)" ] || fail "a window of the program is left after it ended"
echo "ok: SIGTERM writes tarnel.ini and removes the icon"
echo "PASS"
