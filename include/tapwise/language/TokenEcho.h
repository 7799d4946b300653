#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <string_view>

#include "tapwise/language/TokenView.h"

namespace tapwise {

/// The text form of the tokens read for one form, which parse errors quote:
///
///     ( deffuzzy outTemp \r\n( range 5 65 )
///
/// Each token appended adds a CR LF when it stands on a later line than the token appended
/// before it, then its text form and a blank. `Rollback` is what pushing a token back does to
/// the text: it cuts the token's text form and the blank after it, trims the blanks and line
/// ends in front, and ends the text with one blank again.
///
/// The echo is read only when an error is reported, so a number waits as its value and gets
/// its text when the echo is read (or a rollback must cut into it).
class TTokenEcho {
 public:
  /// A token the echo may keep as it is until `Clear`: its fields and text stay unchanged
  /// till then. It is written only when the text is read or a change needs it written.
  void AppendLexed(const TTokenView& token) {
    // A long form is written out now and then, so that its views do not pile up.
    if (FLexed.size() == kMaxLexed) WriteLexed();
    FLexed.push_back(token);
  }
  /// A token that carries no value, by its fields.
  void Append(const TTokenView& token);
  /// Any other token, by its line and its text form.
  void AppendForm(int32_t line, std::string_view form);
  /// Pushing back a token appended by its fields, or by its text form.
  void Rollback(const TTokenView& token);
  void RollbackForm(std::string_view form);
  /// What appending any token and rolling it back leaves: the text trimmed of the blanks and
  /// line ends at its end, then one blank.
  void Settle() {
    if (!FLexed.empty()) {
      // Written out, the text would end in the last token's text form and a blank.
      if (!EndsInBlank(FLexed.back())) return;
      WriteLexed();
    }
    // Mostly it ends so already: a token's text and its blank.
    const size_t size = FText.size();
    if (size >= 2 && FText[size - 1] == ' ' && !IsBlankOrLineEnd(FText[size - 2])) return;
    SettleEnd();
  }
  /// Empties the text; the line of the token appended last stays, so that a token on a later
  /// line still starts with a CR LF.
  void Clear();
  /// Clear, as if a token of `line` had been appended last.
  void ClearAfter(int32_t line) {
    Clear();
    FLine = line;
  }
  /// Whether `token`'s text form ends in a blank or a line end (a word with an escaped one),
  /// which settling the text would trim.
  static bool EndsInBlank(const TTokenView& token) {
    if (token.IsNumber() || token.DataType == dtString) return false;
    return IsBlankOrLineEnd(token.Text.empty() ? static_cast<char>(token.DataType)
                                               : token.Text.back());
  }
  std::string GetText() const;

 private:
  struct TNumber {
    size_t Offset;  // where its text goes in FText
    double Number;
    bool Integer;
  };

  static constexpr size_t kMaxLexed = 4096;

  static bool IsBlankOrLineEnd(char ch) { return ch == ' ' || ch == '\r' || ch == '\n'; }
  // Writes the kept tokens out, in order.
  void WriteLexed() const;
  void AppendNow(const TTokenView& token) const;
  // Settle where the text does not end in a token's text and one blank.
  void SettleEnd();
  // A word or a single-character token, whose text form is its text.
  static bool IsWordLike(const TTokenView& token) {
    return (token.DataType == dtSymbol || token.DataType > dtFuzzySetObject) && !token.Text.empty();
  }
  // Starts a token of `line`: a CR LF when the line changed.
  void BeginToken(int32_t line) const;
  // Whether the text ends in `token`'s number, still waiting, and its blank.
  bool EndsInNumberOf(const TTokenView& token) const;
  // Cuts a token's text form of `length` and the blank after it, then settles the end.
  void Cut(size_t length);
  void Flush() const;

  // FNumbers in ascending offsets; both change when the text is read, as do the kept
  // tokens, which follow FText.
  mutable std::string FText;
  mutable std::vector<TNumber> FNumbers;
  mutable std::vector<TTokenView> FLexed;
  std::string FScratch;  // a text form measured for a rollback, kept for its buffer
  // The line of the token appended last, and those of the tokens before it, so that a
  // rollback restores what the next token's line is compared with.
  mutable int32_t FLine = 0;
  mutable std::vector<int32_t> FLines;
};

}  // namespace tapwise
