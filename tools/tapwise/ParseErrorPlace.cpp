#include "ParseErrorPlace.h"

#include <cmath>
#include <optional>
#include <vector>

#include "ToolText.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"

namespace tapwise::tool {

namespace {

constexpr std::string_view kSingleTokens = "&()=[]|~";

struct TWord {
  std::string_view Text;
  std::size_t Column;  // from 0
};

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) < 33;
}

// Line `number` (from 1) of `text`, counting CR LF, CR and LF as the tokenizer does.
std::optional<std::string_view> SourceLine(std::string_view text, int number) {
  std::size_t start = 0;
  for (int line = 1; line < number; ++line) {
    start = text.find_first_of("\r\n", start);
    if (start == std::string_view::npos) return std::nullopt;
    start += text.compare(start, 2, "\r\n") == 0 ? 2 : 1;
  }
  return text.substr(start, text.find_first_of("\r\n", start) - start);
}

// The words of `line` as the tokenizer splits them, close enough to find a quoted token:
// strings and escapes are not followed, a comment ends the line.
std::vector<TWord> Words(std::string_view line) {
  std::vector<TWord> words;
  for (std::size_t at = 0; at < line.size();) {
    if (IsBlank(line[at])) {
      ++at;
    } else if (line[at] == ';') {
      break;
    } else if (kSingleTokens.find(line[at]) != std::string_view::npos) {
      words.push_back({line.substr(at, 1), at});
      ++at;
    } else {
      std::size_t end = at + 1;
      while (end < line.size() && !IsBlank(line[end]) &&
             std::string_view("\"&();<[]|~").find(line[end]) == std::string_view::npos)
        ++end;
      words.push_back({line.substr(at, end - at), at});
      at = end;
    }
  }
  return words;
}

// Whether the quoted token `quoted` stands for the source word `word`: the same text, or the
// same number (the quote writes numbers with four decimals).
bool SameToken(std::string_view quoted, std::string_view word) {
  if (quoted == word) return true;
  const std::optional<double> a = TryStrToFloat(quoted);
  const std::optional<double> b = TryStrToFloat(word);
  return a && b && std::abs(*a - *b) <= 5e-5 * std::max(1.0, std::abs(*b));
}

// The tokens the message quotes from its own line: after the last line break of the quoted
// text, which ends the message as `at line N: "..."`.
std::vector<std::string_view> QuotedTokensOfLine(std::string_view message, int line) {
  const std::string opening = Format(" at line %d: \"", line);
  const std::size_t start = message.find(opening);
  if (start == std::string_view::npos || !message.ends_with('"')) return {};
  std::string_view quoted = message.substr(start + opening.size());
  quoted.remove_suffix(1);
  const std::size_t line_break = quoted.find_last_of("\r\n");
  if (line_break != std::string_view::npos) quoted.remove_prefix(line_break + 1);
  std::vector<std::string_view> tokens;
  for (const TWord& word : Words(quoted))
    tokens.push_back(word.Text);
  return tokens;
}

// The column (from 0) of the last quoted token on `line`, matching the quoted tokens in
// order so that a token written twice on the line is found at the right place.
std::optional<std::size_t> LastTokenColumn(const std::vector<std::string_view>& quoted,
                                           std::string_view line) {
  if (quoted.empty()) return std::nullopt;
  // The end of the text stands after the last line of a form that never closes.
  if (quoted.back() == "EOF") return line.size();
  const std::vector<TWord> words = Words(line);
  std::size_t next = 0;
  std::optional<std::size_t> column;
  for (const std::string_view token : quoted) {
    column.reset();
    for (std::size_t i = next; i < words.size(); ++i) {
      if (!SameToken(token, words[i].Text)) continue;
      column = words[i].Column;
      next = i + 1;
      break;
    }
  }
  return column;
}

}  // namespace

EToolError FileParseError(const std::string& path, std::string_view text,
                          const EFzyParseException& error) {
  const std::string message = OneLine(error.what());
  const std::optional<std::string_view> line =
      error.GetLine() > 0 ? SourceLine(text, error.GetLine()) : std::nullopt;
  if (!line) return EToolError(Format(messages::kToolFileError, path, message));
  const std::optional<std::size_t> column =
      LastTokenColumn(QuotedTokensOfLine(error.what(), error.GetLine()), *line);
  std::string excerpt = OneLine(*line) + "\n";
  if (column) {
    // One blank per character in front: the bytes that continue a UTF-8 character take none.
    std::string caret;
    for (const char c : line->substr(0, *column))
      if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) caret += ' ';
    excerpt += caret + "^\n";
  }
  return EToolError(Format(messages::kToolFileErrorAt, path, error.GetLine(),
                           static_cast<int>(column.value_or(0) + 1), message),
                    std::move(excerpt));
}

}  // namespace tapwise::tool
