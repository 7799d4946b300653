// Arbitrary membership shapes over arbitrary ranges. A check either passes or raises the
// library's exception; a checked shape's point list spans the range in ascending X with
// degrees within 0..1 and no more points than a fuzzy set may hold (or says it would need
// more), and on ranges of ordinary size the list of a smooth shape with ordinary parameters
// stays within tolerance of the shape's degree between its points.

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/fuzzy/MembershipShape.h"
#include "tapwise/fuzzy/ShapeFunctions.h"

namespace tapwise::fuzzing {
namespace {

bool Ordinary(double value) {
  return std::abs(value) <= 1e6;
}

void CheckList(const TMembershipShape& shape, double min, double max,
               const std::vector<TShapePoint>& points) {
  Require(!points.empty() && points.front().X == min && points.back().X == max,
          "the list does not span the range");
  for (size_t i = 0; i < points.size(); ++i) {
    Require(points[i].Y >= 0 && points[i].Y <= 1, "a degree outside 0..1");
    Require(i == 0 || points[i - 1].X <= points[i].X, "points out of order");
  }
  Require(points.size() <= static_cast<size_t>(MaxFuzzySetPoints), "too many points");
  bool ordinary = Ordinary(min) && Ordinary(max) && max - min >= 1e-2;
  for (double parameter : shape.Parameters)
    ordinary = ordinary && Ordinary(parameter) && (parameter == 0 || std::abs(parameter) >= 1e-2);
  if (IsPiecewiseLinear(shape.Kind) || !ordinary) return;
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    if (points[i + 1].X - points[i].X < 1e-3) continue;  // the list's own tolerance rules there
    for (double t : {0.3, 0.5, 0.7}) {
      const double x = std::lerp(points[i].X, points[i + 1].X, t);
      const double listed =
          Interpolate(points[i].X, points[i].Y, points[i + 1].X, points[i + 1].Y, x);
      Require(std::abs(listed - ShapeDegree(shape, x)) <= kShapeTolerance,
              std::string(ShapeKindName(shape.Kind)) + " strays from its curve");
    }
  }
}

}  // namespace
}  // namespace tapwise::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tapwise;
  using namespace tapwise::fuzzing;
  FuzzInput input(data, size);
  if (input.Empty()) return 0;
  TMembershipShape shape;
  shape.Kind = static_cast<TShapeKind>(input.Int(0, static_cast<int>(TShapeKind::Concave) + 1));
  const int count = input.Int(0, 8);
  for (int i = 0; i < count; ++i)
    shape.Parameters.push_back(input.Float());
  const double min = input.Float();
  const double max = input.Float();
  try {
    CheckShape(shape);
  } catch (const Exception&) {
    return 0;
  }
  try {
    CheckList(shape, min, max, ShapePoints(shape, min, max));
  } catch (const Exception&) {
    // A range that is no range, or a list that would be too long.
  }
  return 0;
}
