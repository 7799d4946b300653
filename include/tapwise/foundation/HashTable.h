#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tapwise/foundation/Events.h"
#include "tapwise/foundation/HashBuckets.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/foundation/Persistent.h"

namespace tapwise {

class TGCustomHashtable;
class TGHashtableEnumerator;

/// How a 32-bit hash becomes a bucket index.
enum TGHashType : uint8_t { htTruncation = 0, htDivision = 1, htMidSquare = 2, htFolding = 3 };

/// A key as the table mechanism sees it: its 32-bit hash (the key itself in integer-keyed
/// tables) and, in string tables, its text.
struct THashKey {
  uint32_t Hash = 0;
  std::string_view Text;
};

/// One stored entry, chained singly within its bucket. Entries are made by the table
/// (`CreateEntry`) and owned by it.
class TGHashtableEntry {
 public:
  TGHashtableEntry() = default;
  TGHashtableEntry(const TGHashtableEntry&) = delete;
  TGHashtableEntry& operator=(const TGHashtableEntry&) = delete;
  virtual ~TGHashtableEntry() = default;

  int GetBucket() const { return FBucket; }
  /// The 32-bit key: the key itself, or the hash of the key text in string tables.
  uint32_t GetKey() const { return FKey; }
  /// The key text in string tables; empty otherwise.
  virtual std::string_view GetKeyText() const { return {}; }
  void* GetValue() const { return FValue; }
  const TGHashtableEntry* GetNext() const { return FNext.get(); }

 protected:
  /// Stores the key; string entries also keep the text.
  virtual void SetKey(const THashKey& key) { FKey = key.Hash; }
  /// Whether this entry holds `key`; string entries compare the text byte by byte.
  virtual bool KeyEquals(const THashKey& key) const { return FKey == key.Hash; }

 private:
  friend class TGCustomHashtable;
  int FBucket = 0;
  uint32_t FKey = 0;
  void* FValue = nullptr;
  std::unique_ptr<TGHashtableEntry> FNext;
};

/// Listener told by a table before it changes and after every change it reports.
class IHashTableOwner : public virtual IInterface {
 public:
  virtual void TableChanged(TGCustomHashtable& table) = 0;
  virtual void BeforePut(TGCustomHashtable& table, const THashKey& key, void* value) = 0;
  virtual void BeforeRemove(TGCustomHashtable& table, const THashKey& key) = 0;
  virtual void BeforeClear(TGCustomHashtable& table) = 0;
};

/// An enumeration over a table's entries: buckets from the last to the first, each chain
/// from its head. Whether the caller wants keys or values is recorded (`IsKeys`); each step
/// hands out the entry, which has both.
class IEnumerator : public virtual IInterface {
 public:
  /// The entry last handed out, or null before the first.
  virtual const TGHashtableEntry* Current() const = 0;
  /// The number of entries not yet handed out.
  virtual int GetCount() const = 0;
  virtual int Remaining() const = 0;
  virtual bool HasMoreElements() = 0;
  /// The next entry; raises EGHashtableError "No such element" when there is none.
  virtual const TGHashtableEntry& NextElement() = 0;
  /// Starts again from the beginning; returns the enumerator itself.
  virtual IEnumerator& Reset() = 0;
  virtual bool IsKeys() const = 0;
};

/// A chained hash table with 32-bit keys and untyped pointer values (not owned). Errors are
/// EGHashtableError and leave the table unchanged.
///
/// The table grows (Capacity × 2 + 1) before an insertion would take Count above
/// GrowthLimit = Capacity × LoadFactor (rounded, ties to even): with Capacity 101 and
/// LoadFactor 0.75 the 77th key grows it to 203 buckets. A table always has at least one
/// bucket and a growth limit of at least one, so it accepts keys whatever its settings; when
/// the load factor is too small for growing to make room, it keeps its buckets and chains
/// the entries.
///
/// Indexed access (`EntryAt`) runs in ascending bucket order, which is not the enumeration
/// order; a cursor makes sequential indexing cost one step per index.
class TGCustomHashtable : public TPersistent {
 public:
  TGCustomHashtable(uint32_t capacity = 101, float load_factor = 0.75f);
  ~TGCustomHashtable() override;

  std::string ClassName() const override { return "TGCustomHashtable"; }

  /// From a table with the same kind of keys: clears this table, takes the source's
  /// LoadFactor, Capacity and HashType, then puts every source entry in the source's
  /// enumeration order within one update bracket. Anything else falls back to the
  /// persistent rules.
  void Assign(const TPersistent& source) override;

