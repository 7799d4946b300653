#pragma once

#include <vector>

#include "tapwise/fuzzy/MembershipShape.h"

// The arithmetic of the membership shapes, for shapes already checked: what MembershipShape.cpp
// answers and what the point lists are cut and sampled from.

namespace tapwise::detail {

/// The degree of a checked `shape` at `x`, within 0..1.
TFzyFloat CurveDegree(const TMembershipShape& shape, TFzyFloat x);

/// The corners of a checked piecewise-linear shape in ascending X, vertical edges as two
/// corners on one X; the function is flat beyond the first and the last.
std::vector<TShapePoint> LinearCorners(const TMembershipShape& shape);

/// A place where a smooth shape's point list must have a point: between two neighbouring
/// breaks the curve neither changes between convex and concave nor jumps, so the error of a
/// chord there is bounded by its samples. A jump is a step of the curve at `X`.
struct TCurveBreak {
  TFzyFloat X = 0;
  bool Jump = false;
};

/// The breaks of a checked smooth shape, in no particular order, possibly outside any range.
std::vector<TCurveBreak> SmoothBreaks(const TMembershipShape& shape);

}  // namespace tapwise::detail
