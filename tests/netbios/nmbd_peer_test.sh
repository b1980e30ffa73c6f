#!/usr/bin/env bash
# Asks Samba's nmbd for its adapter status, by IPv4 address and by NetBIOS name
# (a broadcast name query). nmbd does not answer on loopback alone, so it runs
# in a namespace of its own, joined by a veth pair to the probe's namespace.
# usage: nmbd_peer_test.sh NETBIOS_PROBE; exit 0 passed, 1 failed, 77 skipped.
set -u
probe=${1:?usage: nmbd_peer_test.sh NETBIOS_PROBE}
PATH=$PATH:/usr/sbin:/sbin
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; [ -f "${tmp:-}/nmbd.log" ] && tail -n 20 "$tmp/nmbd.log"; exit 1; }
[ "$(id -u)" -eq 0 ] || skip "making network namespaces needs root"
for tool in ip nmbd nmblookup; do command -v "$tool" >/dev/null || fail "$tool is missing (iproute2, samba)"; done

peer=tarnel-nmbd-$$ client=tarnel-client-$$ name=TARNELPEER address=10.231.0.1
tmp=$(mktemp -d)
nmbd_pid=
cleanup() {
    [ -n "$nmbd_pid" ] && { kill "$nmbd_pid"; timeout 5 tail --pid="$nmbd_pid" -f /dev/null; kill -KILL "$nmbd_pid"; } 2>/dev/null
    ip netns del "$peer" 2>/dev/null; ip netns del "$client" 2>/dev/null; rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
ip netns add "$peer" 2>/dev/null || skip "network namespaces are unavailable"
# In a chroot whose root is no mount point, ip cannot enter a namespace.
ip netns exec "$peer" true 2>/dev/null || skip "programs cannot run inside a network namespace here"
ip netns add "$client" || fail "cannot add a second namespace"
ip link add tnp$$ netns "$peer" type veth peer name tnc$$ netns "$client" 2>/dev/null || skip "no veth pairs"
ip -n "$peer" addr add $address/24 dev tnp$$ && ip -n "$client" addr add 10.231.0.2/24 dev tnc$$
for link in "$peer tnp$$" "$client tnc$$" "$peer lo" "$client lo"; do set -- $link; ip -n "$1" link set "$2" up; done

conf() { # FILE DIR EXTRA: every directory nmbd and nmblookup touch is in $tmp
    mkdir -p "$2"/{lock,state,cache,pid,private,ncalrpc,log}
    printf '[global]\nworkgroup = TARNELTEST\nlock directory = %s/lock\nstate directory = %s/state\ncache directory = %s/cache\npid directory = %s/pid\nprivate dir = %s/private\nncalrpc dir = %s/ncalrpc\nlog file = %s/log/log.%%m\n%s\n' \
        "$2" "$2" "$2" "$2" "$2" "$2" "$2" "$3" >"$1"
}
conf "$tmp/nmbd.conf" "$tmp/n" "netbios name = $name
interfaces = tnp$$ $address/24
bind interfaces only = yes"
conf "$tmp/client.conf" "$tmp/c" "interfaces = tnc$$ 10.231.0.2/24"
ip netns exec "$peer" nmbd -F --debug-stdout --no-process-group -s "$tmp/nmbd.conf" >"$tmp/nmbd.log" 2>&1 &
nmbd_pid=$!
lookup() { ip netns exec "$client" nmblookup -s "$tmp/client.conf" "$@" 2>/dev/null; }

# A node status is answered at once, a name query only once nmbd has registered the name.
for _ in $(seq 100); do status=$(lookup -A $address) && break; sleep 0.1; done
expected=$(sed -n 's/.*MAC Address = \([0-9A-Fa-f-]*\).*/\1/p' <<<"$status" | tr -d - | tr a-f A-F)
[ ${#expected} -eq 12 ] || fail "nmblookup -A found no MAC address in: $status"
for _ in $(seq 300); do lookup -B 10.231.0.255 $name | grep -q "^$address " && break; sleep 0.1; done
lookup -B 10.231.0.255 $name | grep -q "^$address " || fail "nmbd never registered $name"

failures=0
check() { # WHAT EXPECTED ARGS...
    local what=$1 want=$2; shift 2
    got=$(ip netns exec "$client" "$probe" "$@")
    [ "$got" = "$want" ] && echo "ok: $what -> '$got'" || { echo "not ok: $what -> '$got', expected '$want'"; failures=$((failures + 1)); }
}
check "address" "$expected" $address
check "name" "$expected" $name
check "name in lower case" "$expected" tarnelpeer
check "unknown name" "" NOSUCHPEER
check "address on another port" "" $address --port 1137
kill -0 "$nmbd_pid" 2>/dev/null || fail "nmbd stopped during the test"
[ "$failures" -eq 0 ] || fail "$failures check(s) failed"
echo PASS
