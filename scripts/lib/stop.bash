# Sourced by the scripts that start processes of their own.
source "$(dirname "${BASH_SOURCE[0]}")/wait.bash"

# process_gone PID: whether the process has ended.
process_gone() { ! kill -0 "$1" 2>/dev/null; }

# stop PID asks a process to end, then forces it if it is still there
# after 5 s. The killed process's status is of no interest: its end is
# what was asked.
stop() {
  local pid="$1"
  kill "$pid" 2>/dev/null || return 0
  wait_until 5 process_gone "$pid" || kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# stop_and_status PID SECONDS waits up to SECONDS for a process of this
# shell to end by itself and returns its exit status; one still running
# then is stopped, and 124 returned.
stop_and_status() {
  local pid="$1" status=0
  if ! wait_until "$2" process_gone "$pid"; then
    stop "$pid"
    return 124
  fi
  wait "$pid" || status=$?
  return "$status"
}
