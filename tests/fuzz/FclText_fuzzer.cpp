// Arbitrary bytes as FCL text. A read must end, fail only with the library's exceptions and
// leave nothing alive; a controller that reads must write, and its text must read back to a
// controller with the same outputs at inputs the mode byte picks, every output finite or
// absent.

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
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise::fuzzing {
namespace {

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
    Require(OutputsAt(*read, static_cast<uint8_t>(mode + round)) ==
                OutputsAt(*again, static_cast<uint8_t>(mode + round)),
            "outputs differ after a round trip\n" + written);
}

}  // namespace
}  // namespace tapwise::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return tapwise::fuzzing::RunModeAndText(data, size, tapwise::fuzzing::ReadText);
}
