#include "ShapeCurves.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <numeric>

#include "tapwise/fuzzy/ShapeFunctions.h"

namespace tapwise::detail {

namespace {

// Also maps NaN (an overflow of extreme parameters, inf - inf) to 0.
TFzyFloat Unit(TFzyFloat y) {
  return y >= 0 ? (y <= 1 ? y : 1) : 0;
}

TFzyFloat Gauss(TFzyFloat sigma, TFzyFloat c, TFzyFloat x) {
  const TFzyFloat u = (x - c) / sigma;
  return std::exp(-u * u / 2);
}

TFzyFloat Sigmoid(TFzyFloat a, TFzyFloat c, TFzyFloat x) {
  // A slope of 0 is flat; tested first so that 0 * inf never arises.
  if (a == 0) return 0.5;
  return 1 / (1 + std::exp(-a * (x - c)));
}

TFzyFloat ZCurve(TFzyFloat a, TFzyFloat b, TFzyFloat x) {
  return 1 - SCurveDegree(x, a, b);
}

TFzyFloat Concave(TFzyFloat inflection, TFzyFloat end, TFzyFloat x) {
  // Written with differences only, so that no 2 * end can overflow.
  if (inflection <= end) {
    if (x >= end) return 1;
    return (end - inflection) / ((end - inflection) + (end - x));
  }
  if (x <= end) return 1;
  return (inflection - end) / ((inflection - end) + (x - end));
}

// At an X several points share (a vertical edge), the top, as the library's point lists read it.
TFzyFloat DiscreteDegree(const std::vector<TFzyFloat>& p, TFzyFloat x) {
  const size_t count = p.size() / 2;
  for (size_t i = 0; i < count; ++i) {
    const TFzyFloat xi = p[2 * i];
    if (xi == x) {
      TFzyFloat top = p[2 * i + 1];
      for (size_t j = i + 1; j < count && p[2 * j] == x; ++j)
        top = std::fmax(top, p[2 * j + 1]);
      return top;
    }
    if (xi > x) return i == 0 ? p[1] : Interpolate(p[2 * i - 2], p[2 * i - 1], xi, p[2 * i + 1], x);
  }
  return p[2 * count - 1];
}

// How far `x` lies along from..to (from != to), in halves so that no difference of two
// finite numbers overflows.
TFzyFloat Along(TFzyFloat x, TFzyFloat from, TFzyFloat to) {
  return (x / 2 - from / 2) / (to / 2 - from / 2);
}

TFzyFloat Degree(TShapeKind kind, const std::vector<TFzyFloat>& p, TFzyFloat x) {
  switch (kind) {
    case TShapeKind::Triangle:
      if (x < p[0] || x > p[2]) return 0;
      if (x < p[1]) return Along(x, p[0], p[1]);
      if (x == p[1]) return 1;
      return Along(x, p[2], p[1]);
    case TShapeKind::Trapezoid:
      if (x < p[0] || x > p[3]) return 0;
      if (x < p[1]) return Along(x, p[0], p[1]);
      if (x <= p[2]) return 1;
      return Along(x, p[3], p[2]);
    case TShapeKind::Rectangle:
      return p[0] <= x && x <= p[1] ? 1 : 0;
    case TShapeKind::Ramp:
      if (p[0] < p[1]) return x <= p[0] ? 0 : x >= p[1] ? 1 : Along(x, p[0], p[1]);
      return x <= p[1] ? 1 : x >= p[0] ? 0 : Along(x, p[0], p[1]);
    case TShapeKind::Discrete:
      return DiscreteDegree(p, x);
    case TShapeKind::Singleton:
      return x == p[0] ? 1 : 0;
    case TShapeKind::Gaussian:
      return Gauss(p[0], p[1], x);
    case TShapeKind::Gaussian2:
      return (x < p[1] ? Gauss(p[0], p[1], x) : 1) * (x > p[3] ? Gauss(p[2], p[3], x) : 1);
    case TShapeKind::Bell:
      return 1 / (1 + std::pow(std::abs((x - p[2]) / p[0]), 2 * p[1]));
    case TShapeKind::Sigmoid:
      return Sigmoid(p[0], p[1], x);
    case TShapeKind::DiffSigmoid:
      return std::abs(Sigmoid(p[0], p[1], x) - Sigmoid(p[2], p[3], x));
    case TShapeKind::ProdSigmoid:
      return Sigmoid(p[0], p[1], x) * Sigmoid(p[2], p[3], x);
    case TShapeKind::SShape:
      return SCurveDegree(x, p[0], p[1]);
    case TShapeKind::ZShape:
      return ZCurve(p[0], p[1], x);
    case TShapeKind::PiShape:
      return SCurveDegree(x, p[0], p[1]) * ZCurve(p[2], p[3], x);
    case TShapeKind::Cosine:
      if (x < p[0] - p[1] / 2 || x > p[0] + p[1] / 2) return 0;
      return (1 + std::cos(2 * std::numbers::pi * (x - p[0]) / p[1])) / 2;
    case TShapeKind::Concave:
      return Concave(p[0], p[1], x);
  }
  return 0;
}

// The second derivative of a sigmoid and its first, from the sigmoid's value.
struct TSigmoidSlopes {
  TFzyFloat Value, First, Second;
};
TSigmoidSlopes SigmoidSlopes(TFzyFloat a, TFzyFloat c, TFzyFloat x) {
  const TFzyFloat s = Sigmoid(a, c, x);
  const TFzyFloat first = a * s * (1 - s);
  return {s, first, a * first * (1 - 2 * s)};
}

// The curvature of the two-sigmoid shapes, whose inflections have no closed form.
TFzyFloat SigmoidPairCurvature(TShapeKind kind, const std::vector<TFzyFloat>& p, TFzyFloat x) {
  const TSigmoidSlopes one = SigmoidSlopes(p[0], p[1], x);
  const TSigmoidSlopes two = SigmoidSlopes(p[2], p[3], x);
  if (kind == TShapeKind::DiffSigmoid) return one.Second - two.Second;
  return one.Second * two.Value + 2 * one.First * two.First + one.Value * two.Second;
}

// The inflections of a two-sigmoid shape: sign changes of its curvature, sought where each
// sigmoid still bends (beyond 40 / |slope| from its centre it is flat to within e^-40, too
// little to matter for any chord), then narrowed down by bisection.
void AddSigmoidPairInflections(TShapeKind kind, const std::vector<TFzyFloat>& p,
                               std::vector<TCurveBreak>& breaks) {
  constexpr int kScanSteps = 512;
  constexpr TFzyFloat kReach = 40;
  for (int pair = 0; pair < 2; ++pair) {
    const TFzyFloat slope = std::abs(p[2 * pair]);
    if (slope == 0) continue;
    const TFzyFloat from = p[2 * pair + 1] - kReach / slope;
    const TFzyFloat to = p[2 * pair + 1] + kReach / slope;
    if (!std::isfinite(from) || !std::isfinite(to)) continue;
    TFzyFloat x0 = from;
    TFzyFloat v0 = SigmoidPairCurvature(kind, p, x0);
    for (int i = 1; i <= kScanSteps; ++i) {
      const TFzyFloat x1 = std::lerp(from, to, static_cast<TFzyFloat>(i) / kScanSteps);
      const TFzyFloat v1 = SigmoidPairCurvature(kind, p, x1);
      if (v1 == 0) breaks.push_back({x1});
      if ((v0 < 0 && v1 > 0) || (v0 > 0 && v1 < 0)) {
        TFzyFloat lo = x0;
        TFzyFloat hi = x1;
        for (int step = 0; step < 64; ++step) {
          const TFzyFloat mid = std::midpoint(lo, hi);
          if (mid <= lo || mid >= hi) break;
          const bool same_as_lo = (SigmoidPairCurvature(kind, p, mid) < 0) == (v0 < 0);
          (same_as_lo ? lo : hi) = mid;
        }
        breaks.push_back({lo});
        breaks.push_back({hi});
      }
      x0 = x1;
      v0 = v1;
    }
  }
}

}  // namespace

TFzyFloat CurveDegree(const TMembershipShape& shape, TFzyFloat x) {
  return Unit(Degree(shape.Kind, shape.Parameters, x));
}

std::vector<TShapePoint> LinearCorners(const TMembershipShape& shape) {
  const std::vector<TFzyFloat>& p = shape.Parameters;
  std::vector<TShapePoint> corners;
  switch (shape.Kind) {
    case TShapeKind::Triangle:
      corners = {{p[0], 0}, {p[1], 1}, {p[2], 0}};
      break;
    case TShapeKind::Trapezoid:
      corners = {{p[0], 0}, {p[1], 1}, {p[2], 1}, {p[3], 0}};
      break;
    case TShapeKind::Rectangle:
      corners = {{p[0], 0}, {p[0], 1}, {p[1], 1}, {p[1], 0}};
      break;
    case TShapeKind::Ramp:
      if (p[0] < p[1]) {
        corners = {{p[0], 0}, {p[1], 1}};
      } else {
        corners = {{p[1], 1}, {p[0], 0}};
      }
      break;
    case TShapeKind::Discrete:
      for (size_t i = 0; i + 1 < p.size(); i += 2)
        corners.push_back({p[i], p[i + 1]});
      break;
    case TShapeKind::Singleton:
      corners = {{p[0], 0}, {p[0], 1}, {p[0], 0}};
      break;
    default:
      break;
  }
  // A point list keeps one of two equal points; a degenerate shape repeats a corner.
  corners.erase(std::unique(corners.begin(), corners.end()), corners.end());
  return corners;
}

std::vector<TCurveBreak> SmoothBreaks(const TMembershipShape& shape) {
  const std::vector<TFzyFloat>& p = shape.Parameters;
  switch (shape.Kind) {
    case TShapeKind::Gaussian:
      return {{p[1] - std::abs(p[0])}, {p[1]}, {p[1] + std::abs(p[0])}};
    case TShapeKind::Gaussian2: {
      std::vector<TCurveBreak> breaks = {
          {p[1] - std::abs(p[0])}, {p[1]}, {p[3]}, {p[3] + std::abs(p[2])}};
      if (p[1] > p[3]) {
        // Between the centres both halves count: their product is one Gaussian.
        const TFzyFloat ratio = p[0] / p[2];
        const TFzyFloat weight = 1 / (1 + ratio * ratio);
        const TFzyFloat centre = p[3] + (p[1] - p[3]) * weight;
        const TFzyFloat sigma = std::abs(p[0]) * std::sqrt(weight);
        breaks.insert(breaks.end(), {{centre - sigma}, {centre}, {centre + sigma}});
      }
      return breaks;
    }
    case TShapeKind::Bell: {
      const TFzyFloat width = std::abs(p[0]);
      std::vector<TCurveBreak> breaks = {{p[2] - width}, {p[2]}, {p[2] + width}};
      // The curvature vanishes where |(x - c) / a|^m = (m - 1) / (m + 1), m = 2 |b| > 1.
      const TFzyFloat m = 2 * std::abs(p[1]);
      if (m > 1) {
        const TFzyFloat reach = width * std::pow((m - 1) / (m + 1), 1 / m);
        breaks.insert(breaks.end(), {{p[2] - reach}, {p[2] + reach}});
      }
      return breaks;
    }
    case TShapeKind::Sigmoid:
      return {{p[1]}};
    case TShapeKind::DiffSigmoid:
    case TShapeKind::ProdSigmoid: {
      std::vector<TCurveBreak> breaks = {{p[1]}, {p[3]}};
      // Where the two sigmoids cross, the difference's absolute value has a kink.
      if (shape.Kind == TShapeKind::DiffSigmoid && p[0] != p[2])
        breaks.push_back({(p[0] * p[1] - p[2] * p[3]) / (p[0] - p[2])});
      AddSigmoidPairInflections(shape.Kind, p, breaks);
      return breaks;
    }
    case TShapeKind::SShape:
    case TShapeKind::ZShape:
      return {{p[0], p[0] == p[1]}, {std::midpoint(p[0], p[1])}, {p[1]}};
    case TShapeKind::PiShape:
      return {{p[0], p[0] == p[1]}, {std::midpoint(p[0], p[1])}, {p[1]},
              {p[2], p[2] == p[3]}, {std::midpoint(p[2], p[3])}, {p[3]}};
    case TShapeKind::Cosine:
      return {{p[0] - p[1] / 2}, {p[0] - p[1] / 4}, {p[0]}, {p[0] + p[1] / 4}, {p[0] + p[1] / 2}};
    case TShapeKind::Concave:
      return {{p[0]}, {p[1], p[0] == p[1]}};
    default:
      return {};
  }
}

}  // namespace tapwise::detail
