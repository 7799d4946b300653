#include "tapwise/foundation/Format.h"

#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"

namespace tapwise {
namespace {

[[noreturn]] void InvalidFormat(std::string_view format) {
  // Built by hand: Format itself cannot report its own failure.
  std::string message = messages::kInvalidFormat;
  message.replace(message.find("%s"), 2, format);
  throw EConvertError(message);
}

int ReadNumber(std::string_view format, size_t& pos) {
  int value = 0;
  while (pos < format.size() && format[pos] >= '0' && format[pos] <= '9') {
    value = value * 10 + (format[pos] - '0');
    if (value > 1000) InvalidFormat(format);
    ++pos;
  }
  return value;
}

std::string Pad(std::string text, int width, bool left_align) {
  if (static_cast<int>(text.size()) >= width) return text;
  const size_t fill = static_cast<size_t>(width) - text.size();
  if (left_align) {
    text.append(fill, ' ');
  } else {
    text.insert(0, fill, ' ');
  }
  return text;
}

}  // namespace

std::string FormatArgs(std::string_view format, std::initializer_list<FormatArg> args) {
  std::string result;
  result.reserve(format.size() + 16 * args.size());
  auto next_arg = args.begin();
  size_t pos = 0;
  while (pos < format.size()) {
    const char c = format[pos++];
    if (c != '%') {
      result += c;
      continue;
    }
    if (pos < format.size() && format[pos] == '%') {
      result += '%';
      ++pos;
      continue;
    }
    const bool left_align = pos < format.size() && format[pos] == '-';
    if (left_align) ++pos;
    const int width = ReadNumber(format, pos);
    int precision = -1;
    if (pos < format.size() && format[pos] == '.') {
      ++pos;
      precision = ReadNumber(format, pos);
    }
    if (pos >= format.size() || next_arg == args.end()) InvalidFormat(format);
    const char kind = format[pos++];
    const auto& value = (next_arg++)->Value();
    std::string text;
    switch (kind) {
      case 'd':
        if (!std::holds_alternative<int64_t>(value)) InvalidFormat(format);
        text = IntToStr(std::get<int64_t>(value));
        // A precision gives the least number of digits, zero-filled ("%9.9d": 000000042).
        if (const size_t sign = text[0] == '-' ? 1 : 0;
            precision >= 0 && text.size() - sign < static_cast<size_t>(precision)) {
          text.insert(sign, static_cast<size_t>(precision) - (text.size() - sign), '0');
        }
        break;
      case 'f':
      case 'g':
        if (const auto* number = std::get_if<double>(&value)) {
          text = kind == 'f' ? FormatFixed(*number, precision < 0 ? 6 : precision)
                             : FloatToStr(*number);
        } else if (const auto* integer = std::get_if<int64_t>(&value)) {
          text = kind == 'f'
                     ? FormatFixed(static_cast<double>(*integer), precision < 0 ? 6 : precision)
                     : IntToStr(*integer);
        } else {
          InvalidFormat(format);
        }
        break;
      case 's':
        if (const auto* string = std::get_if<std::string_view>(&value)) {
          text = precision >= 0 ? std::string(string->substr(0, static_cast<size_t>(precision)))
                                : std::string(*string);
        } else {
          InvalidFormat(format);
        }
        break;
      default:
        InvalidFormat(format);
    }
    result += Pad(std::move(text), width, left_align);
  }
  return result;
}

}  // namespace tapwise
