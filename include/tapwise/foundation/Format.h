#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace tapwise {

/// One argument of Format: an integer, a floating-point number or text.
class FormatArg {
 public:
  template <class T>
  requires std::is_integral_v<T> &&(!std::is_same_v<T, bool>)FormatArg(T value)
      : FValue(static_cast<int64_t>(value)) {}                              // NOLINT
  FormatArg(double value) : FValue(value) {}                                // NOLINT
  FormatArg(std::string_view value) : FValue(value) {}                      // NOLINT
  FormatArg(const std::string& value) : FValue(std::string_view(value)) {}  // NOLINT
  FormatArg(const char* value) : FValue(std::string_view(value)) {}         // NOLINT

  const std::variant<int64_t, double, std::string_view>& Value() const { return FValue; }

 private:
  std::variant<int64_t, double, std::string_view> FValue;
};

/// Fills a message template with its arguments, independent of the process locale.
/// Understands "%s", "%d", "%f" with optional width and precision ("%.4f", "%6.3f", "%-8s";
/// for "%d" the precision is the least number of digits: "%9.9d" gives "000000042") and
/// "%%". A placeholder without a matching argument raises EConvertError.
std::string FormatArgs(std::string_view format, std::initializer_list<FormatArg> args);

template <class... Args>
std::string Format(std::string_view format, const Args&... args) {
  return FormatArgs(format, {FormatArg(args)...});
}

}  // namespace tapwise
