# Sourced by the benchmarks that measure a window under traffic.
#
# start_stepped_traffic SECONDS [-- COMMAND...] sends UDP datagrams from
# the namespace pair's va0 (netns-pair.bash) to its peer's discard port
# for SECONDS, at a rate that steps through 150 to 650 KB/s, a new step
# every second, and stops by itself. Everything after -- goes before the
# sender (`-- ip netns exec NS` where the caller is not in the namespace).
# Sets traffic_pid.
start_stepped_traffic() {
  local seconds=$1 runner=()
  shift
  [ "${1:-}" != -- ] || { shift; runner=("$@"); }
  "${runner[@]}" python3 -c '
import socket, sys, time
end = time.monotonic() + float(sys.argv[1])
rates = [150, 400, 650, 250, 550, 300, 600, 200, 500, 350]
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
payload = b"x" * 1000
step = 0
while time.monotonic() < end:
    # Ten bursts a second, each a tenth of the second'"'"'s rate.
    count = rates[(step // 10) % len(rates)] * 1024 // 1000 // 10
    due = time.monotonic() + 0.1
    for _ in range(count):
        s.sendto(payload, ("192.0.2.2", 9))
    step += 1
    time.sleep(max(0.0, due - time.monotonic()))
' "$seconds" >/dev/null 2>&1 &
  traffic_pid=$!
}
