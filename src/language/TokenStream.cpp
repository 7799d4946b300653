#include "tapwise/language/TokenStream.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
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

// Whether a word that starts with `first` may be anything but a symbol (ClassifyWord).
bool MayBeNumberOrVariable(char first) {
  return IsDigit(first) || first == '+' || first == '-' || first == '.' || first == '?';
}

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

// The text of each single-character token, viewed where a lexed token names its kind.
constexpr std::array<char, 256> kCharacters = [] {
  std::array<char, 256> characters{};
  for (size_t ch = 0; ch < characters.size(); ++ch)
    characters[ch] = static_cast<char>(ch);
  return characters;
}();

// What a token of the kind `hint` (see MakeToken) with the lexer's `text` is.
TWord Lex(int32_t hint, std::string_view text) {
  if (hint == kEnd || hint == 0) {
    if (text.empty() && hint == kEnd) return {dtEOF, 0, "EOF"};
    return ClassifyWord(text);
  }
  if (hint == '\r') return {dtSymbol, 0, "CRLF"};
  if (hint == TFuzzyLogicTokenStream::kQuoteChar) return {dtString, 0, text};
  if (!TTokenReader::IsSingleCharToken(hint))
    throw EFzyParseException(Format(messages::kInvalidTokenHint, IntToStr(hint)));
  if (text.size() == 1 && text.front() == static_cast<char>(hint)) return {hint, 0, text};
  return {hint, 0, std::string_view(&kCharacters[static_cast<size_t>(hint)], 1)};
}

}  // namespace

TFuzzyLogicTokenStream::TFuzzyLogicTokenStream(TStream& source) : TGTextStream(source) {}

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

// ---- Reading ----

IntfPtr<IFuzzyStreamToken> TFuzzyLogicTokenStream::MakeToken(int32_t hint,
                                                             const std::string& text) {
  const TWord word = Lex(hint, text);
  IntfPtr<TFuzzyStreamToken> token = FPool.Acquire();
  token->FDataType = word.Type;
  token->FLineNumber = FReader.GetLineNumber();
  token->FNumber = word.Number;
  token->FText.assign(word.Text);
  FReader.MoveWhiteSpaceTo(token->FWhiteSpace);
  return token;
}

IntfPtr<IFuzzyStreamToken> TFuzzyLogicTokenStream::ReadToken() {
  const int32_t hint = FReader.Read();
  IntfPtr<IFuzzyStreamToken> token = MakeToken(hint, FReader.GetText());
  FReader.EndToken();
  return token;
}

void TFuzzyLogicTokenStream::ReadLexed(TWaiting& waiting) {
  TLexedToken& lexed = waiting.Lexed;
  const int32_t hint = FReader.ReadWithWhiteSpace(FTexts, lexed);
  const std::string_view text(FTexts.data() + lexed.TextAt, lexed.TextSize);
  lexed.LineNumber = FReader.GetLineNumber();
  if (hint == 0 && !text.empty() && !MayBeNumberOrVariable(text.front())) {
    // Mostly a name: a symbol whose text is the word.
    lexed.DataType = dtSymbol;
  } else if (hint == 0) {
    // A word's text is the word, the part after a "?", or none for a number.
    const TWord word = ClassifyWord(text);
    lexed.DataType = static_cast<int16_t>(word.Type);
    lexed.Number = word.Number;
    lexed.TextSize = word.Text.size();
    if (!word.Text.empty()) lexed.TextAt += static_cast<size_t>(word.Text.data() - text.data());
  } else if (TTokenReader::IsSingleCharToken(hint)) {
    // A single-character token as read: its text is the character.
    lexed.DataType = static_cast<int16_t>(hint);
  } else if (hint == kQuoteChar) {
    lexed.DataType = dtString;
  } else {
    // The end of the text, a line end or a string: a text of its own, kept after the rest.
    const TWord word = Lex(hint, text);
    lexed.DataType = static_cast<int16_t>(word.Type);
    lexed.Number = word.Number;
    lexed.TextAt = FTexts.size();
    lexed.TextSize = word.Text.size();
    FTexts.append(word.Text);
  }
  FReader.EndToken();
}

