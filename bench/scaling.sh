#!/usr/bin/env bash
# Builds tapwise_scaling in Release in build-bench/, measures how evaluation, reading and
# memory grow with the size of a controller (CSV files in build-bench/scaling/) and draws
# the curves into docs/images/, printing their fitted slopes. A few minutes.
#
# Environment: SCALING_REPETITIONS (timed batches per point, default 5),
# SCALING_MAX_PARSE_BYTES (largest text read, default 50000000), BENCH_JOBS (default 2),
# BENCH_FUZZYLITE (OFF leaves the peer out).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/ensure-packages.sh "${TAPWISE_BUILD_PACKAGES[@]}" libbenchmark-dev python3
scripts/ensure-packages.sh libfuzzylite-dev ||
  echo "note: fuzzylite could not be installed; the peer columns stay empty"

build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAPWISE_BUILD_TESTS=OFF \
  -DTAPWISE_BUILD_TOOLS=OFF -DTAPWISE_BUILD_APP=OFF -DTAPWISE_INSTALL=OFF \
  -DTAPWISE_BUILD_BENCHMARKS=ON -DTAPWISE_BENCH_FUZZYLITE="${BENCH_FUZZYLITE:-ON}" >/dev/null
cmake --build "$build" --target tapwise_scaling -- -j"${BENCH_JOBS:-2}"

mkdir -p "$build/scaling"
"$build/bench/tapwise_scaling" --out="$build/scaling" \
  --repetitions="${SCALING_REPETITIONS:-5}" \
  --max-parse-bytes="${SCALING_MAX_PARSE_BYTES:-50000000}"
echo "== curves and fits"
python3 bench/scaling/plot_curves.py "$build/scaling" docs/images
