#include "ExactAggregation.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "tapwise/fuzzy/MembershipShape.h"
#include "tapwise/fuzzy/ShapeFunctions.h"

namespace tapwise::detail {

namespace {

// A set's degrees around a break point: coming from the left, at the point itself (the top
// of a vertical edge or spike) and leaving to the right.
struct TDegreesAt {
  TFzyFloat Left = 0;
  TFzyFloat Top = 0;
  TFzyFloat Right = 0;
};

// Reads a point list at ascending break points in one pass over its points.
class TPointCursor {
 public:
  explicit TPointCursor(const TCleanPoints& set) : FSet(set), FCount(set.GetCount()) {}

  TDegreesAt At(TFzyFloat x) {
    if (FCount == 0) return {};
    while (FNext < FCount && FSet.GetX(FNext) < x)
      ++FNext;
    int end = FNext;
    while (end < FCount && FSet.GetX(end) == x)
      ++end;
    if (end > FNext) {
      TDegreesAt at{FSet.GetY(FNext), FSet.GetY(FNext), FSet.GetY(end - 1)};
      for (int i = FNext; i < end; ++i)
        at.Top = std::max(at.Top, FSet.GetY(i));
      return at;
    }
    TFzyFloat y;
    if (FNext == 0)
      y = FSet.GetY(0);
    else if (FNext == FCount)
      y = FSet.GetY(FCount - 1);
    else
      y = Interpolate(FSet.GetX(FNext - 1), FSet.GetY(FNext - 1), FSet.GetX(FNext),
                      FSet.GetY(FNext), x);
    return {y, y, y};
  }

 private:
  const TCleanPoints& FSet;
  int FCount;
  int FNext = 0;  // the first point at or beyond the last break point asked for
};

TFzyFloat Combine(TAggregation aggregation, TFzyFloat a, TFzyFloat b) {
  switch (aggregation) {
    case TAggregation::Maximum:
      return std::max(a, b);
    case TAggregation::BoundedSum:
      return std::min<TFzyFloat>(1, a + b);
    case TAggregation::ProbabilisticSum:
      return a + b - a * b;
    case TAggregation::Sum:
      break;
  }
  return a + b;
}

// Where the line from `from` to `to` passes zero strictly inside, as a fraction of the way.
std::optional<TFzyFloat> ZeroCrossing(TFzyFloat from, TFzyFloat to) {
  if ((from < 0 && to > 0) || (from > 0 && to < 0)) return from / (from - to);
  return std::nullopt;
}

class TAggregateBuilder {
 public:
  TAggregateBuilder(TCleanPoints& result, TAggregation aggregation)
      : FResult(result), FAggregation(aggregation) {}

  void Add(TFzyFloat x, TFzyFloat a, TFzyFloat b) {
    const TFzyFloat y = Combine(FAggregation, a, b);
    if (FHasLast && FLastX == x && FLastY == y) return;
    FResult.Add(x, y);
    FHasLast = true;
    FLastX = x;
    FLastY = y;
  }

  // The points inside the open interval x0..x1, over which a and b are linear from
  // (a0, b0) to (a1, b1).
  void AddBetween(TFzyFloat x0, TFzyFloat a0, TFzyFloat b0, TFzyFloat x1, TFzyFloat a1,
                  TFzyFloat b1) {
    const TFzyFloat da = a1 - a0;
    const TFzyFloat db = b1 - b0;
    const auto add_at = [&](TFzyFloat t) { Add(x0 + t * (x1 - x0), a0 + t * da, b0 + t * db); };
    switch (FAggregation) {
      case TAggregation::Maximum:
        // The lines cross at most once; there the larger one changes.
        if (const auto t = ZeroCrossing(a0 - b0, a1 - b1)) add_at(*t);
        return;
      case TAggregation::BoundedSum:
        // a + b is linear here; it meets 1 at most once.
        if (const auto t = ZeroCrossing(a0 + b0 - 1, a1 + b1 - 1)) add_at(*t);
        return;
      case TAggregation::Sum:
        return;
      case TAggregation::ProbabilisticSum:
        break;
    }
    // a + b - ab bends by -2 da db over the interval; k equal chords stray from it by
    // |da db| / (4 k^2) at most.
    const TFzyFloat bend = std::fabs(da * db);
    const int pieces = static_cast<int>(std::ceil(std::sqrt(bend / (4 * kShapeTolerance))));
    for (int i = 1; i < pieces; ++i)
      add_at(static_cast<TFzyFloat>(i) / pieces);
  }

 private:
  TCleanPoints& FResult;
  TAggregation FAggregation;
  bool FHasLast = false;
  TFzyFloat FLastX = 0;
  TFzyFloat FLastY = 0;
};

}  // namespace

void TRunningAggregate::Add(const TCleanPoints& implied, TAggregation aggregation) {
  if (std::exchange(FEmpty, false)) {
    FPoints = implied;
    return;
  }
  FBreakPoints.clear();
  for (const geometry::TPoint& point : FPoints.GetPoints())
    FBreakPoints.push_back(point.X);
  for (const geometry::TPoint& point : implied.GetPoints())
    FBreakPoints.push_back(point.X);
  std::sort(FBreakPoints.begin(), FBreakPoints.end());
  FBreakPoints.erase(std::unique(FBreakPoints.begin(), FBreakPoints.end()), FBreakPoints.end());

  FSpare.Clear();
  TAggregateBuilder builder(FSpare, aggregation);
  TPointCursor cursor_a(FPoints);
  TPointCursor cursor_b(implied);
  TDegreesAt last_a;
  TDegreesAt last_b;
  TFzyFloat last_x = 0;
  bool first = true;
  for (TFzyFloat x : FBreakPoints) {
    const TDegreesAt at_a = cursor_a.At(x);
    const TDegreesAt at_b = cursor_b.At(x);
    if (!first) builder.AddBetween(last_x, last_a.Right, last_b.Right, x, at_a.Left, at_b.Left);
    builder.Add(x, at_a.Left, at_b.Left);
    builder.Add(x, at_a.Top, at_b.Top);
    builder.Add(x, at_a.Right, at_b.Right);
    last_a = at_a;
    last_b = at_b;
    last_x = x;
    first = false;
  }
  FPoints.swap(FSpare);
}

void Clip(std::span<const geometry::TPoint> points, TFzyFloat strength, TCleanPoints& result) {
  result.Clear();
  for (size_t i = 0; i < points.size(); ++i) {
    const auto [x, y] = points[i];
    if (i > 0) {
      const auto [x0, y0] = points[i - 1];
      if (const auto t = ZeroCrossing(y0 - strength, y - strength))
        result.Add(x0 + *t * (x - x0), strength);
    }
    result.Add(x, std::min(y, strength));
  }
}

void Correlate(std::span<const geometry::TPoint> points, bool product, TFzyFloat strength,
               TCleanPoints& result) {
  result.Clear();
  for (const auto [x, y] : points)
    result.Add(x, product ? y * strength : (y > strength ? strength : y));
}

}  // namespace tapwise::detail
