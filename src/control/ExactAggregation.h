#pragma once

#include "tapwise/control/InferenceSettings.h"
#include "tapwise/fuzzy/FuzzySetResult.h"

namespace tapwise::detail {

/// The aggregate of two implied sets under the bounded or the probabilistic sum, which the
/// sets' own union evaluates at the points and crossings of the two lists only. Here the
/// bounded sum gets the points where it reaches 1 (and is exact), and each piece of the
/// probabilistic sum, a parabola between two break points, is divided until its chords lie
/// within `kShapeTolerance` of it. Vertical edges and spikes of either set are kept.
TFuzzySetResult AggregateBySum(const TFuzzySet& a, const TFuzzySet& b, TAggregation aggregation);

}  // namespace tapwise::detail
