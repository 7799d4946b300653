#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "tapwise/control/FuzzyController.h"
#include "tapwise/fuzzy/FuzzyLogic.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzyVariable.h"
#include "tapwise/fuzzy/ShapeFunctions.h"

namespace tapwise {
namespace {

using K = TShapeKind;

// ---- The smooth shapes written out from their textbook definitions.

double Gauss(double sigma, double c, double x) {
  return std::exp(-(x - c) * (x - c) / (2 * sigma * sigma));
}
double Logistic(double a, double c, double x) {
  return 1 / (1 + std::exp(-a * (x - c)));
}
double Smooth(double a, double b, double x) {
  if (x <= a) return 0;
  if (x >= b) return 1;
  const double t = (x - a) / (b - a);
  return t <= 0.5 ? 2 * t * t : 1 - 2 * (1 - t) * (1 - t);
}

double TrueDegree(const TMembershipShape& shape, double x) {
  const std::vector<double>& p = shape.Parameters;
  switch (shape.Kind) {
    case K::Gaussian:
      return Gauss(p[0], p[1], x);
    case K::Gaussian2:
      return (x <= p[1] ? Gauss(p[0], p[1], x) : 1) * (x >= p[3] ? Gauss(p[2], p[3], x) : 1);
    case K::Bell:
      return 1 / (1 + std::pow(std::abs((x - p[2]) / p[0]), 2 * p[1]));
    case K::Sigmoid:
      return Logistic(p[0], p[1], x);
    case K::DiffSigmoid:
      return std::abs(Logistic(p[0], p[1], x) - Logistic(p[2], p[3], x));
    case K::ProdSigmoid:
      return Logistic(p[0], p[1], x) * Logistic(p[2], p[3], x);
    case K::SShape:
      return Smooth(p[0], p[1], x);
    case K::ZShape:
      return 1 - Smooth(p[0], p[1], x);
    case K::PiShape:
      return Smooth(p[0], p[1], x) * (1 - Smooth(p[2], p[3], x));
    case K::Cosine:
      return std::abs(x - p[0]) > p[1] / 2
                 ? 0
                 : 0.5 + 0.5 * std::cos(2 * std::numbers::pi * (x - p[0]) / p[1]);
    case K::Concave: {
      const double i = p[0];
      const double e = p[1];
      if (i <= e) return x >= e ? 1 : (e - i) / (2 * e - i - x);
      return x <= e ? 1 : (i - e) / (i - 2 * e + x);
    }
    default:
      return -1;
  }
}

// ---- Random smooth shapes over random ranges: narrow and wide, steep and gentle, partly
// ---- or wholly outside the range.

struct TCase {
  TMembershipShape Shape;
  double Min, Max;
};

class TShapeDice {
 public:
  explicit TShapeDice(unsigned seed) : FEngine(seed) {}

  TCase Roll(K kind) {
    const double min = Uniform(-50, 50);
    const double max = min + Scale(0, 2.5);
    auto place = [&] { return Uniform(min - 0.25 * (max - min), max + 0.25 * (max - min)); };
    auto signed_scale = [&](double low, double high) {
      return (Uniform(0, 1) < 0.5 ? -1 : 1) * Scale(low, high);
    };
    std::vector<double> p;
    switch (kind) {
      case K::Gaussian:
        p = {signed_scale(-1.5, 1.5), place()};
        break;
      case K::Gaussian2:
        p = {signed_scale(-1.5, 1.5), place(), signed_scale(-1.5, 1.5), place()};
        break;
      case K::Bell:
        p = {signed_scale(-1.5, 1.5), signed_scale(-0.7, 1.3), place()};
        break;
      case K::Sigmoid:
        p = {signed_scale(-1.5, 2), place()};
        break;
      case K::DiffSigmoid:
      case K::ProdSigmoid:
        p = {signed_scale(-1.5, 2), place(), signed_scale(-1.5, 2), place()};
        break;
      case K::SShape:
      case K::ZShape: {
        const double a = place();
        p = {a, a + Scale(-1.5, 1.5)};
        break;
      }
      case K::PiShape: {
        p = {place()};
        for (int i = 0; i < 3; ++i)
          p.push_back(p.back() + (Uniform(0, 1) < 0.1 ? 0 : Scale(-1.5, 1.5)));
        break;
      }
      case K::Cosine:
        p = {place(), Scale(-1, 2)};
        break;
      case K::Concave: {
        const double end = place();
        p = {end + signed_scale(-1.5, 1.5), end};
        break;
      }
      default:
        break;
    }
    return {{kind, p}, min, max};
  }

 private:
  std::mt19937_64 FEngine;

