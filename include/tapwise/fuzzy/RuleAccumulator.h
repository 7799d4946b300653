#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/FuzzyTypes.h"
#include "tapwise/fuzzy/IFuzzySet.h"

namespace tapwise {

/// Max-min implication and aggregation of one output over the rules of one step, in working
/// sets that the next step writes again: the points of a chain of `IFuzzyVariable::ApplyRule`
/// calls, bit for bit, without a new set, name or point per rule once the sets have grown to
/// the step's size.
///
/// `Apply` caps a copy of the consequent at the rule's strength and ORs it into the
/// aggregate. The working sets are `TIFuzzySet`s linked to the consequent's variable: a
/// capped copy bears its consequent's name, the aggregate the name "aggregate"; neither has
/// an expression. A working set is written again only while the accumulator alone holds it;
/// one that someone else still holds (the report of the last step, a window's handle) stays
/// as it is, and a fresh set takes its place.
///
///     TRuleAccumulator hot;
///     hot.Restart();  // each step
///     for (const auto& rule : fired) hot.Apply(*rule.hot, rule.strength);
///     const double change = hot.GetAggregate() ? hot.GetAggregate()->CenterOfGravity() : 0;
class TRuleAccumulator {
 public:
  /// Starts a step: no rule applied yet, and `seed` (may be null) the aggregate the first
  /// rule is ORed into. The seed itself is never written.
  void Restart(IntfPtr<IFuzzySet> seed = nullptr);
  /// Implication and aggregation of one rule that fires (the caller has checked its strength
  /// against the threshold): a copy of `consequent` with every degree capped at `strength`,
  /// ORed (pointwise maximum) into the aggregate, or the aggregate itself for the first rule
  /// without a seed. Returns the capped copy; a caller that keeps it keeps it as it is (the
  /// next step then writes a fresh set).
  IntfPtr<IFuzzySet> Apply(const IFuzzySet& consequent, TFzyFloat strength);
  /// The aggregate of the step so far: the seed (or null) before the first rule.
  const IntfPtr<IFuzzySet>& GetAggregate() const { return FAggregate; }

 private:
  // `set` made ready to be written for `model`'s variable under `name`: itself while only
  // this accumulator holds it, else a fresh set of `model`'s class.
  static void MakeWritable(IntfPtr<IFuzzySet>& set, const IFuzzySet& model, std::string_view name);

  // One capped copy per rule of a step, in the order applied.
  std::vector<IntfPtr<IFuzzySet>> FCapped;
  size_t FApplied = 0;
  // Each OR is written into the union set that the aggregate is not.
  std::array<IntfPtr<IFuzzySet>, 2> FUnions;
  IntfPtr<IFuzzySet> FAggregate;
};

}  // namespace tapwise
