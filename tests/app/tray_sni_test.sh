#!/usr/bin/env bash
# The notification-area icon as a StatusNotifierItem: a private session bus
# with a StatusNotifierWatcher and a registered host (so Qt uses its D-Bus tray,
# not XEmbed), Xvfb for the window, the program started hidden and its item
# driven and read over the bus as a panel would.
# usage: tray_sni_test.sh PATH/TO/tarnel
set -u
fail() { echo "FAIL: $*"; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }
for tool in dbus-run-session gdbus status-notifier-watcher Xvfb xdotool xwininfo; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/setup-debian.sh --tests installs it)"
done
# python3-dbus serves Debian's /usr/bin/python3, which another python3 on the PATH may hide.
py=
for p in python3 /usr/bin/python3; do "$p" -c 'import dbus' 2>/dev/null && { py=$p; break; }; done
[ -n "$py" ] || skip "python3-dbus is not installed (scripts/setup-debian.sh --tests installs it)"
# The rest runs again on a session bus of its own, ended with it.
[ -n "${TARNEL_SNI_OWN_BUS:-}" ] || exec env TARNEL_SNI_OWN_BUS=1 dbus-run-session -- "$0" "$@"

work=$(mktemp -d) && chmod 700 "$work"
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
display=
for n in $(seq 90 140); do [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=$n; break; }; done
[ -n "$display" ] || skip "no free X display number"
Xvfb ":$display" -screen 0 800x600x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
export DISPLAY=":$display" XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=xcb # a real X session, whatever the runner set
for _ in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done

wait_for() { # wait_for SECONDS [!] COMMAND...: until the command prints something (with !, nothing)
    local tries=$(($1 * 10)) want=1; shift
    [ "$1" = "!" ] && { want=0; shift; }
    for ((; tries > 0; tries--)); do
        out=$("$@"); [ -n "$out" ] && [ $want = 1 ] && { echo "$out"; return 0; }
        [ -z "$out" ] && [ $want = 0 ] && return 0
        sleep 0.1
    done
    return 1
}
gcall() { gdbus call --session -d "$1" -o "$2" -m "$3" "${@:4}" 2>/dev/null; }
watcher() { gcall org.kde.StatusNotifierWatcher /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher "$1"; }
host_registered() { watcher IsStatusNotifierHostRegistered | grep true; }
items() { watcher RegisteredStatusNotifierItems | grep -o "'[^']*'" | tr -d "'"; }
item_get() { gcall "$service" "$path" org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem "$1"; }
item_call() { gcall "$service" "$path" "org.kde.StatusNotifierItem.$1" "${@:2}" >/dev/null || fail "the item did not answer $1"; }
main_visible() { xdotool search --onlyvisible --name '^Tarnel! - Wake On Lan$' 2>/dev/null | head -n 1; }
main_focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$main" ] && echo yes; }

start_tray() {
    status-notifier-watcher >>"$work/watcher.log" 2>&1 &
    watcher_pid=$!
    wait_for 5 watcher ProtocolVersion >/dev/null || fail "the watcher did not come up: $(cat "$work/watcher.log")"
    "$py" "$(dirname "$0")/sni_host.py" >>"$work/host.log" 2>&1 &
    host_pid=$!
    wait_for 5 host_registered >/dev/null || fail "the host did not register: $(cat "$work/host.log")"
}
start_tray
# A first start, from a folder of its own: no tarnel.ini, no address.lst.
cp "$1" "$work/tarnel"
"$work/tarnel" >"$work/tarnel.log" 2>&1 &
tarnel_pid=$!

item=$(wait_for 10 items) || fail "no item was registered with the watcher: $(cat "$work/tarnel.log")"
# An entry is a bus name, with the object path after it when not the usual one.
service=${item%%/*} path=/StatusNotifierItem
[[ $item == */* ]] && path=/${item#*/}
item_get ToolTip | grep -qF ", 'Tarnel! - Wake On Lan', '" || fail "the tooltip's title is wrong: $(item_get ToolTip)"
item_get Menu | grep -q "/NO_DBUSMENU" || fail "the item offers a menu: $(item_get Menu)"
wait_for 1 main_visible >/dev/null && fail "a first start shows the window"
item_call Activate 0 0
main=$(wait_for 5 main_visible) || fail "Activate did not show the window"
wait_for 3 main_focused >/dev/null || fail "the window is shown but not active"
xdotool mousemove --window "$main" 352 468 click 1 # "閉じる" at its place in the window
wait_for 5 ! main_visible || fail "閉じる did not hide the window"
item_call SecondaryActivate 0 0
item_call ContextMenu 0 0
item_call Scroll 120 vertical
wait_for 1 main_visible >/dev/null && fail "SecondaryActivate, ContextMenu or Scroll showed the window"
[ "$(items)" = "$item" ] || fail "the watcher's items changed while the program ran: $(items)"
kill "$host_pid"
main=$(wait_for 8 main_visible) || fail "the hidden window did not come back when the tray host went away"
# A panel restarting: a new watcher and host get the item again.
kill "$watcher_pid" && wait "$watcher_pid" 2>/dev/null
start_tray
wait_for 10 items >/dev/null || fail "the item did not come back to a restarted watcher: $(cat "$work/tarnel.log")"
echo "ok: the item and its tip at start, no window; Activate shows and activates; 閉じる hides; nothing else acts; the host going away and coming back"

xdotool mousemove --window "$main" 248 468 click 1 # "終了"
timeout 10 tail --pid="$tarnel_pid" -f /dev/null || fail "終了 did not end the program"
wait "$tarnel_pid" || fail "the program ended with status $?"
wait_for 5 ! items || fail "the item is still registered after the program ended: $(items)"
echo "PASS"
