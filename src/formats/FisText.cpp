#include "FisText.h"

#include <algorithm>

#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise::detail::fis {

namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Reads what `text` holds from `position` on, one piece at a time, refusing what does not
// follow the value's form.
class TValueReader {
 public:
  TValueReader(std::string_view text, const TEntry& entry) : FText(text), FEntry(entry) {}

  void Expect(char symbol) {
    SkipBlanks();
    if (FPosition >= FText.size() || FText[FPosition] != symbol)
      Fail(std::string("expected ") + symbol);
    ++FPosition;
  }
  std::string Quoted() {
    Expect('\'');
    const size_t end = FText.find('\'', FPosition);
    if (end == std::string_view::npos) Fail("a quote is not closed");
    std::string text(FText.substr(FPosition, end - FPosition));
    FPosition = end + 1;
    return text;
  }
  std::string_view Bracketed() {
    SkipBlanks();
    const size_t start = FPosition;
    Expect('[');
    const size_t end = FText.find(']', FPosition);
    if (end == std::string_view::npos) Fail("a bracket is not closed");
    FPosition = end + 1;
    return FText.substr(start, FPosition - start);
  }
  void ExpectEnd() {
    SkipBlanks();
    if (FPosition < FText.size()) Fail("unexpected " + std::string(FText.substr(FPosition)));
  }
  [[noreturn]] void Fail(const std::string& what) const {
    throw EFzyParseException("Cannot read " + FEntry.Key + "=" + FEntry.Value + ": " + what,
                             FEntry.Line);
  }

 private:
  void SkipBlanks() {
    while (FPosition < FText.size() && kBlanks.find(FText[FPosition]) != std::string_view::npos)
      ++FPosition;
  }

  std::string_view FText;
  const TEntry& FEntry;
  size_t FPosition = 0;
};

}  // namespace

const TEntry* TSection::Find(std::string_view key) const {
  for (const TEntry& entry : Entries)
    if (entry.Key == key) return &entry;
  return nullptr;
}

const TEntry& TSection::Get(std::string_view key) const {
  if (const TEntry* entry = Find(key)) return *entry;
  throw EFzyParseException("Missing " + std::string(key) + " in [" + Name + "]", Line);
}

std::vector<TSection> ReadSections(const std::string& text) {
  std::vector<TSection> sections;
  int line_number = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = Trimmed(std::string_view(text).substr(start, end - start));
    ++line_number;
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    if (line.empty() || line.front() == '%' || line.front() == '#') continue;
    if (line.front() == '[' && line.back() == ']') {
      const std::string name(Trimmed(line.substr(1, line.size() - 2)));
      for (const TSection& section : sections)
        if (section.Name == name)
          throw EFzyParseException("[" + name + "] appears twice", line_number);
      sections.push_back({name, line_number, {}});
      continue;
    }
    if (sections.empty())
      throw EFzyParseException("Expected a [System] section, not " + std::string(line),
                               line_number);
    TSection& section = sections.back();
    if (section.Name == "Rules") {
      section.Entries.push_back({"", std::string(line), line_number});
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos)
      throw EFzyParseException(
          "Expected key=value in [" + section.Name + "], not " + std::string(line), line_number);
    std::string key(Trimmed(line.substr(0, equals)));
    if (section.Find(key) != nullptr)
      throw EFzyParseException(key + " appears twice in [" + section.Name + "]", line_number);
    section.Entries.push_back(
        {std::move(key), std::string(Trimmed(line.substr(equals + 1))), line_number});
  }
  return sections;
}

std::string TextOf(const TEntry& entry) {
  if (entry.Value.empty() || entry.Value.front() != '\'') return entry.Value;
  TValueReader reader(entry.Value, entry);
  std::string text = reader.Quoted();
  reader.ExpectEnd();
  return text;
}

int64_t CountOf(const TEntry& entry) {
  const std::optional<int64_t> count = TryStrToInt(entry.Value);
  if (!count || *count < 0)
    throw EFzyParseException(entry.Key + " must be a whole number from 0, not " + entry.Value,
                             entry.Line);
  return *count;
}

std::vector<TFzyFloat> NumbersOf(std::string_view text, int line) {
  const std::string_view inner = Trimmed(text);
  if (inner.size() < 2 || inner.front() != '[' || inner.back() != ']')
    throw EFzyParseException("Expected [numbers], not " + std::string(text), line);
  std::vector<TFzyFloat> numbers;
  const std::string_view list = inner.substr(1, inner.size() - 2);
  size_t position = 0;
  while (position < list.size()) {
    const size_t start = list.find_first_not_of(" \t,", position);
    if (start == std::string_view::npos) break;
    const size_t end = std::min(list.find_first_of(" \t,", start), list.size());
    const std::string_view word = list.substr(start, end - start);
    const std::optional<double> number = TryStrToFloat(word);
    if (!number)
      throw EFzyParseException(
          std::string(word) + " in " + std::string(text) + " is not a finite number", line);
    numbers.push_back(*number);
    position = end;
  }
  return numbers;
}

TFunctionText FunctionOf(const TEntry& entry) {
  TValueReader reader(entry.Value, entry);
  TFunctionText function;
  function.Name = reader.Quoted();
  reader.Expect(':');
  function.Type = reader.Quoted();
  reader.Expect(',');
  function.Parameters = NumbersOf(reader.Bracketed(), entry.Line);
  reader.ExpectEnd();
  return function;
}

}  // namespace tapwise::detail::fis
