// A controller as standard FCL: every term a point list (Sugeno constants singletons under
// COGS), keywords in upper case, numbers that read back bit for bit. What FCL cannot say is
// refused, never approximated.

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#include "FclWords.h"
#include "FormatCodecs.h"
#include "FormatWriting.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzyVariable.h"

namespace tapwise::detail {

namespace {

[[noreturn]] void Refuse(const std::string& what) {
  throw CannotHold("FCL", what);
}

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// A name as the reader reads it back: one word that does not start as a number, no keyword
// (rule names may also be whole numbers, as the standard numbers its rules).
const std::string& Name(const std::string& name, const std::string& what, bool number_too = false) {
  const bool all_digits = !name.empty() && std::all_of(name.begin(), name.end(),
                                                       [](char c) { return c >= '0' && c <= '9'; });
  const bool word = !name.empty() && std::all_of(name.begin(), name.end(), IsWordChar) &&
                    !(name[0] >= '0' && name[0] <= '9') && !IsFclKeyword(name);
  if (!word && !(number_too && all_digits)) Refuse("the name \"" + name + "\" of " + what);
  return name;
}

std::string Number(TFzyFloat value) {
  return ExactFloatToStr(value);
}

class TFclWriter {
 public:
  explicit TFclWriter(const TFuzzyController& controller) : FController(controller) {}

  std::string Write() {
    FText = "FUNCTION_BLOCK controller\n\nVAR_INPUT\n";
    for (const TControllerInput& input : FController.GetInputs())
      FText += "  " + Name(input.Name, "an input") + " : REAL;\n";
    FText += "END_VAR\n\nVAR_OUTPUT\n";
    for (const TControllerOutput& output : FController.GetOutputs())
      FText += "  " + Name(output.Name, "an output") + " : REAL;\n";
    FText += "END_VAR\n";
    for (const TControllerInput& input : FController.GetInputs())
      WriteInput(input);
    for (const TControllerOutput& output : FController.GetOutputs())
      WriteOutput(output);
    for (const TRuleBlock& block : FController.GetRuleBlocks())
      WriteRuleBlock(block);
    FText += "\nEND_FUNCTION_BLOCK\n";
    return std::move(FText);
  }

 private:
  void WriteTerms(const TFuzzyVariable& variable, const std::string& owner) {
    const TFuzzySets& terms = variable.GetItems();
    for (int i = 0; i < terms.GetCount(); ++i) {
      const TFuzzySet& term = *terms.GetSet(i);
      const std::string what = "term " + term.GetName() + " of " + owner;
      if (term.GetCount() == 0) Refuse(what + ": a term without points");
      FText += "  TERM " + Name(term.GetName(), owner) + " :=";
      for (int k = 0; k < term.GetCount(); ++k)
        FText += " (" + Number(term.GetX(k)) + ", " + Number(term.GetY(k)) + ")";
      FText += ";\n";
    }
    FText += "  RANGE := (" + Number(variable.GetMinimum()) + " .. " +
             Number(variable.GetMaximum()) + ");\n";
  }

  void WriteInput(const TControllerInput& input) {
    if (input.Spread != 0) Refuse("input " + input.Name + ": a spread of " + Number(input.Spread));
    FText += "\nFUZZIFY " + input.Name + "\n";
    WriteTerms(FController.GetVariable(input.Name), input.Name);
    FText += "END_FUZZIFY\n";
  }

  void WriteOutput(const TControllerOutput& output) {
    FText += "\nDEFUZZIFY " + output.Name + "\n";
    const TRuleBlock* block = DrivingBlock(FController, output.Name);
    TDefuzzification method =
        output.IsSugeno ? TDefuzzification::WeightedAverage : TDefuzzification::CenterOfGravity;
    if (block != nullptr) method = block->Settings.Defuzzification;
    if (output.IsSugeno) {
      for (const TSugenoTerm& term : output.SugenoTerms) {
        if (!term.Coefficients.empty())
          Refuse("term " + term.Name + " of " + output.Name + ": a linear Sugeno term");
        FText += "  TERM " + Name(term.Name, output.Name) + " := " + Number(term.Constant) + ";\n";
      }
    } else {
      WriteTerms(FController.GetVariable(output.Variable), output.Name);
    }
    FText += "  METHOD : " + std::string(*FclWordOf(kFclMethodWords, method)) + ";\n";
    if (output.Default) FText += "  DEFAULT := " + Number(*output.Default) + ";\n";
    FText += "END_DEFUZZIFY\n";
  }

  void WriteRuleBlock(const TRuleBlock& block) {
    const TInferenceSettings& settings = block.Settings;
    const std::string what = "rule block " + block.Name;
    if (settings.Threshold != 0) Refuse(what + ": a threshold of " + Number(settings.Threshold));
    const auto and_word = FclWordOf(kFclAndWords, settings.And);
    if (!and_word)
      Refuse(what + ": AND of the " + std::string(SettingWord(settings.And)) + " family");
    const auto or_word = FclWordOf(kFclOrWords, settings.Or);
    if (!or_word) Refuse(what + ": OR of the " + std::string(SettingWord(settings.Or)) + " family");
    const auto act_word = FclWordOf(kFclActivationWords, settings.Implication);
    if (!act_word)
      Refuse(what + ": the " + std::string(SettingWord(settings.Implication)) + " implication");
    // Without a per-term aggregation every rule counts on its own, which is what summing the
    // strengths of each term first gives too.
    const TAggregation accumulation = IsSugenoDefuzzification(settings.Defuzzification)
                                          ? settings.TermAggregation.value_or(TAggregation::Sum)
                                          : settings.Aggregation;
    FText += "\nRULEBLOCK " + Name(block.Name, "a rule block") +
             "\n  AND : " + std::string(*and_word) + ";\n  OR : " + std::string(*or_word) +
             ";\n  ACT : " + std::string(*act_word) +
             ";\n  ACCU : " + std::string(*FclWordOf(kFclAccumulationWords, accumulation)) + ";\n";
    for (const TFuzzyRule& rule : block.Rules) {
      FText += "  RULE " + Name(rule.Name, what, true) + " : IF " + Condition(rule) + " THEN ";
      for (size_t i = 0; i < rule.Then.size(); ++i)
        FText += (i > 0 ? ", " : "") + Test(rule.Then[i], rule);
      if (rule.Weight != 1) FText += " WITH " + Number(rule.Weight);
      FText += ";\n";
    }
    FText += "END_RULEBLOCK\n";
  }

  // "variable IS [NOT] [hedge...] term"; the library's "not" hedge is FCL's NOT when it
  // comes first.
  static std::string Test(const TTermTest& test, const TFuzzyRule& rule) {
    std::string text = Name(test.Variable, "rule " + rule.Name) + " IS";
    for (size_t i = 0; i < test.Hedges.size(); ++i) {
      const std::string& hedge = test.Hedges[i];
      std::optional<std::string_view> word = FclWordOf(kFclHedgeWords, std::string_view(hedge));
      if (hedge == "not" && i == 0) word = "NOT";
      if (!word) Refuse("the hedge " + hedge + " of rule " + rule.Name);
      text += " " + std::string(*word);
    }
    return text + " " + Name(test.Term, "rule " + rule.Name);
  }

  static std::string Condition(const TFuzzyRule& rule) {
    return rule.If.InfixText([&rule](const TTermTest& test) { return Test(test, rule); },
                             {"NOT", "AND", "OR"});
  }

  const TFuzzyController& FController;
  std::string FText;
};

}  // namespace

std::string WriteFcl(const TFuzzyController& controller) {
  return TFclWriter(controller).Write();
}

}  // namespace tapwise::detail
