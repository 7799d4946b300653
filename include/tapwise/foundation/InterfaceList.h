#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tapwise/foundation/Interface.h"
#include "tapwise/foundation/Persistent.h"

namespace tapwise {

/// What happens to an item, as reported to `TGInterfaceList::Notify`.
enum TListNotification : uint8_t { lnAdded = 0, lnExtracted = 1, lnDeleted = 2 };

/// An array list of interface references; every slot holds one reference (or none).
/// Indexes run from 0 to Count-1; a bad index raises EListError "List index out of bounds
/// (%d)" and leaves the list unchanged.
class TGInterfaceList : public TPersistent {
 public:
  /// The largest capacity and count a list accepts.
  static constexpr int kMaxListSize = 134217727;

  TGInterfaceList() = default;
  ~TGInterfaceList() override;

  std::string ClassName() const override { return "TGInterfaceList"; }

  /// From another interface list: the same items (shared references, not copies) replace
  /// this list's. Anything else falls back to the persistent rules.
  void Assign(const TPersistent& source) override;

  /// Appends `item` and returns its index.
  int Add(IntfPtr<IInterface> item);
  /// Inserts `item` at `index` (0..Count; Count appends).
  void Insert(int index, IntfPtr<IInterface> item);
  IntfPtr<IInterface> Get(int index) const;
  /// The item at `index` without a reference of its own (valid while the list holds it);
  /// the index is checked as by `Get`.
  IInterface* ItemAt(int index) const;
  /// Replaces the item at `index`; reports the old item deleted and the new one added.
  void Put(int index, IntfPtr<IInterface> item);
  IntfPtr<IInterface> First() const { return Get(0); }
  IntfPtr<IInterface> Last() const { return Get(GetCount() - 1); }
  /// The index of this very object (identity, not content), or -1.
  int IndexOf(const IntfPtr<IInterface>& item) const;
  /// Deletes the item found by `IndexOf`; returns its former index or -1.
  int Remove(const IntfPtr<IInterface>& item);
  void Delete(int index);
  virtual void Clear();

  int GetCount() const { return static_cast<int>(FItems.size()); }
  /// Grows with empty slots or shrinks by deleting items from the end.
  void SetCount(int count);
  int GetCapacity() const { return FCapacity; }
  void SetCapacity(int capacity);
  bool IsEmpty() const { return FItems.empty(); }

 protected:
  /// Enlarges the capacity by a quarter above 64, by 16 above 8, else by 4.
  virtual void Grow();
  /// Hook for descendants; called for assigned items only.
  virtual void Notify(const IntfPtr<IInterface>& item, TListNotification action);
  /// Raises EListError with `message` filled with `value`.
  [[noreturn]] virtual void Error(std::string_view message, int64_t value) const;

 private:
  void CheckIndex(int index) const;

  std::vector<IntfPtr<IInterface>> FItems;
  int FCapacity = 0;
};

/// An interface list that can copy itself.
class TIList : public TGInterfaceList {
 public:
  std::string ClassName() const override { return "TIList"; }

  /// A new list of this list's own class (see `NewInstance`) holding the same items.
  /// Descendants handed out as interfaces clone through their ICloneable `Clone` instead.
  std::unique_ptr<TIList> CloneList() const;

 protected:
  /// The class reference behind `CloneList`: a new, empty list of this class.
  virtual std::unique_ptr<TIList> NewInstance() const;
};

/// First in, first out over an interface list: `Push` appends, `Pop` and `Peek` use index 0.
class TIQueue : public TIList {
 public:
  std::string ClassName() const override { return "TIQueue"; }

  /// Removes and returns the next item; raises EListError "list is empty" when empty.
  virtual IntfPtr<IInterface> Pop();
  virtual void Push(IntfPtr<IInterface> item);
  /// The next item, left in place; raises EListError "list is empty" when empty.
  virtual IntfPtr<IInterface> Peek() const;

 protected:
  std::unique_ptr<TIList> NewInstance() const override;
};

/// Last in, first out over an interface list: `Push` appends, `Pop` and `Peek` use the last
/// index.
class TIStack : public TIQueue {
 public:
  std::string ClassName() const override { return "TIStack"; }

  IntfPtr<IInterface> Pop() override;
  IntfPtr<IInterface> Peek() const override;

 protected:
  std::unique_ptr<TIList> NewInstance() const override;
};

}  // namespace tapwise
