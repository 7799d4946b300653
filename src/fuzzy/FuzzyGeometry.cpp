#include "tapwise/fuzzy/FuzzyGeometry.h"

#include <algorithm>

namespace tapwise::geometry {

namespace {

// Below this sine of the angle between two segments they are parallel. Relative, so that the
// short segments of densified sets still cross where they should; an absolute threshold on
// the cross product misses the crossings of segments a few hundredths long.
constexpr TFzyFloat kParallelSine = 1e-12;

// Whether point (px, py) lies on segment P3-P4 itself, tolerance included.
bool PointOnSegment(TFzyFloat px, TFzyFloat py, TFzyFloat x3, TFzyFloat y3, TFzyFloat x4,
                    TFzyFloat y4) {
  if (px < std::min(x3, x4) - FuzzyEpsilon || px > std::max(x3, x4) + FuzzyEpsilon) return false;
  if (std::fabs(x4 - x3) < FuzzyEpsilon) {
    // A (nearly) vertical segment: its whole Y span stands at that X.
    return py >= std::min(y3, y4) - FuzzyEpsilon && py <= std::max(y3, y4) + FuzzyEpsilon;
  }
  const TFzyFloat clamped = std::clamp(px, std::min(x3, x4), std::max(x3, x4));
  return SameFloat(py, Interpolate(x3, y3, x4, y4, clamped));
}

// Whether (px, py) lies in the bounding box of segment P1-P2, tolerance included.
bool InBox(TFzyFloat px, TFzyFloat py, TFzyFloat x1, TFzyFloat y1, TFzyFloat x2, TFzyFloat y2) {
  return px >= std::min(x1, x2) - FuzzyEpsilon && px <= std::max(x1, x2) + FuzzyEpsilon &&
         py >= std::min(y1, y2) - FuzzyEpsilon && py <= std::max(y1, y2) + FuzzyEpsilon;
}

}  // namespace

bool SegmentIntersection(TFzyFloat& x, TFzyFloat& y, TFzyFloat x1, TFzyFloat y1, TFzyFloat x2,
                         TFzyFloat y2, TFzyFloat x3, TFzyFloat y3, TFzyFloat x4, TFzyFloat y4) {
  const TFzyFloat dxa = x2 - x1;
  const TFzyFloat dya = y2 - y1;
  const TFzyFloat dxb = x4 - x3;
  const TFzyFloat dyb = y4 - y3;
  const bool a_is_point = std::fabs(dxa) < FuzzyEpsilon && std::fabs(dya) < FuzzyEpsilon;
  const bool b_is_point = std::fabs(dxb) < FuzzyEpsilon && std::fabs(dyb) < FuzzyEpsilon;
  if (a_is_point || b_is_point) {
    // A point meets a segment only on the segment; testing it against the extended line
    // reports crossings far outside the segment (and notches in unions).
    if (a_is_point && !PointOnSegment(x2, y2, x3, y3, x4, y4)) return false;
    if (b_is_point && !PointOnSegment(x4, y4, x1, y1, x2, y2)) return false;
    if (a_is_point) {
      x = x2;
      y = y2;
    } else {
      x = x4;
      y = y4;
    }
    return true;
  }
  const TFzyFloat d = dxa * dyb - dya * dxb;
  const TFzyFloat na = dxb * (y1 - y3) - dyb * (x1 - x3);
  const TFzyFloat nb = dxa * (y1 - y3) - dya * (x1 - x3);
  const TFzyFloat scale = (std::fabs(dxa) + std::fabs(dya)) * (std::fabs(dxb) + std::fabs(dyb));
  if (std::fabs(d) <= kParallelSine * scale) {
    if (na != 0) return false;
    // Collinear: the overlap's right end (the smaller of the two right ends). Segments on one
    // line that share no point do not cross; vertical ones are told apart by their Y spans.
    const auto on_both = [&](TFzyFloat px, TFzyFloat py) {
      return InBox(px, py, x1, y1, x2, y2) && InBox(px, py, x3, y3, x4, y4);
    };
    const bool fourth_first = x4 <= x2;
    const TFzyFloat candidates[4][2] = {{fourth_first ? x4 : x2, fourth_first ? y4 : y2},
                                        {fourth_first ? x2 : x4, fourth_first ? y2 : y4},
                                        {x1, y1},
                                        {x3, y3}};
    for (const auto& candidate : candidates) {
      if (on_both(candidate[0], candidate[1])) {
        x = candidate[0];
        y = candidate[1];
        return true;
      }
    }
    return false;
  }
  const TFzyFloat t = na / d;
  if (t < 0 || t > 1) return false;
  if (!(nb == 0 || ((nb > 0) == (d > 0) && std::fabs(nb) <= std::fabs(d)))) return false;
  x = x1 + dxa * t;
  if (dxb == 0) x = x3;
  if (dxa == 0) x = x1;
  y = y1 + dya * t;
  if (y3 == y4) y = y3;
  if (y1 == y2) y = y1;
  return true;
}

}  // namespace tapwise::geometry
