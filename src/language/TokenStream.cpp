#include "tapwise/language/TokenStream.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <typeinfo>

#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise {
namespace {

constexpr int kEnd = -1;

// Characters that are tokens of their own at the start of a token.
bool IsSingleCharToken(int ch) {
  switch (ch) {
    case '&':
    case '(':
    case ')':
    case '=':
    case '[':
    case ']':
    case '|':
    case '~':
      return true;
    default:
      return false;
  }
}

// Characters that end a word without belonging to it. "=" is not one (a=b is one word);
// "<" is one although it does not stand alone.
constexpr bool EndsWord(int ch) {
  switch (ch) {
    case '"':
    case '&':
    case '(':
    case ')':
    case ';':
    case '<':
    case '[':
    case ']':
    case '|':
    case '~':
      return true;
    default:
      return false;
  }
}

// The bytes a word goes on over: visible, and neither a delimiter (EndsWord) nor the escape.
constexpr std::array<bool, 256> kWordBytes = [] {
  std::array<bool, 256> table{};
  for (int ch = 33; ch < 256; ++ch)
    table[static_cast<size_t>(ch)] = !EndsWord(ch) && ch != '\\';
  return table;
}();

bool IsWordByte(char ch) {
  return kWordBytes[static_cast<unsigned char>(ch)];
}

// Blanks other than the line-end bytes.
bool IsInlineBlank(char ch) {
  const auto byte = static_cast<unsigned char>(ch);
  return byte < 33 && byte != '\n' && byte != '\r';
}

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

}  // namespace

TFuzzyLogicTokenStream::TFuzzyLogicTokenStream(TStream& source) : TGTextStream(source) {}

TFuzzyStreamToken* TFuzzyLogicTokenStream::RecycledTokenSlow() {
  TFuzzyStreamToken* made = TFuzzyStreamToken::Create().Detach();
  made->FInRecycling = true;
  TRecycleSlot fresh{IntfPtr<IInterface>::Adopt(made), made};
  if (FRecycled.size() < kRecycleSlots) {
    // The oldest token is still in use: the new one gets a slot of its own right in front of
    // it, which makes it the newest, and the oldest stays next to be looked at.
    FRecycled.insert(FRecycled.begin() + static_cast<std::ptrdiff_t>(FRecycleNext),
                     std::move(fresh));
    FRecycleNext = (FRecycleNext + 1) % FRecycled.size();
    return made;
  }
  TRecycleSlot& slot = FRecycled[FRecycleNext];
  FRecycleNext = (FRecycleNext + 1) % kRecycleSlots;
  // Still in use: the slot lets it go (the current token keeps the slot's reference).
  TFuzzyStreamToken* const old = slot.Token;
  old->FInRecycling = false;
  if (old == FLastPlain) FLastHold = std::move(slot.Hold);
  slot = std::move(fresh);
  return made;
}

IntfPtr<TFuzzyStreamToken> TFuzzyLogicTokenStream::NewToken() {
  TFuzzyStreamToken* token = RecycledToken();
  token->FLineNumber = FLineNumber;
  // Swapped rather than copied: the recycled token's old white space becomes the buffer.
  token->FWhiteSpace.swap(FPendingWhiteSpace);
  FPendingWhiteSpace.clear();
  FMade = token;
  FMadeView = token;
  return IntfPtr<TFuzzyStreamToken>(token);
}

