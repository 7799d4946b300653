#include "tapwise/foundation/InterfaceList.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "support/ExpectThrow.h"
#include "support/LiveObjectGuard.h"
#include "tapwise/foundation/Cloneable.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/InfixToPostfix.h"

namespace tapwise {
namespace {

class TWord : public TInterfacedObject {
 public:
  explicit TWord(std::string text) : FText(std::move(text)) {}
  const std::string& Text() const { return FText; }

 private:
  std::string FText;
};

IntfPtr<IInterface> Word(const std::string& text) {
  return CreateInterfaced<TWord>(text);
}

std::string TextOf(const IntfPtr<IInterface>& item) {
  auto word = Supports<TWord>(item);
  return word ? word->Text() : "-";
}

std::string Joined(const TGInterfaceList& list) {
  std::string text;
  for (int i = 0; i < list.GetCount(); ++i)
    text += (i > 0 ? " " : "") + TextOf(list.Get(i));
  return text;
}

// Records the hook calls of a list.
class TRecordingList : public TIList {
 public:
  std::vector<std::string> log;

 protected:
  void Notify(const IntfPtr<IInterface>& item, TListNotification action) override {
    log.push_back((action == lnAdded ? "added " : "deleted ") + TextOf(item));
  }
};

TEST(InterfaceListTest, IndexesAreCheckedAndFailuresChangeNothing) {
  testing::LiveObjectGuard guard;
  TIList list;
  list.Add(Word("a"));
  list.Insert(1, Word("c"));  // Count appends
  list.Insert(1, Word("b"));
  EXPECT_EQ(Joined(list), "a b c");
  EXPECT_THROW_MSG(list.Insert(4, Word("x")), EListError, "List index out of bounds (4)");
  EXPECT_THROW_MSG(list.Get(3), EListError, "List index out of bounds (3)");
  EXPECT_THROW_MSG(list.ItemAt(-1), EListError, "List index out of bounds (-1)");
  EXPECT_THROW_MSG(list.Put(-1, Word("x")), EListError, "List index out of bounds (-1)");
  EXPECT_THROW_MSG(list.Delete(3), EListError, "List index out of bounds (3)");
  EXPECT_THROW_MSG(list.SetCapacity(2), EListError, "List capacity out of bounds (2)");
  EXPECT_THROW_MSG(list.SetCount(-1), EListError, "List count out of bounds (-1)");
  EXPECT_EQ(Joined(list), "a b c");

  EXPECT_EQ(TextOf(list.First()), "a");
  EXPECT_EQ(TextOf(list.Last()), "c");
  IntfPtr<IInterface> b = list.Get(1);
  EXPECT_EQ(list.ItemAt(1), b.Get());
  EXPECT_EQ(list.IndexOf(b), 1);
  EXPECT_EQ(list.IndexOf(Word("b")), -1);  // identity, not content
  EXPECT_EQ(list.Remove(b), 1);
  EXPECT_EQ(list.Remove(b), -1);
  EXPECT_EQ(Joined(list), "a c");

  list.SetCount(4);
  EXPECT_EQ(Joined(list), "a c - -");
  list.Clear();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetCapacity(), 0);
}

TEST(InterfaceListTest, CapacityGrowsByFourThenSixteenThenAQuarter) {
  TIList list;
  std::vector<int> capacities;
  for (int i = 0; i < 100; ++i) {
    list.Add(nullptr);
    if (capacities.empty() || capacities.back() != list.GetCapacity()) {
      capacities.push_back(list.GetCapacity());
    }
  }
  EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
}

TEST(InterfaceListTest, HooksSeeEveryAssignedItem) {
  testing::LiveObjectGuard guard;
  TRecordingList list;
  list.Add(Word("a"));
  list.Add(nullptr);
  list.Put(1, Word("b"));
  list.Put(0, Word("c"));
  list.SetCount(1);
  EXPECT_EQ(list.log,
            (std::vector<std::string>{"added a", "added b", "deleted a", "added c", "deleted b"}));
}

TEST(InterfaceListTest, QueueAndStackOrders) {
  testing::LiveObjectGuard guard;
  TIQueue queue;
  TIStack stack;
  for (const char* text : {"1", "2", "3"}) {
    queue.Push(Word(text));
    stack.Push(Word(text));
  }
  EXPECT_EQ(TextOf(queue.Peek()), "1");
  EXPECT_EQ(TextOf(stack.Peek()), "3");
  std::string from_queue;
  std::string from_stack;
  for (int i = 0; i < 3; ++i) {
    from_queue += TextOf(queue.Pop());
    from_stack += TextOf(stack.Pop());
  }
  EXPECT_EQ(from_queue, "123");
  EXPECT_EQ(from_stack, "321");
  EXPECT_THROW_MSG(stack.Pop(), EListError, "list is empty");
  EXPECT_THROW_MSG(queue.Peek(), EListError, "list is empty");
}

TEST(InterfaceListTest, AssignSharesItemsAndCloneKeepsTheClass) {
  testing::LiveObjectGuard guard;
  TIStack stack;
  stack.Push(Word("x"));
  stack.Push(Word("y"));
  std::unique_ptr<TIList> copy = stack.CloneList();
  ASSERT_NE(dynamic_cast<TIStack*>(copy.get()), nullptr);
  EXPECT_EQ(Joined(*copy), "x y");
  EXPECT_EQ(copy->Get(1), stack.Get(1));  // the same object
  EXPECT_EQ(TextOf(static_cast<TIStack&>(*copy).Pop()), "y");

  TIList list;
  list.Assign(stack);
  EXPECT_EQ(Joined(list), "x y");
  list.Assign(list);
  EXPECT_EQ(Joined(list), "x y");
}

// The shape of a list handed out as an interface (as the token lists are): counted, and
// cloned through ICloneable rather than CloneList.
class TCountedList : public TIList, public TInterfacedObject, public ICloneable {
 public:
  static IntfPtr<TCountedList> Create() { return CreateInterfaced<TCountedList>(); }
  void AssignFromInterface(const IntfPtr<IInterface>& source) override {
    auto list = Supports<TCountedList>(source);
    if (!list) AssignError(nullptr, *this);
    Assign(*list);
  }
  void Assign(const TPersistent& source) override { TIList::Assign(source); }
  void AssignTo(TPersistent& dest) const override { TIList::AssignTo(dest); }
  IntfPtr<ICloneable> Clone() const override {
    return ClonePersistent(*this, [](const TPersistent&) { return Create(); });
  }
  bool IsEqual(const IntfPtr<IInterface>& other) const override {
    auto list = Supports<TCountedList>(other);
    if (!list || list->GetCount() != GetCount()) return false;
    for (int i = 0; i < GetCount(); ++i) {
      if (list->Get(i) != Get(i)) return false;
    }
    return true;
  }
  int32_t GetTag() const override { return FTag; }
  void SetTag(int32_t value) override { FTag = value; }

