#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "tapwise/control/InferenceSettings.h"
#include "tapwise/fuzzy/MembershipShape.h"

// The words a .fis file gives its methods and membership functions, shared by the FIS
// reader and writer so that each word reads back to what was written.

namespace tapwise::detail::fis {

template <class Value>
struct TWord {
  std::string_view Word;
  Value Meaning;
};

inline constexpr TWord<TFuzzyOperation> kAndMethods[] = {{"min", foZadeh}, {"prod", foProduct}};
inline constexpr TWord<TFuzzyOperation> kOrMethods[] = {{"max", foZadeh}, {"probor", foProduct}};
inline constexpr TWord<TImplication> kImpMethods[] = {{"min", TImplication::Clip},
                                                      {"prod", TImplication::Scale}};
inline constexpr TWord<TAggregation> kAggMethods[] = {{"max", TAggregation::Maximum},
                                                      {"sum", TAggregation::Sum},
                                                      {"probor", TAggregation::ProbabilisticSum}};
inline constexpr TWord<TDefuzzification> kDefuzzMethods[] = {
    {"centroid", TDefuzzification::CenterOfGravity}, {"bisector", TDefuzzification::Bisector},
    {"mom", TDefuzzification::MeanOfMaxima},         {"som", TDefuzzification::SmallestOfMaxima},
    {"lom", TDefuzzification::LargestOfMaxima},      {"wtaver", TDefuzzification::WeightedAverage},
    {"wtsum", TDefuzzification::WeightedSum},
};
// The membership functions of a Mamdani variable; both tools keep their parameters in the
// order TMembershipShape uses.
inline constexpr TWord<TShapeKind> kMembershipFunctions[] = {
    {"trimf", TShapeKind::Triangle},     {"trapmf", TShapeKind::Trapezoid},
    {"gaussmf", TShapeKind::Gaussian},   {"gauss2mf", TShapeKind::Gaussian2},
    {"gbellmf", TShapeKind::Bell},       {"sigmf", TShapeKind::Sigmoid},
    {"dsigmf", TShapeKind::DiffSigmoid}, {"psigmf", TShapeKind::ProdSigmoid},
    {"smf", TShapeKind::SShape},         {"zmf", TShapeKind::ZShape},
    {"pimf", TShapeKind::PiShape},
};

template <class Value, size_t Count>
std::optional<Value> MeaningOf(const TWord<Value> (&words)[Count], std::string_view word) {
  for (const TWord<Value>& entry : words)
    if (entry.Word == word) return entry.Meaning;
  return std::nullopt;
}

template <class Value, size_t Count>
std::optional<std::string_view> WordOf(const TWord<Value> (&words)[Count], Value meaning) {
  for (const TWord<Value>& entry : words)
    if (entry.Meaning == meaning) return entry.Word;
  return std::nullopt;
}

}  // namespace tapwise::detail::fis
