// Evaluation cost against the size of a controller: its rules, its inputs and the terms of
// each input, on the generated controllers (GeneratedControllers.h).

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "CpuTime.h"
#include "CsvFile.h"
#include "GeneratedControllers.h"
#include "ScalingCurves.h"
#include "tapwise/control/FuzzyController.h"
#include "tapwise/formats/ControllerFormats.h"
#include "tapwise/foundation/NumberText.h"
#if TAPWISE_BENCH_FUZZYLITE
#include "FuzzyliteEngine.h"
#endif

namespace tapwise::bench {
namespace {

// Input vectors each timed batch sweeps: enough to visit every region of the inputs.
constexpr int kVectors = 64;
constexpr int kPeerResolution = 100;
constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// One evaluation as an application makes it: set the inputs by name, process, read y.
class GeneratedTicker {
 public:
  explicit GeneratedTicker(const TGeneratedSize& size)
      : FController(TFuzzyController::FromText(GeneratedControllerText(size))) {
    for (int input = 0; input < size.Inputs; ++input)
      FInputNames.push_back("x" + IntToStr(input));
  }

  std::optional<double> Tick(std::span<const double> inputs) {
    for (std::size_t i = 0; i < inputs.size(); ++i)
      FController.SetInput(FInputNames[i], inputs[i]);
    FController.Process();
    return FController.FindOutput("y");
  }

  long FiredRules() const {
    const auto activations = FController.GetActivations();
    return std::count_if(activations.begin(), activations.end(),
                         [](const TRuleActivation& rule) { return rule.Fired; });
  }

  const TFuzzyController& Controller() const { return FController; }

 private:
  TFuzzyController FController;
  std::vector<std::string> FInputNames;
};

struct ProcessPoint {
  double TapwiseNanoseconds = kNone;
  double PeerNanoseconds = kNone;
  double FiredPerTick = 0;
  // The largest |Tapwise - fuzzylite| over the vectors where both have a value: a check that
  // both evaluate the same controller.
  double LargestDifference = kNone;
};

// Keeps the measured results observable, so that no evaluation is optimised away.
volatile double result_sink = 0;

ProcessPoint MeasureProcess(const TGeneratedSize& size, const ScalingOptions& options) {
  const auto vectors = GeneratedInputVectors(size.Inputs, size.Terms, kVectors);
  GeneratedTicker tapwise(size);
  ProcessPoint point;
  long fired = 0;
  for (const auto& inputs : vectors) {
    tapwise.Tick(inputs);
    fired += tapwise.FiredRules();
  }
  point.FiredPerTick = static_cast<double>(fired) / kVectors;
  point.TapwiseNanoseconds = LeastNanosecondsPerCall(
                                 [&] {
                                   double sum = 0;
                                   for (const auto& inputs : vectors)
                                     sum += tapwise.Tick(inputs).value_or(0.0);
                                   result_sink = sum;
                                 },
                                 options.Repetitions, options.BatchNanoseconds) /
                             kVectors;
#if TAPWISE_BENCH_FUZZYLITE
  // The peer reads the very controller Tapwise evaluates, as Tapwise writes it in FLL.
  FuzzyliteEngine peer(WriteController(tapwise.Controller(), TControllerFormat::Fll),
                       kPeerResolution);
  std::vector<double> outputs(peer.OutputCount());
  const auto peer_tick = [&](const std::vector<double>& inputs) {
    peer.Evaluate(inputs, outputs);
    return outputs[0];
  };
  for (const auto& inputs : vectors) {
    const std::optional<double> ours = tapwise.Tick(inputs);
    const double theirs = peer_tick(inputs);
    if (ours && !std::isnan(theirs)) {
      const double difference = std::fabs(*ours - theirs);
      point.LargestDifference = std::isnan(point.LargestDifference)
                                    ? difference
                                    : std::max(point.LargestDifference, difference);
    }
  }
  point.PeerNanoseconds = LeastNanosecondsPerCall(
                              [&] {
                                double sum = 0;
                                for (const auto& inputs : vectors)
                                  sum += peer_tick(inputs);
                                result_sink = sum;
                              },
                              options.Repetitions, options.BatchNanoseconds) /
                          kVectors;
#endif
  return point;
}

std::string Cell(double value, int decimals) {
  return std::isnan(value) ? "" : FormatFixed(value, decimals);
}

void Curve(const ScalingOptions& options, const std::string& file,
           const std::vector<TGeneratedSize>& sizes) {
  CsvFile csv(options.OutputDirectory + "/" + file,
              {"inputs", "terms", "rules", "tapwise_ns", "fuzzylite100_ns", "fired_per_tick",
               "largest_difference"});
  for (const TGeneratedSize& size : sizes) {
    const ProcessPoint point = MeasureProcess(size, options);
    csv.Row({IntToStr(size.Inputs), IntToStr(size.Terms), IntToStr(size.Rules),
             Cell(point.TapwiseNanoseconds, 1), Cell(point.PeerNanoseconds, 1),
             Cell(point.FiredPerTick, 2), Cell(point.LargestDifference, 6)});
  }
}

}  // namespace

void MeasureProcessCurves(const ScalingOptions& options) {
  // Rules: 4 inputs of 10 terms, the rules spread over the 10,000 combinations.
  std::vector<TGeneratedSize> sizes;
  for (int rules : {10, 30, 100, 300, 1000, 3000, 10000})
    sizes.push_back({4, 10, rules});
  Curve(options, "process_rules.csv", sizes);

  // Inputs: 10 rules of inputs of 10 terms (one input has no more combinations than that).
  sizes.clear();
  for (int inputs = 1; inputs <= 8; ++inputs)
    sizes.push_back({inputs, 10, 10});
  Curve(options, "process_inputs.csv", sizes);

  // Terms: 25 rules of two inputs (two inputs of five terms have just that many).
  sizes.clear();
  for (int terms : {5, 10, 20, 50, 100, 200})
    sizes.push_back({2, terms, 25});
  Curve(options, "process_terms.csv", sizes);
}

}  // namespace tapwise::bench
