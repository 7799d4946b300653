#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tapwise::detail {

/// One token of FCL text. Words are names and keywords alike: the parser decides which,
/// comparing keywords without regard to case.
struct TFclToken {
  enum class TKind : uint8_t { Word, Number, Symbol, End };

  TKind Kind = TKind::End;
  std::string Text;
  int Line = 1;

  bool IsKeyword(std::string_view keyword) const;
  bool IsSymbol(std::string_view symbol) const;
};

/// Whether two keywords are the same word, letter case ignored.
bool SameFclWord(std::string_view a, std::string_view b);

/// The tokens of `text`, comments dropped, ending with one `End` token. A signed number is
/// one token ("-2.5"): FCL has no arithmetic. Symbols are ":=", "..", ":", ";", ",", "(",
/// ")" and "|". EFzyParseException on an unknown character or an unclosed comment.
std::vector<TFclToken> TokenizeFcl(std::string_view text);

}  // namespace tapwise::detail
