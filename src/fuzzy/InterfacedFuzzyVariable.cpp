#include "tapwise/fuzzy/InterfacedFuzzyVariable.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "RuleStrength.h"
#include "tapwise/foundation/ExactType.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/UpdateScope.h"
#include "tapwise/fuzzy/FuzzyConsts.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise {

// ---- Construction and lifetime ----

TIFuzzyVariable::TIFuzzyVariable(std::string name) : FName(std::move(name)) {}

TIFuzzyVariable::~TIFuzzyVariable() {
  // Releases that the table's terms make while it goes must only count.
  FDestroying = true;
  SetParser(nullptr);
  FOnChange = nullptr;
  FOnVariableChange = nullptr;
  FOnFuzzySetChange = nullptr;
  FItems.reset();
}

IntfPtr<TIFuzzyVariable> TIFuzzyVariable::Create(const std::string& name) {
  IntfPtr<TIFuzzyVariable> variable(new TIFuzzyVariable(name));
  variable->Initialize();
  return variable;
}

IntfPtr<TIFuzzyVariable> TIFuzzyVariable::CreateVariable(const std::string& name) const {
  return Create(name);
}

void TIFuzzyVariable::Initialize() {
  FItems = CreateFuzzySets();
}

std::unique_ptr<TIFuzzySets> TIFuzzyVariable::CreateFuzzySets() {
  return std::make_unique<TIFuzzySets>(this);
}

int32_t TIFuzzyVariable::Release() noexcept {
  const int32_t count = DecrementRefCount();
  if (!FItems || FDestroying) return count;
  if (count > 0 && count == FItems->GetCount()) {
    // Every remaining reference is a stored term's back link: nobody else can reach the
    // variable, so it lets its terms go. Those that nobody else holds are freed now, and
    // their releases of this variable only count (the flag is set).
    FDestroying = true;
    try {
      ClearTerms();
    } catch (...) {  // NOLINT(bugprone-empty-catch): a release cannot fail; the table is empty
    }
    if (RefCount() == 0) {
      delete this;
    } else {
      FDestroying = false;
    }
    return count;
  }
  if (count == 0) delete this;
  return count;
}

bool TIFuzzyVariable::GoesWholly() const {
  if (!IsExactly<TIFuzzyVariable>(*this) || !FItems || FOnChange || FOnVariableChange ||
      FItems->GetOnChange() || FItems->GetOwner() != nullptr) {
    return false;
  }
  return RefCount() == 1 + FItems->GetCount() && FItems->HoldsOnlyOwnTerms();
}

void TIFuzzyVariable::GoWholly() noexcept {
  // The terms' releases of the variable while the table goes only count. The table goes
  // first, so that the destructor has no terms left to take the parser from.
  FDestroying = true;
  FItems.reset();
  delete this;
}

// ---- Notifications ----

void TIFuzzyVariable::Changed() {
  if (FOnChange) FOnChange(this);
  if (FOnVariableChange) FOnVariableChange(*this);
}

void TIFuzzyVariable::FuzzySetAdded(IFuzzySet& fuzzy_set) {
  if (FOnFuzzySetAdded) FOnFuzzySetAdded(*this, fuzzy_set);
  Changed();
}

void TIFuzzyVariable::FuzzySetDeleted(IFuzzySet& fuzzy_set) {
  if (FOnFuzzySetDeleted) FOnFuzzySetDeleted(*this, fuzzy_set);
  Changed();
}

void TIFuzzyVariable::FuzzySetsCleared() {
  Changed();
}

void TIFuzzyVariable::FuzzySetChanged(IFuzzySet& fuzzy_set) {
  if (FOnFuzzySetChange) FOnFuzzySetChange(*this, fuzzy_set);
}

// ---- Copies ----

void TIFuzzyVariable::AssignSettings(const IFuzzyVariable& source) {
  FDefuzzificationMethod = source.GetDefuzzificationMethod();
  FMaximum = source.GetMaximum();
  FMinimum = source.GetMinimum();
  FName = source.GetName();
  FUnits = source.GetUnits();
  FNumFunctionValues = source.GetNumFunctionValues();
  FTag = source.GetTag();
  FParser = source.GetParser();
}

void TIFuzzyVariable::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TIFuzzyVariable*>(&source);
  if (other == nullptr) {
    TIFuzzyVariablePersistent::Assign(source);
    return;
  }
  if (other == this) return;
  IntfPtr<TIFuzzyVariable> keep(this);
  AssignSettings(*other);
  FItems->Assign(*other->FItems);
  Changed();
}

void TIFuzzyVariable::AssignTo(TPersistent& dest) const {
  TIFuzzyVariablePersistent::AssignTo(dest);
}

