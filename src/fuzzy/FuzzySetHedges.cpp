// The operations that reshape one set: the linguistic hedges, operators with a constant,
// normalisation, the combination with a constant degree and the alpha cut.

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>

#include "FiniteCheck.h"
#include "OperationGuards.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/foundation/SmallVector.h"
#include "tapwise/fuzzy/FuzzyConsts.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzySetNames.h"

namespace tapwise {

namespace {

// How many results of an operator the usual set keeps without an allocation.
constexpr size_t kInlineOperands = 8;

// Indexes into HedgeNames.
enum THedge : int {
  kNot = 0,
  kSomewhat = 1,
  kPlus = 4,
  kVery = 5,
  kExtremely = 6,
  kAbove = 7,
  kBelow = 8,
  kSlightly = 9,
  kNormalize = 10,
  kAbout = 11,
  kNeighboring = 15,
  kPositively = 16,
};

// Indexes into OperatorSymbols.
enum TOperator : int {
  kAdd = 0,
  kSubtract = 1,
  kMultiply = 2,
  kDivide = 3,
  kPower = 4,
  kAtLeastBelow = 5,
  kAtLeastAtOrBelow = 6,
  kAtMostAbove = 7,
  kAtMostAtOrAbove = 8,
};

constexpr int kDensePoints = 7;
constexpr int kBroadenedPoints = 50;

// The new value of `v` under operator `op` with `value`, or `v` where the operator leaves it.
TFzyFloat Operate(int op, bool on_y, TFzyFloat v, TFzyFloat value) {
  switch (op) {
    case kAdd:
      return v + value;
    case kSubtract:
      return v - value;
    case kMultiply:
      return v * value;
    case kDivide:
      return v * (1 / value);
    case kPower:
      if (on_y ? (v > 0 && v < 1) : v > 0) return std::pow(v, value);
      return v;
    case kAtLeastBelow:
      return v < value ? value : v;
    case kAtLeastAtOrBelow:
      return v <= value ? value : v;
    case kAtMostAbove:
      return v > value ? value : v;
    default:
      return v >= value ? value : v;
  }
}

// Appends a copy of point `index` of `source`.
void CopyPoint(TFuzzySetValues& values, const TFuzzySetValues& source, int index) {
  values.AddPoint(source.GetX(index), source.GetY(index));
}

// "above" (from the left) and "below" (from the right): zero up to the peak, the complement
// beyond it. The peak is the first point of degree 1 met from that side, else the last point
// that reached the running maximum.
void ApplyAboveOrBelow(TFuzzySet& set, bool above) {
  TFuzzySetValues& values = set.GetValues();
  const int count = values.GetCount();
  if (count == 0) return;
  int peak = 0;
  TFzyFloat highest = 0;
  for (int k = 0; k < count; ++k) {
    const int i = above ? k : count - 1 - k;
    const TFzyFloat y = values.GetY(i);
    if (y >= highest) {
      highest = y;
      peak = i;
      if (y == 1) break;
    }
  }
  TPointUpdateBlock block(values);
  for (int i = 0; i < count; ++i) {
    TFuzzySetValue& point = *values.GetPoint(i);
    const bool up_to_peak = above ? i <= peak : i >= peak;
    point.SetY(up_to_peak ? 0 : 1 - point.GetY());
  }
}

// slightly A = positively(normalize(plus A and not very A)), worked on plain copies so that
// neither this set's class nor its collection takes part.
void ApplySlightly(TFuzzySet& set) {
  // Every segment may cross once between the two copies, so the result can hold twice the
  // (densified) points: repeated on its own result, the hedge would double the set each time.
  CheckPointCount(2LL * std::max(set.GetCount(), kDensePoints), "ApplyHedge", set.GetName());
  TFuzzySet very_not;
  very_not.Assign(set);
  very_not.ApplyHedge(kVery).ApplyHedge(kNot);
  TFuzzySet plus;
  plus.Assign(set);
  plus.ApplyHedge(kPlus);
  const TFuzzySetResult both = plus.Intersection(very_not, foZadeh);
  both->ApplyHedge(kNormalize).ApplyHedge(kPositively);
  set.SetValues(both->GetValues());
}

// The broadening hedges: every degree spreads over the universe with the weight
// 1 / (1 + (distance * scale)^factor), sampled at 50 even positions, then normalised.
void Broaden(TFuzzySet& set, TFzyFloat factor) {
  TFuzzySetValues& values = set.GetValues();
  // Broadening ends by normalising, which needs a point: fail before changing anything.
  if (values.GetCount() == 0) values.GetMaximumYValue();
  const TFzyFloat min = set.GetXRange(1);
  const TFzyFloat max = set.GetXRange(0);
  {
    TPointUpdateBlock block(values);
    values.Densify(kDensePoints);
    const TFzyFloat span = values.GetX(values.GetCount() - 1) - values.GetX(0);
    const TFzyFloat scale = span == 0 ? 0.2 : span / (max - min);
    TFuzzySetValues work(nullptr);
    work.AddPoint(min, 0);
    work.AddPoint(max, 0);
    work.Densify(kBroadenedPoints);
    for (int i = 0, count = values.GetCount(); i < count; ++i) {
      const TFzyFloat xi = values.GetX(i);
      const TFzyFloat yi = values.GetY(i);
      if (yi <= 0) continue;
      for (int j = 0, work_count = work.GetCount(); j < work_count; ++j) {
        TFuzzySetValue& target = *work.GetPoint(j);
        const TFzyFloat w = 1 / (1 + std::pow(std::fabs(target.GetX() - xi) * scale, factor));
        target.SetY(std::fmax(target.GetY(), yi * w));
      }
    }
    set.SetValues(work);
  }
  set.Normalize();
}

}  // namespace

TFuzzySet& TFuzzySet::ApplyOperator(int op, bool on_y, TFzyFloat value) {
  if (op < 0 || op >= static_cast<int>(OperatorSymbols.size()))
    throw EFzyException(Format(messages::kInvalidOperatorIndex, op));
  CheckFinite(value, "ApplyOperator", "Value");
  const std::string_view symbol = OperatorSymbol(op, on_y);
  if (op == kDivide && value == 0)
    throw EZeroDivide(Format(messages::kOperatorDivisionByZero, symbol, GetName()));
  TFuzzySetValues& values = GetValues();
  const int count = values.GetCount();
  // Every new value is computed and checked before the first one is stored: the set changes
  // completely or not at all.
  TSmallVector<TFzyFloat, kInlineOperands> results;
  results.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    TFzyFloat result = Operate(op, on_y, on_y ? values.GetY(i) : values.GetX(i), value);
    if (!std::isfinite(result))
      throw EFzyException(Format(messages::kNonFiniteResult, symbol, GetName()));
    results.push_back(std::move(result));
  }
  {
    TPointUpdateBlock block(values);
    if (on_y) {
      values.SetDegreesInBlock(std::span<const TFzyFloat>(results.data(), results.size()));
    } else {
      for (int i = 0; i < count; ++i)
        values.GetPoint(i)->SetX(results[static_cast<size_t>(i)]);
    }
  }
  SetName(ValueName(GetName(), symbol, value));
  std::string expression(symbol);
  expression += ' ';
  // Outside an enclosing block the points' change has cleared the expression already.
  if (!GetExpression().empty()) expression += BracketIfSpaced(GetExpression());
  SetExpression(expression);
  return *this;
}

