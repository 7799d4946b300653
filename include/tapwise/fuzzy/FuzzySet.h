#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>

#include "tapwise/foundation/Collection.h"
#include "tapwise/fuzzy/FuzzyGeometry.h"
#include "tapwise/fuzzy/FuzzySetContext.h"
#include "tapwise/fuzzy/FuzzySetResult.h"
#include "tapwise/fuzzy/FuzzySetValues.h"
#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

class TMatchMemo;

/// A fuzzy set: a piecewise linear membership function over one real axis (the universe of
/// its variable), stored as an ordered list of points, optionally generated from a standard
/// shape.
///
/// A plain set is an item of a term collection; the collection's owner is the set's variable
/// (`GetFuzzyVariable`), from which it reads the universe and the component's settings. A
/// set of no collection spans -2147483647..2147483647 and uses the default settings.
///
/// Every edit of the points makes the set user-defined and clears its expression; the
/// generators set the type (and the inflection point of curves) after their points are
/// complete, and `Assign` copies them after the points.
///
/// Not thread-safe, matches included (they remember degrees); a set is used from the thread
/// that owns its variable.
///
///     TFuzzySet set;
///     set.AddPoint(0, 0);
///     set.AddPoint(10, 1);
///     set.GetMembership(2.5);  // 0.25
class TFuzzySet : public TGCollectionItem {
 public:
  /// An empty user-defined set, not `Defined`; `collection` is the collection it is about to
  /// join (or null) and is not joined here.
  explicit TFuzzySet(TGCollection* collection = nullptr);
  ~TFuzzySet() override;

  std::string ClassName() const override { return "TFuzzySet"; }

  // ---- Properties ----

  TFuzzySetType GetSetType() const { return FSetType; }
  /// Changes the type: `fstUserDefined` keeps the points, any other type replaces them by
  /// that type's default shape over the universe (see FuzzySetShapes.cpp).
  virtual void SetSetType(TFuzzySetType value);

  const std::string& GetName() const { return FName; }
  /// Renames the set; a reserved word (a hedge, an operator symbol, an AND/OR name) raises
  /// EFzyException and keeps the old name.
  virtual void SetName(const std::string& value);

  TFuzzySetValues& GetValues() { return *FValues; }
  const TFuzzySetValues& GetValues() const { return *FValues; }
  /// Replaces the points by copies of `value`'s.
  void SetValues(const TFuzzySetValues& value);

  /// The shape parameter kept by the curve generators; 0 for other shapes.
  TFzyFloat GetInflectionPoint() const { return FInflectionPoint; }
  void SetInflectionPoint(TFzyFloat value) { FInflectionPoint = value; }

  const std::string& GetComment() const { return FComment; }
  void SetComment(const std::string& value);

  /// Whether the set is a real term of its variable.
  bool GetDefined() const { return FDefined; }
  void SetDefined(bool value) { FDefined = value; }

  int GetTag() const { return FTag; }
  void SetTag(int value) { FTag = value; }

  /// The linguistic text of how the set was derived; empty for a plain term.
  const std::string& GetExpression() const { return FExpression; }
  void SetExpression(const std::string& value) { FExpression = value; }

  /// The name, or the class name when the name is empty.
  std::string GetDisplayName() const override;

  /// From another set: name (without the reserved-word check), points, set type, inflection
  /// point and expression, in that order; comment, `Defined` and tag stay.
  void Assign(const TPersistent& source) override;

  // ---- Variable and settings ----

  /// The variable whose term collection holds this set, or null.
  const TFuzzySetContext* GetFuzzyVariable() const;
  /// The bounds of the universe: index 0 the upper, 1 the lower; any other index raises
  /// EFzyException. Without a variable: 2147483647 and -2147483647.
  virtual TFzyFloat GetXRange(int index) const;
  /// The settings of the component behind the variable, or the defaults.
  virtual TFuzzySetSettings GetSettings() const;

  // ---- Points ----

