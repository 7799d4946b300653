#include "tapwise/language/TokenStream.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "tapwise/foundation/ExactType.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise {
namespace {

constexpr int kEnd = -1;

int HexDigit(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

// A 32-bit integer: an optional sign, then decimal digits, or hexadecimal digits after "$",
// "x" or "0x".
std::optional<int32_t> TryWordToInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  } else if (!text.empty() && (text.front() == '$' || text.front() == 'x' || text.front() == 'X')) {
    base = 16;
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  const int64_t limit = negative ? int64_t{1} << 31 : (int64_t{1} << 31) - 1;
  int64_t value = 0;
  for (const char ch : text) {
    const int digit = base == 16 ? HexDigit(ch) : (ch >= '0' && ch <= '9' ? ch - '0' : -1);
    if (digit < 0) return std::nullopt;
    value = value * base + digit;
    if (value > limit) return std::nullopt;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

bool IsDigit(char ch) {
  return ch >= '0' && ch <= '9';
}

// What a word is: its kind, its number and the part of it that is the token's text.
struct TWord {
  int32_t Type;
  double Number;
  std::string_view Text;
};

TWord ClassifyWord(std::string_view text) {
  if (!text.empty() && text.front() == '?') return {dtVariable, 0, text.substr(1)};
  const char first = text.empty() ? '\0' : text.front();
  const bool may_be_number = text.size() > 1
                                 ? IsDigit(first) || first == '+' || first == '-' || first == '.'
                                 : IsDigit(first);
  // A loop rather than memchr: words are short.
  if (may_be_number && first != '+' &&
      std::any_of(text.begin(), text.end(), [](char ch) { return ch == '.'; })) {
    // A word with a point is never an integer; a plain decimal is read as TryStrToFloat
    // reads it, without the integer attempt and the general checks in front.
    if (const auto plain = TryPlainDecimal(text)) return {dtFloat, *plain, {}};
  }
  // Escaped blanks belong to the word but never to a number (the converters would skip
  // them).
  if (may_be_number && std::none_of(text.begin(), text.end(),
                                    [](char ch) { return static_cast<unsigned char>(ch) <= 32; })) {
    if (const auto integer = TryWordToInteger(text)) return {dtInteger, double(*integer), {}};
    // Refuses infinities and NaN: "1e999" stays a symbol.
    if (const auto real = TryStrToFloat(text)) return {dtFloat, *real, {}};
  }
  return {dtSymbol, 0, text};
}

// How a token of `type` changes the depth of parentheses when it is read.
int32_t DepthStep(int32_t type) {
  return type == '(' ? 1 : type == ')' ? -1 : 0;
}

}  // namespace

TFuzzyLogicTokenStream::TKnownToken::TKnownToken(IntfPtr<IFuzzyStreamToken> token)
    : Token(std::move(token)), Own(ExactCast<const TFuzzyStreamToken>(Token.Get())) {}

TFuzzyLogicTokenStream::TFuzzyLogicTokenStream(TStream& source) : TGTextStream(source) {}

IntfPtr<TFuzzyStreamToken> TFuzzyLogicTokenStream::NewToken() {
  IntfPtr<TFuzzyStreamToken> token = FPool.Acquire();
  token->FLineNumber = FReader.GetLineNumber();
  FReader.TakeWhiteSpace(token->FWhiteSpace);
  return token;
}

IntfPtr<TFuzzyStreamTokenList> TFuzzyLogicTokenStream::NewTokenList() {
  if (FLastList != nullptr && FLastList->RefCount() == 1) {
    // Nobody else holds it: emptied (keeping its room) it is as good as new.
    FLastList->SetCount(0);
    FLastList->SetTag(0);
  } else {
    FLastList = TFuzzyStreamTokenList::Create().Detach();
    FLastListHold = IntfPtr<IInterface>::Adopt(FLastList);
  }
  return IntfPtr<TFuzzyStreamTokenList>(FLastList);
}

IntfPtr<IFuzzyStreamToken> TFuzzyLogicTokenStream::MakeToken(int32_t hint,
                                                             const std::string& text) {
  if (hint == kEnd || hint == 0) {
    IntfPtr<TFuzzyStreamToken> token = NewToken();
    if (text.empty() && hint == kEnd) {
      token->FText = "EOF";
    } else {
      const TWord word = ClassifyWord(text);
      token->FDataType = word.Type;
      token->FNumber = word.Number;
      // A number's text stays as the blank token has it: empty.
      if (!word.Text.empty()) token->FText.assign(word.Text);
    }
    return token;
  }
  if (hint != '\r' && hint != kQuoteChar && !TTokenReader::IsSingleCharToken(hint))
    throw EFzyParseException(Format(messages::kInvalidTokenHint, IntToStr(hint)));
  IntfPtr<TFuzzyStreamToken> token = NewToken();
  if (hint == '\r') {
    token->FDataType = dtSymbol;
    token->FText = "CRLF";
  } else if (hint == kQuoteChar) {
    token->FDataType = dtString;
    token->FText = text;
  } else {
    token->FDataType = hint;
    token->FText.push_back(static_cast<char>(hint));  // a blank token's text is empty
  }
  return token;
}

IntfPtr<IFuzzyStreamToken> TFuzzyLogicTokenStream::ReadToken() {
  const int32_t hint = FReader.Read();
  IntfPtr<IFuzzyStreamToken> token = MakeToken(hint, FReader.GetText());
  FReader.EndToken();
  return token;
}

bool TFuzzyLogicTokenStream::SkipWhitespace() {
  return FReader.SkipWhitespace();
}

char TFuzzyLogicTokenStream::ReadChar() {
  return FReader.ReadChar();
}

std::string TFuzzyLogicTokenStream::ReadLine() {
  return FReader.ReadLine();
}

void TFuzzyLogicTokenStream::FillLookahead() {
  FEcho.Clear();
  // The group goes on top of whatever waits already, its first token next out.
  const size_t base = FLookahead.size();
  int32_t depth = 0;
  try {
    do {
      const int32_t type = FLookahead.emplace_back(ReadToken()).GetDataType();
      if (type == dtEOF) break;
      depth += DepthStep(type);
    } while (depth != 0);
  } catch (...) {
    // A group that could not be read whole is not waiting.
    FLookahead.erase(FLookahead.begin() + static_cast<std::ptrdiff_t>(base), FLookahead.end());
    throw;
  }
  std::reverse(FLookahead.begin() + static_cast<std::ptrdiff_t>(base), FLookahead.end());
}

IntfPtr<IFuzzyStreamToken> TFuzzyLogicTokenStream::NextToken() {
  if (FLookahead.empty()) FillLookahead();
  HandOut(FLookahead.back());
  IntfPtr<IFuzzyStreamToken> token = std::move(FLookahead.back().Token);
  FLookahead.pop_back();
  return token;
}

void TFuzzyLogicTokenStream::HandOut(const TKnownToken& known) {
  FEcho.Append(*known.Token, known.Own);
  FDepth += DepthStep(known.GetDataType());
  FPool.SetCurrent(known.Token, known.Own);
}

void TFuzzyLogicTokenStream::PushBackToken(const IntfPtr<IFuzzyStreamToken>& token) {
  if (!token) return;
  const TKnownToken& known = FLookahead.emplace_back(token);
  FPool.SetCurrent(known.Token, known.Own);
  FEcho.Rollback(*known.Token, known.Own);
  FDepth -= DepthStep(known.GetDataType());
}

const IFuzzyStreamToken& TFuzzyLogicTokenStream::PeekToken() {
  if (FLookahead.empty()) FillLookahead();
  const TKnownToken& next = FLookahead.back();
  FPool.SetCurrent(next.Token, next.Own);
  FEcho.Settle();
  return *next.Token;
}

const IFuzzyStreamToken& TFuzzyLogicTokenStream::PeekSecondToken() {
  if (FLookahead.size() < 2) {
    // Reading the second fetches the next group, which restarts the echo.
    const IntfPtr<IFuzzyStreamToken> first = NextToken();
    PeekToken();
    PushBackToken(first);
  } else {
    // Reading both and pushing them back, as far as it shows: the echo cuts what appending
    // the first added and trims its end, as settling it alone does.
    const TKnownToken& first = FLookahead.back();
    FEcho.Settle();
    FPool.SetCurrent(first.Token, first.Own);
  }
  return *FLookahead[FLookahead.size() - 2].Token;
}

IntfPtr<IFuzzyStreamToken> TFuzzyLogicTokenStream::CurrentToken() {
  if (FPool.GetCurrent() == nullptr) NextToken();
  return IntfPtr<IFuzzyStreamToken>(FPool.GetCurrent());
}

std::string TFuzzyLogicTokenStream::ParsedText() const {
  return FEcho.GetText();
}

void TFuzzyLogicTokenStream::ResetTokens() {
  FLookahead.clear();
  FEcho.Clear();
}

void TFuzzyLogicTokenStream::SkipLine() {
  ReadLine();
}

void TFuzzyLogicTokenStream::SkipToBalance() {
  while (FDepth != 0) {
    if (NextToken()->GetDataType() == dtEOF) break;
  }
}

std::string TFuzzyLogicTokenStream::PeekKeyword() {
  auto token = NextToken();
  if (token->GetDataType() != '(' || FLookahead.empty()) return {};
  const auto& next = FLookahead.back().Token;
  std::string keyword;
  if (next->GetDataType() == dtSymbol) {
    keyword = next->GetText().empty() ? next->GetAsString() : next->GetText();
  } else if (next->GetDataType() == '=') {
    keyword = "=";
  }
  PushBackToken(token);
  return keyword;
}

}  // namespace tapwise
