#include "tapwise/fuzzy/FuzzyVariableTable.h"
#include "tapwise/foundation/ExactType.h"

#include <utility>
#include <vector>

#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"
#include "tapwise/fuzzy/InterfacedFuzzyVariable.h"

namespace tapwise {

namespace {

// The variable `item` is, if it is one. Variables are nearly always of the library's own
// class; for those a type comparison stands in for the cast across the class hierarchy,
// which costs as much as the rest of storing or telling of a variable.
IFuzzyVariable* VariableOf(IInterface* item) {
  return CastExpecting<IFuzzyVariable, TIFuzzyVariable>(item);
}

// Takes the table's reference over as a variable handle without counting twice.
IntfPtr<IFuzzyVariable> AsVariable(IntfPtr<IInterface>&& item) {
  IFuzzyVariable* variable = VariableOf(item.Get());
  if (variable == nullptr) return nullptr;
  (void)item.Detach();
  return IntfPtr<IFuzzyVariable>::Adopt(variable);
}

}  // namespace

TFuzzyVariableTable::TFuzzyVariableTable(TIFuzzyLogic* owner)
    : TIStringHashTable(101, 0.75f), FOwner(owner) {}

TFuzzyVariableTable::~TFuzzyVariableTable() {
  // The variables leave with the table: none may keep calling the component. A variable
  // that goes wholly with the table's reference (see TIFuzzyVariable::GoesWholly) is let go
  // right after it has been told, while it and its terms are still at hand, instead of
  // after all the others: its going runs none but the library's own code and leaves
  // nothing behind that anyone could look at, so nobody can tell the difference.
  //
  // Telling the library's own component of such a variable comes to nothing either: it
  // unhooks the variable's term events, which go with the variable, and takes the
  // component's parser from the variable and its terms, which the variable's own going does
  // all the same (a parser only counts the references to it). Telling changes nothing
  // GoesWholly looks at, so asking first gives the same answer, and such a variable goes
  // untold, sparing a walk over its terms.
  const bool quiet = FOwner != nullptr && !FOwner->GetOnVariableDeleted();
  const bool own_owner = quiet && IsExactly<TIFuzzyLogic>(FOwner);
  ForEachEntry([&](const TGHashtableEntry& entry) {
    IInterface* item = static_cast<const TIStringHashtableEntry&>(entry).GetItem().Get();
    auto* variable = quiet ? ExactCast<TIFuzzyVariable>(item) : nullptr;
    if (variable == nullptr) {
      Deleted(static_cast<const TIStringHashtableEntry&>(entry).GetItem());
      return;
    }
    // A component of another class is told first: its telling may change the answer.
    if (!own_owner) Deleted(static_cast<const TIStringHashtableEntry&>(entry).GetItem());
    if (variable->GoesWholly()) {
      (void)TakeItem(entry).Detach();
      variable->GoWholly();
    } else if (own_owner) {
      Deleted(static_cast<const TIStringHashtableEntry&>(entry).GetItem());
    }
  });
}

void TFuzzyVariableTable::Deleted(const IntfPtr<IInterface>& item) const {
  if (FOwner == nullptr) return;
  if (IFuzzyVariable* variable = VariableOf(item.Get())) FOwner->VariableDeleted(*variable);
}

IntfPtr<IInterface> TFuzzyVariableTable::PutItem(std::string_view key, IntfPtr<IInterface> item) {
  IntfPtr<IFuzzyVariable> variable(VariableOf(item.Get()));
  if (!variable) throw EFzyException(Format(messages::kVariableTableItem, key));
  IntfPtr<IInterface> previous = TIStringHashTable::PutItem(key, std::move(item));
  if (previous && previous.Get() != static_cast<IInterface*>(variable.Get())) Deleted(previous);
  if (FOwner != nullptr) FOwner->VariableAdded(*variable);
  return previous;
}

IntfPtr<IFuzzyVariable> TFuzzyVariableTable::PutVariable(std::string_view name,
                                                         const IntfPtr<IFuzzyVariable>& variable) {
  return AsVariable(PutItem(name, variable));
}

IntfPtr<IFuzzyVariable> TFuzzyVariableTable::AddVariable(const IntfPtr<IFuzzyVariable>& variable) {
  if (!variable) throw EFzyException(Format(messages::kVariableTableItem, ""));
  return PutVariable(variable->GetName(), variable);
}

IntfPtr<IFuzzyVariable> TFuzzyVariableTable::GetVariable(std::string_view name) const {
  return AsVariable(GetItem(name));
}

bool TFuzzyVariableTable::TryGetVariable(std::string_view name,
                                         IntfPtr<IFuzzyVariable>& variable) const {
  IntfPtr<IInterface> item;
  if (name.empty() || !TryGet(name, item)) {
    variable = nullptr;
    return false;
  }
  variable = AsVariable(std::move(item));
  return static_cast<bool>(variable);
}

IntfPtr<IFuzzyVariable> TFuzzyVariableTable::VariableAt(int index) const {
  return AsVariable(ItemAt(index));
}

IntfPtr<IFuzzyVariable> TFuzzyVariableTable::RemoveVariable(std::string_view name) {
  IntfPtr<IInterface> item;
  if (TryGet(name, item)) Deleted(item);
  return AsVariable(RemoveItem(name));
}

void* TFuzzyVariableTable::Remove(std::string_view key) {
  (void)RemoveVariable(key);
  return nullptr;
}

void TFuzzyVariableTable::Assign(const TPersistent& source) {
  if (const auto* table = dynamic_cast<const TIStringHashTable*>(&source)) {
    std::string refused;
    bool found = false;
    table->ForEachEntry([&](const TGHashtableEntry& entry) {
      const auto& item = static_cast<const TIStringHashtableEntry&>(entry).GetItem();
      if (!found && VariableOf(item.Get()) == nullptr) {
        refused = entry.GetKeyText();
        found = true;
      }
    });
    if (found) throw EFzyException(Format(messages::kVariableTableItem, refused));
  }
  TIStringHashTable::Assign(source);
}

void TFuzzyVariableTable::PutFrom(const TGHashtableEntry& source) {
  (void)PutItem(source.GetKeyText(), static_cast<const TIStringHashtableEntry&>(source).GetItem());
}

void TFuzzyVariableTable::Clear() {
  std::vector<IntfPtr<IInterface>> held;
  held.reserve(static_cast<size_t>(GetCount()));
  ForEachEntry([&](const TGHashtableEntry& entry) {
    held.push_back(static_cast<const TIStringHashtableEntry&>(entry).GetItem());
  });
  for (const IntfPtr<IInterface>& item : held)
    Deleted(item);
  TIStringHashTable::Clear();
  // `held` lets the variables go now, with the table already empty.
}

}  // namespace tapwise
