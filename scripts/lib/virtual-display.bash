# Sourced by the scripts that need a display of their own.
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
  for _ in $(seq 100); do
    [ -s "$number_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$number_file" ]; then
    rm -f "$number_file"
    echo "Xvfb did not report a display" >&2
    return 1
  fi
  virtual_display=":$(tr -dc '0-9' <"$number_file")"
  rm -f "$number_file"
}
