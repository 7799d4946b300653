#include "tapwise/foundation/HashTable.h"

#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/LinkedList.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/UpdateScope.h"

namespace tapwise {

namespace {

int DecimalDigits(uint64_t value) {
  int digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}

uint64_t DecimalValue(std::string_view digits) {
  uint64_t value = 0;
  for (char c : digits)
    value = value * 10 + static_cast<uint64_t>(c - '0');
  return value;
}

int Modulo(uint64_t value, uint32_t size) {
  return static_cast<int>(value % size);
}

}  // namespace

// ---- TGCustomHashtable ----

TGCustomHashtable::TGCustomHashtable(uint32_t capacity, float load_factor)
    : FLoadFactor(load_factor) {
  SetCapacity(capacity);
}

TGCustomHashtable::~TGCustomHashtable() {
  FOnChange = nullptr;
  FOwner = nullptr;
  // Descendants are gone; drop the entries without notifications, the last bucket first.
  const bool empty = FCount == 0;  // then every bucket is empty too
  FCount = 0;
  FCollisions = 0;
  if (!empty) {
    FBuckets.ForEachOccupiedDownwards([](uint32_t, std::unique_ptr<TGHashtableEntry>& head) {
      DestroyChain(std::move(head));
      return true;
    });
  }
  if (FKeys) FKeys->FTable = nullptr;
}

void TGCustomHashtable::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TGCustomHashtable*>(&source);
  if (other == nullptr || other->IsStringKeyed() != IsStringKeyed()) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  Clear();
  SetLoadFactor(other->FLoadFactor);
  SetCapacity(other->GetCapacity());
  SetHashType(other->FHashType);
  TUpdateScope scope(*this);
  other->ForEachEntry([this](const TGHashtableEntry& entry) { PutFrom(entry); });
}

void TGCustomHashtable::AssignTo(TPersistent& dest) const {
  auto fill = [this](auto& list, auto key_of) {
    TUpdateScope scope(list);
    list.Clear();
    ForEachEntry([&](const TGHashtableEntry& entry) { list.Add(key_of(entry)); });
  };
  if (IsStringKeyed()) {
    if (auto* texts = dynamic_cast<TGCustomLinkedList<std::string>*>(&dest)) {
      fill(*texts, [](const TGHashtableEntry& entry) { return std::string(entry.GetKeyText()); });
      return;
    }
  } else if (auto* keys = dynamic_cast<TGCustomLinkedList<uint32_t>*>(&dest)) {
    fill(*keys, [](const TGHashtableEntry& entry) { return entry.GetKey(); });
    return;
  }
  TPersistent::AssignTo(dest);
}

void TGCustomHashtable::PutFrom(const TGHashtableEntry& source) {
  PutKey(THashKey{source.GetKey(), source.GetKeyText()}, source.GetValue());
}

void* TGCustomHashtable::Get(uint32_t key) const {
  if (FCount == 0) Fail(messages::kTableIsEmpty);
  const TGHashtableEntry* entry = FindEntry(key);
  if (entry == nullptr) Fail(messages::kNoSuchElement);
  return entry->GetValue();
}

const TGHashtableEntry* TGCustomHashtable::Lookup(uint32_t key) const {
  if (FCount == 0 || key == 0) return nullptr;
  return FindKey(THashKey{key, {}});
}

int TGCustomHashtable::HashIndex(uint32_t hash, uint32_t size) const {
  if (hash == 0) Fail(messages::kArgumentIsNull);
  switch (FHashType) {
    case htDivision:
      return DivisionHash(hash, size);
    case htTruncation:
      return TruncationHash(hash, size);
    case htMidSquare:
      return MidSquareHash(hash, size);
    case htFolding:
      return FoldingHash(hash, size);
  }
  Fail(messages::kSubscriptOutOfRange);
}

void* TGCustomHashtable::Remove(uint32_t key) {
  std::unique_ptr<TGHashtableEntry> entry = RemoveKey(THashKey{key, {}}, false);
  void* value = entry->GetValue();
  entry.reset();
  Changed();
  return value;
}

void* TGCustomHashtable::Put(uint32_t key, void* value) {
  return PutKey(THashKey{key, {}}, value);
}

const TGHashtableEntry* TGCustomHashtable::FindEntry(uint32_t key) const {
  if (FCount == 0) return nullptr;
  return FindKey(THashKey{key, {}});
}

int TGCustomHashtable::DivisionHash(uint32_t hash, uint32_t size) const {
  return Modulo(hash & 0x7FFFFFFFu, size);
}

int TGCustomHashtable::TruncationHash(uint32_t hash, uint32_t size) const {
  std::string digits = std::to_string(hash & 0x7FFFFFFFu);
  const auto keep = static_cast<size_t>(DecimalDigits(size));
  if (keep < digits.size()) digits.erase(0, digits.size() - keep);
  return Modulo(DecimalValue(digits), size);
}

