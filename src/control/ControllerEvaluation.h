#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tapwise/control/FuzzyController.h"
#include "tapwise/fuzzy/DegreeOperations.h"
#include "tapwise/fuzzy/FuzzySet.h"

namespace tapwise::detail {

class TControllerModel;

/// A controller's model made ready to run: names resolved to indexes, every term a rule
/// tests or concludes (with its hedges applied) copied into a set of its own, so that a run
/// reads nothing from the variables and a later change of them cannot reach it. It is made
/// again whenever the model changes.
class TControllerEvaluation {
 public:
  explicit TControllerEvaluation(TControllerModel& model);
  ~TControllerEvaluation();

  /// Fires every rule on `inputs` (one crisp value per input of the model, in order).
  void Run(const std::vector<TFzyFloat>& inputs);

  const std::vector<TRuleActivation>& GetActivations() const { return FActivations; }
  /// The value of output `index`, none when nothing fired and it has no default.
  std::optional<TFzyFloat> GetValue(int index) const { return FOutputs[index].Value; }
  const TFuzzySet* GetAggregate(int index) const { return FOutputs[index].AggregateSet(); }
  /// The implied consequent of each fired rule for output `index`, in firing order, with the
  /// index of the rule's activation.
  struct TImplied {
    TFuzzySetResult Set;
    size_t Activation;
  };
  const std::vector<TImplied>& GetImplied(int index) const { return FOutputs[index].Implied; }

 private:
  struct TTest {
    int Input;
    THeldFuzzySet Term;
  };
  struct TConsequent {
    int Output;
    THeldFuzzySet Term;  // null for a Sugeno term
    int SugenoTerm = -1;
  };
  struct TRule {
    std::vector<TAntecedent::TStep> Steps;
    std::vector<TTest> Tests;
    std::vector<TConsequent> Then;
    TFzyFloat Weight;
  };
  struct TBlock {
    TDegreeOperation And;
    TDegreeOperation Or;
    TInferenceSettings Settings;
    std::vector<TRule> Rules;
  };
  struct TInput {
    TFzyFloat Spread;
    TFzyFloat Minimum;
    TFzyFloat Maximum;
    TFzyFloat Value = 0;
    THeldFuzzySet Reading;  // the spread value, for an input with a spread
  };
  struct TSugenoTerm {
    TFzyFloat Constant;
    std::vector<std::pair<int, TFzyFloat>> Coefficients;  // input index, factor
  };
  struct TOutput {
    TFzyFloat Minimum = 0;
    TFzyFloat Maximum = 0;
    std::string Name;
    std::optional<TFzyFloat> Default;
    const TBlock* Block = nullptr;
    std::vector<TSugenoTerm> SugenoTerms;
    // The state of the run.
    // Each fired rule's implied consequent; the aggregate of two or more of them.
    std::vector<TImplied> Implied;
    TFuzzySetResult Aggregate;
    TFzyFloat WeightedSum = 0;
    TFzyFloat WeightSum = 0;
    // With a term aggregation: each Sugeno term's combined weight (0 until a rule fires it).
    std::vector<TFzyFloat> TermWeights;
    bool Fired = false;
    std::optional<TFzyFloat> Value;

    // One implied set is its own aggregate.
    const TFuzzySet* AggregateSet() const {
      return Implied.size() == 1 ? Implied.front().Set.Get() : Aggregate.Get();
    }
  };

  TFzyFloat Strength(const TBlock& block, const TRule& rule);
  void Conclude(const TBlock& block, const TConsequent& consequent, TFzyFloat strength,
                size_t activation);
  TFzyFloat SugenoValue(const TSugenoTerm& term) const;
  void Finish(TOutput& output);

  std::vector<TInput> FInputs;
  std::vector<TOutput> FOutputs;
  std::vector<TBlock> FBlocks;
  std::vector<TRuleActivation> FActivations;
  std::vector<TFzyFloat> FStack;
};

}  // namespace tapwise::detail
