#pragma once

#include <memory>
#include <string>
#include <utility>

#include "tapwise/foundation/Events.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/Persistent.h"
#include "tapwise/foundation/UpdateScope.h"

namespace tapwise {

template <class T>
class TGCustomLinkedList;

/// A node of a singly linked list: an item (not owned when it is a pointer) and the next
/// node, which the list manages.
template <class T>
class TSQNode : public TPersistent {
 public:
  TSQNode() = default;
  explicit TSQNode(T item) : FItem(std::move(item)) {}

  std::string ClassName() const override { return "TSQNode"; }
  /// From another node: copies the item only.
  void Assign(const TPersistent& source) override {
    if (const auto* other = dynamic_cast<const TSQNode*>(&source)) {
      FItem = other->FItem;
      return;
    }
    TPersistent::Assign(source);
  }

  const T& GetItem() const { return FItem; }
  void SetItem(T item) { FItem = std::move(item); }
  TSQNode* GetNext() const { return FNext.get(); }

 private:
  friend class TGCustomLinkedList<T>;
  T FItem{};
  std::unique_ptr<TSQNode> FNext;
};

/// A singly linked list of items. The list owns its nodes (not what pointer items point
/// to). Indexed access walks from a cursor, so a forward scan by index costs one step per
/// index; every structural change invalidates the cursor and fires `OnChange` unless an
/// update bracket is open.
template <class T>
class TGCustomLinkedList : public TPersistent {
 public:
  using Node = TSQNode<T>;

  TGCustomLinkedList() = default;
  ~TGCustomLinkedList() override {
    FOnChange = nullptr;
    DestroyNodes();
  }

  std::string ClassName() const override { return "TGCustomLinkedList"; }

  /// From another list of the same item type: the items are copied in order within one
  /// update bracket. Anything else falls back to the persistent rules.
  void Assign(const TPersistent& source) override {
    const auto* other = dynamic_cast<const TGCustomLinkedList*>(&source);
    if (other == nullptr) {
      TPersistent::Assign(source);
      return;
    }
    if (other == this) return;
    TUpdateScope scope(*this);
    Clear();
    CopyFrom(*other);
  }

  /// The node at `index` (0-based); outside 0..Count-1 raises EListError "Invalid Index".
  virtual Node* GetNode(int index) const {
    if (index < 0 || index >= FCount) throw EListError(messages::kInvalidIndex);
    if (FCursorIndex < 0 || index < FCursorIndex) {
      FCursorIndex = 0;
      FCursorNode = FHead.get();
    }
    while (FCursorIndex < index) {
      FCursorNode = FCursorNode->GetNext();
      ++FCursorIndex;
    }
    return FCursorNode;
  }
  /// Puts `node` in place of the node at `index` and destroys the old node.
  virtual void ReplaceNode(int index, std::unique_ptr<Node> node) {
    if (node == nullptr) throw EListError(messages::kInvalidIndex);
    Node* old = GetNode(index);
    if (node.get() == old) {
      // Already in place and owned by this list: keep the one owner.
      (void)node.release();
      return;
    }
    Node* predecessor = FindPredecessor(old);
    Node* raw = node.get();
    node->FNext = std::move(old->FNext);
    std::unique_ptr<Node>& link = predecessor != nullptr ? predecessor->FNext : FHead;
    std::unique_ptr<Node> old_owned = std::exchange(link, std::move(node));
    if (FTail == old) FTail = raw;
    old_owned.reset();
    Changed();
  }
  /// Adds copies of `source`'s nodes through `AddNode`, in `source`'s order.
  virtual void AppendAll(const TGCustomLinkedList& source) { CopyFrom(source); }
  virtual void BeginUpdate() { ++FUpdateCount; }
  /// Destroys every node.
  virtual void Clear() {
    DestroyNodes();
    Changed();
  }
  virtual void EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    if (FUpdateCount == 0) Changed();
  }
  /// Adds a node where this kind of list adds: at the tail (lists and queues).
  virtual Node* AddNode(std::unique_ptr<Node> node) { return InsertNode(std::move(node), nullptr); }
  /// Unlinks and destroys `node`.
  virtual void RemoveNode(Node* node) {
    if (node == nullptr) throw EListError(messages::kInvalidIndex);
    Node* predecessor = FindPredecessor(node);
    std::unique_ptr<Node>& link = predecessor != nullptr ? predecessor->FNext : FHead;
    std::unique_ptr<Node> owned = std::exchange(link, std::move(node->FNext));
    if (FTail == node) FTail = predecessor;
    --FCount;
    owned.reset();
    Changed();
  }
  /// The node before `node`, or null when `node` is the head. Raises "List is empty" on an
  /// empty list and "Cannot find node within list" for a node of another list.
  virtual Node* FindPredecessor(const Node* node) const {
    if (FCount == 0) throw EListError(messages::kListIsEmpty);
    if (node == nullptr) throw EListError(messages::kInvalidIndex);
    Node* predecessor = nullptr;
    for (Node* current = FHead.get(); current != nullptr; current = current->GetNext()) {
      if (current == node) return predecessor;
      predecessor = current;
    }
    throw EListError(messages::kCannotFindNode);
  }
  /// Links `node` before `before`, or appends it when `before` is null; returns it.
  virtual Node* InsertNode(std::unique_ptr<Node> node, Node* before) {
    if (node == nullptr) throw EListError(messages::kInvalidIndex);
    Node* raw = node.get();
    if (before != nullptr) {
      Node* predecessor = FindPredecessor(before);
      std::unique_ptr<Node>& link = predecessor != nullptr ? predecessor->FNext : FHead;
      node->FNext = std::move(link);
      link = std::move(node);
    } else {
      node->FNext.reset();
      std::unique_ptr<Node>& link = FTail != nullptr ? FTail->FNext : FHead;
      link = std::move(node);
      FTail = raw;
    }
    ++FCount;
    Changed();
    return raw;
  }
  /// A new, empty node of the kind this list holds.
  virtual std::unique_ptr<Node> CreateNode() const { return std::make_unique<Node>(); }

