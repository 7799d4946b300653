#include "tapwise/fuzzy/FuzzySetNames.h"

#include "tapwise/foundation/NumberText.h"

namespace tapwise {

namespace {

bool HasBlank(std::string_view text) {
  return text.find(' ') != std::string_view::npos;
}

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// Whether the "[" that opens `text` is closed by its last character.
bool IsOneBracketedGroup(std::string_view text) {
  if (text.size() < 2 || text.front() != '[' || text.back() != ']') return false;
  int depth = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '[') ++depth;
    if (text[i] == ']' && --depth == 0) return i == text.size() - 1;
  }
  return false;
}

std::string Bracketed(std::string_view text) {
  std::string result;
  result.reserve(text.size() + 2);
  result += '[';
  result += text;
  result += ']';
  return result;
}

// The first kMaxOperandTextLength bytes of `text`, not splitting a UTF-8 character, followed
// by "...", in brackets.
std::string Shortened(std::string_view text) {
  size_t length = kMaxOperandTextLength;
  while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
    --length;
  std::string result = Bracketed(text.substr(0, length));
  result.insert(result.size() - 1, "...");
  return result;
}

}  // namespace

std::string BracketIfSpaced(std::string_view text) {
  if (text.size() > kMaxOperandTextLength) return Shortened(text);
  return HasBlank(text) ? Bracketed(text) : std::string(text);
}

std::string CleanExpression(std::string_view text) {
  if (text.size() > kMaxOperandTextLength) return Shortened(Trim(text));
  const std::string_view trimmed = Trim(text);
  if (!HasBlank(trimmed) || IsOneBracketedGroup(trimmed)) return std::string(trimmed);
  return Bracketed(text);
}

std::string DerivedName(std::string_view name, std::string_view operation,
                        std::string_view other_name) {
  std::string result = BracketIfSpaced(name);
  result += ' ';
  result += operation;
  result += ' ';
  result += BracketIfSpaced(other_name);
  return result;
}

std::string ValueName(std::string_view name, std::string_view symbol, TFzyFloat value) {
  std::string result;
  if (name.size() > kMaxOperandTextLength || HasBlank(name)) {
    result = BracketIfSpaced(name);
  } else {
    // The usual case, a plain term name, without a copy of its own (a short derived name
    // stays within the string's own buffer).
    result = name;
  }
  result += ' ';
  result += symbol;
  result += ' ';
  AppendFixed(result, value, 4);
  return result;
}

}  // namespace tapwise
