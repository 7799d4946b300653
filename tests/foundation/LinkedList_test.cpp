#include "tapwise/foundation/LinkedList.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "support/ExpectThrow.h"

namespace tapwise {
namespace {

template <class T>
std::vector<T> Items(const TGCustomLinkedList<T>& list) {
  std::vector<T> items;
  for (const auto* node = list.GetHead(); node != nullptr; node = node->GetNext()) {
    items.push_back(node->GetItem());
  }
  return items;
}

TEST(LinkedListTest, QueuePopsInArrivalOrderAndStackInReverse) {
  TGQueue<int> queue;
  TGStack<int> stack;
  for (int i = 1; i <= 3; ++i) {
    queue.Push(i);
    stack.Push(i);
  }
  EXPECT_EQ(queue.Peek(), 1);
  EXPECT_EQ(stack.Peek(), 3);
  std::vector<int> from_queue;
  std::vector<int> from_stack;
  for (int i = 0; i < 3; ++i) {
    from_queue.push_back(queue.Pop());
    from_stack.push_back(stack.Pop());
  }
  EXPECT_EQ(from_queue, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(from_stack, (std::vector<int>{3, 2, 1}));
  EXPECT_TRUE(queue.IsEmpty());
  EXPECT_EQ(queue.GetTail(), nullptr);
  EXPECT_THROW_MSG(queue.Pop(), EListError, "List is empty");
  EXPECT_THROW_MSG(stack.Peek(), EListError, "List is empty");
}

TEST(LinkedListTest, IndexedAccessChecksTheIndexAndFollowsTheCursor) {
  TGCustomLinkedList<int> list;
  for (int i = 0; i < 5; ++i)
    list.Add(i * 10);
  EXPECT_EQ(list.GetNode(3)->GetItem(), 30);
  EXPECT_EQ(list.GetNode(4)->GetItem(), 40);
  EXPECT_EQ(list.GetNode(1)->GetItem(), 10);  // below the cursor: from the head again
  list.ResetCursor();
  EXPECT_EQ(list.GetNode(2)->GetItem(), 20);
  EXPECT_THROW_MSG(list.GetNode(5), EListError, "Invalid Index");
  EXPECT_THROW_MSG(list.GetNode(-1), EListError, "Invalid Index");

  // A change invalidates the cursor, so indexes stay right after a removal.
  list.GetNode(3);
  list.RemoveNode(list.GetNode(0));
  EXPECT_EQ(list.GetNode(2)->GetItem(), 30);
  EXPECT_EQ(Items(list), (std::vector<int>{10, 20, 30, 40}));
}

TEST(LinkedListTest, ReplacingTheTailKeepsAppendsAfterTheNewNode) {
  TGCustomLinkedList<int> list;
  list.Add(1);
  list.Add(2);
  list.ReplaceNode(1, std::make_unique<TSQNode<int>>(7));
  EXPECT_EQ(list.GetTail()->GetItem(), 7);
  list.Add(3);
  EXPECT_EQ(Items(list), (std::vector<int>{1, 7, 3}));
  list.ReplaceNode(0, std::make_unique<TSQNode<int>>(5));
  EXPECT_EQ(Items(list), (std::vector<int>{5, 7, 3}));
  EXPECT_EQ(list.GetCount(), 3);
}

TEST(LinkedListTest, NodesOfOtherListsAreRefused) {
  TGCustomLinkedList<int> list;
  TGCustomLinkedList<int> other;
  auto* foreign = other.Add(1);
  EXPECT_THROW_MSG(list.RemoveNode(foreign), EListError, "List is empty");
  list.Add(2);
  EXPECT_THROW_MSG(list.RemoveNode(foreign), EListError, "Cannot find node within list");
  EXPECT_THROW_MSG(list.RemoveNode(nullptr), EListError, "Invalid Index");
  EXPECT_THROW_MSG(list.InsertNode(std::make_unique<TSQNode<int>>(3), foreign), EListError,
                   "Cannot find node within list");
  EXPECT_EQ(Items(list), (std::vector<int>{2}));

  list.InsertNode(std::make_unique<TSQNode<int>>(1), list.GetHead());
  list.InsertNode(std::make_unique<TSQNode<int>>(3), nullptr);
  EXPECT_EQ(Items(list), (std::vector<int>{1, 2, 3}));
  list.RemoveNode(list.GetTail());
  EXPECT_EQ(list.GetTail()->GetItem(), 2);
}

TEST(LinkedListTest, AssignKeepsOrderAndAStackKeepsItsTop) {
  TGStack<int> stack;
  stack.Push(1);
  stack.Push(2);
  stack.Push(3);
  EXPECT_EQ(Items(stack), (std::vector<int>{3, 2, 1}));
  TGStack<int> copy;
  copy.Push(9);
  copy.Assign(stack);
  EXPECT_EQ(Items(copy), (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(copy.GetTail()->GetItem(), 1);

  copy.PushAll(stack);
  EXPECT_EQ(Items(copy), (std::vector<int>{3, 2, 1, 3, 2, 1}));

  TGQueue<int> queue;
  queue.Assign(stack);
  EXPECT_EQ(Items(queue), (std::vector<int>{3, 2, 1}));
  queue.AppendAll(queue);
  EXPECT_EQ(Items(queue), (std::vector<int>{3, 2, 1, 3, 2, 1}));

  // A stack filled from a queue adds each copy on top, reversing it.
  TGStack<int> reversed;
  reversed.Assign(queue);
  EXPECT_EQ(Items(reversed), (std::vector<int>{1, 2, 3, 1, 2, 3}));

  TSQNode<int> node;
  EXPECT_THROW_MSG(queue.Assign(node), EConvertError, "Cannot assign a TSQNode to a TGQueue");
}

TEST(LinkedListTest, OnChangeFiresOncePerBracket) {
  TGQueue<int> queue;
  int changes = 0;
  queue.SetOnChange([&](TPersistent* sender) {
    EXPECT_EQ(sender, &queue);
    ++changes;
  });
  queue.Push(1);
  EXPECT_EQ(changes, 1);
  TGQueue<int> source;
  source.Push(1);
  source.Push(2);
  changes = 0;
  queue.Assign(source);
  EXPECT_EQ(changes, 1);
  queue.EndUpdate();  // unbalanced: ignored but still reports
  queue.BeginUpdate();
  queue.Pop();
  EXPECT_EQ(changes, 2);
  queue.EndUpdate();
  EXPECT_EQ(changes, 3);
}

TEST(LinkedListTest, LongListsAreDestroyedWithoutRecursion) {
  auto list = std::make_unique<TGQueue<int>>();
  for (int i = 0; i < 100000; ++i)
    list->Push(i);
  EXPECT_EQ(list->GetCount(), 100000);
  list.reset();
}

}  // namespace
}  // namespace tapwise
