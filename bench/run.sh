#!/usr/bin/env bash
# Builds the benchmarks in Release in build-bench/ and runs them: timings (Google Benchmark,
# medians of repeated runs), accuracy and allocations (the binary's --report mode) and
# instructions per tick (callgrind over one sweep of the 1000 readings per controller); then
# the same for whole controllers (engine cases) beside fuzzylite, per evaluation.
# The last lines are the summary, one figure per controller, "n/a" where a side is missing;
# the very last are one "engine_ns" line per engine case.
#
# Environment: BENCH_REPETITIONS (default 5), BENCH_PAIR_REPETITIONS (paired, default 21),
# BENCH_SWEEPS (callgrind sweeps, default 1), BENCH_JOBS (build jobs, default 2),
# BENCH_FUZZYLITE (OFF leaves the peer out).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/ensure-packages.sh "${TAPWISE_BUILD_PACKAGES[@]}" libbenchmark-dev valgrind python3
# The peer is optional: without it the Tapwise side still runs and the peer figures read n/a.
scripts/ensure-packages.sh libfuzzylite-dev ||
  echo "note: fuzzylite could not be installed; the peer benchmarks are skipped"

build=build-bench
repetitions=${BENCH_REPETITIONS:-5}
pair_repetitions=${BENCH_PAIR_REPETITIONS:-21}
sweeps=${BENCH_SWEEPS:-1}

echo "== build (Release, $build/)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAPWISE_BUILD_TESTS=OFF \
  -DTAPWISE_BUILD_TOOLS=OFF -DTAPWISE_BUILD_APP=OFF -DTAPWISE_INSTALL=OFF \
  -DTAPWISE_BUILD_BENCHMARKS=ON -DTAPWISE_BENCH_FUZZYLITE="${BENCH_FUZZYLITE:-ON}" >/dev/null
cmake --build "$build" --target tapwise_bench -- -j"${BENCH_JOBS:-2}"
bench="$build/bench/tapwise_bench"

echo "== timings (medians of CPU time)"
# The figures set beside the peer's come from paired benchmarks: each iteration runs every
# side once, back to back, so that a busy spell of a shared machine falls on all of them
# alike. Many short repetitions: their medians stand even when a busy spell spoils several.
if "$bench" --benchmark_list_tests --benchmark_filter='BM_Paired_' | grep -q .; then
  echo "-- beside the peer, paired: $pair_repetitions repetitions of at least 0.1 s"
  "$bench" --benchmark_filter='BM_Paired_' --benchmark_repetitions="$pair_repetitions" \
    --benchmark_min_time=0.1 --benchmark_report_aggregates_only=true \
    --benchmark_out="$build/bench-pairs.json" --benchmark_out_format=json
else
  echo '{"benchmarks": []}' >"$build/bench-pairs.json"
fi
# Without the peer there are no paired benchmarks; the Tapwise figures then come from here.
echo "-- each alone: $repetitions repetitions"
"$bench" --benchmark_filter='-BM_Paired_' --benchmark_repetitions="$repetitions" \
  --benchmark_report_aggregates_only=true --benchmark_enable_random_interleaving=true \
  --benchmark_out="$build/bench-results.json" --benchmark_out_format=json

echo "== accuracy and allocations"
"$bench" --report | tee "$build/bench-report.txt"

echo "== instructions (callgrind, $sweeps sweep(s) of 1000 ticks)"
controllers=(tapwise)
grep -q '^cog_max_abs_diff res100=n/a' "$build/bench-report.txt" ||
  controllers+=(fuzzylite100 fuzzylite1000)
