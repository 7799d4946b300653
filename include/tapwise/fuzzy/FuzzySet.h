#pragma once

#include <memory>
#include <string>
#include <typeinfo>

#include "tapwise/foundation/Collection.h"
#include "tapwise/fuzzy/FuzzySetContext.h"
#include "tapwise/fuzzy/FuzzySetValues.h"
#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

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
/// Not thread-safe, look-ups included (they remember the variable last found); a set is
/// used from the thread that owns its variable.
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
  void Clear() { FValues->Clear(); }
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

 protected:
  /// Builds the point list a set of this class owns.
  using ValuesFactory = std::unique_ptr<TFuzzySetValues> (*)(TFuzzySet& set);
  /// For descendants that own a descendant point list.
  TFuzzySet(TGCollection* collection, ValuesFactory values_factory);

  /// A new empty set of this set's class, of no collection; `Clone` uses it.
  virtual std::unique_ptr<TFuzzySet> NewInstance() const;

  /// Called by the point list after one point (`PointChanged`) or the list as a whole
  /// (`PointsChanged`) changed: reports the change and makes the set user-defined without
  /// expression.
  virtual void PointChanged(TFuzzySetValue& item);
  virtual void PointsChanged();

  /// Stores the type without touching the points and reports the change; generators and
  /// operations call it once their points are complete.
  void StoreSetType(TFuzzySetType value);

 private:
  friend class TFuzzySetValues;

  TFuzzySetType FSetType = fstUserDefined;
  std::string FName;
  std::unique_ptr<TFuzzySetValues> FValues;
  TFzyFloat FInflectionPoint = 0;
  std::string FComment;
  bool FDefined = false;
  int FTag = 0;
  std::string FExpression;

  // The last variable found: the owner object it was found on and that object's class.
  // The same object of the same class gives the same variable, so the type look-up (a
  // third of the cost of adding a point) runs only when the set meets a new owner.
  mutable const TPersistent* FOwnerSeen = nullptr;
  mutable const std::type_info* FOwnerClassSeen = nullptr;
  mutable const TFuzzySetContext* FVariableSeen = nullptr;
};

}  // namespace tapwise
