#include "FclLexer.h"

#include <algorithm>
#include <cctype>

#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise::detail {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Bytes from 0x80 on belong to names, so that UTF-8 names pass through whole.
bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

class TScanner {
 public:
  explicit TScanner(std::string_view text) : FText(text) {}

  std::vector<TFclToken> Scan() {
    std::vector<TFclToken> tokens;
    while (SkipBlanksAndComments())
      tokens.push_back(Next());
    tokens.push_back({TFclToken::TKind::End, "end of text", FLine});
    return tokens;
  }

 private:
  char At(size_t offset) const {
    return FPos + offset < FText.size() ? FText[FPos + offset] : '\0';
  }

  // False at the end of the text.
  bool SkipBlanksAndComments() {
    while (FPos < FText.size()) {
      const char c = FText[FPos];
      if (c == '\n') {
        ++FLine;
        ++FPos;
      } else if (std::isspace(static_cast<unsigned char>(c)) != 0) {
        ++FPos;
      } else if (c == '/' && At(1) == '/') {
        while (FPos < FText.size() && FText[FPos] != '\n')
          ++FPos;
      } else if (c == '(' && At(1) == '*') {
        SkipBlockComment();
      } else {
        return true;
      }
    }
    return false;
  }

  void SkipBlockComment() {
    const int start = FLine;
    const size_t end = FText.find("*)", FPos + 2);
    if (end == std::string_view::npos) throw EFzyParseException("Comment not closed by *)", start);
    FLine += static_cast<int>(std::count(FText.begin() + static_cast<long>(FPos),
                                         FText.begin() + static_cast<long>(end), '\n'));
    FPos = end + 2;
  }

  bool StartsNumber() const {
    size_t k = (At(0) == '-' || At(0) == '+') ? 1 : 0;
    if (At(k) == '.') ++k;
    return IsDigit(At(k));
  }

  TFclToken Next() {
    const size_t start = FPos;
    const char c = FText[FPos];
    TFclToken::TKind kind = TFclToken::TKind::Symbol;
    if (StartsNumber()) {
      kind = TFclToken::TKind::Number;
      ScanNumber();
    } else if (IsWordChar(c)) {
      kind = TFclToken::TKind::Word;
      while (FPos < FText.size() && IsWordChar(FText[FPos]))
        ++FPos;
    } else if ((c == ':' && At(1) == '=') || (c == '.' && At(1) == '.')) {
      FPos += 2;
    } else if (std::string_view(":;,()|").find(c) != std::string_view::npos) {
      ++FPos;
    } else {
      throw EFzyParseException("Unexpected character '" + std::string(1, c) + "'", FLine);
    }
    return {kind, std::string(FText.substr(start, FPos - start)), FLine};
  }

  // Digits, a fraction unless the dot starts "..", an exponent; the scanner leaves to the
  // number reader whether the whole reads.
  void ScanNumber() {
    if (At(0) == '-' || At(0) == '+') ++FPos;
    while (IsDigit(At(0)))
      ++FPos;
    if (At(0) == '.' && At(1) != '.') {
      ++FPos;
      while (IsDigit(At(0)))
        ++FPos;
    }
    if ((At(0) == 'e' || At(0) == 'E') &&
        (IsDigit(At(1)) || ((At(1) == '-' || At(1) == '+') && IsDigit(At(2))))) {
      FPos += 2;
      while (IsDigit(At(0)))
        ++FPos;
    }
  }

  std::string_view FText;
  size_t FPos = 0;
  int FLine = 1;
};

}  // namespace

bool SameFclWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

bool TFclToken::IsKeyword(std::string_view keyword) const {
  return Kind == TKind::Word && SameFclWord(Text, keyword);
}

bool TFclToken::IsSymbol(std::string_view symbol) const {
  return Kind == TKind::Symbol && Text == symbol;
}

std::vector<TFclToken> TokenizeFcl(std::string_view text) {
  return TScanner(text).Scan();
}

}  // namespace tapwise::detail