TFuzzyStreamToken* TFuzzyLogicTokenStream::NewBlockToken(std::string_view blanks,
                                                         const char* stop) {
  TFuzzyStreamToken* token = RecycledToken();
  token->FLineNumber = FLineNumber;
  // The white space is the pending one, the blanks in front and the blank that ended the
  // token, as NewToken would take it from the pending white space.
  if (FPendingWhiteSpace.empty()) {
    // Emptied and appended to rather than assigned: the blanks are a few bytes that never
    // overlap the token's own buffer, and assigning would check both.
    token->FWhiteSpace.clear();
    if (!blanks.empty()) token->FWhiteSpace.append(blanks.data(), blanks.size());
  } else {
    FPendingWhiteSpace.append(blanks);
    token->FWhiteSpace.swap(FPendingWhiteSpace);
    FPendingWhiteSpace.clear();
  }
  if (stop != nullptr) token->FWhiteSpace.push_back(*stop);
  FMade = token;
  FMadeView = token;
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
  if (hint == kEnd && text.empty()) {
    auto token = NewToken();
    token->FDataType = dtEOF;
    token->FText = "EOF";
    return token;
  }
  if (hint == kEnd || hint == 0) return MakeWord(text);
  if (hint == '\r') {
    auto token = NewToken();
    token->FDataType = dtSymbol;
    token->FText = "CRLF";
    return token;
  }
  if (hint == kQuoteChar) {
    auto token = NewToken();
    token->FDataType = dtString;
    token->FText = text;
    return token;
  }
  if (IsSingleCharToken(hint)) {
    auto token = NewToken();
    token->FDataType = hint;
    token->FText.assign(1, static_cast<char>(hint));
    return token;
  }
  throw EFzyParseException(Format(messages::kInvalidTokenHint, IntToStr(hint)));
}

IntfPtr<IFuzzyStreamToken> TFuzzyLogicTokenStream::MakeWord(std::string_view text) {
  auto token = NewToken();
  FillWord(*token, text);
  return token;
}

void TFuzzyLogicTokenStream::FillWord(TFuzzyStreamToken& token, std::string_view text) {
  // A blank token's text is empty, so the word's text is appended to it.
  token.FDataType = dtSymbol;
  if (!text.empty() && text.front() == '?') {
    token.FDataType = dtVariable;
    token.FText.append(text.data() + 1, text.size() - 1);
    return;
  }
  const char first = text.empty() ? '\0' : text.front();
  const bool may_be_number = text.size() > 1
                                 ? IsDigit(first) || first == '+' || first == '-' || first == '.'
                                 : IsDigit(first);
  if (may_be_number && first != '+' && text.find('.') != std::string_view::npos) {
    // A word with a point is never an integer; a plain decimal is read as TryStrToFloat
    // reads it, without the integer attempt and the general checks in front.
    if (const auto plain = TryPlainDecimal(text)) {
      token.FDataType = dtFloat;
      token.FNumber = *plain;
      return;
    }
  }
  // Escaped blanks belong to the word but never to a number (the converters would skip
  // them).
  bool has_blank = false;
  if (may_be_number) {
    for (const char ch : text)
      has_blank = has_blank || static_cast<unsigned char>(ch) <= 32;
  }
  if (may_be_number && !has_blank) {
    if (const auto integer = TryWordToInteger(text)) {
      token.FDataType = dtInteger;
      token.FNumber = *integer;
      return;
    }
    // Refuses infinities and NaN: "1e999" stays a symbol.
    if (const auto real = TryStrToFloat(text)) {
      token.FDataType = dtFloat;
      token.FNumber = *real;
      return;
    }
  }
  token.FText.append(text.data(), text.size());
}

bool TFuzzyLogicTokenStream::LexesFromBlock() const {
  // Known once the object is complete; a descendant may read or make tokens its own way.
  if (FLexesFromBlock < 0)
    FLexesFromBlock = typeid(*this) == typeid(TFuzzyLogicTokenStream) ? 1 : 0;
  return FLexesFromBlock == 1;
}

