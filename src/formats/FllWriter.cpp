// A controller as fuzzylite 6 reads it: every variable enabled, inputs locked to their range
// (the library reads a value beyond it at the nearer bound), terms by their shape where they
// have one, otherwise as the triangle or trapezoid their points draw, otherwise as the points
// themselves (Discrete). Numbers read back bit for bit. What FLL cannot say is refused,
// never approximated.

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FisTermShape.h"
#include "FllWords.h"
#include "FormatCodecs.h"
#include "FormatWriting.h"
#include "FuzzyliteShapes.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzyVariable.h"

namespace tapwise::detail {

namespace {

using fll::FllWordOf;

// What fuzzylite writes a Mamdani defuzzifier's sampling with; the library ignores it.
constexpr std::string_view kResolution = "100";

[[noreturn]] void Refuse(const std::string& what) {
  throw CannotHold("FLL", what);
}

// A name as fuzzylite keeps it (letters, digits, "_" and ".") that no rule reads as one of
// its words.
const std::string& Name(const std::string& name, const std::string& what) {
  static constexpr std::string_view kRuleWords[] = {"if",   "then",      "and",    "or",
                                                    "with", "is",        "not",    "somewhat",
                                                    "very", "extremely", "seldom", "any"};
  const bool word = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '.';
  });
  if (!word ||
      std::find(std::begin(kRuleWords), std::end(kRuleWords), name) != std::end(kRuleWords))
    Refuse("the name \"" + name + "\" of " + what);
  return name;
}

std::string Number(TFzyFloat value) {
  return ExactFloatToStr(value);
}

// "KIND PARAMETERS" of a term from a shape fuzzylite has, in fuzzylite's parameter order.
std::optional<std::string> ShapeText(const TMembershipShape& shape) {
  for (const TFuzzyliteShape& kind : kFuzzyliteShapes) {
    if (kind.Kind != shape.Kind) continue;
    std::vector<TFzyFloat> parameters = shape.Parameters;
    if (kind.Count != 0)
      for (size_t i = 0; i < kind.Count; ++i)
        parameters[kind.Order[i]] = shape.Parameters[i];
    std::string text(kind.Word);
    for (TFzyFloat parameter : parameters)
      text += " " + Number(parameter);
    return text;
  }
  return std::nullopt;
}

// A negated test becomes "is not ..." (FLL negates tests only), so the condition is rebuilt
// with every NOT folded into the "not" hedge of the test it negates.
TAntecedent FoldNegations(const TAntecedent& condition, const std::string& rule) {
  std::vector<TAntecedent> stack;
  size_t next = 0;
  for (TAntecedent::TStep step : condition.GetSteps()) {
    if (step == TAntecedent::TStep::Test) {
      const TTermTest& test = condition.GetTests()[next++];
      stack.push_back(TAntecedent::Is(test.Variable, test.Term, test.Hedges));
    } else if (step == TAntecedent::TStep::Not) {
      // Every entry is one test or a group: negations are folded as they come.
      if (stack.back().GetSteps().size() != 1) Refuse("the negation of a group in rule " + rule);
      TTermTest negated = stack.back().GetTests().front();
      negated.Hedges.insert(negated.Hedges.begin(), "not");
      stack.back() = TAntecedent::Is(negated.Variable, negated.Term, negated.Hedges);
    } else {
      TAntecedent right = std::move(stack.back());
      stack.pop_back();
      stack.back() = step == TAntecedent::TStep::And ? std::move(stack.back()) && std::move(right)
                                                     : std::move(stack.back()) || std::move(right);
    }
  }
  return stack.empty() ? TAntecedent() : std::move(stack.back());
}

class TFllWriter {
 public:
  explicit TFllWriter(const TFuzzyController& controller) : FController(controller) {}

  std::string Write() {
    FText = "Engine: controller\n";
    for (const TControllerInput& input : FController.GetInputs())
      WriteInput(input);
    for (const TControllerOutput& output : FController.GetOutputs())
      WriteOutput(output);
    for (const TRuleBlock& block : FController.GetRuleBlocks())
      WriteRuleBlock(block);
    return std::move(FText);
  }

 private:
  void WriteRange(const TFuzzyVariable& variable, bool locked) {
    FText += "  enabled: true\n  range: " + Number(variable.GetMinimum()) + " " +
             Number(variable.GetMaximum()) + "\n  lock-range: " + (locked ? "true" : "false") +
             "\n";
  }

  void WriteTerms(const TFuzzyVariable& variable, const std::string& owner) {
    const TFuzzySets& terms = variable.GetItems();
    for (int i = 0; i < terms.GetCount(); ++i) {
      const TFuzzySet& term = *terms.GetSet(i);
      const std::string what = "term " + term.GetName() + " of " + owner;
      std::optional<std::string> text;
      if (const auto shape = FController.FindTermShape(variable.GetName(), term.GetName()))
        text = ShapeText(*shape);
      if (!text)
        if (const auto linear =
                fis::LinearShapeOf(term, variable.GetMinimum(), variable.GetMaximum()))
          text = ShapeText(*linear);
      if (!text) {
        if (term.GetCount() == 0) Refuse(what + ": a term without points");
        text = "Discrete";
        for (int k = 0; k < term.GetCount(); ++k)
          *text += " " + Number(term.GetX(k)) + " " + Number(term.GetY(k));
      }
      FText += "  term: " + Name(term.GetName(), owner) + " " + *text + "\n";
    }
  }

  void WriteInput(const TControllerInput& input) {
    if (input.Spread != 0) Refuse("input " + input.Name + ": a spread of " + Number(input.Spread));
    FText += "InputVariable: " + Name(input.Name, "an input") + "\n";
    const TFuzzyVariable& variable = FController.GetVariable(input.Name);
    WriteRange(variable, true);
    WriteTerms(variable, input.Name);
  }

