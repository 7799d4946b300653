#pragma once

#include <cstdint>
#include <string>

#include "tapwise/foundation/Cloneable.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/FuzzySetResult.h"
#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

class IFuzzyParser;
class IFuzzyVariable;
class TFuzzySet;
class TPersistent;

/// The counted handle through which everything outside the set code holds a fuzzy set: the
/// terms of a variable, the sets the parser builds, the results of rule firing.
///
/// Two operations behave differently depending on the interface they are called through;
/// they have two names here:
/// - `ICloneable::Assign` / `ICloneable::AssignTo` copy the whole set (name, points, type,
///   inflection point, expression); `AssignPointList` / `AssignPointListTo` copy only the
///   points, from or to another point list (`TFuzzySetValues`).
/// - `ICloneable::AssignFromInterface` copies another `IFuzzySet` (see `TIFuzzySet`).
///
/// Operations that reshape the set work in place and return the set itself; operations that
/// combine sets return a new set linked to this set's variable but not stored in it.
///
///     IntfPtr<IFuzzySet> both = cold->Intersection(*warm);  // "cold and warm", not stored
///     cold->Correlate(false, 0.4);                         // cold itself, capped at 0.4
class IFuzzySet : public ICloneable {
 public:
  // ---- Copies ----

  /// The point list's copy: replaces the points by those of `source`, another point list
  /// (`TFuzzySetValues`). Compare `ICloneable::Assign`, which copies the whole set.
  virtual void AssignPointList(const TPersistent& source) = 0;
  /// The point list's copy-to: copies the points into `dest`.
  virtual void AssignPointListTo(TPersistent& dest) const = 0;
  /// A set of the same class and name with the same points (and nothing else), linked to
  /// `variable` and its parser; it reports `fstUserDefined`.
  virtual IntfPtr<IFuzzySet> CopyForVariable(const IntfPtr<IFuzzyVariable>& variable) const = 0;

  // ---- Properties ----

  virtual const std::string& GetName() const = 0;
  /// Renames the set; a stored term is re-keyed in its variable's table. A reserved word
  /// raises EFzyException and the term stays stored under its old name.
  virtual void SetName(const std::string& value) = 0;
  virtual TFuzzySetType GetSetType() const = 0;
  /// A type other than `fstUserDefined` replaces the points by the type's default shape.
  virtual void SetSetType(TFuzzySetType value) = 0;
  virtual TFzyFloat GetInflectionPoint() const = 0;
  virtual const std::string& GetExpression() const = 0;
  virtual void SetExpression(const std::string& value) = 0;
  virtual const std::string& GetComment() const = 0;
  virtual void SetComment(const std::string& value) = 0;
  /// The parser's short text when the set has a parser, else "(name (x y) ...)".
  virtual std::string GetText() const = 0;
  /// "((x y) ...)" with "%.4f" numbers.
  virtual std::string ValuesText() const = 0;
  /// The variable's upper bound; without variable the last point's X (2147483647 when
  /// empty).
  virtual TFzyFloat GetMaxX() const = 0;
  /// The variable's lower bound; without variable the first point's X (-2147483647 when
  /// empty).
  virtual TFzyFloat GetMinX() const = 0;

  /// The owning variable, or null.
  virtual const IntfPtr<IFuzzyVariable>& GetVariable() const = 0;
  /// Moves the set to `value`: out of the old variable's table (when it stores this very
  /// set), then, for a `Defined` set, into the new one; the set takes the new variable's
  /// parser (none without a variable).
  virtual void SetVariable(const IntfPtr<IFuzzyVariable>& value) = 0;
  virtual const IntfPtr<IFuzzyParser>& GetParser() const = 0;
  /// Stores the parser; no notification.
  virtual void SetParser(const IntfPtr<IFuzzyParser>& value) = 0;
  /// The stamp the variable's table gave the set when it stored it (storing order).
  virtual int32_t GetOrderNumber() const = 0;
  virtual void SetOrderNumber(int32_t value) = 0;
  /// Whether the set is a real term; only a defined set is stored when it gets a variable.
  virtual bool GetDefined() const = 0;
  virtual void MarkDefined() = 0;

  // ---- Points ----