  int GetCount() const { return FValues->GetCount(); }
  TFzyFloat GetX(int index) const { return FValues->GetX(index); }
  TFzyFloat GetY(int index) const { return FValues->GetY(index); }
  /// Appends (x, y): X clamped to the universe, a negative Y stored as 0; the list orders
  /// and cleans itself unless an update block is open.
  TFuzzySetValue* AddPoint(TFzyFloat x, TFzyFloat y) { return FValues->AddPoint(x, y); }
  /// Deletes every point.
  void Clear() { FValues->ClearPoints(); }
  /// Makes `points` the set's points, as clearing it and adding them in one update block
  /// does (in fewer steps).
  void AssignPoints(std::span<const geometry::TPoint> points);
  void BeginUpdate() { FValues->BeginUpdate(); }
  void EndUpdate() { FValues->EndUpdate(); }

  /// The degree of membership at `x`: 0 for an empty set, flat beyond the end points, the
  /// top of a vertical edge or spike exactly at its X, linear in between.
  TFzyFloat GetMembership(TFzyFloat x) const { return FValues->GetMembership(x); }
  /// The Y of the line through the two points at `x`; `y2` when x1 equals x2 exactly.
  static TFzyFloat Interpolate(TFzyFloat x1, TFzyFloat y1, TFzyFloat x2, TFzyFloat y2, TFzyFloat x);
  /// The X at which that line reaches `level`; `x2` when y1 equals y2 exactly.
  static TFzyFloat InterpolateX(TFzyFloat x1, TFzyFloat y1, TFzyFloat x2, TFzyFloat y2,
                                TFzyFloat level);

  /// The mean degree, 0 for an empty set.
  virtual TFzyFloat GetAverageY() const;
  /// "((0.0000 1.0000) (10.0000 0.0000) )": each point as "(X Y) " in "%.4f", in brackets.
  virtual std::string ValuesText() const;
  /// The component parser's text when there is one, else "(" + name + " " + the point
  /// groups of `ValuesText` + ")".
  virtual std::string GetText() const;

  /// A copy of this set (same class, same content) created in the same term collection,
  /// which owns it. A set of no collection raises EFzyException.
  virtual TFuzzySet* Clone() const;

  // ---- Shapes (FuzzySetShapes.cpp) ----

  /// (left, 0), (middle, 1), (right, 0); right is raised to left and middle clamped into
  /// [left, right].
  void SetTriangle(TFzyFloat left, TFzyFloat middle, TFzyFloat right);
  /// `count` (at least 3) evenly spaced samples of the S curve over [left, right] (a growth
  /// curve), or of its mirror Z (a decline curve). The curve always crosses 0.5 at the
  /// midpoint; `inflection_point` is only kept. Left greater than right raises.
  void SetCurve(int count, bool growth, TFzyFloat left, TFzyFloat right,
                TFzyFloat inflection_point);
  /// A growth half up to `center` and a decline half after it: an odd `count` gives `count`
  /// points with (center, 1) in the middle, an even one `count` points around it.
  void SetPICurve(int count, TFzyFloat left, TFzyFloat right, TFzyFloat center);
  /// `SetPICurve(count, center - range, center + range, center)`.
  void SetPICurveRange(int count, TFzyFloat range, TFzyFloat center);
  /// `SetWeightedBetaCurve` with weight 1.
  void SetBetaCurve(int count, TFzyFloat range, TFzyFloat center, TFzyFloat inflection_point);
  /// `count` (at least 3) evenly spaced samples over center +- range of
  /// 1 / (1 + weight * ((x - center) / inflection_point)^2). An inflection point of 0 (or a
  /// weight that makes the denominator 0) raises EZeroDivide before any point changes.
  void SetWeightedBetaCurve(int count, TFzyFloat range, TFzyFloat center,
                            TFzyFloat inflection_point, TFzyFloat weight);
  /// Replaces the points by the spike (x, 0), (x, 1), (x, 0); the set stays user-defined
  /// with the expression "%.4f" of `x`.
  void SetCrispValue(TFzyFloat x);

  // ---- Operations, measures and hedges (FuzzySetOperations.cpp, FuzzySetMeasures.cpp, FuzzySetHedges.cpp) ----

  // Sets made by the operations below are of this set's class. A set of a term collection
  // adds them to that collection (they become further terms of its variable); otherwise the
  // returned handle owns them. Every such set is named from the operands ("cold and warm")
  // and carries the linguistic expression of its derivation.

