#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ExactAggregation.h"
#include "TermDegrees.h"
#include "tapwise/control/FuzzyController.h"
#include "tapwise/fuzzy/DegreeOperations.h"
#include "tapwise/fuzzy/FuzzySet.h"

namespace tapwise::detail {

class TControllerModel;

/// A controller's model made ready to run: names resolved to indexes, every term a rule
/// tests or concludes (with its hedges applied) copied out of its variable, so that a run
/// reads nothing from the variables and a later change of them cannot reach it. It is made
/// again whenever the model changes.
///
/// A run works on plain point lists whose storage it keeps, so that once they have grown it
/// allocates nothing. The sets that explain a run (each fired rule's implied consequent and
/// each output's aggregate) are made from them only when asked for.
class TControllerEvaluation {
 public:
  explicit TControllerEvaluation(TControllerModel& model);
  ~TControllerEvaluation();

  /// Fires every rule on `inputs` (one crisp value per input of the model, in order).
  void Run(const std::vector<TFzyFloat>& inputs);

  const std::vector<TRuleActivation>& GetActivations() const { return FActivations; }
  /// The value of output `index`, none when nothing fired and it has no default.
  std::optional<TFzyFloat> GetValue(int index) const { return FOutputs[index].Value; }
  const TFuzzySet* GetAggregate(int index) const;
  /// The implied consequent of each fired rule for output `index`, in firing order, with the
  /// index of the rule's activation.
  struct TImplied {
    const TFuzzySet* Set;
    size_t Activation;
  };
  std::vector<TImplied> GetImplied(int index) const;

 private:
  // A term a rule concludes, with its hedges applied.
  struct TConclusion {
    THeldFuzzySet Term;
    std::vector<geometry::TPoint> Points;
  };
  struct TConsequent {
    int Output;
    const TConclusion* Term = nullptr;  // null for a Sugeno term
    int SugenoTerm = -1;
  };
  struct TRule {
    std::vector<TAntecedent::TStep> Steps;
    // Whether a degree of 0 makes the strength 0 (the tests joined by AND alone, an AND that
    // is 0 with one degree of 0), which spares the evaluation.
    bool StopsAtZero = false;
    uint32_t FirstSlot = 0;  // its tests' degree slots, in order, in the
    uint32_t SlotCount = 0;  // block's list
    std::vector<TConsequent> Then;
    TFzyFloat Weight;
  };
  struct TBlock {
    TDegreeOperation And;
    TDegreeOperation Or;
    TInferenceSettings Settings;
    std::vector<TRule> Rules;
    // The rules' degree slots, one stretch per rule, so that a run reads them in one sweep.
    std::vector<int> Slots;
  };
  struct TInput {
    TFzyFloat Spread;
    TFzyFloat Minimum;
    TFzyFloat Maximum;
    THeldFuzzySet Reading;  // the spread value, for an input with a spread
  };
  struct TSugenoTerm {
    TFzyFloat Constant;
    std::vector<std::pair<int, TFzyFloat>> Coefficients;  // input index, factor
  };
  struct TFiring {
    const TConclusion* Term;
    size_t Activation;
  };
  struct TOutput {
    TFzyFloat Minimum = 0;
    TFzyFloat Maximum = 0;
    std::string Name;
    std::optional<TFzyFloat> Default;
    const TBlock* Block = nullptr;
    std::vector<TSugenoTerm> SugenoTerms;
    // The state of the run.
    std::vector<TFiring> Firings;
    TRunningAggregate Aggregate;
    TFzyFloat WeightedSum = 0;
    TFzyFloat WeightSum = 0;
    // With a term aggregation: each Sugeno term's combined weight (0 until a rule fires it).
    std::vector<TFzyFloat> TermWeights;
    bool Fired = false;
    std::optional<TFzyFloat> Value;
    // The sets explaining the run, made when first asked for.
    mutable std::vector<TFuzzySetResult> ImpliedSets;
    mutable TFuzzySetResult AggregateSet;
    mutable bool Explained = false;
  };

  TFzyFloat Strength(const TBlock& block, const TRule& rule);
  void Conclude(const TBlock& block, const TConsequent& consequent, TFzyFloat strength,
                size_t activation);
  TFzyFloat SugenoValue(const TSugenoTerm& term) const;
  void Finish(TOutput& output);
  void Explain(const TOutput& output) const;

  std::vector<TInput> FInputs;
  std::vector<TFzyFloat> FValues;
  std::vector<TFuzzySet*> FReadings;  // per input, its reading or null
  TTermDegrees FDegrees;
  std::vector<std::unique_ptr<TConclusion>> FConclusions;
  std::vector<TOutput> FOutputs;
  std::vector<TBlock> FBlocks;
  std::vector<TRuleActivation> FActivations;
  std::vector<TFzyFloat> FStack;
  TCleanPoints FImplied;
};

}  // namespace tapwise::detail