TFuzzyStreamToken* TFuzzyLogicTokenStream::TryReadTokenInBlock() {
  // Looks first, changes nothing until the whole token is known: on any doubt the caller
  // reads byte by byte from where it stands.
  const std::string_view ahead = ReadAhead();
  const size_t size = ahead.size();
  size_t start = 0;
  int32_t lines = 0;
  while (start < size && static_cast<unsigned char>(ahead[start]) < 33) {
    if (ahead[start] == '\r') {
      if (start + 1 == size) return nullptr;  // a CR LF the block's end may cut
      if (ahead[start + 1] == '\n') ++start;
      ++lines;
    } else if (ahead[start] == '\n') {
      ++lines;
    }
    ++start;
  }
  if (start == size) return nullptr;
  const char first = ahead[start];
  if (first == kQuoteChar || first == kCommentChar) return nullptr;
  if (IsSingleCharToken(static_cast<unsigned char>(first))) {
    FLineNumber += lines;
    Consume(start + 1);
    TFuzzyStreamToken* token = NewBlockToken(ahead.substr(0, start), nullptr);
    token->FDataType = static_cast<unsigned char>(first);
    token->FText.push_back(first);  // a blank token's text is empty
    return token;
  }
  // A word: its first byte whatever it is, then word bytes up to a blank or a delimiter that
  // lies in the block too.
  size_t end = start + 1;
  while (end < size && IsWordByte(ahead[end]))
    ++end;
  if (end == size) return nullptr;  // the word may go on past the block, or end the text
  const char stop = ahead[end];
  size_t next = end;
  int32_t lines_after = 0;
  if (static_cast<unsigned char>(stop) <= 32) {
    // The blank that ends the word goes with it; a line end counts once the word is made,
    // and the LF of a CR LF is left for the next token.
    next = end + 1;
    if (stop == '\n') {
      lines_after = 1;
    } else if (stop == '\r') {
      if (next == size) return nullptr;
      if (ahead[next] != '\n') lines_after = 1;
    }
  } else if (!EndsWord(static_cast<unsigned char>(stop))) {
    return nullptr;  // the escape
  }
  FLineNumber += lines;
  Consume(next);
  TFuzzyStreamToken* token = NewBlockToken(ahead.substr(0, start), next > end ? &stop : nullptr);
  FillWord(*token, ahead.substr(start, end - start));
  FLineNumber += lines_after;
  return token;
}

void TFuzzyLogicTokenStream::CountLineEnd(int ch) {
  if (ch == '\n') {
    ++FLineNumber;
  } else if (ch == '\r') {
    const int next = ReadByte();
    if (next != '\n') ++FLineNumber;
    if (next != kEnd) PushBack(static_cast<char>(next));
  }
}

template <class InRun>
void TFuzzyLogicTokenStream::TakeRun(std::string& into, InRun in_run) {
  const std::string_view ahead = ReadAhead();
  size_t length = 0;
  while (length < ahead.size() && in_run(ahead[length]))
    ++length;
  if (length > 0) {
    into.append(ahead.data(), length);
    Consume(length);
  }
}

bool TFuzzyLogicTokenStream::SkipWhitespace() {
  for (;;) {
    TakeRun(FPendingWhiteSpace, IsInlineBlank);
    const std::string_view ahead = ReadAhead();
    if (!ahead.empty() && static_cast<unsigned char>(ahead.front()) >= 33) return false;
    const int ch = ReadByte();
    if (ch == kEnd) return false;
    if (ch >= 33) {
      PushBack(static_cast<char>(ch));
      return false;
    }
    if (ch == '\n' || ch == '\r') {
      KeepLineEnd(ch);
      return true;
    }
    FPendingWhiteSpace.push_back(static_cast<char>(ch));
  }
}

void TFuzzyLogicTokenStream::KeepLineEnd(int ch) {
  // One line end is CR LF, CR or LF; it goes into the white space as written.
  FPendingWhiteSpace.push_back(static_cast<char>(ch));
  if (ch == '\r') {
    const int next = ReadByte();
    if (next == '\n') {
      FPendingWhiteSpace.push_back('\n');
    } else if (next != kEnd) {
      PushBack(static_cast<char>(next));
    }
  }
  ++FLineNumber;
}

char TFuzzyLogicTokenStream::ReadChar() {
  const int ch = ReadByte();
  if (ch == kEnd) return '\0';
  if (ch == '\n') ++FLineNumber;
  return static_cast<char>(ch);
}

std::string TFuzzyLogicTokenStream::ReadLine() {
  std::string line;
  for (;;) {
    const int ch = ReadByte();
    if (ch == kEnd) break;
    if (ch == '\n' || ch == '\r') {
      FPendingWhiteSpace += line;
      KeepLineEnd(ch);
      return line;
    }
    line.push_back(static_cast<char>(ch));
  }
  FPendingWhiteSpace += line;  // the last line of the text, without a line end
  return line;
}