  /// Runs the merge walk over this set (A) and `other` (B): `combiner` is called, in
  /// ascending X, at every X where either set has a point and at every X where the two
  /// membership functions cross, and appends the result's points. Unless the combiner stopped
  /// the walk, points that the flat extensions or straight lines already give are dropped.
  /// The result is named `DerivedName(A, operation_name, B)`.
  TFuzzySetResult CombineSets(const TFuzzySet& other, const std::string& operation_name,
                              const PointCombiner& combiner) const;
  /// The merge walk without a result; true when the visitor stopped it.
  bool ForEachPointPair(const TFuzzySet& other, const PointVisitor& visitor) const;
  /// The exact AND of the two membership functions under `operation` (Zadeh: the minimum).
  /// `foSum` has no AND and raises "Invalid fuzzy operation: \"foSum:".
  ///
  ///     A = (0, 0) (10, 1), B = (0, 1) (10, 0): A.Intersection(B) is "A and B",
  ///     (0, 0) (5, 0.5) (10, 0).
  virtual TFuzzySetResult Intersection(const TFuzzySet& other,
                                       TFuzzyOperation operation = foZadeh) const;
  /// The exact OR under `operation` (Zadeh: the maximum). Sums may exceed 1.
  virtual TFuzzySetResult Union(const TFuzzySet& other, TFuzzyOperation operation = foZadeh) const;
  /// Rule aggregation: the OR (or, with `use_and`, the AND) under the operation of `method`
  /// (min-max: Zadeh, additive: sum, mean, product, bounded sum).
  TFuzzySetResult Aggregate(const TFuzzySet& other, TFuzzyInferenceMethod method,
                            bool use_and) const;
  /// As Aggregate with the inference method of the component behind the variable.
  TFuzzySetResult AggregateByComponent(const TFuzzySet& other, bool use_and) const;
  /// The height of the Zadeh AND, computed without building it: how well the sets match.
  virtual TFzyFloat MatchDegree(const TFuzzySet& other) const;
  /// Whether the two sets match at least to the variable's threshold somewhere; stops at the
  /// first such place. A set of no variable raises EFzyException.
  virtual bool ReachesThreshold(const TFuzzySet& other) const;
  /// The crossing (x, y) of segment P1-P2 with segment P3-P4, end points included. A segment
  /// shorter than the tolerance is a point, which crosses only when it lies on the other
  /// segment itself.
  static bool SegmentIntersection(TFzyFloat& x, TFzyFloat& y, TFzyFloat x1, TFzyFloat y1,
                                  TFzyFloat x2, TFzyFloat y2, TFzyFloat x3, TFzyFloat y3,
                                  TFzyFloat x4, TFzyFloat y4);
  /// As SegmentIntersection, answering the crossing point or none.
  static std::optional<geometry::TPoint> SegmentCrossing(TFzyFloat x1, TFzyFloat y1, TFzyFloat x2,
                                                         TFzyFloat y2, TFzyFloat x3, TFzyFloat y3,
                                                         TFzyFloat x4, TFzyFloat y4);
  /// Whether the two sets share support (places where both are above zero), with touching
  /// ends counting when either side is above zero where they touch.
  bool Overlaps(const TFuzzySet& other) const;

  /// The centroid X of the area under the membership function, exactly (no sampling), with
  /// the flat tails up to the universe bounds; 0 for an empty set or no area, the middle of
  /// the universe for a set without width.
  TFzyFloat CenterOfGravity() const;
  /// The mean X of the points of greatest degree; 0 for an empty set.
  TFzyFloat MeanOfMaxima() const;
  /// Mean of maxima when the component behind the variable says so, else the centre of
  /// gravity.
  TFzyFloat Defuzzify() const;
  /// The height: the largest degree. An empty set raises EFzyException.
  TFzyFloat GetMaximumYValue() const;
  /// The smallest degree. An empty set raises EFzyException.
  TFzyFloat GetMinimumYValue() const;
  /// True for an all-false or all-true set (every degree exactly 0, or exactly 1) and for
  /// an empty one: a set that carries no information.
  bool IsFlat() const;

