// The benchmark binary's entry point. Besides the Google Benchmark runs it has two modes that
// bench/run.sh uses:
//   --report                          accuracy against the peer and allocations per tick
//   --callgrind=<controller> --sweeps=<n>
//                                     n sweeps of the reading list through one controller
//                                     (tapwise, fuzzylite100, fuzzylite1000) inside a
//                                     function named TapwiseBenchSweep..., so that callgrind
//                                     can count the instructions of the ticks alone with
//                                     --toggle-collect='TapwiseBenchSweep*'
//   --engine-report                   per engine case: allocations and differences to a
//                                     reference (EngineReport.h)
//   --callgrind-engine=<case> --side=<side>
//                                     one sweep of the case's vectors through one side

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "AllocationCounter.h"
#include "BenchInputs.h"
#include "EngineReport.h"
#include "FuzzyliteFaucetController.h"
#include "TapwiseFaucetController.h"
#include "tapwise/control/FuzzyController.h"
#include "tapwise/foundation/NumberText.h"

using tapwise::FormatFixed;
using tapwise::bench::OutletReading;
using tapwise::bench::OutletReadings;
using tapwise::bench::TapwiseFaucetController;
using tapwise::bench::ValveChanges;

namespace {

template <typename Controller>
double SweepChecksum(Controller& controller, long sweeps) {
  double checksum = 0.0;
  for (long sweep = 0; sweep < sweeps; ++sweep) {
    for (const OutletReading& reading : OutletReadings()) {
      const ValveChanges changes = controller.Tick(reading);
      checksum += changes.hot + changes.cold;
    }
  }
  return checksum;
}

}  // namespace

// Plain names, kept out of line, for callgrind's --toggle-collect.
extern "C" __attribute__((noinline)) double TapwiseBenchSweepTapwise(
    TapwiseFaucetController& controller, long sweeps) {
  return SweepChecksum(controller, sweeps);
}

#if TAPWISE_BENCH_FUZZYLITE
using tapwise::TFuzzyController;
using tapwise::bench::FuzzyliteFaucetController;
using tapwise::bench::FuzzyliteTipping;

extern "C" __attribute__((noinline)) double TapwiseBenchSweepFuzzylite(
    FuzzyliteFaucetController& controller, long sweeps) {
  return SweepChecksum(controller, sweeps);
}
#endif

