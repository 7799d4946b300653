// fuzzylite's language (FLL) read into a controller. fuzzylite keeps the aggregation and the
// defuzzifier on each output and the operators on each rule block; a block of the library
// carries both, so a block takes them from the outputs its rules conclude, which must agree.

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include "FllDocument.h"
#include "FllRules.h"
#include "FllTerms.h"
#include "FllWords.h"
#include "FormatCodecs.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyVariable.h"

namespace tapwise::detail {

namespace {

using fll::kAggregations;
using fll::kConjunctions;
using fll::kDefuzzifiers;
using fll::kDisjunctions;
using fll::kImplications;
using fll::TDocument;
using fll::TRuleBlockSection;
using fll::TSetting;
using fll::TVariableSection;
using fll::TWordTable;

// The value `setting` names in `table`; none for "none" or a setting not given.
template <class Value, size_t Count>
std::optional<Value> Lookup(const TWordTable<Value, Count>& table, const TSetting& setting,
                            std::string_view what) {
  if (!setting.IsGiven() || setting.Value == "none") return std::nullopt;
  for (const auto& [word, value] : table)
    if (word == setting.Value) return value;
  throw EFzyParseException("Unsupported " + std::string(what) + " " + setting.Value, setting.Line);
}

bool IsTrue(const TSetting& setting, std::string_view what, std::string_view owner) {
  if (!setting.IsGiven() || setting.Value == "false") return false;
  if (setting.Value == "true") return true;
  throw EFzyParseException("Expected true or false for " + std::string(what) + " of " +
                               std::string(owner) + ", found \"" + setting.Value + "\"",
                           setting.Line);
}

// Runs `action`, giving a failure of the controller underneath the line it concerns.
template <class Action>
void AtLine(int line, Action&& action) {
  try {
    action();
  } catch (const EFzyParseException&) {
    throw;
  } catch (const Exception& error) {
    throw EFzyParseException(error.what(), line);
  }
}

// What the reader knows of an output beyond the controller's own description.
struct TOutputPlan {
  const TVariableSection* Section = nullptr;
  bool IsSugeno = false;
  std::optional<TAggregation> Aggregation;
  std::optional<TDefuzzification> Defuzzification;
  /// The rule block whose rules conclude the output, once one does.
  std::string Block;
};

class TFllReader {
 public:
  TFuzzyController Read(std::string_view text) {
    const TDocument document = fll::ReadDocument(text);
    for (const TVariableSection& input : document.Inputs)
      AddInput(input);
    for (const TVariableSection& output : document.Outputs)
      AddOutput(output);
    int number = 0;
    for (const TRuleBlockSection& block : document.RuleBlocks)
      AddRuleBlock(block, ++number);
    return std::move(FController);
  }

 private:
  // The name of an enabled variable taken by `section`.
  void Declare(const TVariableSection& section, const std::string& owner) {
    if (IsFalse(section.Enabled, owner))
      throw EFzyParseException("Unsupported disabled " + owner, section.Enabled.Line);
    for (const std::string& known : FVariables)
      if (known == section.Name)
        throw EFzyParseException("Variable " + section.Name + " is defined twice", section.Line);
    FVariables.push_back(section.Name);
  }

  void AddVariable(const TVariableSection& section, std::string_view role) {
    const std::string owner = std::string(role) + " variable " + section.Name;
    Declare(section, owner);
    if (!section.Range.IsGiven())
      throw EFzyParseException("The " + owner + " has no range", section.Line);
    const std::vector<std::string> words = fll::SplitWords(section.Range.Value);
    std::optional<double> min = words.size() == 2 ? fll::NumberOf(words[0]) : std::nullopt;
    std::optional<double> max = words.size() == 2 ? fll::NumberOf(words[1]) : std::nullopt;
    if (!min || !max)
      throw EFzyParseException("Expected two numbers for the range of " + section.Name +
                                   ", found \"" + section.Range.Value + "\"",
                               section.Range.Line);
    // Checked here as well: a reversed or infinite range must not reach the variable.
    if (!(*min < *max) || !std::isfinite(*min) || !std::isfinite(*max))
      throw EFzyParseException("Unsupported range " + section.Range.Value + " of " + section.Name,
                               section.Range.Line);
    AtLine(section.Line, [&] { FController.AddVariable(section.Name, *min, *max); });
  }

  bool IsFalse(const TSetting& enabled, const std::string& owner) const {
    return enabled.IsGiven() && !IsTrue(enabled, "enabled", owner);
  }

  void AddShapedTerms(const TVariableSection& section) {
    for (const fll::TTermLine& term : section.Terms) {
      const TMembershipShape shape = fll::ShapeOfTerm(term, section.Name);
      AtLine(term.Line, [&] { FController.AddTerm(section.Name, term.Name, shape); });
    }
  }

  void AddInput(const TVariableSection& section) {
    AddVariable(section, "input");
    // lock-range only matters for values beyond the range, which the library always reads
    // at the nearer bound: either way the file is read alike.
    IsTrue(section.LockRange, "lock-range", section.Name);
    AddShapedTerms(section);
    AtLine(section.Line, [&] { FController.AddInput({section.Name, 0}); });
    FInputs.push_back(&section);
    FInputNames.push_back(section.Name);
  }

