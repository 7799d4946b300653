#include "ControllerEvaluation.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <utility>

#include "ControllerModel.h"
#include "ControllerParser.h"
#include "Defuzzification.h"
#include "tapwise/foundation/Collection.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyVariable.h"
#include "tapwise/fuzzy/SpreadReading.h"

namespace tapwise::detail {

namespace {

THeldFuzzySet CopyOf(const TFuzzySet& source) {
  THeldFuzzySet copy(new TFuzzySet());
  copy->Assign(source);
  return copy;
}

// The hedges and the term of a test as the language writes them: what tells tests apart.
std::string HedgedTerm(const TTermTest& test) {
  std::string expression;
  for (const std::string& hedge : test.Hedges)
    expression += hedge + ' ';
  return expression + test.Term;
}

// The term a test or consequent names with its hedges applied, over the variable's universe.
THeldFuzzySet PreparedTerm(TControllerModel& model, const std::string& variable_name,
                           const TTermTest& test) {
  TFuzzyVariable& variable = *model.FindVariable(variable_name);
  if (test.Hedges.empty())
    return CopyOf(*variable.GetItems().GetSet(IndexOfName(variable.GetItems(), test.Term)));
  return CopyOf(*model.GetParser().EvaluateExpression(variable, HedgedTerm(test)));
}

// A set holding `points`, which are clean already.
TFuzzySetResult SetOf(const TCleanPoints& points) {
  THeldFuzzySet set(new TFuzzySet());
  set->BeginUpdate();
  for (const geometry::TPoint& point : points.GetPoints())
    set->AddPoint(point.X, point.Y);
  set->EndUpdate();
  return TFuzzySetResult::Held(std::move(set));
}

TFuzzyOperation AggregationFamily(TAggregation aggregation) {
  switch (aggregation) {
    case TAggregation::BoundedSum:
      return foBoundedSum;
    case TAggregation::ProbabilisticSum:
      return foProduct;
    case TAggregation::Sum:
      return foSum;
    default:
      return foZadeh;
  }
}

bool IsOnlyAnd(const std::vector<TAntecedent::TStep>& steps) {
  return std::ranges::all_of(steps, [](TAntecedent::TStep step) {
    return step == TAntecedent::TStep::Test || step == TAntecedent::TStep::And;
  });
}

// Whether one of the `count` degrees the slots name is 0.
bool AnyZero(const TFzyFloat* degrees, const int* slots, uint32_t count) {
  for (const int* end = slots + count; slots != end; ++slots)
    if (degrees[*slots] == 0) return true;
  return false;
}

}  // namespace

TControllerEvaluation::TControllerEvaluation(TControllerModel& model) {
  for (const TControllerInput& input : model.GetInputs()) {
    const TFuzzyVariable& variable = *model.FindVariable(input.Name);
    TInput& prepared = FInputs.emplace_back();
    prepared.Spread = input.Spread;
    prepared.Minimum = variable.GetMinimum();
    prepared.Maximum = variable.GetMaximum();
    if (input.Spread > 0) prepared.Reading.reset(new TFuzzySet());
    FReadings.push_back(prepared.Reading.get());
  }
  FValues.resize(FInputs.size());
  const std::vector<TControllerOutput>& outputs = model.GetOutputs();
  FOutputs.resize(outputs.size());
  for (size_t i = 0; i < outputs.size(); ++i) {
    TOutput& prepared = FOutputs[i];
    prepared.Name = outputs[i].Name;
    prepared.Default = outputs[i].Default;
    if (!outputs[i].IsSugeno) {
      const TFuzzyVariable& variable = *model.FindVariable(outputs[i].Variable);
      prepared.Minimum = variable.GetMinimum();
      prepared.Maximum = variable.GetMaximum();
    }
    for (const tapwise::TSugenoTerm& term : outputs[i].SugenoTerms) {
      TSugenoTerm& compiled = prepared.SugenoTerms.emplace_back();
      compiled.Constant = term.Constant;
      for (const TSugenoCoefficient& coefficient : term.Coefficients)
        compiled.Coefficients.emplace_back(model.FindInput(coefficient.Input), coefficient.Factor);
    }
  }
  // Rules conclude few distinct terms: each is copied once.
  std::map<std::pair<int, std::string>, const TConclusion*> conclusions;
  const auto conclusion = [&](int output, const TTermTest& consequent) {
    auto [found, added] = conclusions.try_emplace({output, HedgedTerm(consequent)}, nullptr);
    if (added) {
      auto& term = *FConclusions.emplace_back(std::make_unique<TConclusion>());
      term.Term = PreparedTerm(model, outputs[static_cast<size_t>(output)].Variable, consequent);
      for (int i = 0; i < term.Term->GetCount(); ++i)
        term.Points.push_back({term.Term->GetX(i), term.Term->GetY(i)});
      found->second = &term;
    }
    return found->second;
  };
  FBlocks.reserve(model.GetBlocks().size());
  for (const TRuleBlock& block : model.GetBlocks()) {
    TBlock& prepared = FBlocks.emplace_back();
    prepared.And = DegreeAnd(block.Settings.And);
    prepared.Or = DegreeOr(block.Settings.Or);
    // The minimum and the product of degrees (never negative) are 0 when one of them is.
    const bool and_stops_at_zero = block.Settings.And == foZadeh || block.Settings.And == foProduct;
    prepared.Settings = block.Settings;
    for (const TFuzzyRule& rule : block.Rules) {
      TRule& compiled = prepared.Rules.emplace_back();
      compiled.Steps = rule.If.GetSteps();
      compiled.StopsAtZero = and_stops_at_zero && IsOnlyAnd(compiled.Steps);
      compiled.Weight = rule.Weight;
      compiled.FirstSlot = static_cast<uint32_t>(prepared.Slots.size());
      for (const TTermTest& test : rule.If.GetTests()) {
        const int input = model.FindInput(test.Variable);
        prepared.Slots.push_back(FDegrees.Add(
            input, HedgedTerm(test), [&] { return PreparedTerm(model, test.Variable, test); }));
      }
      compiled.SlotCount = static_cast<uint32_t>(prepared.Slots.size()) - compiled.FirstSlot;
      for (const TTermTest& consequent : rule.Then) {
        const int index = model.FindOutput(consequent.Variable);
        const TControllerOutput& output = outputs[static_cast<size_t>(index)];
        FOutputs[static_cast<size_t>(index)].Block = &prepared;
        TConsequent& then = compiled.Then.emplace_back();
        then.Output = index;
        if (output.IsSugeno) {
          for (size_t t = 0; t < output.SugenoTerms.size(); ++t)
            if (output.SugenoTerms[t].Name == consequent.Term)
              then.SugenoTerm = static_cast<int>(t);
        } else {
          then.Term = conclusion(index, consequent);
        }
      }
      FActivations.push_back({block.Name, rule.Name, 0, false});
    }
  }
}

TControllerEvaluation::~TControllerEvaluation() = default;

void TControllerEvaluation::Run(const std::vector<TFzyFloat>& inputs) {
  for (size_t i = 0; i < FInputs.size(); ++i) {
    TInput& input = FInputs[i];
    FValues[i] = inputs[i];
    if (input.Reading)
      SetSpreadReading(*input.Reading, std::clamp(inputs[i], input.Minimum, input.Maximum),
                       input.Spread, input.Minimum, input.Maximum);
  }
  FDegrees.Measure(FValues, FReadings);
  for (TOutput& output : FOutputs) {
    output.Firings.clear();
    output.Aggregate.Clear();
    output.WeightedSum = 0;
    output.WeightSum = 0;
    output.TermWeights.assign(output.SugenoTerms.size(), 0);
    output.Fired = false;
    output.Explained = false;
  }
  // Read through locals: the stores into the activations could alias the members.
  const TFzyFloat* degrees = FDegrees.GetDegrees();
  size_t activation = 0;
  for (const TBlock& block : FBlocks) {
    const int* slots = block.Slots.data();
    const TFzyFloat threshold = block.Settings.Threshold;
    for (const TRule& rule : block.Rules) {
      // Most rules of a large block test a term that is 0 here and cost one look.
      const TFzyFloat strength =
          rule.StopsAtZero && AnyZero(degrees, slots + rule.FirstSlot, rule.SlotCount)
              ? 0
              : Strength(block, rule) * rule.Weight;
      // Written so that a strength that compares unordered does not fire.
      const bool fired = strength > 0 && strength >= threshold;
      TRuleActivation& result = FActivations[activation++];
      result.Strength = strength;
      result.Fired = fired;
      if (!fired) continue;
      for (const TConsequent& consequent : rule.Then)
        Conclude(block, consequent, strength, activation - 1);
    }
  }
  for (TOutput& output : FOutputs)
    Finish(output);
}

TFzyFloat TControllerEvaluation::Strength(const TBlock& block, const TRule& rule) {
  const int* slots = block.Slots.data() + rule.FirstSlot;
  FStack.clear();
  size_t test = 0;
  for (TAntecedent::TStep step : rule.Steps) {
    switch (step) {
      case TAntecedent::TStep::Test:
        FStack.push_back(FDegrees[slots[test++]]);
        break;
      case TAntecedent::TStep::Not:
        FStack.back() = 1 - FStack.back();
        break;
      default: {
        const TFzyFloat right = FStack.back();
        FStack.pop_back();
        const TDegreeOperation combine = step == TAntecedent::TStep::And ? block.And : block.Or;
        FStack.back() = combine(FStack.back(), right);
        break;
      }
    }
  }
  return FStack.back();
}

void TControllerEvaluation::Conclude(const TBlock& block, const TConsequent& consequent,
                                     TFzyFloat strength, size_t activation) {
  TOutput& output = FOutputs[static_cast<size_t>(consequent.Output)];
  output.Fired = true;
  if (consequent.SugenoTerm >= 0) {
    const auto term = static_cast<size_t>(consequent.SugenoTerm);
    if (const std::optional<TAggregation> combine = block.Settings.TermAggregation) {
      output.TermWeights[term] =
          DegreeOr(AggregationFamily(*combine))(output.TermWeights[term], strength);
      return;
    }
    output.WeightedSum += strength * SugenoValue(output.SugenoTerms[term]);
    output.WeightSum += strength;
    return;
  }
  const TImplication implication = block.Settings.Implication;
  if (implication == TImplication::Clip)
    Clip(consequent.Term->Points, strength, FImplied);
  else
    Correlate(consequent.Term->Points, implication == TImplication::Scale, strength, FImplied);
  output.Aggregate.Add(FImplied, block.Settings.Aggregation);
  output.Firings.push_back({consequent.Term, activation});
}

TFzyFloat TControllerEvaluation::SugenoValue(const TSugenoTerm& term) const {
  TFzyFloat value = term.Constant;
  for (const auto& [input, factor] : term.Coefficients)
    value += factor * FValues[static_cast<size_t>(input)];
  return value;
}

void TControllerEvaluation::Finish(TOutput& output) {
  output.Value = output.Default;
  if (!output.Fired || output.Block == nullptr) return;
  const TDefuzzification method = output.Block->Settings.Defuzzification;
  if (output.Block->Settings.TermAggregation) {
    for (size_t term = 0; term < output.SugenoTerms.size(); ++term) {
      const TFzyFloat weight = output.TermWeights[term];
      if (weight == 0) continue;
      output.WeightedSum += weight * SugenoValue(output.SugenoTerms[term]);
      output.WeightSum += weight;
    }
  }
  if (method == TDefuzzification::WeightedSum) {
    output.Value = output.WeightedSum;
  } else if (method == TDefuzzification::WeightedAverage) {
    output.Value = output.WeightedSum / output.WeightSum;
  } else if (output.Aggregate.GetPoints().MaximumY() > 0) {
    output.Value = Defuzzify(output.Aggregate.GetPoints(), output.Minimum, output.Maximum, method);
  }
  // Coefficients and strengths far beyond any real controller can overflow a sum.
  if (output.Value && !std::isfinite(*output.Value))
    throw EFzyException(Format(messages::kNonFiniteOutput, output.Name));
}

void TControllerEvaluation::Explain(const TOutput& output) const {
  if (std::exchange(output.Explained, true)) return;
  output.ImpliedSets.clear();
  output.AggregateSet = TFuzzySetResult();
  if (output.Firings.empty()) return;
  const TImplication implication = output.Block->Settings.Implication;
  for (const TFiring& firing : output.Firings) {
    const TFzyFloat strength = FActivations[firing.Activation].Strength;
    if (implication == TImplication::Clip) {
      TCleanPoints clipped;
      Clip(firing.Term->Points, strength, clipped);
      output.ImpliedSets.push_back(SetOf(clipped));
    } else {
      // As the term's own operation makes it, named after the term and the strength.
      THeldFuzzySet implied = CopyOf(*firing.Term->Term);
      implied->Correlate(implication == TImplication::Scale, strength);
      output.ImpliedSets.push_back(TFuzzySetResult::Held(std::move(implied)));
    }
  }
  if (output.Firings.size() > 1) output.AggregateSet = SetOf(output.Aggregate.GetPoints());
}

const TFuzzySet* TControllerEvaluation::GetAggregate(int index) const {
  const TOutput& output = FOutputs[static_cast<size_t>(index)];
  Explain(output);
  // One implied set is its own aggregate.
  if (output.ImpliedSets.size() == 1) return output.ImpliedSets.front().Get();
  return output.AggregateSet.Get();
}

std::vector<TControllerEvaluation::TImplied> TControllerEvaluation::GetImplied(int index) const {
  const TOutput& output = FOutputs[static_cast<size_t>(index)];
  Explain(output);
  std::vector<TImplied> implied;
  for (size_t i = 0; i < output.Firings.size(); ++i)
    implied.push_back({output.ImpliedSets[i].Get(), output.Firings[i].Activation});
  return implied;
}

}  // namespace tapwise::detail
