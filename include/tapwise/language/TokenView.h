#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tapwise/fuzzy/StreamTokenInterfaces.h"

namespace tapwise {

/// Appends the text form of a plain token (one that carries no value) of these fields: a
/// string as \"text\"\, an integer without and a float with four decimals, a variable with
/// its "?", anything else its text, or the character of its kind when the text is empty.
void AppendPlainForm(std::string& out, int32_t data_type, double number, std::string_view text);

/// A token seen without a token object: the kind, line, number and text a plain token has
/// (`IBaseStreamToken`). The token stream hands tokens out this way where a reader only looks
/// at them (`TFuzzyLogicTokenStream::Take`); the text is valid until the stream is used
/// again.
struct TTokenView {
  int32_t DataType = dtEOF;
  int32_t LineNumber = 0;
  double Number = 0;
  std::string_view Text;

  /// The fields of `token`, whose text it views.
  static TTokenView Of(const IBaseStreamToken& token) {
    return {token.GetDataType(), token.GetLineNumber(), token.GetNumber(), token.GetText()};
  }
  bool IsChar(char ch) const { return DataType == static_cast<unsigned char>(ch); }
  bool IsNumber() const { return DataType == dtInteger || DataType == dtFloat; }
  /// What `GetAsString` gives for a plain token of these fields.
  std::string AsString() const {
    std::string text;
    AppendPlainForm(text, DataType, Number, Text);
    return text;
  }
};

/// Whether tokens of `data_type` carry a value (an interface, list, set or object), whose
/// text form the value decides.
constexpr bool CarriesValue(int32_t data_type) {
  return data_type >= dtInterface && data_type <= dtFuzzySetObject;
}

}  // namespace tapwise