void TFuzzyLogicTokenStream::ReadString() {
  for (;;) {
    int ch = ReadByte();
    if (ch == kEscapeChar) {
      ch = ReadByte();
      if (ch == kEnd) FTokenText.clear();
    } else if (ch == kQuoteChar) {
      return;
    }
    if (ch == kEnd) {
      throw EFzyParseException(messages::kStringNotTerminated, FLineNumber);
    }
    FTokenText.push_back(static_cast<char>(ch));
    if (ch == '\r' || ch == '\n') CountLineEnd(ch);
  }
}

IntfPtr<IFuzzyStreamToken> TFuzzyLogicTokenStream::ReadToken() {
  if (LexesFromBlock()) {
    if (TFuzzyStreamToken* token = TryReadTokenInBlock()) return IntfPtr<IFuzzyStreamToken>(token);
  }
  FTokenText.clear();
  for (;;) {
    while (SkipWhitespace()) {
    }
    const int ch = ReadByte();
    if (ch == kEnd) return MakeToken(kEnd, FTokenText);
    if (ch == kQuoteChar) {
      ReadString();
      return MakeToken(kQuoteChar, FTokenText);
    }
    if (IsSingleCharToken(ch)) {
      FTokenText.push_back(static_cast<char>(ch));
      return MakeToken(ch, FTokenText);
    }
    if (ch != kCommentChar) {
      FTokenText.push_back(static_cast<char>(ch));
      break;
    }
    // A comment joins the white space of the next token; looping rather than recursing
    // keeps long runs of comment lines off the call stack.
    FPendingWhiteSpace.push_back(kCommentChar);
    ReadLine();
  }
  for (;;) {
    // The word's ordinary bytes, up to the byte that needs a look.
    TakeRun(FTokenText, IsWordByte);
    const int ch = ReadByte();
    if (ch == kEnd) return MakeToken(0, FTokenText);
    if (ch <= 32) {
      FPendingWhiteSpace.push_back(static_cast<char>(ch));
      auto token = MakeToken(0, FTokenText);
      // The word carries the line it stands on; its line end counts afterwards.
      if (ch == '\n' || ch == '\r') CountLineEnd(ch);
      return token;
    }
    if (EndsWord(ch)) {
      PushBack(static_cast<char>(ch));
      return MakeToken(0, FTokenText);
    }
    if (ch == kEscapeChar) {
      const int literal = ReadByte();
      if (literal == kEnd) return MakeToken(kEnd, FTokenText);
      FTokenText.push_back(static_cast<char>(literal));
      if (literal == '\r' || literal == '\n') CountLineEnd(literal);
      continue;
    }
    FTokenText.push_back(static_cast<char>(ch));
  }
}

void TFuzzyLogicTokenStream::FillLookahead() {
  FEchoText.clear();
  FEchoNumbers.clear();
  FEchoLines.clear();
  // The group goes on top of whatever waits already, its first token next out.
  const size_t base = FLookahead.size();
  int32_t depth = 0;
  // The stream's own reading takes what lies whole in the block straight, without the
  // round through ReadToken.
  const bool from_block = LexesFromBlock();
  try {
    for (;;) {
      int32_t type = 0;
      if (TFuzzyStreamToken* quick = from_block ? TryReadTokenInBlock() : nullptr) {
        type = quick->FDataType;
        FLookahead.push_back({IntfPtr<IFuzzyStreamToken>(quick), quick});
      } else {
        auto token = ReadToken();
        TFuzzyStreamToken* plain = PlainView(token.Get());
        type = plain != nullptr ? plain->FDataType : token->GetDataType();
        FLookahead.push_back({std::move(token), plain});
      }
      if (type == dtEOF) break;
      if (type == '(') {
        ++depth;
      } else if (type == ')') {
        --depth;
      }
      if (depth == 0) break;
    }
  } catch (...) {
    // A group that could not be read whole is not waiting.
    FLookahead.resize(base);
    throw;
  }
  std::reverse(FLookahead.begin() + static_cast<std::ptrdiff_t>(base), FLookahead.end());
}

