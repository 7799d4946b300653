#include "tapwise/language/TokenReader.h"

#include <array>
#include <cstddef>

#include "tapwise/foundation/Messages.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise {

std::string_view TTokenReader::FetchBlock() {
  // Reading a byte fetches the next block; the byte goes straight back into it.
  const int ch = FBlock.ReadByte();
  if (ch == kEnd) return {};
  FBlock.TGBufferStream::PushBack(static_cast<char>(ch));
  return FBlock.ReadAhead();
}

int32_t TTokenReader::Read(std::string& text) {
  FOut = &text;
  // The blanks and comments in front of the token join the pending white space.
  std::string_view ahead = Ahead();
  for (;;) {
    size_t count = 0;
    while (count < ahead.size() && IsBlank(ahead[count])) {
      const char ch = ahead[count++];
      // A CR counts unless an LF follows, which counts instead.
      if (ch == '\n' || (ch == '\r' && count < ahead.size() && ahead[count] != '\n')) ++FLineNumber;
    }
    if (count > 0) {
      FPendingWhiteSpace.append(ahead.data(), count);
      FBlock.Consume(count);
    }
    if (count < ahead.size()) {
      if (ahead[count] != kCommentChar) {
        ahead.remove_prefix(count);
        break;
      }
      FBlock.Consume(1);
      FPendingWhiteSpace.push_back(kCommentChar);
      TakeLine(nullptr);
    } else if (count == 0) {
      return kEnd;
    } else if (ahead.back() == '\r' && PeekByte() != '\n') {
      ++FLineNumber;  // a CR at the end of the block, without an LF at the start of the next
    }
    ahead = Ahead();
  }
  const char first = ahead.front();
  if (first == kQuoteChar) {
    FBlock.Consume(1);
    ReadString();
    return kQuoteChar;
  }
  if (IsSingleCharToken(static_cast<unsigned char>(first))) {
    FBlock.Consume(1);
    FOut->push_back(first);
    return static_cast<unsigned char>(first);
  }
  // Anything else starts a word, a backslash too: it escapes only inside a word.
  return ReadWord(ahead, 1);
}

int32_t TTokenReader::ReadGenerally(std::string& out, TSpans& spans) {
  // The text, then the white space gathered while reading it.
  spans.TextAt = out.size();
  const int32_t hint = Read(out);
  spans.TextSize = out.size() - spans.TextAt;
  spans.SpaceAt = out.size();
  spans.SpaceSize = MoveWhiteSpaceTo(out);
  return hint;
}

void TTokenReader::TakeLine(std::string* line) {
  for (;;) {
    const std::string_view ahead = Ahead();
    if (ahead.empty()) return;  // the last line of the text, without a line end
    const size_t end = ahead.find_first_of("\r\n");
    const size_t count = end == std::string_view::npos ? ahead.size() : end;
    FPendingWhiteSpace.append(ahead.data(), count);
    if (line != nullptr) line->append(ahead.data(), count);
    FBlock.Consume(count);
    if (count < ahead.size()) {
      TakeLineEnd();
      return;
    }
  }
}

void TTokenReader::TakeLineEnd() {
  const int ch = TakeByte();
  FPendingWhiteSpace.push_back(static_cast<char>(ch));
  if (ch == '\r' && PeekByte() == '\n') FPendingWhiteSpace.push_back(static_cast<char>(TakeByte()));
  ++FLineNumber;
}

void TTokenReader::CountLineEnd(int ch) {
  if (ch == '\n' || (ch == '\r' && PeekByte() != '\n')) ++FLineNumber;
}

void TTokenReader::ReadString() {
  for (;;) {
    const std::string_view ahead = Ahead();
    if (ahead.empty()) throw EFzyParseException(messages::kStringNotTerminated, FLineNumber);
    size_t count = 0;
    while (count < ahead.size() && IsPlainStringByte(ahead[count]))
      ++count;
    FOut->append(ahead.data(), count);
    FBlock.Consume(count);
    if (count == ahead.size()) continue;
    FBlock.Consume(1);
    int ch = static_cast<unsigned char>(ahead[count]);
    if (ch == kQuoteChar) return;
    if (ch == kEscapeChar) {
      ch = TakeByte();
      if (ch == kEnd) throw EFzyParseException(messages::kStringNotTerminated, FLineNumber);
    }
    FOut->push_back(static_cast<char>(ch));
    CountLineEnd(ch);
  }
}

int32_t TTokenReader::ReadWord(std::string_view ahead, size_t count) {
  for (;;) {
    while (count < ahead.size() && IsWordByte(ahead[count]))
      ++count;
    FOut->append(ahead.data(), count);
    FBlock.Consume(count);
    if (count == ahead.size()) {
      // The block ended inside the word.
      ahead = Ahead();
      if (ahead.empty()) return 0;  // the word ends the text
      count = 0;
      continue;
    }
    const char stop = ahead[count];
    if (IsBlank(stop)) {
      // The blank that ends the word goes with it; its line end counts once the word is
      // made, and the LF of a CR LF is left for the next token.
      FBlock.Consume(1);
      FPendingWhiteSpace.push_back(stop);
      if (stop == '\n' || (stop == '\r' && PeekByte() != '\n')) FLinesAfterToken = 1;
      return 0;
    }
    if (stop != kEscapeChar) return 0;  // a delimiter, left for the next token
    FBlock.Consume(1);
    const int literal = TakeByte();
    if (literal == kEnd) return kEnd;  // a word that ends in the escape
    FOut->push_back(static_cast<char>(literal));
    CountLineEnd(literal);
    ahead = Ahead();
    count = 0;
  }
}

bool TTokenReader::SkipWhitespace() {
  for (;;) {
    const int ch = PeekByte();
    if (ch == kEnd || !IsBlank(static_cast<char>(ch))) return false;
    if (ch == '\r' || ch == '\n') {
      TakeLineEnd();
      return true;
    }
    FPendingWhiteSpace.push_back(static_cast<char>(TakeByte()));
  }
}

char TTokenReader::ReadChar() {
  const int ch = TakeByte();
  if (ch == kEnd) return '\0';
  if (ch == '\n') ++FLineNumber;
  return static_cast<char>(ch);
}

std::string TTokenReader::ReadLine() {
  std::string line;
  TakeLine(&line);
  return line;
}

}  // namespace tapwise
