#!/usr/bin/env bash
# The default broadcast reaches every network: a sending namespace with two
# interfaces on two subnets and no default route, a receiver namespace on each.
# usage: broadcast_netns_test.sh PATH/TO/wake_probe PATH/TO/udp_catch
set -u
probe=$1
catcher=$2
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

[ "$(id -u)" -eq 0 ] || skip "not root: network namespaces need root"
command -v ip >/dev/null || skip "ip (iproute2) is not installed"

tag=tw$$
s=${tag}s; r1=${tag}a; r2=${tag}b
work=$(mktemp -d)
cleanup() {
    jobs -p | xargs -r kill 2>/dev/null
    wait 2>/dev/null
    for ns in "$s" "$r1" "$r2"; do ip netns del "$ns" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

ip netns add "$s" 2>/dev/null || skip "network namespaces cannot be made here"
# In a chroot whose root is no mount point, ip cannot enter a namespace.
ip netns exec "$s" true 2>/dev/null || skip "programs cannot be run inside a network namespace here (ip netns exec failed)"
ip netns add "$r1" && ip netns add "$r2" || fail "could not add the receiver namespaces"
ip link add "${tag}s1" netns "$s" type veth peer name "${tag}r1" netns "$r1" || skip "veth pairs cannot be made here"
ip link add "${tag}s2" netns "$s" type veth peer name "${tag}r2" netns "$r2" || fail "could not add the second veth pair"
ip -n "$s" addr add 10.231.1.1/24 dev "${tag}s1"
ip -n "$s" addr add 10.231.2.1/24 dev "${tag}s2"
ip -n "$r1" addr add 10.231.1.2/24 dev "${tag}r1"
ip -n "$r2" addr add 10.231.2.2/24 dev "${tag}r2"
for pair in "$s ${tag}s1" "$s ${tag}s2" "$r1 ${tag}r1" "$r2 ${tag}r2" "$s lo" "$r1 lo" "$r2 lo"; do
    set -- $pair
    ip -n "$1" link set "$2" up
done
ip -n "$s" route | grep -q default && fail "the sending namespace has a default route"

port=9009
expected=ffffffffffff$(printf '0011223344ab%.0s' $(seq 16))

catch() { # catch NAMESPACE OUTFILE
    ip netns exec "$1" "$catcher" "$port" 2500 >"$2" &
    for _ in $(seq 50); do grep -q ready "$2" 2>/dev/null && return; sleep 0.05; done
    fail "the receiver in $1 did not start"
}
received() { grep -v ready "$1"; }

# One single send with the default host reaches both subnets.
catch "$r1" "$work/a1"; catch "$r2" "$work/b1"
status=$(ip netns exec "$s" "$probe" 255.255.255.255 "$port") || fail "the broadcast failed: $status"
wait
[ "$(received "$work/a1")" = "$expected" ] || fail "subnet 1 got: $(received "$work/a1")"
[ "$(received "$work/b1")" = "$expected" ] || fail "subnet 2 got: $(received "$work/b1")"
echo "ok: one send to 255.255.255.255 reached both subnets with the exact 102 bytes"

# A unicast send reaches only its host.
catch "$r1" "$work/a2"; catch "$r2" "$work/b2"
status=$(ip netns exec "$s" "$probe" 10.231.2.2 "$port") || fail "the unicast send failed: $status"
wait
[ -z "$(received "$work/a2")" ] || fail "subnet 1 got a datagram meant for subnet 2"
[ "$(received "$work/b2")" = "$expected" ] || fail "the unicast host got: $(received "$work/b2")"
echo "ok: a unicast send reached only its host"

# A directed broadcast behaves as before: only its own subnet.
catch "$r1" "$work/a3"; catch "$r2" "$work/b3"
status=$(ip netns exec "$s" "$probe" 10.231.1.255 "$port") || fail "the directed broadcast failed: $status"
wait
[ "$(received "$work/a3")" = "$expected" ] || fail "subnet 1 got: $(received "$work/a3")"
[ -z "$(received "$work/b3")" ] || fail "subnet 2 got a directed broadcast for subnet 1"
echo "ok: a directed broadcast reached only its subnet"

# With every interface down there is nothing to broadcast on: the plain send's error.
ip -n "$s" link set "${tag}s1" down; ip -n "$s" link set "${tag}s2" down
status=$(ip netns exec "$s" "$probe" 255.255.255.255 "$port") && fail "a broadcast with no network reported $status"
case "$status" in ERROR:*) ;; *) fail "no ERROR text: $status" ;; esac
echo "ok: with no network the broadcast reports $status"
echo PASS
