#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An FLL file as it is written: its sections and their "key: value" lines, each with the
// line it came from, before anything is mapped onto a controller. Reading the document
// checks only what the file's layout demands (known sections and keys; a key given again
// replaces the earlier value, as fuzzylite reads it); what the values mean is the reader's
// concern (FllReader.cpp).

namespace tapwise::detail::fll {

/// One "key: value" of a section; `Line` 0 when the file does not give it.
struct TSetting {
  std::string Value;
  int Line = 0;

  bool IsGiven() const { return Line > 0; }
};

/// "term: NAME KIND PARAMETERS..."
struct TTermLine {
  std::string Name;
  std::string Kind;
  std::vector<std::string> Parameters;
  int Line = 0;
};

/// An InputVariable or OutputVariable section. The output-only keys stay not given for an
/// input (the document refuses them there).
struct TVariableSection {
  std::string Name;
  int Line = 0;
  TSetting Enabled;
  TSetting Range;
  TSetting LockRange;
  TSetting Aggregation;
  TSetting Defuzzifier;
  TSetting Default;
  TSetting LockPrevious;
  std::vector<TTermLine> Terms;
};

/// "rule: TEXT"
struct TRuleLine {
  std::string Text;
  int Line = 0;
};

struct TRuleBlockSection {
  std::string Name;
  int Line = 0;
  TSetting Enabled;
  TSetting Conjunction;
  TSetting Disjunction;
  TSetting Implication;
  TSetting Activation;
  std::vector<TRuleLine> Rules;
};

struct TDocument {
  std::vector<TVariableSection> Inputs;
  std::vector<TVariableSection> Outputs;
  std::vector<TRuleBlockSection> RuleBlocks;
};

/// The sections of `text`; EFzyParseException with the line for a line that is no
/// "key: value" or a key its section does not have.
TDocument ReadDocument(std::string_view text);

/// The words of `text` between blanks.
std::vector<std::string> SplitWords(std::string_view text);

/// The number `word` writes: a decimal, "nan", "inf" or "-inf" (as fuzzylite writes them);
/// none for other text.
std::optional<double> NumberOf(std::string_view word);

}  // namespace tapwise::detail::fll
