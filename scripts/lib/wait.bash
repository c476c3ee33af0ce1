# Sourced by the scripts that wait for something to happen.
#
# wait_until SECONDS COMMAND [ARG...] runs COMMAND every 0.1 s until it
# succeeds, and returns 0 then; after SECONDS (a decimal number) without
# success, returns 1. COMMAND's output goes where the caller's does.
wait_until() {
  local tries
  tries=$(awk -v s="$1" 'BEGIN { printf "%d", s * 10 }')
  shift
  for ((; tries > 0; tries--)); do
    "$@" && return 0
    sleep 0.1
  done
  "$@"
}
