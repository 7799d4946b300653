#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "tapwise/foundation/ExactType.h"
#include "tapwise/foundation/Persistent.h"
#include "tapwise/foundation/SmallVector.h"

namespace tapwise {

class TGCollection;
class TGCollectionItem;

/// What happens to an item, as reported to `TGCollection::Notify`.
enum TCollectionNotification : uint8_t { cnAdded = 0, cnExtracting = 1, cnDeleting = 2 };

/// The class reference of a collection's items: it builds new items and tells whether an
/// item belongs to the class (is of it or of a descendant).
///
///     TGCollection points(nullptr, TCollectionItemClass::Of<TPoint>());
///
/// The builder receives the collection the item is about to join (or null for a
/// free-standing item) so that an item can take its starting values from it; the item joins
/// only once it is completely built. A class reference is two plain function pointers:
/// every collection and every point list keeps one, so it stays small and cheap to copy.
class TCollectionItemClass {
 public:
  /// A plain function (a lambda without captures converts to one).
  using Builder = std::unique_ptr<TGCollectionItem> (*)(TGCollection* collection);
  using Test = bool (*)(const TGCollectionItem& item);

  /// The class `T`, built by its constructor taking the collection when it has one, else by
  /// its default constructor.
  template <class T>
  static TCollectionItemClass Of() {
    return TCollectionItemClass(
        [](TGCollection* collection) -> std::unique_ptr<TGCollectionItem> {
          if constexpr (std::is_constructible_v<T, TGCollection*>) {
            return std::make_unique<T>(collection);
          } else {
            (void)collection;
            return std::make_unique<T>();
          }
        },
        &IsA<T>);
  }
  /// The class `T`, built by `builder` (which must make objects of `T` or a descendant).
  template <class T>
  static TCollectionItemClass Of(Builder builder) {
    return TCollectionItemClass(builder, &IsA<T>);
  }

  std::unique_ptr<TGCollectionItem> Create(TGCollection* collection) const {
    return FBuilder(collection);
  }
  bool Accepts(const TGCollectionItem& item) const { return FTest(item); }

 private:
  TCollectionItemClass(Builder builder, Test test) : FBuilder(builder), FTest(test) {}
  // Defined below TGCollectionItem, which must be complete for the type test.
  template <class T>
  static bool IsA(const TGCollectionItem& item);

  Builder FBuilder;
  Test FTest;
};

/// An ordered collection that owns its items. Every item knows its collection, its position
/// and an identifier that the collection hands out once (0, 1, 2, ...) and never reuses.
///
/// Changes run through a fixed series of hooks that descendants override:
/// - `Add`: the item is appended, gets the next identifier, then `SetItemName`,
///   `Notify(item, cnAdded)` (whose base calls `Added`), `Changed` (→ `Update(nullptr)`
///   outside an update bracket); finally `Add` itself calls `Added` once more. Override
///   `Notify` to see each insertion exactly once.
/// - `Delete`: `Notify(item, cnDeleting)` (base: `Deleting`), then the item is destroyed,
///   which first unlinks it from its linked items and then takes it out:
///   `Notify(item, cnExtracting)`, removal, `Changed`.
/// - `Clear` destroys the items from the last to the first inside one update bracket.
class TGCollection : public TPersistent {
 public:
  /// `owner` is reported by `GetOwner` and not owned.
  TGCollection(TPersistent* owner, TCollectionItemClass item_class);
  ~TGCollection() override;

  std::string ClassName() const override { return "TGCollection"; }

  /// From another collection: the items are replaced by new ones assigned from the source's
  /// items, in one update bracket. Any other source falls back to the persistent rules.
  void Assign(const TPersistent& source) override;

  /// Appends a new item of the item class and returns it.
  TGCollectionItem* Add();
  /// Adds a new item at `index` (0..Count) and returns it; other indexes raise EListError.
  TGCollectionItem* Insert(int index);
  /// Takes over a free-standing item and appends it as `Add` would. An item whose class is
  /// not the item class raises EListError "Invalid property value" and stays with the caller.
  TGCollectionItem* AddItem(std::unique_ptr<TGCollectionItem>&& item);
  /// Destroys the item at `index` after `Notify(item, cnDeleting)`.
  void Delete(int index);
  /// Takes `item` out of the collection without destroying it; the caller owns it now.
  std::unique_ptr<TGCollectionItem> Extract(TGCollectionItem& item);
  /// Destroys every item, the last first, inside one update bracket.
  void Clear();

  virtual void BeginUpdate() { ++FUpdateCount; }
  virtual void EndUpdate();
  /// Calls `Update(nullptr)` unless an update bracket is open.
  void Changed();

