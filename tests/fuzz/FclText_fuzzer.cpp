// Arbitrary bytes as FCL text. A read must end, fail only with the library's exceptions and
// leave nothing alive; a controller that reads must write, and its text must read back to a
// controller with the same outputs at inputs the mode byte picks, every output finite or
// absent.

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "tapwise/control/FuzzyController.h"
#include "tapwise/formats/ControllerFormats.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise::fuzzing {
namespace {

// Each output's value, or none; none for the whole run when the run itself refuses.
std::optional<std::vector<std::optional<double>>> Evaluate(TFuzzyController& controller,
                                                           uint8_t mode, int round) {
  const auto& inputs = controller.GetInputs();
  for (size_t i = 0; i < inputs.size(); ++i)
    controller.SetInput(inputs[i].Name, ((mode >> ((i + round) % 6)) & 3) * 3.7 - 1.5);
  try {
    controller.Process();
  } catch (const Exception&) {
    return std::nullopt;
  }
  std::vector<std::optional<double>> values;
  for (const TControllerOutput& output : controller.GetOutputs()) {
    values.push_back(controller.FindOutput(output.Name));
    Require(!values.back() || std::isfinite(*values.back()),
            "output " + output.Name + " is not a finite number");
  }
  return values;
}

void ReadText(uint8_t mode, const std::string& text) {
  std::optional<TFuzzyController> read;
  try {
    read = ReadController(text, TControllerFormat::Fcl);
  } catch (const EFzyParseException&) {
    return;
  }
  std::string written;
  try {
    written = WriteController(*read, TControllerFormat::Fcl);
  } catch (const Exception& e) {
    Fail(std::string("a controller read from FCL does not write: ") + e.what());
  }
  std::optional<TFuzzyController> again;
  try {
    again = ReadController(written, TControllerFormat::Fcl);
  } catch (const Exception& e) {
    Fail(std::string("written FCL does not read again: ") + e.what() + "\n" + written);
  }
  for (int round = 0; round < 3; ++round)
    Require(Evaluate(*read, mode, round) == Evaluate(*again, mode, round),
            "outputs differ after a round trip\n" + written);
}

}  // namespace
}  // namespace tapwise::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return tapwise::fuzzing::RunModeAndText(data, size, tapwise::fuzzing::ReadText);
}
