#include "tapwise/foundation/NumberText.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <system_error>

#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"

namespace tapwise {
namespace {

constexpr int kGeneralPrecision = 15;

__extension__ using TUInt128 = unsigned __int128;

// The digits of |value| * scale rounded half to even (scale a power of ten up to 10^9,
// |value| below 1e9), by exact integer arithmetic: |value| is m / 2^shift, so the product is
// the 128-bit m * scale shifted right, rounded on the bits shifted out.
uint64_t ExactScaledDigits(double value, uint64_t scale) {
  const auto bits = std::bit_cast<uint64_t>(value);
  const auto biased = static_cast<int>((bits >> 52) & 0x7FF);
  const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
  const uint64_t mantissa = biased == 0 ? fraction : fraction | (uint64_t{1} << 52);
  // Below 1e9 the shift is at least 23.
  const int shift = biased == 0 ? 1074 : 1075 - biased;
  // From 2^-45 of the last place down, the value rounds to 0.
  if (shift >= 128) return 0;
  const TUInt128 product = static_cast<TUInt128>(mantissa) * scale;
  const TUInt128 rest = product & ((TUInt128{1} << shift) - 1);
  const TUInt128 half = TUInt128{1} << (shift - 1);
  auto digits = static_cast<uint64_t>(product >> shift);
  if (rest > half || (rest == half && (digits & 1) != 0)) ++digits;
  return digits;
}

// The digits of |value| * scale rounded half to even, as ExactScaledDigits gives them. The
// product in double is the exact one correctly rounded, and rounding never passes a number
// it can represent: below 2^52 the halfway point `whole + 0.5` is one, so a product whose
// fraction lies below (above) one half is exactly so too. Only a product that came out
// exactly on the half needs the exact one.
uint64_t ScaledDigits(double value, uint64_t scale) {
  const double scaled = std::fabs(value) * static_cast<double>(scale);
  if (scaled < 0x1p52) {
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (fraction < 0.5) return static_cast<uint64_t>(whole);
    if (fraction > 0.5) return static_cast<uint64_t>(whole) + 1;
  }
  return ExactScaledDigits(value, scale);
}

// The fixed form of a finite value below 1e9 in magnitude with at most 9 decimals: the text
// std::to_chars gives (the exact binary value, correctly rounded) at a fraction of its cost,
// since derived set names format a number on every rule firing. Returns false, writing
// nothing, when the value lies outside that range.
bool AppendSmallFixed(std::string& out, double value, int decimals) {
  if (!(std::fabs(value) < 1e9) || decimals < 0 || decimals > 9) return false;
  static constexpr std::array<uint64_t, 10> kPowersOfTen = {
      1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};
  uint64_t digits = ScaledDigits(value, kPowersOfTen[static_cast<size_t>(decimals)]);
  // Written backwards into a buffer and appended at once: at least one digit before the
  // point, exactly `decimals` after it.
  std::array<char, 32> text;
  char* const end = text.data() + text.size();
  char* first = end;
  int written = 0;
  do {
    *--first = static_cast<char>('0' + digits % 10);
    digits /= 10;
    if (++written == decimals) *--first = '.';
  } while (digits != 0 || written <= decimals);
  if (std::signbit(value)) *--first = '-';
  out.append(first, end);
  return true;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

}  // namespace

std::string ExactFloatToStr(double value) {
  std::array<char, 64> buffer{};
  const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), end);
}

std::string FloatToStr(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";

  // Scientific form with 15 significant digits: "d.ddddddddddddddde-XX".
  std::array<char, 64> buffer{};
  const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                          std::chars_format::scientific, kGeneralPrecision - 1);
  std::string_view text(buffer.data(), static_cast<size_t>(end - buffer.data()));
  const bool negative = text.front() == '-';
  if (negative) text.remove_prefix(1);
  const size_t e_pos = text.find('e');
  const int exponent = std::atoi(std::string(text.substr(e_pos + 1)).c_str());
  std::string digits;
  for (char c : text.substr(0, e_pos)) {
    if (c != '.') digits += c;
  }
  while (digits.size() > 1 && digits.back() == '0')
    digits.pop_back();

  std::string result = negative ? "-" : "";
  if (exponent < -5 || exponent >= kGeneralPrecision) {
    result += digits.front();
    if (digits.size() > 1) {
      result += '.';
      result.append(digits, 1);
    }
    result += 'E';
    result += std::to_string(exponent);
  } else if (exponent < 0) {
    result += "0.";
    result.append(static_cast<size_t>(-exponent - 1), '0');
    result += digits;
  } else {
    const size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      result += digits;
      result.append(whole - digits.size(), '0');
    } else {
      result.append(digits, 0, whole);
      result += '.';
      result.append(digits, whole);
    }
  }
  return result;
}

void AppendFixed(std::string& out, double value, int decimals) {
  if (std::isnan(value)) {
    out += "NAN";
  } else if (std::isinf(value)) {
    out += value > 0 ? "INF" : "-INF";
  } else if (!AppendSmallFixed(out, value, decimals)) {
    std::array<char, 400> buffer;
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, decimals);
    out.append(buffer.data(), end);
  }
}

std::string FormatFixed(double value, int decimals, int width) {
  std::string result;
  AppendFixed(result, value, decimals);
  if (static_cast<int>(result.size()) < width) {
    result.insert(0, static_cast<size_t>(width) - result.size(), ' ');
  }
  return result;
}

std::optional<double> TryStrToFloat(std::string_view text) {
  std::string_view number = TrimBlanks(text);
  if (!number.empty() && number.front() == '+') number.remove_prefix(1);
  if (number.empty() || number.front() == '+') return std::nullopt;
  // from_chars also reads "inf" and "nan", which are not numbers here; a number starts with
  // a digit or a decimal point, after its sign.
  const size_t first = number.front() == '-' ? 1 : 0;
  if (first >= number.size()) return std::nullopt;
  const char lead = number[first];
  if (!(lead == '.' || (lead >= '0' && lead <= '9'))) return std::nullopt;

  if (const auto plain = TryPlainDecimal(number)) return plain;
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                            std::chars_format::general);
  if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

double StrToFloat(std::string_view text) {
  if (const auto value = TryStrToFloat(text)) return *value;
  throw EConvertError(Format(messages::kInvalidFloat, text));
}

std::string IntToStr(int64_t value) {
  return std::to_string(value);
}

std::optional<int64_t> TryStrToInt(std::string_view text) {
  std::string_view number = TrimBlanks(text);
  if (!number.empty() && number.front() == '+') number.remove_prefix(1);
  if (number.empty() || number.front() == '+') return std::nullopt;
  int64_t value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
  return value;
}

int64_t StrToInt(std::string_view text) {
  if (const auto value = TryStrToInt(text)) return *value;
  throw EConvertError(Format(messages::kInvalidInteger, text));
}

}  // namespace tapwise