void TIFuzzyVariable::AssignFromInterface(const IntfPtr<IInterface>& source) {
  const auto* other = dynamic_cast<const IFuzzyVariable*>(source.Get());
  if (other == nullptr || other == static_cast<const IFuzzyVariable*>(this)) return;
  IntfPtr<TIFuzzyVariable> keep(this);
  AssignSettings(*other);
  AssignFuzzySets(*other);
  Changed();
}

IntfPtr<ICloneable> TIFuzzyVariable::Clone() const {
  IntfPtr<TIFuzzyVariable> copy = CreateVariable(FName);
  copy->Assign(*this);
  return copy;
}

bool TIFuzzyVariable::IsEqual(const IntfPtr<IInterface>& other) const {
  const auto* variable = dynamic_cast<const IFuzzyVariable*>(other.Get());
  if (variable == nullptr) return false;
  if (variable->GetName() != FName || variable->GetMaximum() != FMaximum ||
      variable->GetMinimum() != FMinimum || variable->GetUnits() != FUnits) {
    return false;
  }
  for (int i = 0; i < FItems->GetCount(); ++i) {
    IntfPtr<IFuzzySet> term = FItems->SetAt(i);
    if (!term->GetDefined()) continue;
    IntfPtr<IFuzzySet> match;
    if (!variable->TryGetFuzzySet(term->GetName(), match)) return false;
    if (!term->IsEqual(match)) return false;
  }
  return true;
}

void TIFuzzyVariable::AssignTermsFrom(const IntfPtr<IInterface>& source) {
  if (const auto* other = dynamic_cast<const IFuzzyVariable*>(source.Get())) {
    AssignFuzzySets(*other);
  }
}

void TIFuzzyVariable::AssignTermTable(const TPersistent& source) {
  IntfPtr<TIFuzzyVariable> keep(this);
  FItems->Assign(source);
}

void TIFuzzyVariable::AssignTermTableTo(TPersistent& dest) const {
  CallAssignTo(*FItems, dest);
}

// ---- Properties ----

void TIFuzzyVariable::CheckBound(TFzyFloat value, const char* operation) {
  if (!std::isfinite(value)) {
    throw EFzyException(Format(messages::kNonFiniteArgument, operation, "Value"));
  }
}

void TIFuzzyVariable::SetName(const std::string& value) {
  if (value == FName) return;
  FName = value;
  Changed();
}

void TIFuzzyVariable::SetMinimum(TFzyFloat value) {
  if (value == FMinimum) return;
  CheckBound(value, "SetMinimum");
  FMinimum = value;
  // The universe is never inverted: the other bound follows.
  if (FMinimum > FMaximum) SetMaximum(FMinimum);
  Changed();
}

void TIFuzzyVariable::SetMaximum(TFzyFloat value) {
  if (value == FMaximum) return;
  CheckBound(value, "SetMaximum");
  FMaximum = value;
  if (FMinimum > FMaximum) SetMinimum(FMaximum);
  Changed();
}

void TIFuzzyVariable::SetNumFunctionValues(int32_t value) {
  if (value == FNumFunctionValues) return;
  FNumFunctionValues = value;
  Changed();
}

void TIFuzzyVariable::SetThreshold(TFzyFloat value) {
  if (value == FThreshold) return;
  // NaN has no place in 0..1 to be clamped to.
  if (std::isnan(value)) {
    throw EFzyException(Format(messages::kNonFiniteArgument, "SetThreshold", "Value"));
  }
  FThreshold = std::clamp(value, 0.0, 1.0);
}

void TIFuzzyVariable::SetParser(const IntfPtr<IFuzzyParser>& value) {
  // A copy: `value` may be this very link, and the former parser stays counted until every
  // set has let go of it.
  const IntfPtr<IFuzzyParser> former = FParser;
  FParser = value;
  if (FItems) FItems->SetParserOfAll(value);
  // Sets that took the former parser from this variable must not keep it: a parser
  // component is not kept alive by its references, and the sets may outlive it.
  for (TIFuzzySet* set = FFirstListedSet; set != nullptr; set = set->FNextListed) {
    if (set->FParser == former) set->FParser = value;
  }
}

std::string TIFuzzyVariable::GetText() const {
  if (FParser) return FParser->FuzzyVariableToString(*this);
  return FName;
}

// ---- Rule firing ----

TFzyFloat TIFuzzyVariable::RuleStrength(std::span<const IntfPtr<IFuzzySet>> inputs,
                                        std::span<const IntfPtr<IFuzzySet>> antecedents) const {
  return RuleStrengthOf(inputs, antecedents);
}

