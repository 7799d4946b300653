#pragma once

#include <optional>

#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/MembershipShape.h"

namespace tapwise::detail::fis {

/// The triangle or trapezoid whose degrees over `min`..`max` are those of `term`'s point
/// list, or none. Corners that lie beyond the range are placed where the term's edges lead,
/// so that neither tool meets an edge of zero width.
std::optional<TMembershipShape> LinearShapeOf(const TFuzzySet& term, TFzyFloat min, TFzyFloat max);

}  // namespace tapwise::detail::fis
