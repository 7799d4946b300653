#include "FllDocument.h"

#include <array>
#include <limits>
#include <utility>

#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise::detail::fll {

namespace {

bool IsBlank(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\f' || ch == '\v';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

struct TKeyedSetting {
  std::string_view Key;
  TSetting TVariableSection::*Setting;
  bool OutputOnly;
};

constexpr std::array kVariableKeys{
    TKeyedSetting{"enabled", &TVariableSection::Enabled, false},
    TKeyedSetting{"range", &TVariableSection::Range, false},
    TKeyedSetting{"lock-range", &TVariableSection::LockRange, false},
    TKeyedSetting{"aggregation", &TVariableSection::Aggregation, true},
    TKeyedSetting{"defuzzifier", &TVariableSection::Defuzzifier, true},
    TKeyedSetting{"default", &TVariableSection::Default, true},
    TKeyedSetting{"lock-previous", &TVariableSection::LockPrevious, true},
};

constexpr std::array kRuleBlockKeys{
    std::pair{std::string_view("enabled"), &TRuleBlockSection::Enabled},
    std::pair{std::string_view("conjunction"), &TRuleBlockSection::Conjunction},
    std::pair{std::string_view("disjunction"), &TRuleBlockSection::Disjunction},
    std::pair{std::string_view("implication"), &TRuleBlockSection::Implication},
    std::pair{std::string_view("activation"), &TRuleBlockSection::Activation},
};

enum class TSection : uint8_t { None, Engine, Input, Output, RuleBlock };

// Reads the document line by line; each line either opens a section or adds to the open one.
class TDocumentReader {
 public:
  TDocument Read(std::string_view text) {
    int line = 0;
    while (!text.empty()) {
      const size_t end = text.find('\n');
      std::string_view content = text.substr(0, end);
      text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
      ++line;
      content = Trim(content.substr(0, content.find('#')));
      if (!content.empty()) ReadLine(content, line);
    }
    return std::move(FDocument);
  }

 private:
  void ReadLine(std::string_view content, int line) {
    const size_t colon = content.find(':');
    if (colon == std::string_view::npos)
      throw EFzyParseException("Expected \"key: value\", found \"" + std::string(content) + "\"",
                               line);
    const std::string_view key = Trim(content.substr(0, colon));
    const std::string_view value = Trim(content.substr(colon + 1));
    if (key == "Engine") {
      FSection = TSection::Engine;
    } else if (key == "InputVariable" || key == "OutputVariable") {
      const bool input = key == "InputVariable";
      FSection = input ? TSection::Input : TSection::Output;
      auto& variables = input ? FDocument.Inputs : FDocument.Outputs;
      TVariableSection& variable = variables.emplace_back();
      variable.Name = OneName(key, value, line);
      variable.Line = line;
    } else if (key == "RuleBlock") {
      FSection = TSection::RuleBlock;
      TRuleBlockSection& block = FDocument.RuleBlocks.emplace_back();
      block.Name = value;
      block.Line = line;
    } else if (key == "description" && FSection != TSection::None) {
      // Text for people; nothing of the controller.
    } else if (!ReadSetting(key, value, line)) {
      throw EFzyParseException(UnknownKeyMessage(key), line);
    }
  }

  static std::string OneName(std::string_view key, std::string_view value, int line) {
    const std::vector<std::string> words = SplitWords(value);
    if (words.size() != 1)
      throw EFzyParseException(
          "Expected one name after " + std::string(key) + ", found \"" + std::string(value) + "\"",
          line);
    return words.front();
  }

  bool ReadSetting(std::string_view key, std::string_view value, int line) {
    if (FSection == TSection::Input || FSection == TSection::Output) {
      TVariableSection& variable =
          FSection == TSection::Input ? FDocument.Inputs.back() : FDocument.Outputs.back();
      if (key == "term") {
        std::vector<std::string> words = SplitWords(value);
        if (words.size() < 2)
          throw EFzyParseException(
              "Expected \"term: NAME KIND PARAMETERS\", found \"term: " + std::string(value) + "\"",
              line);
        TTermLine& term = variable.Terms.emplace_back();
        term.Name = std::move(words[0]);
        term.Kind = std::move(words[1]);
        term.Parameters.assign(std::make_move_iterator(words.begin() + 2),
                               std::make_move_iterator(words.end()));
        term.Line = line;
        return true;
      }
      for (const TKeyedSetting& entry : kVariableKeys) {
        if (entry.Key != key || (entry.OutputOnly && FSection == TSection::Input)) continue;
        variable.*entry.Setting = {std::string(value), line};
        return true;
      }
    } else if (FSection == TSection::RuleBlock) {
      TRuleBlockSection& block = FDocument.RuleBlocks.back();
      if (key == "rule") {
        block.Rules.push_back({std::string(value), line});
        return true;
      }
      for (const auto& [name, setting] : kRuleBlockKeys) {
        if (name != key) continue;
        block.*setting = {std::string(value), line};
        return true;
      }
    }
    return false;
  }

  std::string UnknownKeyMessage(std::string_view key) const {
    const std::string what = std::string(key);
    switch (FSection) {
      case TSection::None:
        return "Unknown section " + what;
      case TSection::Engine:
        return "Unknown key " + what + " of the engine";
      case TSection::Input:
        return "Unknown key " + what + " of input variable " + FDocument.Inputs.back().Name;
      case TSection::Output:
        return "Unknown key " + what + " of output variable " + FDocument.Outputs.back().Name;
      case TSection::RuleBlock:
        break;
    }
    return "Unknown key " + what + " of rule block " + FDocument.RuleBlocks.back().Name;
  }

  TDocument FDocument;
  TSection FSection = TSection::None;
};

}  // namespace

TDocument ReadDocument(std::string_view text) {
  return TDocumentReader().Read(text);
}

std::vector<std::string> SplitWords(std::string_view text) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i]))
      ++i;
    const size_t start = i;
    while (i < text.size() && !IsBlank(text[i]))
      ++i;
    if (i > start) words.emplace_back(text.substr(start, i - start));
  }
  return words;
}

std::optional<double> NumberOf(std::string_view word) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  if (word == "nan") return std::numeric_limits<double>::quiet_NaN();
  if (word == "inf") return kInfinity;
  if (word == "-inf") return -kInfinity;
  return TryStrToFloat(word);
}

}  // namespace tapwise::detail::fll
