// Arbitrary bytes as definition text, through the parser's entry points as the first byte
// chooses, into the interfaced component (`TIFuzzyLogic`) or, with bit 3 of that byte, the
// collection one (`TFuzzyLogic`). A parse must end, fail only with the library's exceptions,
// leave sound variables behind, write them as text that parses again, and leave nothing
// alive once the component and the parser are gone.

#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "ParserHarness.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/FuzzyLogic.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzyVariable.h"

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

/// The collection component and its parser, linked both ways.
struct LinkedCollectionParser {
  LinkedCollectionParser() {
    parser.SetFuzzyLogic(&logic);
    logic.SetParser(&parser);
  }
  TZTFuzzyLogicParser parser;
  TFuzzyLogic logic;
};

void CheckPlainVariables(const TFuzzyLogic& logic) {
  const TFuzzyVariables& variables = logic.GetFuzzyVariables();
  for (int v = 0; v < variables.GetCount(); ++v) {
    const TFuzzyVariable& variable = *variables.GetVariable(v);
    Require(std::isfinite(variable.GetMinimum()) && std::isfinite(variable.GetMaximum()),
            "a universe bound that is not finite");
    for (int t = 0; t < variable.GetItems().GetCount(); ++t)
      CheckSet(*variable.GetItems().GetSet(t));
  }
}

void ParseCollectionText(uint8_t mode, const std::string& text) {
  LinkedCollectionParser linked;
  linked.logic.SetAutoTerms((mode & 1) != 0);
  try {
    switch ((mode >> 1) & 3) {
      case 0:
        linked.parser.ParseFuzzyLogic(text);
        break;
      case 1:
        linked.logic.SetStrings(text);
        break;
      case 2:
        (void)linked.parser.ParseFuzzyVariableItem(text);
        break;
      default:
        linked.parser.ParseFuzzyLogic(kDemoDefinitions);
        (void)linked.parser.ParseFuzzySet(*linked.logic.GetVariable("outTemp"), text);
        break;
    }
  } catch (const Exception&) {
    // As for the interfaced component: what was completed stays.
  }
  CheckPlainVariables(linked.logic);
  std::string written;
  const TFuzzyVariables& variables = linked.logic.GetFuzzyVariables();
  for (int v = 0; v < variables.GetCount(); ++v)
    written += linked.parser.FuzzyVariableToString(*variables.GetVariable(v)) + "\r\n";
  LinkedCollectionParser again;
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
  return tapwise::fuzzing::RunModeAndText(data, size, [](uint8_t mode, const std::string& text) {
    if ((mode & 8) != 0) {
      tapwise::fuzzing::ParseCollectionText(mode, text);
    } else {
      tapwise::fuzzing::ParseText(mode, text);
    }
  });
}