  /// The value stored under `key`; "Table is empty" or "No such element" otherwise.
  virtual void* Get(uint32_t key) const;
  /// The entry under `key`, or null (no error for an empty table, an absent or a null key).
  virtual const TGHashtableEntry* Lookup(uint32_t key) const;
  /// The bucket for a 32-bit hash under the table's HashType. A hash of 0 raises "Argument
  /// is null".
  virtual int HashIndex(uint32_t hash, uint32_t size) const;
  /// Removes `key` and returns its value.
  virtual void* Remove(uint32_t key);
  /// Stores `value` under `key`; returns the value it replaces, or null for a new key.
  virtual void* Put(uint32_t key, void* value);
  /// The entry under `key`, or null. Raises "Argument is null" for key 0 of a non-empty
  /// table.
  const TGHashtableEntry* FindEntry(uint32_t key) const;

  virtual int DivisionHash(uint32_t hash, uint32_t size) const;
  virtual int TruncationHash(uint32_t hash, uint32_t size) const;
  virtual int MidSquareHash(uint32_t hash, uint32_t size) const;
  virtual int FoldingHash(uint32_t hash, uint32_t size) const;

  virtual bool ContainsValue(const void* value) const;
  virtual void BeginUpdate() { ++FUpdateCount; }
  /// Destroys every entry (the last bucket first).
  virtual void Clear();
  virtual void EndUpdate();

  /// The entry of the next key of the built-in key enumerator.
  const TGHashtableEntry& NextKey();
  /// Resets the built-in key enumerator and returns it.
  IntfPtr<IEnumerator> Keys();

  bool IsEmpty() const { return FCount == 0; }
  int GetCount() const { return FCount; }
  int GetCollisions() const { return FCollisions; }
  /// The most entries the table holds before it grows.
  int GrowthLimit() const { return FGrowthLimit; }
  /// The entry at `index` in bucket order; outside 0..Count-1 raises EListError
  /// "List index out of bounds (%d)".
  const TGHashtableEntry* EntryAt(int index) const;
  void* ValueAt(int index) const { return EntryAt(index)->GetValue(); }
  /// The index the cursor of indexed access stands on, or -1 when it is invalid.
  int GetCursorIndex() const { return FCursorIndex; }

  uint32_t GetCapacity() const { return FBuckets.Capacity(); }
  /// Redistributes the entries over `capacity` buckets (at least one).
  void SetCapacity(uint32_t capacity);
  TGHashType GetHashType() const { return FHashType; }
  /// Only an empty table changes its method ("Cannot perform this operation with non-empty
  /// table"); an unknown method raises "Subscript out of range".
  void SetHashType(TGHashType value);
  float GetLoadFactor() const { return FLoadFactor; }
  void SetLoadFactor(float value);
  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent value) { FOnChange = std::move(value); }
  IHashTableOwner* GetOwner() const { return FOwner; }
  /// Installs the listener, or removes it with null. It is not counted: an owner usually
  /// holds its table, and must outlive it or remove itself first.
  void SetOwner(IHashTableOwner* owner) { FOwner = owner; }

  /// The table's 32-bit hash of a string key (0 for the empty string).
  static uint32_t StringHash(std::string_view key);

  /// Calls `visit(entry)` for every entry in enumeration order (the last bucket first, each
  /// chain from its head). `visit` must not change the table.
  template <class Visit>
  void ForEachEntry(Visit&& visit) const {
    // The table does not change meanwhile, so the walk ends with its last entry rather than
    // with its last bucket.
    int left = FCount;
    FBuckets.ForEachOccupiedDownwards([&](uint32_t, const std::unique_ptr<TGHashtableEntry>& head) {
      for (const TGHashtableEntry* entry = head.get(); entry != nullptr; entry = entry->GetNext()) {
        visit(*entry);
        --left;
      }
      return left > 0;
    });
  }

 protected:
  /// Into a linked list of keys (`TGCustomLinkedList<uint32_t>`, or `<std::string>` for
  /// string tables): the list is cleared and gets every key in enumeration order, within its
  /// update bracket. Anything else falls back to the persistent rules.
  void AssignTo(TPersistent& dest) const override;
  /// A new entry of this table's entry class.
  virtual std::unique_ptr<TGHashtableEntry> CreateEntry() const;
  /// Enlarges the table to Capacity × 2 + 1 buckets.
  virtual void Grow();
  /// Tells the owner and fires OnChange, unless an update bracket is open.
  void Changed();
  /// True for tables keyed by text.
  virtual bool IsStringKeyed() const { return false; }
  /// Copies `source`'s value into a new or matching entry of this table.
  virtual void PutFrom(const TGHashtableEntry& source);

