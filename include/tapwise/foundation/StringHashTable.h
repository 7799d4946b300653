#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "tapwise/foundation/HashTable.h"
#include "tapwise/foundation/Interface.h"

namespace tapwise {

/// An entry keyed by text; keys compare byte by byte, so "OutTemp" and "outTemp" differ.
class TGStringHashtableEntry : public TGHashtableEntry {
 public:
  std::string_view GetKeyText() const override { return FKeyText; }

 protected:
  void SetKey(const THashKey& key) override {
    TGHashtableEntry::SetKey(key);
    FKeyText = key.Text;
  }
  bool KeyEquals(const THashKey& key) const override {
    return GetKey() == key.Hash && FKeyText == key.Text;
  }

 private:
  std::string FKeyText;
};

/// An entry holding one counted reference to its interface; released with the entry.
class TIStringHashtableEntry : public TGStringHashtableEntry {
 public:
  const IntfPtr<IInterface>& GetItem() const { return FItem; }

 private:
  friend class TIStringHashTable;
  IntfPtr<IInterface> FItem;
};

/// A hash table keyed by text with untyped pointer values (not owned). The text is hashed to
/// 32 bits first (`StringHash`: "abc" gives 136518); an empty key, or one whose hash is 0,
/// is refused with "Argument is null". The integer-keyed operations of the base have no
/// text and are refused the same way.
class TGStringHashtable : public TGCustomHashtable {
 public:
  using TGCustomHashtable::TGCustomHashtable;

  std::string ClassName() const override { return "TGStringHashtable"; }

  /// From a string list: one entry per line (the line's object as value; a repeated line
  /// keeps the last), within one update bracket. Otherwise as the base.
  void Assign(const TPersistent& source) override;

  virtual void* Get(std::string_view key) const;
  virtual void* Put(std::string_view key, void* value);
  virtual void* Remove(std::string_view key);
  /// The bucket of a text key.
  int HashIndex(std::string_view key, uint32_t size) const;
  using TGCustomHashtable::HashIndex;
  /// The entry under `key`, or null; "Argument is null" for an empty key of a non-empty
  /// table.
  const TGHashtableEntry* FindEntry(std::string_view key) const;
  /// The entry under `key`, or null; never raises.
  const TGHashtableEntry* Lookup(std::string_view key) const;
  /// The next key text of the built-in key enumerator.
  std::string NextKeyText() { return std::string(NextKey().GetKeyText()); }

  void* Get(uint32_t key) const override;
  const TGHashtableEntry* Lookup(uint32_t key) const override;
  void* Put(uint32_t key, void* value) override;
  void* Remove(uint32_t key) override;

 protected:
  /// Into a string list: one line per key in enumeration order, with the value as the line's
  /// object, within the list's update bracket. Otherwise as the base.
  void AssignTo(TPersistent& dest) const override;
  std::unique_ptr<TGHashtableEntry> CreateEntry() const override;
  bool IsStringKeyed() const override { return true; }
  /// Builds the mechanism's key for `key`, refusing an empty text.
  static THashKey TextKey(std::string_view key);
};

/// A hash table keyed by text whose values are interfaces; the table holds one counted
/// reference per entry. Use the item operations (`PutItem`, `TryGet`, `GetItem`, `ItemAt`,
/// `RemoveItem`); a missing key is reported as "No such element: <key>".
///
/// The pointer forms of the base see each item as its raw interface pointer: `Get` answers
/// it, `Put` refuses plain pointers, and `Remove` drops the table's reference and returns
/// null (use `RemoveItem` to receive the item).
class TIStringHashTable : public TGStringHashtable {
 public:
  using TGStringHashtable::TGStringHashtable;

  std::string ClassName() const override { return "TIStringHashTable"; }

  /// From another interface table: clears this table, takes the source's LoadFactor,
  /// Capacity and HashType, then stores every source item (shared) in the source's
  /// enumeration order within one update bracket. Other tables and string lists (plain
  /// pointers) are refused.
  void Assign(const TPersistent& source) override;

  /// Stores `item` under `key`; returns the item it replaces (the table drops its
  /// reference to it), or null for a new key.
  virtual IntfPtr<IInterface> PutItem(std::string_view key, IntfPtr<IInterface> item);
  /// The item under `key` into `item`; false (and null) for an empty or absent key.
  bool TryGet(std::string_view key, IntfPtr<IInterface>& item) const;
  /// The item under `key`; "Table is empty" or "No such element: <key>" otherwise.
  IntfPtr<IInterface> GetItem(std::string_view key) const;
  /// The item at `index` in bucket order (see `EntryAt`).
  IntfPtr<IInterface> ItemAt(int index) const;
  /// Removes `key` and hands its item to the caller.
  IntfPtr<IInterface> RemoveItem(std::string_view key);

  using TGStringHashtable::Put;
  using TGStringHashtable::Remove;
  void* Put(std::string_view key, void* value) override;
  void* Remove(std::string_view key) override;

 protected:
  std::unique_ptr<TGHashtableEntry> CreateEntry() const override;
  void PutFrom(const TGHashtableEntry& source) override;
  /// Hands over the item of `entry`, one of this table's own entries, which stays in place
  /// empty. Only for a table that is going: its entries are never read again.
  IntfPtr<IInterface> TakeItem(const TGHashtableEntry& entry);
};

}  // namespace tapwise
