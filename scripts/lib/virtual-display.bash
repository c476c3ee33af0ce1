# Sourced by the scripts that need a display of their own.
source "$(dirname "${BASH_SOURCE[0]}")/stop.bash"
#
# start_virtual_display GEOMETRY starts Xvfb (screen 0 of GEOMETRY, such as
# 400x460x24) on a display number it picks itself, so runs beside other
# displays never collide, and waits until it accepts connections (it
# writes its number then). It sets xvfb_pid at once, for the caller's
# clean-up, and virtual_display (":N") once the display is up. Returns 1
# with a message on standard error when Xvfb ends or reports no display
# within 10 s.
start_virtual_display() {
  local geometry="$1" number_file
  number_file="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  wait_until 10 display_reported "$number_file" "$xvfb_pid" || true
  if [ ! -s "$number_file" ]; then
    rm -f "$number_file"
    echo "Xvfb did not report a display" >&2
    return 1
  fi
  virtual_display=":$(tr -dc '0-9' <"$number_file")"
  rm -f "$number_file"
}

# display_reported FILE PID: Xvfb wrote its number, or ended trying.
display_reported() { [ -s "$1" ] || process_gone "$2"; }

# stop_virtual_display stops the Xvfb start_virtual_display started, if
# any; safe to call again.
stop_virtual_display() {
  [ -z "${xvfb_pid:-}" ] || stop "$xvfb_pid"
  xvfb_pid=""
}