namespace {

void Print(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
}

double AllocationsPerTick() {
  TapwiseFaucetController controller;
  SweepChecksum(controller, 1);  // warm-up: first-use allocations do not count
  const std::size_t before = tapwise::bench::AllocationCount();
  SweepChecksum(controller, 1);
  return static_cast<double>(tapwise::bench::AllocationCount() - before) /
         static_cast<double>(OutletReadings().size());
}

#if TAPWISE_BENCH_FUZZYLITE
struct Deviation {
  double largest = 0.0;
  double mean = 0.0;
  OutletReading where{0.0, 0.0};
};

// The largest difference in either valve change between two controllers over the list.
template <typename First, typename Second>
Deviation LargestDeviation(First& first, Second& second) {
  Deviation deviation;
  double sum = 0.0;
  for (const OutletReading& reading : OutletReadings()) {
    const ValveChanges a = first.Tick(reading);
    const ValveChanges b = second.Tick(reading);
    const double difference = std::max(std::fabs(a.hot - b.hot), std::fabs(a.cold - b.cold));
    sum += difference;
    if (difference > deviation.largest) {
      deviation.largest = difference;
      deviation.where = reading;
    }
  }
  deviation.mean = sum / static_cast<double>(OutletReadings().size());
  return deviation;
}

std::string Describe(const Deviation& deviation) {
  return FormatFixed(deviation.largest, 6) + " at temperature " +
         FormatFixed(deviation.where.temperature, 3) + ", flow " +
         FormatFixed(deviation.where.flow, 3) + "; mean " + FormatFixed(deviation.mean, 6);
}

// The tipping controller's largest difference to fuzzylite's over a grid of the inputs, and
// the values at one point.
void ReportTipping() {
  TFuzzyController tapwise = TFuzzyController::FromFile(TAPWISE_EXAMPLES_DIR "/tipping.fzl");
  const auto tip = [&tapwise](double quality, double service) {
    tapwise.SetInput("quality", quality);
    tapwise.SetInput("service", service);
    tapwise.Process();
    return tapwise.GetOutput("tip");
  };
  for (int resolution : {100, 1000}) {
    FuzzyliteTipping peer(resolution);
    double largest = 0;
    for (int q = 0; q <= 40; ++q)
      for (int s = 0; s <= 40; ++s)
        largest = std::max(largest, std::fabs(tip(q / 4.0, s / 4.0) - peer.Tip(q / 4.0, s / 4.0)));
    Print("note: tipping, largest |tapwise - fuzzylite" + std::to_string(resolution) +
          "| over a 41 x 41 grid " + FormatFixed(largest, 6) +
          "; at quality 6.5, service 9.8: " + "tapwise " + FormatFixed(tip(6.5, 9.8), 6) +
          ", fuzzylite " + FormatFixed(peer.Tip(6.5, 9.8), 6));
  }
}

double FuzzyliteAllocationsPerTick(int resolution) {
  FuzzyliteFaucetController controller(resolution);
  SweepChecksum(controller, 1);
  const std::size_t before = tapwise::bench::AllocationCount();
  SweepChecksum(controller, 1);
  return static_cast<double>(tapwise::bench::AllocationCount() - before) /
         static_cast<double>(OutletReadings().size());
}
#endif

int Report() {
  const std::string allocations = FormatFixed(AllocationsPerTick(), 1);
#if TAPWISE_BENCH_FUZZYLITE
  TapwiseFaucetController tapwise;
  FuzzyliteFaucetController coarse(100);
  FuzzyliteFaucetController fine(1000);
  const Deviation at100 = LargestDeviation(tapwise, coarse);
  const Deviation at1000 = LargestDeviation(tapwise, fine);
  const Deviation between = LargestDeviation(coarse, fine);
  TapwiseFaucetController crisp(TapwiseFaucetController::TInputs::Crisp);
  const Deviation crisp_at1000 = LargestDeviation(crisp, fine);
  const Deviation fuzzification = LargestDeviation(tapwise, crisp);
  Print("note: largest |tapwise - fuzzylite100| " + Describe(at100));
  Print("note: largest |tapwise - fuzzylite1000| " + Describe(at1000));
  Print("note: largest |fuzzylite100 - fuzzylite1000| " + Describe(between));
  Print("note: largest |tapwise with crisp inputs - fuzzylite1000| " + Describe(crisp_at1000));
  Print("note: largest |tapwise - tapwise with crisp inputs| " + Describe(fuzzification));
  Print("note: fuzzylite allocations per tick: resolution 100 " +
        FormatFixed(FuzzyliteAllocationsPerTick(100), 1) + ", resolution 1000 " +
        FormatFixed(FuzzyliteAllocationsPerTick(1000), 1));
  ReportTipping();
  Print("cog_max_abs_diff res100=" + FormatFixed(at100.largest, 6) +
        " res1000=" + FormatFixed(at1000.largest, 6));
#else
  Print("note: fuzzylite is not built in; the accuracy comparison is skipped");
  Print("cog_max_abs_diff res100=n/a res1000=n/a");
#endif
  Print("allocations_per_tick tapwise=" + allocations);
  return 0;
}

int Callgrind(std::string_view controller, long sweeps) {
  double checksum = 0.0;
  if (controller == "tapwise") {
    TapwiseFaucetController tapwise;
    SweepChecksum(tapwise, 1);  // warm-up outside the counted function
    checksum = TapwiseBenchSweepTapwise(tapwise, sweeps);
#if TAPWISE_BENCH_FUZZYLITE
  } else if (controller == "fuzzylite100" || controller == "fuzzylite1000") {
    FuzzyliteFaucetController peer(controller == "fuzzylite100" ? 100 : 1000);
    SweepChecksum(peer, 1);
    checksum = TapwiseBenchSweepFuzzylite(peer, sweeps);
#endif
  } else {
    std::fputs(("unknown or unavailable controller: " + std::string(controller) + "\n").c_str(),
               stderr);
    return 2;
  }
  Print("ticks " + std::to_string(sweeps * static_cast<long>(OutletReadings().size())) +
        " checksum " + FormatFixed(checksum, 6));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string_view callgrind;
  std::string_view engine;
  std::string_view side;
  long sweeps = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--report") return Report();
    if (argument == "--engine-report") return tapwise::bench::EngineReport();
    if (argument.starts_with("--callgrind-engine=")) engine = argument.substr(19);
    if (argument.starts_with("--side=")) side = argument.substr(7);
    if (argument.starts_with("--callgrind=")) callgrind = argument.substr(12);
    if (argument.starts_with("--sweeps=")) sweeps = std::strtol(argv[i] + 9, nullptr, 10);
  }
  if (!callgrind.empty()) return Callgrind(callgrind, sweeps < 1 ? 1 : sweeps);
  if (!engine.empty()) return tapwise::bench::EngineCallgrind(engine, side);

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
#if !TAPWISE_BENCH_FUZZYLITE
  std::fputs("note: fuzzylite is not built in; the peer benchmarks are skipped\n", stderr);
#endif
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
