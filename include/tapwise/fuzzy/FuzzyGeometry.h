#pragma once

#include <algorithm>
#include <cmath>
#include <concepts>
#include <cstdlib>
#include <span>

#include "tapwise/fuzzy/FuzzyTypes.h"
#include "tapwise/fuzzy/ShapeFunctions.h"

// The exact geometry of piecewise-linear membership functions. Everything here works on any
// sequence of (X, Y) points read through `GetCount`, `GetX` and `GetY`, so the same code
// serves a set's own point list, an interface-based set and a plain array, without copying
// and without allocating: membership look-ups, the merge walk and the centre of gravity sit on
// the hot path of every controller tick.

namespace tapwise::geometry {

/// Anything that reads as an ordered list of membership points.
template <class S>
concept PointSequence = requires(const S& s, int i) {
  { s.GetCount() } -> std::convertible_to<int>;
  { s.GetX(i) } -> std::convertible_to<TFzyFloat>;
  { s.GetY(i) } -> std::convertible_to<TFzyFloat>;
};

/// One membership point by value.
struct TPoint {
  TFzyFloat X = 0;
  TFzyFloat Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

/// A PointSequence over a contiguous array of points (work lists, tests).
class TPointSpan {
 public:
  explicit TPointSpan(std::span<const TPoint> points) : FPoints(points) {}
  int GetCount() const { return static_cast<int>(FPoints.size()); }
  TFzyFloat GetX(int index) const { return FPoints[static_cast<size_t>(index)].X; }
  TFzyFloat GetY(int index) const { return FPoints[static_cast<size_t>(index)].Y; }
  std::span<const TPoint> GetPoints() const { return FPoints; }
  /// The points [first, last].
  TPointSpan Window(int first, int last) const {
    return TPointSpan(
        FPoints.subspan(static_cast<size_t>(first), static_cast<size_t>(last - first + 1)));
  }

