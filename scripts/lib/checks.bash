# Sourced by the tests that make many checks and go on past a failed one,
# so one run reports every failure.
#
# fail MESSAGE reports a failed check and counts it; end_of_checks exits 1
# when any failed.
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
end_of_checks() {
  [ "$failures" -eq 0 ] || { echo "$failures checks failed" >&2; exit 1; }
}
