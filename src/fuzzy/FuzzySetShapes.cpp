// The shape generators of TFuzzySet and the default shapes of its set types.

#include <algorithm>
#include <utility>
#include <vector>

#include "FiniteCheck.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/UpdateScope.h"
#include "tapwise/fuzzy/FuzzyConsts.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyGeometry.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/ShapeFunctions.h"

namespace tapwise {

namespace {

// Closes the set's update block on every way out, failures included, so that the points
// always end sorted and clean; a throwing change handler reaches the caller.
using SetUpdate = TUpdateScope<TFuzzySet>;

void CheckRange(TFzyFloat left, TFzyFloat right) {
  if (left > right) throw EFzyException(Format(messages::kInvalidRangeArguments, left, right));
}

// Appends `count` (at least 3) samples of the S curve over [left, right], or of its mirror.
// The positions are accumulated in extended precision and the last one is `right` itself,
// so that the curve ends exactly on its bound.
void AppendCurve(TFuzzySet& set, int count, bool growth, TFzyFloat left, TFzyFloat right) {
  count = std::max(count, 3);
  const long double step = (static_cast<long double>(right) - left) / (count - 1);
  long double position = left;
  for (int k = 0; k < count; ++k, position += step) {
    const TFzyFloat x = k == count - 1 ? right : static_cast<TFzyFloat>(position);
    const TFzyFloat y = SCurveDegree(x, left, right);
    set.AddPoint(x, growth ? y : 1 - y);
  }
}

using PointList = std::vector<std::pair<TFzyFloat, TFzyFloat>>;

// The samples of a weighted beta curve, computed in full before any point is stored so that
// a division by zero changes nothing.
PointList BetaCurvePoints(const char* operation, int count, TFzyFloat range, TFzyFloat center,
                          TFzyFloat inflection_point, TFzyFloat weight) {
  CheckFinite(range, operation, "Range");
  CheckFinite(center, operation, "Center");
  CheckFinite(inflection_point, operation, "InflectionPoint");
  CheckFinite(weight, operation, "Weight");
  if (inflection_point == 0) {
    throw EZeroDivide(Format(messages::kBetaCurveZeroInflection, operation));
  }
  count = std::max(count, 3);
  const long double start = static_cast<long double>(center) - range;
  const long double step = 2.0L * range / (count - 1);
  PointList points;
  points.reserve(static_cast<size_t>(count));
  for (int k = 0; k < count; ++k) {
    const TFzyFloat x = k == count - 1
                            ? static_cast<TFzyFloat>(static_cast<long double>(center) + range)
                            : static_cast<TFzyFloat>(start + k * step);
    CheckFinite(x, operation, "X");
    const TFzyFloat u = (x - center) / inflection_point;
    const TFzyFloat denominator = 1 + weight * u * u;
    if (denominator == 0) {
      throw EZeroDivide(Format(messages::kBetaCurveZeroDenominator, operation, x));
    }
    const TFzyFloat y = 1 / denominator;
    CheckFinite(y, operation, "Y");
    points.emplace_back(x, y);
  }
  return points;
}

}  // namespace

void TFuzzySet::SetTriangle(TFzyFloat left, TFzyFloat middle, TFzyFloat right) {
  CheckFinite(left, "SetTriangle", "Left");
  CheckFinite(middle, "SetTriangle", "Middle");
  CheckFinite(right, "SetTriangle", "Right");
  if (right < left) right = left;
  middle = std::clamp(middle, left, right);
  const geometry::TPoint corners[] = {{left, 0}, {middle, 1}, {right, 0}};
  AssignPoints(corners);
  StoreSetType(fstTriangle);
}

void TFuzzySet::AssignPoints(std::span<const geometry::TPoint> points) {
  SetUpdate update(*this);
  Clear();
  GetValues().AppendPoints(points);
}

void TFuzzySet::SetCurve(int count, bool growth, TFzyFloat left, TFzyFloat right,
                         TFzyFloat inflection_point) {
  CheckFinite(left, "SetCurve", "Left");
  CheckFinite(right, "SetCurve", "Right");
  CheckFinite(inflection_point, "SetCurve", "InflectionPoint");
  CheckPointCount(count, "SetCurve", GetName());
  CheckRange(left, right);
  {
    SetUpdate update(*this);
    Clear();
    AppendCurve(*this, count, growth, left, right);
  }
  FInflectionPoint = inflection_point;
  StoreSetType(growth ? fstGrowthCurve : fstDeclineCurve);
}

void TFuzzySet::SetPICurve(int count, TFzyFloat left, TFzyFloat right, TFzyFloat center) {
  CheckFinite(left, "SetPICurve", "Left");
  CheckFinite(right, "SetPICurve", "Right");
  CheckFinite(center, "SetPICurve", "Center");
  CheckPointCount(count, "SetPICurve", GetName());
  CheckRange(left, right);
  center = std::clamp(center, left, right);
  const int half = count / 2;
  {
    SetUpdate update(*this);
    Clear();
    AppendCurve(*this, half + 1, true, left, center);
    // An even count has no point on the peak.
    if (count % 2 == 0) GetValues().Delete(GetCount() - 1);
    const int joint = GetCount();
    AppendCurve(*this, half + 1, false, center, right);
    // For an even count the decline half's first point is the peak that count leaves out.
    // For an odd one the growth half's last point doubles it, and that is the one to go:
    // a growth half collapsed onto a centre at its left end ends at (center, 0), and only
    // the decline half holds the peak. Removing by these positions (not by a fixed index)
    // keeps small counts symmetric too.
    if (GetCount() > count) GetValues().Delete(count % 2 == 0 ? joint : joint - 1);
  }
  FInflectionPoint = center + (right - center) / 2;
  StoreSetType(fstPICurve);
}

void TFuzzySet::SetPICurveRange(int count, TFzyFloat range, TFzyFloat center) {
  CheckFinite(range, "SetPICurveRange", "Range");
  CheckFinite(center, "SetPICurveRange", "Center");
  SetPICurve(count, center - range, center + range, center);
}

void TFuzzySet::SetBetaCurve(int count, TFzyFloat range, TFzyFloat center,
                             TFzyFloat inflection_point) {
  // Checked here too, so that the error names the operation the caller used.
  BetaCurvePoints("SetBetaCurve", 3, range, center, inflection_point, 1);
  SetWeightedBetaCurve(count, range, center, inflection_point, 1);
}

void TFuzzySet::SetWeightedBetaCurve(int count, TFzyFloat range, TFzyFloat center,
                                     TFzyFloat inflection_point, TFzyFloat weight) {
  CheckPointCount(count, "SetWeightedBetaCurve", GetName());
  const PointList points =
      BetaCurvePoints("SetWeightedBetaCurve", count, range, center, inflection_point, weight);
  {
    SetUpdate update(*this);
    Clear();
    GetValues().ExpectPoints(static_cast<int>(points.size()));
    for (const auto& [x, y] : points)
      GetValues().AddPoint(x, y);
  }
  FInflectionPoint = inflection_point;
  StoreSetType(fstBetaCurve);
}

void TFuzzySet::SetCrispValue(TFzyFloat x) {
  CheckFinite(x, "SetCrispValue", "X");
  {
    // One block: the spike's triangle type does not survive, the set is user-defined.
    SetUpdate update(*this);
    SetTriangle(x, x, x);
  }
  FExpression = Format(FuzzyNumberFormat, x);
}

void TFuzzySet::SetSetType(TFuzzySetType value) {
  if (value == FSetType) return;
  if (value == fstUserDefined) {
    StoreSetType(value);
    return;
  }
  const TFzyFloat minimum = GetXRange(1);
  const TFzyFloat maximum = GetXRange(0);
  const TFzyFloat width = maximum - minimum;
  const TFzyFloat left = minimum + width * OneThird;
  const TFzyFloat right = minimum + width * TwoThirds;
  const TFzyFloat center = minimum + width / 2;
  const TFzyFloat half_width = width * OneThird;
  const int count = GetSettings().NumFunctionValues;
  if (value == fstBetaCurve && width / 12 == 0) {
    // A universe of one value: the bell would have no width. Refused before the points go.
    throw EZeroDivide(Format(messages::kBetaCurveZeroInflection, "SetSetType"));
  }
  {
    SetUpdate update(*this);
    switch (value) {
      case fstTriangle:
        SetTriangle(center - half_width, center, center + half_width);
        break;
      case fstDeclineCurve:
        SetCurve(count, false, left, right, (left + right) / 2);
        break;
      case fstPICurve:
        SetPICurveRange(count, half_width, center);
        break;
      case fstBetaCurve:
        SetBetaCurve(count, half_width, center, width / 12);
        break;
      case fstGrowthCurve:
        SetCurve(count, true, left, right, (left + right) / 2);
        break;
      case fstUserDefined:
        break;
    }
  }
  StoreSetType(value);
}

}  // namespace tapwise