  /// Adds a node holding `item` (see `AddNode`) and returns it.
  Node* Add(T item) {
    std::unique_ptr<Node> node = CreateNode();
    node->SetItem(std::move(item));
    return AddNode(std::move(node));
  }
  bool IsEmpty() const { return FCount == 0; }
  /// The head's item; raises "List is empty" on an empty list.
  const T& Peek() const {
    if (FCount == 0) throw EListError(messages::kListIsEmpty);
    return FHead->GetItem();
  }
  /// Puts the cursor on the head (index 0).
  void ResetCursor() {
    FCursorIndex = FHead != nullptr ? 0 : -1;
    FCursorNode = FHead.get();
  }

  int GetCount() const { return FCount; }
  Node* GetHead() const { return FHead.get(); }
  Node* GetTail() const { return FTail; }
  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent value) { FOnChange = std::move(value); }

 protected:
  /// Invalidates the cursor and fires `OnChange` outside an update bracket.
  void Changed() {
    FCursorIndex = -1;
    FCursorNode = nullptr;
    if (FUpdateCount <= 0 && FOnChange) FOnChange(this);
  }

  // Links copies of `source`'s nodes, in its order, in front of the head (for the stack).
  void PrependCopies(const TGCustomLinkedList& source) {
    if (source.FCount == 0) return;
    std::unique_ptr<Node> first;
    Node* last = nullptr;
    const Node* current = source.FHead.get();
    for (int left = source.FCount; left > 0; --left, current = current->GetNext()) {
      std::unique_ptr<Node> copy = CreateNode();
      copy->Assign(*current);
      Node* raw = copy.get();
      (last == nullptr ? first : last->FNext) = std::move(copy);
      last = raw;
    }
    last->FNext = std::move(FHead);
    if (FTail == nullptr) FTail = last;
    FHead = std::move(first);
    FCount += source.FCount;
    Changed();
  }

 private:
  void CopyFrom(const TGCustomLinkedList& source) {
    // Counted, so that appending a list to itself stops after the original nodes.
    const Node* current = source.FHead.get();
    for (int left = source.FCount; left > 0; --left, current = current->GetNext()) {
      std::unique_ptr<Node> copy = CreateNode();
      copy->Assign(*current);
      AddNode(std::move(copy));
    }
  }
  // One node at a time, so that a long chain is not destroyed recursively.
  void DestroyNodes() {
    while (FHead != nullptr)
      FHead = std::move(FHead->FNext);
    FTail = nullptr;
    FCount = 0;
    FCursorIndex = -1;
    FCursorNode = nullptr;
  }

  mutable int FCursorIndex = -1;
  mutable Node* FCursorNode = nullptr;
  int FCount = 0;
  std::unique_ptr<Node> FHead;
  Node* FTail = nullptr;
  TNotifyEvent FOnChange;
  int FUpdateCount = 0;
};

/// First in, first out: `Push` appends at the tail, `Pop` takes the head.
template <class T>
class TGQueue : public TGCustomLinkedList<T> {
 public:
  using Node = TSQNode<T>;

  std::string ClassName() const override { return "TGQueue"; }

  /// Removes the head node and returns its item; raises "List is empty" on an empty list.
  virtual T Pop() {
    Node* head = this->GetHead();
    if (head == nullptr) throw EListError(messages::kListIsEmpty);
    T item = head->GetItem();
    this->RemoveNode(head);
    return item;
  }
  /// Adds a node where this kind of list adds, then sets its item; returns the node.
  virtual Node* Push(T item) {
    Node* node = this->AddNode(this->CreateNode());
    node->SetItem(std::move(item));
    return node;
  }
};

/// Last in, first out: `Push` and `AddNode` insert at the head, `Pop` takes the head.
template <class T>
class TGStack : public TGQueue<T> {
 public:
  using Node = TSQNode<T>;

  std::string ClassName() const override { return "TGStack"; }

  /// From another stack the copy keeps the same top; otherwise as any linked list.
  void Assign(const TPersistent& source) override {
    const auto* other = dynamic_cast<const TGStack*>(&source);
    if (other == nullptr) {
      TGQueue<T>::Assign(source);
      return;
    }
    if (other == this) return;
    TUpdateScope scope(*this);
    this->Clear();
    PushAll(*other);
  }
  Node* AddNode(std::unique_ptr<Node> node) override {
    return this->InsertNode(std::move(node), this->GetHead());
  }
  /// Puts copies of `source`'s nodes in front, keeping `source`'s order (its top on top).
  virtual void PushAll(const TGStack& source) { this->PrependCopies(source); }
};

}  // namespace tapwise