  int GetCount() const { return static_cast<int>(FItems.size()); }
  /// The item at `index`; outside 0..Count-1 raises EListError "List index out of bounds".
  TGCollectionItem* GetItem(int index) const {
    // Inline: the point lists of fuzzy sets read their points through here in every walk.
    if (index < 0 || index >= GetCount()) CheckIndex(index, GetCount() - 1);
    return FItems[static_cast<size_t>(index)].get();
  }
  /// The item at `index` as the collection's item type `T` (no run-time check: the
  /// collection accepts only items of its item class).
  template <class T>
  T* ItemAs(int index) const {
    return static_cast<T*>(GetItem(index));
  }
  TPersistent* GetOwner() const { return FOwner; }
  const TCollectionItemClass& GetItemClass() const { return FItemClass; }
  int GetUpdateCount() const { return FUpdateCount; }
  /// Counts the changes of the item list (an item joining, leaving or moving) and those a
  /// descendant notes with `NoteItemChange`: a copy of what the items hold is current while
  /// the stamp it was made at still is.
  uint64_t GetChangeStamp() const { return FChangeStamp; }

  // Hooks. The base of Added, Deleting, SetItemName and Update does nothing.

  virtual void Added(TGCollectionItem& /*item*/) {}
  virtual void Deleting(TGCollectionItem& /*item*/) {}
  /// Base: cnAdded calls `Added`, cnDeleting calls `Deleting`, cnExtracting nothing.
  /// (Inline, so that a descendant's Notify that calls it first pays no further call.)
  virtual void Notify(TGCollectionItem& item, TCollectionNotification action) {
    if (action == cnAdded) {
      Added(item);
    } else if (action == cnDeleting) {
      Deleting(item);
    }
  }
  virtual void SetItemName(TGCollectionItem& /*item*/) {}
  /// One item changed (`item` given) or the collection as a whole (`item` null).
  virtual void Update(TGCollectionItem* /*item*/) {}

 protected:
  /// Makes the item that `Add` and `Insert` append, not yet joined: base, a new item of the
  /// item class. A descendant may hand out an item it kept from `DisposeItem`, reset to the
  /// state a new one would have.
  virtual std::unique_ptr<TGCollectionItem> NewItem();
  /// Receives an item that `Delete` or `Clear` took out (unlinked, of no collection) after
  /// its notifications: base, destroys it. A descendant may keep it for `NewItem`.
  virtual void DisposeItem(std::unique_ptr<TGCollectionItem> item);
  /// Makes room for `count` items without changing any, so that filling the collection
  /// up to there allocates no further storage for the item list.
  void ReserveItems(int count) { FItems.reserve(static_cast<size_t>(count)); }
  /// Moves the change stamp on: for changes inside items that the list itself does not see.
  void NoteItemChange() { ++FChangeStamp; }
  /// Appends `item` (of the item class) as `Add` does, but calls no hook and not `Changed`:
  /// for a descendant whose hooks are known to do nothing for such an item beyond what the
  /// caller does itself, inside an update bracket.
  TGCollectionItem* AppendWithoutHooks(std::unique_ptr<TGCollectionItem> item);
  /// Unlinks the last item and takes it out as `Clear` does for each item, but calls no hook
  /// and not `Changed` (the same terms as `AppendWithoutHooks`); the collection must not be
  /// empty.
  std::unique_ptr<TGCollectionItem> TakeLastWithoutHooks();
  /// Destroys every item whose index is marked in `doomed` (indexes past its end stay), each
  /// told and unlinked as `Delete` does, but in one pass that moves every remaining item
  /// once: thinning a long list costs linear time. One `Changed` at the end.
  void DeleteItems(const std::vector<bool>& doomed);
  /// Puts the items in a new order: position k takes the item that was at `order[k]`.
  /// Anything but a permutation of 0..Count-1 raises EListError "Invalid property value" and
  /// changes nothing. One `Changed` at the end, as for moves inside an update bracket.
  void ArrangeItems(const std::vector<int>& order);

  /// Copies the display names into a string list (one line per item, the item as its
  /// object); anything else falls back to the persistent rules.
  void AssignTo(TPersistent& dest) const override;

 private:
  friend class TGCollectionItem;

  // The two halves of joining and leaving; see the class comment for the order.
  TGCollectionItem* InsertItem(std::unique_ptr<TGCollectionItem> item);
  std::unique_ptr<TGCollectionItem> RemoveItem(TGCollectionItem& item);
  // Unlinks and removes the item, then destroys it.
  void DestroyItem(TGCollectionItem& item);
  void MoveItem(int from, int to);
  void Renumber(int from);
  void CheckIndex(int index, int limit) const;