void TFuzzyLogicTokenStream::Echo(const IFuzzyStreamToken& token, const TFuzzyStreamToken* plain) {
  const int32_t type = plain != nullptr ? plain->FDataType : token.GetDataType();
  // A plain token's number has a text that depends on its type and value alone: keep those.
  if ((type == dtFloat || type == dtInteger) &&
      (plain != nullptr || typeid(token) == typeid(TFuzzyStreamToken))) {
    FEchoNumbers.push_back({FEchoText.size(), token.GetNumber(), type == dtInteger});
  } else if (plain != nullptr && (type == dtSymbol || type > dtFuzzySetObject)) {
    // Words and single-character tokens: the text itself (see AppendPlainAsString).
    if (plain->FText.empty()) {
      FEchoText.push_back(static_cast<char>(type));
    } else {
      FEchoText += plain->FText;
    }
  } else if (plain != nullptr) {
    plain->AppendAsString(FEchoText);
  } else {
    FEchoText += token.GetAsString();
  }
  FEchoText.push_back(' ');
}

IntfPtr<IFuzzyStreamToken> TFuzzyLogicTokenStream::NextToken() {
  if (FLookahead.empty()) FillLookahead();
  TQueuedToken next = std::move(FLookahead.back());
  FLookahead.pop_back();
  const TFuzzyStreamToken* plain = next.Plain;
  const int32_t line = plain != nullptr ? plain->FLineNumber : next.Token->GetLineNumber();
  if (FEchoLine != 0 && FEchoLine < line) FEchoText += "\r\n";
  const int32_t type = plain != nullptr ? plain->FDataType : next.Token->GetDataType();
  if (plain != nullptr && (type == dtSymbol || type > dtFuzzySetObject) && !plain->FText.empty()) {
    // The commonest echo, a word or a parenthesis of the stream's own (see Echo).
    const std::string& text = plain->FText;
    if (text.size() == 1) {
      FEchoText.push_back(text.front());
    } else {
      FEchoText.append(text);
    }
    FEchoText.push_back(' ');
  } else {
    Echo(*next.Token, plain);
  }
  FEchoLines.push_back(FEchoLine);
  FEchoLine = line;
  if (type == ')') {
    --FDepth;
  } else if (type == '(') {
    ++FDepth;
  }
  SetLast(next.Token, next.Plain);
  return std::move(next.Token);
}

void TFuzzyLogicTokenStream::PushBackToken(const IntfPtr<IFuzzyStreamToken>& token) {
  if (!token) return;
  TFuzzyStreamToken* plain = token.Get() == FLast ? FLastPlain : PlainView(token.Get());
  FLookahead.push_back({token, plain});
  SetLast(token, plain);
  // Roll the token, the blank after it and the line break before it out of the echo.
  size_t rolled = 0;
  if (plain != nullptr && (plain->FDataType == dtSymbol || plain->FDataType > dtFuzzySetObject) &&
      !plain->FText.empty()) {
    // A word or a parenthesis of the stream's own echoes as its text (see Echo).
    rolled = plain->FText.size() + 1;
  } else {
    FPushedText.clear();
    if (plain != nullptr) {
      plain->AppendAsString(FPushedText);
    } else {
      FPushedText = token->GetAsString();
    }
    rolled = FPushedText.size() + 1;
  }
  // The cut may stay in the text after the last waiting number; a number's text is never
  // empty and never ends in a blank, so the trimming stops where that number stands.
  if (!FEchoNumbers.empty() && FEchoText.size() < FEchoNumbers.back().Offset + rolled) {
    FlushEcho();
  }
  const size_t number_end = FEchoNumbers.empty() ? 0 : FEchoNumbers.back().Offset;
  FEchoText.resize(FEchoText.size() > rolled ? FEchoText.size() - rolled : 0);
  while (FEchoText.size() > number_end &&
         (FEchoText.back() == ' ' || FEchoText.back() == '\r' || FEchoText.back() == '\n')) {
    FEchoText.pop_back();
  }
  if (FEchoText.empty() && !FEchoNumbers.empty()) FlushEcho();
  if (!FEchoText.empty()) FEchoText.push_back(' ');
  if (!FEchoLines.empty()) {
    FEchoLine = FEchoLines.back();
    FEchoLines.pop_back();
  } else {
    FEchoLine = 0;
  }
  if (token->GetDataType() == ')') {
    ++FDepth;
  } else if (token->GetDataType() == '(') {
    --FDepth;
  }
}

