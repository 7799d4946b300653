// Arbitrary bytes after the first as the text of a .fis file. A read must end, fail only with
// the library's exceptions, and leave a controller whose outputs are finite or absent at the
// inputs the first byte picks. When FIS can hold it, its written text must read back to a
// controller with the same outputs there, and write the same text again.

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ControllerOutputs.h"
#include "FuzzInput.h"
#include "tapwise/formats/ControllerFormats.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/fuzzy/FuzzyVariable.h"

namespace tapwise::fuzzing {
namespace {

void ReadText(uint8_t mode, const std::string& text) {
  std::optional<TFuzzyController> controller;
  try {
    controller = ReadController(text, TControllerFormat::Fis);
  } catch (const Exception&) {
    return;
  }
  const auto outputs = OutputsAt(*controller, mode);
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
  Require(OutputsAt(again, mode) == outputs, "outputs differ after a round trip\n" + written);
}

}  // namespace
}  // namespace tapwise::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return tapwise::fuzzing::RunModeAndText(data, size, tapwise::fuzzing::ReadText);
}
