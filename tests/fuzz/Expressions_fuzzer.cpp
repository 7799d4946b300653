// Arbitrary expression text evaluated over the demonstration's variables, with global
// variables that the input defines too. The input is the global-variable lines ("name=text",
// which "?name" operands read), a byte 1, then the expression; the first byte picks the
// variable. Evaluation must end, fail only with the library's exceptions, give a sound set
// and a finite value, and leave nothing alive.

#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "ParserHarness.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Interface.h"

namespace tapwise::fuzzing {
namespace {

void Evaluate(uint8_t mode, const std::string& input) {
  static constexpr const char* kVariables[] = {"outTemp", "outFlow", "change_vc"};
  const size_t split = input.find('\x01');
  const std::string globals = split == std::string::npos ? std::string() : input.substr(0, split);
  const std::string expression = split == std::string::npos ? input : input.substr(split + 1);

  LinkedParser linked;
  linked.logic.SetAutoTerms((mode & 4) != 0);
  linked.logic.SetDefuzzificationMethod((mode & 8) != 0 ? dmMeanOfMaxima : dmCenterOfGravity);
  linked.parser.ParseFuzzyLogic(kDemoDefinitions);
  linked.logic.GetVariables().SetText(globals);
  const IntfPtr<IFuzzyVariable> variable = linked.logic.GetVariable(kVariables[mode % 3]);
  const int terms = variable->GetFuzzySetCount();
  try {
    IntfPtr<IFuzzySet> result;
    const double value = linked.parser.EvaluateValue(variable, expression, result);
    Require(std::isfinite(value), "the value of an expression is not finite");
    if (result) CheckSet(*result);
  } catch (const Exception&) {
    // A parse error or a set operation's own error.
  }
  Require(variable->GetFuzzySetCount() == terms, "evaluating an expression changed the terms");
  CheckVariables(linked.logic);
}

}  // namespace
}  // namespace tapwise::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return tapwise::fuzzing::RunModeAndText(data, size, tapwise::fuzzing::Evaluate);
}
