#!/usr/bin/env bash
# The tests on a real network, made of network namespaces: namespace 0 is
# joined by a veth pair to namespace 1 as 10.231.1.1 and .2, and by another to
# namespace 2 as 10.231.2.1 and .2; it has no default route.
#   broadcast: the default broadcast from 0 reaches both subnets.
#   nmbd: the MAC lookup in 0: "*" from its own first card; Samba's nmbd in 1
#     (it does not answer on loopback alone, and tells an all-zero address),
#     asked by address and by NetBIOS name: the veth's real address, from the
#     neighbour table; 2, with nothing on port 137: its address at once; 3,
#     behind 2 as a router: nothing, never the router's address; an address on
#     subnet 1 with no computer, and a name nobody has: nothing, in time.
#   wait: tarnel-cli's wake --wait in 0: 1, which answers pings, is up at once;
#     an address on subnet 1 with no computer runs the wait out; a TCP port
#     nobody listens on is refused, so up; with pings not allowed (the
#     namespace's default ping_group_range) and no --probe-port, a usage error.
# usage: netns_test.sh broadcast|nmbd NET_PROBE, or netns_test.sh wait TARNEL_CLI;
# exit 0 passed, 1 failed, 77 skipped.
set -u
probe=$2 t=tn$$ work=$(mktemp -d) PATH=$PATH:/usr/sbin:/sbin
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
[ "$(id -u)" -eq 0 ] || skip "making network namespaces needs root"
trap 'kill $(jobs -p) 2>/dev/null; wait; for n in 0 1 2 3; do ip netns del $t$n; done 2>/dev/null; rm -rf "$work"' EXIT
for n in 0 1 2 3; do
    ip netns add $t$n 2>/dev/null || skip "network namespaces cannot be made here"
    # In a chroot whose root is no mount point, ip cannot enter a namespace.
    ip netns exec $t$n ip link set lo up 2>/dev/null || skip "programs cannot run inside a network namespace here"
done
for n in 1 2; do
    ip link add s$n netns ${t}0 type veth peer name r$n netns $t$n 2>/dev/null || skip "veth pairs cannot be made here"
    ip -n ${t}0 addr add 10.231.$n.1/24 dev s$n && ip -n $t$n addr add 10.231.$n.2/24 dev r$n &&
        ip -n ${t}0 link set s$n up && ip -n $t$n link set r$n up || fail "cannot set up subnet $n"
done

if [ "$1" = broadcast ]; then
    for n in 1 2; do ip netns exec $t$n "$probe" - 9009 >"$work/$n" & done
    for _ in $(seq 50); do [ "$(cat "$work"/[12])" = $'ready\nready' ] && break; sleep 0.05; done
    ip netns exec ${t}0 "$probe" 255.255.255.255 9009 || fail "the broadcast failed"
    wait
    # Out of both interfaces, with the exact 102 bytes.
    packet=ffffffffffff$(printf '0011223344ab%.0s' $(seq 16))
    [ "$(cat "$work"/[12])" = "$(printf 'ready\n%s\n' $packet $packet)" ] || fail "not on both subnets"
    # With every interface down there is nothing to broadcast on: the plain send's error.
    ip -n ${t}0 link set s1 down && ip -n ${t}0 link set s2 down
    ip netns exec ${t}0 "$probe" 255.255.255.255 9009 && fail "a broadcast with no network succeeded"
