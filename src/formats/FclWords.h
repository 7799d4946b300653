#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "FclLexer.h"
#include "FuzzyliteShapes.h"
#include "tapwise/control/InferenceSettings.h"
#include "tapwise/fuzzy/FuzzyTypes.h"
#include "tapwise/fuzzy/MembershipShape.h"

// The words FCL gives the inference settings, hedges and term shapes, shared by the reader
// and the writer so that whatever one writes the other reads. The writer writes the first
// word of a value.

namespace tapwise::detail {

template <class Value>
struct TFclWord {
  std::string_view Word;
  Value Setting;
};

inline constexpr std::array kFclAndWords{
    TFclWord<TFuzzyOperation>{"MIN", foZadeh},
    TFclWord<TFuzzyOperation>{"PROD", foProduct},
    TFclWord<TFuzzyOperation>{"BDIF", foBoundedSum},
};

inline constexpr std::array kFclOrWords{
    TFclWord<TFuzzyOperation>{"MAX", foZadeh},
    TFclWord<TFuzzyOperation>{"ASUM", foProduct},
    TFclWord<TFuzzyOperation>{"BSUM", foBoundedSum},
};

inline constexpr std::array kFclActivationWords{
    TFclWord<TImplication>{"MIN", TImplication::Clip},
    TFclWord<TImplication>{"PROD", TImplication::Scale},
};

// ASUM and UnboundedSum are no accumulations of the standard; fuzzylite writes them for the
// probabilistic and the plain sum.
inline constexpr std::array kFclAccumulationWords{
    TFclWord<TAggregation>{"MAX", TAggregation::Maximum},
    TFclWord<TAggregation>{"BSUM", TAggregation::BoundedSum},
    TFclWord<TAggregation>{"ASUM", TAggregation::ProbabilisticSum},
    TFclWord<TAggregation>{"UnboundedSum", TAggregation::Sum},
};

// COGSS (the weighted sum of singletons) is fuzzylite's addition to the standard's methods.
inline constexpr std::array kFclMethodWords{
    TFclWord<TDefuzzification>{"COG", TDefuzzification::CenterOfGravity},
    TFclWord<TDefuzzification>{"COA", TDefuzzification::Bisector},
    TFclWord<TDefuzzification>{"LM", TDefuzzification::SmallestOfMaxima},
    TFclWord<TDefuzzification>{"RM", TDefuzzification::LargestOfMaxima},
    TFclWord<TDefuzzification>{"MM", TDefuzzification::MeanOfMaxima},
    TFclWord<TDefuzzification>{"COGS", TDefuzzification::WeightedAverage},
    TFclWord<TDefuzzification>{"COGSS", TDefuzzification::WeightedSum},
};

// Only the hedges whose formula the library's hedge of that meaning shares: VERY squares a
// degree, SOMEWHAT takes its square root ("moreorless"; the library's "somewhat" is the cube
// root).
inline constexpr std::array kFclHedgeWords{
    TFclWord<std::string_view>{"VERY", "very"},
    TFclWord<std::string_view>{"SOMEWHAT", "moreorless"},
};

// The words a name may not be, because the reader takes them for structure.
inline constexpr std::array<std::string_view, 24> kFclKeywords = {"FUNCTION_BLOCK",
                                                                  "END_FUNCTION_BLOCK",
                                                                  "VAR_INPUT",
                                                                  "VAR_OUTPUT",
                                                                  "END_VAR",
                                                                  "FUZZIFY",
                                                                  "END_FUZZIFY",
                                                                  "DEFUZZIFY",
                                                                  "END_DEFUZZIFY",
                                                                  "RULEBLOCK",
                                                                  "END_RULEBLOCK",
                                                                  "TERM",
                                                                  "RANGE",
                                                                  "METHOD",
                                                                  "DEFAULT",
                                                                  "ACCU",
                                                                  "RULE",
                                                                  "IF",
                                                                  "THEN",
                                                                  "IS",
                                                                  "AND",
                                                                  "OR",
                                                                  "NOT",
                                                                  "WITH"};

inline bool IsFclKeyword(std::string_view word) {
  for (std::string_view keyword : kFclKeywords)
    if (SameFclWord(keyword, word)) return true;
  return false;
}

/// How FCL writes a term of that kind, for messages: "point list", "singleton" or the
/// shape's word.
inline std::string_view FclTermForm(TShapeKind kind) {
  if (kind == TShapeKind::Discrete) return "point list";
  if (kind == TShapeKind::Singleton) return "singleton";
  for (const TFuzzyliteShape& syntax : kFuzzyliteShapes)
    if (syntax.Kind == kind) return syntax.Word;
  return "shape";
}

/// The setting `word` names in `table`, its letter case ignored; none for another word.
template <class Value, size_t N>
std::optional<Value> FindFclSetting(const std::array<TFclWord<Value>, N>& table,
                                    std::string_view word) {
  for (const TFclWord<Value>& entry : table)
    if (SameFclWord(entry.Word, word)) return entry.Setting;
  return std::nullopt;
}

/// The word of `value` in `table`; none when FCL has no word for it.
template <class Value, size_t N>
std::optional<std::string_view> FclWordOf(const std::array<TFclWord<Value>, N>& table,
                                          const Value& value) {
  for (const TFclWord<Value>& entry : table)
    if (entry.Setting == value) return entry.Word;
  return std::nullopt;
}

}  // namespace tapwise::detail
