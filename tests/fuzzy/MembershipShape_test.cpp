#include "tapwise/fuzzy/MembershipShape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "support/ExpectThrow.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise {
namespace {

using K = TShapeKind;
using Points = std::vector<TShapePoint>;

TEST(MembershipShape, NamesAndLinearKinds) {
  EXPECT_EQ(ShapeKindName(K::Triangle), "Triangle");
  EXPECT_EQ(ShapeKindName(K::Gaussian2), "Gaussian2");
  EXPECT_EQ(ShapeKindName(K::Concave), "Concave");
  EXPECT_TRUE(IsPiecewiseLinear(K::Singleton));
  EXPECT_TRUE(IsPiecewiseLinear(K::Discrete));
  EXPECT_FALSE(IsPiecewiseLinear(K::Gaussian));
  EXPECT_FALSE(IsPiecewiseLinear(K::Cosine));
}

TEST(MembershipShape, CheckNamesTheKindAndWhatIsWrong) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_THROW_MSG(CheckShape({K::Gaussian, {1, 2, 3}}), EFzyException,
                   "Gaussian needs 2 parameters (sigma c), not 3");
  EXPECT_THROW_MSG(CheckShape({K::Singleton, {}}), EFzyException,
                   "Singleton needs 1 parameter (x), not 0");
  EXPECT_THROW_MSG(CheckShape({K::Discrete, {0, 1, 2}}), EFzyException,
                   "Discrete needs pairs of parameters (x1 y1 x2 y2 ...), not 3");
  EXPECT_THROW_MSG(CheckShape({K::Gaussian, {0, 5}}), EFzyException,
                   "Gaussian sigma must not be 0");
  EXPECT_THROW_MSG(CheckShape({K::Gaussian2, {1, 0, 0, 1}}), EFzyException,
                   "Gaussian2 sigma2 must not be 0");
  EXPECT_THROW_MSG(CheckShape({K::Bell, {2, nan, 0}}), EFzyException,
                   "Bell parameter b is not a finite number");
  EXPECT_THROW_MSG(CheckShape({K::Triangle, {0, 5, 4}}), EFzyException,
                   "Triangle needs a <= b <= c");
  EXPECT_THROW_MSG(CheckShape({K::Rectangle, {2, 1}}), EFzyException,
                   "Rectangle needs start <= end");
  EXPECT_THROW_MSG(CheckShape({K::Ramp, {3, 3}}), EFzyException, "Ramp start and end must differ");
  EXPECT_THROW_MSG(CheckShape({K::Cosine, {0, -1}}), EFzyException,
                   "Cosine width must be greater than 0");
  EXPECT_THROW_MSG(CheckShape({K::Discrete, {0, 0, 2, 1, 1, 0}}), EFzyException,
                   "Discrete x3 is less than x2");
  EXPECT_THROW_MSG(CheckShape({K::Discrete, {0, 0, 2, 1.5}}), EFzyException,
                   "Discrete y2 is outside 0..1");
  // Degenerate but defined.
  EXPECT_NO_THROW(CheckShape({K::Triangle, {1, 1, 1}}));
  EXPECT_NO_THROW(CheckShape({K::SShape, {2, 2}}));
  EXPECT_NO_THROW(CheckShape({K::Discrete, {1, 0, 1, 1}}));
}

TEST(MembershipShape, DegreesAtWorkedPoints) {
  auto at = [](TMembershipShape shape, double x) { return ShapeDegree(shape, x); };
  EXPECT_DOUBLE_EQ(at({K::Triangle, {0, 4, 6}}, 1), 0.25);
  EXPECT_DOUBLE_EQ(at({K::Triangle, {2, 2, 6}}, 2), 1);  // the top of a vertical edge
  EXPECT_DOUBLE_EQ(at({K::Trapezoid, {0, 2, 3, 7}}, 6), 0.25);
  EXPECT_DOUBLE_EQ(at({K::Ramp, {8, 4}}, 7), 0.25);
  EXPECT_DOUBLE_EQ(at({K::Discrete, {0, 0.2, 4, 0.6}}, 1), 0.3);
  EXPECT_DOUBLE_EQ(at({K::Discrete, {0, 0.2, 4, 0.6}}, 9), 0.6);
  EXPECT_DOUBLE_EQ(at({K::Singleton, {3}}, 3), 1);
  EXPECT_DOUBLE_EQ(at({K::Singleton, {3}}, 3.001), 0);
  // The smooth kinds at a few closed forms (the shaped-term test covers them at large).
  EXPECT_DOUBLE_EQ(at({K::Gaussian, {-2, 1}}, 3), std::exp(-0.5));
  EXPECT_DOUBLE_EQ(at({K::Gaussian2, {1, 0, 2, 5}}, 9), std::exp(-2));
  EXPECT_DOUBLE_EQ(at({K::Bell, {2, 1, 1}}, 5), 0.2);
  EXPECT_DOUBLE_EQ(at({K::ProdSigmoid, {1, 0, -1, 0}}, 0), 0.25);
  EXPECT_NEAR(at({K::Cosine, {5, 4}}, 6), 0.5, 1e-15);
  EXPECT_DOUBLE_EQ(at({K::Concave, {2, 4}}, 2), 0.5);
  EXPECT_DOUBLE_EQ(at({K::Concave, {6, 4}}, 8), 1.0 / 3);
  // Extreme parameters stay within 0..1.
  EXPECT_EQ(at({K::Bell, {1, -2, 0}}, 0), 0);
  EXPECT_EQ(at({K::Sigmoid, {1e300, 0}}, -1e300), 0);
}

