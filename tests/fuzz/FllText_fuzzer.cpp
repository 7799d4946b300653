// Arbitrary bytes as FLL text. A read must end and fail only with the library's exceptions;
// a controller it gives must evaluate, on inputs the first byte's bits pick, to finite
// outputs or none, and its own definition text must read back to the same inputs, outputs
// and rule blocks (the variables' writer keeps four decimals of each point, so the read-back
// controller is held to finite outputs as well, not to equal ones).

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "FuzzInput.h"
#include "tapwise/control/FuzzyController.h"
#include "tapwise/formats/ControllerFormats.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/fuzzy/FuzzyVariable.h"

namespace tapwise::fuzzing {
namespace {

// Evaluates on inputs inside, at and beyond each input's range, as the mode's bits say.
void Evaluate(TFuzzyController& controller, uint8_t mode) {
  const auto& inputs = controller.GetInputs();
  for (size_t i = 0; i < inputs.size(); ++i) {
    const TFuzzyVariable& variable = controller.GetVariable(inputs[i].Name);
    const double span = variable.GetMaximum() - variable.GetMinimum();
    const double where = ((mode >> (i % 7)) & 3) * 0.4 - 0.1;
    controller.SetInput(inputs[i].Name, variable.GetMinimum() + where * span);
  }
  try {
    controller.Process();
  } catch (const Exception&) {
    return;  // a set operation may refuse a non-finite result; nothing half-done stays
  }
  for (const TControllerOutput& output : controller.GetOutputs()) {
    const std::optional<double> value = controller.FindOutput(output.Name);
    Require(!value || std::isfinite(*value), "output " + output.Name + " is not a finite number");
  }
}

void ReadText(uint8_t mode, const std::string& text) {
  std::optional<TFuzzyController> controller;
  try {
    controller = ReadController(text, TControllerFormat::Fll);
  } catch (const Exception&) {
    return;
  }
  const std::string written = controller->ToText();
  TFuzzyController again;
  try {
    again.Define(written);
  } catch (const Exception& e) {
    Fail(std::string("written text does not read again: ") + e.what() + "\n" + written);
  }
  Require(again.GetInputs() == controller->GetInputs(), "inputs differ after a round trip");
  Require(again.GetOutputs() == controller->GetOutputs(), "outputs differ after a round trip");
  Require(again.GetRuleBlocks() == controller->GetRuleBlocks(),
          "rule blocks differ after a round trip");
  Evaluate(*controller, mode);
  Evaluate(again, mode);
}

}  // namespace
}  // namespace tapwise::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return tapwise::fuzzing::RunModeAndText(data, size, tapwise::fuzzing::ReadText);
}
