#include "FisRules.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise::detail::fis {

namespace {

constexpr std::string_view kSeparators = " \t,";

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  size_t position = 0;
  while ((position = text.find_first_not_of(kSeparators, position)) != std::string_view::npos) {
    const size_t end = std::min(text.find_first_of(kSeparators, position), text.size());
    words.push_back(text.substr(position, end - position));
    position = end;
  }
  return words;
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

class TRuleReader {
 public:
  TRuleReader(const TEntry& entry, const std::string& name, const TRuleShape& shape)
      : FEntry(entry), FName(name), FShape(shape) {}

  TFuzzyRule Read() {
    const std::string_view text = FEntry.Value;
    const size_t colon = text.rfind(':');
    const size_t open = text.find('(');
    const size_t close = text.find(')');
    if (colon == std::string_view::npos) throw Fail("expected \": 1\" or \": 2\" at the end");
    if (open == std::string_view::npos || close == std::string_view::npos || close < open ||
        close > colon || !IsBlank(text.substr(close + 1, colon - close - 1)))
      throw Fail("expected the weight in parentheses before the colon");
    const std::optional<double> weight = TryStrToFloat(text.substr(open + 1, close - open - 1));
    if (!weight) throw Fail("the weight is not a number");
    if (!(*weight >= 0 && *weight <= 1))
      throw EFzyParseException(Format(messages::kRuleWeightOutOfRange, FloatToStr(*weight), FName),
                               FEntry.Line);
    const std::optional<int64_t> connection = TryStrToInt(text.substr(colon + 1));
    if (connection != 1 && connection != 2) throw Fail("the tests join by 1 (AND) or 2 (OR)");

    const std::string_view numbers = text.substr(0, open);
    const std::vector<std::string_view> words = Words(numbers);
    const size_t inputs = FShape.Inputs.size();
    const size_t comma = numbers.find(',');
    if (words.size() != inputs + FShape.Outputs.size() ||
        (comma != std::string_view::npos &&
         (numbers.find(',', comma + 1) != std::string_view::npos ||
          Words(numbers.substr(0, comma)).size() != inputs)))
      throw Fail("expected " + IntToStr(static_cast<int64_t>(inputs)) +
                 " input numbers, a comma, " +
                 IntToStr(static_cast<int64_t>(FShape.Outputs.size())) + " output numbers");

    std::optional<TAntecedent> condition;
    for (size_t i = 0; i < inputs; ++i) {
      const int64_t index = TermNumber(words[i], FShape.Inputs[i], "input");
      if (index == 0) continue;
      TAntecedent test = TAntecedent::Is(FShape.Inputs[i].Name, TermName(FShape.Inputs[i], index));
      if (index < 0) test = !std::move(test);
      if (!condition) {
        condition = std::move(test);
      } else if (connection == 1) {
        condition = std::move(*condition) && std::move(test);
      } else {
        condition = std::move(*condition) || std::move(test);
      }
    }
    if (!condition) throw EFzyParseException("Rule " + FName + " tests no input", FEntry.Line);
    std::vector<TTermTest> consequents;
    for (size_t o = 0; o < FShape.Outputs.size(); ++o) {
      const TVariableTerms& output = FShape.Outputs[o];
      const int64_t index = TermNumber(words[inputs + o], output, "output");
      if (index < 0)
        throw EFzyParseException("Unsupported negated consequent " +
                                     std::string(words[inputs + o]) + " in rule " + FName,
                                 FEntry.Line);
      if (index > 0) consequents.emplace_back(output.Name, TermName(output, index));
    }
    if (consequents.empty())
      throw EFzyParseException("Rule " + FName + " concludes no output", FEntry.Line);
    return TFuzzyRule(FName, std::move(*condition), std::move(consequents), *weight);
  }

 private:
  EFzyParseException Fail(const std::string& what) const {
    return EFzyParseException("Cannot read rule " + FName + " (" + FEntry.Value + "): " + what,
                              FEntry.Line);
  }

