#pragma once

#include <string>

#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

class IFuzzySet;
class IFuzzyVariable;

/// What the interfaced sets and variables need from a parser of the definition language:
/// building sets and variables from text, evaluating expressions over a variable's terms and
/// turning sets and variables back into text.
///
/// A variable hands its parser to every term; `GetText` of a set or variable asks the parser
/// when one is set. A parser component manages its own lifetime (its `AddRef`/`Release` do
/// not free it); the links to it are cleared when it is destroyed.
class IFuzzyParser : public virtual IInterface {
 public:
  /// Evaluates `expression` in the context of `variable` to a set, hands it back in
  /// `fuzzy_set` and returns its crisp value (mean of maxima or centre of gravity, as the
  /// linked component's defuzzification method says).
  virtual TFzyFloat EvaluateValue(const IntfPtr<IFuzzyVariable>& variable,
                                  const std::string& expression, IntfPtr<IFuzzySet>& fuzzy_set) = 0;
  /// Evaluates `expression` ("very cold or warm") over the terms of `variable`.
  virtual IntfPtr<IFuzzySet> EvaluateExpression(const IntfPtr<IFuzzyVariable>& variable,
                                                const std::string& expression) = 0;
  /// Builds a term of `variable` from its definition text.
  virtual IntfPtr<IFuzzySet> ParseFuzzySet(const IntfPtr<IFuzzyVariable>& variable,
                                           const std::string& text) = 0;
  /// Builds a variable from its definition text ("(deffuzzy outTemp ...)").
  virtual IntfPtr<IFuzzyVariable> ParseFuzzyVariable(const std::string& text) = 0;
  /// The text of a term: its complete definition when `full_form` is true, else its name.
  virtual std::string FuzzySetToString(const IFuzzySet& fuzzy_set, bool full_form) = 0;
  /// The complete definition text of a variable with its terms.
  virtual std::string FuzzyVariableToString(const IFuzzyVariable& variable) = 0;

 protected:
  IFuzzyParser() = default;
  IFuzzyParser(const IFuzzyParser&) = default;
  IFuzzyParser& operator=(const IFuzzyParser&) = default;
  ~IFuzzyParser() override = default;
};

}  // namespace tapwise
