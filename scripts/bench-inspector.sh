#!/usr/bin/env bash
# Measures `brelvane snapshot` at the benchmark's largest load: 10,000 endpoints (1,000
# participants in 10 processes, 5,000 writers, 5,000 readers, 2,000 topics) from bench-loadgen
# on loopback. Each run joins anew and waits for discovery to settle; --verbose makes the
# inspector report its own work after that (collect, build, print) and its peak memory.
#
#   bash scripts/bench-inspector.sh            5 runs per format
#   RUNS=3 DOMAIN=161 SETTLE=300 LOAD_SETTLE=120 bash scripts/bench-inspector.sh
#
# Starts DDS participants: run it under the DDS lock, in a domain of your own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD_DIR:-$root/build-bench}
runs=${RUNS:-5}
domain=${DOMAIN:-160}
export CYCLONEDDS_URI="file://$root/config/loopback.xml"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench-loadgen brelvane-inspector -- -j2 >/dev/null

work=$(mktemp -d)
loads=()
# SIGTERM ends the load generators; one that is still deleting its entities after a minute
# (a busy machine) is killed.
cleanup() {
  for pid in "${loads[@]}"; do kill "$pid" 2>/dev/null || true; done
  for _ in $(seq 1 60); do
    alive=0
    for pid in "${loads[@]}"; do kill -0 "$pid" 2>/dev/null && alive=1; done
    [ "$alive" = 0 ] && break
    sleep 1
  done
  for pid in "${loads[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The load generators quit at the end of their input: a fifo held open keeps them running.
mkfifo "$work/input"
exec 3<>"$work/input"
for i in $(seq 0 9); do
  "$build/bench/bench-loadgen" --domain "$domain" --participants 1000 --writers 5000 \
    --readers 5000 --topics 2000 --processes 10 --index "$i" <&3 >"$work/load-$i.out" &
  loads+=($!)
done
for i in $(seq 0 9); do
  until grep -q '^READY' "$work/load-$i.out"; do sleep 0.2; done
done
echo "load ready: $(cat "$work"/load-*.out | awk '{p += $2; e += $3} END {print p " participants, " e " endpoints"}')"
# The load's processes first discover each other, which keeps both cores busy for a while;
# the inspector joins once that is over (LOAD_SETTLE seconds).
sleep "${LOAD_SETTLE:-60}"

for format in json text; do
  for run in $(seq 1 "$runs"); do
    "$build/inspector/brelvane" snapshot --domains "$domain" --settle "${SETTLE:-180}" --quiet 20 --format "$format" \
      --verbose 2>"$work/err" | wc -c >"$work/bytes"
    echo "$format run $run: $(grep -E 'discovery|snapshot of' "$work/err" | sed 's/^brelvane: //' | tr '\n' ' ')"
  done
done
