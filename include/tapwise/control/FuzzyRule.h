#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tapwise/control/InferenceSettings.h"
#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

/// "variable is [hedges] term": one test of an antecedent, or one consequent (then the
/// variable is an output). Hedges are words of the library's hedge table, applied to the term
/// from the last to the first, as in "very somewhat cold".
struct TTermTest {
  TTermTest() = default;
  TTermTest(std::string variable, std::string term, std::vector<std::string> hedges = {})
      : Variable(std::move(variable)), Term(std::move(term)), Hedges(std::move(hedges)) {}

  std::string Variable;
  std::string Term;
  std::vector<std::string> Hedges;

  bool operator==(const TTermTest&) const = default;
};

/// The "if" part of a rule: term tests joined by AND, OR and NOT, kept in postfix order so
/// that evaluating it is a walk over a flat list. Build one with `Is` and the operators:
///
///     auto poor = TAntecedent::Is("quality", "poor") || TAntecedent::Is("service", "poor");
///     auto calm = !TAntecedent::Is("wind", "strong", {"very"});
class TAntecedent {
 public:
  enum class TStep : uint8_t { Test, And, Or, Not };

  /// The antecedent that is the one test "variable is [hedges] term".
  static TAntecedent Is(std::string variable, std::string term,
                        std::vector<std::string> hedges = {});

  friend TAntecedent operator&&(TAntecedent left, TAntecedent right);
  friend TAntecedent operator||(TAntecedent left, TAntecedent right);
  friend TAntecedent operator!(TAntecedent operand);

  /// The steps in postfix order; each `Test` step takes the next of `GetTests`.
  const std::vector<TStep>& GetSteps() const { return FSteps; }
  const std::vector<TTermTest>& GetTests() const { return FTests; }
  bool IsEmpty() const { return FSteps.empty(); }

  /// The words an infix text joins its tests with ("not", "and", "or" in the definition
  /// language).
  struct TConnectives {
    std::string_view Not;
    std::string_view And;
    std::string_view Or;
  };
  /// The antecedent as infix text, each test as `test_text` writes it, with the parentheses
  /// that read back to the same steps when NOT binds before AND before OR and both join from
  /// the left. Empty for an empty antecedent.
  std::string InfixText(const std::function<std::string(const TTermTest&)>& test_text,
                        const TConnectives& words) const;

  bool operator==(const TAntecedent&) const = default;

 private:
  static TAntecedent Join(TAntecedent left, TAntecedent right, TStep step);

  std::vector<TStep> FSteps;
  std::vector<TTermTest> FTests;
};

/// One rule: "if `If` then every consequent", its strength multiplied by `Weight`.
struct TFuzzyRule {
  TFuzzyRule() = default;
  TFuzzyRule(std::string name, TAntecedent condition, std::vector<TTermTest> consequents,
             TFzyFloat weight = 1)
      : Name(std::move(name)),
        If(std::move(condition)),
        Then(std::move(consequents)),
        Weight(weight) {}

  std::string Name;
  TAntecedent If;
  std::vector<TTermTest> Then;
  /// Within 0..1.
  TFzyFloat Weight = 1;

  bool operator==(const TFuzzyRule&) const = default;
};

/// Rules that share one set of inference settings. Each output is driven by one block.
struct TRuleBlock {
  std::string Name;
  TInferenceSettings Settings;
  std::vector<TFuzzyRule> Rules;

  bool operator==(const TRuleBlock&) const = default;
};

}  // namespace tapwise