  // The key-independent mechanism behind the typed operations.
  TGHashtableEntry* FindKey(const THashKey& key) const;
  /// Stores `value` under `key`; the new or matching entry is passed to `store`, which puts
  /// the value in place and returns the value replaced.
  template <class Store>
  void* PutKey(const THashKey& key, void* value, Store&& store);
  void* PutKey(const THashKey& key, void* value);
  /// Takes the entry of `key` out of the table; the caller destroys it.
  std::unique_ptr<TGHashtableEntry> RemoveKey(const THashKey& key, bool with_key_in_message);
  static void SetEntryValue(TGHashtableEntry& entry, void* value) { entry.FValue = value; }
  [[noreturn]] static void Fail(const std::string& message);

 private:
  friend class TGHashtableEnumerator;

  TGHashtableEnumerator& KeyEnumerator();
  int CheckedIndex(uint32_t hash, uint32_t size) const;
  TGHashtableEntry* InsertEntry(const THashKey& key, void* value, int bucket);
  bool GrowthMakesRoom() const;
  int ComputeGrowthLimit() const;
  void InvalidateCursor() const;
  void StepForward() const;
  void StepBack() const;
  TGHashtableEntry* FirstFrom(int bucket) const;
  static void DestroyChain(std::unique_ptr<TGHashtableEntry> head);

  THashBuckets FBuckets;
  int FCollisions = 0;
  int FCount = 0;
  TGHashType FHashType = htDivision;
  // The built-in key enumerator, made on first use.
  IntfPtr<TGHashtableEnumerator> FKeys;
  TNotifyEvent FOnChange;
  int FUpdateCount = 0;
  float FLoadFactor;
  // GrowthLimit, worked out again whenever the capacity or the load factor changes.
  int FGrowthLimit = 1;
  IHashTableOwner* FOwner = nullptr;
  // Bumped by every change of the entries, so that enumerators notice them.
  uint64_t FVersion = 0;
  mutable int FCursorIndex = -1;
  mutable TGHashtableEntry* FCursorEntry = nullptr;
  mutable int FCursorBucket = -1;
};

/// Enumerates a table's entries (see IEnumerator). It must not outlive its table; the
/// table's own key enumerator is detached when the table is destroyed. A change of the
/// table's entries after `Reset` makes the next step raise EGHashtableError "Table changed
/// during enumeration" instead of walking freed entries.
class TGHashtableEnumerator : public TInterfacedObject, public IEnumerator {
 public:
  static IntfPtr<TGHashtableEnumerator> Create(const TGCustomHashtable& table, bool keys);

  const TGHashtableEntry* Current() const override { return FLast; }
  int GetCount() const override { return FRemaining; }
  int Remaining() const override { return FRemaining; }
  bool HasMoreElements() override;
  const TGHashtableEntry& NextElement() override;
  IEnumerator& Reset() override;
  bool IsKeys() const override { return FKeys; }

 private:
  friend class TGCustomHashtable;
  template <class T, class... Args>
  friend IntfPtr<T> CreateInterfaced(Args&&... args);
  TGHashtableEnumerator(const TGCustomHashtable& table, bool keys);
  void CheckVersion() const;

  const TGCustomHashtable* FTable;
  bool FKeys;
  int FBucketCursor = 0;
  const TGHashtableEntry* FEntry = nullptr;
  const TGHashtableEntry* FLast = nullptr;
  int FRemaining = 0;
  uint64_t FVersion = 0;
};

template <class Store>
void* TGCustomHashtable::PutKey(const THashKey& key, void* value, Store&& store) {
  if (FOwner) FOwner->BeforePut(*this, key, value);
  for (;;) {
    const int bucket = CheckedIndex(key.Hash, GetCapacity());
    for (TGHashtableEntry* entry = FBuckets.Head(static_cast<uint32_t>(bucket)); entry != nullptr;
         entry = entry->FNext.get()) {
      if (entry->FBucket == bucket && entry->KeyEquals(key)) {
        void* old = store(*entry);
        Changed();
        return old;
      }
    }
    if (FCount < GrowthLimit() || !GrowthMakesRoom()) {
      store(*InsertEntry(key, value, bucket));
      Changed();
      return nullptr;
    }
    Grow();
  }
}

}  // namespace tapwise