 private:
  friend IntfPtr<TCountedList> CreateInterfaced<TCountedList>();
  TCountedList() = default;
  int32_t FTag = 0;
};

TEST(InterfaceListTest, AListCanBeHandedOutAsACountedInterface) {
  testing::LiveObjectGuard guard;
  IntfPtr<TCountedList> list = TCountedList::Create();
  list->Add(Word("a"));
  list->Add(list);  // a list may even hold itself; Clear breaks the cycle
  IntfPtr<ICloneable> copy = list->Clone();
  EXPECT_TRUE(copy->IsEqual(list));
  Supports<TCountedList>(copy)->Clear();
  EXPECT_FALSE(copy->IsEqual(list));
  list->Clear();
}

// Operands are words starting with a letter; "*" binds more tightly than "+".
TPostfixRules ArithmeticRules() {
  auto text = [](const IntfPtr<IInterface>& token) { return TextOf(token); };
  TPostfixRules rules;
  rules.IsOpen = [=](const auto& t) { return text(t) == "("; };
  rules.IsClose = [=](const auto& t) { return text(t) == ")"; };
  rules.IsOperand = [=](const auto& t) { return std::isalpha(text(t)[0]) != 0; };
  rules.StackPriority = [=](const auto& t) { return text(t) == "*" ? 1 : text(t) == "+" ? 2 : 99; };
  rules.TokenPriority = [=](const auto& t) { return text(t) == "*" ? 1 : text(t) == "+" ? 2 : 0; };
  return rules;
}

std::vector<std::string> Postfix(const std::vector<std::string>& words) {
  TIList tokens;
  for (const auto& word : words)
    tokens.Add(Word(word));
  std::vector<std::string> segments;
  for (const auto& segment : InfixToPostfix(tokens, ArithmeticRules())) {
    segments.push_back(Joined(*segment));
  }
  return segments;
}

TEST(InfixToPostfixTest, OrdersByPrecedenceAndSplitsAdjacentOperands) {
  testing::LiveObjectGuard guard;
  EXPECT_EQ(Postfix({"a", "+", "b", "*", "c"}), (std::vector<std::string>{"a b c * +"}));
  EXPECT_EQ(Postfix({"a", "*", "b", "+", "c"}), (std::vector<std::string>{"a b * c +"}));
  EXPECT_EQ(Postfix({"a", "+", "b", "+", "c"}), (std::vector<std::string>{"a b + c +"}));
  EXPECT_EQ(Postfix({"(", "a", "+", "b", ")", "*", "c"}), (std::vector<std::string>{"a b + c *"}));
  EXPECT_EQ(Postfix({"a", "b"}), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Postfix({"a", ")"}), (std::vector<std::string>{"a"}));
  EXPECT_EQ(Postfix({}), (std::vector<std::string>{""}));
  EXPECT_THROW_MSG(Postfix({"(", "a"}), Exception, "Missing close parenthesis");
}

}  // namespace
}  // namespace tapwise
