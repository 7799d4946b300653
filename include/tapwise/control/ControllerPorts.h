#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

/// An input of a controller: a variable whose terms the rules test. A crisp value x is
/// `Spread` 0: a term's degree is its membership at x. With a positive `Spread` the value
/// becomes a triangle of that half-width around x, clipped to the variable's range (at a
/// bound, the one-sided spike of the full half-width), and a term's degree is the height of
/// its intersection with that triangle.
struct TControllerInput {
  std::string Name;
  TFzyFloat Spread = 0;

  bool operator==(const TControllerInput&) const = default;
};

/// `Factor` times the crisp value of input `Input`: one term of a linear Sugeno consequent.
struct TSugenoCoefficient {
  std::string Input;
  TFzyFloat Factor = 0;

  bool operator==(const TSugenoCoefficient&) const = default;
};

/// A term of a Sugeno output: the constant plus the sum of the coefficients times their
/// inputs' values (order zero without coefficients, order one with).
struct TSugenoTerm {
  std::string Name;
  TFzyFloat Constant = 0;
  std::vector<TSugenoCoefficient> Coefficients;

  bool operator==(const TSugenoTerm&) const = default;
};

/// An output of a controller. A Mamdani output takes its terms from the fuzzy variable
/// `Variable` (its own name unless said otherwise, so that two outputs may share one
/// variable's terms); a Sugeno output has terms of its own (`SugenoTerms`). When no rule
/// for it fires, its value is `Default`; without one it has no value.
struct TControllerOutput {
  std::string Name;
  std::string Variable;
  std::optional<TFzyFloat> Default;
  bool IsSugeno = false;
  std::vector<TSugenoTerm> SugenoTerms;

  bool operator==(const TControllerOutput&) const = default;
};

}  // namespace tapwise