  // The term number `word` gives, within the variable's terms.
  int64_t TermNumber(std::string_view word, const TVariableTerms& variable,
                     std::string_view kind) const {
    std::optional<int64_t> index = TryStrToInt(word);
    if (!index) {
      // Octave writes a hedge as the fraction of a term number ("2.2" is "very" term 2).
      const std::optional<double> number = TryStrToFloat(word);
      if (!number) throw Fail(std::string(word) + " is not a term number");
      throw EFzyParseException("Unsupported hedge " + std::string(word) + " in rule " + FName,
                               FEntry.Line);
    }
    const auto count = static_cast<int64_t>(variable.Terms.size());
    if (*index > count || *index < -count)
      throw EFzyParseException("Rule " + FName + " names term " + std::string(word) + " of " +
                                   std::string(kind) + " " + variable.Name + ", which has " +
                                   IntToStr(count),
                               FEntry.Line);
    return *index;
  }

  static const std::string& TermName(const TVariableTerms& variable, int64_t index) {
    return variable.Terms[static_cast<size_t>(std::abs(index)) - 1];
  }

  const TEntry& FEntry;
  const std::string& FName;
  const TRuleShape& FShape;
};

// The number of `term` within `variables` as a rule line counts it, with the variable's place.
struct TPlace {
  size_t Variable = 0;
  int64_t Term = 0;
};

std::optional<TPlace> PlaceOf(std::span<const TVariableTerms> variables, const TTermTest& test) {
  for (size_t v = 0; v < variables.size(); ++v) {
    if (variables[v].Name != test.Variable) continue;
    const auto& terms = variables[v].Terms;
    const auto found = std::find(terms.begin(), terms.end(), test.Term);
    if (found == terms.end()) return std::nullopt;
    return TPlace{v, found - terms.begin() + 1};
  }
  return std::nullopt;
}

}  // namespace

TFuzzyRule ReadRule(const TEntry& entry, const std::string& name, const TRuleShape& shape) {
  return TRuleReader(entry, name, shape).Read();
}

std::string RuleLine(const TFuzzyRule& rule, const TRuleShape& shape) {
  const auto refuse = [&](const std::string& why) {
    return EFzyException("FIS cannot hold rule " + rule.Name + ": " + why);
  };
  std::vector<int64_t> numbers(shape.Inputs.size() + shape.Outputs.size(), 0);
  const auto place = [&](std::span<const TVariableTerms> variables, size_t offset,
                         const TTermTest& test, bool negated) {
    if (!test.Hedges.empty())
      throw refuse("it puts the hedge " + test.Hedges.front() + " on " + test.Variable);
    const std::optional<TPlace> found = PlaceOf(variables, test);
    if (!found) throw refuse(test.Variable + " is not one of its variables");
    int64_t& number = numbers[offset + found->Variable];
    if (number != 0) throw refuse("it names " + test.Variable + " twice");
    number = negated ? -found->Term : found->Term;
  };
  const std::vector<TAntecedent::TStep>& steps = rule.If.GetSteps();
  std::optional<TAntecedent::TStep> join;
  size_t test = 0;
  for (size_t s = 0; s < steps.size(); ++s) {
    if (steps[s] == TAntecedent::TStep::Test) {
      const bool negated = s + 1 < steps.size() && steps[s + 1] == TAntecedent::TStep::Not;
      place(shape.Inputs, 0, rule.If.GetTests()[test++], negated);
      if (negated) ++s;
    } else if (steps[s] == TAntecedent::TStep::Not) {
      throw refuse("it negates more than one test");
    } else if (join && *join != steps[s]) {
      throw refuse("it mixes AND and OR");
    } else {
      join = steps[s];
    }
  }
  for (const TTermTest& consequent : rule.Then)
    place(shape.Outputs, shape.Inputs.size(), consequent, false);
  std::string line;
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) line += i == shape.Inputs.size() ? ", " : " ";
    line += IntToStr(numbers[i]);
  }
  const bool joined_by_or = join == TAntecedent::TStep::Or;
  return line + " (" + ExactFloatToStr(rule.Weight) + ") : " + (joined_by_or ? "2" : "1");
}

}  // namespace tapwise::detail::fis
