#!/usr/bin/env bash
# The CPU the program uses while it sits hidden in the tray with 1,000 entries:
# Xvfb with the trayer tray host, the program started hidden, its user and
# system time read from /proc over SECONDS (default 60).
# usage: bench/idle_cpu.sh PATH/TO/tarnel [SECONDS]
set -eu
program=$1
seconds=${2:-60}
work=$(mktemp -d)
chmod 700 "$work"
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

display=:$((100 + RANDOM % 100))
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
export DISPLAY=$display XDG_RUNTIME_DIR=$work
sleep 1
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
sleep 0.5

# 1,000 computers, alarms set but none due now.
for i in $(seq 1000); do
    printf 'PC-%04d,0011223344%02X,23:59,__:__,06:00,06:00,06:00,06:00,06:00,__:__,192.168.1.255\r\n' "$i" $((i % 256))
done >"$work/address.lst"
cp "$program" "$work/tarnel"
"$work/tarnel" >/dev/null 2>&1 &
pid=$!
sleep 3 # start-up is not idle time

ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
start=$(date +%s.%N)
sleep "$seconds"
after=$(ticks)
end=$(date +%s.%N)
kill -TERM "$pid"; wait "$pid" || true
awk -v t=$((after - before)) -v hz="$hz" -v s="$start" -v e="$end" 'BEGIN {
    cpu = t / hz; wall = e - s;
    printf "idle, hidden, 1000 entries: %.2f s of CPU in %.1f s = %.3f%% of one core\n", cpu, wall, 100 * cpu / wall }'