int TGCustomHashtable::MidSquareHash(uint32_t hash, uint32_t size) const {
  std::string digits = std::to_string((hash * hash) & 0x7FFFFFFFu);
  const auto keep = static_cast<size_t>(DecimalDigits(size));
  const size_t middle = digits.size() / 2;
  if (keep < middle) digits = digits.substr(digits.size() - middle, keep);
  return Modulo(DecimalValue(digits), size);
}

int TGCustomHashtable::FoldingHash(uint32_t hash, uint32_t size) const {
  const std::string digits = std::to_string(hash & 0x7FFFFFFFu);
  std::string folded(1, digits[0]);
  for (size_t j = 1; j <= digits.size(); ++j) {
    if (j % 2 == 0 || j % 3 == 0) folded += digits[j - 1];
  }
  return Modulo(DecimalValue(folded), size);
}

bool TGCustomHashtable::ContainsValue(const void* value) const {
  const uint32_t capacity = GetCapacity();
  for (uint32_t bucket = FBuckets.NextOccupied(0); bucket < capacity;
       bucket = FBuckets.NextOccupied(bucket + 1)) {
    for (const TGHashtableEntry* entry = FBuckets.Head(bucket); entry != nullptr;
         entry = entry->GetNext()) {
      if (entry->GetValue() == value) return true;
    }
  }
  return false;
}

void TGCustomHashtable::Clear() {
  if (FCount == 0) return;
  if (FOwner) FOwner->BeforeClear(*this);
  InvalidateCursor();
  // Take the chains out first (the last bucket first, the order they go in): destroying an
  // entry may release an object that looks at this table again, and it must find the table
  // consistent (and empty). A table of a few entries needs no list of its own for that.
  constexpr size_t kFewChains = 16;
  std::array<std::unique_ptr<TGHashtableEntry>, kFewChains> few;
  std::vector<std::unique_ptr<TGHashtableEntry>> more;
  size_t taken = 0;
  FBuckets.ForEachOccupiedDownwards([&](uint32_t, std::unique_ptr<TGHashtableEntry>& head) {
    if (taken < kFewChains) {
      few[taken++] = std::move(head);
    } else {
      more.push_back(std::move(head));
    }
    return true;
  });
  FCount = 0;
  FCollisions = 0;
  ++FVersion;
  for (size_t i = 0; i < taken; ++i)
    DestroyChain(std::move(few[i]));
  for (auto& chain : more)
    DestroyChain(std::move(chain));
  Changed();
}

void TGCustomHashtable::EndUpdate() {
  --FUpdateCount;
  if (FUpdateCount == 0) Changed();
}

const TGHashtableEntry& TGCustomHashtable::NextKey() {
  return KeyEnumerator().NextElement();
}

IntfPtr<IEnumerator> TGCustomHashtable::Keys() {
  KeyEnumerator().Reset();
  return FKeys;
}

TGHashtableEnumerator& TGCustomHashtable::KeyEnumerator() {
  if (!FKeys) FKeys = TGHashtableEnumerator::Create(*this, true);
  return *FKeys;
}

int TGCustomHashtable::ComputeGrowthLimit() const {
  const double limit = static_cast<double>(GetCapacity()) * static_cast<double>(FLoadFactor);
  if (!(limit >= 1.0)) return 1;  // also for a negative or undefined load factor
  if (limit >= 2147483647.0) return 2147483647;
  // Round to the nearest integer, ties to even.
  double whole = std::floor(limit);
  const double fraction = limit - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  return static_cast<int>(whole);
}

const TGHashtableEntry* TGCustomHashtable::EntryAt(int index) const {
  if (index < 0 || index >= FCount) {
    throw EListError(Format(messages::kListIndexOutOfBounds, index));
  }
  if (FCursorIndex >= 0 && index == FCursorIndex - 1) {
    StepBack();
    return FCursorEntry;
  }
  if (FCursorIndex < 0 || index < FCursorIndex) {
    FCursorEntry = FirstFrom(0);
    FCursorBucket = FCursorEntry->FBucket;
    FCursorIndex = 0;
  }
  while (FCursorIndex < index)
    StepForward();
  return FCursorEntry;
}

