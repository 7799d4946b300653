#pragma once

#include "tapwise/control/InferenceSettings.h"
#include "tapwise/fuzzy/FuzzySetResult.h"

// The implied sets of a controller, made on the points alone. The sets' own operations clean
// their results by merging neighbours whose degrees differ by less than the tolerance, which
// over the many close points of a curved term can flatten whole stretches of it; these keep
// every point and add exactly the points the operation needs.

namespace tapwise::detail {

/// The aggregate of two implied sets: between the break points of either set both are
/// linear, so the maximum gets the point where they cross, the bounded sum the point where it
/// reaches 1, the plain sum nothing, and the probabilistic sum, a parabola there, is divided
/// until its chords lie within `kShapeTolerance` of it. Vertical edges and spikes are kept.
TFuzzySetResult Aggregate(const TFuzzySet& a, const TFuzzySet& b, TAggregation aggregation);

/// The minimum of `set` and `strength`, with the points where it crosses the strength.
TFuzzySetResult Clip(const TFuzzySet& set, TFzyFloat strength);

}  // namespace tapwise::detail
