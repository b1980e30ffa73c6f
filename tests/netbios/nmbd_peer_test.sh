#!/usr/bin/env bash
# The MAC lookup on a real network: "*" from this namespace's own card, then
# Samba's nmbd in a namespace of its own, joined by a veth pair, asked by
# address and by NetBIOS name (a broadcast name query); nmbd does not answer on
# loopback alone.
# usage: nmbd_peer_test.sh NET_PROBE; exit 0 passed, 1 failed, 77 skipped.
set -u
probe=${1:?usage: nmbd_peer_test.sh NET_PROBE}
. "$(dirname "$0")/../wake/netns.sh"
command -v nmbd >/dev/null || fail "nmbd is missing (samba)"
p=tnp$$ c=tnc$$
netns $p $c
veth $p $p $c $c 10.231.0
printf '[global]\nnetbios name = TARNELPEER\nworkgroup = TARNELTEST\ninterfaces = %s 10.231.0.1/24\n' $p >"$work/nmbd.conf"
printf 'bind interfaces only = yes\nlog file = %s/log\n' "$work" >>"$work/nmbd.conf"
for key in "lock directory" "state directory" "cache directory" "pid directory" "private dir" "ncalrpc dir"; do
    mkdir "$work/${key%% *}" && echo "$key = $work/${key%% *}" >>"$work/nmbd.conf"
done
ip netns exec $p nmbd -F --debug-stdout --no-process-group -s "$work/nmbd.conf" >"$work/nmbd.log" 2>&1 &

# nmbd answers a node status at once, a name query once it has registered the
# name; it reports an all-zero unit id. The name is asked in lower case.
own=$(ip netns exec $c cat /sys/class/net/$c/address | tr -d : | tr a-f A-F)
for ask in "*=$own" 10.231.0.1=000000000000 tarnelpeer=000000000000; do
    for _ in $(seq 15); do got=$(ip netns exec $c "$probe" "${ask%=*}") && break; sleep 0.2; done
    [ "$got" = "${ask#*=}" ] || { tail -n 20 "$work/nmbd.log"; fail "${ask%=*} gave '$got'"; }
    echo "ok: $ask"
done
echo PASS
