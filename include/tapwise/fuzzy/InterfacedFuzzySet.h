#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>

#include "tapwise/foundation/ChunkPool.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzySetValues.h"
#include "tapwise/fuzzy/IFuzzyParser.h"
#include "tapwise/fuzzy/IFuzzySet.h"
#include "tapwise/fuzzy/IFuzzyVariable.h"

namespace tapwise {

class TIFuzzyVariable;

/// The point list of an interfaced set: the plain list plus copying from and comparing with
/// any `IFuzzySet`.
class TIFSValues : public TFuzzySetValues {
 public:
  explicit TIFSValues(TFuzzySet* set) : TFuzzySetValues(set) {}

  std::string ClassName() const override { return "TIFSValues"; }

  using TFuzzySetValues::CopyPoints;
  /// Appends `count` of `source`'s points from `start`, in one update block; `start` is
  /// clamped to 0..count-1 of `source` and `count` to what remains.
  virtual void CopyPoints(const IFuzzySet& source, int start, int count);
  /// True when `source` has as many points, each equal within tolerance in X and Y.
  virtual bool EqualPoints(const IFuzzySet& source) const;
};

namespace detail {

// `TFuzzySet` has virtual `Clone` and `ApplyHedge` with the same parameters as the
// interface's but other results (a plain set for a plain caller, a counted handle here). C++
// lets one class override only one of two such functions, so this layer answers the
// interface's forms and hands them on under their own names.
class TIFuzzySetInterface : public IFuzzySet {
 public:
  IntfPtr<ICloneable> Clone() const final { return CloneSet(); }
  IntfPtr<IFuzzySet> ApplyHedge(int hedge) final { return ApplyHedgeToSet(hedge); }

  /// The interface's `Clone`, answered as a set.
  virtual IntfPtr<IFuzzySet> CloneSet() const = 0;

