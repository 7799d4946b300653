#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tapwise/language/BufferStream.h"

namespace tapwise {

namespace detail {

constexpr bool IsSingleCharToken(int ch) {
  return ch == '&' || ch == '(' || ch == ')' || ch == '=' || ch == '[' || ch == ']' || ch == '|' ||
         ch == '~';
}
// Characters that end a word without belonging to it: the single-character tokens but "="
// (a=b is one word), the quote, the comment and "<", which does not stand alone.
constexpr bool EndsWord(int ch) {
  return (IsSingleCharToken(ch) && ch != '=') || ch == '"' || ch == ';' || ch == '<';
}
// The bytes a word goes on over: visible, and neither a delimiter nor the escape.
inline constexpr std::array<bool, 256> kWordBytes = [] {
  std::array<bool, 256> table{};
  for (int ch = 33; ch < 256; ++ch)
    table[static_cast<size_t>(ch)] = !EndsWord(ch) && ch != '\\';
  return table;
}();

}  // namespace detail

/// The lexer of the definition language: reads tokens, blanks and lines straight from the
/// block of a buffer stream, scanning runs of bytes in place and fetching the next block
/// where one ends. It finds where each token starts and ends and what kind it is; making the
/// token object is the token stream's part (`TFuzzyLogicTokenStream::MakeToken`).
///
/// Everything skipped in front of a token (blanks, line ends, comments) and the blank that
/// ends a word gather as pending white space, which the next token made takes. Every line
/// end (CR LF, CR or LF) counts one line, inside strings and comments too.
class TTokenReader {
 public:
  /// Whether `ch` is a token of its own at the start of a token: one of & ( ) = [ ] | ~.
  static constexpr bool IsSingleCharToken(int ch) { return detail::IsSingleCharToken(ch); }

  /// Reads from `block`, which must outlive the reader.
  explicit TTokenReader(TGBufferStream& block) : FBlock(block) {}

  /// Reads the next token and returns its hint as MakeToken takes it (-1 at the end of the
  /// text, 0 a word, 34 a string, else the single character); its text is `GetText`. Raises
  /// EFzyParseException "Invalid string value, string was not terminated".
  int32_t Read() {
    FText.clear();
    return Read(FText);
  }
  /// Read, appending the token's text to `text` instead (`GetText` is then not it).
  int32_t Read(std::string& text);
  /// Where `ReadWithWhiteSpace` put a token's text and its white space.
  struct TSpans {
    size_t TextAt = 0;
    size_t TextSize = 0;
    size_t SpaceAt = 0;
    size_t SpaceSize = 0;
    int16_t SpaceAfter = -1;  // the blank that ended a word, which its white space ends with
  };
  /// Read, appending the token's text and the white space it takes (what MoveWhiteSpaceTo
  /// would move after Read) to `out`, in the order they came: the white space in front of
  /// the token, the token, and the blank that ended a word as `SpaceAfter`. Inline: it runs
  /// once a token.
  int32_t ReadWithWhiteSpace(std::string& out, TSpans& spans) {
    // Mostly the block holds blanks without a CR or a comment, then a single-character token
    // or a word without an escape that a blank or a delimiter ends inside the block: read at
    // once. Anything else is read the general way.
    const std::string_view ahead = FBlock.ReadAhead();
    const char* const begin = ahead.data();
    const char* const end = begin + ahead.size();
    const char* at = begin;
    int32_t lines = 0;
    while (at != end && IsBlank(*at) && *at != '\r') {
      if (*at == '\n') ++lines;
      ++at;
    }
    // An empty block has no bytes at all: the general way fetches the next one.
    if (at == end) return ReadGenerally(out, spans);
    const char* stop = at + 1;
    int32_t hint = static_cast<unsigned char>(*at);
    if (hint == kCommentChar || hint == kQuoteChar || IsBlank(*at)) {
      hint = kEnd;
    } else if (!IsSingleCharToken(hint)) {
      while (stop != end && IsWordByte(*stop))
        ++stop;
      hint = stop == end || *stop == kEscapeChar || *stop == '\r' ? kEnd : 0;
    }
    if (hint == kEnd) return ReadGenerally(out, spans);
    // The white space in front and the token come in one piece.
    spans.SpaceAt = out.size();
    MoveWhiteSpaceTo(out);
    out.append(begin, static_cast<size_t>(stop - begin));
    spans.TextSize = static_cast<size_t>(stop - at);
    spans.TextAt = out.size() - spans.TextSize;
    spans.SpaceSize = spans.TextAt - spans.SpaceAt;
    FLineNumber += lines;
    // The blank that ends a word goes with it (see ReadWord).
    if (hint == 0 && IsBlank(*stop)) {
      spans.SpaceAfter = static_cast<unsigned char>(*stop);
      if (*stop == '\n') FLinesAfterToken = 1;
      ++stop;
    }
    FBlock.Consume(static_cast<size_t>(stop - begin));
    return hint;
  }

