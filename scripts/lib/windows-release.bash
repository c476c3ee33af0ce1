# Sourced by the benchmarks that measure the Windows window.
#
# build_windows_release TARGET... builds the given targets of the optimised
# cross build, build/windows-release (the windows preset as Release, with
# the test programs that read the window from outside), configuring it
# first where it is new; the build's output goes away unless it fails.
# Sets windows_release to that folder.
build_windows_release() {
  windows_release=build/windows-release
  local log
  log="$(mktemp)"
  if ! { cmake --preset windows -B "$windows_release" -DCMAKE_BUILD_TYPE=Release \
           -DORVENDEL_BUILD_TESTS=ON -DORVENDEL_WARNINGS_AS_ERRORS=OFF &&
         cmake --build "$windows_release" -j 2 --target "$@"; } >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "the Windows release build failed" >&2
    return 1
  fi
  rm -f "$log"
}
