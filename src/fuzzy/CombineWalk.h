#pragma once

#include <string_view>

#include "tapwise/fuzzy/DegreeOperations.h"
#include "tapwise/fuzzy/FuzzySetResult.h"

namespace tapwise {

class TFuzzySetValues;

// The point callback of the combining operations: appends (x1, f(y1, y2)) and raises, naming
// `operation_name` and the result set, for a degree that is not a finite number.
PointCombiner Combiner(TDegreeOperation f, const std::string_view* operation_name);

// Replaces the points of `values` (a list other than `a` and `b`) by what the merge walk of
// `a` and `b` gives under `combiner`, in one update block: the points of every combining
// operation, which only names its result.
void CombineInto(TFuzzySetValues& values, const TFuzzySetValues& a, const TFuzzySetValues& b,
                 const PointCombiner& combiner);

}  // namespace tapwise