  void AddOutput(const TVariableSection& section) {
    TOutputPlan plan;
    plan.Section = &section;
    const std::vector<std::string> defuzzifier = fll::SplitWords(section.Defuzzifier.Value);
    if (!defuzzifier.empty()) {
      plan.Defuzzification =
          Lookup(kDefuzzifiers, {defuzzifier[0], section.Defuzzifier.Line}, "defuzzifier");
      // WeightedAverage and WeightedSum name their type; Tsukamoto is no Takagi-Sugeno.
      if (defuzzifier.size() > 1 && plan.Defuzzification &&
          IsSugenoDefuzzification(*plan.Defuzzification) && defuzzifier[1] != "TakagiSugeno" &&
          defuzzifier[1] != "Automatic")
        throw EFzyParseException("Unsupported defuzzifier " + section.Defuzzifier.Value,
                                 section.Defuzzifier.Line);
    }
    plan.Aggregation = Lookup(kAggregations, section.Aggregation, "aggregation");
    plan.IsSugeno = plan.Defuzzification
                        ? IsSugenoDefuzzification(*plan.Defuzzification)
                        : !section.Terms.empty() && fll::IsSugenoKind(section.Terms.front().Kind);
    if (IsTrue(section.LockPrevious, "lock-previous", section.Name))
      throw EFzyParseException("Unsupported lock-previous of output " + section.Name,
                               section.LockPrevious.Line);
    TControllerOutput output{section.Name, section.Name, std::nullopt, plan.IsSugeno, {}};
    if (section.Default.IsGiven()) {
      const std::optional<double> value = fll::NumberOf(section.Default.Value);
      if (!value)
        throw EFzyParseException("Expected a number for the default of " + section.Name +
                                     ", found \"" + section.Default.Value + "\"",
                                 section.Default.Line);
      if (!std::isnan(*value)) output.Default = *value;
    }
    const bool locked = IsTrue(section.LockRange, "lock-range", section.Name);
    if (plan.IsSugeno) {
      // A Takagi-Sugeno value may leave the range, and locking would clamp it; a Mamdani
      // value never leaves it.
      if (locked)
        throw EFzyParseException(
            "Unsupported lock-range of the Takagi-Sugeno output " + section.Name,
            section.LockRange.Line);
      Declare(section, "output variable " + section.Name);
      for (const fll::TTermLine& term : section.Terms)
        output.SugenoTerms.push_back(fll::SugenoTermOf(term, section.Name, FInputNames));
    } else {
      AddVariable(section, "output");
      AddShapedTerms(section);
      // fuzzylite locks the default as well.
      const TFuzzyVariable& variable = FController.GetVariable(section.Name);
      if (locked && output.Default)
        output.Default = std::clamp(*output.Default, variable.GetMinimum(), variable.GetMaximum());
    }
    AtLine(section.Line, [&] { FController.AddOutput(std::move(output)); });
    FOutputs.push_back(plan);
  }

  void AddRuleBlock(const TRuleBlockSection& section, int number) {
    TRuleBlock block;
    block.Name = section.Name.empty() ? "block" + std::to_string(number) : section.Name;
    const auto conjunction = Lookup(kConjunctions, section.Conjunction, "conjunction");
    const auto disjunction = Lookup(kDisjunctions, section.Disjunction, "disjunction");
    const auto implication = Lookup(kImplications, section.Implication, "implication");
    block.Settings.And = conjunction.value_or(foZadeh);
    block.Settings.Or = disjunction.value_or(foZadeh);
    block.Settings.Implication = implication.value_or(TImplication::Clip);
    block.Settings.Threshold = Threshold(section.Activation);
    // fuzzylite leaves a disabled block out of every run; its rules must still read.
    const bool enabled = !IsFalse(section.Enabled, "rule block " + block.Name);
    const TOutputPlan* first = nullptr;
    for (const fll::TRuleLine& line : section.Rules) {
      TFuzzyRule rule =
          fll::ReadRule(line.Text, "rule" + std::to_string(block.Rules.size() + 1), line.Line);
      if (!enabled) continue;
      const auto& steps = rule.If.GetSteps();
      const auto needs = [&](TAntecedent::TStep step, bool given, std::string_view what) {
        if (!given && std::find(steps.begin(), steps.end(), step) != steps.end())
          throw EFzyParseException("Rule block " + block.Name + " has no " + std::string(what) +
                                       " for rule \"" + line.Text + "\"",
                                   line.Line);
      };
      needs(TAntecedent::TStep::And, conjunction.has_value(), "conjunction");
      needs(TAntecedent::TStep::Or, disjunction.has_value(), "disjunction");
      CheckTests(rule, line);
      for (const TTermTest& consequent : rule.Then) {
        TOutputPlan& output = ConcludedOutput(consequent, line);
        if (!output.Block.empty() && output.Block != block.Name)
          throw EFzyParseException("Unsupported output " + consequent.Variable +
                                       " of two rule blocks, " + output.Block + " and " +
                                       block.Name,
                                   line.Line);
        output.Block = block.Name;
        CheckOutput(output, block.Name, implication.has_value(), line.Line);
        if (first == nullptr) first = &output;
        CheckAlike(*first, output, block.Name, line.Line);
      }
      if (!(rule.Weight >= 0 && rule.Weight <= 1))
        throw EFzyParseException(
            "Unsupported weight " + ExactFloatToStr(rule.Weight) + " of rule \"" + line.Text + "\"",
            line.Line);
      block.Rules.push_back(std::move(rule));
    }
    if (!enabled) return;
    if (first != nullptr) {
      block.Settings.Defuzzification = *first->Defuzzification;
      if (!first->IsSugeno) block.Settings.Aggregation = *first->Aggregation;
    }
    AtLine(section.Line, [&] { FController.AddRuleBlock(std::move(block)); });
  }

