#pragma once

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

}  // namespace tapwise::testing
