# Counting of pass/fail for the packaging checks; sourced by the check scripts.
#   check "what is checked" command...   runs the command, prints ok/FAIL with its output
#   summary LABEL                        prints "LABEL: N passed, N failed", fails on any failure
passed=0
failed=0

check() {
  local what=$1 output
  shift
  if output=$("$@" 2>&1); then
    passed=$((passed + 1))
    echo "ok: $what"
  else
    failed=$((failed + 1))
    echo "FAIL: $what"
    [ -z "$output" ] || printf '%s\n' "$output" | sed 's/^/    /'
  fi
}

summary() {
  echo "$1: $passed passed, $failed failed"
  ((failed == 0))
}