  // The controller would refuse these as well, but without the rule's line.
  void CheckTests(const TFuzzyRule& rule, const fll::TRuleLine& line) const {
    for (const TTermTest& test : rule.If.GetTests()) {
      const TVariableSection* input = FindSection(FInputs, test.Variable);
      if (input == nullptr)
        throw EFzyParseException(
            "Unknown input variable " + test.Variable + " in rule \"" + line.Text + "\"",
            line.Line);
      CheckTerm(*input, test.Term, line);
    }
  }

  TOutputPlan& ConcludedOutput(const TTermTest& consequent, const fll::TRuleLine& line) {
    for (TOutputPlan& output : FOutputs) {
      if (output.Section->Name != consequent.Variable) continue;
      CheckTerm(*output.Section, consequent.Term, line);
      // fuzzylite applies a consequent's hedges to the rule's strength, the library to the
      // term's set.
      if (!consequent.Hedges.empty())
        throw EFzyParseException("Unsupported hedge on the output " + consequent.Variable +
                                     " in rule \"" + line.Text + "\"",
                                 line.Line);
      return output;
    }
    throw EFzyParseException(
        "Unknown output variable " + consequent.Variable + " in rule \"" + line.Text + "\"",
        line.Line);
  }

  static void CheckTerm(const TVariableSection& variable, std::string_view term,
                        const fll::TRuleLine& line) {
    for (const fll::TTermLine& known : variable.Terms)
      if (known.Name == term) return;
    throw EFzyParseException("Unknown term " + std::string(term) + " of " + variable.Name +
                                 " in rule \"" + line.Text + "\"",
                             line.Line);
  }

  static const TVariableSection* FindSection(const std::vector<const TVariableSection*>& sections,
                                             std::string_view name) {
    for (const TVariableSection* section : sections)
      if (section->Name == name) return section;
    return nullptr;
  }

  static void CheckOutput(const TOutputPlan& output, const std::string& block, bool implication,
                          int line) {
    const std::string& name = output.Section->Name;
    if (!output.Defuzzification)
      throw EFzyParseException("Output " + name + " has no defuzzifier", line);
    if (output.IsSugeno) return;
    if (!output.Aggregation)
      throw EFzyParseException("Output " + name + " has no aggregation", line);
    if (!implication)
      throw EFzyParseException("Rule block " + block + " has no implication for the output " + name,
                               line);
  }

  static void CheckAlike(const TOutputPlan& first, const TOutputPlan& other,
                         const std::string& block, int line) {
    const auto mix = [&](std::string_view what, const TSetting& a, const TSetting& b) {
      throw EFzyParseException("Unsupported mix of " + std::string(what) + "s in rule block " +
                                   block + ": " + a.Value + " for " + first.Section->Name + ", " +
                                   b.Value + " for " + other.Section->Name,
                               line);
    };
    if (first.Defuzzification != other.Defuzzification)
      mix("defuzzifier", first.Section->Defuzzifier, other.Section->Defuzzifier);
    if (!first.IsSugeno && first.Aggregation != other.Aggregation)
      mix("aggregation", first.Section->Aggregation, other.Section->Aggregation);
  }

  // fuzzylite's General activation fires every rule of positive strength; a Threshold
  // "at least" comparison is the library's threshold.
  static TFzyFloat Threshold(const TSetting& activation) {
    const std::vector<std::string> words = fll::SplitWords(activation.Value);
    if (words.empty() || words == std::vector<std::string>{"General"} ||
        words == std::vector<std::string>{"none"})
      return 0;
    if (words.size() == 3 && words[0] == "Threshold") {
      const std::optional<double> value = fll::NumberOf(words[2]);
      if (value && *value >= 0 && *value <= 1) {
        if (words[1] == ">=") return *value;
        if (words[1] == ">" && *value == 0) return 0;
      }
    }
    throw EFzyParseException("Unsupported activation " + activation.Value, activation.Line);
  }

  TFuzzyController FController;
  std::vector<std::string> FVariables;
  std::vector<const TVariableSection*> FInputs;
  std::vector<std::string> FInputNames;
  std::vector<TOutputPlan> FOutputs;
};

}  // namespace

TFuzzyController ReadFll(const std::string& text) {
  return TFllReader().Read(text);
}

}  // namespace tapwise::detail