IntfPtr<IFuzzySet> TIFuzzyVariable::ApplyRule(const IntfPtr<IFuzzySet>& consequent,
                                              const IntfPtr<IFuzzySet>& accumulated,
                                              TFzyFloat strength) const {
  if (strength < FThreshold) return nullptr;
  if (!consequent) throw EFzyException(Format(messages::kNilArgument, "ApplyRule", "Consequent"));
  // Max-min inference whatever the component's methods say: clip a copy, OR it in.
  IntfPtr<ICloneable> copy = consequent->Clone();
  IntfPtr<IFuzzySet> clipped;
  if (auto* set = ExactCast<TIFuzzySet>(copy.Get())) {
    // A plain interfaced set's clone is one: the copy's reference is handed on without a
    // cross-cast, and the set is clipped without the handle to itself that the interface's
    // Correlate returns (each handle costs an atomic count and its release).
    (void)copy.Detach();
    clipped = IntfPtr<IFuzzySet>::Adopt(set);
    set->TFuzzySet::Correlate(false, strength);
  } else {
    clipped = Supports<IFuzzySet>(copy);
    clipped->Correlate(false, strength);
  }
  if (!accumulated) return clipped;
  return accumulated->Aggregate(*clipped, fimMinMax, false);
}

IntfPtr<IFuzzySet> TIFuzzyVariable::FireRule(std::span<const IntfPtr<IFuzzySet>> inputs,
                                             std::span<const IntfPtr<IFuzzySet>> antecedents,
                                             const IntfPtr<IFuzzySet>& consequent,
                                             const IntfPtr<IFuzzySet>& accumulated) const {
  return ApplyRule(consequent, accumulated, RuleStrength(inputs, antecedents));
}

IntfPtr<IFuzzySet> TIFuzzyVariable::FireSimpleRule(const IFuzzySet& input,
                                                   const IntfPtr<IFuzzySet>& consequent,
                                                   const IFuzzySet& antecedent,
                                                   const IntfPtr<IFuzzySet>& accumulated) const {
  return ApplyRule(consequent, accumulated, input.MatchDegree(antecedent));
}

// ---- Terms ----

void TIFuzzyVariable::AddFuzzySet(const IntfPtr<IFuzzySet>& fuzzy_set) {
  if (!fuzzy_set) throw EFzyException(Format(messages::kNilArgument, "AddFuzzySet", "Set"));
  // Counted while the table changes, so that the release rule sees the finished table.
  IntfPtr<TIFuzzyVariable> keep(this);
  const bool store = [&] {
    if (fuzzy_set->GetVariable().Get() == static_cast<IFuzzyVariable*>(this)) {
      return fuzzy_set->GetDefined();
    }
    // Taking the set over stores a defined set through a nested call.
    fuzzy_set->SetVariable(IntfPtr<IFuzzyVariable>(this));
    return !fuzzy_set->GetDefined();
  }();
  if (!store) return;
  // The replaced term (if any) goes without a deleted notification.
  IntfPtr<IFuzzySet> replaced = FItems->Store(fuzzy_set);
  FuzzySetAdded(*fuzzy_set);
}

IntfPtr<IFuzzySet> TIFuzzyVariable::AddFuzzySet(const std::string& name) {
  const TIFuzzySetClass create = FFuzzySetClass != nullptr ? FFuzzySetClass : &TIFuzzySet::Create;
  IntfPtr<IFuzzySet> fuzzy_set = create(IntfPtr<IFuzzyVariable>(this), name);
  if (name != EmptySetName) fuzzy_set->MarkDefined();
  AddFuzzySet(fuzzy_set);
  return fuzzy_set;
}

void TIFuzzyVariable::RemoveFuzzySet(const IFuzzySet& fuzzy_set) {
  IntfPtr<IFuzzySet> stored;
  if (!FItems->TryGetSet(fuzzy_set.GetName(), stored) || stored.Get() != &fuzzy_set) return;
  IntfPtr<TIFuzzyVariable> keep(this);
  stored = FItems->RemoveSet(fuzzy_set.GetName());
  FuzzySetDeleted(*stored);
}

void TIFuzzyVariable::AssignFuzzySets(const IFuzzyVariable& source) {
  // Clearing first would lose the very terms to be copied.
  if (&source == static_cast<const IFuzzyVariable*>(this)) return;
  IntfPtr<TIFuzzyVariable> keep(this);
  IntfPtr<IFuzzyVariable> self(this);
  TUpdateScope<TIFuzzySets> block(*FItems);
  ClearFuzzySets();
  const int count = source.GetFuzzySetCount();
  for (int i = 0; i < count; ++i) {
    IntfPtr<IFuzzySet> copy = source.GetFuzzySetAt(i)->CopyForVariable(self);
    copy->MarkDefined();
    AddFuzzySet(copy);
  }
}

void TIFuzzyVariable::ClearTerms() {
  FItems->Clear();
  FuzzySetsCleared();
}

void TIFuzzyVariable::ClearFuzzySets() {
  IntfPtr<TIFuzzyVariable> keep(this);
  ClearTerms();
}

}  // namespace tapwise
