#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang (AddressSanitizer and UndefinedBehaviorSanitizer)
# in build-fuzz/ and runs each for a bounded time, starting from its committed seeds in
# tests/fuzz/corpus/<harness>/. What the fuzzer finds on the way goes to build-fuzz/corpus/
# (kept between runs, never committed); crashes, leaks, timeouts and broken invariants go to
# build-fuzz/artifacts/ and make the script fail.
#
#   tests/fuzz/run.sh [SECONDS] [HARNESS...]     default: 60 seconds for every harness
#
# Reproduce a finding with: build-fuzz/tests/fuzz/tapwise_fuzz_<harness> <artifact file>
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)

seconds=${1:-60}
shift || true

scripts/ensure-packages.sh cmake ninja-build clang libclang-rt-14-dev

build=build-fuzz
echo "== fuzz build (clang, libFuzzer, ASan + UBSan) in $build"
# Keep assertions and debug information; -O1 keeps the fuzzers fast enough.
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DTAPWISE_BUILD_FUZZERS=ON -DTAPWISE_LIVE_OBJECT_COUNT=ON \
  -DTAPWISE_BUILD_TESTS=OFF -DTAPWISE_BUILD_BENCHMARKS=OFF -DTAPWISE_BUILD_TOOLS=OFF \
  -DTAPWISE_BUILD_APP=OFF -DTAPWISE_INSTALL=OFF >/dev/null
# The machine is shared: two compile jobs at most.
cmake --build "$build" -- -j2

if [ $# -gt 0 ]; then
  harnesses=("$@")
else
  mapfile -t harnesses < <(find tests/fuzz -maxdepth 1 -name '*_fuzzer.cpp' -printf '%f\n' |
    sed 's/_fuzzer\.cpp$//' | sort)
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=()
summary=()
for harness in "${harnesses[@]}"; do
  binary=$build/tests/fuzz/tapwise_fuzz_$harness
  corpus=$build/corpus/$harness
  seeds=tests/fuzz/corpus/$harness
  artifacts=$build/artifacts/$harness
  log=$build/logs/$harness.log
  mkdir -p "$corpus" "$seeds" "$artifacts" "$(dirname "$log")"
  echo "== fuzz $harness for ${seconds}s"
  # One process: the machine is shared (no -jobs/-workers). -timeout reports an input that
  # runs longer than 10 s as a hang; -rss_limit_mb an input that eats memory.
  status=0
  "$binary" "$corpus" "$seeds" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=4096 -print_final_stats=1 -artifact_prefix="$root/$artifacts/" >"$log" 2>&1 ||
    status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  summary+=("$harness: ${runs:-?} executions, exit status $status")
  if [ "$status" -ne 0 ]; then
    failed+=("$harness")
    echo "-- $harness found a problem (log: $log):"
    grep -E 'ERROR|invariant broken|SUMMARY|Test unit written' "$log" | head -n 20 || true
  fi
done

echo "== fuzz summary"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
