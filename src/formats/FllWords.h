#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "tapwise/control/InferenceSettings.h"
#include "tapwise/fuzzy/FuzzyTypes.h"

// fuzzylite's words for the inference settings and hedges, shared by the FLL reader and
// writer so that whatever one writes the other reads.

namespace tapwise::detail::fll {

template <class Value, size_t Count>
using TWordTable = std::array<std::pair<std::string_view, Value>, Count>;

inline constexpr TWordTable<TFuzzyOperation, 3> kConjunctions{{
    {"Minimum", foZadeh},
    {"AlgebraicProduct", foProduct},
    {"BoundedDifference", foBoundedSum},
}};
inline constexpr TWordTable<TFuzzyOperation, 4> kDisjunctions{{
    {"Maximum", foZadeh},
    {"AlgebraicSum", foProduct},
    {"BoundedSum", foBoundedSum},
    {"UnboundedSum", foSum},
}};
inline constexpr TWordTable<TImplication, 2> kImplications{{
    {"Minimum", TImplication::Clip},
    {"AlgebraicProduct", TImplication::Scale},
}};
inline constexpr TWordTable<TAggregation, 4> kAggregations{{
    {"Maximum", TAggregation::Maximum},
    {"AlgebraicSum", TAggregation::ProbabilisticSum},
    {"BoundedSum", TAggregation::BoundedSum},
    {"UnboundedSum", TAggregation::Sum},
}};
inline constexpr TWordTable<TDefuzzification, 7> kDefuzzifiers{{
    {"Centroid", TDefuzzification::CenterOfGravity},
    {"Bisector", TDefuzzification::Bisector},
    {"MeanOfMaximum", TDefuzzification::MeanOfMaxima},
    {"SmallestOfMaximum", TDefuzzification::SmallestOfMaxima},
    {"LargestOfMaximum", TDefuzzification::LargestOfMaxima},
    {"WeightedAverage", TDefuzzification::WeightedAverage},
    {"WeightedSum", TDefuzzification::WeightedSum},
}};

// fuzzylite's hedges and the library's hedge of the same formula; an empty word where the
// library has none (seldom: sqrt(y/2) below 0.5; any: 1 everywhere).
inline constexpr TWordTable<std::string_view, 6> kHedges{{
    {"not", "not"},
    {"somewhat", "moreorless"},
    {"very", "very"},
    {"extremely", "positively"},
    {"seldom", ""},
    {"any", ""},
}};

/// The word of `value` in `table`, or none.
template <class Value, size_t Count>
std::optional<std::string_view> FllWordOf(const TWordTable<Value, Count>& table,
                                          const Value& value) {
  for (const auto& [word, meaning] : table)
    if (meaning == value) return word;
  return std::nullopt;
}

}  // namespace tapwise::detail::fll
