# Sourced by the live tests that run programs against the kernel in network
# namespaces of their own. Nothing of theirs reaches another address.
source "$(dirname "${BASH_SOURCE[0]}")/wait.bash"
orv_netns_probe=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tests" && pwd)/netns-check

# make_netns_pair TAG makes two namespaces, ns_a and ns_b (orv-TAG-PID-a
# and -b), joined by a veth pair: va0 in a (192.0.2.1/24, 02:00:00:00:0a:01)
# and vb0 in b (192.0.2.2/24, 02:00:00:00:0b:01), each with its
# neighbour fixed, so no ARP exchange adds bytes of its own, IPv6 off, as
# its autoconfiguration sends packets at moments of its own, and loopback
# up in both; it waits until va0 is up. Returns 1 with the reason in
# netns_error where namespaces cannot be made or entered here, or set up,
# and 2 when va0 never came up; remove_netns_pair removes whatever was made
# either way. in_a and in_b run a command in a namespace.
make_netns_pair() {
  ns_a=orv-$1-$$-a
  ns_b=orv-$1-$$-b
  netns_error=$("$orv_netns_probe") || return 1
  ip netns add "$ns_a" 2>/dev/null || {
    netns_error="ip netns add failed: namespaces are not allowed here"
    return 1
  }
  orv_netns_made=("$ns_a")
  local cmd setup=(
    "ip netns add $ns_b"
    "ip netns exec $ns_a sysctl -q -w net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1"
    "ip netns exec $ns_b sysctl -q -w net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1"
    "ip -n $ns_a link add va0 address 02:00:00:00:0a:01 type veth peer name vb0 netns $ns_b address 02:00:00:00:0b:01"
    "ip -n $ns_a addr add 192.0.2.1/24 dev va0"
    "ip -n $ns_b addr add 192.0.2.2/24 dev vb0"
    "ip -n $ns_a neigh add 192.0.2.2 lladdr 02:00:00:00:0b:01 dev va0 nud permanent"
    "ip -n $ns_b neigh add 192.0.2.1 lladdr 02:00:00:00:0a:01 dev vb0 nud permanent"
    "ip -n $ns_a link set lo up"
    "ip -n $ns_b link set lo up"
    "ip -n $ns_a link set va0 up"
    "ip -n $ns_b link set vb0 up"
  )
  for cmd in "${setup[@]}"; do
    $cmd >/dev/null 2>&1 || {
      netns_error="cannot set up the namespaces: $cmd"
      return 1
    }
    [ "$cmd" != "ip netns add $ns_b" ] || orv_netns_made+=("$ns_b")
  done
  wait_until 5 va0_up || {
    netns_error="va0 never came up"
    return 2
  }
}

# netns_pair_or_skip TAG: make_netns_pair for a test, which is skipped
# (exit 77) where namespaces cannot be had here and fails when the pair
# misbehaves. Its EXIT trap should call remove_netns_pair.
netns_pair_or_skip() {
  local status=0
  make_netns_pair "$1" || status=$?
  [ "$status" -ne 1 ] || { echo "skipped: $netns_error"; exit 77; }
  [ "$status" -eq 0 ] || { echo "$netns_error" >&2; exit 1; }
}

va0_up() { in_a ip -o link show va0 | grep -q 'state UP'; }
in_a() { ip netns exec "$ns_a" "$@"; }
in_b() { ip netns exec "$ns_b" "$@"; }

# remove_netns_pair removes the namespaces make_netns_pair made, and with
# them every link in them. Safe to call again.
remove_netns_pair() {
  local ns
  for ns in "${orv_netns_made[@]}"; do ip netns del "$ns" 2>/dev/null || true; done
  orv_netns_made=()
}
orv_netns_made=()
