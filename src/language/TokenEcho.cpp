#include "tapwise/language/TokenEcho.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "tapwise/foundation/NumberText.h"
#include "tapwise/language/StreamToken.h"

namespace tapwise {
namespace {

bool IsNumberType(int32_t type) {
  return type == dtInteger || type == dtFloat;
}

}  // namespace

bool TTokenEcho::IsWordLike(const TFuzzyStreamToken& token) {
  return (token.FDataType == dtSymbol || token.FDataType > dtFuzzySetObject) &&
         !token.FText.empty();
}

void TTokenEcho::Append(const IFuzzyStreamToken& token, const TFuzzyStreamToken* plain) {
  // A token of the tokenizer's own class has text forms that its fields alone decide.
  const int32_t line = plain != nullptr ? plain->FLineNumber : token.GetLineNumber();
  if (FLine != 0 && FLine < line) FText += "\r\n";
  FLines.push_back(FLine);
  FLine = line;
  if (plain == nullptr) {
    FText += token.GetAsString();
  } else if (IsWordLike(*plain)) {
    // Mostly a parenthesis: a byte is added without the general append.
    if (plain->FText.size() == 1) {
      FText.push_back(plain->FText.front());
    } else {
      FText += plain->FText;
    }
  } else if (IsNumberType(plain->FDataType)) {
    FNumbers.push_back({FText.size(), plain->FNumber, plain->FDataType == dtInteger});
  } else {
    plain->AppendAsString(FText);
  }
  FText.push_back(' ');
}

void TTokenEcho::Rollback(const IFuzzyStreamToken& token, const TFuzzyStreamToken* own) {
  if (EndsInNumberOf(own)) {
    FText.resize(FNumbers.back().Offset);
    FNumbers.pop_back();
  } else {
    const size_t rolled = FormLength(token, own) + 1;
    // The cut may end inside the text of the last waiting number.
    if (!FNumbers.empty() && FText.size() < FNumbers.back().Offset + rolled) Flush();
    FText.resize(FText.size() > rolled ? FText.size() - rolled : 0);
  }
  Settle();
  if (FLines.empty()) {
    FLine = 0;
  } else {
    FLine = FLines.back();
    FLines.pop_back();
  }
}

void TTokenEcho::SettleEnd() {
  // A number's text is never empty and never ends in a blank, so the trimming stops where
  // the last waiting number stands.
  const size_t number_end = FNumbers.empty() ? 0 : FNumbers.back().Offset;
  while (FText.size() > number_end && IsBlankOrLineEnd(FText.back()))
    FText.pop_back();
  if (FText.empty() && !FNumbers.empty()) Flush();
  if (!FText.empty()) FText.push_back(' ');
}

bool TTokenEcho::EndsInNumberOf(const TFuzzyStreamToken* plain) const {
  if (FNumbers.empty() || FNumbers.back().Offset + 1 != FText.size()) return false;
  // The same kind and the same bits give the same text, signed zeros included.
  return plain != nullptr && IsNumberType(plain->FDataType) &&
         (plain->FDataType == dtInteger) == FNumbers.back().Integer &&
         std::bit_cast<uint64_t>(plain->FNumber) == std::bit_cast<uint64_t>(FNumbers.back().Number);
}

size_t TTokenEcho::FormLength(const IFuzzyStreamToken& token, const TFuzzyStreamToken* plain) {
  if (plain == nullptr) return token.GetAsString().size();
  if (IsWordLike(*plain)) return plain->FText.size();
  FScratch.clear();
  plain->AppendAsString(FScratch);
  return FScratch.size();
}

void TTokenEcho::Clear() {
  FText.clear();
  FNumbers.clear();
  FLines.clear();
}

std::string TTokenEcho::GetText() const {
  Flush();
  return FText;
}

void TTokenEcho::Flush() const {
  if (FNumbers.empty()) return;
  std::string text;
  size_t from = 0;
  for (const TNumber& number : FNumbers) {
    text.append(FText, from, number.Offset - from);
    // As a plain token writes its number (see TBaseStreamToken::AppendPlainAsString).
    text += number.Integer ? FormatFixed(std::trunc(number.Number) + 0.0, 0)
                           : FormatFixed(number.Number, 4);
    from = number.Offset;
  }
  text.append(FText, from, std::string::npos);
  FText = std::move(text);
  FNumbers.clear();
}

}  // namespace tapwise