 protected:
  virtual IntfPtr<IFuzzySet> ApplyHedgeToSet(int hedge) = 0;
};

}  // namespace detail

/// The fuzzy set of the interfaced side of the library: a `TFuzzySet` that is counted, is
/// held through `IFuzzySet`, belongs to a variable through a counted link (its universe is
/// the variable's) and reports its changes to that variable.
///
/// A stored term and its variable hold each other; `TIFuzzyVariable::Release` breaks the
/// cycle. Sets made by operations are of this set's class (`CreateSet`) and carry this set's
/// variable without being stored in it. Every set linked to a `TIFuzzyVariable`, stored or
/// not, follows the parser that the variable lets go of (see `TIFuzzyVariable::SetParser`),
/// so a set may outlive its parser and component whichever goes first.
///
/// On a `TIFuzzySet` itself the plain set's operations (taking and returning `TFuzzySet`) and
/// the interface's (taking `IFuzzySet`, returning handles) share names; call the interface's
/// through an `IntfPtr<IFuzzySet>`.
///
///     auto cold = TIFuzzySet::Create(temperature, "cold");
///     cold->SetTriangle(0, 10, 20);
///     cold->MarkDefined();
///     temperature->AddFuzzySet(cold);  // stored under "cold"
///
/// Every set (of this class or a descendant) is chunk pool storage (`TChunkPoolObject`): a
/// set of this very class made for one of the library's variables takes a slot of that
/// variable's pool, which hands out a few sets to an allocation; any other set a block of its
/// own.
class TIFuzzySet : public TFuzzySet,
                   public TInterfacedObject,
                   public detail::TIFuzzySetInterface,
                   public TChunkPoolObject {
 public:
  /// An empty set named `name` linked to `variable` (which may be null). The set is not
  /// `Defined`, so it is not stored.
  static IntfPtr<TIFuzzySet> Create(const IntfPtr<IFuzzyVariable>& variable,
                                    const std::string& name);

  std::string ClassName() const override { return "TIFuzzySet"; }

  /// The class's virtual constructor: an empty set of this set's class. Descendants override
  /// it so that clones and results of operations are of their class.
  virtual IntfPtr<TIFuzzySet> CreateSet(const IntfPtr<IFuzzyVariable>& variable,
                                        const std::string& name) const;

  TIFSValues& GetIFSValues() { return FIFSValues; }
  const TIFSValues& GetIFSValues() const { return FIFSValues; }

  // ---- ICloneable ----

  /// From another `TIFuzzySet`: its variable (`SetVariable`) and parser, then the plain
  /// set's copy (name, points, type, inflection point, expression). A stored term that
  /// takes another name is re-keyed. Other sources as `TFuzzySet`.
  void Assign(const TPersistent& source) override;
  void AssignTo(TPersistent& dest) const override;
  /// From an `IFuzzySet`: variable, inflection point, points, expression and parser, then
  /// its set type without generating points. Name, comment, tag and `Defined` stay. Any
  /// other source is ignored.
  void AssignFromInterface(const IntfPtr<IInterface>& source) override;
  /// A set of this class with this set's name, variable and content, not stored.
  IntfPtr<IFuzzySet> CloneSet() const override;
  /// True when `other` is a fuzzy set that reaches this set's variable's `Threshold`
  /// somewhere (min of the two degrees at a position of the merge walk). A set without
  /// variable raises EFzyException.
  bool IsEqual(const IntfPtr<IInterface>& other) const override;
  int32_t GetTag() const override { return TFuzzySet::GetTag(); }
  void SetTag(int32_t value) override { TFuzzySet::SetTag(value); }

  // ---- IFuzzySet: copies and properties ----

  void AssignPointList(const TPersistent& source) override;
  void AssignPointListTo(TPersistent& dest) const override;
  IntfPtr<IFuzzySet> CopyForVariable(const IntfPtr<IFuzzyVariable>& variable) const override;

  const std::string& GetName() const override { return TFuzzySet::GetName(); }
  void SetName(const std::string& value) override;
  TFuzzySetType GetSetType() const override { return TFuzzySet::GetSetType(); }
  void SetSetType(TFuzzySetType value) override { TFuzzySet::SetSetType(value); }
  TFzyFloat GetInflectionPoint() const override { return TFuzzySet::GetInflectionPoint(); }
  const std::string& GetExpression() const override { return TFuzzySet::GetExpression(); }
  void SetExpression(const std::string& value) override { TFuzzySet::SetExpression(value); }
  const std::string& GetComment() const override { return TFuzzySet::GetComment(); }
  void SetComment(const std::string& value) override { TFuzzySet::SetComment(value); }
  std::string GetText() const override;
  std::string ValuesText() const override { return TFuzzySet::ValuesText(); }
  TFzyFloat GetMaxX() const override;
  TFzyFloat GetMinX() const override;

  const IntfPtr<IFuzzyVariable>& GetVariable() const override { return FVariable; }
  /// As the interface says; a set moved to no variable keeps no parser.
  void SetVariable(const IntfPtr<IFuzzyVariable>& value) override;
  const IntfPtr<IFuzzyParser>& GetParser() const override { return FParser; }
  void SetParser(const IntfPtr<IFuzzyParser>& value) override { FParser = value; }
  int32_t GetOrderNumber() const override { return FOrderNumber; }
  void SetOrderNumber(int32_t value) override { FOrderNumber = value; }
  bool GetDefined() const override { return TFuzzySet::GetDefined(); }
  void MarkDefined() override { SetDefined(true); }

  // ---- IFuzzySet: points ----

  int GetCount() const override { return TFuzzySet::GetCount(); }
  TFzyFloat GetX(int index) const override { return TFuzzySet::GetX(index); }
  TFzyFloat GetY(int index) const override { return TFuzzySet::GetY(index); }
  void SetX(int index, TFzyFloat x) override;
  void SetY(int index, TFzyFloat y) override;
  int AddPoint(TFzyFloat x, TFzyFloat y) override;
  int InsertPoint(int index, TFzyFloat x, TFzyFloat y) override;
  void DeletePoint(int index) override;
  void Clear() override { TFuzzySet::Clear(); }
  void AddPoints(const IFuzzySet& source) override;
  void AddPoints(const IFuzzySet& source, int start, int count) override;
  void AssignPoints(const IFuzzySet& source) override;
  void BeginUpdate() override { TFuzzySet::BeginUpdate(); }
  void EndUpdate() override { TFuzzySet::EndUpdate(); }
  void Densify(int count) override { GetValues().Densify(count); }
  TFzyFloat GetMaximumYValue() const override { return TFuzzySet::GetMaximumYValue(); }
  TFzyFloat GetMinimumYValue() const override { return TFuzzySet::GetMinimumYValue(); }
  int NextDistinctX(int start, int step, TFzyFloat x) const override {
    return GetValues().NextDistinctX(start, step, x);
  }
  int NextDistinctY(int start, int step, TFzyFloat y) const override {
    return GetValues().NextDistinctY(start, step, y);
  }
  TFzyFloat GetMembership(TFzyFloat x) const override { return TFuzzySet::GetMembership(x); }

  // ---- IFuzzySet: shapes ----

  void SetCrispValue(TFzyFloat x) override { TFuzzySet::SetCrispValue(x); }
  void SetTriangle(TFzyFloat left, TFzyFloat middle, TFzyFloat right) override {
    TFuzzySet::SetTriangle(left, middle, right);
  }
  void SetCurve(int count, bool growth, TFzyFloat left, TFzyFloat right,
                TFzyFloat inflection_point) override {
    TFuzzySet::SetCurve(count, growth, left, right, inflection_point);
  }
  void SetPICurve(int count, TFzyFloat left, TFzyFloat right, TFzyFloat center) override {
    TFuzzySet::SetPICurve(count, left, right, center);
  }
  void SetPICurveRange(int count, TFzyFloat range, TFzyFloat center) override {
    TFuzzySet::SetPICurveRange(count, range, center);
  }
  void SetBetaCurve(int count, TFzyFloat range, TFzyFloat center,
                    TFzyFloat inflection_point) override {
    TFuzzySet::SetBetaCurve(count, range, center, inflection_point);
  }
  void SetWeightedBetaCurve(int count, TFzyFloat range, TFzyFloat center,
                            TFzyFloat inflection_point, TFzyFloat weight) override {
    TFuzzySet::SetWeightedBetaCurve(count, range, center, inflection_point, weight);
  }

  // ---- IFuzzySet: operations and measures ----

  TFzyFloat MatchDegree(const IFuzzySet& other) const override;
  TFzyFloat MatchDegree(const IntfPtr<IInterface>& other) const override;
  bool Overlaps(const IFuzzySet& other) const override;
  IntfPtr<IFuzzySet> Intersection(const IFuzzySet& other,
                                  TFuzzyOperation operation = foZadeh) const override;
  IntfPtr<IFuzzySet> Union(const IFuzzySet& other,
                           TFuzzyOperation operation = foZadeh) const override;
  IntfPtr<IFuzzySet> Aggregate(const IFuzzySet& other, TFuzzyInferenceMethod method,
                               bool use_and) const override;
  bool ForEachPointPair(const IFuzzySet& other, const PointVisitor& visitor) const override;
  IntfPtr<IFuzzySet> CombineSets(const IFuzzySet& other, const std::string& operation_name,
                                 const PointCombiner& combiner) const override;
  IntfPtr<IFuzzySet> CombineWithValue(bool use_or, TFzyFloat value) const override;
  /// The plain set's cut, named with the level as asked for: "warm (alpha=0.5000)".
  IntfPtr<IFuzzySet> AlphaCut(bool strong, TFzyFloat level) const override;
  bool SegmentIntersection(TFzyFloat& x, TFzyFloat& y, TFzyFloat x1, TFzyFloat y1, TFzyFloat x2,
                           TFzyFloat y2, TFzyFloat x3, TFzyFloat y3, TFzyFloat x4,
                           TFzyFloat y4) const override;
  TFzyFloat Defuzzify() const override { return TFuzzySet::CenterOfGravity(); }
  TFzyFloat CenterOfGravity() const override { return TFuzzySet::CenterOfGravity(); }
  TFzyFloat MeanOfMaxima() const override { return TFuzzySet::MeanOfMaxima(); }
  TFzyFloat GetAverageY() const override { return TFuzzySet::GetAverageY(); }
  bool IsFlat() const override { return TFuzzySet::IsFlat(); }

  IntfPtr<IFuzzySet> Correlate(bool product, TFzyFloat truth) override;
  IntfPtr<IFuzzySet> ApplyOperator(int op, bool on_y, TFzyFloat value) override;
  IntfPtr<IFuzzySet> Normalize() override;

  const TFuzzySet& AsFuzzySet() const override { return *this; }
  TFuzzySet& AsFuzzySet() override { return *this; }

  // ---- Plain-set seams ----

  /// With a variable, 0 gives its `Maximum` and 1 its `Minimum`; any other index raises.
  TFzyFloat GetXRange(int index) const override;
  /// The defaults, always: an interfaced set reaches no component, so `SetSetType` samples
  /// curves with 7 points and `Defuzzify` is the centre of gravity, whatever its variable's
  /// `NumFunctionValues` and `DefuzzificationMethod` say.
  TFuzzySetSettings GetSettings() const override { return {}; }

 protected:
  TIFuzzySet();
  ~TIFuzzySet() override;
  /// The second half of construction, once the set is held: names it and links it to
  /// `variable`. A descendant's factory builds its object, holds it and calls this.
  ///
  ///     IntfPtr<TIFuzzySet> TMySet::Create(const IntfPtr<IFuzzyVariable>& v,
  ///                                        const std::string& name) {
  ///       IntfPtr<TMySet> set(new TMySet());
  ///       set->Initialize(v, name);
  ///       return set;
  ///     }
  void Initialize(const IntfPtr<IFuzzyVariable>& variable, const std::string& name);

  IntfPtr<IFuzzySet> ApplyHedgeToSet(int hedge) override;
  TFuzzySetResult NewDerivedSet(const std::string& name) const override;
  std::unique_ptr<TFuzzySet> NewInstance() const override;
  /// Drops the holder's reference: a counted set is never deleted by one holder.
  void FreeHeld() noexcept override { Release(); }
  void PointChanged(TFuzzySetValue& item) override;
  void PointsChanged() override;

 private:
  // Runs `rename` (which changes the name) with the set taken out of its variable's table
  // first and stored again afterwards under the new name.
  template <class Rename>
  void Rekey(Rename&& rename);
  bool IsStoredIn(IFuzzyVariable& variable) const;
  void ReportChange();
  // Enters the list of sets that `FVariable` reaches when it is one of the library's
  // variables; leaves the list it is in.
  void JoinVariableList();
  void LeaveVariableList() noexcept;

  // Term tables mark every set of this class that enters one (a mark never taken back).
  friend class TIFuzzySets;
  // The variable walks its list and hands the listed sets its parser.
  friend class TIFuzzyVariable;

  // The point list, kept in the set itself (one allocation less per set). First, so that
  // it goes last: the set's other members let go of their objects while it is whole.
  TIFSValues FIFSValues;
  IntfPtr<IFuzzyVariable> FVariable;
  IntfPtr<IFuzzyParser> FParser;
  int32_t FOrderNumber = 0;
  // Whether the set has ever been put into a variable's term table. Until then no table of
  // the library's own variables can hold it, and a rename need not look it up (each rule
  // firing renames a clipped copy that was never stored).
  bool FEnteredTermTable = false;
  // The variable whose list holds this set (FVariable itself, when it is a TIFuzzyVariable)
  // and the neighbours in that list.
  TIFuzzyVariable* FListedIn = nullptr;
  TIFuzzySet* FPrevListed = nullptr;
  TIFuzzySet* FNextListed = nullptr;
};

/// The class reference of the sets a variable creates: builds an empty set of a
/// `TIFuzzySet` class linked to `variable` and named `name` (`TIFuzzySet::Create` or a
/// descendant's).
using TIFuzzySetClass = IntfPtr<TIFuzzySet> (*)(const IntfPtr<IFuzzyVariable>& variable,
                                                const std::string& name);

}  // namespace tapwise
