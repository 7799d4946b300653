#pragma once

#include "CleanPoints.h"
#include "tapwise/control/InferenceSettings.h"

namespace tapwise::detail {

/// The crisp value of the aggregated set `points` over the universe [min, max] by one of the
/// five Mamdani methods, exact on the piecewise-linear membership function with its flat
/// extensions to the bounds:
/// - centre of gravity: the centroid of the area;
/// - bisector: the X that splits the area in two equal halves;
/// - smallest and largest of maxima: the ends of the region of greatest degree;
/// - mean of maxima: the middle of that region, each plateau weighted by its width (the mean
///   of the maximal points when the region has no width).
/// Degrees within the library's tolerance of the greatest count as greatest. The set must
/// have a point of positive degree.
TFzyFloat Defuzzify(const TCleanPoints& points, TFzyFloat min, TFzyFloat max,
                    TDefuzzification method);

}  // namespace tapwise::detail
