#include "tapwise/foundation/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "support/ExpectThrow.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"

namespace tapwise {
namespace {

TEST(NumberText, GeneralFormIsShortestWithFifteenDigits) {
  EXPECT_EQ(FloatToStr(0.0), "0");
  EXPECT_EQ(FloatToStr(-0.0), "0");
  EXPECT_EQ(FloatToStr(20.0), "20");
  EXPECT_EQ(FloatToStr(0.96), "0.96");
  EXPECT_EQ(FloatToStr(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(FloatToStr(2.0 / 3), "0.666666666666667");
  EXPECT_EQ(FloatToStr(0.0000012), "1.2E-6");
  EXPECT_EQ(FloatToStr(0.00001), "0.00001");
  EXPECT_EQ(FloatToStr(-42.5), "-42.5");
  EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
  EXPECT_EQ(FloatToStr(1e15), "1E15");
  EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
}

TEST(NumberText, FixedFormsMatchC) {
  EXPECT_EQ(FormatFixed(3.14159, 4), "3.1416");
  EXPECT_EQ(FormatFixed(2.5, 3, 6), " 2.500");
  EXPECT_EQ(FormatFixed(-0.5, 4), "-0.5000");
  EXPECT_EQ(FormatFixed(22.5, 3, 6), "22.500");
  EXPECT_EQ(FormatFixed(1234.5678, 3, 6), "1234.568");
  EXPECT_EQ(Format("%.4f", 0.125), "0.1250");
  EXPECT_EQ(Format("%6.3f|%d|%s|%%", 33.8888888, 42, "x"), "33.889|42|x|%");
}

// Small values take a path of their own; its text must be exactly the C library's, ties
// (0.125 to two decimals), negative zero, tiny and subnormal values included.
TEST(NumberText, FixedFormOfSmallValuesIsTheExactRounding) {
  const auto reference = [](double value, int decimals) {
    std::array<char, 400> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, decimals);
    return std::string(buffer.data(), end);
  };
  std::vector<double> values = {0.0,          -0.0,    0.125,    0.375,    2.5,  3.5,
                                -2.5,         0.00005, 1e-300,   4.9e-324, 1e-5, 999999999.99999,
                                -999999999.5, 1e9,     0.1 + 0.2};
  std::mt19937_64 random(8122026);
  std::uniform_real_distribution<double> unit(-1, 1);
  std::uniform_int_distribution<int> exponent(-40, 32);
  for (int i = 0; i < 20000; ++i)
    values.push_back(std::ldexp(unit(random), exponent(random)));
  // Values on a grid of 1/1024: many of them are exact ties at some precision.
  for (int i = -3000; i <= 3000; ++i)
    values.push_back(i / 1024.0);
  // Decimal halves (0.00005, 1234.5678915, ...) are never exact in binary: the nearest
  // doubles and their neighbours lie within a hair of the rounding boundary either way.
  std::uniform_int_distribution<int64_t> whole(0, 2000000000);
  double power = 1;
  for (int decimals = 0; decimals <= 9; ++decimals, power *= 10) {
    for (int i = 0; i < 300; ++i) {
      const double half = (static_cast<double>(whole(random)) + 0.5) / power;
      for (double value : {half, std::nextafter(half, 0.0), std::nextafter(half, 2e9)})
        values.insert(values.end(), {value, -value});
    }
  }
  for (double value : values) {
    for (int decimals = 0; decimals <= 12; ++decimals)
      ASSERT_EQ(FormatFixed(value, decimals), reference(value, decimals))
          << value << " to " << decimals << " decimals";
  }
}

TEST(NumberText, ReadsOnlyFiniteNumbersWithDecimalPoint) {
  EXPECT_EQ(TryStrToFloat("20.0"), 20.0);
  EXPECT_EQ(TryStrToFloat(" -1.5e2 "), -150.0);
  EXPECT_EQ(TryStrToFloat("+.5"), 0.5);
  EXPECT_FALSE(TryStrToFloat("1,5"));
  EXPECT_FALSE(TryStrToFloat(""));
  EXPECT_FALSE(TryStrToFloat("abc"));
  EXPECT_FALSE(TryStrToFloat("1e999"));
  EXPECT_FALSE(TryStrToFloat("inf"));
  EXPECT_FALSE(TryStrToFloat("nan"));
  EXPECT_FALSE(TryStrToFloat("1.5x"));
  EXPECT_THROW_MSG(StrToFloat("warm"), EConvertError, "'warm' is not a valid floating point value");
  EXPECT_EQ(TryStrToInt(" 42"), 42);
  EXPECT_FALSE(TryStrToInt("4.2"));
}

// Short plain decimals are read by a path of their own; it must give the very double the
// general converter gives, and leave everything else to it.
TEST(NumberText, PlainDecimalsReadToTheSameDoubleAsTheGeneralConverter) {
  auto general = [](const std::string& text) -> std::optional<double> {
    double value = 0;
    const char* first = text.data() + (text.front() == '+' ? 1 : 0);
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
  };
  auto expect_same = [&](const std::string& text) {
    const auto expected = general(text);
    const auto actual = TryStrToFloat(text);
    ASSERT_EQ(actual.has_value(), expected.has_value()) << text;
    if (!expected) return;
    EXPECT_EQ(std::bit_cast<uint64_t>(*actual), std::bit_cast<uint64_t>(*expected)) << text;
  };
  for (const char* text : {"0.1",
                           "0.3",
                           "-0.0",
                           "0",
                           "5.",
                           ".5",
                           "-.5",
                           "+2.25",
                           "1.2.3",
                           "12.3456",
                           "0.0000",
                           "999999999999999",
                           "9999999999999999",
                           "0.000000000000001",
                           "1.7976931348623157",
                           "123456.789012345",
                           "9007199254740993",
                           "0.1e1",
                           "-",
                           ".",
                           "1..2",
                           "07.50"}) {
    expect_same(text);
  }
  EXPECT_EQ(TryStrToFloat("-0.0").has_value() && std::signbit(*TryStrToFloat("-0.0")), true);
  // Decimals of every length and scale the definition texts use, and longer ones.
  uint64_t state = 12345;
  for (int i = 0; i < 20000; ++i) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    const int digits = 1 + static_cast<int>((state >> 33) % 18);
    const int point = static_cast<int>((state >> 40) % static_cast<uint64_t>(digits + 1));
    std::string text = (state >> 63) != 0 ? "-" : "";
    uint64_t draw = state;
    for (int d = 0; d < digits; ++d) {
      if (d == point) text += '.';
      draw = draw * 6364136223846793005u + 1442695040888963407u;
      text += static_cast<char>('0' + (draw >> 59) % 10);
    }
    expect_same(text);
  }
}

TEST(NumberText, IgnoresACommaDecimalLocale) {
  const char* chosen = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"}) {
    if ((chosen = std::setlocale(LC_ALL, name)) != nullptr) break;
  }
  if (chosen == nullptr) GTEST_SKIP() << "no comma-decimal locale installed";
  ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");
  EXPECT_EQ(FloatToStr(0.96), "0.96");
  EXPECT_EQ(FormatFixed(2.5, 3, 6), " 2.500");
  EXPECT_EQ(Format("%.4f", 0.5), "0.5000");
  EXPECT_EQ(TryStrToFloat("0.96"), 0.96);
  EXPECT_FALSE(TryStrToFloat("0,96"));
  std::setlocale(LC_ALL, "C");
}

TEST(Format, RejectsMissingArguments) {
  EXPECT_THROW_MSG(Format("%s and %s", "one"), EConvertError,
                   "Format '%s and %s' invalid or incompatible with argument");
  EXPECT_THROW_MSG(Format("%d", "text"), EConvertError,
                   "Format '%d' invalid or incompatible with argument");
}

// The plain decimal reader on its own: every text it reads, it reads to the general
// converter's double; texts with anything else are left alone.
TEST(NumberText, PlainDecimalReaderMatchesTheGeneralConverter) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> digit(0, 9);
  std::uniform_int_distribution<int> length(0, 17);
  for (int round = 0; round < 20000; ++round) {
    std::string text = round % 3 == 0 ? "-" : "";
    const int before = length(random) % 9;
    const int after = length(random);
    for (int i = 0; i < before; ++i)
      text += static_cast<char>('0' + digit(random));
    if (round % 5 != 0) text += '.';
    for (int i = 0; i < after && text.size() < 19; ++i)
      text += static_cast<char>('0' + digit(random));
    const auto plain = TryPlainDecimal(text);
    const size_t digits = static_cast<size_t>(
        std::count_if(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; }));
    ASSERT_EQ(plain.has_value(), digits > 0 && digits <= 15) << text;
    if (!plain) continue;
    double general = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), general);
    ASSERT_EQ(error, std::errc()) << text;
    ASSERT_EQ(end, text.data() + text.size()) << text;
    EXPECT_EQ(std::bit_cast<uint64_t>(*plain), std::bit_cast<uint64_t>(general)) << text;
  }
  for (const char* text : {"", "-", ".", "-.", "+1.5", "1.5e3", "1.2.3", " 1.5", "1.5 ", "0x1",
                           "1,5", "--1", "1234567890123456", "1.234567890123456"}) {
    EXPECT_FALSE(TryPlainDecimal(text).has_value()) << text;
  }
}

}  // namespace
}  // namespace tapwise
