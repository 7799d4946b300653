#pragma once

#include <string>

#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/IFuzzyParser.h"
#include "tapwise/fuzzy/IFuzzySet.h"
#include "tapwise/fuzzy/IFuzzyVariable.h"

namespace tapwise::testing {

/// A parser that only writes: the text forms name what they were given, so tests can see
/// that sets and variables ask their parser.
class TextOnlyParser : public TInterfacedObject, public IFuzzyParser {
 public:
  static IntfPtr<TextOnlyParser> Create() { return IntfPtr<TextOnlyParser>(new TextOnlyParser); }

  TFzyFloat EvaluateValue(const IntfPtr<IFuzzyVariable>&, const std::string&,
                          IntfPtr<IFuzzySet>& fuzzy_set) override {
    fuzzy_set = nullptr;
    return 0;
  }
  IntfPtr<IFuzzySet> EvaluateExpression(const IntfPtr<IFuzzyVariable>&,
                                        const std::string&) override {
    return nullptr;
  }
  IntfPtr<IFuzzySet> ParseFuzzySet(const IntfPtr<IFuzzyVariable>&, const std::string&) override {
    return nullptr;
  }
  IntfPtr<IFuzzyVariable> ParseFuzzyVariable(const std::string&) override { return nullptr; }
  std::string FuzzySetToString(const IFuzzySet& fuzzy_set, bool full_form) override {
    return (full_form ? "full " : "short ") + fuzzy_set.GetName();
  }
  std::string FuzzyVariableToString(const IFuzzyVariable& variable) override {
    return "(deffuzzy " + variable.GetName() + ")";
  }

 private:
  TextOnlyParser() = default;
};

}  // namespace tapwise::testing
