#include "EngineReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "EngineCases.h"
#include "tapwise/foundation/NumberText.h"
#if TAPWISE_BENCH_FUZZYLITE
#include "FuzzyliteEngine.h"
#endif

namespace tapwise::bench {
namespace {

void Print(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
}

// Allocations per evaluation over one sweep after a warm-up sweep (first-use allocations
// do not count).
template <class Engine>
std::string AllocationsPerEvaluation(Engine& engine, const EngineCase& engine_case) {
  SweepVectors(engine, engine_case.vectors);
  const std::size_t before = AllocationCount();
  SweepVectors(engine, engine_case.vectors);
  return FormatFixed(static_cast<double>(AllocationCount() - before) /
                         static_cast<double>(engine_case.vectors.size()),
                     1);
}

#if TAPWISE_BENCH_FUZZYLITE
// The reference is fuzzylite sampling the aggregate at this many points: its error is far
// below the differences measured.
constexpr int kReferenceResolution = 100000;
constexpr size_t kReferenceVectors = 50;

// The largest difference in any output between `engine` and `reference` over the first
// vectors.
template <class Engine>
double LargestDifference(Engine& engine, FuzzyliteEngine& reference,
                         const EngineCase& engine_case) {
  std::vector<double> got(engine.OutputCount());
  std::vector<double> exact(reference.OutputCount());
  double largest = 0;
  const size_t count = std::min(kReferenceVectors, engine_case.vectors.size());
  for (size_t k = 0; k < count; ++k) {
    engine.Evaluate(engine_case.vectors[k], got);
    reference.Evaluate(engine_case.vectors[k], exact);
    for (size_t i = 0; i < got.size(); ++i)
      largest = std::max(largest, std::fabs(got[i] - exact[i]));
  }
  return largest;
}
#endif

template <class Engine>
int Sweep(Engine& engine, const EngineCase& engine_case,
          double (*sweep)(Engine&, const EngineCase&)) {
  SweepVectors(engine, engine_case.vectors);  // warm-up outside the counted function
  const double checksum = sweep(engine, engine_case);
  Print("evaluations " + std::to_string(engine_case.vectors.size()) + " checksum " +
        FormatFixed(checksum, 6));
  return 0;
}

}  // namespace
}  // namespace tapwise::bench

// Plain names, kept out of line, for callgrind's --toggle-collect.
extern "C" __attribute__((noinline)) double TapwiseBenchSweepEngineTapwise(
    tapwise::bench::TapwiseEngine& engine, const tapwise::bench::EngineCase& engine_case) {
  return tapwise::bench::SweepVectors(engine, engine_case.vectors);
}

#if TAPWISE_BENCH_FUZZYLITE
extern "C" __attribute__((noinline)) double TapwiseBenchSweepEngineFuzzylite(
    tapwise::bench::FuzzyliteEngine& engine, const tapwise::bench::EngineCase& engine_case) {
  return tapwise::bench::SweepVectors(engine, engine_case.vectors);
}
#endif

namespace tapwise::bench {

int EngineReport() {
  for (const EngineCase& engine_case : EngineCases()) {
    TapwiseEngine tapwise(engine_case.text);
    std::string allocations = "tapwise=" + AllocationsPerEvaluation(tapwise, engine_case);
    if (engine_case.as_written) {
      TapwiseEngine as_written(*engine_case.as_written);
      allocations += " tapwise_as_written=" + AllocationsPerEvaluation(as_written, engine_case);
    }
#if TAPWISE_BENCH_FUZZYLITE
    const std::string fll = EngineFll(engine_case.text);
    FuzzyliteEngine coarse(fll, 100);
    FuzzyliteEngine fine(fll, 1000);
    FuzzyliteEngine reference(fll, kReferenceResolution);
    allocations += " fuzzylite100=" + AllocationsPerEvaluation(coarse, engine_case) +
                   " fuzzylite1000=" + AllocationsPerEvaluation(fine, engine_case);
    const auto difference = [&](auto& engine) {
      return FormatFixed(LargestDifference(engine, reference, engine_case), 9);
    };
    Print("note: engine " + engine_case.name + " largest |output - reference| over the first " +
          std::to_string(std::min(kReferenceVectors, engine_case.vectors.size())) +
          " vectors (reference: fuzzylite at resolution " + std::to_string(kReferenceResolution) +
          "): tapwise=" + difference(tapwise) + " fuzzylite100=" + difference(coarse) +
          " fuzzylite1000=" + difference(fine));
#else
    allocations += " fuzzylite100=n/a fuzzylite1000=n/a";
    Print("note: engine " + engine_case.name +
          " largest |output - reference|: n/a (the reference is fuzzylite)");
#endif
    Print("note: engine " + engine_case.name + " allocations per evaluation " + allocations);
  }
  return 0;
}

int EngineCallgrind(std::string_view name, std::string_view side) {
  const EngineCase* engine_case = FindEngineCase(name);
  if (engine_case != nullptr) {
    if (side == "tapwise" || (side == "tapwise_as_written" && engine_case->as_written)) {
      TapwiseEngine engine(side == "tapwise" ? engine_case->text : *engine_case->as_written);
      return Sweep(engine, *engine_case, TapwiseBenchSweepEngineTapwise);
    }
#if TAPWISE_BENCH_FUZZYLITE
    if (side == "fuzzylite100" || side == "fuzzylite1000") {
      FuzzyliteEngine engine(EngineFll(engine_case->text), side == "fuzzylite100" ? 100 : 1000);
      return Sweep(engine, *engine_case, TapwiseBenchSweepEngineFuzzylite);
    }
#endif
  }
  std::fputs(
      ("unknown or unavailable engine side: " + std::string(name) + " " + std::string(side) + "\n")
          .c_str(),
      stderr);
  return 2;
}

}  // namespace tapwise::bench