TFuzzySet& TFuzzySet::Normalize() {
  TFuzzySetValues& values = GetValues();
  const TFzyFloat highest = values.GetMaximumYValue();
  if (highest == 0) return *this;
  // A degree so small that its reciprocal overflows would turn the set into infinities.
  const TFzyFloat factor = 1 / highest;
  if (!std::isfinite(factor))
    throw EFzyException(Format(messages::kNonFiniteResult, "normalize", GetName()));
  TPointUpdateBlock block(values);
  for (int i = 0, count = values.GetCount(); i < count; ++i) {
    TFuzzySetValue& point = *values.GetPoint(i);
    point.SetY(point.GetY() * factor);
  }
  return *this;
}

TFuzzySet& TFuzzySet::ApplyHedge(int hedge) {
  if (hedge < 0 || hedge >= static_cast<int>(HedgeNames.size()))
    throw EFzyException(Format(messages::kInvalidHedgeIndex, hedge));
  const std::string_view word = HedgeNames[hedge];
  const TFzyFloat factor = HedgeFactors[hedge];
  std::string new_name(word);
  new_name += ' ';
  new_name += BracketIfSpaced(GetName());
  TFuzzySetValues& values = GetValues();

  if (hedge == kNot) {
    TPointUpdateBlock block(values);
    for (int i = 0, count = values.GetCount(); i < count; ++i) {
      TFuzzySetValue& point = *values.GetPoint(i);
      point.SetY(1 - point.GetY());
    }
  } else if (hedge >= kSomewhat && hedge <= kExtremely) {
    TPointUpdateBlock block(values);
    values.Densify(kDensePoints);
    for (int i = 0, count = values.GetCount(); i < count; ++i) {
      TFuzzySetValue& point = *values.GetPoint(i);
      const TFzyFloat y = point.GetY();
      if (y > 0 && y < 1) point.SetY(std::pow(y, factor));
    }
  } else if (hedge == kAbove || hedge == kBelow) {
    ApplyAboveOrBelow(*this, hedge == kAbove);
  } else if (hedge == kSlightly) {
    ApplySlightly(*this);
  } else if (hedge == kNormalize) {
    Normalize();
  } else if (hedge >= kAbout && hedge <= kNeighboring) {
    Broaden(*this, factor);
  } else {
    TPointUpdateBlock block(values);
    values.Densify(kDensePoints);
    for (int i = 0, count = values.GetCount(); i < count; ++i) {
      TFuzzySetValue& point = *values.GetPoint(i);
      const TFzyFloat y = point.GetY();
      if (factor < 1 && y <= 0) continue;
      if (y < 0.5) {
        point.SetY(std::fmin(1.0, factor * std::pow(y, factor)));
      } else {
        point.SetY(std::fmax(0.0, 1 - factor * std::pow(1 - y, factor)));
      }
    }
  }

  SetName(new_name);
  if (!GetExpression().empty()) {
    std::string expression(word);
    expression += ' ';
    expression += BracketIfSpaced(CleanExpression(GetExpression()));
    SetExpression(expression);
  } else {
    SetExpression(CleanExpression(new_name));
  }
  return *this;
}

