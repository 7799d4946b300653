#include "tapwise/language/TokenStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/ExpectThrow.h"
#include "support/LiveObjectGuard.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise {
namespace {

// A token stream over its own text.
class Lexer {
 public:
  explicit Lexer(std::string text) : FSource(std::move(text)), FStream(FSource) {}
  TFuzzyLogicTokenStream* operator->() { return &FStream; }
  TFuzzyLogicTokenStream& operator*() { return FStream; }

  // The text forms of the tokens up to the end, with their lines: "cold@1".
  std::vector<std::string> All() {
    std::vector<std::string> forms;
    for (auto token = FStream.NextToken(); token->GetDataType() != dtEOF;
         token = FStream.NextToken()) {
      forms.push_back(token->GetAsString() + "@" + std::to_string(token->GetLineNumber()));
    }
    return forms;
  }

 private:
  TZTStringStream FSource;
  TFuzzyLogicTokenStream FStream;
};

using Forms = std::vector<std::string>;

TEST(TokenStream, EmptyTextGivesEndTokensAgainAndAgain) {
  testing::LiveObjectGuard guard;
  Lexer lexer("");
  for (int i = 0; i < 3; ++i) {
    const auto token = lexer->NextToken();
    EXPECT_EQ(token->GetDataType(), dtEOF);
    EXPECT_EQ(token->GetText(), "EOF");
    EXPECT_EQ(token->GetLineNumber(), 1);
  }
}

TEST(TokenStream, TwoLineFormWithItsWhiteSpace) {
  Lexer lexer("(deffuzzy outTemp\r\n\t(range 5 65)");
  std::vector<IntfPtr<IFuzzyStreamToken>> tokens;
  for (int i = 0; i < 8; ++i)
    tokens.push_back(lexer->NextToken());
  Forms forms;
  for (const auto& token : tokens) {
    forms.push_back(token->GetAsString() + "@" + std::to_string(token->GetLineNumber()));
  }
  EXPECT_EQ(forms,
            (Forms{"(@1", "deffuzzy@1", "outTemp@1", "(@2", "range@2", "5@2", "65@2", ")@2"}));
  // The byte that ends a word joins that word's white space.
  EXPECT_EQ(tokens[0]->GetWhiteSpace(), "");
  EXPECT_EQ(tokens[1]->GetWhiteSpace(), " ");
  EXPECT_EQ(tokens[2]->GetWhiteSpace(), "\r");
  EXPECT_EQ(tokens[3]->GetWhiteSpace(), "\n\t");
  EXPECT_EQ(tokens[4]->GetWhiteSpace(), " ");
  EXPECT_EQ(tokens[5]->GetDataType(), dtInteger);
  EXPECT_EQ(tokens[6]->GetNumber(), 65);
  EXPECT_EQ(lexer->NextToken()->GetLineNumber(), 2);
}

TEST(TokenStream, CommentJoinsTheNextTokensWhiteSpace) {
  Lexer lexer("cold;comment\r\nhot");
  const auto cold = lexer->NextToken();
  const auto hot = lexer->NextToken();
  EXPECT_EQ(cold->GetText(), "cold");
  EXPECT_EQ(hot->GetText(), "hot");
  EXPECT_EQ(hot->GetWhiteSpace(), ";comment\r\n");
  EXPECT_EQ(hot->GetLineNumber(), 2);

  Lexer many(";a\n;b\r;c\r\n x ; last");
  const auto x = many->NextToken();
  EXPECT_EQ(x->GetText(), "x");
  EXPECT_EQ(x->GetLineNumber(), 4);
  const auto end = many->NextToken();
  EXPECT_EQ(end->GetDataType(), dtEOF);
  EXPECT_EQ(end->GetLineNumber(), 4);
  EXPECT_EQ(end->GetWhiteSpace(), "; last");
}

TEST(TokenStream, WordsAndTheirDelimiters) {
  EXPECT_EQ(Lexer("a(b").All(), (Forms{"a@1", "(@1", "b@1"}));
  EXPECT_EQ(Lexer("a=b").All(), (Forms{"a=b@1"}));
  EXPECT_EQ(Lexer("=b").All(), (Forms{"=@1", "b@1"}));
  EXPECT_EQ(Lexer("a<b <= c").All(), (Forms{"a@1", "<b@1", "<=@1", "c@1"}));
  EXPECT_EQ(Lexer("x&y|z~[w]").All(),
            (Forms{"x@1", "&@1", "y@1", "|@1", "z@1", "~@1", "[@1", "w@1", "]@1"}));
  EXPECT_EQ(Lexer("liters/minute -x 1a change_vc a-b.c>d*e^f+g").All(),
            (Forms{"liters/minute@1", "-x@1", "1a@1", "change_vc@1", "a-b.c>d*e^f+g@1"}));
  EXPECT_EQ(Lexer("word\"str\"").All(), (Forms{"word@1", "\\\"str\"\\@1"}));
  EXPECT_EQ(Lexer("a;c\nb").All(), (Forms{"a@1", "b@2"}));
}

TEST(TokenStream, WordKinds) {
  Lexer lexer(
      "65 11.5 -0.5 -.25 .05 + - . ?hot ? 0x1F -$10 +x0a 1e-3 1e999 2147483647 2147483648 5e 1.");
  auto next = [&lexer] { return lexer->NextToken(); };
  auto expect = [](const IntfPtr<IFuzzyStreamToken>& token, int32_t type, double number,
                   const std::string& text) {
    EXPECT_EQ(token->GetDataType(), type) << token->GetAsString();
    EXPECT_EQ(token->GetNumber(), number) << token->GetAsString();
    EXPECT_EQ(token->GetText(), text) << token->GetAsString();
  };
  expect(next(), dtInteger, 65, "");
  expect(next(), dtFloat, 11.5, "");
  expect(next(), dtFloat, -0.5, "");
  expect(next(), dtFloat, -0.25, "");
  expect(next(), dtFloat, 0.05, "");
  expect(next(), dtSymbol, 0, "+");
  expect(next(), dtSymbol, 0, "-");
  expect(next(), dtSymbol, 0, ".");
  expect(next(), dtVariable, 0, "hot");
  expect(next(), dtVariable, 0, "");
  expect(next(), dtInteger, 31, "");
  expect(next(), dtInteger, -16, "");
  expect(next(), dtInteger, 10, "");
  expect(next(), dtFloat, 0.001, "");
  expect(next(), dtSymbol, 0, "1e999");  // infinity is no number
  expect(next(), dtInteger, 2147483647, "");
  expect(next(), dtFloat, 2147483648.0, "");  // too large for an integer
  expect(next(), dtSymbol, 0, "5e");
  expect(next(), dtFloat, 1, "");
}

TEST(TokenStream, NumbersIgnoreTheLocale) {
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = old != nullptr ? old : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
  Lexer lexer("0.25 0,25");
  EXPECT_EQ(lexer->NextToken()->GetNumber(), 0.25);
  EXPECT_EQ(lexer->NextToken()->GetDataType(), dtSymbol);
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(TokenStream, EscapesTakeTheNextCharacterLiterally) {
  Lexer blank("a\\ b");
  EXPECT_EQ(blank->NextToken()->GetText(), "a b");
  EXPECT_EQ(blank->NextToken()->GetDataType(), dtEOF);

  Lexer leading("\\(a");  // a backslash starting a word is kept and escapes nothing
  EXPECT_EQ(leading.All(), (Forms{"\\@1", "(@1", "a@1"}));

  Lexer trailing("ab\\");
  EXPECT_EQ(trailing->NextToken()->GetText(), "ab");
  EXPECT_EQ(trailing->NextToken()->GetDataType(), dtEOF);

  Lexer delimiter("a\\(b\\\\ 1\\ ");
  EXPECT_EQ(delimiter->NextToken()->GetText(), "a(b\\");
  const auto escaped_blank = delimiter->NextToken();
  EXPECT_EQ(escaped_blank->GetDataType(), dtSymbol);  // an escaped blank makes no number
  EXPECT_EQ(escaped_blank->GetText(), "1 ");

  Lexer strings(R"("say \"hi\"" "back\\slash" "" "a\b")");
  EXPECT_EQ(strings->NextToken()->GetText(), "say \"hi\"");
  EXPECT_EQ(strings->NextToken()->GetText(), "back\\slash");
  const auto empty = strings->NextToken();
  EXPECT_EQ(empty->GetDataType(), dtString);
  EXPECT_EQ(empty->GetText(), "");
  EXPECT_EQ(strings->NextToken()->GetText(), "ab");
}

TEST(TokenStream, UnterminatedStrings) {
  for (const char* text : {"\"abc", "\"abc\\", "(units \"x\r\n"}) {
    Lexer lexer(text);
    EXPECT_THROW_MSG(lexer.All(), EFzyParseException,
                     "Invalid string value, string was not terminated")
        << text;
  }
}

TEST(TokenStream, LineEndsInsideStringsCountOnceEach) {
  Lexer lexer("\"a\r\nb\rc\nd\" x\n\"\\\r\n\" y");
  const auto first = lexer->NextToken();
  EXPECT_EQ(first->GetText(), "a\r\nb\rc\nd");
  EXPECT_EQ(first->GetLineNumber(), 4);  // the line on which the string ends
  EXPECT_EQ(lexer->NextToken()->GetLineNumber(), 4);
  const auto second = lexer->NextToken();
  EXPECT_EQ(second->GetText(), "\r\n");
  EXPECT_EQ(second->GetLineNumber(), 6);
  EXPECT_EQ(lexer->NextToken()->GetLineNumber(), 6);
  // An error after a multi-line string names the line it is on.
  Lexer broken("\"one\r\ntwo\"\r\n\"three");
  broken->NextToken();
  try {
    broken->NextToken();
    FAIL() << "unterminated";
  } catch (const EFzyParseException& error) {
    EXPECT_EQ(error.GetLine(), 3);
  }
}

TEST(TokenStream, EveryLineEndFormCountsOneLine) {
  EXPECT_EQ(Lexer("a\rb\nc\r\nd\r\re").All(), (Forms{"a@1", "b@2", "c@3", "d@4", "e@6"}));
  EXPECT_EQ(Lexer("a \r b \n c \r\n d").All(), (Forms{"a@1", "b@2", "c@3", "d@4"}));
  EXPECT_EQ(Lexer("(a)\r(b)").All(), (Forms{"(@1", "a@1", ")@1", "(@2", "b@2", ")@2"}));
  Lexer last("x\r");
  last->NextToken();
  EXPECT_EQ(last->NextToken()->GetLineNumber(), 2);
}

TEST(TokenStream, MakeTokenRefusesUnknownHints) {
  Lexer lexer("");
  EXPECT_THROW_MSG(lexer->MakeToken(64, "@"), EFzyParseException,
                   "Invalid Token hint for parsing token: 64");
  const auto line_end = lexer->MakeToken(13, "");
  EXPECT_EQ(line_end->GetDataType(), dtSymbol);
  EXPECT_EQ(line_end->GetText(), "CRLF");
  EXPECT_EQ(lexer->MakeToken(-1, "12")->GetDataType(), dtInteger);
  EXPECT_EQ(lexer->MakeToken(']', "]")->GetDataType(), ']');
}

TEST(TokenStream, PushBackAndEcho) {
  testing::LiveObjectGuard guard;
  Lexer lexer("(deffuzzy outTemp\r\n  (range 5 65))");
  const auto open = lexer->NextToken();
  const auto keyword = lexer->NextToken();
  EXPECT_EQ(lexer->GetDepth(), 1);
  EXPECT_EQ(lexer->ParsedText(), "( deffuzzy ");
  lexer->PushBackToken(keyword);
  EXPECT_EQ(lexer->GetDepth(), 1);
  EXPECT_EQ(lexer->CurrentToken(), keyword);
  EXPECT_EQ(lexer->NextToken(), keyword);
  EXPECT_EQ(lexer->GetDepth(), 1);
  EXPECT_EQ(lexer->ParsedText(), "( deffuzzy ");

  lexer->NextToken();  // outTemp
  const auto second_open = lexer->NextToken();
  EXPECT_EQ(lexer->GetDepth(), 2);
  EXPECT_EQ(lexer->ParsedText(), "( deffuzzy outTemp \r\n( ");
  // Pushing back the first token of a line takes its line break along, and fetching it
  // again brings the line break back.
  lexer->PushBackToken(second_open);
  EXPECT_EQ(lexer->GetDepth(), 1);
  EXPECT_EQ(lexer->ParsedText(), "( deffuzzy outTemp ");
  lexer->NextToken();
  EXPECT_EQ(lexer->ParsedText(), "( deffuzzy outTemp \r\n( ");

  // Several tokens pushed back come out last-in first-out.
  const auto range = lexer->NextToken();
  const auto five = lexer->NextToken();
  lexer->PushBackToken(five);
  lexer->PushBackToken(range);
  EXPECT_EQ(lexer->ParsedText(), "( deffuzzy outTemp \r\n( ");
  EXPECT_EQ(lexer->NextToken(), range);
  EXPECT_EQ(lexer->NextToken(), five);
  lexer->SkipToBalance();
  EXPECT_EQ(lexer->GetDepth(), 0);
  EXPECT_EQ(lexer->ParsedText(), "( deffuzzy outTemp \r\n( range 5 65 ) ) ");
  EXPECT_EQ(lexer->NextToken()->GetDataType(), dtEOF);
  lexer->PushBackToken(open);
  EXPECT_EQ(lexer->GetDepth(), -1);
}

// The echo writes numbers only when it is read; every push-back around them, across a
// line break or of a number itself, must still give the text of the tokens read so far.
TEST(TokenStream, EchoOfNumbersThroughPushBacks) {
  testing::LiveObjectGuard guard;
  Lexer lexer("(tri 1.5 -2\r\n 7.25 x)");
  lexer->NextToken();
  lexer->NextToken();
  const auto first = lexer->NextToken();
  const auto second = lexer->NextToken();
  const auto third = lexer->NextToken();  // first on the second line
  EXPECT_EQ(lexer->ParsedText(), "( tri 1.5000 -2 \r\n7.2500 ");
  lexer->PushBackToken(third);
  EXPECT_EQ(lexer->ParsedText(), "( tri 1.5000 -2 ");
  lexer->NextToken();
  const auto x = lexer->NextToken();
  lexer->PushBackToken(x);  // cuts after a number still waiting to be written
  lexer->PushBackToken(third);
  lexer->PushBackToken(second);
  EXPECT_EQ(lexer->ParsedText(), "( tri 1.5000 ");
  lexer->PushBackToken(first);
  EXPECT_EQ(lexer->ParsedText(), "( tri ");
  for (int i = 0; i < 4; ++i)
    lexer->NextToken();
  EXPECT_EQ(lexer->ParsedText(), "( tri 1.5000 -2 \r\n7.2500 x ");
  lexer->NextToken();
  EXPECT_EQ(lexer->ParsedText(), "( tri 1.5000 -2 \r\n7.2500 x ) ");
}

TEST(TokenStream, FillLookaheadReadsWholeGroups) {
  Lexer lexer("x (a (b) c) y (open");
  EXPECT_EQ(lexer->NextToken()->GetText(), "x");
  EXPECT_TRUE(lexer->IsLookaheadEmpty());
  EXPECT_EQ(lexer->ParsedText(), "x ");
  lexer->NextToken();  // fetches the group (a (b) c): the echo restarts
  EXPECT_EQ(lexer->ParsedText(), "( ");
  EXPECT_FALSE(lexer->IsLookaheadEmpty());
  lexer->SkipToBalance();
  EXPECT_TRUE(lexer->IsLookaheadEmpty());
  EXPECT_EQ(lexer->ParsedText(), "( a ( b ) c ) ");
  EXPECT_EQ(lexer->NextToken()->GetText(), "y");
  // An unbalanced group runs to the end of the text, the end token included.
  lexer->NextToken();
  lexer->SkipToBalance();
  EXPECT_EQ(lexer->GetDepth(), 1);
  EXPECT_EQ(lexer->ParsedText(), "( open EOF ");
}

TEST(TokenStream, PeekKeywordLeavesTheFormToBeRead) {
  Lexer lexer("(range 5) (= a) (5) x (");
  EXPECT_EQ(lexer->PeekKeyword(), "range");
  EXPECT_EQ(lexer->GetDepth(), 0);
  EXPECT_EQ(lexer->NextToken()->GetDataType(), '(');
  EXPECT_EQ(lexer->NextToken()->GetText(), "range");
  lexer->SkipToBalance();
  EXPECT_EQ(lexer->PeekKeyword(), "=");
  lexer->NextToken();
  lexer->SkipToBalance();
  EXPECT_EQ(lexer->PeekKeyword(), "");
  EXPECT_EQ(lexer->NextToken()->GetDataType(), '(');
  lexer->SkipToBalance();
  EXPECT_EQ(lexer->PeekKeyword(), "");  // x is taken
  EXPECT_EQ(lexer->NextToken()->GetDataType(), '(');
}

TEST(TokenStream, ResetAndSkipLine) {
  Lexer lexer("(a b) ; rest\r\nnext line\r\nlast");
  lexer->NextToken();
  lexer->ResetTokens();
  EXPECT_TRUE(lexer->IsLookaheadEmpty());
  EXPECT_EQ(lexer->ParsedText(), "");
  lexer->SkipLine();
  EXPECT_EQ(lexer->GetLineNumber(), 2);
  lexer->SkipLine();
  const auto last = lexer->NextToken();
  EXPECT_EQ(last->GetText(), "last");
  EXPECT_EQ(last->GetLineNumber(), 3);
}

TEST(TokenStream, LongTextsCrossBlocks) {
  std::string text;
  for (int i = 0; i < 3000; ++i)
    text += "(term" + std::to_string(i) + " 1.5)\n";
  Lexer lexer(text);
  int count = 0;
  for (auto token = lexer->NextToken(); token->GetDataType() != dtEOF; token = lexer->NextToken()) {
    if (token->GetDataType() == dtSymbol) {
      EXPECT_EQ(token->GetText(), "term" + std::to_string(count));
      EXPECT_EQ(token->GetLineNumber(), count + 1);
      ++count;
    }
  }
  EXPECT_EQ(count, 3000);
}

// Tokens the caller has let go are used again for later tokens; every token handed out must
// still look freshly made, and a token the caller keeps must never change under it.
TEST(TokenStream, RecycledTokensComeOutFreshAndHeldTokensStayUntouched) {
  testing::LiveObjectGuard guard;
  std::string text;
  for (int i = 0; i < 2000; ++i)
    text += "w" + std::to_string(i) + (i % 10 == 9 ? "\n" : " ");
  Lexer lexer(text);
  const IntfPtr<IInterface> carried = TFuzzyStreamToken::Create();
  std::vector<IntfPtr<IFuzzyStreamToken>> kept;
  std::vector<const IFuzzyStreamToken*> seen;
  int reused = 0;
  for (int i = 0; i < 2000; ++i) {
    const auto token = lexer->NextToken();
    SCOPED_TRACE(i);
    ASSERT_EQ(token->GetDataType(), dtSymbol);
    EXPECT_EQ(token->GetText(), "w" + std::to_string(i));
    EXPECT_EQ(token->GetLineNumber(), i / 10 + 1);
    // The byte that ends a word joins its white space.
    EXPECT_EQ(token->GetWhiteSpace(), i % 10 == 9 ? "\n" : " ");
    EXPECT_EQ(token->GetTag(), 0);
    EXPECT_EQ(token->GetNumber(), 0);
    EXPECT_EQ(token->GetInterfaceValue(), nullptr);
    EXPECT_EQ(token->GetObjectValue(), nullptr);
    for (const auto& held : kept)
      EXPECT_NE(token, held);
    if (std::find(seen.begin(), seen.end(), token.Get()) != seen.end()) ++reused;
    seen.push_back(token.Get());
    // Marks that a recycled token must not carry over.
    token->SetTag(7);
    token->SetNumber(2.5);
    token->SetInterfaceValue(carried);
    if (i % 100 == 0) kept.push_back(token);
  }
  EXPECT_GT(reused, 0);
  // The kept tokens are exactly as their holder left them.
  for (size_t k = 0; k < kept.size(); ++k) {
    EXPECT_EQ(kept[k]->GetDataType(), dtInterface);
    EXPECT_EQ(kept[k]->GetText(), "w" + std::to_string(k * 100));
    EXPECT_EQ(kept[k]->GetTag(), 7);
    EXPECT_EQ(kept[k]->GetInterfaceValue(), carried);
  }
  EXPECT_EQ(lexer->NextToken()->GetDataType(), dtEOF);
}

// Groups of very different sizes one after the other, with the caller holding on to some
// tokens across groups: the stream keeps as many tokens for recycling as are in use at once
// (up to a bound), so it must make new ones around the tokens still held, wherever they
// stand among those it recycles, and hand out every token fresh and every word in order.
TEST(TokenStream, RecyclingKeepsUpWithGroupsOfChangingSize) {
  testing::LiveObjectGuard guard;
  const std::vector<int> sizes = {3, 60, 1, 10, 300, 5, 130, 2, 257, 40};
  std::string text;
  std::vector<std::string> words;
  for (size_t g = 0; g < sizes.size(); ++g) {
    text += "(";
    words.emplace_back("(");
    for (int i = 0; i < sizes[g]; ++i) {
      words.push_back("g" + std::to_string(g) + "w" + std::to_string(i));
      text += words.back() + (i % 7 == 6 ? "\n" : " ");
    }
    text += ")\n";
    words.emplace_back(")");
  }
  Lexer lexer(text);
  // Held for a while: every 13th token until 50 more are read, every 97th to the end.
  std::vector<std::pair<IntfPtr<IFuzzyStreamToken>, size_t>> held;
  std::vector<IntfPtr<IFuzzyStreamToken>> kept;
  for (size_t n = 0; n < words.size(); ++n) {
    SCOPED_TRACE(n);
    const auto token = lexer->NextToken();
    ASSERT_EQ(token->GetText(), words[n]);
    EXPECT_EQ(token->GetTag(), 0);
    for (const auto& [other, since] : held)
      EXPECT_NE(token, other);
    for (const auto& other : kept)
      EXPECT_NE(token, other);
    token->SetTag(static_cast<int32_t>(n) + 1);
    std::erase_if(held, [&](const auto& entry) { return n - entry.second >= 50; });
    if (n % 13 == 0) held.emplace_back(token, n);
    if (n % 97 == 0) kept.push_back(token);
    for (const auto& [other, since] : held) {
      ASSERT_EQ(other->GetText(), words[since]);
      ASSERT_EQ(other->GetTag(), static_cast<int32_t>(since) + 1);
    }
  }
  for (size_t k = 0; k < kept.size(); ++k) {
    EXPECT_EQ(kept[k]->GetText(), words[k * 97]);
    EXPECT_EQ(kept[k]->GetTag(), static_cast<int32_t>(k * 97) + 1);
  }
  EXPECT_EQ(lexer->NextToken()->GetDataType(), dtEOF);
  EXPECT_EQ(lexer->GetDepth(), 0);
}

// The echo and push-back read tokens through the stream's own view of them; a long group
// (more tokens than the stream recycles) echoes and pushes back like a short one.
TEST(TokenStream, EchoAndPushBackOverALongGroup) {
  testing::LiveObjectGuard guard;
  std::string text = "(";
  std::string echo = "( ";
  for (int i = 0; i < 600; ++i) {
    text += "a" + std::to_string(i) + " " + std::to_string(i) + " ";
    echo += "a" + std::to_string(i) + " " + std::to_string(i) + " ";
  }
  text += ")";
  Lexer lexer(text);
  IntfPtr<IFuzzyStreamToken> last;
  for (int i = 0; i < 1201; ++i)
    last = lexer->NextToken();
  EXPECT_EQ(lexer->ParsedText(), echo);
  EXPECT_EQ(last->GetNumber(), 599);
  lexer->PushBackToken(last);
  EXPECT_EQ(lexer->ParsedText(), echo.substr(0, echo.size() - 4));
  EXPECT_EQ(lexer->NextToken(), last);
  EXPECT_EQ(lexer->ParsedText(), echo);

  // Tokens pushed back out of order with how they were made echo the same way again.
  const auto before = lexer->NextToken();  // ")"
  lexer->PushBackToken(before);
  lexer->PushBackToken(last);
  EXPECT_EQ(lexer->ParsedText(), echo.substr(0, echo.size() - 4));
  EXPECT_EQ(lexer->NextToken(), last);
  EXPECT_EQ(lexer->NextToken(), before);
  EXPECT_EQ(lexer->ParsedText(), echo + ") ");
  EXPECT_EQ(lexer->GetDepth(), 0);
}

// The current token is kept for CurrentToken even when nobody else holds it and the stream
// makes enough tokens to come round to its recycling slot again.
TEST(TokenStream, CurrentTokenSurvivesRecycling) {
  testing::LiveObjectGuard guard;
  Lexer lexer("first second");
  lexer->NextToken();
  for (int i = 0; i < 1000; ++i)
    lexer->MakeToken(0, "w" + std::to_string(i));
  EXPECT_EQ(lexer->CurrentToken()->GetText(), "first");
  // A token of the caller's own, pushed back, is current until the next one is read.
  IntfPtr<IFuzzyStreamToken> own = TFuzzyStreamToken::Create();
  own->SetDataType(dtSymbol);
  own->SetText("own");
  lexer->PushBackToken(own);
  own = nullptr;
  for (int i = 0; i < 1000; ++i)
    lexer->MakeToken(0, "w");
  EXPECT_EQ(lexer->CurrentToken()->GetText(), "own");
  EXPECT_EQ(lexer->NextToken()->GetText(), "own");
  EXPECT_EQ(lexer->NextToken()->GetText(), "second");
  EXPECT_EQ(lexer->CurrentToken()->GetText(), "second");
}

// A peek leaves exactly what reading and pushing back leaves, at every point of texts whose
// echo a push-back trims (numbers waiting to be written, line breaks, words that end in an
// escaped blank).
TEST(TokenStream, PeeksLeaveWhatReadingAndPushingBackLeaves) {
  testing::LiveObjectGuard guard;
  for (const std::string& text :
       {std::string("(term a (tri 1 2.5 3))"), std::string("(a 1.5\n(b) -2 \r\n (c d))"),
        std::string("(x\\  y\\  (z) w)"), std::string("(1 (2 (3)) \"s t\" ?v)"),
        std::string("a b (c)")}) {
    for (size_t skip = 0; skip < 12; ++skip) {
      SCOPED_TRACE(text + " after " + std::to_string(skip));
      Lexer peeked(text);
      Lexer read(text);
      for (size_t i = 0; i < skip; ++i) {
        peeked->NextToken();
        read->NextToken();
      }
      const std::string second = peeked->PeekSecondToken().GetAsString();
      const auto read_first = read->NextToken();
      const auto read_second = read->NextToken();
      read->PushBackToken(read_second);
      read->PushBackToken(read_first);
      EXPECT_EQ(second, read_second->GetAsString());
      EXPECT_EQ(peeked->CurrentToken()->GetAsString(), read_first->GetAsString());
      EXPECT_EQ(peeked->ParsedText(), read->ParsedText());
      EXPECT_EQ(peeked->GetDepth(), read->GetDepth());
      // Reading on gives the same tokens and the same echo at every step; a look at one
      // token at each step leaves what reading and pushing it back leaves.
      for (int i = 0; i < 6; ++i) {
        const IFuzzyStreamToken* next = &peeked->PeekToken();
        const auto read_next = read->NextToken();
        read->PushBackToken(read_next);
        EXPECT_EQ(next->GetAsString(), read_next->GetAsString());
        EXPECT_EQ(peeked->CurrentToken().Get(), next);
        EXPECT_EQ(peeked->ParsedText(), read->ParsedText());
        EXPECT_EQ(peeked->GetDepth(), read->GetDepth());
        EXPECT_EQ(peeked->NextToken()->GetAsString(), read->NextToken()->GetAsString());
        EXPECT_EQ(peeked->ParsedText(), read->ParsedText());
      }
    }
  }
}

// ---- Tokens as views ----

// What a reader can see of a token and of the stream after one step; the current token only
// when `current`, since asking for it gives it an object.
std::string Seen(const TTokenView& token, TFuzzyLogicTokenStream& stream, bool current) {
  std::string seen = std::to_string(token.DataType) + "|" + std::string(token.Text) + "|" +
                     std::to_string(token.Number) + "|" + std::to_string(token.LineNumber) + "|" +
                     stream.ParsedText() + "|" + std::to_string(stream.GetDepth());
  if (current)
    seen +=
        "|" + stream.CurrentToken()->GetAsString() + "|" + stream.CurrentToken()->GetWhiteSpace();
  return seen;
}

// Random walks of takes, peeks and push-backs: views and objects hand out the same tokens
// and leave the same echo, depth and current token, also when the two are mixed.
TEST(TokenStream, ViewsAndObjectsHandOutTheSameTokens) {
  testing::LiveObjectGuard guard;
  std::mt19937 random(20261210);
  for (const std::string& text :
       {std::string("(term a (tri 1 2.5 3)) (b \"s t\" ?v)"), std::string("(x\\  y\\ \n(z) -2)"),
        std::string("(a\r\n (b 1.5) c) d ; note\n(e (f (g)))")}) {
    SCOPED_TRACE(text);
    for (int walk = 0; walk < 40; ++walk) {
      const bool current = walk % 2 == 0;
      Lexer views(text);
      Lexer objects(text);
      IntfPtr<IFuzzyStreamToken> last;
      for (int step = 0; step < 30; ++step) {
        const int action = std::uniform_int_distribution<int>(0, 5)(random);
        std::string viewed;
        std::string made;
        if (action <= 1) {
          viewed = Seen(views->Take(), *views, current);
          last = objects->NextToken();
          made = Seen(TTokenView::Of(*last), *objects, current);
        } else if (action == 2) {
          viewed = Seen(views->Peek(), *views, current);
          made = Seen(TTokenView::Of(objects->PeekToken()), *objects, current);
        } else if (action == 3) {
          viewed = Seen(views->PeekSecond(), *views, current);
          made = Seen(TTokenView::Of(objects->PeekSecondToken()), *objects, current);
        } else if (action == 4 && last) {
          views->PutBack();
          objects->PushBackToken(objects->CurrentToken());
          last = nullptr;
          made = Seen(*objects->GetWaiting(0), *objects, current);
          viewed = Seen(*views->GetWaiting(0), *views, current);
        } else {
          // An object from the viewing stream, then views again.
          viewed = Seen(TTokenView::Of(*views->NextToken()), *views, current);
          last = objects->NextToken();
          made = Seen(TTokenView::Of(*last), *objects, current);
        }
        ASSERT_EQ(viewed, made) << "walk " << walk << ", step " << step << ", action " << action;
      }
      EXPECT_EQ(Seen(views->Peek(), *views, true),
                Seen(TTokenView::Of(objects->PeekToken()), *objects, true));
    }
  }
}

// A descendant that makes its tokens its own way is asked for every token, views included.
class ShoutingStream : public TFuzzyLogicTokenStream {
 public:
  using TFuzzyLogicTokenStream::TFuzzyLogicTokenStream;
  IntfPtr<IFuzzyStreamToken> MakeToken(int32_t hint, const std::string& text) override {
    std::string loud = text;
    std::transform(loud.begin(), loud.end(), loud.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    return TFuzzyLogicTokenStream::MakeToken(hint, loud);
  }
};

TEST(TokenStream, ViewsOfADescendantShowItsTokens) {
  testing::LiveObjectGuard guard;
  TZTStringStream source("(term cold (z 1 2))");
  ShoutingStream stream(source);
  EXPECT_TRUE(stream.Take().IsChar('('));
  EXPECT_EQ(stream.Peek().Text, "TERM");
  EXPECT_EQ(stream.PeekSecond().Text, "COLD");
  EXPECT_EQ(stream.GetWaiting(2)->DataType, '(');
  stream.Take();
  stream.PutBack();
  EXPECT_EQ(stream.Take().Text, "TERM");
  EXPECT_EQ(stream.ParsedText(), "( TERM ");
}

// A waiting token asked for as an object is the object that is read later.
TEST(TokenStream, AWaitingTokenKeepsItsObject) {
  testing::LiveObjectGuard guard;
  Lexer lexer("(tri 1 2 3)");
  EXPECT_EQ(lexer->Peek().DataType, '(');
  const IFuzzyStreamToken* second = lexer->GetWaitingToken(1);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->GetText(), "tri");
  EXPECT_EQ(lexer->GetWaitingToken(6), nullptr);
  lexer->Take();
  EXPECT_EQ(lexer->NextToken().Get(), second);
  EXPECT_EQ(lexer->ParsedText(), "( tri ");
}

// ---- Reading across the ends of the block ----

// A source that hands out at most a few bytes per read, so that the block holds only those:
// every token, blank run and line end is cut by block ends somewhere.
class TricklingStream : public TZTStringStream {
 public:
  TricklingStream(const std::string& text, int64_t step) : TZTStringStream(text), FStep(step) {}
  int64_t Read(void* buffer, int64_t count) override {
    return TZTStringStream::Read(buffer, std::min(count, FStep));
  }

 private:
  int64_t FStep;
};

// Everything a reader can see of a token, and the echo after it was read.
std::string Describe(TFuzzyLogicTokenStream& stream, const IFuzzyStreamToken& token) {
  std::string number(sizeof(double), '\0');
  const double value = token.GetNumber();
  std::memcpy(number.data(), &value, sizeof value);  // bit for bit, signed zeros too
  return std::to_string(token.GetDataType()) + "|" + token.GetText() + "|" + number + "|" +
         std::to_string(token.GetLineNumber()) + "|" + token.GetWhiteSpace() + "|" +
         stream.ParsedText() + "|" + std::to_string(stream.GetDepth());
}

// The tokens of `text` up to the end, errors included (reading goes on after one).
std::vector<std::string> ReadAll(TStream& source) {
  TFuzzyLogicTokenStream stream(source);
  std::vector<std::string> seen;
  for (int guard = 0; guard < 100000; ++guard) {
    try {
      const auto token = stream.NextToken();
      seen.push_back(Describe(stream, *token));
      if (token->GetDataType() == dtEOF) break;
    } catch (const EFzyParseException& error) {
      seen.push_back(std::string("error: ") + error.what() + " " +
                     std::to_string(stream.GetLineNumber()) + " " +
                     (stream.IsLookaheadEmpty() ? "empty" : "waiting"));
    }
  }
  return seen;
}

void ExpectSameReadingInPieces(const std::string& text) {
  TZTStringStream whole(text);
  const auto expected = ReadAll(whole);
  for (const int64_t step : {1, 2, 3, 7}) {
    TricklingStream pieces(text, step);
    const auto actual = ReadAll(pieces);
    ASSERT_EQ(actual.size(), expected.size()) << "blocks of " << step;
    for (size_t i = 0; i < actual.size(); ++i)
      ASSERT_EQ(actual[i], expected[i]) << "token " << i << ", blocks of " << step;
  }
}

TEST(TokenStream, ReadingInSmallBlocksMatchesReadingAtOnce) {
  testing::LiveObjectGuard guard;
  const char* const pieces[] = {"(",          ")",           "[",
                                "]",          "&",           "|",
                                "~",          "=",           "deffuzzy",
                                "term",       "t0",          "?glob",
                                "a=b",        "<=",          "<b",
                                "0",          "65",          "-0.5",
                                ".05",        "-.0",         "12.",
                                "1e-3",       "0x1F",        "$ff",
                                "+3",         "-",           ".",
                                "1.2.3",      "1e999",       "-0",
                                "2147483648", "-2147483648", "1234567890123456.5",
                                "\"str\"",    "\"a\\\"b\"",  "\"",
                                "a\\ b",      "\\",          "\\x",
                                "; note",     ";",           " ",
                                "  ",         "\t",          "\n",
                                "\r",         "\r\n",        "\x01",
                                "\xE9",       "x\xFF",       "1.5\\",
                                "a\"b",       "a;b",         "(a)",
                                "a<b"};
  std::mt19937 random(20261208);
  std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
  for (int round = 0; round < 150; ++round) {
    std::string text;
    for (size_t i = 0; i < 40; ++i)
      text += pieces[pick(random)];
    SCOPED_TRACE(text);
    ExpectSameReadingInPieces(text);
  }
}

// A group that an error cuts short is not left waiting: reading goes on after the error.
TEST(TokenStream, GroupCutShortByAnErrorLeavesNothingWaiting) {
  testing::LiveObjectGuard guard;
  Lexer lexer("(a b \"open");
  EXPECT_THROW_MSG(lexer->NextToken(), EFzyParseException,
                   "Invalid string value, string was not terminated");
  EXPECT_TRUE(lexer->IsLookaheadEmpty());
  EXPECT_EQ(lexer->NextToken()->GetDataType(), dtEOF);
}

}  // namespace
}  // namespace tapwise
