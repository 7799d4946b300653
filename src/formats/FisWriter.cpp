#include <array>
#include <cmath>
#include <limits>
#include <numeric>
#include <span>

#include "FisRules.h"
#include "FisTermShape.h"
#include "FisVocabulary.h"
#include "FormatCodecs.h"
#include "FormatWriting.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyVariable.h"

namespace tapwise::detail {

namespace {

using namespace fis;

EFzyException Refusal(const std::string& what) {
  return CannotHold("FIS", what);
}

// Names stand between single quotes on a line of their own.
const std::string& Quotable(const std::string& name, const std::string& what) {
  if (name.empty() || name.find_first_of("'\r\n") != std::string::npos)
    throw Refusal("the name of " + what + " \"" + name + "\"");
  return name;
}

std::string NumberList(std::span<const TFzyFloat> numbers) {
  std::string text = "[";
  for (size_t i = 0; i < numbers.size(); ++i)
    text += (i > 0 ? " " : "") + ExactFloatToStr(numbers[i]);
  return text + "]";
}

// A range whose middle is exactly `middle`, for a Sugeno output, which has none of its own.
std::pair<TFzyFloat, TFzyFloat> RangeAround(TFzyFloat middle) {
  if (middle == 0) return {-1, 1};
  if (std::fabs(middle) > std::numeric_limits<TFzyFloat>::max() / 2)
    throw Refusal("the default " + ExactFloatToStr(middle) + " as the middle of a range");
  return middle > 0 ? std::pair<TFzyFloat, TFzyFloat>{0, 2 * middle}
                    : std::pair<TFzyFloat, TFzyFloat>{2 * middle, 0};
}

class TFisWriter {
 public:
  explicit TFisWriter(const TFuzzyController& controller) : FController(controller) {}

  std::string Write() {
    const std::vector<TControllerOutput>& outputs = FController.GetOutputs();
    const std::vector<TRuleBlock>& blocks = FController.GetRuleBlocks();
    for (const TControllerOutput& output : outputs)
      if (output.IsSugeno != outputs.front().IsSugeno)
        throw Refusal("Mamdani and Sugeno outputs side by side (" + outputs.front().Name + ", " +
                      output.Name + ")");
    FSugeno = !outputs.empty() && outputs.front().IsSugeno;
    TInferenceSettings settings;
    if (FSugeno) settings.Defuzzification = TDefuzzification::WeightedAverage;
    if (!blocks.empty()) settings = blocks.front().Settings;
    for (const TRuleBlock& block : blocks)
      if (block.Settings != settings)
        throw Refusal("rule blocks " + blocks.front().Name + " and " + block.Name +
                      " with different settings");
    const std::string& name = blocks.empty() ? "fis" : blocks.front().Name;
    size_t rule_count = 0;
    for (const TRuleBlock& block : blocks)
      rule_count += block.Rules.size();

    FText = "[System]\nName='" + Quotable(name, "the system") + "'\nType='" +
            (FSugeno ? "sugeno" : "mamdani") + "'\nVersion=2.0\nNumInputs=" +
            IntToStr(static_cast<int64_t>(FController.GetInputs().size())) +
            "\nNumOutputs=" + IntToStr(static_cast<int64_t>(outputs.size())) +
            "\nNumRules=" + IntToStr(static_cast<int64_t>(rule_count)) + "\n";
    WriteMethods(settings, name);
    for (const TControllerInput& input : FController.GetInputs()) {
      if (input.Spread != 0) throw Refusal("the spread of input " + input.Name);
      WriteVariable("Input", input.Name, FController.GetVariable(input.Name), std::nullopt);
    }
    for (const TControllerOutput& output : outputs) {
      if (output.IsSugeno) {
        WriteSugenoOutput(output);
      } else {
        WriteVariable("Output", output.Name, FController.GetVariable(output.Variable),
                      output.Default);
      }
    }
    const std::span<const TVariableTerms> variables(FVariables);
    const size_t inputs = FController.GetInputs().size();
    const TRuleShape shape{variables.first(inputs), variables.subspan(inputs)};
    FText += "\n[Rules]\n";
    for (const TRuleBlock& block : blocks)
      for (const TFuzzyRule& rule : block.Rules)
        FText += RuleLine(rule, shape) + "\n";
    return std::move(FText);
  }

