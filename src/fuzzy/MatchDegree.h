#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "tapwise/fuzzy/FuzzyGeometry.h"
#include "tapwise/fuzzy/FuzzySetValues.h"

// The match degree of a rule, reached through MatchDegreeOf alone: where one set is 0 beyond
// its ends, only the other set's points near its span can give a positive minimum, so the
// walk takes a window of them, read from a contiguous copy of the points.

namespace tapwise::geometry {

/// The points of `points` that a merge walk meets while a partner whose degree is 0 beyond
/// its end points is inside its span: the index range [first, last] of the points within
/// `left` - 2 tolerances .. `right` + 2 tolerances, widened by one neighbour on each side.
/// Outside the partner's span every pairing has a minimum of at most 0, so a walk of the
/// partner against this window finds the same positive minima as one against all points.
/// `clip_left` / `clip_right` false keep that end of the list (a partner not 0 there).
template <PointSequence S>
std::pair<int, int> MatchWindow(const S& points, TFzyFloat left, TFzyFloat right, bool clip_left,
                                bool clip_right) {
  const int count = points.GetCount();
  // The first index whose X is not below the left bound, by bisection (the points are
  // sorted); the window is short, so its right end is found by stepping.
  const TFzyFloat low_bound = left - 2 * FuzzyEpsilon;
  const TFzyFloat high_bound = right + 2 * FuzzyEpsilon;
  int low = 0;
  int high = count;
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (points.GetX(middle) < low_bound) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  const int first = clip_left ? std::max(0, low - 1) : 0;
  int last = count - 1;
  if (clip_right) {
    int above = low;
    while (above < count && points.GetX(above) <= high_bound)
      ++above;
    last = std::min(count - 1, above);
  }
  return {first, std::max(first, last)};
}

/// What a zero test of a window needs to know of a point list, learnt in one pass.
struct TSupport {
  /// The first and last index of a degree other than 0; -1 for a list of zeros.
  int FirstNonzero = -1;
  int LastNonzero = -1;
  /// Whether every X is at most the next one, so that "X below a bound" holds for a prefix.
  bool Ascending = true;
  /// Whether two successive points lie within the tolerance of each other in both X and Y
  /// (a piece the merge walk takes for a point).
  bool HasPointPiece = false;
};

template <PointSequence S>
TSupport SupportOf(const S& points) {
  TSupport support;
  for (int k = 0, count = points.GetCount(); k < count; ++k) {
    if (points.GetY(k) != 0) {
      if (support.FirstNonzero < 0) support.FirstNonzero = k;
      support.LastNonzero = k;
    }
    if (k > 0) {
      if (points.GetX(k) < points.GetX(k - 1)) support.Ascending = false;
      if (std::fabs(points.GetX(k) - points.GetX(k - 1)) < FuzzyEpsilon &&
          std::fabs(points.GetY(k) - points.GetY(k - 1)) < FuzzyEpsilon)
        support.HasPointPiece = true;
    }
  }
  return support;
}

/// True only when the window MatchWindow gives for these arguments holds degrees of 0 alone
/// (IsZero over it). For ascending X without a search: the window lies wholly left of the
/// first nonzero degree or wholly right of the last one exactly when the points next to those
/// degrees lie beyond the bounds; a window in a gap between two nonzero stretches answers
/// false. Otherwise the window is searched and the answer is exact.
template <PointSequence S>
bool MatchWindowIsZero(const S& points, const TSupport& support, TFzyFloat left, TFzyFloat right,
                       bool clip_left, bool clip_right) {
  if (support.FirstNonzero < 0) return true;
  if (!support.Ascending) {
    const auto [first, last] = MatchWindow(points, left, right, clip_left, clip_right);
    for (int k = first; k <= last; ++k)
      if (points.GetY(k) != 0) return false;
    return true;
  }
  // The same bounds as MatchWindow's. The search's first index not below the low bound is
  // the count of X below it, and its stepping ends at the larger of that index and the count
  // of X not above the high bound.
  const TFzyFloat low_bound = left - 2 * FuzzyEpsilon;
  const TFzyFloat high_bound = right + 2 * FuzzyEpsilon;
  const int first_nonzero = support.FirstNonzero;
  const int last_nonzero = support.LastNonzero;
  // Wholly right of the last nonzero degree: the window starts one point before the first X
  // not below the low bound, so the point after the last nonzero degree is below it.
  if (clip_left && last_nonzero + 1 < points.GetCount() &&
      points.GetX(last_nonzero + 1) < low_bound)
    return true;
  // Wholly left of the first nonzero degree: the stepping stops before it, so the point just
  // before it is neither below the low bound nor within the high one.
  return clip_right && first_nonzero > 0 && !(points.GetX(first_nonzero - 1) < low_bound) &&
         points.GetX(first_nonzero - 1) > high_bound;
}

}  // namespace tapwise::geometry

namespace tapwise {

// The points of a list as one array of (X, Y), with what a match window needs to know of them:
// the walks that read every point many times (the match degree of a rule) read them from
// here. Made again only when the list has changed since.
class TFlatPoints {
 public:
  // The copy `values` keeps, current with it (made when first asked for).
  static const TFlatPoints& Of(const TFuzzySetValues& values) {
    if (values.FFlat == nullptr) values.FFlat = std::make_unique<TFlatPoints>();
    TFlatPoints& flat = *values.FFlat;
    if (flat.FStamp != values.GetChangeStamp() ||
        flat.FPoints.size() != static_cast<size_t>(values.GetCount()))
      flat.Renew(values);
    return flat;
  }

  std::span<const geometry::TPoint> GetPoints() const { return FPoints; }
  // Where the degrees are nonzero and whether the X ascend.
  const geometry::TSupport& GetSupport() const { return FSupport; }

 private:
  void Renew(const TFuzzySetValues& values) {
    const int count = values.GetCount();
    FPoints.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      const TFuzzySetValue* point = values.GetPoint(i);
      FPoints[static_cast<size_t>(i)] = {point->GetX(), point->GetY()};
    }
    FSupport = geometry::SupportOf(geometry::TPointSpan(FPoints));
    FStamp = values.GetChangeStamp();
  }

  std::vector<geometry::TPoint> FPoints;
  uint64_t FStamp = 0;
  geometry::TSupport FSupport;
};

class TMatchMemo;

// The height of the Zadeh intersection of `a` and `b` (`TFuzzySet::MatchDegree`): the merge walk
// over only the points that can give a positive minimum, with the degrees of a narrow `a`
// against short stretches of `b` remembered in `memo` (made on first use).
TFzyFloat MatchDegreeOf(const TFuzzySetValues& a, const TFuzzySetValues& b,
                        std::unique_ptr<TMatchMemo>& memo);

}  // namespace tapwise
