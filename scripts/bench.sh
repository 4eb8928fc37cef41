#!/usr/bin/env bash
# Builds the benchmark (Release) and runs it at 1,000, 5,000 and 10,000 endpoints on loopback,
# writing one JSON file per size and a Markdown table of all of them. 100,000 endpoints
# (10,000 participants) are played by rtps-forge, since that many real participants do not fit
# the machine; that size runs only when asked for, and takes about 7 minutes.
#
#   bash scripts/bench.sh                 every size up to 10,000
#   BENCH_SIZES="1000 5000" bash scripts/bench.sh
#   BENCH_SIZES=100000 bash scripts/bench.sh
#   BENCH_LOAD=forge bash scripts/bench.sh   forged participants at every size
#   bash scripts/bench.sh --repeat 25     extra options go to every run (see monitor-bench --help)
#   BENCH_DOMAIN=170 bash scripts/bench.sh   every size in that DDS domain instead of its own
#
# Results go to build-bench/bench-results/ (BENCH_BUILD_DIR and BENCH_OUT move them).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD_DIR:-$root/build-bench}
out=${BENCH_OUT:-$build/bench-results}
sizes=${BENCH_SIZES:-"1000 5000 10000"}

export CYCLONEDDS_URI="file://$root/config/loopback.xml"
export QT_QPA_PLATFORM=offscreen

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target monitor-bench bench-loadgen rtps-forge -- -j2
mkdir -p "$out"

# endpoints: participants writers readers topics processes domain load churn (endpoints/s)
declare -A shape=(
  [1000]="100 500 500 500 1 150 loadgen 50"
  [5000]="500 2500 2500 1000 5 151 loadgen 50"
  [10000]="1000 5000 5000 2000 10 152 loadgen 50"
  [100000]="10000 50000 50000 20000 1 153 forge 500"
)

results=()
for n in $sizes; do
  if [[ -z "${shape[$n]:-}" ]]; then
    echo "bench.sh: unknown size $n (known: ${!shape[*]})" >&2
    exit 2
  fi
  read -r participants writers readers topics processes domain load churn <<<"${shape[$n]}"
  domain=${BENCH_DOMAIN:-$domain}
  load=${BENCH_LOAD:-$load}
  label=$n
  if [[ $load == forge ]]; then
    # One forge plays every participant; it is idle but for what the monitor asks of it.
    processes=1
    [[ -n "${BENCH_LOAD:-}" ]] && label="$n forged"
  fi
  echo "== $n endpoints: $participants participants ($load, $processes processes), $topics" \
       "topics (load: $(cut -d' ' -f1-3 /proc/loadavg))"
  "$build/bench/monitor-bench" --label "$label" --load "$load" \
    --loadgen "$build/bench/bench-loadgen" --forge "$build/tools/rtps-forge/rtps-forge" \
    --json "$out/bench-$n-$load.json" --domain "$domain" --participants "$participants" \
    --writers "$writers" --readers "$readers" --topics "$topics" --processes "$processes" \
    --churn-rate "$churn" "$@" \
    >/dev/null
  results+=("$out/bench-$n-$load.json")
done

"$build/bench/monitor-bench" --table "${results[@]}" | tee "$out/table.md"
echo "JSON and table in $out"