void TGCustomHashtable::SetCapacity(uint32_t capacity) {
  InvalidateCursor();
  // A table without buckets could not place a key.
  if (capacity == 0) capacity = 1;
  if (capacity == GetCapacity()) return;
  THashBuckets old(capacity);
  old.Swap(FBuckets);
  FGrowthLimit = ComputeGrowthLimit();
  FCollisions = 0;
  ++FVersion;
  old.ForEachOccupiedDownwards([&](uint32_t, std::unique_ptr<TGHashtableEntry>& chain) {
    std::unique_ptr<TGHashtableEntry> entry = std::move(chain);
    while (entry != nullptr) {
      std::unique_ptr<TGHashtableEntry> next = std::move(entry->FNext);
      const int index = CheckedIndex(entry->FKey, capacity);
      entry->FBucket = index;
      auto& head = FBuckets.Slot(static_cast<uint32_t>(index));
      if (head != nullptr) ++FCollisions;
      entry->FNext = std::move(head);
      head = std::move(entry);
      entry = std::move(next);
    }
    return true;
  });
}

void TGCustomHashtable::SetHashType(TGHashType value) {
  if (value == FHashType) return;
  if (value > htFolding) Fail(messages::kSubscriptOutOfRange);
  if (FCount > 0) Fail(messages::kNonEmptyTable);
  FHashType = value;
}

void TGCustomHashtable::SetLoadFactor(float value) {
  if (value == FLoadFactor) return;
  FLoadFactor = value;
  FGrowthLimit = ComputeGrowthLimit();
}

uint32_t TGCustomHashtable::StringHash(std::string_view key) {
  uint32_t hash = 0;
  const size_t length = key.size();
  if (length < 16) {
    for (char c : key)
      hash = hash * 37 + static_cast<unsigned char>(c);
  } else {
    const size_t step = length / 8;
    for (size_t i = 1; i <= length; i += step) {
      hash = hash * 39 + static_cast<unsigned char>(key[i - 1]);
    }
  }
  return hash;
}

std::unique_ptr<TGHashtableEntry> TGCustomHashtable::CreateEntry() const {
  return std::make_unique<TGHashtableEntry>();
}

void TGCustomHashtable::Grow() {
  SetCapacity(GetCapacity() * 2 + 1);
}

void TGCustomHashtable::Changed() {
  if (FUpdateCount > 0) return;
  if (FOwner) FOwner->TableChanged(*this);
  if (FOnChange) FOnChange(this);
}

TGHashtableEntry* TGCustomHashtable::FindKey(const THashKey& key) const {
  const int bucket = CheckedIndex(key.Hash, GetCapacity());
  for (TGHashtableEntry* entry = FBuckets.Head(static_cast<uint32_t>(bucket)); entry != nullptr;
       entry = entry->FNext.get()) {
    if (entry->FBucket == bucket && entry->KeyEquals(key)) return entry;
  }
  return nullptr;
}

void* TGCustomHashtable::PutKey(const THashKey& key, void* value) {
  return PutKey(key, value,
                [value](TGHashtableEntry& entry) { return std::exchange(entry.FValue, value); });
}

std::unique_ptr<TGHashtableEntry> TGCustomHashtable::RemoveKey(const THashKey& key,
                                                               bool with_key_in_message) {
  if (FCount == 0) Fail(messages::kTableIsEmpty);
  if (key.Hash == 0 && key.Text.empty()) Fail(messages::kArgumentIsNull);
  if (FOwner) FOwner->BeforeRemove(*this, key);
  const int bucket = CheckedIndex(key.Hash, GetCapacity());
  auto not_found = [&] {
    Fail(with_key_in_message ? Format(messages::kNoSuchElementKey, key.Text)
                             : std::string(messages::kNoSuchElement));
  };
  // An empty bucket is not made room for.
  if (FBuckets.Head(static_cast<uint32_t>(bucket)) == nullptr) not_found();
  std::unique_ptr<TGHashtableEntry>* link = &FBuckets.Slot(static_cast<uint32_t>(bucket));
  TGHashtableEntry* predecessor = nullptr;
  while (*link != nullptr && !((*link)->FBucket == bucket && (*link)->KeyEquals(key))) {
    predecessor = link->get();
    link = &(*link)->FNext;
  }
  if (*link == nullptr) not_found();
  TGHashtableEntry* entry = link->get();
  if (FCursorIndex > 0 && FCursorEntry == entry && FCount > 1) {
    StepBack();
  } else {
    InvalidateCursor();
  }
  std::unique_ptr<TGHashtableEntry> owned = std::exchange(*link, std::move(entry->FNext));
  if (predecessor != nullptr || FBuckets.Head(static_cast<uint32_t>(bucket)) != nullptr) {
    --FCollisions;
  }
  --FCount;
  ++FVersion;
  return owned;
}

void TGCustomHashtable::Fail(const std::string& message) {
  throw EGHashtableError(message);
}

int TGCustomHashtable::CheckedIndex(uint32_t hash, uint32_t size) const {
  const int index = HashIndex(hash, size);
  if (index < 0 || static_cast<uint32_t>(index) >= size) Fail(messages::kSubscriptOutOfRange);
  return index;
}

