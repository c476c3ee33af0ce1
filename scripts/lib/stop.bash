# Sourced by the scripts that start processes of their own.
#
# stop PID asks a process to end, then forces it if it is still there
# after 5 s. The killed process's status is of no interest: its end is
# what was asked.
stop() {
  local pid="$1"
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
