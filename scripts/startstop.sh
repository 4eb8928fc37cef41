#!/usr/bin/env bash
# Starts and closes the real monitor many times on loopback, with a domain watched and a peer
# present, and counts every run that hangs, crashes or ends wrongly.
#   scripts/startstop.sh [cycles, default 1000]
# BUILD_DIR picks the build tree (default build/; build-asan/ runs every cycle under
# AddressSanitizer). Half the cycles close as soon as the domain is included, half after the
# peer showed in the physical view, at a random moment of the polling pass.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
cycles=${1:-1000}
domain=${STARTSTOP_DOMAIN:-121}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j2 --target monitor-startstop dds-peer >/dev/null

export QT_QPA_PLATFORM=offscreen
export CYCLONEDDS_URI="file://$top/config/loopback.xml"
export LSAN_OPTIONS=suppressions=$top/tests/sanitizers/lsan.supp:print_suppressions=0
export TSAN_OPTIONS=suppressions=$top/tests/sanitizers/tsan.supp:print_suppressions=0:exitcode=66

"$build/tools/dds-peer/dds-peer" --domain "$domain" \
  --sysinfo host=startstop-peer,pid=42,exe=/opt/peer --writer StartStop --reader StartStop \
  >/dev/null &
peer=$!
trap 'kill $peer 2>/dev/null; wait $peer 2>/dev/null || true' EXIT

hangs=0 crashes=0 wrong=0
log=$(mktemp)
for ((i = 1; i <= cycles; i++)); do
  if ((i % 2)); then
    args=(--domain "$domain" --host startstop-peer --linger-ms 300)
    expected=$'SEEN\nCLOSING'
  else
    args=(--domain "$domain")
    expected=$'UNSEEN\nCLOSING'
  fi
  set +e
  out=$(timeout 120 "$build/tests/reliability/monitor-startstop" "${args[@]}" 2>"$log")
  code=$?
  set -e
  if ((code == 124)); then
    hangs=$((hangs + 1)); echo "cycle $i: hangs" >&2
  elif ((code >= 128 || code == 66 || (code != 0 && code != 3))); then
    crashes=$((crashes + 1)); echo "cycle $i: exit code $code" >&2; tail -20 "$log" >&2
  elif [[ "$out" != "$expected" ]]; then
    wrong=$((wrong + 1)); echo "cycle $i: printed $(echo "$out" | tr '\n' ' ')" >&2
  fi
  if ((i % 100 == 0)); then
    echo "$i cycles: $hangs hangs, $crashes crashes or sanitizer reports, $wrong wrong"
  fi
done
rm -f "$log"
echo "startstop: $cycles cycles, $hangs hangs, $crashes crashes or sanitizer reports, $wrong wrong"
((hangs + crashes + wrong == 0))
