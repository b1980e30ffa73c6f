#!/usr/bin/env bash
# The default broadcast reaches every network: a sending namespace with two
# interfaces on two subnets and no default route, a receiver namespace on each.
# usage: broadcast_netns_test.sh WAKE_PROBE UDP_CATCH; exit 0 passed, 1 failed, 77 skipped.
set -u
probe=$1 catcher=$2
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
[ "$(id -u)" -eq 0 ] || skip "not root: network namespaces need root"
command -v ip >/dev/null || skip "ip (iproute2) is not installed"
t=tw$$ work=$(mktemp -d)
cleanup() { jobs -p | xargs -r kill 2>/dev/null; wait 2>/dev/null; for ns in ${t}s ${t}1 ${t}2; do ip netns del $ns 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT
ip netns add ${t}s 2>/dev/null || skip "network namespaces cannot be made here"
# In a chroot whose root is no mount point, ip cannot enter a namespace.
ip netns exec ${t}s true 2>/dev/null || skip "programs cannot run inside a network namespace here"
for n in 1 2; do
    ip netns add $t$n || fail "could not add a receiver namespace"
    ip link add ${t}s$n netns ${t}s type veth peer name ${t}r$n netns $t$n || skip "veth pairs cannot be made here"
    ip -n ${t}s addr add 10.231.$n.1/24 dev ${t}s$n && ip -n $t$n addr add 10.231.$n.2/24 dev ${t}r$n
    ip -n ${t}s link set ${t}s$n up && ip -n $t$n link set ${t}r$n up && ip -n $t$n link set lo up
done
ip -n ${t}s link set lo up
ip -n ${t}s route | grep -q default && fail "the sending namespace has a default route"
packet=ffffffffffff$(printf '0011223344ab%.0s' $(seq 16))

send() { # HOST WANT1 WANT2: what each subnet must receive ("" for nothing)
    for n in 1 2; do
        ip netns exec $t$n "$catcher" 9009 2500 >"$work/$n" &
        for _ in $(seq 50); do grep -q ready "$work/$n" 2>/dev/null && break; sleep 0.05; done
    done
    status=$(ip netns exec ${t}s "$probe" "$1" 9009) || fail "the send to $1 failed: $status"
    wait
    [ "$(grep -v ready "$work/1")" = "$2" ] && [ "$(grep -v ready "$work/2")" = "$3" ] || fail "wrong delivery for $1"
    echo "ok: $1"
}
send 255.255.255.255 "$packet" "$packet" # out of both interfaces, with the exact 102 bytes
send 10.231.2.2 "" "$packet"             # a unicast reaches only its host
send 10.231.1.255 "$packet" ""           # a directed broadcast only its subnet
# With every interface down there is nothing to broadcast on: the plain send's error.
ip -n ${t}s link set ${t}s1 down; ip -n ${t}s link set ${t}s2 down
status=$(ip netns exec ${t}s "$probe" 255.255.255.255 9009) && fail "a broadcast with no network reported $status"
[[ $status == ERROR:* ]] || fail "no ERROR text: $status"
echo "ok: with no network the broadcast reports $status"
echo PASS
