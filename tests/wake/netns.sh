# Sourced by the tests on a real network. Exits 77 (skipped) unless network
# namespaces can be made here. `netns NAME...` makes namespaces, loopback up;
# `veth NS1 IF1 NS2 IF2 NET` joins two namespaces as NET.1 and NET.2 (/24).
# At exit the background jobs stop, and the namespaces and $work go.
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
[ "$(id -u)" -eq 0 ] || skip "making network namespaces needs root"
command -v ip >/dev/null || skip "ip (iproute2) is not installed"
PATH=$PATH:/usr/sbin:/sbin made= work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait; for ns in $made; do ip netns del $ns; done; rm -rf "$work"' EXIT
netns() {
    for ns; do
        ip netns add $ns 2>/dev/null || skip "network namespaces cannot be made here"
        made="$made $ns"
        # In a chroot whose root is no mount point, ip cannot enter a namespace.
        ip netns exec $ns ip link set lo up 2>/dev/null || skip "programs cannot run inside a network namespace here"
    done
}
veth() {
    ip link add $2 netns $1 type veth peer name $4 netns $3 2>/dev/null || skip "veth pairs cannot be made here"
    ip -n $1 addr add $5.1/24 dev $2 && ip -n $3 addr add $5.2/24 dev $4 && ip -n $1 link set $2 up &&
        ip -n $3 link set $4 up || fail "cannot set up $2 and $4"
}
