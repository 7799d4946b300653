#include "tapwise/fuzzy/InterfacedFuzzySets.h"
#include "tapwise/foundation/ExactType.h"

#include <array>
#include <utility>
#include <vector>

#include "tapwise/foundation/UpdateScope.h"
#include "tapwise/fuzzy/InterfacedFuzzyVariable.h"

namespace tapwise {

namespace {

// The stored items are always fuzzy sets (the table is filled through Store and its own
// Assign); the cast takes the table's reference over without counting twice.
IFuzzySet* FuzzySetOf(IInterface* item) {
  // Terms are nearly always plain TIFuzzySet objects, which every look-up of a term by name
  // meets.
  return CastExpecting<IFuzzySet, TIFuzzySet>(item);
}

IntfPtr<IFuzzySet> AsSet(IntfPtr<IInterface>&& item) {
  IFuzzySet* set = FuzzySetOf(item.Get());
  if (set == nullptr) return nullptr;
  (void)item.Detach();
  return IntfPtr<IFuzzySet>::Adopt(set);
}

}  // namespace

TIFuzzySets::TIFuzzySets(TIFuzzyVariable* variable)
    : TIStringHashTable(101, 0.75f), FVariable(variable) {}

IntfPtr<IFuzzySet> TIFuzzySets::Store(const IntfPtr<IFuzzySet>& fuzzy_set) {
  IntfPtr<IFuzzySet> previous = AsSet(PutItem(fuzzy_set->GetName(), fuzzy_set));
  fuzzy_set->SetOrderNumber(FNextIndex++);
  return previous;
}

IntfPtr<IInterface> TIFuzzySets::PutItem(std::string_view key, IntfPtr<IInterface> item) {
  // Marked first: a put that fails leaves a mark, which only costs the set a look-up later.
  if (auto* set = CastExpecting<TIFuzzySet, TIFuzzySet>(item.Get())) set->FEnteredTermTable = true;
  return TIStringHashTable::PutItem(key, std::move(item));
}

bool TIFuzzySets::Holds(std::string_view name, const IFuzzySet& fuzzy_set) const {
  if (name.empty()) return false;
  const TGHashtableEntry* entry = Lookup(name);
  return entry != nullptr &&
         FuzzySetOf(static_cast<const TIStringHashtableEntry*>(entry)->GetItem().Get()) ==
             &fuzzy_set;
}

bool TIFuzzySets::TryGetSet(std::string_view name, IntfPtr<IFuzzySet>& fuzzy_set) const {
  IntfPtr<IInterface> item;
  if (name.empty() || !TryGet(name, item)) {
    fuzzy_set = nullptr;
    return false;
  }
  fuzzy_set = AsSet(std::move(item));
  return static_cast<bool>(fuzzy_set);
}

IntfPtr<IFuzzySet> TIFuzzySets::GetSet(std::string_view name) const {
  return AsSet(GetItem(name));
}

IntfPtr<IFuzzySet> TIFuzzySets::SetAt(int index) const {
  return AsSet(ItemAt(index));
}

void TIFuzzySets::SetParserOfAll(const IntfPtr<IFuzzyParser>& parser) {
  if (GetCount() == 0) return;  // a new variable's table: not even its buckets to walk
  // One walk notes the terms when they are few and all of the library's own class; any
  // other class may do more when it takes a parser (even change this table), and then all
  // terms go the counted way.
  constexpr int kFewTerms = 16;
  std::array<TIFuzzySet*, kFewTerms> plain{};
  int count = 0;
  bool all_plain = GetCount() <= kFewTerms;
  if (all_plain) {
    ForEachEntry([&](const TGHashtableEntry& entry) {
      IInterface* item = static_cast<const TIStringHashtableEntry&>(entry).GetItem().Get();
      auto* set = all_plain ? ExactCast<TIFuzzySet>(item) : nullptr;
      all_plain = set != nullptr;
      if (all_plain) plain[static_cast<size_t>(count++)] = set;
    });
  }
  if (all_plain) {
    for (int i = 0; i < count; ++i)
      plain[static_cast<size_t>(i)]->SetParser(parser);
    return;
  }
  for (int i = 0; i < GetCount(); ++i)
    SetAt(i)->SetParser(parser);
}

bool TIFuzzySets::HoldsOnlyOwnTerms() const {
  const IFuzzyVariable* variable = FVariable;
  bool own = true;
  ForEachEntry([&](const TGHashtableEntry& entry) {
    IInterface* item = static_cast<const TIStringHashtableEntry&>(entry).GetItem().Get();
    if (!own) return;
    const auto* set = ExactCast<const TIFuzzySet>(item);
    own = set != nullptr && set->RefCount() == 1 && set->GetVariable().Get() == variable;
  });
  return own;
}

IntfPtr<IFuzzySet> TIFuzzySets::RemoveSet(std::string_view name) {
  return AsSet(RemoveItem(name));
}

void TIFuzzySets::Clear() {
  // The terms are held apart while the table empties; a few need no list of their own.
  constexpr size_t kFewTerms = 16;
  std::array<IntfPtr<IInterface>, kFewTerms> few;
  std::vector<IntfPtr<IInterface>> more;
  size_t taken = 0;
  if (GetCount() > static_cast<int>(kFewTerms)) more.reserve(static_cast<size_t>(GetCount()));
  ForEachEntry([&](const TGHashtableEntry& entry) {
    const IntfPtr<IInterface>& item = static_cast<const TIStringHashtableEntry&>(entry).GetItem();
    if (taken < kFewTerms) {
      few[taken++] = item;
    } else {
      more.push_back(item);
    }
  });
  TIStringHashTable::Clear();
  FNextIndex = 0;
  // The terms go now, with the table consistent, in the order they were taken.
  for (size_t i = 0; i < taken; ++i)
    few[i] = nullptr;
  for (IntfPtr<IInterface>& item : more)
    item = nullptr;
}

void TIFuzzySets::Assign(const TPersistent& source) {
  if (const auto* terms = dynamic_cast<const TIFuzzySets*>(&source)) {
    FVariable->AssignFuzzySets(*terms->FVariable);
    return;
  }
  const auto* table = dynamic_cast<const TIStringHashTable*>(&source);
  if (table == nullptr) {
    TIStringHashTable::Assign(source);
    return;
  }
  // Shared items would be stored without their back links to this table's variable, which
  // its release rule counts on; they become terms of the variable as copies instead.
  std::vector<IntfPtr<IFuzzySet>> sets;
  table->ForEachEntry([&](const TGHashtableEntry& entry) {
    IntfPtr<IInterface> item = static_cast<const TIStringHashtableEntry&>(entry).GetItem();
    if (IntfPtr<IFuzzySet> set = AsSet(std::move(item))) sets.push_back(std::move(set));
  });
  IntfPtr<IFuzzyVariable> variable(FVariable);
  TUpdateScope<TIFuzzySets> block(*this);
  variable->ClearFuzzySets();
  for (const IntfPtr<IFuzzySet>& set : sets) {
    IntfPtr<IFuzzySet> copy = set->CopyForVariable(variable);
    copy->MarkDefined();
    variable->AddFuzzySet(copy);
  }
}

}  // namespace tapwise