  /// The text of the token read last: a word, a string's body or the single character.
  const std::string& GetText() const { return FText; }
  /// Counts the line end that ended the word read last, once the word is made: a word
  /// carries the line it stands on.
  void EndToken() {
    FLineNumber += FLinesAfterToken;
    FLinesAfterToken = 0;
  }

  /// Skips blanks up to and including one line end; true when it passed one.
  bool SkipWhitespace();
  /// The next byte ('\0' at the end), counting a line at LF.
  char ReadChar();
  /// The rest of the line; the line and its line end join the pending white space.
  std::string ReadLine();

  int32_t GetLineNumber() const { return FLineNumber; }
  /// Moves the pending white space to the end of `to`, keeping the room of both strings;
  /// returns how many bytes it moved.
  size_t MoveWhiteSpaceTo(std::string& to) {
    const size_t size = FPendingWhiteSpace.size();
    // Mostly the one blank that ended a word.
    if (size == 1) {
      to.push_back(FPendingWhiteSpace.front());
    } else if (size > 1) {
      to.append(FPendingWhiteSpace);
    }
    FPendingWhiteSpace.clear();
    return size;
  }

 private:
  static constexpr int kEnd = -1;
  static constexpr char kQuoteChar = '"';
  static constexpr char kEscapeChar = '\\';
  static constexpr char kCommentChar = ';';

  static constexpr bool IsBlank(char ch) { return static_cast<unsigned char>(ch) < 33; }
  static bool IsWordByte(char ch) { return detail::kWordBytes[static_cast<unsigned char>(ch)]; }
  // A string's bytes that need no look: neither its end, nor the escape, nor a line end.
  static bool IsPlainStringByte(char ch) {
    return ch != kQuoteChar && ch != kEscapeChar && ch != '\r' && ch != '\n';
  }

  // The bytes of the block not read yet, fetching the next block when none are left; empty
  // only at the end of the text.
  std::string_view Ahead() {
    const std::string_view ahead = FBlock.ReadAhead();
    return ahead.empty() ? FetchBlock() : ahead;
  }
  std::string_view FetchBlock();
  int PeekByte() {
    const std::string_view ahead = Ahead();
    return ahead.empty() ? -1 : static_cast<unsigned char>(ahead.front());
  }
  int TakeByte() {
    const int ch = PeekByte();
    if (ch >= 0) FBlock.Consume(1);
    return ch;
  }
  // ReadWithWhiteSpace for anything but the usual token.
  int32_t ReadGenerally(std::string& out, TSpans& spans);
  // The rest of a line after ";", with its line end.
  void TakeLine(std::string* line);
  // The line end ahead (CR LF, CR or LF) into the pending white space, counting one line.
  void TakeLineEnd();
  // Counts the line end `ch` just taken into a token's text: a CR followed by LF leaves the
  // count to the LF.
  void CountLineEnd(int ch);
  void ReadString();
  // The word whose first `count` bytes start `ahead`, the bytes of the block; its hint.
  int32_t ReadWord(std::string_view ahead, size_t count);

  TGBufferStream& FBlock;
  int32_t FLineNumber = 1;
  int32_t FLinesAfterToken = 0;
  std::string FText;
  std::string* FOut = &FText;  // where the token being read goes
  std::string FPendingWhiteSpace;
};

}  // namespace tapwise