bool TFuzzyLogicTokenStream::EchoSurvivesPushBack() const {
  // A push-back trims the blanks and line ends in front of the token it rolls out, down to
  // the last waiting number, and adds one blank: that is the echo again when the echo is
  // empty or ends in exactly one blank after something else.
  if (FEchoText.empty()) return FEchoNumbers.empty();
  const size_t number_end = FEchoNumbers.empty() ? 0 : FEchoNumbers.back().Offset;
  size_t kept = FEchoText.size();
  while (kept > number_end && (FEchoText[kept - 1] == ' ' || FEchoText[kept - 1] == '\r' ||
                               FEchoText[kept - 1] == '\n')) {
    --kept;
  }
  return kept > 0 && kept + 1 == FEchoText.size() && FEchoText[kept] == ' ';
}

bool TFuzzyLogicTokenStream::PeekTwo(IntfPtr<IFuzzyStreamToken>& first,
                                     IntfPtr<IFuzzyStreamToken>& second) {
  if (FLookahead.empty()) FillLookahead();  // as reading the first would
  if (FLookahead.size() < 2 || !EchoSurvivesPushBack()) return false;
  const TQueuedToken& next = FLookahead[FLookahead.size() - 1];
  first = next.Token;
  second = FLookahead[FLookahead.size() - 2].Token;
  SetLast(next.Token, next.Plain);
  return true;
}

bool TFuzzyLogicTokenStream::PeekOne(IntfPtr<IFuzzyStreamToken>& next) {
  if (FLookahead.empty()) FillLookahead();  // as reading it would
  if (!EchoSurvivesPushBack()) return false;
  const TQueuedToken& top = FLookahead.back();
  next = top.Token;
  SetLast(top.Token, top.Plain);
  return true;
}

int TFuzzyLogicTokenStream::TakeNumbersBeforeClose(std::span<double> values) {
  // A descendant may hand out its tokens its own way; the waiting tokens are looked at
  // through the stream's own view of them, which only its own tokens have.
  if (!LexesFromBlock()) return -1;
  if (FLookahead.empty()) FillLookahead();
  const size_t waiting = FLookahead.size();
  size_t count = 0;
  for (;; ++count) {
    if (count == waiting) return -1;
    const TFuzzyStreamToken* plain = FLookahead[waiting - 1 - count].Plain;
    if (plain == nullptr) return -1;
    if (plain->FDataType == ')') break;
    if ((plain->FDataType != dtInteger && plain->FDataType != dtFloat) || count == values.size())
      return -1;
    values[count] = plain->FNumber;
  }
  for (size_t i = 0; i < count; ++i)
    NextToken();
  IntfPtr<IFuzzyStreamToken> close;
  if (!PeekOne(close)) PushBackToken(NextToken());
  return static_cast<int>(count);
}

IntfPtr<IFuzzyStreamToken> TFuzzyLogicTokenStream::CurrentToken() {
  if (FLast == nullptr) NextToken();
  return IntfPtr<IFuzzyStreamToken>(FLast);
}

std::string TFuzzyLogicTokenStream::ParsedText() const {
  FlushEcho();
  return FEchoText;
}

void TFuzzyLogicTokenStream::FlushEcho() const {
  if (FEchoNumbers.empty()) return;
  std::string text;
  size_t from = 0;
  for (const TEchoNumber& number : FEchoNumbers) {
    text.append(FEchoText, from, number.Offset - from);
    // As a plain token writes its number (see TBaseStreamToken::PlainAsString).
    text += number.Integer ? FormatFixed(std::trunc(number.Number) + 0.0, 0)
                           : FormatFixed(number.Number, 4);
    from = number.Offset;
  }
  text.append(FEchoText, from, std::string::npos);
  FEchoText = std::move(text);
  FEchoNumbers.clear();
}

void TFuzzyLogicTokenStream::ResetTokens() {
  FLookahead.clear();
  FEchoNumbers.clear();
  FEchoText.clear();
  FEchoLines.clear();
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
