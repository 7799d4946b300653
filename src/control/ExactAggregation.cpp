#include "ExactAggregation.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "tapwise/fuzzy/FuzzySet.h"
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

// Reads a set at ascending break points in one pass over its points.
class TPointCursor {
 public:
  explicit TPointCursor(const TFuzzySet& set) : FSet(set), FCount(set.GetCount()) {}

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
  const TFuzzySet& FSet;
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
  TAggregateBuilder(TFuzzySet& result, TAggregation aggregation)
      : FResult(result), FAggregation(aggregation) {}

  void Add(TFzyFloat x, TFzyFloat a, TFzyFloat b) {
    const TFzyFloat y = Combine(FAggregation, a, b);
    if (FHasLast && FLastX == x && FLastY == y) return;
    FResult.AddPoint(x, y);
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
  TFuzzySet& FResult;
  TAggregation FAggregation;
  bool FHasLast = false;
  TFzyFloat FLastX = 0;
  TFzyFloat FLastY = 0;
};

std::vector<TFzyFloat> BreakPoints(const TFuzzySet& a, const TFuzzySet& b) {
  std::vector<TFzyFloat> xs;
  xs.reserve(static_cast<size_t>(a.GetCount() + b.GetCount()));
  for (int i = 0; i < a.GetCount(); ++i)
    xs.push_back(a.GetX(i));
  for (int i = 0; i < b.GetCount(); ++i)
    xs.push_back(b.GetX(i));
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  return xs;
}

}  // namespace

TFuzzySetResult Aggregate(const TFuzzySet& a, const TFuzzySet& b, TAggregation aggregation) {
  THeldFuzzySet result(new TFuzzySet());
  TAggregateBuilder builder(*result, aggregation);
  TPointCursor cursor_a(a);
  TPointCursor cursor_b(b);
  result->BeginUpdate();
  TDegreesAt last_a;
  TDegreesAt last_b;
  TFzyFloat last_x = 0;
  bool first = true;
  for (TFzyFloat x : BreakPoints(a, b)) {
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
  result->EndUpdate();
  return TFuzzySetResult::Held(std::move(result));
}

TFuzzySetResult Clip(const TFuzzySet& set, TFzyFloat strength) {
  THeldFuzzySet result(new TFuzzySet());
  result->BeginUpdate();
  const int count = set.GetCount();
  for (int i = 0; i < count; ++i) {
    const TFzyFloat x = set.GetX(i);
    const TFzyFloat y = set.GetY(i);
    if (i > 0) {
      const TFzyFloat x0 = set.GetX(i - 1);
      const TFzyFloat y0 = set.GetY(i - 1);
      if (const auto t = ZeroCrossing(y0 - strength, y - strength))
        result->AddPoint(x0 + *t * (x - x0), strength);
    }
    result->AddPoint(x, std::min(y, strength));
  }
  result->EndUpdate();
  return TFuzzySetResult::Held(std::move(result));
}

}  // namespace tapwise::detail