 private:
  std::span<const TPoint> FPoints;
};

/// The crossing of segment P1-P2 with segment P3-P4, end points included; false when they do
/// not meet. Collinear overlapping segments report the nearer of the two right ends. A
/// segment shorter than the tolerance counts as a point, which crosses the other segment only
/// when it lies on that segment itself, never merely on its extended line.
bool SegmentIntersection(TFzyFloat& x, TFzyFloat& y, TFzyFloat x1, TFzyFloat y1, TFzyFloat x2,
                         TFzyFloat y2, TFzyFloat x3, TFzyFloat y3, TFzyFloat x4, TFzyFloat y4);

/// The degree of membership at `x`, scanning from `hint` (see Membership). `hint` is an index
/// before which every point lies more than the tolerance left of `x`; the function moves it
/// forward, so a caller asking at ascending positions pays for one pass in all.
template <PointSequence S>
TFzyFloat MembershipFrom(const S& points, TFzyFloat x, int& hint) {
  const int count = points.GetCount();
  if (count == 0) return 0;
  if (x < points.GetX(0)) return points.GetY(0);
  if (x > points.GetX(count - 1)) return points.GetY(count - 1);
  while (hint < count && points.GetX(hint) < x - FuzzyEpsilon)
    ++hint;
  for (int i = hint; i < count && points.GetX(i) <= x + FuzzyEpsilon; ++i) {
    if (points.GetX(i) != x) continue;
    // A vertical edge or a spike answers its highest degree.
    TFzyFloat best = points.GetY(i);
    if (i == count - 1) {
      for (int k = i - 1; k >= 0 && SameFloat(points.GetX(k), x); --k)
        best = std::fmax(best, points.GetY(k));
    } else {
      for (int k = i + 1; k < count && SameFloat(points.GetX(k), x); ++k)
        best = std::fmax(best, points.GetY(k));
    }
    return best;
  }
  for (int i = hint; i < count; ++i) {
    // Never i == 0 here: x lies at or right of the first point, and equality is answered.
    const TFzyFloat xi = points.GetX(i);
    if (xi > x) return Interpolate(points.GetX(i - 1), points.GetY(i - 1), xi, points.GetY(i), x);
  }
  return points.GetY(count - 1);
}

/// The degree of membership at `x`: the first degree left of the first point, the last one
/// right of the last point, the highest degree of the points standing exactly at `x`, and
/// otherwise the straight line between the two neighbouring points.
template <PointSequence S>
TFzyFloat Membership(const S& points, TFzyFloat x) {
  int hint = 0;
  return MembershipFrom(points, x, hint);
}

/// A bound on the degree SegmentIntersection finds for two segments with these end degrees:
/// the point it reports is an end point or lies on the first segment, its degree computed
/// within a few units in the last place of the largest end degree in magnitude; the margin
/// here is eight such units.
inline TFzyFloat CrossingBound(TFzyFloat a1, TFzyFloat a2, TFzyFloat b1, TFzyFloat b2) {
  const TFzyFloat highest = std::max(std::max(a1, a2), std::max(b1, b2));
  const TFzyFloat lowest = std::min(std::min(a1, a2), std::min(b1, b2));
  return highest + std::max(std::fabs(highest), std::fabs(lowest)) * 0x1p-50;
}

namespace detail {
// The points of a list standing on one X, from index First to Last (a vertical edge or a
// spike when there are several), as the three degrees of the membership function there: its
// limit coming from the left (the first point's), its degree at X (the highest, as
// Membership answers) and its limit leaving to the right (the last point's).
struct TJump {
  int Last;
  TFzyFloat Left;
  TFzyFloat Top;
  TFzyFloat Right;
};

// Whether the point after point `k` stands on the same X.
template <PointSequence S>
bool JumpsAt(const S& points, int k) {
  return k + 1 < points.GetCount() && SameFloat(points.GetX(k + 1), points.GetX(k));
}

// The jump of `points` at the X of point `first`.
template <PointSequence S>
TJump JumpAt(const S& points, int first) {
  const TFzyFloat x = points.GetX(first);
  TJump jump{first, points.GetY(first), points.GetY(first), points.GetY(first)};
  for (int k = first + 1, count = points.GetCount(); k < count && SameFloat(points.GetX(k), x);
       ++k) {
    jump.Last = k;
    jump.Right = points.GetY(k);
    jump.Top = std::fmax(jump.Top, jump.Right);
  }
  return jump;
}

// Visits the jumps of A at point `i` and B at point `j`, standing on one X, and moves both
// past them; true when the visitor stopped the walk. Pairing the points of two jumps one by
// one would give the points of the longer edge partners that are no degree of the other set
// at all: both sets are taken at the three places of a jump instead. (A function of its
// own, so that the walk's loop, which rarely meets jumps, stays small.)
template <PointSequence SA, PointSequence SB, class Visit>
bool VisitJumps(const SA& a, int& i, const SB& b, int& j, Visit& visit) {
  const TFzyFloat x = a.GetX(i);
  const TJump jump_a = JumpAt(a, i);
  const TJump jump_b = JumpAt(b, j);
  i = jump_a.Last + 1;
  j = jump_b.Last + 1;
  return visit(x, jump_a.Left, x, jump_b.Left) || visit(x, jump_a.Top, x, jump_b.Top) ||
         visit(x, jump_a.Right, x, jump_b.Right);
}

// Whether a walk's visitor has no use for places whose degrees are at most `bound`; a
// visitor without Skips wants every place.
template <class Visit>
bool Skips(const Visit& visit, TFzyFloat bound) {
  if constexpr (requires { visit.Skips(bound); }) {
    return visit.Skips(bound);
  } else {
    (void)visit;
    (void)bound;
    return false;
  }
}
}  // namespace detail

/// The merge walk over two point lists A and B: calls `visit(x1, y1, x2, y2)` at every X where
/// either operand has a point and at every X where the two membership functions cross, in
/// ascending X, with y1 the degree of A and y2 the degree of B there. `visit` returns true to
/// stop the walk; MergeWalk returns whether it was stopped.
///
/// Beyond its end points a set is flat, so the walk also finds where the other set crosses
/// those flat extensions. With one operand empty, each point of the other is paired with
/// itself. Where both sets have a point on one X and either jumps there (several points on
/// that X), the walk visits that X three times: with the degrees coming from the left, those
/// at X itself and those leaving to the right.
///
/// A visitor may also offer `Skips(bound)`: true when it has no use for a place whose
/// degrees are both at most `bound`. The walk then leaves out such places where telling
/// costs less than finding them (a crossing, or the other set's degree at a point).
template <PointSequence SA, PointSequence SB, class Visit>
bool MergeWalk(const SA& a, const SB& b, Visit&& visit) {
  const int n = a.GetCount();
  const int m = b.GetCount();
  if (n == 0 || m == 0) {
    if (n > 0) {
      for (int i = 0; i < n; ++i)
        if (visit(a.GetX(i), a.GetY(i), a.GetX(i), a.GetY(i))) return true;
    } else {
      for (int j = 0; j < m; ++j)
        if (visit(b.GetX(j), b.GetY(j), b.GetX(j), b.GetY(j))) return true;
    }
    return false;
  }
  int i = 0;
  int j = 0;
  int hint_a = 0;
  int hint_b = 0;
  while (i < n || j < m) {
    // The current pieces: segment (i-1, i) of each operand, or, before its first point and
    // after its last one, the flat extension (a ray) at the level of that end point.
    const bool ray_a = i == 0 || i == n;
    const bool ray_b = j == 0 || j == m;
    const int cur_a = i < n ? i : n - 1;
    const int cur_b = j < m ? j : m - 1;
    const int prev_a = i == 0 ? 0 : i - 1;
    const int prev_b = j == 0 ? 0 : j - 1;
    if (!(ray_a && ray_b)) {
      TFzyFloat x = 0;
      TFzyFloat y = 0;
      bool crossed = false;
      if (ray_a || ray_b) {
        const bool left = ray_a ? i == 0 : j == 0;
        const TFzyFloat end_x = ray_a ? a.GetX(cur_a) : b.GetX(cur_b);
        const TFzyFloat level = ray_a ? a.GetY(cur_a) : b.GetY(cur_b);
        const TFzyFloat px = ray_a ? b.GetX(prev_b) : a.GetX(prev_a);
        const TFzyFloat py = ray_a ? b.GetY(prev_b) : a.GetY(prev_a);
        const TFzyFloat qx = ray_a ? b.GetX(cur_b) : a.GetX(cur_a);
        const TFzyFloat qy = ray_a ? b.GetY(cur_b) : a.GetY(cur_a);
        // A crossing of a flat extension lies at its level.
        if (((py < level && level < qy) || (py > level && level > qy)) &&
            !detail::Skips(visit, level)) {
          x = InterpolateX(px, py, qx, qy, level);
          y = level;
          crossed = left ? x <= end_x : x >= end_x;
        }
      } else if (!detail::Skips(visit, CrossingBound(a.GetY(prev_a), a.GetY(cur_a), b.GetY(prev_b),
                                                     b.GetY(cur_b)))) {
        crossed =
            SegmentIntersection(x, y, a.GetX(prev_a), a.GetY(prev_a), a.GetX(cur_a), a.GetY(cur_a),
                                b.GetX(prev_b), b.GetY(prev_b), b.GetX(cur_b), b.GetY(cur_b));
      }
      if (crossed && visit(x, y, x, y)) return true;
    }
    if (i < n && j < m && SameFloat(a.GetX(i), b.GetX(j))) {
      const TFzyFloat x = a.GetX(i);
      if (!detail::JumpsAt(a, i) && !detail::JumpsAt(b, j)) {
        if (visit(x, a.GetY(i), b.GetX(j), b.GetY(j))) return true;
        ++i;
        ++j;
      } else if (detail::VisitJumps(a, i, b, j, visit)) {
        return true;
      }
    } else if (i < n && (j == m || b.GetX(j) > a.GetX(i))) {
      // (A skipped look-up leaves the hint behind; the next one catches up from there.)
      const TFzyFloat x = a.GetX(i);
      if (!detail::Skips(visit, a.GetY(i)) && visit(x, a.GetY(i), x, MembershipFrom(b, x, hint_b)))
        return true;
      ++i;
    } else {
      const TFzyFloat x = b.GetX(j);
      if (!detail::Skips(visit, b.GetY(j)) && visit(x, MembershipFrom(a, x, hint_a), x, b.GetY(j)))
        return true;
      ++j;
    }
  }
  return false;
}

/// The height of the Zadeh intersection of A and B (the largest min of the two degrees over
/// the merge walk, at least 0), without building it.
template <PointSequence SA, PointSequence SB>
TFzyFloat MatchDegree(const SA& a, const SB& b) {
  // Plain comparisons rather than fmin/fmax calls: degrees are finite (points refuse NaN),
  // so both give the same value, and this runs at every step of every rule's match. Places
  // that cannot beat the best so far are not even looked at.
  struct Highest {
    TFzyFloat best = 0;
    bool operator()(TFzyFloat, TFzyFloat y1, TFzyFloat, TFzyFloat y2) {
      const TFzyFloat both = y2 < y1 ? y2 : y1;
      if (both > best) best = both;
      return false;
    }
    bool Skips(TFzyFloat bound) const { return bound <= best; }
  } highest;
  MergeWalk(a, b, highest);
  return highest.best;
}

/// Whether some position of the merge walk has min(y1, y2) >= threshold; stops at the first.
template <PointSequence SA, PointSequence SB>
bool ReachesThreshold(const SA& a, const SB& b, TFzyFloat threshold) {
  return MergeWalk(a, b, [threshold](TFzyFloat, TFzyFloat y1, TFzyFloat, TFzyFloat y2) {
    return std::fmin(y1, y2) >= threshold;
  });
}

namespace detail {

/// The largest magnitude among the X of `points` and `extra`, at least 1: dividing by it
/// brings every position into [-1, 1].
template <PointSequence S>
TFzyFloat XScale(const S& points, TFzyFloat extra = 0) {
  TFzyFloat scale = std::fmax(1.0, std::fabs(extra));
  for (int k = 0, count = points.GetCount(); k < count; ++k)
    scale = std::fmax(scale, std::fabs(points.GetX(k)));
  return scale;
}

/// The largest degree of `points`, at least 1.
template <PointSequence S>
TFzyFloat YScale(const S& points) {
  TFzyFloat scale = 1;
  for (int k = 0, count = points.GetCount(); k < count; ++k)
    scale = std::fmax(scale, points.GetY(k));
  return scale;
}

/// Area and moment of the pieces of `CenterOfGravity`, every X (bounds included) divided by
/// `x_scale` and every degree by `y_scale`. The shapes of the pieces are told from the
/// values as divided.
template <PointSequence S>
void AreaAndMoment(const S& points, TFzyFloat min, TFzyFloat max, TFzyFloat x_scale,
                   TFzyFloat y_scale, TFzyFloat& area, TFzyFloat& moment) {
  constexpr TFzyFloat kOneThird = 1.0 / 3.0;
  constexpr TFzyFloat kTwoThirds = 2.0 / 3.0;
  const int count = points.GetCount();
  const auto x_at = [&](int k) { return points.GetX(k) / x_scale; };
  const auto y_at = [&](int k) { return points.GetY(k) / y_scale; };
  min /= x_scale;
  max /= x_scale;
  area = 0;
  moment = 0;
  const auto add = [&area, &moment](TFzyFloat a, TFzyFloat c) {
    area += a;
    moment += a * c;
  };
  const TFzyFloat first_x = x_at(0);
  const TFzyFloat first_y = y_at(0);
  const TFzyFloat last_x = x_at(count - 1);
  const TFzyFloat last_y = y_at(count - 1);
  if (first_y > 0 && !SameFloat(first_x, min)) add((first_x - min) * first_y, (first_x + min) / 2);
  TFzyFloat px = first_x;
  TFzyFloat py = first_y;
  for (int k = 1; k < count; ++k) {
    const TFzyFloat qx = x_at(k);
    const TFzyFloat qy = y_at(k);
    const TFzyFloat d = qx - px;
    if (SameFloat(qx, px) || (SameFloat(py, 0) && SameFloat(qy, 0))) {
      // A vertical edge, or no area.
    } else if (SameFloat(py, qy)) {
      add(d * py, (px + qx) / 2);
    } else if (SameFloat(py, 0)) {
      add(d * std::fabs(qy - py) / 2, px + d * kTwoThirds);
    } else if (SameFloat(qy, 0)) {
      add(d * std::fabs(qy - py) / 2, px + d * kOneThird);
    } else {
      add(d * (py + qy) / 2, px + kTwoThirds * d * (py / 2 + qy) / (py + qy));
    }
    px = qx;
    py = qy;
  }
  if (last_y > 0 && !SameFloat(last_x, max)) add((max - last_x) * last_y, (max + last_x) / 2);
}

}  // namespace detail

/// The centroid X of the area under the membership function over the universe [min, max],
/// computed exactly piece by piece: the flat tails from the universe bounds to the end points,
/// then a rectangle, triangle or trapezoid per segment. 0 for an empty set or no area; the
/// middle of the universe for a set without width. Always a finite number for finite points
/// and bounds, however large: the pieces of a set so wide or so high that their areas
/// overflow are measured on the set scaled into [-1, 1] x [0, 1] (the centroid scales with
/// the positions and does not depend on the height).
template <PointSequence S>
TFzyFloat CenterOfGravity(const S& points, TFzyFloat min, TFzyFloat max) {
  const int count = points.GetCount();
  if (count == 0) return 0;
  if (count == 1 || SameFloat(points.GetX(0), points.GetX(count - 1))) {
    const TFzyFloat middle = min + (max - min) / 2;
    return std::isfinite(middle) ? middle : min / 2 + max / 2;
  }
  TFzyFloat area = 0;
  TFzyFloat moment = 0;
  detail::AreaAndMoment(points, min, max, 1, 1, area, moment);
  if (std::isfinite(area) && std::isfinite(moment)) return area != 0 ? moment / area : 0;
  const TFzyFloat x_scale = detail::XScale(points, std::fmax(std::fabs(min), std::fabs(max)));
  detail::AreaAndMoment(points, min, max, x_scale, detail::YScale(points), area, moment);
  return area != 0 ? moment / area * x_scale : 0;
}

/// The mean X of the points of greatest degree (points only: a plateau between two points
/// yields its middle); 0 for an empty set. Finite for finite points, however large.
template <PointSequence S>
TFzyFloat MeanOfMaxima(const S& points) {
  const int count = points.GetCount();
  if (count == 0) return 0;
  const auto mean = [&points, count](TFzyFloat x_scale) {
    TFzyFloat sum = points.GetX(0) / x_scale;
    TFzyFloat best = points.GetY(0);
    int n = 1;
    for (int k = 1; k < count; ++k) {
      const TFzyFloat y = points.GetY(k);
      if (best - FuzzyEpsilon < y && y < best + FuzzyEpsilon) {
        sum += points.GetX(k) / x_scale;
        ++n;
      } else if (y > best) {
        sum = points.GetX(k) / x_scale;
        best = y;
        n = 1;
      }
    }
    return sum / n;
  };
  const TFzyFloat result = mean(1);
  if (std::isfinite(result)) return result;
  // The sum of the positions overflowed: sum them scaled into [-1, 1].
  const TFzyFloat x_scale = detail::XScale(points);
  return mean(x_scale) * x_scale;
}

/// True for no points, or when every degree is exactly the first one and that is 0 or 1: an
/// all-false or all-true set, which carries no information.
template <PointSequence S>
bool IsFlat(const S& points) {
  const int count = points.GetCount();
  if (count == 0) return true;
  const TFzyFloat first = points.GetY(0);
  if (first != 0 && first != 1) return false;
  for (int k = 1; k < count; ++k)
    if (points.GetY(k) != first) return false;
  return true;
}

/// True when every degree is exactly 0 (and for no points).
template <PointSequence S>
bool IsZero(const S& points) {
  for (int k = 0, count = points.GetCount(); k < count; ++k)
    if (points.GetY(k) != 0) return false;
  return true;
}

/// The largest degree; the scan stops at the first degree of exactly 1. Needs a point.
template <PointSequence S>
TFzyFloat HighestDegree(const S& points) {
  TFzyFloat best = points.GetY(0);
  for (int k = 1, count = points.GetCount(); k < count && best != 1; ++k)
    best = std::fmax(best, points.GetY(k));
  return best;
}

/// The smallest degree; the scan stops at the first degree of exactly 0. Needs a point.
template <PointSequence S>
TFzyFloat LowestDegree(const S& points) {
  TFzyFloat best = points.GetY(0);
  for (int k = 1, count = points.GetCount(); k < count && best != 0; ++k)
    best = std::fmin(best, points.GetY(k));
  return best;
}

/// The mean of the degrees; 0 for no points. Finite for finite degrees, however large.
template <PointSequence S>
TFzyFloat AverageDegree(const S& points) {
  const int count = points.GetCount();
  if (count == 0) return 0;
  const auto mean = [&points, count](TFzyFloat y_scale) {
    TFzyFloat sum = 0;
    for (int k = 0; k < count; ++k)
      sum += points.GetY(k) / y_scale;
    return sum / count;
  };
  const TFzyFloat result = mean(1);
  if (std::isfinite(result)) return result;
  // The sum overflowed: add the degrees scaled into [0, 1].
  const TFzyFloat y_scale = detail::YScale(points);
  return mean(y_scale) * y_scale;
}

}  // namespace tapwise::geometry