elif [ "$1" = wait ]; then
    slots=$(printf ',__:__%.0s' $(seq 8))
    printf 'peer,001122334401%s,10.231.1.2\r\nghost,001122334402%s,10.231.1.77\r\n' "$slots" "$slots" >"$work/book"
    # STATUS TEXT LEAST_MS MOST_MS PING_GROUP_RANGE WAKE_ARGUMENTS...: TEXT on
    # stdout for status 0, else on stderr.
    cli() {
        ip netns exec ${t}0 sysctl -qw net.ipv4.ping_group_range="$5" || fail "cannot set ping_group_range"
        local want=$1 text=$2 least=$3 most=$4 start=$(date +%s%N) got ms stream=err
        shift 5
        ip netns exec ${t}0 "$probe" wake "$@" --file "$work/book" >"$work/out" 2>"$work/err"
        got=$? ms=$((($(date +%s%N) - start) / 1000000))
        [ "$want" = 0 ] && stream=out
        [ $got = "$want" ] && grep -q "$text" "$work/$stream" ||
            { cat "$work/out" "$work/err"; fail "wake $* gave $got, not $want with '$text' on std$stream"; }
        [ $ms -ge "$least" ] && [ $ms -le "$most" ] || fail "wake $* took $ms ms, not $least to $most"
        echo "wake $*: $got, '$text' in $ms ms"
    }
    cli 0 "peer is up" 0 800 "0 2147483647" peer --wait 5
    cli 3 "ghost did not answer within 2 s" 1900 3500 "0 2147483647" ghost --wait 2
    cli 2 "give --host" 0 1500 "0 2147483647" 00:11:22:33:44:03 --wait 2
    cli 0 "peer is up" 0 800 "1 0" peer --wait 5 --probe-port 9
    cli 2 "ping_group_range" 0 1500 "1 0" peer --wait 5
else
    # Every file nmbd keeps is in $work.
    printf '[global]\nnetbios name = TARNELPEER\nworkgroup = TARNELTEST\ninterfaces = r1 10.231.1.2/24\nbind interfaces only = yes\n' >"$work/conf"
    printf '%s = '"$work"'\n' "lock directory" "state directory" "cache directory" "pid directory" "private dir" "ncalrpc dir" >>"$work/conf"
    ip netns exec ${t}1 nmbd -F --debug-stdout --no-process-group -s "$work/conf" >"$work/log" 2>&1 &
    # Namespace 3 is reached through 2, which forwards.
    ip link add q3 netns ${t}2 type veth peer name r3 netns ${t}3 && ip -n ${t}2 addr add 10.231.3.1/24 dev q3 &&
        ip -n ${t}3 addr add 10.231.3.2/24 dev r3 && ip -n ${t}2 link set q3 up && ip -n ${t}3 link set r3 up &&
        ip -n ${t}3 route add default via 10.231.3.1 && ip -n ${t}0 route add 10.231.3.0/24 via 10.231.2.2 &&
        ip netns exec ${t}2 sysctl -qw net.ipv4.ip_forward=1 || fail "cannot set up the router"
    ip netns exec ${t}3 "$probe" - 9009 >"$work/3" &
    for _ in $(seq 50); do [ "$(cat "$work/3")" = ready ] && break; sleep 0.05; done
    ip netns exec ${t}0 "$probe" 10.231.3.2 9009 && wait $! && [ "$(wc -l <"$work/3")" = 2 ] ||
        fail "namespace 3 cannot be reached through 2"
    mac() { ip netns exec "$t$1" cat "/sys/class/net/$2/address" | tr -d : | tr a-f A-F; }
    # COMPUTER=MAC=MOST_MS; nmbd answers a node status at once, a name query once
    # it has registered the name, which is asked in lower case.
    for ask in "*=$(mac 0 s1)=300" "10.231.1.2=$(mac 1 r1)=300" "tarnelpeer=$(mac 1 r1)=2300" \
        "10.231.2.2=$(mac 2 r2)=300" "10.231.3.2==2100" "10.231.1.77==2100" "nobody-has-this-name==4500"; do
        want=${ask#*=} most=${want#*=} want=${want%=*}
        for _ in $(seq 15); do
            { read -r got; read -r ms; } < <(ip netns exec ${t}0 "$probe" "${ask%%=*}")
            [ "$got" = "$want" ] && break
            sleep 0.2
        done
        [ "$got" = "$want" ] || { tail -n 20 "$work/log"; fail "${ask%%=*} gave '$got', not '$want'"; }
        [ "$ms" -le "$most" ] || fail "${ask%%=*} took $ms ms, more than $most"
        echo "${ask%%=*}: '$got' in $ms ms"
    done
    # The router's address was in 0's table all along, and was not given for 3.
    ip -n ${t}0 neigh show 10.231.2.2 | grep -qi "lladdr $(mac 2 r2 | sed 's/../&:/g; s/:$//')" ||
        fail "the router is not in the neighbour table, so the case proves nothing"
fi
echo PASS
