#include "Defuzzification.h"

#include <cmath>

#include "tapwise/fuzzy/FuzzyGeometry.h"

namespace tapwise::detail {

namespace {

// Visits the pieces of the membership function over [min, max]: the flat extension before
// the first point, each segment, the flat extension after the last point, as
// (x1, y1, x2, y2) with x1 <= x2.
template <class Visit>
void ForEachPiece(const TCleanPoints& points, TFzyFloat min, TFzyFloat max, Visit&& visit) {
  const int count = points.GetCount();
  if (min < points.GetX(0)) visit(min, points.GetY(0), points.GetX(0), points.GetY(0));
  for (int k = 1; k < count; ++k)
    visit(points.GetX(k - 1), points.GetY(k - 1), points.GetX(k), points.GetY(k));
  const TFzyFloat last_x = points.GetX(count - 1);
  if (last_x < max) visit(last_x, points.GetY(count - 1), max, points.GetY(count - 1));
}

TFzyFloat Bisector(const TCleanPoints& points, TFzyFloat min, TFzyFloat max) {
  TFzyFloat total = 0;
  ForEachPiece(points, min, max, [&](TFzyFloat x1, TFzyFloat y1, TFzyFloat x2, TFzyFloat y2) {
    total += (x2 - x1) * (y1 + y2) / 2;
  });
  TFzyFloat remaining = total / 2;
  // Rounding may leave a hair of the half beyond the last piece: then the bisector is its end.
  TFzyFloat result = std::fmax(max, points.GetX(points.GetCount() - 1));
  bool found = false;
  ForEachPiece(points, min, max, [&](TFzyFloat x1, TFzyFloat y1, TFzyFloat x2, TFzyFloat y2) {
    if (found) return;
    const TFzyFloat width = x2 - x1;
    const TFzyFloat area = width * (y1 + y2) / 2;
    if (width <= 0 || area < remaining) {
      remaining -= area;
      return;
    }
    // Within the piece the area up to x1 + u is y1 u + slope u^2 / 2; its root in the
    // form that stays accurate when the slope is small or zero.
    const TFzyFloat slope = (y2 - y1) / width;
    const TFzyFloat root = std::sqrt(std::fmax(0.0, y1 * y1 + 2 * slope * remaining));
    const TFzyFloat denominator = y1 + root;
    result = denominator > 0 ? x1 + std::fmin(width, 2 * remaining / denominator) : x1;
    found = true;
  });
  return result;
}

// The region of greatest degree: its ends, and its middle weighted by width.
struct TMaxima {
  TFzyFloat Smallest = 0;
  TFzyFloat Largest = 0;
  TFzyFloat Mean = 0;
};

TMaxima Maxima(const TCleanPoints& points, TFzyFloat min, TFzyFloat max) {
  const TFzyFloat highest = points.MaximumY();
  const auto is_highest = [highest](TFzyFloat y) { return SameFloat(y, highest); };
  TMaxima maxima;
  bool any = false;
  TFzyFloat width = 0;
  TFzyFloat moment = 0;
  TFzyFloat point_sum = 0;
  int point_count = 0;
  const auto note = [&](TFzyFloat x1, TFzyFloat x2) {
    if (!any) maxima.Smallest = x1;
    any = true;
    maxima.Largest = x2;
  };
  ForEachPiece(points, min, max, [&](TFzyFloat x1, TFzyFloat y1, TFzyFloat x2, TFzyFloat y2) {
    if (is_highest(y1) && is_highest(y2)) {
      note(x1, x2);
      width += x2 - x1;
      moment += (x2 - x1) * (x1 + x2) / 2;
    } else if (is_highest(y1)) {
      note(x1, x1);
    } else if (is_highest(y2)) {
      note(x2, x2);
    }
  });
  for (int k = 0; k < points.GetCount(); ++k) {
    if (is_highest(points.GetY(k))) {
      point_sum += points.GetX(k);
      ++point_count;
    }
  }
  maxima.Mean = width > 0 ? moment / width : point_sum / point_count;
  return maxima;
}

}  // namespace

TFzyFloat Defuzzify(const TCleanPoints& points, TFzyFloat min, TFzyFloat max,
                    TDefuzzification method) {
  switch (method) {
    case TDefuzzification::Bisector:
      return Bisector(points, min, max);
    case TDefuzzification::MeanOfMaxima:
      return Maxima(points, min, max).Mean;
    case TDefuzzification::SmallestOfMaxima:
      return Maxima(points, min, max).Smallest;
    case TDefuzzification::LargestOfMaxima:
      return Maxima(points, min, max).Largest;
    default:
      return geometry::CenterOfGravity(points, min, max);
  }
}

}  // namespace tapwise::detail
