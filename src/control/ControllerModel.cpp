#include "ControllerModel.h"

#include <cmath>

#include "ControllerParser.h"
#include "tapwise/foundation/Collection.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/FuzzyConsts.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyVariable.h"
#include "tapwise/language/FuzzyWriter.h"

namespace tapwise::detail {

namespace {

std::string TermNames(const TFuzzyVariable& variable) {
  std::vector<std::string> names;
  const TFuzzySets& terms = variable.GetItems();
  for (int i = 0; i < terms.GetCount(); ++i)
    names.push_back(terms.GetSet(i)->GetName());
  return TControllerModel::NameList(names);
}

std::string SugenoTermNames(const TControllerOutput& output) {
  std::vector<std::string> names;
  for (const TSugenoTerm& term : output.SugenoTerms)
    names.push_back(term.Name);
  return TControllerModel::NameList(names);
}

bool HasSugenoTerm(const TControllerOutput& output, std::string_view name) {
  for (const TSugenoTerm& term : output.SugenoTerms)
    if (term.Name == name) return true;
  return false;
}

// True when the steps leave exactly one degree on the evaluation stack and never take one
// that is not there.
bool IsWellFormed(const TAntecedent& antecedent) {
  int depth = 0;
  size_t tests = 0;
  for (TAntecedent::TStep step : antecedent.GetSteps()) {
    switch (step) {
      case TAntecedent::TStep::Test:
        ++depth;
        ++tests;
        break;
      case TAntecedent::TStep::Not:
        if (depth < 1) return false;
        break;
      default:
        if (depth < 2) return false;
        --depth;
        break;
    }
  }
  return depth == 1 && tests == antecedent.GetTests().size();
}

void CheckHedges(const TFuzzyRule& rule, const TTermTest& test) {
  for (const std::string& hedge : test.Hedges) {
    if (!FindHedge(hedge)) {
      std::vector<std::string> names(HedgeNames.begin(), HedgeNames.end());
      throw EFzyException(
          Format(messages::kUnknownHedge, hedge, rule.Name, TControllerModel::NameList(names)));
    }
  }
}

void CheckFinite(TFzyFloat value, const char* what, const std::string& owner) {
  if (!std::isfinite(value)) throw EFzyException(Format(messages::kNonFiniteNumber, what, owner));
}

}  // namespace

TControllerModel::TControllerModel() : FParser(std::make_unique<TControllerParser>(*this)) {
  FParser->SetFuzzyLogic(&FLogic);
  FLogic.SetParser(FParser.get());
}

TControllerModel::~TControllerModel() {
  FLogic.SetParser(nullptr);
  FParser->SetFuzzyLogic(nullptr);
}

const TFuzzyVariable* TControllerModel::FindVariable(std::string_view name) const {
  const int index = IndexOfName(FLogic.GetFuzzyVariables(), name);
  return index < 0 ? nullptr : FLogic.GetFuzzyVariables().GetVariable(index);
}

int TControllerModel::FindInput(std::string_view name) const {
  for (size_t i = 0; i < FInputs.size(); ++i)
    if (FInputs[i].Name == name) return static_cast<int>(i);
  return -1;
}

int TControllerModel::FindOutput(std::string_view name) const {
  for (size_t i = 0; i < FOutputs.size(); ++i)
    if (FOutputs[i].Name == name) return static_cast<int>(i);
  return -1;
}

std::string TControllerModel::NameList(const std::vector<std::string>& names) {
  if (names.empty()) return "none";
  std::string list;
  for (const std::string& name : names) {
    if (!list.empty()) list += ", ";
    list += name;
  }
  return list;
}

std::string TControllerModel::InputNames() const {
  std::vector<std::string> names;
  for (const TControllerInput& input : FInputs)
    names.push_back(input.Name);
  return NameList(names);
}

std::string TControllerModel::VariableNames() const {
  std::vector<std::string> names;
  for (int i = 0; i < FLogic.GetVariableCount(); ++i)
    names.push_back(FLogic.GetFuzzyVariables().GetVariable(i)->GetName());
  return NameList(names);
}

std::string TControllerModel::OutputNames() const {
  std::vector<std::string> names;
  for (const TControllerOutput& output : FOutputs)
    names.push_back(output.Name);
  return NameList(names);
}

void TControllerModel::AddInput(TControllerInput input) {
  if (!(std::isfinite(input.Spread) && input.Spread >= 0))
    throw EFzyException(Format(messages::kSpreadOutOfRange, FloatToStr(input.Spread), input.Name));
  if (FindOutput(input.Name) >= 0)
    throw EFzyException(Format(messages::kInputIsOutput, input.Name));
  if (FindVariable(input.Name) == nullptr)
    throw EFzyException(Format(messages::kInputWithoutVariable, input.Name, VariableNames()));
  Touch();
  const int index = FindInput(input.Name);
  if (index >= 0) {
    FInputs[static_cast<size_t>(index)] = std::move(input);
  } else {
    FInputs.push_back(std::move(input));
  }
}

void TControllerModel::CheckWord(const char* what, const std::string& name, bool numbered) {
  if (!writer::ReadsBackAsWord(name, numbered))
    throw EFzyException(Format(messages::kUnwritableName, what, name));
}

void TControllerModel::AddOutput(TControllerOutput output) {
  CheckWord("Output", output.Name);
  if (FindOutput(output.Name) >= 0)
    throw EFzyException(Format(messages::kDuplicateOutput, output.Name));
  if (FindInput(output.Name) >= 0)
    throw EFzyException(Format(messages::kOutputIsInput, output.Name));
  if (output.Default) CheckFinite(*output.Default, "The default", output.Name);
  if (output.IsSugeno) {
    output.Variable.clear();
    for (size_t i = 0; i < output.SugenoTerms.size(); ++i) {
      const TSugenoTerm& term = output.SugenoTerms[i];
      CheckWord("Term", term.Name);
      for (size_t j = 0; j < i; ++j)
        if (output.SugenoTerms[j].Name == term.Name)
          throw EFzyException(Format(messages::kDuplicateSugenoTerm, term.Name, output.Name));
      CheckFinite(term.Constant, "The constant", term.Name);
      for (const TSugenoCoefficient& coefficient : term.Coefficients) {
        CheckFinite(coefficient.Factor, "The coefficient", term.Name);
        if (FindInput(coefficient.Input) < 0) AddInput({coefficient.Input, 0});
      }
    }
  } else {
    if (output.Variable.empty()) output.Variable = output.Name;
    if (FindVariable(output.Variable) == nullptr) {
      std::vector<std::string> names;
      for (int i = 0; i < FLogic.GetVariableCount(); ++i)
        names.push_back(FLogic.GetFuzzyVariables().GetVariable(i)->GetName());
      throw EFzyException(
          Format(messages::kOutputWithoutVariable, output.Name, output.Variable, NameList(names)));
    }
  }
  Touch();
  FOutputs.push_back(std::move(output));
}

void TControllerModel::AddBlock(const std::string& name, const TInferenceSettings& settings) {
  CheckWord("Rule block", name);
  for (const TRuleBlock& block : FBlocks)
    if (block.Name == name) throw EFzyException(Format(messages::kDuplicateRuleBlock, name));
  if (settings.And >= foSum)
    throw EFzyException(Format(messages::kNoAndForFamily, name, SettingWord(settings.And)));
  if (!(settings.Threshold >= 0 && settings.Threshold <= 1))
    throw EFzyException(
        Format(messages::kThresholdOutOfRange, FloatToStr(settings.Threshold), name));
  if (settings.TermAggregation && !IsSugenoDefuzzification(settings.Defuzzification))
    throw EFzyException(Format(messages::kTermAggregationWithoutSugeno, name));
  Touch();
  FBlocks.push_back({name, settings, {}});
  FLastBlockRuleNames.clear();
}

void TControllerModel::CheckTest(const TFuzzyRule& rule, const TTermTest& test) const {
  if (FindOutput(test.Variable) >= 0)
    throw EFzyException(Format(messages::kTestOfOutput, rule.Name, test.Variable));
  const TFuzzyVariable* variable = FindVariable(test.Variable);
  if (variable == nullptr)
    throw EFzyException(
        Format(messages::kUnknownControllerVariable, test.Variable, rule.Name, VariableNames()));
  if (IndexOfName(variable->GetItems(), test.Term) < 0)
    throw EFzyException(Format(messages::kUnknownControllerTerm, test.Term, test.Variable,
                               rule.Name, TermNames(*variable)));
  CheckHedges(rule, test);
}

TControllerOutput TControllerModel::OutputFor(const std::string& name,
                                              const TFuzzyRule& rule) const {
  const int index = FindOutput(name);
  if (index >= 0) return FOutputs[static_cast<size_t>(index)];
  bool tested = FindInput(name) >= 0;
  for (const TTermTest& test : rule.If.GetTests())
    tested = tested || test.Variable == name;
  if (tested) throw EFzyException(Format(messages::kOutputIsInput, name));
  if (FindVariable(name) == nullptr) {
    std::vector<std::string> names;
    for (const TControllerOutput& output : FOutputs)
      names.push_back(output.Name);
    throw EFzyException(Format(messages::kUnknownRuleOutput, name, rule.Name, NameList(names)));
  }
  TControllerOutput output;
  output.Name = name;
  output.Variable = name;
  return output;
}

const TRuleBlock* TControllerModel::DrivingBlock(std::string_view name) const {
  for (const TRuleBlock& block : FBlocks)
    for (const TFuzzyRule& rule : block.Rules)
      for (const TTermTest& consequent : rule.Then)
        if (consequent.Variable == name) return &block;
  return nullptr;
}

void TControllerModel::CheckConsequent(const TRuleBlock& block, const TFuzzyRule& rule,
                                       const TTermTest& consequent) const {
  const TControllerOutput output = OutputFor(consequent.Variable, rule);
  const TRuleBlock* driver = DrivingBlock(output.Name);
  if (driver != nullptr && driver != &block)
    throw EFzyException(Format(messages::kOutputOfTwoBlocks, output.Name, driver->Name));
  if (IsSugenoDefuzzification(block.Settings.Defuzzification) != output.IsSugeno)
    throw EFzyException(Format(messages::kUnsuitedDefuzzification, block.Name,
                               SettingWord(block.Settings.Defuzzification),
                               output.IsSugeno ? "Sugeno" : "Mamdani", output.Name));
  if (output.IsSugeno) {
    if (!consequent.Hedges.empty())
      throw EFzyException(Format(messages::kSugenoHedge, rule.Name, output.Name));
    if (!HasSugenoTerm(output, consequent.Term))
      throw EFzyException(Format(messages::kUnknownControllerTerm, consequent.Term, output.Name,
                                 rule.Name, SugenoTermNames(output)));
    return;
  }
  const TFuzzyVariable& variable = *FindVariable(output.Variable);
  if (IndexOfName(variable.GetItems(), consequent.Term) < 0)
    throw EFzyException(Format(messages::kUnknownControllerTerm, consequent.Term, output.Name,
                               rule.Name, TermNames(variable)));
  CheckHedges(rule, consequent);
}

void TControllerModel::AddRule(TFuzzyRule rule) {
  TRuleBlock& block = FBlocks.back();
  if (rule.Name.empty()) throw EFzyException(Format(messages::kRuleWithoutName, block.Name));
  CheckWord("Rule", rule.Name, true);
  if (FLastBlockRuleNames.contains(rule.Name))
    throw EFzyException(Format(messages::kDuplicateRule, rule.Name, block.Name));
  if (!IsWellFormed(rule.If))
    throw EFzyException(Format(messages::kRuleWithoutCondition, rule.Name));
  if (rule.Then.empty()) throw EFzyException(Format(messages::kRuleWithoutConsequent, rule.Name));
  if (!(rule.Weight >= 0 && rule.Weight <= 1))
    throw EFzyException(
        Format(messages::kRuleWeightOutOfRange, FloatToStr(rule.Weight), rule.Name));
  for (const TTermTest& test : rule.If.GetTests())
    CheckTest(rule, test);
  for (const TTermTest& consequent : rule.Then)
    CheckConsequent(block, rule, consequent);
  // Checked as a whole: now the rule's inputs and outputs join.
  Touch();
  for (const TTermTest& test : rule.If.GetTests())
    if (FindInput(test.Variable) < 0) FInputs.push_back({test.Variable, 0});
  for (const TTermTest& consequent : rule.Then)
    if (FindOutput(consequent.Variable) < 0)
      FOutputs.push_back(OutputFor(consequent.Variable, rule));
  FLastBlockRuleNames.insert(rule.Name);
  block.Rules.push_back(std::move(rule));
}

TControllerModel::TExtent TControllerModel::Extent() const {
  return {FInputs.size(), FOutputs.size(), FBlocks.size(),
          FBlocks.empty() ? 0 : FBlocks.back().Rules.size()};
}

void TControllerModel::TruncateTo(const TExtent& extent) {
  Touch();
  const auto truncate = [](auto& items, size_t size) {
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(size), items.end());
  };
  truncate(FInputs, extent.Inputs);
  truncate(FOutputs, extent.Outputs);
  truncate(FBlocks, extent.Blocks);
  if (FBlocks.empty()) return;
  truncate(FBlocks.back().Rules, extent.LastBlockRules);
  FLastBlockRuleNames.clear();
  for (const TFuzzyRule& rule : FBlocks.back().Rules)
    FLastBlockRuleNames.insert(rule.Name);
}

}  // namespace tapwise::detail
