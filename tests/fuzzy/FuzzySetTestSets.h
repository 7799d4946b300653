#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "tapwise/fuzzy/FuzzySet.h"

namespace tapwise::testing {

/// Replaces the points of `set` by `points` (in one update block) and returns it.
inline TFuzzySet& SetPoints(TFuzzySet& set,
                            std::initializer_list<std::pair<TFzyFloat, TFzyFloat>> points) {
  set.BeginUpdate();
  set.Clear();
  for (const auto& [x, y] : points)
    set.AddPoint(x, y);
  set.EndUpdate();
  return set;
}

/// The points of a set as (X, Y) pairs, for comparisons.
inline std::vector<std::pair<TFzyFloat, TFzyFloat>> PointsOf(const TFuzzySet& set) {
  std::vector<std::pair<TFzyFloat, TFzyFloat>> result;
  for (int i = 0; i < set.GetCount(); ++i)
    result.emplace_back(set.GetX(i), set.GetY(i));
  return result;
}

/// Expects the points of `set` to be `expected`, each coordinate within 1e-12.
inline void ExpectPoints(const TFuzzySet& set,
                         const std::vector<std::pair<TFzyFloat, TFzyFloat>>& expected) {
  const auto actual = PointsOf(set);
  ASSERT_EQ(actual.size(), expected.size()) << set.ValuesText();
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(actual[i].first, expected[i].first, 1e-12) << "point " << i;
    EXPECT_NEAR(actual[i].second, expected[i].second, 1e-12) << "point " << i;
  }
}

}  // namespace tapwise::testing
