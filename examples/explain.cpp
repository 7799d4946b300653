// Why a controller answered as it did: its inputs, its outputs (and which of them no rule
// drove, so that they took their default) and every rule's strength in the last run.
//
//   build-release/examples/explain examples
#include <exception>
#include <initializer_list>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>

#include "tapwise/control/FuzzyController.h"

namespace {

void Explain(const tapwise::TFuzzyController& controller) {
  std::cout << "inputs:";
  for (const auto& input : controller.GetInputs())
    std::cout << " " << input.Name << " = " << controller.GetInput(input.Name);
  std::cout << "\n" << std::fixed;
  for (const auto& output : controller.GetOutputs()) {
    std::cout << "  " << output.Name;
    if (auto value = controller.FindOutput(output.Name)) std::cout << " = " << *value;
    // A Mamdani output has an aggregated set exactly when one of its rules fired.
    if (!controller.GetAggregate(output.Name)) std::cout << " (no rule fired)";
    std::cout << "\n";
  }
  std::cout << "  rules (* fired):\n";
  for (const auto& rule : controller.GetActivations())
    std::cout << (rule.Fired ? "  * " : "    ") << rule.Strength << " " << rule.Block << " "
              << rule.Rule << "\n";
  std::cout << std::defaultfloat;
}

void Run(const std::string& file,
         std::initializer_list<std::pair<std::string_view, double>> inputs) {
  auto controller = tapwise::TFuzzyController::FromFile(file);
  for (auto [name, value] : inputs)
    controller.SetInput(name, value);
  controller.Process();
  Explain(controller);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: explain EXAMPLES-DIRECTORY\n";
    return 1;
  }
  const std::string examples = argv[1];
  try {
    Run(examples + "/tipping.fzl", {{"quality", 6.5}, {"service", 9.8}});
    // The faucet's target reading: no rule is meant to fire, and both valves keep still.
    Run(examples + "/faucet.fzl", {{"outTemp", 36}, {"outFlow", 12}});
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
}
