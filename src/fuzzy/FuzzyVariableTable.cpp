#include "tapwise/fuzzy/FuzzyVariableTable.h"

#include <utility>
#include <vector>

#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"

namespace tapwise {

namespace {

// Takes the table's reference over as a variable handle without counting twice.
IntfPtr<IFuzzyVariable> AsVariable(IntfPtr<IInterface>&& item) {
  auto* variable = dynamic_cast<IFuzzyVariable*>(item.Get());
  if (variable == nullptr) return nullptr;
  (void)item.Detach();
  return IntfPtr<IFuzzyVariable>::Adopt(variable);
}

}  // namespace

TFuzzyVariableTable::TFuzzyVariableTable(TIFuzzyLogic* owner)
    : TIStringHashTable(101, 0.75f), FOwner(owner) {}

TFuzzyVariableTable::~TFuzzyVariableTable() {
  // The variables leave with the table: none may keep calling the component.
  ForEachEntry([this](const TGHashtableEntry& entry) {
    Deleted(static_cast<const TIStringHashtableEntry&>(entry).GetItem());
  });
}

void TFuzzyVariableTable::Deleted(const IntfPtr<IInterface>& item) const {
  if (FOwner == nullptr) return;
  if (auto* variable = dynamic_cast<IFuzzyVariable*>(item.Get()))
    FOwner->VariableDeleted(*variable);
}

IntfPtr<IInterface> TFuzzyVariableTable::PutItem(std::string_view key, IntfPtr<IInterface> item) {
  IntfPtr<IFuzzyVariable> variable = Supports<IFuzzyVariable>(item);
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
      if (!found && dynamic_cast<IFuzzyVariable*>(item.Get()) == nullptr) {
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
