#!/usr/bin/env bash
# Builds the benchmark (Release) and runs it at 1,000, 5,000 and 10,000 endpoints on loopback,
# writing one JSON file per size and a Markdown table of all of them.
#
#   bash scripts/bench.sh                 every size
#   BENCH_SIZES="1000 5000" bash scripts/bench.sh
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
cmake --build "$build" --target monitor-bench bench-loadgen -- -j2
mkdir -p "$out"

# endpoints: participants writers readers topics processes domain
declare -A shape=(
  [1000]="100 500 500 500 1 150"
  [5000]="500 2500 2500 1000 5 151"
  [10000]="1000 5000 5000 2000 10 152"
)

results=()
for n in $sizes; do
  if [[ -z "${shape[$n]:-}" ]]; then
    echo "bench.sh: unknown size $n (known: ${!shape[*]})" >&2
    exit 2
  fi
  read -r participants writers readers topics processes domain <<<"${shape[$n]}"
  domain=${BENCH_DOMAIN:-$domain}
  echo "== $n endpoints: $participants participants in $processes processes, $topics topics" \
       "(load: $(cut -d' ' -f1-3 /proc/loadavg))"
  "$build/bench/monitor-bench" --label "$n" --loadgen "$build/bench/bench-loadgen" \
    --json "$out/bench-$n.json" --domain "$domain" --participants "$participants" \
    --writers "$writers" --readers "$readers" --topics "$topics" --processes "$processes" "$@" \
    >/dev/null
  results+=("$out/bench-$n.json")
done

"$build/bench/monitor-bench" --table "${results[@]}" | tee "$out/table.md"
echo "JSON and table in $out"
