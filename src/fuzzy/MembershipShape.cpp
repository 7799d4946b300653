#include "tapwise/fuzzy/MembershipShape.h"

#include <array>
#include <cmath>
#include <string>

#include "ShapeCurves.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise {

namespace {

struct TKindInfo {
  std::string_view Name;
  // -1: any number of (x y) pairs.
  int Count;
  std::string_view Parameters;
  bool Linear;
};

constexpr std::array<TKindInfo, 17> kKinds = {{
    {"Triangle", 3, "a b c", true},
    {"Trapezoid", 4, "a b c d", true},
    {"Rectangle", 2, "start end", true},
    {"Ramp", 2, "start end", true},
    {"Discrete", -1, "x1 y1 x2 y2 ...", true},
    {"Singleton", 1, "x", true},
    {"Gaussian", 2, "sigma c", false},
    {"Gaussian2", 4, "sigma1 c1 sigma2 c2", false},
    {"Bell", 3, "a b c", false},
    {"Sigmoid", 2, "a c", false},
    {"DiffSigmoid", 4, "a1 c1 a2 c2", false},
    {"ProdSigmoid", 4, "a1 c1 a2 c2", false},
    {"SShape", 2, "a b", false},
    {"ZShape", 2, "a b", false},
    {"PiShape", 4, "a b c d", false},
    {"Cosine", 2, "centre width", false},
    {"Concave", 2, "inflection end", false},
}};

const TKindInfo& Info(TShapeKind kind) {
  const auto index = static_cast<size_t>(kind);
  if (index >= kKinds.size())
    throw EFzyException(Format(messages::kUnknownShapeKind, static_cast<int>(index)));
  return kKinds[index];
}

// The name of parameter `index` as the kind's parameter list spells it ("sigma", "y2").
std::string ParameterName(const TKindInfo& kind, size_t index) {
  if (kind.Count < 0) return (index % 2 == 0 ? "x" : "y") + std::to_string(index / 2 + 1);
  std::string_view names = kind.Parameters;
  for (size_t skip = 0; skip < index; ++skip)
    names.remove_prefix(names.find(' ') + 1);
  return std::string(names.substr(0, names.find(' ')));
}

// The kind's parameters must not decrease: "a <= b <= c".
void CheckAscending(const TKindInfo& kind, const std::vector<TFzyFloat>& p) {
  for (size_t i = 1; i < p.size(); ++i) {
    if (p[i] < p[i - 1]) {
      std::string order(kind.Parameters);
      for (size_t at = order.find(' '); at != std::string::npos; at = order.find(' ', at + 4))
        order.replace(at, 1, " <= ");
      throw EFzyException(Format(messages::kShapeParameterOrder, kind.Name, order));
    }
  }
}

void CheckNotZero(const TKindInfo& kind, const std::vector<TFzyFloat>& p, size_t index) {
  if (p[index] == 0)
    throw EFzyException(
        Format(messages::kShapeZeroParameter, kind.Name, ParameterName(kind, index)));
}

void CheckDiscrete(const TKindInfo& kind, const std::vector<TFzyFloat>& p) {
  for (size_t i = 0; i < p.size(); i += 2) {
    if (i > 0 && p[i] < p[i - 2])
      throw EFzyException(Format(messages::kShapeDescendingX, kind.Name, ParameterName(kind, i),
                                 ParameterName(kind, i - 2)));
    if (p[i + 1] < 0 || p[i + 1] > 1)
      throw EFzyException(
          Format(messages::kShapeDegreeOutOfRange, kind.Name, ParameterName(kind, i + 1)));
  }
}

}  // namespace

std::string_view ShapeKindName(TShapeKind kind) {
  return Info(kind).Name;
}

bool IsPiecewiseLinear(TShapeKind kind) {
  return Info(kind).Linear;
}

void CheckShape(const TMembershipShape& shape) {
  const TKindInfo& kind = Info(shape.Kind);
  const std::vector<TFzyFloat>& p = shape.Parameters;
  const int given = static_cast<int>(p.size());
  if (kind.Count < 0 && (given == 0 || given % 2 != 0))
    throw EFzyException(Format(messages::kShapeParameterPairs, kind.Name, kind.Parameters, given));
  if (kind.Count >= 0 && given != kind.Count)
    throw EFzyException(Format(messages::kShapeParameterCount, kind.Name, kind.Count,
                               kind.Count == 1 ? "parameter" : "parameters", kind.Parameters,
                               given));
  for (size_t i = 0; i < p.size(); ++i) {
    if (!std::isfinite(p[i]))
      throw EFzyException(Format(messages::kShapeNonFinite, kind.Name, ParameterName(kind, i)));
  }
  switch (shape.Kind) {
    case TShapeKind::Triangle:
    case TShapeKind::Trapezoid:
    case TShapeKind::Rectangle:
    case TShapeKind::SShape:
    case TShapeKind::ZShape:
    case TShapeKind::PiShape:
      CheckAscending(kind, p);
      break;
    case TShapeKind::Ramp:
      // A ramp of no width would be a step with no telling which way it goes.
      if (p[0] == p[1])
        throw EFzyException(Format(messages::kShapeSameEnds, kind.Name, "start", "end"));
      break;
    case TShapeKind::Discrete:
      CheckDiscrete(kind, p);
      break;
    case TShapeKind::Gaussian:
      CheckNotZero(kind, p, 0);
      break;
    case TShapeKind::Gaussian2:
      CheckNotZero(kind, p, 0);
      CheckNotZero(kind, p, 2);
      break;
    case TShapeKind::Bell:
      CheckNotZero(kind, p, 0);
      break;
    case TShapeKind::Cosine:
      if (p[1] <= 0)
        throw EFzyException(Format(messages::kShapePositiveParameter, kind.Name, "width"));
      break;
    default:
      break;
  }
}

TFzyFloat ShapeDegree(const TMembershipShape& shape, TFzyFloat x) {
  CheckShape(shape);
  return detail::CurveDegree(shape, x);
}

}  // namespace tapwise
