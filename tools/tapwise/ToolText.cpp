#include "ToolText.h"

#include "tapwise/foundation/NumberText.h"

namespace tapwise::tool {

std::string OneLine(std::string_view text) {
  std::string line;
  line.reserve(text.size());
  bool in_break = false;
  for (char c : text) {
    if (c == '\r' || c == '\n') {
      in_break = true;
      continue;
    }
    if (in_break && !line.empty() && line.back() != ' ') line += ' ';
    in_break = false;
    // Other control characters (from a file that is no text) would act on the terminal.
    const auto code = static_cast<unsigned char>(c);
    if (c == '\t')
      line += ' ';
    else if (code < 0x20 || code == 0x7f)
      line += '?';
    else
      line += c;
  }
  return line;
}

std::string FixedText(double value, int decimals) {
  std::string text = FormatFixed(value, decimals);
  if (text.starts_with('-') && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

std::string PlainUnits(std::string_view units) {
  if (units.size() >= 4 && units.starts_with("\\\"") && units.ends_with("\"\\"))
    units = units.substr(2, units.size() - 4);
  return std::string(units);
}

std::string XmlEscaped(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&apos;";
        break;
      default:
        // Control characters other than tab, line feed and carriage return are not allowed
        // in XML 1.0 at all; a name or units text carrying one is shown with a blank.
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
          escaped += ' ';
        else
          escaped += c;
    }
  }
  return escaped;
}

}  // namespace tapwise::tool
