#!/usr/bin/env bash
# Asks a real NetBIOS name server, Samba's nmbd, for its adapter status: by its
# IPv4 address and by its NetBIOS name, which takes a broadcast name query.
# nmbd does not answer on loopback alone, so it runs in a network namespace of
# its own joined by a veth pair to the namespace the probe runs in.
#
# Usage: nmbd_peer_test.sh NETBIOS_PROBE
# Exit 0 passed, 1 failed, 77 skipped (not root, or no network namespaces).
set -u
probe=${1:?usage: nmbd_peer_test.sh NETBIOS_PROBE}
PATH=$PATH:/usr/sbin:/sbin

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; [ -f "${tmp:-}/nmbd.log" ] && tail -n 20 "$tmp/nmbd.log"; exit 1; }

[ "$(id -u)" -eq 0 ] || skip "making network namespaces needs root"
for tool in ip nmbd nmblookup; do
    command -v "$tool" >/dev/null || fail "$tool is missing (packages iproute2, samba, samba-common-bin)"
done

peer_ns=tarnel-nmbd-$$
client_ns=tarnel-client-$$
peer_if=tnp$$
client_if=tnc$$
peer_addr=10.231.0.1
client_addr=10.231.0.2
broadcast=10.231.0.255
netbios_name=TARNELPEER
tmp=$(mktemp -d)
nmbd_pid=

cleanup() {
    if [ -n "$nmbd_pid" ]; then
        kill "$nmbd_pid" 2>/dev/null
        for _ in $(seq 50); do kill -0 "$nmbd_pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$nmbd_pid" 2>/dev/null
        wait "$nmbd_pid" 2>/dev/null
    fi
    ip netns del "$peer_ns" 2>/dev/null
    ip netns del "$client_ns" 2>/dev/null
    ip link del "$peer_if" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

ip netns add "$peer_ns" 2>/dev/null || skip "network namespaces are unavailable (ip netns add failed)"
# In a chroot whose root is no mount point, ip cannot enter a namespace.
ip netns exec "$peer_ns" true 2>/dev/null || skip "programs cannot be run inside a network namespace here (ip netns exec failed)"
ip netns add "$client_ns" || fail "cannot add a second namespace"
ip link add "$peer_if" type veth peer name "$client_if" 2>/dev/null || skip "veth pairs are unavailable"
ip link set "$peer_if" netns "$peer_ns" || fail "cannot move $peer_if"
ip link set "$client_if" netns "$client_ns" || fail "cannot move $client_if"
ip -n "$peer_ns" addr add "$peer_addr/24" dev "$peer_if"
ip -n "$client_ns" addr add "$client_addr/24" dev "$client_if"
for ns in "$peer_ns" "$client_ns"; do ip -n "$ns" link set lo up; done
ip -n "$peer_ns" link set "$peer_if" up
ip -n "$client_ns" link set "$client_if" up

# Every directory nmbd and nmblookup touch lives in the temporary folder.
write_conf() { # file dir extra-lines
    mkdir -p "$2"/{lock,state,cache,pid,private,ncalrpc,log}
    cat >"$1" <<EOF
[global]
workgroup = TARNELTEST
lock directory = $2/lock
state directory = $2/state
cache directory = $2/cache
pid directory = $2/pid
private dir = $2/private
ncalrpc dir = $2/ncalrpc
log file = $2/log/log.%m
$3
EOF
}
write_conf "$tmp/nmbd.conf" "$tmp/nmbd" "netbios name = $netbios_name
interfaces = $peer_if $peer_addr/24
bind interfaces only = yes"
write_conf "$tmp/client.conf" "$tmp/client" "interfaces = $client_if $client_addr/24"

ip netns exec "$peer_ns" nmbd -F --debug-stdout --no-process-group -s "$tmp/nmbd.conf" >"$tmp/nmbd.log" 2>&1 &
nmbd_pid=$!

lookup() { ip netns exec "$client_ns" nmblookup -s "$tmp/client.conf" "$@" 2>/dev/null; }

# nmbd answers a node status at once, but a broadcast query for its name only
# once it has registered the name on the subnet, a few seconds later.
status=
for _ in $(seq 100); do
    kill -0 "$nmbd_pid" 2>/dev/null || fail "nmbd stopped"
    status=$(lookup -A "$peer_addr") && break
    sleep 0.1
done
expected=$(printf '%s\n' "$status" | sed -n 's/.*MAC Address = \([0-9A-Fa-f-]*\).*/\1/p' | tr -d '-' | tr a-f A-F)
[ ${#expected} -eq 12 ] || fail "nmblookup -A found no MAC address in: $status"
for _ in $(seq 300); do
    lookup -B "$broadcast" "$netbios_name" | grep -q "^$peer_addr " && break
    sleep 0.1
done
lookup -B "$broadcast" "$netbios_name" | grep -q "^$peer_addr " || fail "nmbd never registered $netbios_name"
echo "nmbd reports MAC address $expected"

probe() { ip netns exec "$client_ns" "$probe" "$@"; }
failures=0
check() { # what expected actual
    if [ "$3" = "$2" ]; then
        echo "ok: $1 -> '$3'"
    else
        echo "not ok: $1 -> '$3', expected '$2'"
        failures=$((failures + 1))
    fi
}

check "address $peer_addr" "$expected" "$(probe "$peer_addr")"
check "name $netbios_name" "$expected" "$(probe "$netbios_name")"
check "name in lower case" "$expected" "$(probe "$(printf '%s' "$netbios_name" | tr A-Z a-z)")"
check "unknown name" "" "$(probe NOSUCHPEER)"
check "address on another port" "" "$(probe "$peer_addr" --port 1137)"

kill -0 "$nmbd_pid" 2>/dev/null || fail "nmbd stopped during the test"
[ "$failures" -eq 0 ] || fail "$failures check(s) failed"
echo "PASS"