TEST(MembershipShape, LinearKindsBecomeExactListsCutAtTheBounds) {
  EXPECT_EQ(ShapePoints({K::Triangle, {-4, 0, 4}}, -2, 10),
            (Points{{-2, 0.5}, {0, 1}, {4, 0}, {10, 0}}));
  EXPECT_EQ(ShapePoints({K::Trapezoid, {0, 4, 6, 10}}, 2, 8),
            (Points{{2, 0.5}, {4, 1}, {6, 1}, {8, 0.5}}));
  EXPECT_EQ(ShapePoints({K::Rectangle, {0, 4}}, 0, 10),
            (Points{{0, 0}, {0, 1}, {4, 1}, {4, 0}, {10, 0}}));
  EXPECT_EQ(ShapePoints({K::Ramp, {8, 4}}, 0, 6), (Points{{0, 1}, {4, 1}, {6, 0.5}}));
  EXPECT_EQ(ShapePoints({K::Discrete, {-2, 0, 1, 0.5, 1, 1, 19, 0}}, 0, 10),
            (Points{{0, 1.0 / 3}, {1, 0.5}, {1, 1}, {10, 0.5}}));
  EXPECT_EQ(ShapePoints({K::Singleton, {3}}, 0, 10),
            (Points{{0, 0}, {3, 0}, {3, 1}, {3, 0}, {10, 0}}));
  EXPECT_EQ(ShapePoints({K::Singleton, {30}}, 0, 10), (Points{{0, 0}, {10, 0}}));
  // Degenerate: a triangle with one vertical edge, a zero-width rectangle.
  EXPECT_EQ(ShapePoints({K::Triangle, {2, 2, 6}}, 0, 10),
            (Points{{0, 0}, {2, 0}, {2, 1}, {6, 0}, {10, 0}}));
  EXPECT_EQ(ShapePoints({K::Rectangle, {5, 5}}, 0, 10),
            (Points{{0, 0}, {5, 0}, {5, 1}, {5, 0}, {10, 0}}));
  EXPECT_EQ(ShapePoints({K::Ramp, {0, 1}}, 4, 4), (Points{{4, 1}}));
}

TEST(MembershipShape, SmoothListsSpanTheRangeAndStepWhereTheCurveSteps) {
  const Points gauss = ShapePoints({K::Gaussian, {1, 0}}, -5, 5);
  EXPECT_EQ(gauss.front().X, -5);
  EXPECT_EQ(gauss.back().X, 5);
  EXPECT_LT(gauss.size(), 200u);
  // An S of no width is a step: two points on one X.
  EXPECT_EQ(ShapePoints({K::SShape, {5, 5}}, 0, 10), (Points{{0, 0}, {5, 0}, {5, 1}, {10, 1}}));
  EXPECT_EQ(ShapePoints({K::Concave, {5, 5}}, 0, 10), (Points{{0, 0}, {5, 0}, {5, 1}, {10, 1}}));
  EXPECT_THROW_MSG(ShapePoints({K::Gaussian, {1, 0}}, 1, 0), EFzyException,
                   "Invalid range arguments.  Left (1.0000) is greater than right (0.0000)");
}

TEST(MembershipShape, ExtremeShapesStayBounded) {
  // Each either fits within the library's limit of points or says it would not.
  const std::vector<std::tuple<TMembershipShape, double, double>> cases = {
      {{K::Sigmoid, {1e12, 0}}, -1e12, 1e12},
      {{K::Gaussian, {1e-12, 3}}, -1e12, 1e12},
      {{K::Gaussian, {1e-301, 0}}, -1e-300, 1e-300},
      {{K::Sigmoid, {1e300, 0.5}}, 0, 1},
      {{K::Sigmoid, {1e300, 1}}, 0, 2},
      {{K::Concave, {1.7976931348623157e308, -4}}, -1.7976931348623157e308, 5.76e304},
      {{K::Bell, {1, 1e-3, 0}}, -3, 3},
      {{K::Gaussian, {1, 0}}, -1e308, 1e308},
      {{K::Bell, {1e-300, 1e-300, 0}}, -1e300, 1e300},
      // Edges whose width overflows a double.
      {{K::Ramp, {2.6e307, -1.79e308}}, 5.9e306, 5.9e306},
      {{K::Triangle, {-1.7e308, 0, 1.7e308}}, -1e308, 1e308}};
  for (const auto& [shape, min, max] : cases) {
    try {
      const Points points = ShapePoints(shape, min, max);
      EXPECT_EQ(points.front().X, min);
      EXPECT_EQ(points.back().X, max);
      EXPECT_LE(points.size(), static_cast<size_t>(MaxFuzzySetPoints));
      for (const TShapePoint& point : points)
        EXPECT_TRUE(point.Y >= 0 && point.Y <= 1) << point.X;
      EXPECT_TRUE(ShapeDegree(shape, (min + max) / 2) >= 0);
    } catch (const EFzyException& error) {
      EXPECT_NE(std::string(error.what()).find("needs more than 10000 points"), std::string::npos)
          << error.what();
    }
  }
}

}  // namespace
}  // namespace tapwise
