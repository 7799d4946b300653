// Arbitrary bytes after the first as the text of a .fis file. A read must end, fail only with
// the library's exceptions, and leave a controller whose outputs are finite or absent at the
// inputs the first byte picks. When FIS can hold it, its written text must read back to a
// controller with the same outputs there, and write the same text again.

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "tapwise/formats/ControllerFormats.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/fuzzy/FuzzyVariable.h"

namespace tapwise::fuzzing {
namespace {

// The outputs at inputs inside, at and beyond each variable's range, as the mode's bits say;
// none when an evaluation refuses (a set operation's non-finite result).
std::optional<std::vector<std::optional<double>>> Outputs(TFuzzyController& controller,
                                                          uint8_t mode) {
  const auto& inputs = controller.GetInputs();
  for (size_t i = 0; i < inputs.size(); ++i) {
    const TFuzzyVariable& variable = controller.GetVariable(inputs[i].Name);
    const double share = ((mode >> (i % 7)) & 3) * 0.4 - 0.1;
    controller.SetInput(inputs[i].Name, variable.GetMinimum() + share * (variable.GetMaximum() -
                                                                         variable.GetMinimum()));
  }
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
  std::optional<TFuzzyController> controller;
  try {
    controller = ReadController(text, TControllerFormat::Fis);
  } catch (const Exception&) {
    return;
  }
  const auto outputs = Outputs(*controller, mode);
  std::string written;
  try {
    written = WriteController(*controller, TControllerFormat::Fis);
  } catch (const Exception&) {
    return;  // FIS cannot hold it (a read never gives such a controller today)
  }
  TFuzzyController again;
  try {
    again = ReadController(written, TControllerFormat::Fis);
  } catch (const Exception& e) {
    Fail(std::string("written text does not read again: ") + e.what() + "\n" + written);
  }
  Require(WriteController(again, TControllerFormat::Fis) == written,
          "written text writes otherwise after a read\n" + written);
  Require(Outputs(again, mode) == outputs, "outputs differ after a round trip\n" + written);
}

}  // namespace
}  // namespace tapwise::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return tapwise::fuzzing::RunModeAndText(data, size, tapwise::fuzzing::ReadText);
}
