#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tapwise/control/FuzzyController.h"

namespace tapwise::bench {

/// A whole controller the engine benchmarks run on both libraries, with its fixed inputs.
struct EngineCase {
  std::string name;
  /// The controller both sides run, in the definition language (the peer reads it as the
  /// FLL text Tapwise writes of it).
  std::string text;
  /// The example file as it is, when the peer cannot run it (the faucet's spreads and cap
  /// implication): Tapwise is timed on it as well.
  std::optional<std::string> as_written;
  /// One value per input, in the order of the controller's inputs.
  std::vector<std::vector<double>> vectors;
};

/// tipping, faucet, gen2x7, gen5x5 and gen1x50, built once.
const std::vector<EngineCase>& EngineCases();
/// The case `name`, or null.
const EngineCase* FindEngineCase(std::string_view name);

/// The FLL text Tapwise writes of `text`.
std::string EngineFll(const std::string& text);

/// A `TFuzzyController` read from definition text, evaluated as a user would: set every
/// input by name, `Process`, read every output by name.
class TapwiseEngine {
 public:
  explicit TapwiseEngine(const std::string& text);

  /// The outputs at `inputs`, into `outputs` (sized to the outputs).
  void Evaluate(const std::vector<double>& inputs, std::vector<double>& outputs);
  size_t OutputCount() const { return FOutputs.size(); }

 private:
  TFuzzyController FController;
  std::vector<std::string> FInputs;
  std::vector<std::string> FOutputs;
};

/// Every vector of `vectors` through `engine`; the sum of the outputs, so that no work can be
/// left out.
template <class Engine>
double SweepVectors(Engine& engine, const std::vector<std::vector<double>>& vectors) {
  std::vector<double> outputs(engine.OutputCount());
  double checksum = 0;
  for (const std::vector<double>& inputs : vectors) {
    engine.Evaluate(inputs, outputs);
    for (double output : outputs)
      checksum += output;
  }
  return checksum;
}

}  // namespace tapwise::bench