  // Most collections hold a few items (the points of a shape): those cost no allocation
  // for the list itself.
  static constexpr size_t kInlineItems = 4;
  using TItemList = TSmallVector<std::unique_ptr<TGCollectionItem>, kInlineItems>;

  TPersistent* FOwner;
  TCollectionItemClass FItemClass;
  TItemList FItems;
  int FUpdateCount = 0;
  int FNextID = 0;
  uint64_t FChangeStamp = 0;
};

/// An item of a `TGCollection`, with symmetric links to other items. Items are made by their
/// collection (`Add`, `Insert`) or free-standing (then owned by whoever made them, until a
/// collection takes them over through `AddItem`).
class TGCollectionItem : public TPersistent {
 public:
  TGCollectionItem() = default;
  /// Unlinks the item from every linked item, the last link first.
  ~TGCollectionItem() override;

  std::string ClassName() const override { return "TGCollectionItem"; }

  /// The name shown for the item; the class name unless a descendant says otherwise.
  virtual std::string GetDisplayName() const { return ClassName(); }
  /// Base: nothing; descendants with a name store it.
  virtual void SetDisplayName(const std::string& value);
  /// Moves the item to `collection`, which takes it over (nothing when it is already
  /// there). Only an item of a collection can move; a free-standing item joins through
  /// `TGCollection::AddItem`, and `TGCollection::Extract` takes an item out. Other uses raise
  /// EListError "Invalid property value".
  virtual void SetCollection(TGCollection* collection);
  /// Moves the item to `index` within its collection (outside 0..Count-1 raises EListError).
  virtual void SetIndex(int index);

  /// Links this item and `other` both ways; nothing when they are linked already.
  virtual void Link(TGCollectionItem& other);
  /// Drops the link in both directions; each side frees its link list once it is empty.
  virtual void RemoveLink(TGCollectionItem& other);
  /// `RemoveLink` on both sides, when this item has links at all.
  virtual void Unlink(TGCollectionItem& other);

  /// Reports a change of this item (or, with `all_items`, of the whole collection) to the
  /// collection's `Update`, unless an update bracket is open.
  void Changed(bool all_items) {
    // Inline: most items belong to no collection, or to one inside an update bracket.
    if (FCollection != nullptr && FCollection->FUpdateCount == 0)
      FCollection->Update(all_items ? nullptr : this);
  }

  TGCollection* GetCollection() const { return FCollection; }
  /// The position in the collection, or -1 for a free-standing item.
  int GetIndex() const { return FIndex; }
  /// The identifier given by the collection; -1 before the item first joined one.
  int GetID() const { return FID; }
  /// The linked items, or null when there are none.
  const std::vector<TGCollectionItem*>* GetLinks() const { return FLinks.get(); }

 private:
  friend class TGCollection;

  // Inline: nearly every item leaves without links, and each removal asks.
  void UnlinkAll() {
    if (FLinks != nullptr) UnlinkEach();
  }
  void UnlinkEach();

  TGCollection* FCollection = nullptr;
  int FIndex = -1;
  int FID = -1;
  std::unique_ptr<std::vector<TGCollectionItem*>> FLinks;
};

template <class T>
bool TCollectionItemClass::IsA(const TGCollectionItem& item) {
  // Items are nearly always of the class itself, and every item a collection takes is
  // tested; the exact type answers those without walking the class hierarchy.
  return IsExactly<T>(item) || dynamic_cast<const T*>(&item) != nullptr;
}

// Inline: the point lists of fuzzy sets take every point they are given through here.
inline TGCollectionItem* TGCollection::AppendWithoutHooks(std::unique_ptr<TGCollectionItem> item) {
  TGCollectionItem* raw = item.get();
  FItems.push_back(std::move(item));
  ++FChangeStamp;
  raw->FCollection = this;
  raw->FIndex = GetCount() - 1;
  raw->FID = FNextID++;
  return raw;
}

// Inline, as AppendWithoutHooks: a point list cleared on every step gives its points back here.
inline std::unique_ptr<TGCollectionItem> TGCollection::TakeLastWithoutHooks() {
  FItems.back()->UnlinkAll();
  std::unique_ptr<TGCollectionItem> item = std::move(FItems.back());
  FItems.pop_back();
  ++FChangeStamp;
  item->FCollection = nullptr;
  item->FIndex = -1;
  return item;
}

/// The index of the first item whose display name is `name` (case-sensitive), or -1.
int IndexOfName(const TGCollection& collection, std::string_view name);

/// A free-standing copy of `source`, made by `item_class` (without a collection) and
/// assigned from `source`.
std::unique_ptr<TGCollectionItem> ClonePersistent(const TGCollectionItem& source,
                                                  const TCollectionItemClass& item_class);

}  // namespace tapwise
