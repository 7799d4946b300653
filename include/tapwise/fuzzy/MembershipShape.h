#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

/// The membership functions of the field's exchange formats. Parameters are kept in the
/// order MATLAB's Fuzzy Logic Toolbox writes them where it has the shape, otherwise in
/// fuzzylite's order:
///
/// | kind        | parameters                | degree                                          |
/// |-------------|---------------------------|-------------------------------------------------|
/// | Triangle    | a b c                     | 0 at a, 1 at b, 0 at c, linear between          |
/// | Trapezoid   | a b c d                   | 0 at a, 1 from b to c, 0 at d                   |
/// | Rectangle   | start end                 | 1 within start..end, 0 outside                  |
/// | Ramp        | start end                 | 0 at start, 1 at end (falls when end < start)   |
/// | Discrete    | x1 y1 x2 y2 ...           | the points, ascending x, linear between         |
/// | Singleton   | x                         | 1 at x, 0 elsewhere (a spike)                   |
/// | Gaussian    | sigma c                   | exp(-(x-c)^2 / (2 sigma^2))                     |
/// | Gaussian2   | sigma1 c1 sigma2 c2       | left Gaussian below c1 times right above c2     |
/// | Bell        | a b c                     | 1 / (1 + |(x-c)/a|^(2b))                        |
/// | Sigmoid     | a c                       | 1 / (1 + exp(-a (x-c)))                         |
/// | DiffSigmoid | a1 c1 a2 c2               | |sigmoid(a1 c1) - sigmoid(a2 c2)|               |
/// | ProdSigmoid | a1 c1 a2 c2               | sigmoid(a1 c1) * sigmoid(a2 c2)                 |
/// | SShape      | a b                       | smooth 0 to 1 from a to b (two parabolas)       |
/// | ZShape      | a b                       | 1 - SShape                                      |
/// | PiShape     | a b c d                   | SShape(a b) then ZShape(c d)                    |
/// | Cosine      | centre width              | (1 + cos(2 pi (x-centre)/width)) / 2 within     |
/// |             |                           | centre +- width/2, 0 outside                    |
/// | Concave     | inflection end            | (end - inflection) / (2 end - inflection - x)   |
/// |             |                           | rising to 1 at end (mirrored when end < infl.)  |
///
/// The first six are piecewise linear and become point lists exactly; the others are
/// smooth and become point lists within `kShapeTolerance` of the true degree.
enum class TShapeKind : uint8_t {
  Triangle,
  Trapezoid,
  Rectangle,
  Ramp,
  Discrete,
  Singleton,
  Gaussian,
  Gaussian2,
  Bell,
  Sigmoid,
  DiffSigmoid,
  ProdSigmoid,
  SShape,
  ZShape,
  PiShape,
  Cosine,
  Concave,
};

/// The largest difference in degree between a smooth shape and its point list, anywhere in
/// the range the list was made for.
inline constexpr TFzyFloat kShapeTolerance = 1e-4;

/// One membership function: what it is and its parameters (see `TShapeKind`).
struct TMembershipShape {
  TShapeKind Kind = TShapeKind::Triangle;
  std::vector<TFzyFloat> Parameters;

  bool operator==(const TMembershipShape&) const = default;
};

/// One point of a shape's point list.
struct TShapePoint {
  TFzyFloat X = 0;
  TFzyFloat Y = 0;

  bool operator==(const TShapePoint&) const = default;
};

/// The kind's name in messages and in the documentation ("Gaussian", "Bell", ...).
std::string_view ShapeKindName(TShapeKind kind);
/// True for the kinds whose point list is exact.
bool IsPiecewiseLinear(TShapeKind kind);

/// EFzyException naming the shape and what is wrong ("Gaussian needs 2 parameters (sigma c),
/// not 3", "Gaussian sigma must not be 0", a non-finite parameter, discrete points out of
/// order) unless `shape` is well formed.
void CheckShape(const TMembershipShape& shape);

/// The true degree of `shape` at `x`, within 0..1 (the shape is checked). On a vertical edge
/// of a linear kind (a singleton, a triangle with a == b, discrete points sharing an X) it is
/// the edge's top, as a point list reads it.
TFzyFloat ShapeDegree(const TMembershipShape& shape, TFzyFloat x);

/// The point list of `shape` over `min`..`max` (min <= max), in ascending X, as the library's
/// point lists read it (linear between points, flat beyond the ends, vertical edges as two
/// points with the same X). The list spans the range: its first point lies at `min`, its last
/// at `max`, and a shape's corners outside the range are cut at the bounds. Piecewise-linear
/// kinds are exact; smooth kinds are subdivided until the line between neighbouring points is
/// within `kShapeTolerance` of the true degree everywhere in the range (at the X of a step, as
/// an S of a == b has, the list answers the step's top). A list longer than
/// `MaxFuzzySetPoints` raises EFzyException naming the kind. The shape is checked.
std::vector<TShapePoint> ShapePoints(const TMembershipShape& shape, TFzyFloat min, TFzyFloat max);

}  // namespace tapwise
