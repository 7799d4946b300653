// Arbitrary bytes as controller text: rule blocks, inputs and outputs, after the variables of
// a small controller (or, with bit 0 of the first byte, as the whole text). A read must end,
// fail only with the library's exceptions and leave a controller whose written text reads
// back to the same inputs, outputs and rule blocks (the variables' own writer rounds to four
// decimals); evaluating it on inputs the other bits pick must give finite
// outputs or none, and leave nothing alive.

#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "tapwise/control/FuzzyController.h"
#include "tapwise/foundation/Exceptions.h"

namespace tapwise::fuzzing {
namespace {

constexpr char kVariables[] =
    "(deffuzzy a (range 0 10) (values (term lo ((0 1) (10 0))) (term mid (tri 0 5 10))"
    " (term hi ((0 0) (10 1)))))\n"
    "(deffuzzy b (range -1 1) (values (term neg ((-1 1) (0 0))) (term pos ((0 0) (1 1)))))\n"
    "(deffuzzy y (range 0 25) (values (term low ((0 1) (13 0))) (term high ((13 0) (25 1)))))\n";

void Evaluate(TFuzzyController& controller, uint8_t mode) {
  const auto& inputs = controller.GetInputs();
  for (size_t i = 0; i < inputs.size(); ++i) {
    // Inside, at and beyond the universes, as the mode's bits say.
    const double value = ((mode >> (i % 6)) & 3) * 3.7 - 1.5;
    controller.SetInput(inputs[i].Name, value);
  }
  try {
    controller.Process();
  } catch (const Exception&) {
    return;  // a set operation may refuse (a non-finite result); nothing half-done stays
  }
  for (const TControllerOutput& output : controller.GetOutputs()) {
    const std::optional<double> value = controller.FindOutput(output.Name);
    Require(!value || std::isfinite(*value), "output " + output.Name + " is not a finite number");
  }
}

void ReadText(uint8_t mode, const std::string& text) {
  TFuzzyController controller;
  try {
    controller.Define((mode & 1) != 0 ? text : kVariables + text);
  } catch (const Exception&) {
    // A parse error; the forms completed before it stay.
  }
  const std::string written = controller.ToText();
  TFuzzyController again;
  try {
    again.Define(written);
  } catch (const Exception& e) {
    Fail(std::string("written text does not read again: ") + e.what() + "\n" + written);
  }
  Require(again.GetInputs() == controller.GetInputs(), "inputs differ after a round trip");
  Require(again.GetOutputs() == controller.GetOutputs(), "outputs differ after a round trip");
  Require(again.GetRuleBlocks() == controller.GetRuleBlocks(),
          "rule blocks differ after a round trip");
  Evaluate(controller, mode);
}

}  // namespace
}  // namespace tapwise::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return tapwise::fuzzing::RunModeAndText(data, size, tapwise::fuzzing::ReadText);
}
