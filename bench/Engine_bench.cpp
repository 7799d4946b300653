// Whole controllers, Tapwise beside fuzzylite: each iteration sweeps a case's fixed input
// vectors through every side (PairedRuns.h); the counters are nanoseconds per evaluation.
// Without the peer the Tapwise sides run alone.

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "EngineCases.h"
#include "PairedRuns.h"
#if TAPWISE_BENCH_FUZZYLITE
#include "FuzzyliteEngine.h"
#endif

namespace tapwise::bench {
namespace {

// Every side of one case, built once per process: Google Benchmark calls a benchmark
// several times, and reading gen5x5's 3,125 rules is no part of an evaluation.
struct EngineSides {
  explicit EngineSides(const EngineCase& engine_case)
      : tapwise(engine_case.text)
#if TAPWISE_BENCH_FUZZYLITE
        ,
        fuzzylite100(EngineFll(engine_case.text), 100),
        fuzzylite1000(EngineFll(engine_case.text), 1000)
#endif
  {
    if (engine_case.as_written) as_written.emplace(*engine_case.as_written);
  }

  TapwiseEngine tapwise;
  std::optional<TapwiseEngine> as_written;
#if TAPWISE_BENCH_FUZZYLITE
  FuzzyliteEngine fuzzylite100;
  FuzzyliteEngine fuzzylite1000;
#endif
};

EngineSides& SidesOf(const EngineCase& engine_case) {
  static std::map<std::string, std::unique_ptr<EngineSides>> built;
  std::unique_ptr<EngineSides>& sides = built[engine_case.name];
  if (!sides) sides = std::make_unique<EngineSides>(engine_case);
  return *sides;
}

void BM_Paired_Engine(benchmark::State& state, const char* name) {
  const EngineCase& engine_case = *FindEngineCase(name);
  EngineSides& sides = SidesOf(engine_case);
  const auto& vectors = engine_case.vectors;
  const double per_evaluation = 1.0 / static_cast<double>(vectors.size());
  const auto side = [&](const char* counter, auto& engine) {
    return PairedSide{counter, per_evaluation,
                      [&] { benchmark::DoNotOptimize(SweepVectors(engine, vectors)); }};
  };
  std::vector<PairedSide> paired{side("tapwise", sides.tapwise)};
  if (sides.as_written) paired.push_back(side("tapwise_as_written", *sides.as_written));
#if TAPWISE_BENCH_FUZZYLITE
  paired.push_back(side("fuzzylite100", sides.fuzzylite100));
  paired.push_back(side("fuzzylite1000", sides.fuzzylite1000));
#endif
  RunPaired(state, std::move(paired));
}
BENCHMARK_CAPTURE(BM_Paired_Engine, tipping, "tipping")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Paired_Engine, faucet, "faucet")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Paired_Engine, gen2x7, "gen2x7")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Paired_Engine, gen5x5, "gen5x5")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Paired_Engine, gen1x50, "gen1x50")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tapwise::bench