  void WriteOutput(const TControllerOutput& output) {
    FText += "OutputVariable: " + Name(output.Name, "an output") + "\n";
    const TRuleBlock* block = DrivingBlock(FController, output.Name);
    const TInferenceSettings settings = block != nullptr ? block->Settings : TInferenceSettings();
    const std::string default_text = output.Default ? Number(*output.Default) : "nan";
    if (output.IsSugeno) {
      if (settings.TermAggregation)
        Refuse("output " + output.Name + ": the term aggregation of rule block " + block->Name);
      const TDefuzzification method = IsSugenoDefuzzification(settings.Defuzzification)
                                          ? settings.Defuzzification
                                          : TDefuzzification::WeightedAverage;
      // A Takagi-Sugeno value is not held to a range; fuzzylite only wants one written.
      FText +=
          "  enabled: true\n  range: -inf inf\n  lock-range: false\n  aggregation: none\n"
          "  defuzzifier: " +
          std::string(*FllWordOf(fll::kDefuzzifiers, method)) +
          " TakagiSugeno\n  default: " + default_text + "\n  lock-previous: false\n";
      for (const TSugenoTerm& term : output.SugenoTerms)
        FText += "  term: " + Name(term.Name, output.Name) + " " + SugenoText(term) + "\n";
      return;
    }
    const TFuzzyVariable& variable = FController.GetVariable(output.Variable);
    // Unlocked, so that a default beyond the range stays as it is.
    WriteRange(variable, false);
    FText += "  aggregation: " + std::string(*FllWordOf(fll::kAggregations, settings.Aggregation)) +
             "\n  defuzzifier: " +
             std::string(*FllWordOf(fll::kDefuzzifiers, settings.Defuzzification)) + " " +
             std::string(kResolution) + "\n  default: " + default_text +
             "\n  lock-previous: false\n";
    WriteTerms(variable, output.Name);
  }

  // "Constant k", or "Linear c1 ... cn k" with a coefficient for every input in order.
  std::string SugenoText(const TSugenoTerm& term) const {
    if (term.Coefficients.empty()) return "Constant " + Number(term.Constant);
    const std::vector<TControllerInput>& inputs = FController.GetInputs();
    std::vector<TFzyFloat> factors(inputs.size(), 0);
    for (const TSugenoCoefficient& coefficient : term.Coefficients)
      for (size_t i = 0; i < inputs.size(); ++i)
        if (inputs[i].Name == coefficient.Input) factors[i] += coefficient.Factor;
    std::string text = "Linear";
    for (TFzyFloat factor : factors)
      text += " " + Number(factor);
    return text + " " + Number(term.Constant);
  }

  void WriteRuleBlock(const TRuleBlock& block) {
    const TInferenceSettings& settings = block.Settings;
    const std::string what = "rule block " + block.Name;
    const auto and_word = FllWordOf(fll::kConjunctions, settings.And);
    if (!and_word)
      Refuse(what + ": AND of the " + std::string(SettingWord(settings.And)) + " family");
    const auto or_word = FllWordOf(fll::kDisjunctions, settings.Or);
    if (!or_word) Refuse(what + ": OR of the " + std::string(SettingWord(settings.Or)) + " family");
    // The implication shapes no set of a Takagi-Sugeno output.
    std::optional<std::string_view> implication = "none";
    if (!IsSugenoDefuzzification(settings.Defuzzification)) {
      implication = FllWordOf(fll::kImplications, settings.Implication);
      if (!implication)
        Refuse(what + ": the " + std::string(SettingWord(settings.Implication)) + " implication");
    }
    FText += "RuleBlock: " + Name(block.Name, "a rule block") +
             "\n  enabled: true\n  conjunction: " + std::string(*and_word) +
             "\n  disjunction: " + std::string(*or_word) +
             "\n  implication: " + std::string(*implication) + "\n  activation: " +
             (settings.Threshold == 0 ? "General" : "Threshold >= " + Number(settings.Threshold)) +
             "\n";
    for (const TFuzzyRule& rule : block.Rules) {
      const auto test_text = [&rule](const TTermTest& test) { return Test(test, rule); };
      FText += "  rule: if " +
               FoldNegations(rule.If, rule.Name).InfixText(test_text, {"", "and", "or"}) + " then ";
      for (size_t i = 0; i < rule.Then.size(); ++i) {
        if (!rule.Then[i].Hedges.empty())
          Refuse("the hedge " + rule.Then[i].Hedges.front() + " on output " +
                 rule.Then[i].Variable + " in rule " + rule.Name);
        FText += (i > 0 ? " and " : "") + Test(rule.Then[i], rule);
      }
      if (rule.Weight != 1) FText += " with " + Number(rule.Weight);
      FText += "\n";
    }
  }

  // "variable is [hedges] term" in fuzzylite's words for the library's hedges.
  static std::string Test(const TTermTest& test, const TFuzzyRule& rule) {
    std::string text = Name(test.Variable, "rule " + rule.Name) + " is";
    for (const std::string& hedge : test.Hedges) {
      const auto found = std::find_if(fll::kHedges.begin(), fll::kHedges.end(),
                                      [&](const auto& entry) { return entry.second == hedge; });
      if (hedge.empty() || found == fll::kHedges.end())
        Refuse("the hedge " + hedge + " of rule " + rule.Name);
      text += " " + std::string(found->first);
    }
    return text + " " + Name(test.Term, "rule " + rule.Name);
  }

  const TFuzzyController& FController;
  std::string FText;
};

}  // namespace

std::string WriteFll(const TFuzzyController& controller) {
  return TFllWriter(controller).Write();
}

}  // namespace tapwise::detail
