#pragma once

#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

/// A function of two degrees: the AND or the OR of one operation family.
using TDegreeOperation = TFzyFloat (*)(TFzyFloat a, TFzyFloat b);

/// The AND of `operation`'s family on two degrees ("zadeh" the minimum, "product" the
/// product, "boundedsum" max(0, a + b - 1), ...); null for foSum, which has no AND. The one
/// table the set operations use pointwise. Null too for a value that is no family.
TDegreeOperation DegreeAnd(TFuzzyOperation operation);
/// The OR of `operation`'s family ("zadeh" the maximum, "product" a + b - ab, "boundedsum"
/// min(1, a + b), "sum" a + b, ...).
TDegreeOperation DegreeOr(TFuzzyOperation operation);

}  // namespace tapwise
