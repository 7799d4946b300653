#include "tapwise/foundation/Collection.h"

#include <algorithm>
#include <utility>

#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/StringList.h"
#include "tapwise/foundation/UpdateScope.h"

namespace tapwise {

namespace {

[[noreturn]] void InvalidPropertyValue() {
  throw EListError(messages::kInvalidPropertyValue);
}

}  // namespace

// ---- TGCollection ----

TGCollection::TGCollection(TPersistent* owner, TCollectionItemClass item_class)
    : FOwner(owner), FItemClass(std::move(item_class)) {}

TGCollection::~TGCollection() {
  // Descendants are gone by now, so no hook is called: the items are simply unlinked and
  // destroyed, the last first.
  ++FUpdateCount;
  while (!FItems.empty()) {
    FItems.back()->UnlinkAll();
    FItems.back()->FCollection = nullptr;
    FItems.pop_back();
  }
}

void TGCollection::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TGCollection*>(&source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  TUpdateScope scope(*this);
  Clear();
  for (const auto& source_item : other->FItems)
    Add()->Assign(*source_item);
}

void TGCollection::AssignTo(TPersistent& dest) const {
  auto* lines = dynamic_cast<TStringList*>(&dest);
  if (lines == nullptr) {
    TPersistent::AssignTo(dest);
    return;
  }
  TUpdateScope scope(*lines);
  lines->Clear();
  for (const auto& item : FItems)
    lines->AddObject(item->GetDisplayName(), item.get());
}

std::unique_ptr<TGCollectionItem> TGCollection::NewItem() {
  return FItemClass.Create(this);
}

void TGCollection::DisposeItem(std::unique_ptr<TGCollectionItem> item) {
  item.reset();
}

TGCollectionItem* TGCollection::Add() {
  TGCollectionItem* item = InsertItem(NewItem());
  Added(*item);
  return item;
}

TGCollectionItem* TGCollection::Insert(int index) {
  CheckIndex(index, GetCount());
  TGCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

TGCollectionItem* TGCollection::AddItem(std::unique_ptr<TGCollectionItem>&& item) {
  if (item == nullptr || item->FCollection != nullptr || !FItemClass.Accepts(*item)) {
    InvalidPropertyValue();
  }
  TGCollectionItem* added = InsertItem(std::move(item));
  Added(*added);
  return added;
}

void TGCollection::Delete(int index) {
  TGCollectionItem* item = GetItem(index);
  Notify(*item, cnDeleting);
  DestroyItem(*item);
}

void TGCollection::DeleteItems(const std::vector<bool>& doomed) {
  const size_t marked = std::min(doomed.size(), FItems.size());
  bool any = false;
  for (size_t i = 0; i < marked; ++i) {
    if (!doomed[i]) continue;
    TGCollectionItem& item = *FItems[i];
    Notify(item, cnDeleting);
    item.UnlinkAll();
    Notify(item, cnExtracting);
    any = true;
  }
  if (!any) return;
  TItemList removed;
  size_t kept = 0;
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (i < marked && doomed[i]) {
      removed.push_back(std::move(FItems[i]));
    } else {
      FItems[kept++] = std::move(FItems[i]);
    }
  }
  FItems.resize(kept);
  ++FChangeStamp;
  Renumber(0);
  for (const std::unique_ptr<TGCollectionItem>& item : removed) {
    item->FCollection = nullptr;
    item->FIndex = -1;
  }
  Changed();
  for (std::unique_ptr<TGCollectionItem>& item : removed)
    DisposeItem(std::move(item));
}

void TGCollection::ArrangeItems(const std::vector<int>& order) {
  if (order.size() != FItems.size()) InvalidPropertyValue();
  std::vector<bool> taken(FItems.size(), false);
  for (int index : order) {
    if (index < 0 || index >= GetCount() || taken[static_cast<size_t>(index)]) {
      InvalidPropertyValue();
    }
    taken[static_cast<size_t>(index)] = true;
  }
  TItemList arranged;
  arranged.reserve(FItems.size());
  for (int index : order)
    arranged.push_back(std::move(FItems[static_cast<size_t>(index)]));
  FItems = std::move(arranged);
  ++FChangeStamp;
  Renumber(0);
  Changed();
}

std::unique_ptr<TGCollectionItem> TGCollection::Extract(TGCollectionItem& item) {
  if (item.FCollection != this) InvalidPropertyValue();
  return RemoveItem(item);
}

void TGCollection::Clear() {
  if (FItems.empty()) return;
  TUpdateScope scope(*this);
  while (!FItems.empty())
    DestroyItem(*FItems.back());
}

void TGCollection::EndUpdate() {
  --FUpdateCount;
  Changed();
}

void TGCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

TGCollectionItem* TGCollection::InsertItem(std::unique_ptr<TGCollectionItem> item) {
  if (item == nullptr || !FItemClass.Accepts(*item)) InvalidPropertyValue();
  TGCollectionItem* raw = AppendWithoutHooks(std::move(item));
  SetItemName(*raw);
  Notify(*raw, cnAdded);
  Changed();
  return raw;
}

std::unique_ptr<TGCollectionItem> TGCollection::RemoveItem(TGCollectionItem& item) {
  Notify(item, cnExtracting);
  const int index = item.FIndex;
  auto position = FItems.begin() + index;
  std::unique_ptr<TGCollectionItem> owned = std::move(*position);
  FItems.erase(position);
  ++FChangeStamp;
  Renumber(index);
  item.FCollection = nullptr;
  item.FIndex = -1;
  Changed();
  return owned;
}

void TGCollection::DestroyItem(TGCollectionItem& item) {
  item.UnlinkAll();
  DisposeItem(RemoveItem(item));
}

void TGCollection::MoveItem(int from, int to) {
  ++FChangeStamp;
  auto first = FItems.begin();
  if (from < to) {
    std::rotate(first + from, first + from + 1, first + to + 1);
  } else {
    std::rotate(first + to, first + from, first + from + 1);
  }
  for (int i = std::min(from, to); i <= std::max(from, to); ++i) {
    FItems[static_cast<size_t>(i)]->FIndex = i;
  }
}

void TGCollection::Renumber(int from) {
  for (int i = from; i < GetCount(); ++i)
    FItems[static_cast<size_t>(i)]->FIndex = i;
}

void TGCollection::CheckIndex(int index, int limit) const {
  if (index < 0 || index > limit) throw EListError(Format(messages::kListIndexOutOfBounds, index));
}

// ---- TGCollectionItem ----

TGCollectionItem::~TGCollectionItem() {
  UnlinkAll();
}

void TGCollectionItem::SetDisplayName(const std::string&) {}

void TGCollectionItem::SetCollection(TGCollection* collection) {
  if (collection == FCollection) return;
  if (collection == nullptr || FCollection == nullptr) InvalidPropertyValue();
  // Check first, so that a refused item stays where it is.
  if (!collection->FItemClass.Accepts(*this)) InvalidPropertyValue();
  collection->InsertItem(FCollection->RemoveItem(*this));
}

void TGCollectionItem::SetIndex(int index) {
  if (FCollection == nullptr || index == FIndex) return;
  FCollection->CheckIndex(index, FCollection->GetCount() - 1);
  FCollection->MoveItem(FIndex, index);
  Changed(true);
}

void TGCollectionItem::Link(TGCollectionItem& other) {
  if (FLinks == nullptr) FLinks = std::make_unique<std::vector<TGCollectionItem*>>();
  if (std::find(FLinks->begin(), FLinks->end(), &other) != FLinks->end()) return;
  FLinks->push_back(&other);
  other.Link(*this);
}

void TGCollectionItem::RemoveLink(TGCollectionItem& other) {
  auto drop = [](TGCollectionItem& from, const TGCollectionItem* target) {
    if (from.FLinks == nullptr) return;
    auto& links = *from.FLinks;
    links.erase(std::remove(links.begin(), links.end(), target), links.end());
    if (links.empty()) from.FLinks.reset();
  };
  drop(*this, &other);
  drop(other, this);
}

void TGCollectionItem::Unlink(TGCollectionItem& other) {
  if (FLinks == nullptr) return;
  RemoveLink(other);
  other.RemoveLink(*this);
}

void TGCollectionItem::UnlinkEach() {
  // A copy, because each Unlink edits the list being walked.
  const std::vector<TGCollectionItem*> links = *FLinks;
  for (auto it = links.rbegin(); it != links.rend(); ++it)
    (*it)->Unlink(*this);
  FLinks.reset();
}

// ---- Free functions ----

int IndexOfName(const TGCollection& collection, std::string_view name) {
  for (int i = 0; i < collection.GetCount(); ++i) {
    if (collection.GetItem(i)->GetDisplayName() == name) return i;
  }
  return -1;
}

std::unique_ptr<TGCollectionItem> ClonePersistent(const TGCollectionItem& source,
                                                  const TCollectionItemClass& item_class) {
  std::unique_ptr<TGCollectionItem> result = item_class.Create(nullptr);
  result->Assign(source);
  return result;
}

}  // namespace tapwise