TFuzzySetResult TFuzzySet::CombineWithValue(bool use_or, TFzyFloat value) const {
  CheckFinite(value, "CombineWithValue", "Value");
  const std::string_view word = use_or ? "or" : "and";
  TFuzzySetResult result = NewDerivedSet(ValueName(GetName(), word, value));
  TResultGuard guard(result);
  const TFzyFloat level = std::clamp(value, 0.0, 1.0);
  const TFuzzySetValues& source = GetValues();
  const int count = source.GetCount();
  {
    TFuzzySetValues& values = result->GetValues();
    TPointUpdateBlock block(values);
    if ((use_or && level == 0) || (!use_or && level == 1)) {
      values.CopyPoints(source, 0, count);
    } else if ((use_or && level == 1) || (!use_or && level == 0)) {
      values.AddPoint(count > 0 ? source.GetX(0) : 0, level);
    } else if (count > 0) {
      const auto keeps = [use_or, level](TFzyFloat y) { return use_or ? y >= level : y <= level; };
      if (keeps(source.GetY(0))) CopyPoint(values, source, 0);
      for (int i = 1; i < count; ++i) {
        const TFzyFloat gx = source.GetX(i - 1);
        const TFzyFloat gy = source.GetY(i - 1);
        const TFzyFloat fx = source.GetX(i);
        const TFzyFloat fy = source.GetY(i);
        if ((gy < level && level < fy) || (gy > level && level > fy))
          values.AddPoint(InterpolateX(gx, gy, fx, fy, level), level);
        if (keeps(fy)) CopyPoint(values, source, i);
      }
    }
  }
  if (!GetExpression().empty()) {
    std::string expression = GetExpression();
    expression += ' ';
    expression += word;
    expression += ' ';
    expression += FormatFixed(level, 4);
    result->SetExpression(expression);
  }
  guard.Release();
  return result;
}

TFuzzySetResult TFuzzySet::AlphaCut(bool strong, TFzyFloat level) const {
  CheckFinite(level, "AlphaCut", "Level");
  TFuzzySetResult result = NewDerivedSet(GetName());
  TResultGuard guard(result);
  const TFzyFloat cut = std::clamp(level, 0.0, 1.0);
  const TFuzzySetValues& source = GetValues();
  const int count = source.GetCount();
  {
    TFuzzySetValues& values = result->GetValues();
    TPointUpdateBlock block(values);
    if (strong && cut == 0) {
      values.CopyPoints(source, 0, count);
    } else if (strong && cut == 1) {
      values.AddPoint(count > 0 ? source.GetX(0) : 0, 0);
    } else if (count > 0) {
      const auto survives = [strong, cut](TFzyFloat y) { return strong ? y > cut : y >= cut; };
      if (survives(source.GetY(0))) {
        CopyPoint(values, source, 0);
      } else {
        values.AddPoint(source.GetX(0), 0);
      }
      for (int i = 1; i < count; ++i) {
        const TFzyFloat gx = source.GetX(i - 1);
        const TFzyFloat gy = source.GetY(i - 1);
        const TFzyFloat fx = source.GetX(i);
        const TFzyFloat fy = source.GetY(i);
        const bool crosses = strong ? (gy <= cut && cut < fy) || (fy <= cut && cut < gy)
                                    : (gy < cut && cut <= fy) || (fy < cut && cut <= gy);
        if (crosses) {
          const TFzyFloat j = InterpolateX(gx, gy, fx, fy, cut);
          if (gy < cut || (strong && gy == cut)) {
            values.AddPoint(j, 0);
            values.AddPoint(j, cut);
          } else {
            values.AddPoint(j, cut);
            values.AddPoint(j, 0);
          }
        }
        if (survives(fy)) CopyPoint(values, source, i);
      }
    }
  }
  guard.Release();
  return result;
}

}  // namespace tapwise