declare -A instructions=([tapwise]=n/a [fuzzylite100]=n/a [fuzzylite1000]=n/a)
for controller in "${controllers[@]}"; do
  out="$build/callgrind.$controller.out"
  valgrind --tool=callgrind --callgrind-out-file="$out" --collect-atstart=no \
    --toggle-collect='TapwiseBenchSweep*' "$bench" --callgrind="$controller" \
    --sweeps="$sweeps" 2>"$build/callgrind.$controller.log"
  ticks=$((sweeps * 1000))
  total=$(awk '/^(summary|totals):/ {print $2; exit}' "$out")
  instructions[$controller]=$(awk -v total="$total" -v ticks="$ticks" \
    'BEGIN {printf "%.0f", total / ticks}')
  callgrind_annotate --inclusive=no "$out" 2>/dev/null >"$build/callgrind.$controller.self.txt"
  callgrind_annotate --inclusive=yes "$out" 2>/dev/null >"$build/callgrind.$controller.inclusive.txt"
done
echo "Top self costs of the Tapwise tick ($build/callgrind.tapwise.self.txt):"
# awk reads to the end: a reader that stops early (head) may fail the pipeline under pipefail.
awk '/^ *[0-9,]+ \(/ && shown < 15 { print substr($0, 1, 160); shown++ }' \
  "$build/callgrind.tapwise.self.txt"

echo "== engines: accuracy, allocations and instructions per evaluation"
"$bench" --engine-report | tee "$build/engine-report.txt"
mapfile -t engines < <("$bench" --benchmark_list_tests --benchmark_filter='BM_Paired_Engine/' |
  sed 's|.*/||')
: >"$build/engine-instructions.txt"
for engine in "${engines[@]}"; do
  line="note: engine $engine instructions per evaluation"
  sides=(tapwise "${controllers[@]:1}")
  [ "$engine" = faucet ] && sides+=(tapwise_as_written)
  for side in "${sides[@]}"; do
    out="$build/callgrind.engine.$engine.$side.out"
    evaluations=$(valgrind --tool=callgrind --callgrind-out-file="$out" --collect-atstart=no \
      --toggle-collect='TapwiseBenchSweep*' "$bench" --callgrind-engine="$engine" \
      --side="$side" 2>"$build/callgrind.engine.$engine.$side.log" | awk '/^evaluations/ {print $2}')
    total=$(awk '/^(summary|totals):/ {print $2; exit}' "$out")
    line+=" $side=$(awk -v total="$total" -v n="$evaluations" 'BEGIN {printf "%.0f", total / n}')"
  done
  echo "$line" | tee -a "$build/engine-instructions.txt"
done

echo "== summary"
python3 - "$build/bench-pairs.json" "$build/bench-results.json" "${instructions[tapwise]}" \
  "${instructions[fuzzylite100]}" "${instructions[fuzzylite1000]}" <<'PY'
import json, sys
units = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
medians = {}
for results in sys.argv[1:3]:
    for run in json.load(open(results))["benchmarks"]:
        # A single repetition has no aggregates; its one run is its median.
        if run.get("aggregate_name") == "median" or (
                run.get("run_type") == "iteration" and run["run_name"] not in medians):
            medians[run["run_name"]] = run
def paired(name, counter, scale=1.0):
    run = medians.get(name)
    return None if run is None or counter not in run else run[counter] * scale
def alone(name):  # seconds per iteration of a benchmark run by itself
    run = medians.get(name)
    return None if run is None else run["cpu_time"] * units[run["time_unit"]] / 1e9
def text(value, form):
    return "n/a" if value is None else form % value
def paired_mbps(side):
    seconds = paired("BM_Paired_Parse", side, 1e-9)
    size = paired("BM_Paired_Parse", side + "_bytes")
    return None if seconds is None or size is None else size / seconds / 1e6
# Paired figures where the peer is there; else Tapwise's own benchmarks (one iteration of a
# tick benchmark sweeps 1000 readings).
tapwise_tick = paired("BM_Paired_Tick", "tapwise")
if tapwise_tick is None and alone("BM_Tick_Tapwise") is not None:
    tapwise_tick = alone("BM_Tick_Tapwise") * 1e9 / 1000
tapwise_parse = paired_mbps("tapwise")
if tapwise_parse is None and "BM_Parse_Tapwise" in medians:
    tapwise_parse = medians["BM_Parse_Tapwise"]["bytes_per_second"] / 1e6
