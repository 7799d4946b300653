#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <type_traits>

#include "tapwise/foundation/ExactType.h"
#include "tapwise/foundation/UpdateScope.h"
#include "tapwise/fuzzy/FuzzyGeometry.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzyTypes.h"
#include "tapwise/fuzzy/InterfacedFuzzySet.h"

namespace tapwise {

/// Makes `set` (any set with `Clear` and `AddPoint`) the fuzzy reading of the crisp value
/// `value` within [min, max]: a triangle of height 1 at `value` with the half-width
/// `spread`, clipped to the range, or at a bound the one-sided spike of the full half-width
/// ((0, 1) (0.5, 0) for 0 in 0..100 with a spread of 0.5). `value` must lie in the range.
/// Inline, so that a tick pays no call for it.
template <class Set>
void SetSpreadReading(Set& set, TFzyFloat value, TFzyFloat spread, TFzyFloat min, TFzyFloat max) {
  std::array<geometry::TPoint, 3> corners{};
  size_t count = 2;
  if (value == min) {
    corners[0] = {min, 1};
    corners[1] = {min + spread, 0};
  } else if (value == max) {
    corners[0] = {max - spread, 0};
    corners[1] = {max, 1};
  } else {
    corners[0] = {std::max(min, value - spread), 0};
    corners[1] = {value, 1};
    corners[2] = {std::min(max, value + spread), 0};
    count = 3;
  }
  const std::span<const geometry::TPoint> points(corners.data(), count);
  // The library's own sets take the corners at once.
  TFuzzySet* plain = nullptr;
  if constexpr (std::is_base_of_v<TFuzzySet, Set>) {
    plain = &set;
  } else {
    plain = ExactCast<TIFuzzySet>(&set);
  }
  if (plain != nullptr) {
    plain->AssignPoints(points);
    return;
  }
  // One block: the points are put right and reported once, not once per point.
  const TUpdateScope<Set> block(set);
  set.Clear();
  for (const geometry::TPoint& point : points)
    set.AddPoint(point.X, point.Y);
}

}  // namespace tapwise
