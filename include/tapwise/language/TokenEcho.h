#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tapwise/fuzzy/StreamTokenInterfaces.h"

namespace tapwise {

class TFuzzyStreamToken;

/// The text form of the tokens read for one form, which parse errors quote:
///
///     ( deffuzzy outTemp \r\n( range 5 65 )
///
/// Each token appended adds a CR LF when it stands on a later line than the token appended
/// before it, then its text form and a blank. `Rollback` is what pushing a token back does to
/// the text: it cuts the token's text form and the blank after it, trims the blanks and line
/// ends in front, and ends the text with one blank again.
///
/// The echo is read only when an error is reported, so a number of the tokenizer's own class
/// waits as its value and gets its text when the echo is read (or a rollback must cut into it).
class TTokenEcho {
 public:
  /// `own` is `token` as `ExactCast<const TFuzzyStreamToken>` gives it, asked once by the
  /// caller (null for any other class): a token of the tokenizer's own class is read
  /// through its fields.
  void Append(const IFuzzyStreamToken& token, const TFuzzyStreamToken* own);
  void Rollback(const IFuzzyStreamToken& token, const TFuzzyStreamToken* own);
  /// What appending any token and rolling it back leaves: the text trimmed of the blanks and
  /// line ends at its end, then one blank.
  void Settle() {
    // Mostly it ends so already: a token's text and its blank.
    const size_t size = FText.size();
    if (size >= 2 && FText[size - 1] == ' ' && !IsBlankOrLineEnd(FText[size - 2])) return;
    SettleEnd();
  }
  /// Empties the text; the line of the token appended last stays, so that a token on a later
  /// line still starts with a CR LF.
  void Clear();
  std::string GetText() const;

 private:
  struct TNumber {
    size_t Offset;  // where its text goes in FText
    double Number;
    bool Integer;
  };

  static bool IsBlankOrLineEnd(char ch) { return ch == ' ' || ch == '\r' || ch == '\n'; }
  // Settle where the text does not end in a token's text and one blank.
  void SettleEnd();
  // A word or a single-character token, whose text form is its text.
  static bool IsWordLike(const TFuzzyStreamToken& token);
  // Whether the text ends in `token`'s number, still waiting, and its blank.
  bool EndsInNumberOf(const TFuzzyStreamToken* own) const;
  // The length of `token`'s text form.
  size_t FormLength(const IFuzzyStreamToken& token, const TFuzzyStreamToken* own);
  void Flush() const;

  // FNumbers in ascending offsets; both change when the text is read.
  mutable std::string FText;
  mutable std::vector<TNumber> FNumbers;
  std::string FScratch;  // a text form measured for a rollback, kept for its buffer
  // The line of the token appended last, and those of the tokens before it, so that a
  // rollback restores what the next token's line is compared with.
  int32_t FLine = 0;
  std::vector<int32_t> FLines;
};

}  // namespace tapwise
