#pragma once

#include <span>
#include <string>
#include <vector>

#include "FisText.h"
#include "tapwise/control/FuzzyRule.h"

// The lines of a .fis file's [Rules] section: "1 -2 0, 1 (0.5) : 1" names, per input then per
// output, the number of the term tested or concluded (0 for none, negative for NOT), then the
// weight and how the tests join (1 AND, 2 OR).

namespace tapwise::detail::fis {

/// A variable's name and its terms' names, in the file's order.
struct TVariableTerms {
  std::string Name;
  std::vector<std::string> Terms;
};

/// The variables a rule line counts through.
struct TRuleShape {
  std::span<const TVariableTerms> Inputs;
  std::span<const TVariableTerms> Outputs;
};

/// The rule named `name` that the line `entry` holds.
TFuzzyRule ReadRule(const TEntry& entry, const std::string& name, const TRuleShape& shape);

/// The line that holds `rule`; EFzyException naming the rule when a line cannot hold it.
std::string RuleLine(const TFuzzyRule& rule, const TRuleShape& shape);

}  // namespace tapwise::detail::fis
