#pragma once

#include <cmath>

#include "tapwise/fuzzy/FuzzyTypes.h"

// The pure arithmetic behind fuzzy sets: the curves the shape generators sample and the
// membership of a piecewise linear function given by ordered points. Kept free of any set
// or list object so that it can be checked on its own and used without allocation.

namespace tapwise {

/// The Y of the line through (x1, y1) and (x2, y2) at `x`; `y2` when x1 equals x2 exactly
/// (a vertical edge answers its upper end).
constexpr TFzyFloat Interpolate(TFzyFloat x1, TFzyFloat y1, TFzyFloat x2, TFzyFloat y2,
                                TFzyFloat x) {
  if (x1 == x2) return y2;
  return y1 + (x - x1) / (x2 - x1) * (y2 - y1);
}

/// The X at which the line through (x1, y1) and (x2, y2) reaches `level`; `x2` when y1
/// equals y2 exactly.
constexpr TFzyFloat InterpolateX(TFzyFloat x1, TFzyFloat y1, TFzyFloat x2, TFzyFloat y2,
                                 TFzyFloat level) {
  if (y1 == y2) return x2;
  return x1 + (level - y1) / (y2 - y1) * (x2 - x1);
}

/// The standard S function over [left, right], crossing 0.5 at the midpoint: 0 up to
/// `left`, 1 beyond `right`, two parabolic halves in between. Never divides by zero: with
/// left equal to right every x is either at or below left (0) or beyond right (1).
TFzyFloat SCurveDegree(TFzyFloat x, TFzyFloat left, TFzyFloat right);

/// The weighted beta (bell) curve 1 / (1 + weight * ((x - center) / inflection)^2): 1 at
/// `center`, 1 / (1 + weight) at center +- inflection. The caller guarantees that the
/// inflection point is not 0 and that the denominator does not vanish.
constexpr TFzyFloat BetaCurveDegree(TFzyFloat x, TFzyFloat center, TFzyFloat inflection,
                                    TFzyFloat weight) {
  const TFzyFloat u = (x - center) / inflection;
  return 1 / (1 + weight * u * u);
}

/// Degree of membership at `x` of the piecewise linear function through `count` points in
/// ascending X, read through `x_of(i)` and `y_of(i)`:
/// - no points: 0 everywhere;
/// - left of the first point and right of the last: that end point's Y (the function is
///   flat beyond its ends);
/// - exactly at a point's X: the largest Y of that point and the following points with the
///   same X within tolerance (at the last point: it and the preceding ones), so a vertical
///   edge or a spike answers its top;
/// - elsewhere: the line between the two neighbouring points.
/// One pass, no allocation.
template <class XOf, class YOf>
TFzyFloat MembershipAt(int count, XOf&& x_of, YOf&& y_of, TFzyFloat x) {
  if (count <= 0) return 0;
  if (x < x_of(0)) return y_of(0);
  const int last = count - 1;
  if (x > x_of(last)) return y_of(last);
  for (int i = 0; i < count; ++i) {
    const TFzyFloat xi = x_of(i);
    if (xi == x) {
      TFzyFloat best = y_of(i);
      if (i == last) {
        for (int j = i - 1; j >= 0 && SameFloat(x_of(j), xi); --j)
          best = std::fmax(best, y_of(j));
      } else {
        for (int j = i + 1; j < count && SameFloat(x_of(j), xi); ++j)
          best = std::fmax(best, y_of(j));
      }
      return best;
    }
    if (xi > x) return Interpolate(x_of(i - 1), y_of(i - 1), xi, y_of(i), x);
  }
  return y_of(last);  // unreachable for ordered points; keeps the function total
}

}  // namespace tapwise