  virtual int GetCount() const = 0;
  virtual TFzyFloat GetX(int index) const = 0;
  virtual TFzyFloat GetY(int index) const = 0;
  /// Moves the point at `index` (clamped to the universe); the list reorders itself.
  virtual void SetX(int index, TFzyFloat x) = 0;
  /// Changes the degree at `index` (a negative degree becomes 0).
  virtual void SetY(int index, TFzyFloat y) = 0;
  /// Appends (x, y) and returns the position at which it was appended (the count before
  /// the call); the clean-up that follows may move it.
  virtual int AddPoint(TFzyFloat x, TFzyFloat y) = 0;
  /// Inserts (x, y) at `index` and returns `index`.
  virtual int InsertPoint(int index, TFzyFloat x, TFzyFloat y) = 0;
  virtual void DeletePoint(int index) = 0;
  virtual void Clear() = 0;
  /// Appends all of `source`'s points.
  virtual void AddPoints(const IFuzzySet& source) = 0;
  /// Appends `count` of `source`'s points from `start`, both clamped to what it holds.
  virtual void AddPoints(const IFuzzySet& source, int start, int count) = 0;
  /// Replaces the points by `source`'s.
  virtual void AssignPoints(const IFuzzySet& source) = 0;
  /// Defers ordering, clean-up and change reports to the matching `EndUpdate`.
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  virtual void Densify(int count) = 0;
  virtual TFzyFloat GetMaximumYValue() const = 0;
  virtual TFzyFloat GetMinimumYValue() const = 0;
  virtual int NextDistinctX(int start, int step, TFzyFloat x) const = 0;
  virtual int NextDistinctY(int start, int step, TFzyFloat y) const = 0;
  virtual TFzyFloat GetMembership(TFzyFloat x) const = 0;

  // ---- Shapes ----

  virtual void SetCrispValue(TFzyFloat x) = 0;
  virtual void SetTriangle(TFzyFloat left, TFzyFloat middle, TFzyFloat right) = 0;
  virtual void SetCurve(int count, bool growth, TFzyFloat left, TFzyFloat right,
                        TFzyFloat inflection_point) = 0;
  virtual void SetPICurve(int count, TFzyFloat left, TFzyFloat right, TFzyFloat center) = 0;
  virtual void SetPICurveRange(int count, TFzyFloat range, TFzyFloat center) = 0;
  virtual void SetBetaCurve(int count, TFzyFloat range, TFzyFloat center,
                            TFzyFloat inflection_point) = 0;
  virtual void SetWeightedBetaCurve(int count, TFzyFloat range, TFzyFloat center,
                                    TFzyFloat inflection_point, TFzyFloat weight) = 0;

  // ---- Operations and measures ----

  /// The height of the Zadeh AND of the two sets.
  virtual TFzyFloat MatchDegree(const IFuzzySet& other) const = 0;
  /// As above; 0 when `other` is not a fuzzy set.
  virtual TFzyFloat MatchDegree(const IntfPtr<IInterface>& other) const = 0;
  virtual bool Overlaps(const IFuzzySet& other) const = 0;
  virtual IntfPtr<IFuzzySet> Intersection(const IFuzzySet& other,
                                          TFuzzyOperation operation = foZadeh) const = 0;
  virtual IntfPtr<IFuzzySet> Union(const IFuzzySet& other,
                                   TFuzzyOperation operation = foZadeh) const = 0;
  /// Rule aggregation: the OR (or with `use_and` the AND) under `method`'s operation.
  virtual IntfPtr<IFuzzySet> Aggregate(const IFuzzySet& other, TFuzzyInferenceMethod method,
                                       bool use_and) const = 0;
  virtual bool ForEachPointPair(const IFuzzySet& other, const PointVisitor& visitor) const = 0;
  virtual IntfPtr<IFuzzySet> CombineSets(const IFuzzySet& other, const std::string& operation_name,
                                         const PointCombiner& combiner) const = 0;
  virtual IntfPtr<IFuzzySet> CombineWithValue(bool use_or, TFzyFloat value) const = 0;
  virtual IntfPtr<IFuzzySet> AlphaCut(bool strong, TFzyFloat level) const = 0;
  virtual bool SegmentIntersection(TFzyFloat& x, TFzyFloat& y, TFzyFloat x1, TFzyFloat y1,
                                   TFzyFloat x2, TFzyFloat y2, TFzyFloat x3, TFzyFloat y3,
                                   TFzyFloat x4, TFzyFloat y4) const = 0;
  /// Always the centre of gravity for an interfaced set.
  virtual TFzyFloat Defuzzify() const = 0;
  virtual TFzyFloat CenterOfGravity() const = 0;
  virtual TFzyFloat MeanOfMaxima() const = 0;
  virtual TFzyFloat GetAverageY() const = 0;
  virtual bool IsFlat() const = 0;

  // ---- In-place modifiers (each returns this set) ----

  /// Implication: every degree scaled by `truth` (`product`) or capped at it.
  virtual IntfPtr<IFuzzySet> Correlate(bool product, TFzyFloat truth) = 0;
  virtual IntfPtr<IFuzzySet> ApplyHedge(int hedge) = 0;
  virtual IntfPtr<IFuzzySet> ApplyOperator(int op, bool on_y, TFzyFloat value) = 0;
  virtual IntfPtr<IFuzzySet> Normalize() = 0;

  // ---- The set behind the handle ----

  /// The plain set this handle stands for, for code that works on `TFuzzySet` directly
  /// (the geometry, the writer) without copying.
  virtual const TFuzzySet& AsFuzzySet() const = 0;
  virtual TFuzzySet& AsFuzzySet() = 0;

 protected:
  IFuzzySet() = default;
  IFuzzySet(const IFuzzySet&) = default;
  IFuzzySet& operator=(const IFuzzySet&) = default;
  ~IFuzzySet() override = default;
};

}  // namespace tapwise
