#include "ControllerWriter.h"

#include <utility>
#include <vector>

#include "ControllerModel.h"
#include "ControllerParser.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/foundation/StringList.h"
#include "tapwise/language/FuzzyWriter.h"

namespace tapwise::detail {

namespace {

using writer::WordText;

// Lines end as the variables' writer ends them.
const std::string kBreak(TStringList::LineBreak);

std::string TestText(const TTermTest& test) {
  std::string text = "(" + WordText(test.Variable);
  for (const std::string& hedge : test.Hedges)
    text += " " + WordText(hedge);
  return text + " " + WordText(test.Term) + ")";
}

std::string AntecedentText(const TAntecedent& antecedent) {
  return antecedent.InfixText(TestText, {"not", "and", "or"});
}

void AppendOutput(std::string& text, const TControllerOutput& output) {
  text += "(defoutput " + WordText(output.Name);
  if (output.IsSugeno) {
    text += " (sugeno)";
    for (const TSugenoTerm& term : output.SugenoTerms) {
      text += kBreak + "  (term " + WordText(term.Name);
      if (term.Coefficients.empty()) {
        text += " (constant " + ExactFloatToStr(term.Constant) + "))";
        continue;
      }
      text += " (linear " + ExactFloatToStr(term.Constant);
      for (const TSugenoCoefficient& coefficient : term.Coefficients)
        text +=
            " (" + WordText(coefficient.Input) + " " + ExactFloatToStr(coefficient.Factor) + ")";
      text += "))";
    }
  } else if (output.Variable != output.Name) {
    text += " (variable " + WordText(output.Variable) + ")";
  }
  if (output.Default) text += " (default " + ExactFloatToStr(*output.Default) + ")";
  text += ")" + kBreak;
}

void AppendBlock(std::string& text, const TRuleBlock& block) {
  const TInferenceSettings& settings = block.Settings;
  text += "(defrules " + WordText(block.Name) + kBreak;
  text += "  (and " + std::string(SettingWord(settings.And)) + ") (or " +
          std::string(SettingWord(settings.Or)) + ") (implication " +
          std::string(SettingWord(settings.Implication)) + ") (aggregation " +
          std::string(SettingWord(settings.Aggregation)) + ")" + kBreak;
  text += "  (defuzzification " + std::string(SettingWord(settings.Defuzzification)) +
          ") (threshold " + ExactFloatToStr(settings.Threshold) + ")";
  if (settings.TermAggregation)
    text += " (termaggregation " + std::string(SettingWord(*settings.TermAggregation)) + ")";
  for (const TFuzzyRule& rule : block.Rules) {
    text +=
        kBreak + "  (rule " + WordText(rule.Name) + " (if " + AntecedentText(rule.If) + ") (then";
    for (const TTermTest& consequent : rule.Then)
      text += " " + TestText(consequent);
    text += ")";
    if (rule.Weight != 1) text += " (weight " + ExactFloatToStr(rule.Weight) + ")";
    text += ")";
  }
  text += ")" + kBreak;
}

}  // namespace

std::string ControllerText(const TControllerModel& model) {
  std::string text;
  const TFuzzyVariables& variables = model.GetLogic().GetFuzzyVariables();
  for (int i = 0; i < variables.GetCount(); ++i)
    text +=
        writer::FuzzyVariableText(*variables.GetVariable(i), writer::TNumberForm::Exact) + kBreak;
  for (const TControllerInput& input : model.GetInputs()) {
    text += "(definput " + WordText(input.Name);
    if (input.Spread > 0) text += " (spread " + ExactFloatToStr(input.Spread) + ")";
    text += ")" + kBreak;
  }
  for (const TControllerOutput& output : model.GetOutputs())
    AppendOutput(text, output);
  for (const TRuleBlock& block : model.GetBlocks())
    AppendBlock(text, block);
  return text;
}

}  // namespace tapwise::detail
