#include <algorithm>
#include <cmath>
#include <numeric>

#include "FiniteCheck.h"
#include "ShapeCurves.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/MembershipShape.h"
#include "tapwise/fuzzy/ShapeFunctions.h"

namespace tapwise {

namespace {

// A chord is sampled at the inner points of kChordSteps equal steps. Between two breaks its
// error is a concave function of X that vanishes at both ends (the curve is convex or concave
// there), and such a function exceeds its largest sample by at most (n + 1) / n for n = 8, the
// middle step (the maximum in step i of 17 leaves at least i / (i + 1) of it at the step's left
// end, (16 - i) / (17 - i) at its right). Sampled within 0.75 of the tolerance, the chord is
// then within 0.85 of it everywhere, the rest left to rounding.
constexpr int kChordSteps = 17;
constexpr TFzyFloat kSampledTolerance = 0.75 * kShapeTolerance;

// Keeps the points a linear shape has within the range and cuts its edges at the bounds.
std::vector<TShapePoint> CutCorners(const std::vector<TShapePoint>& corners, TFzyFloat min,
                                    TFzyFloat max) {
  // Read at half scale: the halves of two finite X never differ by more than a double holds.
  auto value_at = [&corners](TFzyFloat x) {
    return MembershipAt(
        static_cast<int>(corners.size()),
        [&](int i) { return corners[static_cast<size_t>(i)].X / 2; },
        [&](int i) { return corners[static_cast<size_t>(i)].Y; }, x / 2);
  };
  auto has_corner_at = [&corners](TFzyFloat x) {
    return std::any_of(corners.begin(), corners.end(),
                       [x](const TShapePoint& corner) { return corner.X == x; });
  };
  std::vector<TShapePoint> points;
  if (!has_corner_at(min)) points.push_back({min, value_at(min)});
  for (const TShapePoint& corner : corners) {
    if (min <= corner.X && corner.X <= max) points.push_back(corner);
  }
  const TShapePoint last = {max, value_at(max)};
  if (!has_corner_at(max) && points.back() != last) points.push_back(last);
  return points;
}

// Samples a smooth shape: a point at every break and between them as few as keep each chord
// within tolerance, found by galloping then bisecting along the curve.
class TCurveSampler {
 public:
  TCurveSampler(const TMembershipShape& shape, TFzyFloat min, TFzyFloat max)
      : FShape(shape), FMin(min), FMax(max) {}

  std::vector<TShapePoint> Points() {
    std::vector<detail::TCurveBreak> breaks = detail::SmoothBreaks(FShape);
    std::erase_if(breaks, [this](const detail::TCurveBreak& at) {
      return !(FMin < at.X && at.X < FMax) && !(at.Jump && (at.X == FMin || at.X == FMax));
    });
    breaks.push_back({FMin});
    breaks.push_back({FMax});
    std::sort(breaks.begin(), breaks.end(), [](const auto& a, const auto& b) {
      return a.X < b.X || (a.X == b.X && a.Jump > b.Jump);
    });
    breaks.erase(std::unique(breaks.begin(), breaks.end(),
                             [](const auto& a, const auto& b) { return a.X == b.X; }),
                 breaks.end());
    for (size_t i = 0; i < breaks.size(); ++i) {
      const TFzyFloat x = breaks[i].X;
      const bool jump = breaks[i].Jump;
      // A step has two points on its X: the curve's limits from the left and from the right
      // (at a bound of the range, the degree there stands for the side outside).
      const TShapePoint left = {x, At(jump && x != FMin ? std::nextafter(x, FMin) : x)};
      const TShapePoint right = {x, At(jump && x != FMax ? std::nextafter(x, FMax) : x)};
      if (i > 0) FillTo(left);
      AddBreak(left);
      if (right != left) AddBreak(right);
    }
    return std::move(FPoints);
  }

 private:
  const TMembershipShape& FShape;
  TFzyFloat FMin;
  TFzyFloat FMax;
  std::vector<TShapePoint> FPoints;

  TFzyFloat At(TFzyFloat x) const { return detail::CurveDegree(FShape, x); }
  TShapePoint Sample(TFzyFloat x) const { return {x, At(x)}; }

  // A point list keeps the first of two points equal within its tolerance. So does the
  // sampler with a break that close to the point before it (two breaks of a shape may lie
  // that close), and it measures the next chord from the point it kept; the list's last
  // point stays at the range's end whatever the list then makes of it.
  void AddBreak(TShapePoint point) {
    if (!FPoints.empty() && point.X != FMax && SameFloat(point.X, FPoints.back().X) &&
        SameFloat(point.Y, FPoints.back().Y))
      return;
    Add(point);
  }

  void Add(TShapePoint point) {
    if (FPoints.size() >= static_cast<size_t>(MaxFuzzySetPoints))
      throw EFzyException(Format(messages::kShapeTooFine, ShapeKindName(FShape.Kind),
                                 ExactFloatToStr(FMin), ExactFloatToStr(FMax), MaxFuzzySetPoints));
    FPoints.push_back(point);
  }

  // Two neighbouring numbers have nothing between them for a chord to miss.
  bool Fits(TShapePoint from, TShapePoint to) const {
    const TFzyFloat middle = std::midpoint(from.X, to.X);
    if (middle <= from.X || middle >= to.X) return true;
    for (int i = 1; i < kChordSteps; ++i) {
      const TFzyFloat x = std::lerp(from.X, to.X, static_cast<TFzyFloat>(i) / kChordSteps);
      if (std::abs(Interpolate(from.X, from.Y, to.X, to.Y, x) - At(x)) > kSampledTolerance)
        return false;
    }
    return true;
  }

  // The points strictly between the last point and `to`.
  void FillTo(TShapePoint to) {
    TShapePoint from = FPoints.back();
    // The chord just placed: the next one is likely about as wide.
    TFzyFloat width = 0;
    while (!Fits(from, to)) {
      TFzyFloat fits = from.X;
      TFzyFloat fails = to.X;
      for (TFzyFloat probe = from.X + width; from.X < probe && probe < fails;) {
        if (!Fits(from, Sample(probe))) {
          fails = probe;
          break;
        }
        fits = probe;
        // Rounding may stop the gallop (doubling a step into the next binade).
        const TFzyFloat further = from.X + 2 * (probe - from.X);
        if (further <= probe) break;
        probe = further;
      }
      // Within an eighth of the widest chord is near enough.
      for (TFzyFloat middle = std::midpoint(fits, fails); fits < middle && middle < fails;
           middle = std::midpoint(fits, fails)) {
        if (fits > from.X && fails - fits <= (fits - from.X) / 8) break;
        (Fits(from, Sample(middle)) ? fits : fails) = middle;
      }
      // With nothing between `from` and `fails`, that chord fits.
      const TFzyFloat next = fits > from.X ? fits : fails;
      width = next - from.X;
      Add(Sample(next));
      from = FPoints.back();
    }
  }
};

}  // namespace

std::vector<TShapePoint> ShapePoints(const TMembershipShape& shape, TFzyFloat min, TFzyFloat max) {
  CheckShape(shape);
  CheckFinite(min, "ShapePoints", "Min");
  CheckFinite(max, "ShapePoints", "Max");
  if (min > max) throw EFzyException(Format(messages::kInvalidRangeArguments, min, max));
  if (IsPiecewiseLinear(shape.Kind)) return CutCorners(detail::LinearCorners(shape), min, max);
  return TCurveSampler(shape, min, max).Points();
}

}  // namespace tapwise