  double Uniform(double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(FEngine);
  }
  double Scale(double low_exponent, double high_exponent) {
    return std::pow(10.0, Uniform(low_exponent, high_exponent));
  }
};

// The degree of a point list as the library's point lists read it.
double ListDegree(const std::vector<TShapePoint>& points, double x) {
  return MembershipAt(
      static_cast<int>(points.size()), [&](int i) { return points[static_cast<size_t>(i)].X; },
      [&](int i) { return points[static_cast<size_t>(i)].Y; }, x);
}

// The X at which a list is read: dense over the range, the middle and the sample points of
// every segment, and either side of every point; exactly at a step the list answers the
// step's top, so not there.
std::vector<double> ProbeXs(const std::vector<TShapePoint>& points, double min, double max) {
  std::vector<double> xs;
  std::vector<double> steps;
  for (int i = 0; i <= 200; ++i)
    xs.push_back(min + (max - min) * i / 200);
  for (size_t i = 0; i < points.size(); ++i) {
    const double x = points[i].X;
    const double nudge = 1e-9 * (1 + std::abs(x));
    xs.insert(xs.end(), {x - nudge, x + nudge});
    if (i + 1 == points.size()) break;
    if (points[i + 1].X == x) steps.push_back(x);
    for (double t : {0.29, 0.5, 0.71})
      xs.push_back(x + (points[i + 1].X - x) * t);
  }
  std::erase_if(xs, [&](double x) {
    return x < min || x > max || std::find(steps.begin(), steps.end(), x) != steps.end();
  });
  return xs;
}

// Thousands of lists read as the library reads them, every tenth through a term of a
// controller, which must keep every point.
TEST(ShapedTerms, SmoothListsStayWithinToleranceOfTheTrueCurve) {
  const std::vector<K> kinds = {K::Gaussian,    K::Gaussian2,   K::Bell,   K::Sigmoid,
                                K::DiffSigmoid, K::ProdSigmoid, K::SShape, K::ZShape,
                                K::PiShape,     K::Cosine,      K::Concave};
  for (K kind : kinds) {
    TShapeDice dice(1000 + static_cast<unsigned>(kind));
    size_t most_points = 0;
    for (int n = 0; n < 500; ++n) {
      const TCase c = dice.Roll(kind);
      SCOPED_TRACE(std::string(ShapeKindName(kind)) + " #" + std::to_string(n));
      const std::vector<TShapePoint> points = ShapePoints(c.Shape, c.Min, c.Max);
      ASSERT_EQ(points.front().X, c.Min);
      ASSERT_EQ(points.back().X, c.Max);
      most_points = std::max(most_points, points.size());
      const std::vector<double> xs = ProbeXs(points, c.Min, c.Max);
      for (double x : xs)
        ASSERT_NEAR(ListDegree(points, x), TrueDegree(c.Shape, x), kShapeTolerance) << x;
      if (n % 10 != 0) continue;
      TFuzzyController controller;
      controller.AddVariable("x", c.Min, c.Max);
      const TFuzzySet& term = controller.AddTerm("x", "t", c.Shape);
      ASSERT_EQ(controller.FindTermShape("x", "t"), c.Shape);
      for (double x : xs)
        ASSERT_EQ(term.GetMembership(x), ListDegree(points, x)) << x;
    }
    EXPECT_LT(most_points, 2000u) << ShapeKindName(kind);
  }
}

TEST(ShapedTerms, TheShapeIsKnownWhileTheTermKeepsItsPoints) {
  TFuzzyController controller;
  controller.AddVariable("temp", 0, 40);
  const TMembershipShape warm = {K::Gaussian, {4, 22}};
  const TMembershipShape cold = {K::Trapezoid, {-5, 0, 8, 14}};
  controller.AddTerm("temp", "warm", warm);
  controller.AddTerm("temp", "cold", cold);
  controller.AddTerm("temp", "hot", "((25 0) (40 1))");
  EXPECT_EQ(controller.FindTermShape("temp", "warm"), warm);
  EXPECT_EQ(controller.FindTermShape("temp", "cold"), cold);
  EXPECT_EQ(controller.FindTermShape("temp", "hot"), std::nullopt);
  EXPECT_EQ(controller.FindTermShape("pressure", "warm"), std::nullopt);
  // A singleton's three points on one X survive the point list as they are.
  const TMembershipShape spike = {K::Singleton, {30}};
  controller.AddTerm("temp", "spike", spike);
  EXPECT_EQ(controller.FindTermShape("temp", "spike"), spike);
  // Changed through the fuzzy logic, the term no longer is the shape.
  TFuzzyVariable& temp = *controller.GetFuzzyLogic().GetVariable("temp");
  temp.GetItems().GetSet(0)->AddPoint(23, 0.5);
  EXPECT_EQ(controller.FindTermShape("temp", "warm"), std::nullopt);
  EXPECT_EQ(controller.FindTermShape("temp", "cold"), cold);
}

}  // namespace
}  // namespace tapwise
