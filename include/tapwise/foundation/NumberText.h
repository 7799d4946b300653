#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Number text independent of the process locale: "." is always the decimal point. Stored
// simulation values, log lines and the definition language all depend on these forms.

namespace tapwise {

/// The general floating-point form: at most 15 significant digits, no trailing zeros, whole
/// numbers without a decimal point, exponent form below 0.00001 or from 1E15 on.
/// 0 -> "0", 20.0 -> "20", 1.0 / 3 -> "0.333333333333333", 0.0000012 -> "1.2E-6".
std::string FloatToStr(double value);
/// The shortest text that reads back as exactly `value` (finite values): 0.1 -> "0.1",
/// 1.0 / 3 -> "0.3333333333333333", 1e-7 -> "1e-07". For settings that must survive a
/// write and a read bit for bit.
std::string ExactFloatToStr(double value);

/// C's "%.<decimals>f", right-aligned in `width` characters: FormatFixed(3.14159, 4) is
/// "3.1416" and FormatFixed(2.5, 3, 6) is " 2.500".
std::string FormatFixed(double value, int decimals, int width = 0);
/// Appends FormatFixed(value, decimals) to `out`.
void AppendFixed(std::string& out, double value, int decimals);

/// Reads a finite number: optional blanks, an optional sign, digits with "." as the decimal
/// point and an optional exponent, optional blanks. Infinities, NaN and numbers out of range
/// are refused, as is any other text.
std::optional<double> TryStrToFloat(std::string_view text);
namespace detail {
// Powers of ten that a double holds exactly.
inline constexpr std::array<double, 16> kExactPowersOfTen = {
    1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
inline constexpr int kFastDigits = 15;
}  // namespace detail

/// The quick way TryStrToFloat reads a plain decimal: an optional "-", then at most 15
/// digits with at most one "." among them ("-12.375", "0.0500", ".5", "42"), nothing else.
/// Where it gives a value, TryStrToFloat gives that very value; nullopt for any other text,
/// which TryStrToFloat may still read. Inline: a lexer reads every number through it, and a
/// call would hand the answer back through memory.
// Read without the general converter: the digits and the power of ten below the point are
// both exact doubles, and one division of exact doubles is rounded correctly, so the value
// is the very double the general converter gives. Anything else (exponents, long digit runs)
// is left to it.
inline std::optional<double> TryPlainDecimal(std::string_view text) {
  const char* at = text.data();
  const char* const end = at + text.size();
  const bool negative = at != end && *at == '-';
  if (negative) ++at;
  // The digits before the point, then those after it; past 15 digits the value is not read
  // here (the sum may then wrap, but it is not used).
  uint64_t digits = 0;
  const char* const first = at;
  while (at != end && static_cast<unsigned char>(*at - '0') <= 9) {
    digits = digits * 10 + static_cast<uint64_t>(*at - '0');
    ++at;
  }
  ptrdiff_t count = at - first;
  ptrdiff_t fraction = 0;
  if (at != end && *at == '.') {
    const char* const after_point = ++at;
    while (at != end && static_cast<unsigned char>(*at - '0') <= 9) {
      digits = digits * 10 + static_cast<uint64_t>(*at - '0');
      ++at;
    }
    fraction = at - after_point;
    count += fraction;
  }
  if (at != end || count == 0 || count > detail::kFastDigits) return std::nullopt;
  const double value =
      static_cast<double>(digits) / detail::kExactPowersOfTen[static_cast<size_t>(fraction)];
  return negative ? -value : value;
}

/// As TryStrToFloat, raising EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(std::string_view text);

/// Decimal integer text.
std::string IntToStr(int64_t value);
/// Reads a decimal integer (optional blanks and sign); nothing else.
std::optional<int64_t> TryStrToInt(std::string_view text);
/// As TryStrToInt, raising EConvertError "'<text>' is not a valid integer value".
int64_t StrToInt(std::string_view text);

}  // namespace tapwise
