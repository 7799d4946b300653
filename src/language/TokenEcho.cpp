#include "tapwise/language/TokenEcho.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "tapwise/foundation/NumberText.h"

namespace tapwise {

namespace {

bool SameToken(const TTokenView& a, const TTokenView& b) {
  return a.DataType == b.DataType && a.LineNumber == b.LineNumber &&
         std::bit_cast<uint64_t>(a.Number) == std::bit_cast<uint64_t>(b.Number) && a.Text == b.Text;
}

}  // namespace

void TTokenEcho::BeginToken(int32_t line) const {
  if (FLine != 0 && FLine < line) FText += "\r\n";
  FLines.push_back(FLine);
  FLine = line;
}

void TTokenEcho::WriteLexed() const {
  for (const TTokenView& token : FLexed)
    AppendNow(token);
  FLexed.clear();
}

void TTokenEcho::Append(const TTokenView& token) {
  WriteLexed();
  AppendNow(token);
}

void TTokenEcho::AppendNow(const TTokenView& token) const {
  BeginToken(token.LineNumber);
  if (IsWordLike(token)) {
    // Mostly a parenthesis: a byte is added without the general append.
    if (token.Text.size() == 1) {
      FText.push_back(token.Text.front());
    } else {
      FText += token.Text;
    }
  } else if (token.IsNumber()) {
    FNumbers.push_back({FText.size(), token.Number, token.DataType == dtInteger});
  } else {
    AppendPlainForm(FText, token.DataType, token.Number, token.Text);
  }
  FText.push_back(' ');
}

void TTokenEcho::AppendForm(int32_t line, std::string_view form) {
  WriteLexed();
  BeginToken(line);
  FText += form;
  FText.push_back(' ');
}

void TTokenEcho::Rollback(const TTokenView& token) {
  if (!FLexed.empty()) {
    if (SameToken(FLexed.back(), token)) {
      // What cutting its text form and settling the end would leave.
      FLexed.pop_back();
      Settle();
      return;
    }
    WriteLexed();
  }
  if (EndsInNumberOf(token)) {
    FText.resize(FNumbers.back().Offset);
    FNumbers.pop_back();
    Cut(0);
    return;
  }
  if (IsWordLike(token)) {
    Cut(token.Text.size() + 1);
    return;
  }
  FScratch.clear();
  AppendPlainForm(FScratch, token.DataType, token.Number, token.Text);
  Cut(FScratch.size() + 1);
}

void TTokenEcho::RollbackForm(std::string_view form) {
  WriteLexed();
  Cut(form.size() + 1);
}

void TTokenEcho::Cut(size_t rolled) {
  // The cut may end inside the text of the last waiting number.
  if (rolled > 0 && !FNumbers.empty() && FText.size() < FNumbers.back().Offset + rolled) Flush();
  FText.resize(FText.size() > rolled ? FText.size() - rolled : 0);
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

bool TTokenEcho::EndsInNumberOf(const TTokenView& token) const {
  if (FNumbers.empty() || FNumbers.back().Offset + 1 != FText.size()) return false;
  // The same kind and the same bits give the same text, signed zeros included.
  return token.IsNumber() && (token.DataType == dtInteger) == FNumbers.back().Integer &&
         std::bit_cast<uint64_t>(token.Number) == std::bit_cast<uint64_t>(FNumbers.back().Number);
}

void TTokenEcho::Clear() {
  if (!FLexed.empty()) FLine = FLexed.back().LineNumber;
  FLexed.clear();
  FText.clear();
  FNumbers.clear();
  FLines.clear();
}

std::string TTokenEcho::GetText() const {
  WriteLexed();
  Flush();
  return FText;
}

void TTokenEcho::Flush() const {
  if (FNumbers.empty()) return;
  std::string text;
  size_t from = 0;
  for (const TNumber& number : FNumbers) {
    text.append(FText, from, number.Offset - from);
    // As a plain token writes its number (see AppendPlainForm).
    text += number.Integer ? FormatFixed(std::trunc(number.Number) + 0.0, 0)
                           : FormatFixed(number.Number, 4);
    from = number.Offset;
  }
  text.append(FText, from, std::string::npos);
  FText = std::move(text);
  FNumbers.clear();
}

}  // namespace tapwise
