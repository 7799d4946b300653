#pragma once

#include <string>
#include <string_view>

#include "tapwise/control/FuzzyController.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

// What the writers of the exchange formats share.

namespace tapwise::detail {

/// The error of a writer whose format cannot hold `what` of a controller, as in "FCL cannot
/// hold input temp: a spread of 0.1".
inline EFzyException CannotHold(std::string_view format, const std::string& what) {
  return EFzyException(std::string(format) + " cannot hold " + what);
}

/// The rule block whose rules conclude `output`, or null when none does. The formats keep
/// on each output what a block of the library keeps for all its outputs.
inline const TRuleBlock* DrivingBlock(const TFuzzyController& controller, std::string_view output) {
  for (const TRuleBlock& block : controller.GetRuleBlocks())
    for (const TFuzzyRule& rule : block.Rules)
      for (const TTermTest& consequent : rule.Then)
        if (consequent.Variable == output) return &block;
  return nullptr;
}

}  // namespace tapwise::detail