  /// Applies hedge `hedge` (an index of HedgeNames, 0..19) in place and renames the set
  /// ("very cold"). Others raise EFzyException.
  virtual TFuzzySet& ApplyHedge(int hedge);
  /// Applies operator `op` (an index of OperatorSymbols, 0..8) with `value` to every degree
  /// (`on_y`) or every position, in place, and renames the set ("cold - 2.0000"). Degrees stay
  /// non-negative and positions inside the universe. Dividing by 0 raises EZeroDivide, a
  /// result that is not a finite number EFzyException, both before any point changes.
  TFuzzySet& ApplyOperator(int op, bool on_y, TFzyFloat value);
  /// Implication: every degree scaled by `truth` (`product`) or capped at it. Adds no points.
  TFuzzySet& Correlate(bool product, TFzyFloat truth);
  /// As Correlate with the correlation method of the component behind the variable.
  TFuzzySet& Correlate(TFzyFloat truth);
  /// Scales the degrees so that the highest is 1 (nothing when it is 0). An empty set raises.
  TFuzzySet& Normalize();
  /// A new set: the OR (maximum) or AND (minimum) with the constant degree `value` clamped to
  /// [0, 1], exact at the crossings; named "cold or 0.5000".
  TFuzzySetResult CombineWithValue(bool use_or, TFzyFloat value) const;
  /// A new set of this set's name: the degrees at or above `level` (strictly above for a
  /// `strong` cut), 0 elsewhere, with vertical edges at the crossings.
  TFuzzySetResult AlphaCut(bool strong, TFzyFloat level) const;

 protected:
  /// Makes the empty set that receives an operation's result, named `name`: of this set's
  /// class, in this set's term collection when it has one. The one place where results are
  /// created; a descendant with another ownership model overrides it.
  virtual TFuzzySetResult NewDerivedSet(const std::string& name) const;
  /// Gives the set up when the one who held it lets it go (`TFuzzySetDeleter`).
  virtual void FreeHeld() noexcept { delete this; }

 protected:
  /// Builds the point list a set of this class owns.
  using ValuesFactory = std::unique_ptr<TFuzzySetValues> (*)(TFuzzySet& set);
  /// For descendants that own a descendant point list.
  TFuzzySet(TGCollection* collection, ValuesFactory values_factory);
  /// For descendants that keep their point list as a member of their own, which outlives
  /// every use of the set: the set starts without a list, and the descendant's constructor
  /// hands over its member with `AttachValues` before anything else reaches the set.
  struct TMemberValues {};
  TFuzzySet(TGCollection* collection, TMemberValues);
  void AttachValues(TFuzzySetValues& values) { FValues = &values; }

  /// A new empty set of this set's class, of no collection; `Clone` uses it.
  virtual std::unique_ptr<TFuzzySet> NewInstance() const;

  /// `SetName` for a name the caller has already checked against the reserved words.
  void StoreCheckedName(const std::string& value);

  /// Called by the point list after one point (`PointChanged`) or the list as a whole
  /// (`PointsChanged`) changed: reports the change and makes the set user-defined without
  /// expression.
  virtual void PointChanged(TFuzzySetValue& item);
  virtual void PointsChanged();

  /// Stores the type without touching the points and reports the change; generators and
  /// operations call it once their points are complete.
  void StoreSetType(TFuzzySetType value);
  /// The plain set's part of `Assign` from a set already known to be one.
  void AssignSet(const TFuzzySet& source);

 private:
  friend class TFuzzySetValues;
  friend struct TFuzzySetDeleter;

  std::string FName;
  // The point list: the one made by the values factory (owned here), or a descendant's
  // member.
  std::unique_ptr<TFuzzySetValues> FOwnedValues;
  TFuzzySetValues* FValues = nullptr;
  TFzyFloat FInflectionPoint = 0;
  std::string FComment;
  // Beside each other, so that they share one word.
  TFuzzySetType FSetType = fstUserDefined;
  bool FDefined = false;
  int FTag = 0;
  std::string FExpression;

  // Degrees of this set (as a reading) against short stretches of terms, made on the first
  // match that can use it.
  mutable std::unique_ptr<TMatchMemo> FMatchMemo;
};

}  // namespace tapwise
