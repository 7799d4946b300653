// Arbitrary bytes as definition text, through the parser's entry points as the first byte
// chooses. A parse must end, fail only with the library's exceptions, leave sound variables
// behind, write them as text that parses again, and leave nothing alive once the component
// and the parser are gone.

#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "ParserHarness.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Interface.h"

namespace tapwise::fuzzing {
namespace {

void ParseText(uint8_t mode, const std::string& text) {
  LinkedParser linked;
  linked.logic.SetAutoTerms((mode & 1) != 0);
  try {
    switch ((mode >> 1) & 3) {
      case 0:
        linked.parser.ParseFuzzyLogic(text);
        break;
      case 1:
        linked.logic.SetStrings(text);  // the component parses its own text
        break;
      case 2:
        (void)linked.parser.ParseFuzzyVariable(text);
        break;
      default:
        linked.parser.ParseFuzzyLogic(kDemoDefinitions);
        (void)linked.parser.ParseFuzzySet(linked.logic.GetVariable("outTemp"), text);
        break;
    }
  } catch (const Exception&) {
    // A parse error (or a set operation's own error); what was completed stays.
  }
  CheckVariables(linked.logic);
  // What the writer makes of the variables reads back.
  std::string written;
  for (int v = 0; v < linked.logic.GetVariableCount(); ++v)
    written += linked.parser.FuzzyVariableToString(*linked.logic.GetVariableAt(v)) + "\r\n";
  LinkedParser again;
  try {
    again.parser.ParseFuzzyLogic(written);
  } catch (const Exception& e) {
    Fail(std::string("written text does not parse again: ") + e.what() + "\n" + written);
  }
  Require(again.logic.GetVariableCount() == linked.logic.GetVariableCount(),
          "written text gives another number of variables");
}

}  // namespace
}  // namespace tapwise::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tapwise;
  if (size == 0) return 0;
  const int64_t alive = LiveObjects::Count();
  fuzzing::ParseText(data[0], std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  fuzzing::Require(LiveObjects::Count() == alive, "objects left alive after teardown");
  return 0;
}
