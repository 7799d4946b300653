#include "ControllerEvaluation.h"

#include <algorithm>
#include <cmath>

#include "ControllerModel.h"
#include "ControllerParser.h"
#include "Defuzzification.h"
#include "ExactAggregation.h"
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

// The term a test or consequent names with its hedges applied, over the variable's universe.
THeldFuzzySet PreparedTerm(TControllerModel& model, const std::string& variable_name,
                           const TTermTest& test) {
  TFuzzyVariable& variable = *model.FindVariable(variable_name);
  if (test.Hedges.empty())
    return CopyOf(*variable.GetItems().GetSet(IndexOfName(variable.GetItems(), test.Term)));
  std::string expression;
  for (const std::string& hedge : test.Hedges)
    expression += hedge + ' ';
  expression += test.Term;
  const TFuzzySetResult hedged = model.GetParser().EvaluateExpression(variable, expression);
  return CopyOf(*hedged);
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

}  // namespace

TControllerEvaluation::TControllerEvaluation(TControllerModel& model) {
  for (const TControllerInput& input : model.GetInputs()) {
    const TFuzzyVariable& variable = *model.FindVariable(input.Name);
    TInput& prepared = FInputs.emplace_back();
    prepared.Spread = input.Spread;
    prepared.Minimum = variable.GetMinimum();
    prepared.Maximum = variable.GetMaximum();
    if (input.Spread > 0) prepared.Reading.reset(new TFuzzySet());
  }
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
  FBlocks.reserve(model.GetBlocks().size());
  for (const TRuleBlock& block : model.GetBlocks()) {
    TBlock& prepared = FBlocks.emplace_back();
    prepared.And = DegreeAnd(block.Settings.And);
    prepared.Or = DegreeOr(block.Settings.Or);
    prepared.Settings = block.Settings;
    for (const TFuzzyRule& rule : block.Rules) {
      TRule& compiled = prepared.Rules.emplace_back();
      compiled.Steps = rule.If.GetSteps();
      compiled.Weight = rule.Weight;
      for (const TTermTest& test : rule.If.GetTests())
        compiled.Tests.push_back(
            {model.FindInput(test.Variable), PreparedTerm(model, test.Variable, test)});
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
          then.Term = PreparedTerm(model, output.Variable, consequent);
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
    input.Value = inputs[i];
    if (input.Reading)
      SetSpreadReading(*input.Reading, std::clamp(input.Value, input.Minimum, input.Maximum),
                       input.Spread, input.Minimum, input.Maximum);
  }
  for (TOutput& output : FOutputs) {
    output.Implied.clear();
    output.Aggregate = TFuzzySetResult();
    output.WeightedSum = 0;
    output.WeightSum = 0;
    output.TermWeights.assign(output.SugenoTerms.size(), 0);
    output.Fired = false;
  }
  size_t activation = 0;
  for (const TBlock& block : FBlocks) {
    for (const TRule& rule : block.Rules) {
      const TFzyFloat strength = Strength(block, rule) * rule.Weight;
      // Written so that a strength that compares unordered does not fire.
      const bool fired = strength > 0 && strength >= block.Settings.Threshold;
      FActivations[activation].Strength = strength;
      FActivations[activation].Fired = fired;
      ++activation;
      if (!fired) continue;
      for (const TConsequent& consequent : rule.Then)
        Conclude(block, consequent, strength, activation - 1);
    }
  }
  for (TOutput& output : FOutputs)
    Finish(output);
}

TFzyFloat TControllerEvaluation::Strength(const TBlock& block, const TRule& rule) {
  FStack.clear();
  size_t test = 0;
  for (TAntecedent::TStep step : rule.Steps) {
    switch (step) {
      case TAntecedent::TStep::Test: {
        const TTest& next = rule.Tests[test++];
        const TInput& input = FInputs[static_cast<size_t>(next.Input)];
        FStack.push_back(input.Reading ? input.Reading->MatchDegree(*next.Term)
                                       : next.Term->GetMembership(input.Value));
        break;
      }
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
  TFuzzySetResult implied;
  if (block.Settings.Implication == TImplication::Clip) {
    implied = Clip(*consequent.Term, strength);
  } else {
    implied = TFuzzySetResult::Held(CopyOf(*consequent.Term));
    implied->Correlate(block.Settings.Implication == TImplication::Scale, strength);
  }
  if (!output.Implied.empty()) {
    const TFuzzySet& so_far = *output.AggregateSet();
    output.Aggregate = Aggregate(so_far, *implied, block.Settings.Aggregation);
  }
  output.Implied.push_back({std::move(implied), activation});
}

TFzyFloat TControllerEvaluation::SugenoValue(const TSugenoTerm& term) const {
  TFzyFloat value = term.Constant;
  for (const auto& [input, factor] : term.Coefficients)
    value += factor * FInputs[static_cast<size_t>(input)].Value;
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
  } else if (output.AggregateSet()->GetMaximumYValue() > 0) {
    output.Value =
        Defuzzify(output.AggregateSet()->GetValues(), output.Minimum, output.Maximum, method);
  }
  // Coefficients and strengths far beyond any real controller can overflow a sum.
  if (output.Value && !std::isfinite(*output.Value))
    throw EFzyException(Format(messages::kNonFiniteOutput, output.Name));
}

}  // namespace tapwise::detail
