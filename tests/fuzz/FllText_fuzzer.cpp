// Arbitrary bytes as FLL text. A read must end and fail only with the library's exceptions;
// a controller it gives must evaluate, on inputs the first byte's bits pick, to finite
// outputs or none, and its own definition text must read back to the same inputs, outputs
// and rule blocks, which evaluate to the very same values. The FLL it is written as, when
// FLL can hold it, must read back too, with the same inputs, outputs and rules.

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ControllerOutputs.h"
#include "FuzzInput.h"
#include "tapwise/control/FuzzyController.h"
#include "tapwise/formats/ControllerFormats.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/fuzzy/FuzzyVariable.h"

namespace tapwise::fuzzing {
namespace {

size_t RuleCount(const TFuzzyController& controller) {
  size_t rules = 0;
  for (const TRuleBlock& block : controller.GetRuleBlocks())
    rules += block.Rules.size();
  return rules;
}

void RequireFllReadsBack(const TFuzzyController& controller) {
  std::string fll;
  try {
    fll = WriteController(controller, TControllerFormat::Fll);
  } catch (const Exception&) {
    return;  // refused: FLL cannot hold something the controller has
  }
  std::optional<TFuzzyController> again;
  try {
    again = ReadController(fll, TControllerFormat::Fll);
  } catch (const Exception& e) {
    Fail(std::string("written FLL does not read again: ") + e.what() + "\n" + fll);
  }
  Require(again->GetInputs().size() == controller.GetInputs().size() &&
              again->GetOutputs().size() == controller.GetOutputs().size() &&
              RuleCount(*again) == RuleCount(controller),
          "written FLL reads back to other inputs, outputs or rules\n" + fll);
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
  Require(OutputsAt(*controller, mode) == OutputsAt(again, mode),
          "the written text evaluates to other outputs");
  RequireFllReadsBack(*controller);
}

}  // namespace
}  // namespace tapwise::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return tapwise::fuzzing::RunModeAndText(data, size, tapwise::fuzzing::ReadText);
}
