#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer into
# build-fuzz/ (or $FUZZ_BUILD_DIR) and runs each for a number of executions, one process at a
# time. Usage: scripts/fuzz.sh [executions, default 10000000] [target...]
# New corpus entries go to <build>/fuzz-corpus/<target>; the seeds in tests/fuzz/corpus stay as
# they are. A finding is saved to <build>/fuzz-artifacts/<target>/ and fails the script.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$top/build-fuzz}
runs=${1:-10000000}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_sysinfo fuzz_utf8text fuzz_domaininput)
fi

CC=${CC:-clang-14} CXX=${CXX:-clang++-14} cmake -S "$top" -B "$build" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRELVANE_FUZZ=ON -DBRELVANE_SANITIZE=address \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"

status=0
for target in "${targets[@]}"; do
  corpus=$build/fuzz-corpus/$target
  artifacts=$build/fuzz-artifacts/$target
  log=$build/fuzz-$target.log
  mkdir -p "$corpus" "$artifacts"
  echo "== $target: $runs executions (log: $log)"
  if "$build/tests/fuzz/$target" -runs="$runs" -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "$corpus" "$top/tests/fuzz/corpus/$target" >"$log" 2>&1; then
    result=ok
  else
    result="FINDING (see $artifacts)"
    status=1
  fi
  executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  echo "   $result: ${executed:-?} executions, ${speed:-?} exec/s"
done
exit $status
