// Rule firing of the collection-based variable: implication and aggregation follow the
// methods of the variable's component.

#include <memory>

#include "RuleStrength.h"
#include "tapwise/fuzzy/FuzzyVariable.h"

namespace tapwise {

namespace {

// A copy of `source` of the same class: a further item of its term collection when it has
// one, else a set the returned handle owns.
TFuzzySetResult CopyOf(const TFuzzySet& source) {
  if (source.GetCollection() != nullptr) return TFuzzySetResult::Borrowed(*source.Clone());
  auto copy = std::make_unique<TFuzzySet>();
  copy->Assign(source);
  return TFuzzySetResult::Held(THeldFuzzySet(copy.release()));
}

// Frees a copy made by CopyOf.
void Discard(TFuzzySetResult& copy) {
  if (!copy.Owns() && copy) {
    TGCollection* collection = copy->GetCollection();
    collection->Delete(copy->GetIndex());
  }
  copy = TFuzzySetResult();
}

}  // namespace

TFzyFloat TFuzzyVariable::RuleStrength(std::span<const TFuzzySet* const> inputs,
                                       std::span<const TFuzzySet* const> antecedents) const {
  return RuleStrengthOf(inputs, antecedents);
}

TFuzzySetResult TFuzzyVariable::ApplyRule(const TFuzzySet& consequent, const TFuzzySet* accumulated,
                                          TFzyFloat strength) const {
  if (strength < FThreshold) return {};
  const TFuzzySetSettings settings = GetSettings();
  TFuzzySetResult copy = CopyOf(consequent);
  try {
    copy->Correlate(settings.CorrelationMethod == fcmProduct, strength);
    if (accumulated == nullptr) return copy;
    TFuzzySetResult result = accumulated->Aggregate(*copy, settings.InferenceMethod, false);
    Discard(copy);
    return result;
  } catch (...) {
    Discard(copy);
    throw;
  }
}

TFuzzySetResult TFuzzyVariable::FireRule(std::span<const TFuzzySet* const> inputs,
                                         std::span<const TFuzzySet* const> antecedents,
                                         const TFuzzySet& consequent,
                                         const TFuzzySet* accumulated) const {
  return ApplyRule(consequent, accumulated, RuleStrength(inputs, antecedents));
}

TFuzzySetResult TFuzzyVariable::FireSimpleRule(const TFuzzySet& input, const TFuzzySet& consequent,
                                               const TFuzzySet& antecedent,
                                               const TFuzzySet* accumulated) const {
  return ApplyRule(consequent, accumulated, input.MatchDegree(antecedent));
}

}  // namespace tapwise