ticks = [text(tapwise_tick, "%.0f"), text(paired("BM_Paired_Tick", "fuzzylite100"), "%.0f"),
         text(paired("BM_Paired_Tick", "fuzzylite1000"), "%.0f")]
instructions = sys.argv[3:6]
parses = [text(tapwise_parse, "%.2f"), text(paired_mbps("fuzzylite"), "%.2f")]
def mbps(name):
    run = medians.get(name)
    return "n/a" if run is None or "bytes_per_second" not in run else "%.2f" % (
        run["bytes_per_second"] / 1e6)
def ratio(ours, theirs):
    return "n/a" if "n/a" in (ours, theirs) else "%.2f" % (float(ours) / float(theirs))
# Goals: a tick at most 0.25 of the peer's time at resolution 100 and at most 10,000
# instructions; parsing at least 4 times the peer's import.
print("note: ratios tapwise/fuzzylite100 time=%s instructions=%s (goal: time <= 0.25, "
      "instructions <= 10000)" % (ratio(ticks[0], ticks[1]), ratio(instructions[0], instructions[1])))
print("note: ratios tapwise/fuzzylite1000 time=%s instructions=%s" % (
    ratio(ticks[0], ticks[2]), ratio(instructions[0], instructions[2])))
print("note: ratio parse tapwise/fuzzylite=%s (goal >= 4)" % ratio(parses[0], parses[1]))
print("note: the Tapwise tokenizer alone reads the generated text at %s MB/s" %
      mbps("BM_Tokenize_Tapwise"))
print("note: Tapwise reads the demo's definition text (with its automatic terms) at %s MB/s" %
      mbps("BM_Parse_TapwiseDemoText"))
def alone_tick(name):
    return text(None if alone(name) is None else alone(name) * 1e9 / 1000, "%.0f")
print("note: each run alone instead (medians of %d): tick_ns tapwise=%s fuzzylite100=%s "
      "fuzzylite1000=%s; parse_mbps tapwise=%s fuzzylite=%s" % (
          medians.get("BM_Tick_Tapwise", {}).get("repetitions", 0),
          alone_tick("BM_Tick_Tapwise"), alone_tick("BM_Tick_Fuzzylite/100"),
          alone_tick("BM_Tick_Fuzzylite/1000"), mbps("BM_Parse_Tapwise"),
          mbps("BM_Parse_FuzzyliteFll")))
print("tick_ns tapwise=%s fuzzylite100=%s fuzzylite1000=%s" % tuple(ticks))
print("tick_instructions tapwise=%s fuzzylite100=%s fuzzylite1000=%s" % tuple(instructions))
print("parse_mbps tapwise=%s fuzzylite=%s" % tuple(parses))
PY
grep -E '^(cog_max_abs_diff|allocations_per_tick) ' "$build/bench-report.txt"
grep '^note: engine' "$build/engine-report.txt"
cat "$build/engine-instructions.txt"
python3 - "$build/bench-pairs.json" "${engines[@]}" <<'PY'
import json, sys
medians = {run["run_name"]: run for run in json.load(open(sys.argv[1]))["benchmarks"]
           if run.get("aggregate_name") == "median" or run.get("run_type") == "iteration"}
def ns(engine, side):
    run = medians.get("BM_Paired_Engine/" + engine, {})
    return "n/a" if side not in run else "%.0f" % run[side]
if "faucet" in sys.argv[2:]:
    print("note: engine faucet as written (spreads, cap implication; Tapwise only, paired): %s ns "
          "per evaluation" % ns("faucet", "tapwise_as_written"))
for engine in sys.argv[2:]:
    print("engine_ns controller=%s tapwise=%s fuzzylite100=%s fuzzylite1000=%s" % (
        engine, ns(engine, "tapwise"), ns(engine, "fuzzylite100"), ns(engine, "fuzzylite1000")))
PY