bool TFuzzyLogicTokenStream::ReadsLexed() {
  if (FReadsLexed < 0) FReadsLexed = IsExactly<TFuzzyLogicTokenStream>(*this) ? 1 : 0;
  return FReadsLexed == 1;
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

void TFuzzyLogicTokenStream::WriteEchoRun() {
  for (size_t slot = FEchoRunBegin; slot < FEchoRunEnd; ++slot)
    FEcho.AppendLexed(ViewOf(FLookahead[slot].Lexed));
  FEchoRunBegin = FEchoRunEnd;
}

void TFuzzyLogicTokenStream::ClearEcho() {
  if (FEchoRunBegin != FEchoRunEnd) {
    FEcho.ClearAfter(FLookahead[FEchoRunEnd - 1].Lexed.LineNumber);
  } else {
    FEcho.Clear();
  }
  FEchoRunBegin = FEchoRunEnd = 0;
}

void TFuzzyLogicTokenStream::FillLookahead() {
  ClearEcho();
  // The texts of the lexed tokens go when none waits; a lexed current token gets its object
  // first.
  MakeCurrentObject();
  // The group goes in front of whatever waits already, its first token next out.
  std::vector<TWaiting> later(
      std::make_move_iterator(FLookahead.begin() + static_cast<std::ptrdiff_t>(FNext)),
      std::make_move_iterator(FLookahead.end()));
  FLookahead.clear();
  FNext = 0;
  if (later.empty()) FTexts.clear();
  const bool lexed = ReadsLexed();
  int32_t depth = 0;
  try {
    for (;;) {
      TWaiting& waiting = FLookahead.emplace_back();
      int32_t type = 0;
      if (lexed) {
        ReadLexed(waiting);
        type = waiting.Lexed.DataType;
      } else {
        waiting.Token = ReadToken();
        waiting.Own = ExactCast<const TFuzzyStreamToken>(waiting.Token.Get());
        type = ViewOfObject(waiting).DataType;
      }
      if (type == dtEOF) break;
      depth += DepthStep(type);
      if (depth == 0) break;
    }
  } catch (...) {
    // A group that could not be read whole is not waiting.
    FLookahead = std::move(later);
    throw;
  }
  FLookahead.insert(FLookahead.end(), std::make_move_iterator(later.begin()),
                    std::make_move_iterator(later.end()));
}

// ---- Tokens as views and as objects ----

TTokenView TFuzzyLogicTokenStream::ViewOfObject(const TWaiting& waiting) {
  if (const TFuzzyStreamToken* own = waiting.Own)
    return {own->FDataType, own->FLineNumber, own->FNumber, own->FText};
  return TTokenView::Of(*waiting.Token);
}

IntfPtr<IFuzzyStreamToken> TFuzzyLogicTokenStream::ObjectOf(const TLexedToken& lexed,
                                                            const TFuzzyStreamToken*& own) {
  IntfPtr<TFuzzyStreamToken> token = FPool.Acquire();
  token->FDataType = lexed.DataType;
  token->FLineNumber = lexed.LineNumber;
  token->FNumber = lexed.Number;
  token->FText.assign(FTexts, lexed.TextAt, lexed.TextSize);
  token->FWhiteSpace.assign(FTexts, lexed.SpaceAt, lexed.SpaceSize);
  if (lexed.SpaceAfter >= 0) token->FWhiteSpace.push_back(static_cast<char>(lexed.SpaceAfter));
  own = token.Get();
  return token;
}

void TFuzzyLogicTokenStream::MakeObject(TWaiting& waiting) {
  if (!waiting.Token) waiting.Token = ObjectOf(waiting.Lexed, waiting.Own);
}

void TFuzzyLogicTokenStream::MakeCurrentObject() {
  if (!FCurrentIsLexed) return;
  TWaiting& current = FLookahead[FCurrentSlot];
  MakeObject(current);
  MakeObjectCurrent(current);
}

void TFuzzyLogicTokenStream::HandOutObject(const TWaiting& waiting) {
  WriteEchoRun();
  const TTokenView view = ViewOfObject(waiting);
  if (waiting.Own == nullptr || CarriesValue(view.DataType)) {
    FEcho.AppendForm(view.LineNumber, waiting.Token->GetAsString());
  } else {
    FEcho.Append(view);
  }
  FDepth += DepthStep(view.DataType);
  MakeObjectCurrent(waiting);
}

void TFuzzyLogicTokenStream::RollbackObject(const TWaiting& waiting) {
  WriteEchoRun();
  const TTokenView view = ViewOfObject(waiting);
  if (waiting.Own == nullptr || CarriesValue(view.DataType)) {
    FEcho.RollbackForm(waiting.Token->GetAsString());
  } else {
    FEcho.Rollback(view);
  }
  FDepth -= DepthStep(view.DataType);
}

TFuzzyLogicTokenStream::TWaiting& TFuzzyLogicTokenStream::Unshift() {
  if (FNext > 0) return FLookahead[--FNext];
  // Every slot moves up one: a lexed current token gets its object first.
  MakeCurrentObject();
  return *FLookahead.emplace(FLookahead.begin());
}

const IFuzzyStreamToken* TFuzzyLogicTokenStream::GetWaitingToken(size_t ahead) const {
  if (ahead >= FLookahead.size() - FNext) return nullptr;
  // Making a waiting token's object changes nothing anyone can see.
  auto& self = const_cast<TFuzzyLogicTokenStream&>(*this);
  TWaiting& waiting = self.FLookahead[FNext + ahead];
  self.MakeObject(waiting);
  return waiting.Token.Get();
}

IntfPtr<IFuzzyStreamToken> TFuzzyLogicTokenStream::NextToken() {
  if (IsLookaheadEmpty()) FillLookahead();
  TWaiting& next = FLookahead[FNext];
  if (!next.Token) {
    // Echoed as a lexed token: its text stays where it is.
    HandOutLexed(FNext);
    MakeCurrentObject();
  } else {
    HandOutObject(next);
  }
  ++FNext;
  return std::move(next.Token);
}

TTokenView TFuzzyLogicTokenStream::TakeOther() {
  if (!ReadsLexed()) {
    FTaken = NextToken();
    return TTokenView::Of(*FTaken);
  }
  if (IsLookaheadEmpty()) FillLookahead();
  if (!FLookahead[FNext].Token) return HandOutLexed(FNext++);
  TWaiting& next = FLookahead[FNext++];
  HandOutObject(next);
  // The pool holds the token while it is current, so the view outlives the slot's hold.
  const TTokenView view = ViewOfObject(next);
  next.Token = nullptr;
  return view;
}

void TFuzzyLogicTokenStream::PushBackToken(const IntfPtr<IFuzzyStreamToken>& token) {
  if (!token) return;
  // The slot it goes into may be one the echo's run names.
  WriteEchoRun();
  TWaiting& slot = Unshift();
  slot.Token = token;
  slot.Own = ExactCast<const TFuzzyStreamToken>(token.Get());
  MakeObjectCurrent(slot);
  RollbackObject(slot);
}

void TFuzzyLogicTokenStream::PutBack() {
  if (!ReadsLexed()) {
    PushBackToken(FTaken);
    return;
  }
  if (FCurrentIsLexed && FNext > 0 && FCurrentSlot == FNext - 1) {
    // The token taken last, still in its slot, waits again.
    --FNext;
    const TTokenView view = ViewOf(FLookahead[FNext].Lexed);
    if (FEchoRunBegin != FEchoRunEnd && FEchoRunEnd == FNext + 1) {
      // The run's last token leaves it; the rest settles as the echo would.
      --FEchoRunEnd;
      SettleEcho();
    } else {
      WriteEchoRun();
      FEcho.Rollback(view);
    }
    FDepth -= DepthStep(view.DataType);
    return;
  }
  PushBackToken(CurrentToken());
}

TTokenView TFuzzyLogicTokenStream::PeekOther() {
  if (!ReadsLexed()) return TTokenView::Of(PeekToken());
  if (IsLookaheadEmpty()) FillLookahead();
  const TWaiting& next = FLookahead[FNext];
  if (next.Token) {
    MakeObjectCurrent(next);
  } else {
    MakeLexedCurrent(FNext);
  }
  SettleEcho();
  return ViewOf(next);
}

const IFuzzyStreamToken& TFuzzyLogicTokenStream::PeekToken() {
  if (IsLookaheadEmpty()) FillLookahead();
  TWaiting& next = FLookahead[FNext];
  MakeObject(next);
  MakeObjectCurrent(next);
  SettleEcho();
  return *next.Token;
}

TTokenView TFuzzyLogicTokenStream::PeekSecond() {
  if (!ReadsLexed() || FLookahead.size() - FNext < 2) return TTokenView::Of(PeekSecondToken());
  // Reading both and pushing them back, as far as it shows: the echo cuts what appending
  // the first added and trims its end, as settling it alone does.
  SettleEcho();
  const TWaiting& first = FLookahead[FNext];
  if (first.Token) {
    MakeObjectCurrent(first);
  } else {
    MakeLexedCurrent(FNext);
  }
  return ViewOf(FLookahead[FNext + 1]);
}

const IFuzzyStreamToken& TFuzzyLogicTokenStream::PeekSecondToken() {
  if (FLookahead.size() - FNext < 2) {
    // Reading the second fetches the next group, which restarts the echo.
    const IntfPtr<IFuzzyStreamToken> first = NextToken();
    PeekToken();
    PushBackToken(first);
  } else {
    SettleEcho();
    TWaiting& first = FLookahead[FNext];
    MakeObject(first);
    MakeObjectCurrent(first);
  }
  TWaiting& second = FLookahead[FNext + 1];
  MakeObject(second);
  return *second.Token;
}

IntfPtr<IFuzzyStreamToken> TFuzzyLogicTokenStream::CurrentToken() {
  MakeCurrentObject();
  if (FPool.GetCurrent() == nullptr) NextToken();
  return IntfPtr<IFuzzyStreamToken>(FPool.GetCurrent());
}

std::string TFuzzyLogicTokenStream::ParsedText() const {
  // Giving the run to the echo changes no text.
  const_cast<TFuzzyLogicTokenStream*>(this)->WriteEchoRun();
  return FEcho.GetText();
}

void TFuzzyLogicTokenStream::ResetTokens() {
  MakeCurrentObject();
  ClearEcho();
  FLookahead.clear();
  FNext = 0;
}

void TFuzzyLogicTokenStream::SkipLine() {
  ReadLine();
}

void TFuzzyLogicTokenStream::SkipToBalance() {
  while (FDepth != 0) {
    if (Take().DataType == dtEOF) break;
  }
}

std::string TFuzzyLogicTokenStream::PeekKeyword() {
  if (!Take().IsChar('(') || IsLookaheadEmpty()) return {};
  const TWaiting& next = FLookahead[FNext];
  const TTokenView word = ViewOf(next);
  std::string keyword;
  if (word.DataType == dtSymbol) {
    if (!word.Text.empty()) {
      keyword = word.Text;
    } else {
      keyword = next.Token ? next.Token->GetAsString() : word.AsString();
    }
  } else if (word.DataType == '=') {
    keyword = "=";
  }
  PutBack();
  return keyword;
}

}  // namespace tapwise
