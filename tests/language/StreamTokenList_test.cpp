#include "tapwise/language/StreamTokenList.h"

#include <gtest/gtest.h>

#include <string>

#include "support/ExpectThrow.h"
#include "support/LiveObjectGuard.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/language/StreamToken.h"

namespace tapwise {
namespace {

IntfPtr<IFuzzyStreamToken> Symbol(const std::string& text, int32_t line = 1) {
  IntfPtr<IFuzzyStreamToken> token = TFuzzyStreamToken::Create();
  token->SetDataType(dtSymbol);
  token->SetText(text);
  token->SetLineNumber(line);
  return token;
}

IntfPtr<IFuzzyStreamToken> Char(char ch) {
  IntfPtr<IFuzzyStreamToken> token = TFuzzyStreamToken::Create();
  token->SetDataType(ch);
  return token;
}

class TOther : public TPersistent {
 public:
  std::string ClassName() const override { return "TOther"; }
};

TEST(StreamTokenList, EditingKeepsOrderAndIdentity) {
  testing::LiveObjectGuard guard;
  auto list = TFuzzyStreamTokenList::Create();
  auto cold = Symbol("cold");
  auto hot = Symbol("hot");
  EXPECT_EQ(list->Add(Char('(')), 0);
  EXPECT_EQ(list->Add(cold), 1);
  EXPECT_EQ(list->Add(Char(')')), 2);
  EXPECT_EQ(list->GetAsString(), "( cold ) ");
  list->Insert(3, hot);  // at the end
  list->Insert(0, hot);
  EXPECT_EQ(list->GetAsString(), "hot ( cold ) hot ");
  EXPECT_EQ(list->IndexOf(hot), 0);
  EXPECT_EQ(list->IndexOf(Symbol("cold")), -1);  // identity, not equality
  EXPECT_EQ(list->Remove(hot), 0);
  EXPECT_EQ(list->Remove(Symbol("x")), -1);
  EXPECT_EQ(list->FirstToken()->GetDataType(), '(');
  EXPECT_EQ(list->LastToken(), hot);
  list->SetItem(1, nullptr);
  EXPECT_EQ(list->GetAsString(), "(  ) hot ");
  list->Delete(1);
  EXPECT_EQ(list->GetCount(), 3);
  list->AddTokens(list);
  EXPECT_EQ(list->GetCount(), 6);
  EXPECT_EQ(list->GetItem(5), hot);
  list->Clear();
  EXPECT_EQ(list->GetAsString(), "");
}

// Items of several classes, put in by every route, come out as the same objects through
// both views, and an item that is no token comes out as null.
TEST(StreamTokenList, ItemsOfMixedClassesComeOutAsThemselves) {
  testing::LiveObjectGuard guard;
  auto list = TFuzzyStreamTokenList::Create();
  IntfPtr<IBaseStreamToken> plain = TBaseStreamToken::Create();
  plain->SetText("plain");
  const auto fuzzy = Symbol("fuzzy");
  const auto other = Symbol("other");
  list->AddToken(fuzzy);
  list->Add(plain);
  list->Insert(0, other);
  list->TIList::Add(TFuzzyStreamTokenList::Create());  // present but not a token
  list->AddToken(nullptr);
  ASSERT_EQ(list->GetCount(), 5);
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(list->GetItem(0), other);
    EXPECT_EQ(list->GetToken(0), other);
    EXPECT_EQ(list->GetItem(1), fuzzy);
    EXPECT_EQ(list->GetToken(1)->GetText(), "fuzzy");
    EXPECT_EQ(list->GetItem(2)->GetText(), "plain");
    EXPECT_EQ(list->GetToken(2), nullptr);  // a plain token is no fuzzy token
    EXPECT_EQ(list->GetItem(3), nullptr);
    EXPECT_EQ(list->GetToken(3), nullptr);
    EXPECT_EQ(list->GetItem(4), nullptr);
    // Replacing items changes what the list has seen last; the answers stay the same.
    list->SetItem(0, other);
    list->SetItem(2, plain);
  }
  EXPECT_EQ(list->IndexOf(plain), 2);
  EXPECT_EQ(list->GetAsString(), "other fuzzy plain   ");
}

TEST(StreamTokenList, IndexErrorsNameTheIndex) {
  auto list = TFuzzyStreamTokenList::Create();
  list->Add(Symbol("a"));
  EXPECT_THROW_MSG(list->GetItem(1), EListError, "List index out of bounds (1)");
  EXPECT_THROW_MSG(list->SetItem(-1, nullptr), EListError, "List index out of bounds (-1)");
  EXPECT_THROW_MSG(list->Delete(1), EListError, "List index out of bounds (1)");
  EXPECT_THROW_MSG(list->Insert(2, nullptr), EListError, "List index out of bounds (2)");
  list->Clear();
  EXPECT_THROW_MSG(list->First(), EListError, "List index out of bounds (0)");
  EXPECT_THROW_MSG(list->LastToken(), EListError, "List index out of bounds (-1)");
}

TEST(StreamTokenList, EqualityComparesTokenByToken) {
  auto a = TFuzzyStreamTokenList::Create();
  auto b = TBaseStreamTokenList::Create();
  a->Add(Symbol("cold"));
  a->Add(nullptr);
  b->Add(Symbol("hot"));  // another word on the same line is an equal token
  EXPECT_FALSE(a->IsEqualList(b));
  b->Add(nullptr);
  EXPECT_TRUE(a->IsEqualList(b));
  EXPECT_TRUE(b->IsEqual(a));
  b->SetItem(1, Symbol("x"));
  EXPECT_FALSE(a->IsEqual(b));
  b->SetItem(0, Symbol("cold", 2));
  b->SetItem(1, nullptr);
  EXPECT_FALSE(a->IsEqual(b));
  EXPECT_FALSE(a->IsEqual(Symbol("cold")));
  EXPECT_FALSE(a->IsEqualList(nullptr));
}

TEST(StreamTokenList, EqualityWithAPlainInterfaceList) {
  testing::LiveObjectGuard guard;
  auto list = TFuzzyStreamTokenList::Create();
  list->Add(Symbol("a"));
  EXPECT_TRUE(list->IsEqualInterfaceList(*list));
  TIList plain;
  plain.Add(Symbol("b"));
  EXPECT_TRUE(list->IsEqualInterfaceList(plain));
  plain.Put(0, TFuzzyStreamTokenList::Create());  // present but not a token
  EXPECT_FALSE(list->IsEqualInterfaceList(plain));
  plain.Put(0, nullptr);
  EXPECT_FALSE(list->IsEqualInterfaceList(plain));
}

TEST(StreamTokenList, CloneHoldsClonesAndKeepsTheClass) {
  testing::LiveObjectGuard guard;
  auto list = TFuzzyStreamTokenList::Create();
  auto cold = Symbol("cold", 3);
  list->Add(cold);
  list->Add(nullptr);
  list->SetTag(42);

  auto clone = Supports<IFuzzyStreamTokenList>(list->Clone());
  ASSERT_TRUE(clone);
  EXPECT_EQ(clone->GetCount(), 2);
  EXPECT_NE(clone->GetItem(0), cold);
  EXPECT_EQ(clone->GetToken(0)->GetText(), "cold");
  EXPECT_FALSE(clone->GetItem(1));
  EXPECT_EQ(clone->GetTag(), 42);
  EXPECT_TRUE(clone->IsEqual(list));

  auto base_clone = TBaseStreamTokenList::Create()->Clone();
  EXPECT_FALSE(Supports<IFuzzyStreamTokenList>(base_clone));
  EXPECT_TRUE(Supports<IBaseStreamTokenList>(base_clone));

  // Assigning a list from itself keeps its tokens.
  list->AssignFromInterface(list);
  EXPECT_EQ(list->GetItem(0), cold);
}

TEST(StreamTokenList, AssignFromStrangersFails) {
  auto list = TFuzzyStreamTokenList::Create();
  list->Add(Symbol("kept"));
  EXPECT_THROW_MSG(list->Assign(TOther()), Exception, "Error assigning list");
  EXPECT_THROW_MSG(list->AssignFromInterface(Symbol("x")), EConvertError,
                   "Interface not supported");
  EXPECT_EQ(list->GetCount(), 1);
}

TEST(StreamTokenList, NestedGroupsPrintInside) {
  testing::LiveObjectGuard guard;
  auto inner = TFuzzyStreamTokenList::Create();
  inner->Add(Symbol("z"));
  auto group = TFuzzyStreamToken::Create();
  group->SetTokenList(inner);
  auto outer = TFuzzyStreamTokenList::Create();
  outer->Add(Symbol("very"));
  outer->Add(group);
  EXPECT_EQ(outer->GetAsString(), "very z  ");
  // A plain token in a fuzzy list is handed out as null through the fuzzy accessors.
  outer->Add(TBaseStreamToken::Create());
  EXPECT_FALSE(outer->LastToken());
  EXPECT_TRUE(outer->Last());
}

}  // namespace
}  // namespace tapwise
