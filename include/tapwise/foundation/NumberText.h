#pragma once

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
/// The quick way TryStrToFloat reads a plain decimal: an optional "-", then at most 15
/// digits with at most one "." among them ("-12.375", "0.0500", ".5", "42"), nothing else.
/// Where it gives a value, TryStrToFloat gives that very value; nullopt for any other text,
/// which TryStrToFloat may still read.
std::optional<double> TryPlainDecimal(std::string_view text);
/// As TryStrToFloat, raising EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(std::string_view text);

/// Decimal integer text.
std::string IntToStr(int64_t value);
/// Reads a decimal integer (optional blanks and sign); nothing else.
std::optional<int64_t> TryStrToInt(std::string_view text);
/// As TryStrToInt, raising EConvertError "'<text>' is not a valid integer value".
int64_t StrToInt(std::string_view text);

}  // namespace tapwise