TGHashtableEntry* TGCustomHashtable::InsertEntry(const THashKey& key, void* value, int bucket) {
  std::unique_ptr<TGHashtableEntry> entry = CreateEntry();
  entry->SetKey(key);
  entry->FValue = value;
  entry->FBucket = bucket;
  TGHashtableEntry* raw = entry.get();
  auto& head = FBuckets.Slot(static_cast<uint32_t>(bucket));
  if (head != nullptr) ++FCollisions;
  entry->FNext = std::move(head);
  head = std::move(entry);
  ++FCount;
  ++FVersion;
  if (FCursorIndex >= 0 && bucket <= FCursorBucket) InvalidateCursor();
  return raw;
}

bool TGCustomHashtable::GrowthMakesRoom() const {
  // Growing helps only when the larger table has a larger limit; a load factor too small
  // for that would otherwise double the buckets on every insertion.
  const uint32_t capacity = GetCapacity();
  if (capacity > (0xFFFFFFFFu - 1) / 2) return false;
  const double larger = static_cast<double>(capacity * 2 + 1) * static_cast<double>(FLoadFactor);
  return larger >= static_cast<double>(GrowthLimit()) + 0.5;
}

void TGCustomHashtable::InvalidateCursor() const {
  FCursorIndex = -1;
  FCursorEntry = nullptr;
  FCursorBucket = -1;
}

void TGCustomHashtable::StepForward() const {
  if (FCursorEntry->FNext != nullptr) {
    FCursorEntry = FCursorEntry->FNext.get();
  } else {
    FCursorEntry = FirstFrom(FCursorBucket + 1);
    FCursorBucket = FCursorEntry->FBucket;
  }
  ++FCursorIndex;
}

void TGCustomHashtable::StepBack() const {
  TGHashtableEntry* head = FBuckets.Head(static_cast<uint32_t>(FCursorBucket));
  if (head == FCursorEntry) {
    const auto bucket = static_cast<int>(FBuckets.PreviousOccupied(FCursorBucket - 1));
    TGHashtableEntry* last = FBuckets.Head(static_cast<uint32_t>(bucket));
    while (last->FNext != nullptr)
      last = last->FNext.get();
    FCursorEntry = last;
    FCursorBucket = bucket;
  } else {
    while (head->FNext.get() != FCursorEntry)
      head = head->FNext.get();
    FCursorEntry = head;
  }
  --FCursorIndex;
}

TGHashtableEntry* TGCustomHashtable::FirstFrom(int bucket) const {
  const uint32_t first = FBuckets.NextOccupied(static_cast<uint32_t>(bucket));
  return first < GetCapacity() ? FBuckets.Head(first) : nullptr;
}

void TGCustomHashtable::DestroyChain(std::unique_ptr<TGHashtableEntry> head) {
  while (head != nullptr)
    head = std::move(head->FNext);
}

// ---- TGHashtableEnumerator ----

IntfPtr<TGHashtableEnumerator> TGHashtableEnumerator::Create(const TGCustomHashtable& table,
                                                             bool keys) {
  return CreateInterfaced<TGHashtableEnumerator>(table, keys);
}

TGHashtableEnumerator::TGHashtableEnumerator(const TGCustomHashtable& table, bool keys)
    : FTable(&table), FKeys(keys) {
  Reset();
}

IEnumerator& TGHashtableEnumerator::Reset() {
  FEntry = nullptr;
  FLast = nullptr;
  FBucketCursor = FTable != nullptr ? static_cast<int>(FTable->GetCapacity()) : 0;
  FRemaining = FTable != nullptr ? FTable->GetCount() : 0;
  FVersion = FTable != nullptr ? FTable->FVersion : 0;
  return *this;
}

bool TGHashtableEnumerator::HasMoreElements() {
  CheckVersion();
  if (FEntry == nullptr && FBucketCursor > 0) {
    // The next bucket down that holds entries, or past the first one.
    const int64_t bucket = FTable->FBuckets.PreviousOccupied(FBucketCursor - 1);
    FBucketCursor = bucket < 0 ? 0 : static_cast<int>(bucket);
    if (bucket >= 0) FEntry = FTable->FBuckets.Head(static_cast<uint32_t>(bucket));
  }
  return FEntry != nullptr;
}

const TGHashtableEntry& TGHashtableEnumerator::NextElement() {
  if (!HasMoreElements()) throw EGHashtableError(messages::kNoSuchElement);
  FLast = FEntry;
  FEntry = FEntry->GetNext();
  --FRemaining;
  return *FLast;
}

void TGHashtableEnumerator::CheckVersion() const {
  if (FTable == nullptr) {
    if (FEntry != nullptr || FBucketCursor > 0) throw EGHashtableError(messages::kTableChanged);
    return;
  }
  if (FTable->FVersion != FVersion) throw EGHashtableError(messages::kTableChanged);
}

}  // namespace tapwise
