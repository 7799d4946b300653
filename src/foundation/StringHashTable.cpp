#include "tapwise/foundation/StringHashTable.h"

#include <utility>

#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/StringList.h"
#include "tapwise/foundation/UpdateScope.h"

namespace tapwise {

// ---- TGStringHashtable ----

void TGStringHashtable::Assign(const TPersistent& source) {
  const auto* lines = dynamic_cast<const TStringList*>(&source);
  if (lines == nullptr) {
    TGCustomHashtable::Assign(source);
    return;
  }
  TUpdateScope scope(*this);
  Clear();
  for (int i = 0; i < lines->GetCount(); ++i)
    Put(lines->GetString(i), lines->GetObject(i));
}

void TGStringHashtable::AssignTo(TPersistent& dest) const {
  auto* lines = dynamic_cast<TStringList*>(&dest);
  if (lines == nullptr) {
    TGCustomHashtable::AssignTo(dest);
    return;
  }
  TUpdateScope scope(*lines);
  lines->Clear();
  ForEachEntry([&](const TGHashtableEntry& entry) {
    lines->AddObject(std::string(entry.GetKeyText()), entry.GetValue());
  });
}

void* TGStringHashtable::Get(std::string_view key) const {
  if (IsEmpty()) Fail(messages::kTableIsEmpty);
  const TGHashtableEntry* entry = FindEntry(key);
  if (entry == nullptr) Fail(messages::kNoSuchElement);
  return entry->GetValue();
}

void* TGStringHashtable::Put(std::string_view key, void* value) {
  return PutKey(TextKey(key), value);
}

void* TGStringHashtable::Remove(std::string_view key) {
  std::unique_ptr<TGHashtableEntry> entry = RemoveKey(TextKey(key), false);
  void* value = entry->GetValue();
  entry.reset();
  Changed();
  return value;
}

int TGStringHashtable::HashIndex(std::string_view key, uint32_t size) const {
  return HashIndex(StringHash(key), size);
}

const TGHashtableEntry* TGStringHashtable::FindEntry(std::string_view key) const {
  if (IsEmpty()) return nullptr;
  return FindKey(TextKey(key));
}

const TGHashtableEntry* TGStringHashtable::Lookup(std::string_view key) const {
  const uint32_t hash = StringHash(key);
  if (IsEmpty() || hash == 0) return nullptr;
  return FindKey(THashKey{hash, key});
}

void* TGStringHashtable::Get(uint32_t) const {
  Fail(messages::kArgumentIsNull);
}

const TGHashtableEntry* TGStringHashtable::Lookup(uint32_t) const {
  return nullptr;
}

void* TGStringHashtable::Put(uint32_t, void*) {
  Fail(messages::kArgumentIsNull);
}

void* TGStringHashtable::Remove(uint32_t) {
  Fail(messages::kArgumentIsNull);
}

std::unique_ptr<TGHashtableEntry> TGStringHashtable::CreateEntry() const {
  return std::make_unique<TGStringHashtableEntry>();
}

THashKey TGStringHashtable::TextKey(std::string_view key) {
  if (key.empty()) Fail(messages::kArgumentIsNull);
  return THashKey{StringHash(key), key};
}

// ---- TIStringHashTable ----

void TIStringHashTable::Assign(const TPersistent& source) {
  if (dynamic_cast<const TIStringHashTable*>(&source) == nullptr &&
      (dynamic_cast<const TGCustomHashtable*>(&source) != nullptr ||
       dynamic_cast<const TStringList*>(&source) != nullptr)) {
    // Plain pointers are no interfaces to hold: refuse before anything is cleared.
    AssignError(&source, *this);
  }
  TGStringHashtable::Assign(source);
}

IntfPtr<IInterface> TIStringHashTable::PutItem(std::string_view key, IntfPtr<IInterface> item) {
  void* raw = static_cast<void*>(item.Get());
  IntfPtr<IInterface> previous;
  PutKey(TextKey(key), raw, [&](TGHashtableEntry& entry) {
    auto& interface_entry = static_cast<TIStringHashtableEntry&>(entry);
    previous = std::exchange(interface_entry.FItem, std::move(item));
    SetEntryValue(entry, raw);
    return nullptr;
  });
  return previous;
}

bool TIStringHashTable::TryGet(std::string_view key, IntfPtr<IInterface>& item) const {
  item = nullptr;
  const TGHashtableEntry* entry = Lookup(key);
  if (entry == nullptr) return false;
  item = static_cast<const TIStringHashtableEntry*>(entry)->GetItem();
  return true;
}

IntfPtr<IInterface> TIStringHashTable::GetItem(std::string_view key) const {
  if (IsEmpty()) Fail(messages::kTableIsEmpty);
  const TGHashtableEntry* entry = FindEntry(key);
  if (entry == nullptr) Fail(Format(messages::kNoSuchElementKey, key));
  return static_cast<const TIStringHashtableEntry*>(entry)->GetItem();
}

IntfPtr<IInterface> TIStringHashTable::ItemAt(int index) const {
  return static_cast<const TIStringHashtableEntry*>(EntryAt(index))->GetItem();
}

IntfPtr<IInterface> TIStringHashTable::RemoveItem(std::string_view key) {
  std::unique_ptr<TGHashtableEntry> entry = RemoveKey(TextKey(key), true);
  IntfPtr<IInterface> item = std::move(static_cast<TIStringHashtableEntry&>(*entry).FItem);
  entry.reset();
  Changed();
  return item;
}

IntfPtr<IInterface> TIStringHashTable::TakeItem(const TGHashtableEntry& entry) {
  // The entry belongs to this (non-const) table.
  auto& own = const_cast<TIStringHashtableEntry&>(  // NOLINT(cppcoreguidelines-pro-type-const-cast)
      static_cast<const TIStringHashtableEntry&>(entry));
  SetEntryValue(own, nullptr);
  return std::move(own.FItem);
}

void* TIStringHashTable::Put(std::string_view, void*) {
  Fail(messages::kPointerInInterfaceTable);
}

void* TIStringHashTable::Remove(std::string_view key) {
  RemoveItem(key);
  return nullptr;
}

std::unique_ptr<TGHashtableEntry> TIStringHashTable::CreateEntry() const {
  return std::make_unique<TIStringHashtableEntry>();
}

void TIStringHashTable::PutFrom(const TGHashtableEntry& source) {
  const auto* entry = dynamic_cast<const TIStringHashtableEntry*>(&source);
  if (entry == nullptr) Fail(messages::kPointerInInterfaceTable);
  PutItem(entry->GetKeyText(), entry->GetItem());
}

}  // namespace tapwise
