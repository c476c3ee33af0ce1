# Sourced by the scripts, tests and benchmarks that run Windows programs
# under Wine. Each function takes the prefix as an argument and leaves the
# caller's WINEPREFIX alone; Wine's own diagnostics are off throughout.
source "$(dirname "${BASH_SOURCE[0]}")/stop.bash"
orv_wine_lib=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# start_wine_prefix PREFIX [DPI] [-- COMMAND...] stops any server PREFIX
# has, starts a new one that stays up between programs, then runs one
# program, which creates the prefix if it is new (a few seconds) and starts
# Wine's services; all with their output away from the caller's, which a
# server that outlives the caller would hold open. With a DPI the prefix is
# also made ready for the window (prepare-wine-prefix: fonts, unmanaged
# windows, that resolution). Wine's desktop process takes the display it
# sees now, so DISPLAY must be set first. Everything after -- goes before
# each Wine command: `-- ip netns exec NS` puts the server in a network
# namespace, which is the one Wine's table call then answers from.
start_wine_prefix() {
  local prefix dpi="" runner=()
  prefix=$(realpath -m "$1")
  shift
  if [ $# -gt 0 ] && [ "$1" != -- ]; then
    dpi=$1
    shift
  fi
  [ "${1:-}" != -- ] || { shift; runner=("$@"); }
  stop_wine_prefix "$prefix"
  mkdir -p "$prefix"
  if [ ! -O "$prefix" ]; then
    echo "$prefix belongs to another user; Wine refuses it. Remove it first." >&2
    return 1
  fi
  if ! "${runner[@]}" env WINEPREFIX="$prefix" WINEDEBUG=-all wineserver -p >/dev/null 2>&1; then
    echo "the Wine server of $prefix did not start" >&2
    return 1
  fi
  if ! "${runner[@]}" env WINEPREFIX="$prefix" WINEDEBUG=-all wine cmd /c exit >/dev/null 2>&1; then
    echo "Wine could not run a first program in $prefix" >&2
    return 1
  fi
  [ -z "$dpi" ] || "${runner[@]}" "$orv_wine_lib/prepare-wine-prefix" "$prefix" "$dpi"
}

# stop_wine_prefix PREFIX ends the prefix's server and every Wine program
# of it, and waits until they are gone. Safe where none runs.
stop_wine_prefix() {
  local prefix
  # As start_wine_prefix names it: Wine refuses a relative prefix.
  prefix=$(realpath -m "$1")
  WINEPREFIX="$prefix" WINEDEBUG=-all wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" WINEDEBUG=-all wineserver -w >/dev/null 2>&1 || true
}

# open_wine_window PREFIX EXE PROBE LOG [-- COMMAND...] starts EXE in the
# prefix (cmake/wine-run), its output to LOG, and waits up to 30 s for its
# window, as the probe sees it. Sets wine_window_pid. Returns 1 when no
# window came (the program may still run: close_wine_window ends it).
open_wine_window() {
  local prefix=$1 exe=$2 probe=$3 log=$4 runner=()
  shift 4
  [ "${1:-}" != -- ] || { shift; runner=("$@"); }
  "${runner[@]}" "$orv_wine_lib/../../cmake/wine-run" "$prefix" "$exe" >"$log" 2>&1 &
  wine_window_pid=$!
  "${runner[@]}" "$orv_wine_lib/../../cmake/wine-run" "$prefix" "$probe" wait Orvendel 30000
}

# close_wine_window PREFIX PROBE [-- COMMAND...] asks the window to close
# (WM_CLOSE) and gives its program 10 s to end. Returns the program's exit
# status; 124 when it still ran then (it is stopped); 125 when the request
# could not be sent (the program is stopped too).
close_wine_window() {
  local prefix=$1 probe=$2 runner=() status=0
  shift 2
  [ "${1:-}" != -- ] || { shift; runner=("$@"); }
  [ -n "${wine_window_pid:-}" ] || return 0
  if ! "${runner[@]}" "$orv_wine_lib/../../cmake/wine-run" "$prefix" "$probe" close Orvendel; then
    stop "$wine_window_pid"
    wine_window_pid=""
    return 125
  fi
  stop_and_status "$wine_window_pid" 10 || status=$?
  wine_window_pid=""
  return "$status"
}
