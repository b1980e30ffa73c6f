#!/usr/bin/env bash
# The default broadcast reaches every network: a sending namespace with two
# interfaces on two subnets and no default route, a receiver namespace on each.
# usage: broadcast_netns_test.sh NET_PROBE; exit 0 passed, 1 failed, 77 skipped.
set -u
probe=${1:?usage: broadcast_netns_test.sh NET_PROBE}
. "$(dirname "$0")/netns.sh"
t=tw$$
netns ${t}s ${t}1 ${t}2
for n in 1 2; do veth ${t}s s$n $t$n r$n 10.231.$n; done
for n in 1 2; do ip netns exec $t$n "$probe" - 9009 >"$work/$n" & done
for _ in $(seq 50); do [ "$(cat "$work"/[12])" = $'ready\nready' ] && break; sleep 0.05; done
status=$(ip netns exec ${t}s "$probe" 255.255.255.255 9009) || fail "the broadcast failed: $status"
wait
# Out of both interfaces, with the exact 102 bytes.
packet=ffffffffffff$(printf '0011223344ab%.0s' $(seq 16))
[ "$(cat "$work"/[12])" = "$(printf 'ready\n%s\n' $packet $packet)" ] || fail "not on both subnets"
# With every interface down there is nothing to broadcast on: the plain send's error.
ip -n ${t}s link set s1 down && ip -n ${t}s link set s2 down
status=$(ip netns exec ${t}s "$probe" 255.255.255.255 9009) && fail "a broadcast with no network reported $status"
[[ $status == ERROR:* ]] || fail "no ERROR text: $status"
echo PASS
