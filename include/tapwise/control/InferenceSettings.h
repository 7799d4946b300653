#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

/// How a rule's strength shapes its consequent (the implication).
enum class TImplication : uint8_t {
  /// Every point's degree capped at the strength, no point added: a triangle fired at 0.4
  /// becomes a lower triangle. The faucet demo's rule firing.
  Cap,
  /// The exact minimum of the consequent and the strength, with the crossing points
  /// inserted: a triangle fired at 0.4 becomes a trapezoid (textbook Mamdani).
  Clip,
  /// Every degree multiplied by the strength (Larsen).
  Scale,
};

/// How the implied consequents of one output combine.
/// `Sum` is the plain sum, which may pass 1 (MATLAB's "sum", fuzzylite's UnboundedSum).
enum class TAggregation : uint8_t { Maximum, BoundedSum, ProbabilisticSum, Sum };

/// How an output's value comes out of its rules. The first five read the aggregated set of
/// a Mamdani output; the last two combine the consequents of a Sugeno output.
enum class TDefuzzification : uint8_t {
  CenterOfGravity,
  Bisector,
  MeanOfMaxima,
  SmallestOfMaxima,
  LargestOfMaxima,
  WeightedAverage,
  WeightedSum,
};

/// True for the Sugeno combinations (weighted average and weighted sum).
constexpr bool IsSugenoDefuzzification(TDefuzzification method) {
  return method == TDefuzzification::WeightedAverage || method == TDefuzzification::WeightedSum;
}

/// The inference settings of one rule block. The defaults are textbook Mamdani: Zadeh AND
/// and OR (minimum and maximum), clip implication, maximum aggregation, centre of gravity,
/// and every rule of positive strength fires.
struct TInferenceSettings {
  TFuzzyOperation And = foZadeh;
  TFuzzyOperation Or = foZadeh;
  TImplication Implication = TImplication::Clip;
  TAggregation Aggregation = TAggregation::Maximum;
  TDefuzzification Defuzzification = TDefuzzification::CenterOfGravity;
  /// A rule fires when its strength is positive and at least this; within 0..1.
  TFzyFloat Threshold = 0;
  /// Sugeno outputs only. Without it every fired rule counts on its own in the weighted
  /// average or sum (MATLAB's way). With it, the strengths of the rules that conclude the
  /// same term are first combined by this aggregation into the term's one weight (the way of
  /// FCL's singletons under ACCU, and of fuzzylite's Takagi-Sugeno outputs).
  std::optional<TAggregation> TermAggregation;

  bool operator==(const TInferenceSettings&) const = default;
};

// ---- The words of the definition language ----
//
// Each setting is written as one word. Operation families are written by their names without
// the "fo" prefix in lower case ("zadeh", "mean", "meansqr", "meansqrt", "product",
// "boundedsum", "sum"); implications as "cap", "clip", "scale"; aggregations as "maximum",
// "boundedsum", "probabilisticsum", "sum"; defuzzifications as "centroid", "bisector",
// "meanofmaxima", "smallestofmaxima", "largestofmaxima", "weightedaverage", "weightedsum".
// A word maps to exactly one value and back.

/// The word of `value` (one of the four setting types above).
template <class Setting>
std::string_view SettingWord(Setting value);
/// The value written `word`, or none.
template <class Setting>
std::optional<Setting> FindSetting(std::string_view word);
/// Every word of the setting type, joined by ", " (for messages).
template <class Setting>
std::string SettingWordList();

}  // namespace tapwise
