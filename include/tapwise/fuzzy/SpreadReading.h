#pragma once

#include <algorithm>

#include "tapwise/foundation/UpdateScope.h"
#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

/// Makes `set` (any set with `Clear` and `AddPoint`) the fuzzy reading of the crisp value
/// `value` within [min, max]: a triangle of height 1 at `value` with the half-width
/// `spread`, clipped to the range, or at a bound the one-sided spike of the full half-width
/// ((0, 1) (0.5, 0) for 0 in 0..100 with a spread of 0.5). `value` must lie in the range.
/// Inline, so that a tick pays no call for it.
template <class Set>
void SetSpreadReading(Set& set, TFzyFloat value, TFzyFloat spread, TFzyFloat min, TFzyFloat max) {
  // One block: the points are put right and reported once, not once per point.
  const TUpdateScope<Set> block(set);
  set.Clear();
  if (value == min) {
    set.AddPoint(min, 1);
    set.AddPoint(min + spread, 0);
  } else if (value == max) {
    set.AddPoint(max - spread, 0);
    set.AddPoint(max, 1);
  } else {
    set.AddPoint(std::max(min, value - spread), 0);
    set.AddPoint(value, 1);
    set.AddPoint(std::min(max, value + spread), 0);
  }
}

}  // namespace tapwise
