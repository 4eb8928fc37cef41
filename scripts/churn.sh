#!/usr/bin/env bash
# The churn test at full length: 60 seconds (or CHURN_SECONDS) of 50 participants joining and
# leaving every second while the real main window rebuilds its views, then lease expiry and the
# check that nothing of them is left. BUILD_DIR picks the build tree: build-asan/ adds
# LeakSanitizer's check at exit (scripts/sanitize.sh address builds it).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j2 --target tst_churn churn-peer dds-peer >/dev/null

export QT_QPA_PLATFORM=offscreen
export CYCLONEDDS_URI="file://$top/config/loopback.xml"
export BRELVANE_CHURN_SECONDS=${CHURN_SECONDS:-60}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=suppressions=$top/tests/sanitizers/lsan.supp:print_suppressions=0
export TSAN_OPTIONS=suppressions=$top/tests/sanitizers/tsan.supp:print_suppressions=0:exitcode=66
cd "$build"
ctest --output-on-failure -R "^tst_churn$"
