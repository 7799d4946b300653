#include "EngineCases.h"

#include <regex>
#include <stdexcept>

#include "BenchInputs.h"
#include "GeneratedControllers.h"
#include "tapwise/formats/ControllerFormats.h"
#include "tapwise/foundation/StringList.h"

namespace tapwise::bench {

namespace {

std::string ExampleText(const std::string& file) {
  TStringList lines;
  lines.LoadFromFile(std::string(TAPWISE_EXAMPLES_DIR) + "/" + file);
  return lines.GetText();
}

// The faucet as the peer can run it: crisp inputs, and the clip implication where the
// demo caps (FLL has no implication that caps a point list without its crossing points).
std::string CrispFaucet(const std::string& text) {
  const std::string crisp = std::regex_replace(text, std::regex(R"( *\(spread [^)]*\))"), "");
  return std::regex_replace(crisp, std::regex(R"(\(implication cap\))"), "(implication clip)");
}

EngineCase Generated(std::string name, int inputs, int terms, int vectors) {
  return {std::move(name), GeneratedControllerText({inputs, terms}), std::nullopt,
          GeneratedInputVectors(inputs, terms, vectors)};
}

std::vector<EngineCase> BuildCases() {
  std::vector<EngineCase> cases;
  // Ratings 0..10: the Halton points of a generated controller of 11 terms span that range.
  cases.push_back(
      {"tipping", ExampleText("tipping.fzl"), std::nullopt, GeneratedInputVectors(2, 11, 1000)});
  const std::string faucet = ExampleText("faucet.fzl");
  EngineCase& crisp = cases.emplace_back(EngineCase{"faucet", CrispFaucet(faucet), faucet, {}});
  for (const OutletReading& reading : OutletReadings())
    crisp.vectors.push_back({reading.temperature, reading.flow});
  cases.push_back(Generated("gen2x7", 2, 7, 1000));
  cases.push_back(Generated("gen5x5", 5, 5, 100));
  cases.push_back(Generated("gen1x50", 1, 50, 1000));
  return cases;
}

}  // namespace

const std::vector<EngineCase>& EngineCases() {
  static const std::vector<EngineCase> cases = BuildCases();
  return cases;
}

const EngineCase* FindEngineCase(std::string_view name) {
  for (const EngineCase& engine_case : EngineCases())
    if (engine_case.name == name) return &engine_case;
  return nullptr;
}

std::string EngineFll(const std::string& text) {
  return WriteController(TFuzzyController::FromText(text), TControllerFormat::Fll);
}

TapwiseEngine::TapwiseEngine(const std::string& text)
    : FController(TFuzzyController::FromText(text)) {
  for (const TControllerInput& input : FController.GetInputs())
    FInputs.push_back(input.Name);
  for (const TControllerOutput& output : FController.GetOutputs())
    FOutputs.push_back(output.Name);
}

void TapwiseEngine::Evaluate(const std::vector<double>& inputs, std::vector<double>& outputs) {
  for (size_t i = 0; i < FInputs.size(); ++i)
    FController.SetInput(FInputs[i], inputs[i]);
  FController.Process();
  for (size_t i = 0; i < FOutputs.size(); ++i)
    outputs[i] = FController.GetOutput(FOutputs[i]);
}

}  // namespace tapwise::bench
