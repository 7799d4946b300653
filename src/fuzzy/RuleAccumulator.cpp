#include "tapwise/fuzzy/RuleAccumulator.h"

#include <string>
#include <string_view>
#include <utility>

#include "CombineWalk.h"
#include "tapwise/fuzzy/DegreeOperations.h"
#include "tapwise/fuzzy/FuzzyConsts.h"
#include "tapwise/fuzzy/FuzzySetValues.h"
#include "tapwise/fuzzy/InterfacedFuzzySet.h"

namespace tapwise {

namespace {

constexpr std::string_view kAggregateName = "aggregate";

const PointCombiner& ZadehOr() {
  static const PointCombiner kOr = Combiner(DegreeOr(foZadeh), &OrOperationNames[foZadeh]);
  return kOr;
}

TFuzzySetValues& PointsOf(const IntfPtr<IFuzzySet>& set) {
  return set->AsFuzzySet().GetValues();
}

}  // namespace

void TRuleAccumulator::Restart(IntfPtr<IFuzzySet> seed) {
  FAggregate = std::move(seed);
  FApplied = 0;
}

IntfPtr<IFuzzySet> TRuleAccumulator::Apply(const IFuzzySet& consequent, TFzyFloat strength) {
  if (FApplied == FCapped.size()) FCapped.emplace_back();
  IntfPtr<IFuzzySet>& capped = FCapped[FApplied];
  MakeWritable(capped, consequent, consequent.GetName());
  PointsOf(capped).AssignCappedPoints(consequent.AsFuzzySet().GetValues(), strength);
  ++FApplied;
  if (!FAggregate) {
    FAggregate = capped;
    return capped;
  }
  IntfPtr<IFuzzySet>& target = FUnions[FAggregate.Get() == FUnions[0].Get() ? 1 : 0];
  MakeWritable(target, *FAggregate, kAggregateName);
  CombineInto(PointsOf(target), PointsOf(FAggregate), PointsOf(capped), ZadehOr());
  FAggregate = target;
  return capped;
}

void TRuleAccumulator::MakeWritable(IntfPtr<IFuzzySet>& set, const IFuzzySet& model,
                                    std::string_view name) {
  // Every working set is made below, so it is a counted TIFuzzySet; one reference is this
  // accumulator's own.
  if (set && static_cast<const TIFuzzySet&>(*set).RefCount() == 1) {
    if (set->GetVariable().Get() != model.GetVariable().Get())
      set->SetVariable(model.GetVariable());
    if (set->GetName() != name) set->SetName(std::string(name));
    return;
  }
  const auto* typed = dynamic_cast<const TIFuzzySet*>(&model);
  set = typed != nullptr ? typed->CreateSet(model.GetVariable(), std::string(name))
                         : TIFuzzySet::Create(model.GetVariable(), std::string(name));
}

}  // namespace tapwise
