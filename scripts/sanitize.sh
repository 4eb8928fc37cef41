#!/usr/bin/env bash
# Builds everything with a sanitizer and runs the whole test suite offscreen on loopback.
#   scripts/sanitize.sh address   AddressSanitizer + UndefinedBehaviorSanitizer (and
#                                 LeakSanitizer at every exit), into build-asan/
#   scripts/sanitize.sh thread    ThreadSanitizer, into build-tsan/
# Extra arguments go to ctest (for example -R tst_churn). BUILD_DIR overrides the build
# directory, JOBS the parallel test count (default 2), TIMEOUT_FACTOR the factor on every
# test's timeout (default 4 for address, 8 for thread).
# Suppressions: tests/sanitizers/lsan.supp (leaks inside Qt only) and tests/sanitizers/tsan.supp
# (reports inside the uninstrumented Cyclone DDS, Fast DDS and Qt libraries only); see
# docs/reliability.md.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:-}
shift || true
case "$kind" in
  address) build=${BUILD_DIR:-$top/build-asan}; factor=${TIMEOUT_FACTOR:-4} ;;
  thread) build=${BUILD_DIR:-$top/build-tsan}; factor=${TIMEOUT_FACTOR:-8} ;;
  *) echo "usage: $0 address|thread [ctest arguments...]" >&2; exit 2 ;;
esac

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRELVANE_SANITIZE="$kind" \
  -DBRELVANE_TEST_TIMEOUT_FACTOR="$factor" >/dev/null
cmake --build "$build" -j2

supp=$top/tests/sanitizers
export QT_QPA_PLATFORM=offscreen
export CYCLONEDDS_URI="file://$top/config/loopback.xml"
# A finding ends the process with a non-zero code, so the test that met it fails.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
export LSAN_OPTIONS=suppressions=$supp/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=suppressions=$supp/tsan.supp:print_suppressions=0:ignore_noninstrumented_modules=1:halt_on_error=0:exitcode=66:second_deadlock_stack=1:history_size=4
cd "$build"
ctest --output-on-failure -j"${JOBS:-2}" "$@"
