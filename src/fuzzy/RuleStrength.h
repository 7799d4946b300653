#pragma once

#include <algorithm>
#include <span>
#include <string>

#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

// How strongly a rule fires, for either variable flavour (`SetRef` is a plain set's pointer
// or a counted set's handle): the minimum of the match degrees of the pairs, 1 without
// pairs. Every pair is checked before any degree is taken, so that a rule that cannot fire
// raises the same error wherever its bad pair is.
template <class SetRef>
TFzyFloat RuleStrengthOf(std::span<const SetRef> inputs, std::span<const SetRef> antecedents) {
  if (inputs.size() != antecedents.size()) {
    throw EFzyException(Format(messages::kRuleArgumentCount, static_cast<int>(inputs.size()),
                               static_cast<int>(antecedents.size())));
  }
  for (size_t i = 0; i < inputs.size(); ++i) {
    if (!inputs[i]) {
      throw EFzyException(
          Format(messages::kNilArgument, "RuleStrength", "Inputs[" + std::to_string(i) + "]"));
    }
    if (!antecedents[i]) {
      throw EFzyException(
          Format(messages::kNilArgument, "RuleStrength", "Antecedents[" + std::to_string(i) + "]"));
    }
  }
  TFzyFloat strength = 1.0;
  // Degrees are never negative, so a strength of 0 is final.
  for (size_t i = 0; i < inputs.size() && strength > 0; ++i) {
    strength = std::min(strength, inputs[i]->MatchDegree(*antecedents[i]));
  }
  return strength;
}

}  // namespace tapwise
