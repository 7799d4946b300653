#include "tapwise/foundation/InterfaceList.h"

#include <utility>

#include "tapwise/foundation/Cloneable.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"

namespace tapwise {

// ---- TGInterfaceList ----

TGInterfaceList::~TGInterfaceList() {
  // Descendants are gone, so no hook runs: the references are simply dropped, last first.
  while (!FItems.empty())
    FItems.pop_back();
}

void TGInterfaceList::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TGInterfaceList*>(&source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  Clear();
  for (const auto& item : other->FItems)
    Add(item);
}

int TGInterfaceList::Add(IntfPtr<IInterface> item) {
  const int index = GetCount();
  if (index == FCapacity) Grow();
  FItems.push_back(std::move(item));
  if (FItems.back()) Notify(FItems.back(), lnAdded);
  return index;
}

void TGInterfaceList::Insert(int index, IntfPtr<IInterface> item) {
  if (index < 0 || index > GetCount()) Error(messages::kListIndexOutOfBounds, index);
  if (GetCount() == FCapacity) Grow();
  auto position = FItems.insert(FItems.begin() + index, std::move(item));
  if (*position) Notify(*position, lnAdded);
}

IntfPtr<IInterface> TGInterfaceList::Get(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)];
}

IInterface* TGInterfaceList::ItemAt(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)].Get();
}

void TGInterfaceList::Put(int index, IntfPtr<IInterface> item) {
  CheckIndex(index);
  IntfPtr<IInterface> old = std::exchange(FItems[static_cast<size_t>(index)], std::move(item));
  if (old) Notify(old, lnDeleted);
  // Read the slot again: the hook may have changed the list.
  if (index < GetCount() && FItems[static_cast<size_t>(index)]) {
    IntfPtr<IInterface> added = FItems[static_cast<size_t>(index)];
    Notify(added, lnAdded);
  }
}

int TGInterfaceList::IndexOf(const IntfPtr<IInterface>& item) const {
  for (int i = 0; i < GetCount(); ++i) {
    if (FItems[static_cast<size_t>(i)] == item) return i;
  }
  return -1;
}

int TGInterfaceList::Remove(const IntfPtr<IInterface>& item) {
  const int index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

void TGInterfaceList::Delete(int index) {
  CheckIndex(index);
  // The list's reference is dropped only after the hook has seen the item.
  IntfPtr<IInterface> item = std::move(FItems[static_cast<size_t>(index)]);
  FItems.erase(FItems.begin() + index);
  if (item) Notify(item, lnDeleted);
}

void TGInterfaceList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

void TGInterfaceList::SetCount(int count) {
  if (count < 0 || count > kMaxListSize) Error(messages::kListCountOutOfBounds, count);
  if (count > FCapacity) SetCapacity(count);
  if (count > GetCount()) {
    FItems.resize(static_cast<size_t>(count));
  } else {
    while (GetCount() > count)
      Delete(GetCount() - 1);
  }
}

void TGInterfaceList::SetCapacity(int capacity) {
  if (capacity < GetCount() || capacity > kMaxListSize) {
    Error(messages::kListCapacityOutOfBounds, capacity);
  }
  if (capacity == FCapacity) return;
  if (static_cast<size_t>(capacity) > FItems.capacity()) {
    FItems.reserve(static_cast<size_t>(capacity));
  } else if (capacity < FCapacity) {
    // Give the memory back: a vector shrinks only into a new buffer.
    std::vector<IntfPtr<IInterface>> smaller;
    smaller.reserve(static_cast<size_t>(capacity));
    for (auto& item : FItems)
      smaller.push_back(std::move(item));
    FItems.swap(smaller);
  }
  FCapacity = capacity;
}

void TGInterfaceList::Grow() {
  int delta = 4;
  if (FCapacity > 64) {
    delta = FCapacity / 4;
  } else if (FCapacity > 8) {
    delta = 16;
  }
  SetCapacity(FCapacity + delta);
}

void TGInterfaceList::Notify(const IntfPtr<IInterface>&, TListNotification) {}

void TGInterfaceList::Error(std::string_view message, int64_t value) const {
  throw EListError(Format(message, value));
}

void TGInterfaceList::CheckIndex(int index) const {
  if (index < 0 || index >= GetCount()) Error(messages::kListIndexOutOfBounds, index);
}

// ---- TIList ----

std::unique_ptr<TIList> TIList::CloneList() const {
  return ClonePersistent(*this, [this](const TPersistent&) { return NewInstance(); });
}

std::unique_ptr<TIList> TIList::NewInstance() const {
  return std::make_unique<TIList>();
}

// ---- TIQueue ----

IntfPtr<IInterface> TIQueue::Pop() {
  IntfPtr<IInterface> item = Peek();
  Delete(0);
  return item;
}

void TIQueue::Push(IntfPtr<IInterface> item) {
  Add(std::move(item));
}

IntfPtr<IInterface> TIQueue::Peek() const {
  if (IsEmpty()) throw EListError(messages::kInterfaceListIsEmpty);
  return Get(0);
}

std::unique_ptr<TIList> TIQueue::NewInstance() const {
  return std::make_unique<TIQueue>();
}

// ---- TIStack ----

IntfPtr<IInterface> TIStack::Pop() {
  IntfPtr<IInterface> item = Peek();
  Delete(GetCount() - 1);
  return item;
}

IntfPtr<IInterface> TIStack::Peek() const {
  if (IsEmpty()) throw EListError(messages::kInterfaceListIsEmpty);
  return Get(GetCount() - 1);
}

std::unique_ptr<TIList> TIStack::NewInstance() const {
  return std::make_unique<TIStack>();
}

}  // namespace tapwise
