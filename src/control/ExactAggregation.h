#pragma once

#include <span>
#include <vector>

#include "CleanPoints.h"
#include "tapwise/control/InferenceSettings.h"

// The implied sets of a controller and their aggregate, made on the points alone. The sets'
// own operations clean their results by merging neighbours whose degrees differ by less than
// the tolerance, which over the many close points of a curved term can flatten whole
// stretches of it; these keep every point and add exactly the points the operation needs.

namespace tapwise::detail {

/// The minimum of the term `points` and `strength` into `result`, with the points where the
/// term crosses the strength.
void Clip(std::span<const geometry::TPoint> points, TFzyFloat strength, TCleanPoints& result);

/// The term `points` with every degree scaled by `strength` (`product`) or capped at it, the
/// points kept where they are.
void Correlate(std::span<const geometry::TPoint> points, bool product, TFzyFloat strength,
               TCleanPoints& result);

/// The aggregate of implied sets, added one at a time; its buffers are kept from run to run.
/// Between the break points of two sets both are linear, so the maximum gets the point where
/// they cross, the bounded sum the point where it reaches 1, the plain sum nothing, and the
/// probabilistic sum, a parabola there, is divided until its chords lie within
/// `kShapeTolerance` of it. Vertical edges and spikes are kept.
class TRunningAggregate {
 public:
  void Clear() { FEmpty = true; }
  /// Aggregates `implied` into the sets added so far; the first set is its own aggregate.
  void Add(const TCleanPoints& implied, TAggregation aggregation);
  bool IsEmpty() const { return FEmpty; }
  const TCleanPoints& GetPoints() const { return FPoints; }

 private:
  TCleanPoints FPoints;
  TCleanPoints FSpare;
  std::vector<TFzyFloat> FBreakPoints;
  bool FEmpty = true;
};

}  // namespace tapwise::detail
