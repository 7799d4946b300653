#include "tapwise/language/StreamToken.h"

#include <gtest/gtest.h>

#include <string>

#include "support/ExpectThrow.h"
#include "support/LiveObjectGuard.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/language/StreamTokenList.h"

namespace tapwise {
namespace {

IntfPtr<IFuzzyStreamToken> Token(int32_t type, const std::string& text = {}, double number = 0,
                                 int32_t line = 1) {
  IntfPtr<IFuzzyStreamToken> token = TFuzzyStreamToken::Create();
  token->SetDataType(type);
  token->SetText(text);
  token->SetNumber(number);
  token->SetLineNumber(line);
  return token;
}

// A persistent object of another kind, to carry and to assign from.
class TOther : public TPersistent {
 public:
  std::string ClassName() const override { return "TOther"; }
};

TEST(StreamToken, AsStringOfThePlainKinds) {
  EXPECT_EQ(Token(dtEOF, "EOF")->GetAsString(), "EOF");
  EXPECT_EQ(Token(dtSymbol, "cold")->GetAsString(), "cold");
  EXPECT_EQ(Token(dtString, "abc")->GetAsString(), "\\\"abc\"\\");
  EXPECT_EQ(Token(dtInteger, "", -3)->GetAsString(), "-3");
  EXPECT_EQ(Token(dtInteger, "", -3.75)->GetAsString(), "-3");
  EXPECT_EQ(Token(dtInteger, "", -0.5)->GetAsString(), "0");
  EXPECT_EQ(Token(dtFloat, "", 0.25)->GetAsString(), "0.2500");
  EXPECT_EQ(Token(dtFloat, "", -11.56789)->GetAsString(), "-11.5679");
  EXPECT_EQ(Token(dtVariable, "hot")->GetAsString(), "?hot");
  EXPECT_EQ(Token('(')->GetAsString(), "(");
  EXPECT_EQ(Token('~', "~")->GetAsString(), "~");
  EXPECT_EQ(Token('[', "other")->GetAsString(), "other");
  // The plain token knows no carried values: its rule is the same for every other kind.
  auto plain = TBaseStreamToken::Create();
  plain->SetDataType(')');
  EXPECT_EQ(plain->GetAsString(), ")");
  plain->SetDataType(dtFloat);
  plain->SetNumber(65);
  EXPECT_EQ(plain->GetAsString(), "65.0000");
}

TEST(StreamToken, CarriedValuesSetTheKind) {
  testing::LiveObjectGuard guard;
  auto token = TFuzzyStreamToken::Create();
  auto list = TFuzzyStreamTokenList::Create();
  list->Add(Token('('));
  list->Add(Token(dtSymbol, "cold"));
  list->Add(Token(')'));

  token->SetTokenList(list);
  EXPECT_EQ(token->GetDataType(), dtTokenList);
  EXPECT_EQ(token->GetAsString(), "( cold ) ");
  EXPECT_EQ(token->GetTokenList(), list);
  EXPECT_FALSE(token->GetFuzzySetValue());

  // A plain token list prints too.
  auto plain = TBaseStreamTokenList::Create();
  plain->Add(Token(dtSymbol, "z"));
  token->SetInterfaceValue(plain);
  token->SetDataType(dtTokenList);
  EXPECT_EQ(token->GetAsString(), "z ");
  EXPECT_FALSE(token->GetTokenList());

  token->SetInterfaceValue(Token(dtSymbol, "x"));
  EXPECT_EQ(token->GetDataType(), dtInterface);
  EXPECT_EQ(token->GetAsString(), "<interface>");
  EXPECT_FALSE(token->GetTokenList());

  token->SetFuzzySetValue(list);
  EXPECT_EQ(token->GetDataType(), dtFuzzySet);
  EXPECT_EQ(token->GetFuzzySetValue(), list);

  TOther object;
  token->SetObjectValue(&object);
  EXPECT_EQ(token->GetDataType(), dtObject);
  EXPECT_EQ(token->GetAsString(), "<object>");
  EXPECT_EQ(token->GetObjectValue(), &object);
  token->SetObjectValue(nullptr);
  EXPECT_EQ(token->GetDataType(), dtEOF);

  token->SetTokenList(nullptr);
  EXPECT_EQ(token->GetDataType(), dtEOF);
  EXPECT_FALSE(token->GetInterfaceValue());
}

TEST(StreamToken, EqualityIgnoresTextTagAndWhiteSpace) {
  auto a = Token(dtSymbol, "cold", 0, 3);
  auto b = Token(dtSymbol, "hot", 0, 3);
  b->SetTag(7);
  b->SetWhiteSpace("  ");
  EXPECT_TRUE(a->IsEqual(b));
  EXPECT_FALSE(a->IsEqual(Token(dtSymbol, "cold", 0, 4)));
  EXPECT_FALSE(a->IsEqual(Token(dtString, "cold", 0, 3)));
  EXPECT_FALSE(Token(dtFloat, "", 0.1)->IsEqual(Token(dtFloat, "", 0.1 + 1e-12)));
  EXPECT_FALSE(a->IsEqual(TFuzzyStreamTokenList::Create()));
  EXPECT_FALSE(a->IsEqual(nullptr));
}

TEST(StreamToken, AssignAndCloneCopyTheTokenButNotItsWhiteSpaceOrValue) {
  testing::LiveObjectGuard guard;
  auto source = TFuzzyStreamToken::Create();
  source->SetTokenList(TFuzzyStreamTokenList::Create());
  source->SetLineNumber(4);
  source->SetText("group");
  source->SetTag(9);
  source->SetWhiteSpace("\r\n\t");

  auto clone = Supports<IFuzzyStreamToken>(source->Clone());
  ASSERT_TRUE(clone);
  EXPECT_NE(clone, source);
  EXPECT_EQ(clone->GetDataType(), dtTokenList);
  EXPECT_EQ(clone->GetLineNumber(), 4);
  EXPECT_EQ(clone->GetText(), "group");
  EXPECT_EQ(clone->GetTag(), 9);
  EXPECT_EQ(clone->GetWhiteSpace(), "");
  EXPECT_FALSE(clone->GetInterfaceValue());
  EXPECT_TRUE(clone->IsEqual(source));

  // A plain token clones into a plain token.
  auto plain = TBaseStreamToken::Create();
  plain->SetNumber(2.5);
  auto plain_clone = plain->Clone();
  EXPECT_FALSE(Supports<IFuzzyStreamToken>(plain_clone));
  EXPECT_EQ(Supports<IBaseStreamToken>(plain_clone)->GetNumber(), 2.5);

  auto target = TBaseStreamToken::Create();
  target->AssignFromInterface(Token(dtFloat, "", 11.5, 2));
  EXPECT_EQ(target->GetAsString(), "11.5000");
  EXPECT_EQ(target->GetLineNumber(), 2);
}

TEST(StreamToken, AssignFromStrangersFails) {
  auto token = TFuzzyStreamToken::Create();
  EXPECT_THROW_MSG(token->Assign(TOther()), EConvertError,
                   "Cannot assign a TOther to a TFuzzyStreamToken");
  EXPECT_THROW_MSG(token->AssignFromInterface(TFuzzyStreamTokenList::Create()), EConvertError,
                   "Interface not supported");
}

}  // namespace
}  // namespace tapwise
