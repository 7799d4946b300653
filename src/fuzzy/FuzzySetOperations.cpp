// Operations between two sets: the merge walk that finds every vertex and crossing of the two
// membership functions, AND and OR under each operation family, aggregation, correlation (the
// implication of a rule), the match degree and the overlap test.

#include <cmath>
#include <exception>
#include <memory>
#include <optional>

#include "CombineWalk.h"
#include "MatchDegree.h"
#include "OperationGuards.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/DegreeOperations.h"
#include "tapwise/fuzzy/FuzzyConsts.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyGeometry.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzySetNames.h"

namespace tapwise {

namespace {

// The member name of an operation, or its ordinal when it is none.
std::string OperationText(TFuzzyOperation operation) {
  if (operation <= foSum) return std::string(MemberName(operation));
  return IntToStr(static_cast<int>(operation));
}

}  // namespace

// A result that is not a finite number (a sum of huge degrees) raises rather than entering
// the set. Captures two pointers only, so that the callback needs no allocation of its own.
PointCombiner Combiner(TDegreeOperation f, const std::string_view* operation_name) {
  return [f, operation_name](TFuzzySetValues& values, TFzyFloat x1, TFzyFloat y1, TFzyFloat,
                             TFzyFloat y2) {
    const TFzyFloat y = f(y1, y2);
    if (!std::isfinite(y)) {
      const TFuzzySet* set = values.GetFuzzySet();
      throw EFzyException(Format(messages::kNonFiniteResult, *operation_name,
                                 set != nullptr ? set->GetName() : std::string()));
    }
    // The walk runs inside the result's own update block, whose end checks the whole list.
    values.AddPoint(x1, y);
    return false;
  };
}

namespace {

// Drops points whose degree the flat extensions or their neighbours already give: the inner
// points of a run of equal degrees, the leading points of a run at the start and the last
// point when it repeats the degree before it. Degrees within the tolerance count as equal,
// as everywhere in the library: rounding leaves an OR with a set at 1 a hair above or below
// 1 (1 + b - b), and a plateau made of such noise would otherwise keep every point as a
// maximum of its own.
void DropRedundantPoints(TFuzzySetValues& values) {
  int run = 1;
  for (int i = 1; i < values.GetCount();) {
    if (SameFloat(values.GetY(i), values.GetY(i - 1))) {
      if (++run > 1) {
        values.Delete(i - 1);
        continue;
      }
    } else {
      run = 0;
    }
    ++i;
  }
  const int count = values.GetCount();
  if (count > 1 && SameFloat(values.GetY(count - 1), values.GetY(count - 2)))
    values.Delete(count - 1);
}

}  // namespace

void CombineInto(TFuzzySetValues& values, const TFuzzySetValues& a, const TFuzzySetValues& b,
                 const PointCombiner& combiner) {
  TPointUpdateBlock block(values);
  values.ClearPoints();
  const bool stopped =
      geometry::MergeWalk(a, b, [&](TFzyFloat x1, TFzyFloat y1, TFzyFloat x2, TFzyFloat y2) {
        return combiner(values, x1, y1, x2, y2);
      });
  if (!stopped) DropRedundantPoints(values);
}

namespace {

std::string_view ExpressionOrName(const TFuzzySet& set) {
  return set.GetExpression().empty() ? std::string_view(set.GetName())
                                     : std::string_view(set.GetExpression());
}

}  // namespace

TFuzzySetResult TFuzzySet::NewDerivedSet(const std::string& name) const {
  std::unique_ptr<TFuzzySet> made = NewInstance();
  made->SetName(name);
  if (TGCollection* collection = GetCollection()) {
    return TFuzzySetResult::Borrowed(
        static_cast<TFuzzySet&>(*collection->AddItem(std::move(made))));
  }
  return TFuzzySetResult::Held(THeldFuzzySet(made.release()));
}

TFuzzySetResult TFuzzySet::CombineSets(const TFuzzySet& other, const std::string& operation_name,
                                       const PointCombiner& combiner) const {
  TFuzzySetResult result = NewDerivedSet(DerivedName(GetName(), operation_name, other.GetName()));
  TResultGuard guard(result);
  CombineInto(result->GetValues(), GetValues(), other.GetValues(), combiner);
  std::string expression = CleanExpression(ExpressionOrName(*this));
  expression += ' ';
  expression += operation_name;
  expression += ' ';
  expression += CleanExpression(ExpressionOrName(other));
  result->SetExpression(expression);
  guard.Release();
  return result;
}

bool TFuzzySet::ForEachPointPair(const TFuzzySet& other, const PointVisitor& visitor) const {
  return geometry::MergeWalk(GetValues(), other.GetValues(), visitor);
}

TFuzzySetResult TFuzzySet::Intersection(const TFuzzySet& other, TFuzzyOperation operation) const {
  if (operation >= foSum)
    throw EFzyException(Format(messages::kInvalidFuzzyOperation, OperationText(operation)));
  const std::string_view& name = AndOperationNames[operation];
  return CombineSets(other, std::string(name), Combiner(DegreeAnd(operation), &name));
}

TFuzzySetResult TFuzzySet::Union(const TFuzzySet& other, TFuzzyOperation operation) const {
  if (operation > foSum)
    throw EFzyException(Format(messages::kInvalidFuzzyOperation, OperationText(operation)));
  const std::string_view& name = OrOperationNames[operation];
  return CombineSets(other, std::string(name), Combiner(DegreeOr(operation), &name));
}

TFuzzySetResult TFuzzySet::Aggregate(const TFuzzySet& other, TFuzzyInferenceMethod method,
                                     bool use_and) const {
  TFuzzyOperation operation = foZadeh;
  switch (method) {
    case fimAdditive:
      operation = foSum;
      break;
    case fimMean:
      operation = foMean;
      break;
    case fimProduct:
      operation = foProduct;
      break;
    case fimBoundedSum:
      operation = foBoundedSum;
      break;
    default:
      break;
  }
  return use_and ? Intersection(other, operation) : Union(other, operation);
}

TFuzzySetResult TFuzzySet::AggregateByComponent(const TFuzzySet& other, bool use_and) const {
  return Aggregate(other, GetSettings().InferenceMethod, use_and);
}

TFuzzySet& TFuzzySet::Correlate(bool product, TFzyFloat truth) {
  // The product scales every degree by the truth; the minimum caps the degrees above it.
  constexpr int kMultiply = 2;
  constexpr int kAtMostAbove = 7;
  static_assert(OperatorSymbols[kMultiply] == "*" && OperatorSymbols[kAtMostAbove] == ">");
  return ApplyOperator(product ? kMultiply : kAtMostAbove, true, truth);
}

TFuzzySet& TFuzzySet::Correlate(TFzyFloat truth) {
  return Correlate(GetSettings().CorrelationMethod == fcmProduct, truth);
}

TFzyFloat TFuzzySet::MatchDegree(const TFuzzySet& other) const {
  return MatchDegreeOf(GetValues(), other.GetValues(), FMatchMemo);
}

bool TFuzzySet::ReachesThreshold(const TFuzzySet& other) const {
  const TFuzzySetContext* variable = GetFuzzyVariable();
  if (variable == nullptr)
    throw EFzyException(Format(messages::kThresholdWithoutVariable, GetName()));
  return geometry::ReachesThreshold(GetValues(), other.GetValues(), variable->GetThreshold());
}

bool TFuzzySet::SegmentIntersection(TFzyFloat& x, TFzyFloat& y, TFzyFloat x1, TFzyFloat y1,
                                    TFzyFloat x2, TFzyFloat y2, TFzyFloat x3, TFzyFloat y3,
                                    TFzyFloat x4, TFzyFloat y4) {
  return geometry::SegmentIntersection(x, y, x1, y1, x2, y2, x3, y3, x4, y4);
}

std::optional<geometry::TPoint> TFuzzySet::SegmentCrossing(TFzyFloat x1, TFzyFloat y1, TFzyFloat x2,
                                                           TFzyFloat y2, TFzyFloat x3, TFzyFloat y3,
                                                           TFzyFloat x4, TFzyFloat y4) {
  geometry::TPoint point;
  if (!geometry::SegmentIntersection(point.X, point.Y, x1, y1, x2, y2, x3, y3, x4, y4))
    return std::nullopt;
  return point;
}

bool TFuzzySet::Overlaps(const TFuzzySet& other) const {
  const TFuzzySetValues& a = GetValues();
  const TFuzzySetValues& b = other.GetValues();
  const int n = a.GetCount();
  const int m = b.GetCount();
  if (n == 0 || m == 0) return false;
  const auto flat_at_zero = [](const TFuzzySetValues& values) {
    return values.NextDistinctY(0, 1, values.GetY(0)) == -1 && values.GetY(0) < FuzzyEpsilon;
  };
  if (flat_at_zero(a) && !flat_at_zero(b)) return false;
  const TFzyFloat a_first = a.GetX(0);
  const TFzyFloat a_last = a.GetX(n - 1);
  const TFzyFloat b_first = b.GetX(0);
  const TFzyFloat b_last = b.GetX(m - 1);
  if (b_first > a_last + FuzzyEpsilon && a.GetY(n - 1) < FuzzyEpsilon && b.GetY(0) < FuzzyEpsilon)
    return false;
  if (a_first > b_last + FuzzyEpsilon && a.GetY(0) < FuzzyEpsilon && b.GetY(m - 1) < FuzzyEpsilon)
    return false;
  // Touching ends overlap when either side is above zero where they touch.
  if (SameFloat(b_first, a_last) &&
      (a.GetMembership(a_last) > FuzzyEpsilon || b.GetMembership(b_first) > FuzzyEpsilon))
    return true;
  if (SameFloat(b_last, a_first) &&
      !(b.GetMembership(b_last) <= FuzzyEpsilon && a.GetMembership(a_first) <= FuzzyEpsilon))
    return true;
  if (b_first + FuzzyEpsilon >= a_last) return false;
  return b_last - FuzzyEpsilon > a_first;
}

}  // namespace tapwise
