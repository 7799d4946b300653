#include "tapwise/fuzzy/InterfacedFuzzySet.h"

#include <algorithm>
#include <utility>

#include "tapwise/foundation/ExactType.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/UpdateScope.h"
#include "tapwise/fuzzy/FuzzyConsts.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyGeometry.h"
#include "tapwise/fuzzy/InterfacedFuzzySets.h"
#include "tapwise/fuzzy/InterfacedFuzzyVariable.h"

namespace tapwise {

namespace {

// The name of an alpha cut: the source's name and the level.
constexpr char kAlphaCutName[] = "%s (alpha=%.4f)";

// The universe of a set that belongs to no variable.
constexpr TFzyFloat kUnboundedMaximum = 2147483647.0;

// The handle of a set made by an operation of a TIFuzzySet (always a TIFuzzySet, see
// NewDerivedSet); the result's own reference is dropped when it goes.
IntfPtr<IFuzzySet> Handle(const TFuzzySetResult& result) {
  return IntfPtr<IFuzzySet>(static_cast<TIFuzzySet*>(result.Get()));
}

}  // namespace

// ---- TIFSValues ----

void TIFSValues::CopyPoints(const IFuzzySet& source, int start, int count) {
  const int available = source.GetCount();
  if (available == 0 || count <= 0) return;
  start = std::clamp(start, 0, available - 1);
  count = std::min(count, available - start);
  TUpdateScope<TFuzzySetValues> block(*this);
  for (int i = start; i < start + count; ++i)
    AddPoint(source.GetX(i), source.GetY(i));
}

bool TIFSValues::EqualPoints(const IFuzzySet& source) const {
  if (source.GetCount() != GetCount()) return false;
  for (int i = 0; i < GetCount(); ++i) {
    if (!SameFloat(GetX(i), source.GetX(i)) || !SameFloat(GetY(i), source.GetY(i))) return false;
  }
  return true;
}

// ---- Construction ----

TIFuzzySet::TIFuzzySet() : TFuzzySet(nullptr, TMemberValues{}), FIFSValues(this) {
  AttachValues(FIFSValues);
}

TIFuzzySet::~TIFuzzySet() {
  LeaveVariableList();
}

IntfPtr<TIFuzzySet> TIFuzzySet::Create(const IntfPtr<IFuzzyVariable>& variable,
                                       const std::string& name) {
  // A set of the library's own variable lives in its pool: the variable is used from one
  // thread, and whoever makes a set for it is using it.
  auto* own = CastExpecting<TIFuzzyVariable, TIFuzzyVariable>(variable.Get());
  void* storage = own != nullptr ? own->FSetStorage.Allocate(sizeof(TIFuzzySet))
                                 : TChunkPool::AllocateAlone(sizeof(TIFuzzySet));
  TIFuzzySet* made = nullptr;
  try {
    made = ::new (storage) TIFuzzySet();
  } catch (...) {
    TChunkPool::Free(storage);
    throw;
  }
  // Held before it is named and linked, so that it may be handed around meanwhile.
  IntfPtr<TIFuzzySet> set(made);
  // What Initialize's SetName and SetVariable come to for a new set of this very class: no
  // table holds it, it is no term, and it belongs to no variable yet.
  if (!name.empty()) {
    CheckFuzzySetName(name);
    set->StoreCheckedName(name);
  }
  if (variable) {
    set->FVariable = variable;
    set->JoinVariableList();
    set->FParser = variable->GetParser();
  }
  return set;
}

void TIFuzzySet::Initialize(const IntfPtr<IFuzzyVariable>& variable, const std::string& name) {
  SetName(name);
  SetVariable(variable);
}

IntfPtr<TIFuzzySet> TIFuzzySet::CreateSet(const IntfPtr<IFuzzyVariable>& variable,
                                          const std::string& name) const {
  return Create(variable, name);
}

std::unique_ptr<TFuzzySet> TIFuzzySet::NewInstance() const {
  // A counted set is never owned by a unique_ptr; the plain copy of a counted set is a
  // plain set.
  return std::make_unique<TFuzzySet>();
}

TFuzzySetResult TIFuzzySet::NewDerivedSet(const std::string& name) const {
  // A derived set is this set's copy with other points: it keeps the inflection point. Its
  // parser is its variable's, as for any set made for the variable.
  IntfPtr<TIFuzzySet> made = CreateSet(FVariable, name);
  made->SetInflectionPoint(TFuzzySet::GetInflectionPoint());
  return TFuzzySetResult::Held(THeldFuzzySet(made.Detach()));
}

// ---- Copies ----

bool TIFuzzySet::IsStoredIn(IFuzzyVariable& variable) const {
  // The library's own variable answers from its table without counting references (each
  // rename of a rule's clipped copy asks this).
  if (const auto* own = ExactCast<TIFuzzyVariable>(&variable)) {
    // Its table is a TIFuzzySets, which marks every set it takes.
    return FEnteredTermTable && own->GetItems().Holds(GetName(), *this);
  }
  IntfPtr<IFuzzySet> stored;
  return variable.TryGetFuzzySet(GetName(), stored) &&
         stored.Get() == static_cast<const IFuzzySet*>(this);
}

template <class Rename>
void TIFuzzySet::Rekey(Rename&& rename) {
  if (!FVariable || !IsStoredIn(*FVariable)) {
    rename();
    return;
  }
  // Counted copies: taking the set out of the table may drop the table's reference to it,
  // and the variable's release rule must see the re-keyed table when it runs.
  IntfPtr<IFuzzyVariable> variable = FVariable;
  IntfPtr<IFuzzySet> self(this);
  // A set stored by an explicit AddFuzzySet may not be marked as a term yet; it must come
  // back into the table all the same.
  MarkDefined();
  variable->RemoveFuzzySet(*this);
  try {
    rename();
  } catch (...) {
    variable->AddFuzzySet(self);  // back under the name it still has
    throw;
  }
  variable->AddFuzzySet(self);
}

void TIFuzzySet::Assign(const TPersistent& source) {
  // Clones copy from a set of this very class: its exact type spares the cast its walk.
  const auto* other = CastExpecting<const TIFuzzySet, const TIFuzzySet>(&source);
  if (other == nullptr || other == this) {
    TFuzzySet::Assign(source);
    return;
  }
  SetVariable(other->FVariable);
  FParser = other->FParser;
  if (other->GetName() == GetName()) {
    AssignSet(*other);
  } else {
    Rekey([&] { AssignSet(*other); });
  }
}

void TIFuzzySet::AssignTo(TPersistent& dest) const {
  TFuzzySet::AssignTo(dest);
}

void TIFuzzySet::AssignFromInterface(const IntfPtr<IInterface>& source) {
  IntfPtr<IFuzzySet> other = Supports<IFuzzySet>(source);
  if (!other || other.Get() == static_cast<IFuzzySet*>(this)) return;
  SetVariable(other->GetVariable());
  SetInflectionPoint(other->GetInflectionPoint());
  AssignPoints(*other);
  // After the points, which made the set user-defined without expression.
  TFuzzySet::SetExpression(other->GetExpression());
  FParser = other->GetParser();
  StoreSetType(other->GetSetType());
}

IntfPtr<IFuzzySet> TIFuzzySet::CloneSet() const {
  IntfPtr<TIFuzzySet> copy = CreateSet(FVariable, GetName());
  copy->Assign(*this);
  return copy;
}

bool TIFuzzySet::IsEqual(const IntfPtr<IInterface>& other) const {
  IntfPtr<IFuzzySet> set = Supports<IFuzzySet>(other);
  if (!set) return false;
  if (!FVariable) {
    throw EFzyException(Format(messages::kThresholdWithoutVariable, GetName()));
  }
  return geometry::ReachesThreshold(GetValues(), set->AsFuzzySet().GetValues(),
                                    FVariable->GetThreshold());
}

void TIFuzzySet::AssignPointList(const TPersistent& source) {
  GetValues().Assign(source);
}

void TIFuzzySet::AssignPointListTo(TPersistent& dest) const {
  CallAssignTo(GetValues(), dest);
}

IntfPtr<IFuzzySet> TIFuzzySet::CopyForVariable(const IntfPtr<IFuzzyVariable>& variable) const {
  IntfPtr<TIFuzzySet> copy = CreateSet(variable, GetName());
  copy->SetParser(variable ? variable->GetParser() : nullptr);
  copy->AssignPoints(*this);
  return copy;
}

// ---- Properties ----

void TIFuzzySet::SetName(const std::string& value) {
  if (value == GetName()) return;
  // Before the set leaves its variable's table, so that a refused name loses nothing.
  CheckFuzzySetName(value);
  Rekey([&] { StoreCheckedName(value); });
}

std::string TIFuzzySet::GetText() const {
  if (FParser) return FParser->FuzzySetToString(*this, false);
  return TFuzzySet::GetText();
}

TFzyFloat TIFuzzySet::GetMaxX() const {
  if (FVariable) return FVariable->GetMaximum();
  const int count = GetCount();
  return count == 0 ? kUnboundedMaximum : GetX(count - 1);
}

TFzyFloat TIFuzzySet::GetMinX() const {
  if (FVariable) return FVariable->GetMinimum();
  return GetCount() == 0 ? -kUnboundedMaximum : GetX(0);
}

TFzyFloat TIFuzzySet::GetXRange(int index) const {
  if (!FVariable) return TFuzzySet::GetXRange(index);
  if (index == 0) return FVariable->GetMaximum();
  if (index == 1) return FVariable->GetMinimum();
  throw EFzyException(Format(messages::kInvalidXRangeIndex, index));
}

void TIFuzzySet::SetVariable(const IntfPtr<IFuzzyVariable>& value) {
  if (value == FVariable) return;
  // The set may lose its last other reference when its old variable lets it go, and a
  // defined set is handed to the new one. A set with neither (a fresh copy) needs no handle
  // to itself, which would cost an atomic count and its release.
  IntfPtr<IFuzzySet> self;
  if (FVariable || GetDefined()) self = IntfPtr<IFuzzySet>(this);
  IntfPtr<IFuzzyVariable> old = FVariable;
  if (old && IsStoredIn(*old)) old->RemoveFuzzySet(*this);
  LeaveVariableList();
  FVariable = value;
  JoinVariableList();
  if (value) {
    if (GetDefined()) value->AddFuzzySet(self);
    FParser = value->GetParser();
  } else {
    // Nothing would take it from the set when the parser goes.
    FParser = nullptr;
  }
}

void TIFuzzySet::JoinVariableList() {
  FListedIn = CastExpecting<TIFuzzyVariable, TIFuzzyVariable>(FVariable.Get());
  if (FListedIn == nullptr) return;
  FNextListed = std::exchange(FListedIn->FFirstListedSet, this);
  if (FNextListed != nullptr) FNextListed->FPrevListed = this;
  // A listed set is used from its variable's thread while the variable is alive.
  FIFSValues.SetPointChunkSource(&FListedIn->FPointStorage);
}

void TIFuzzySet::LeaveVariableList() noexcept {
  if (FListedIn == nullptr) return;
  FIFSValues.SetPointChunkSource(nullptr);
  (FPrevListed != nullptr ? FPrevListed->FNextListed : FListedIn->FFirstListedSet) = FNextListed;
  if (FNextListed != nullptr) FNextListed->FPrevListed = FPrevListed;
  FListedIn = nullptr;
  FPrevListed = nullptr;
  FNextListed = nullptr;
}

// ---- Points ----

void TIFuzzySet::SetX(int index, TFzyFloat x) {
  GetValues().GetPoint(index)->SetX(x);
}

void TIFuzzySet::SetY(int index, TFzyFloat y) {
  GetValues().GetPoint(index)->SetY(y);
}

int TIFuzzySet::AddPoint(TFzyFloat x, TFzyFloat y) {
  const int index = GetCount();
  TFuzzySet::AddPoint(x, y);
  return index;
}

int TIFuzzySet::InsertPoint(int index, TFzyFloat x, TFzyFloat y) {
  TFuzzySetValues& values = GetValues();
  TUpdateScope<TFuzzySetValues> block(values);
  static_cast<TFuzzySetValue*>(values.Insert(index))->SetXY(x, y);
  return index;
}

void TIFuzzySet::DeletePoint(int index) {
  GetValues().Delete(index);
}

void TIFuzzySet::AddPoints(const IFuzzySet& source) {
  GetIFSValues().CopyPoints(source, 0, source.GetCount());
}

void TIFuzzySet::AddPoints(const IFuzzySet& source, int start, int count) {
  GetIFSValues().CopyPoints(source, start, count);
}

void TIFuzzySet::AssignPoints(const IFuzzySet& source) {
  if (&source == static_cast<IFuzzySet*>(this)) return;
  TFuzzySetValues& values = GetValues();
  TUpdateScope<TFuzzySetValues> block(values);
  values.Clear();
  for (int i = 0; i < source.GetCount(); ++i)
    values.AddPoint(source.GetX(i), source.GetY(i));
}

// ---- Operations ----

TFzyFloat TIFuzzySet::MatchDegree(const IFuzzySet& other) const {
  return TFuzzySet::MatchDegree(other.AsFuzzySet());
}

TFzyFloat TIFuzzySet::MatchDegree(const IntfPtr<IInterface>& other) const {
  const auto* set = dynamic_cast<const IFuzzySet*>(other.Get());
  return set == nullptr ? 0 : MatchDegree(*set);
}

bool TIFuzzySet::Overlaps(const IFuzzySet& other) const {
  return TFuzzySet::Overlaps(other.AsFuzzySet());
}

IntfPtr<IFuzzySet> TIFuzzySet::Intersection(const IFuzzySet& other,
                                            TFuzzyOperation operation) const {
  return Handle(TFuzzySet::Intersection(other.AsFuzzySet(), operation));
}

IntfPtr<IFuzzySet> TIFuzzySet::Union(const IFuzzySet& other, TFuzzyOperation operation) const {
  return Handle(TFuzzySet::Union(other.AsFuzzySet(), operation));
}

IntfPtr<IFuzzySet> TIFuzzySet::Aggregate(const IFuzzySet& other, TFuzzyInferenceMethod method,
                                         bool use_and) const {
  return Handle(TFuzzySet::Aggregate(other.AsFuzzySet(), method, use_and));
}

bool TIFuzzySet::ForEachPointPair(const IFuzzySet& other, const PointVisitor& visitor) const {
  return TFuzzySet::ForEachPointPair(other.AsFuzzySet(), visitor);
}

IntfPtr<IFuzzySet> TIFuzzySet::CombineSets(const IFuzzySet& other,
                                           const std::string& operation_name,
                                           const PointCombiner& combiner) const {
  return Handle(TFuzzySet::CombineSets(other.AsFuzzySet(), operation_name, combiner));
}

IntfPtr<IFuzzySet> TIFuzzySet::CombineWithValue(bool use_or, TFzyFloat value) const {
  return Handle(TFuzzySet::CombineWithValue(use_or, value));
}

IntfPtr<IFuzzySet> TIFuzzySet::AlphaCut(bool strong, TFzyFloat level) const {
  IntfPtr<IFuzzySet> cut = Handle(TFuzzySet::AlphaCut(strong, level));
  // Named by the level asked for, before the cut clamps it.
  cut->SetName(Format(kAlphaCutName, GetName(), level));
  return cut;
}

bool TIFuzzySet::SegmentIntersection(TFzyFloat& x, TFzyFloat& y, TFzyFloat x1, TFzyFloat y1,
                                     TFzyFloat x2, TFzyFloat y2, TFzyFloat x3, TFzyFloat y3,
                                     TFzyFloat x4, TFzyFloat y4) const {
  return TFuzzySet::SegmentIntersection(x, y, x1, y1, x2, y2, x3, y3, x4, y4);
}

IntfPtr<IFuzzySet> TIFuzzySet::Correlate(bool product, TFzyFloat truth) {
  TFuzzySet::Correlate(product, truth);
  return IntfPtr<IFuzzySet>(this);
}

IntfPtr<IFuzzySet> TIFuzzySet::ApplyHedgeToSet(int hedge) {
  TFuzzySet::ApplyHedge(hedge);
  return IntfPtr<IFuzzySet>(this);
}

IntfPtr<IFuzzySet> TIFuzzySet::ApplyOperator(int op, bool on_y, TFzyFloat value) {
  TFuzzySet::ApplyOperator(op, on_y, value);
  return IntfPtr<IFuzzySet>(this);
}

IntfPtr<IFuzzySet> TIFuzzySet::Normalize() {
  TFuzzySet::Normalize();
  return IntfPtr<IFuzzySet>(this);
}

// ---- Change reports ----

void TIFuzzySet::ReportChange() {
  if (FVariable) FVariable->FuzzySetChanged(*this);
}

void TIFuzzySet::PointChanged(TFuzzySetValue& item) {
  TFuzzySet::PointChanged(item);
  ReportChange();
}

void TIFuzzySet::PointsChanged() {
  TFuzzySet::PointsChanged();
  ReportChange();
}

}  // namespace tapwise