 private:
  void WriteMethods(const TInferenceSettings& settings, const std::string& block) {
    const std::string of_block = " of rule block " + block;
    if (settings.Threshold != 0)
      throw Refusal("the threshold " + ExactFloatToStr(settings.Threshold) + of_block);
    if (settings.TermAggregation) throw Refusal("the term aggregation" + of_block);
    const auto word = [&](const auto& words, auto meaning, const std::string& what) {
      if (const std::optional<std::string_view> found = WordOf(words, meaning))
        return std::string(*found);
      throw Refusal(what + " " + std::string(SettingWord(meaning)) + of_block);
    };
    FText += "AndMethod='" + word(kAndMethods, settings.And, "the AND") + "'\n";
    FText += "OrMethod='" + word(kOrMethods, settings.Or, "the OR") + "'\n";
    if (FSugeno) {
      // Every rule's value counts on its own, whatever the implication (it shapes no set).
      FText += std::string("ImpMethod='") +
               (settings.Implication == TImplication::Clip ? "min" : "prod") +
               "'\nAggMethod='sum'\n";
    } else {
      FText += "ImpMethod='" + word(kImpMethods, settings.Implication, "the implication") + "'\n";
      FText += "AggMethod='" + word(kAggMethods, settings.Aggregation, "the aggregation") + "'\n";
    }
    FText += "DefuzzMethod='" +
             word(kDefuzzMethods, settings.Defuzzification, "the defuzzification") + "'\n";
  }

  void WriteHeader(const std::string& section, const std::string& name, TFzyFloat min,
                   TFzyFloat max, size_t term_count) {
    const size_t number = section == "Input" ? FInputNumber++ : FOutputNumber++;
    FText += "\n[" + section + IntToStr(static_cast<int64_t>(number)) + "]\nName='" +
             Quotable(name, "a variable") + "'\nRange=" + NumberList(std::array{min, max}) +
             "\nNumMFs=" + IntToStr(static_cast<int64_t>(term_count)) + "\n";
    FVariables.push_back({name, {}});
  }

  void WriteTerm(const std::string& name, const std::string& owner, std::string_view type,
                 std::span<const TFzyFloat> parameters) {
    std::vector<std::string>& terms = FVariables.back().Terms;
    terms.push_back(name);
    FText += "MF" + IntToStr(static_cast<int64_t>(terms.size())) + "='" +
             Quotable(name, "a term of " + owner) + "':'" + std::string(type) + "'," +
             NumberList(parameters) + "\n";
  }

  void WriteVariable(const std::string& section, const std::string& name,
                     const TFuzzyVariable& variable, const std::optional<TFzyFloat>& fallback) {
    const TFzyFloat min = variable.GetMinimum();
    const TFzyFloat max = variable.GetMaximum();
    if (!(min < max)) throw Refusal("the range of " + name + " (it is empty)");
    const TFzyFloat middle = std::midpoint(min, max);
    if (fallback && *fallback != middle)
      throw Refusal("the default " + ExactFloatToStr(*fallback) + " of output " + name +
                    " (a FIS output answers " + ExactFloatToStr(middle) +
                    ", the middle of its range, when no rule fires)");
    const TFuzzySets& terms = variable.GetItems();
    WriteHeader(section, name, min, max, static_cast<size_t>(terms.GetCount()));
    for (int i = 0; i < terms.GetCount(); ++i) {
      const TFuzzySet& term = *terms.GetSet(i);
      std::optional<TMembershipShape> shape =
          FController.FindTermShape(variable.GetName(), term.GetName());
      if (!shape || !WordOf(kMembershipFunctions, shape->Kind))
        shape = LinearShapeOf(term, min, max);
      if (!shape)
        throw Refusal("term " + term.GetName() + " of " + name + ": a list of " +
                      IntToStr(term.GetCount()) + " points");
      WriteTerm(term.GetName(), name, *WordOf(kMembershipFunctions, shape->Kind),
                shape->Parameters);
    }
  }

  void WriteSugenoOutput(const TControllerOutput& output) {
    const auto [min, max] =
        output.Default ? RangeAround(*output.Default) : std::pair<TFzyFloat, TFzyFloat>{0, 1};
    WriteHeader("Output", output.Name, min, max, output.SugenoTerms.size());
    const std::vector<TControllerInput>& inputs = FController.GetInputs();
    for (const TSugenoTerm& term : output.SugenoTerms) {
      if (term.Coefficients.empty()) {
        WriteTerm(term.Name, output.Name, "constant", std::array{term.Constant});
        continue;
      }
      std::vector<TFzyFloat> parameters(inputs.size() + 1, 0);
      for (const TSugenoCoefficient& coefficient : term.Coefficients)
        for (size_t i = 0; i < inputs.size(); ++i)
          if (inputs[i].Name == coefficient.Input) parameters[i] += coefficient.Factor;
      parameters.back() = term.Constant;
      WriteTerm(term.Name, output.Name, "linear", parameters);
    }
  }

  const TFuzzyController& FController;
  bool FSugeno = false;
  std::string FText;
  size_t FInputNumber = 1;
  size_t FOutputNumber = 1;
  // The inputs', then the outputs' names and term names, as written.
  std::vector<TVariableTerms> FVariables;
};

}  // namespace

std::string WriteFis(const TFuzzyController& controller) {
  return TFisWriter(controller).Write();
}

}  // namespace tapwise::detail
