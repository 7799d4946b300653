#include "tapwise/fuzzy/FuzzyVariable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeFuzzyLogicParser.h"
#include "support/ExpectThrow.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/StringList.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyLogic.h"

namespace tapwise {
namespace {

using testing::FakeFuzzyLogicParser;

TFuzzySet& AddRamp(TFuzzyVariable& variable, const std::string& name,
                   std::vector<std::pair<TFzyFloat, TFzyFloat>> points) {
  TFuzzySet* set = variable.GetItems().AddSet(name);
  for (const auto& [x, y] : points)
    set->AddPoint(x, y);
  return *set;
}

TEST(CollectionVariable, StartsEmptyAndSelectsTheLastTermAdded) {
  TFuzzyVariable variable;
  EXPECT_EQ(variable.GetItemIndex(), -1);
  EXPECT_DOUBLE_EQ(variable.GetMaximum(), 1.0);
  EXPECT_DOUBLE_EQ(variable.GetMinimum(), 0.0);
  EXPECT_EQ(variable.GetItems().GetCount(), 0);
  EXPECT_EQ(variable.GetDisplayName(), "TFuzzyVariable");

  variable.GetItems().AddSet("cold");
  variable.GetItems().AddSet("OK");
  variable.GetItems().AddSet("hot");
  EXPECT_EQ(variable.GetItemIndex(), 2);
  variable.GetItems().Delete(2);
  EXPECT_EQ(variable.GetItemIndex(), 1);
  EXPECT_THROW_MSG(variable.SetItemIndex(5), EFzyException, "List index out of bounds (5)");
  EXPECT_EQ(variable.GetItemIndex(), 1);
  variable.SetItemIndex(0);
  EXPECT_EQ(variable.GetItemIndex(), 0);

  EXPECT_TRUE(variable.GetItems().AddSet("warm")->GetDefined());
  EXPECT_FALSE(variable.GetItems().AddSet("__Empty")->GetDefined());
  EXPECT_FALSE(variable.GetItems().AddSet("")->GetDefined());
}

TEST(CollectionVariable, KeepsItsUniverseUprightAndItsThresholdInRange) {
  TFuzzyVariable variable;
  variable.SetMaximum(-3);
  EXPECT_DOUBLE_EQ(variable.GetMinimum(), -3);
  EXPECT_DOUBLE_EQ(variable.GetMaximum(), -3);
  variable.SetMinimum(10);
  EXPECT_DOUBLE_EQ(variable.GetMaximum(), 10);
  variable.SetThreshold(-0.5);
  EXPECT_DOUBLE_EQ(variable.GetThreshold(), 0.0);
  variable.SetThreshold(2);
  EXPECT_DOUBLE_EQ(variable.GetThreshold(), 1.0);
  // Its terms live in its universe.
  TFuzzySet* set = variable.GetItems().AddSet("x");
  set->AddPoint(50, 1);
  EXPECT_DOUBLE_EQ(set->GetX(0), 10);
}

TEST(CollectionVariable, CopiesAndListsItsTerms) {
  TFuzzyVariable source;
  source.SetName("outTemp");
  source.SetMaximum(65);
  source.SetMinimum(5);
  source.SetUnits("Celcius");
  source.SetComment("outlet");
  AddRamp(source, "cold", {{5, 1}, {35, 0}});
  AddRamp(source, "hot", {{35, 0}, {65, 1}});
  source.SetItemIndex(0);

  TFuzzyVariable copy;
  copy.Assign(source);
  EXPECT_EQ(copy.GetName(), "outTemp");
  EXPECT_DOUBLE_EQ(copy.GetMinimum(), 5);
  EXPECT_DOUBLE_EQ(copy.GetMaximum(), 65);
  EXPECT_EQ(copy.GetUnits(), "Celcius");
  EXPECT_EQ(copy.GetComment(), "outlet");
  EXPECT_EQ(copy.GetItemIndex(), 0);
  ASSERT_EQ(copy.GetItems().GetCount(), 2);
  EXPECT_EQ(copy.GetItems().GetSet(1)->GetName(), "hot");
  EXPECT_DOUBLE_EQ(copy.GetItems().GetSet(1)->GetMembership(50), 0.5);

  TStringList names;
  names.Assign(source);
  EXPECT_EQ(names.GetText(), "cold\r\nhot\r\n");
  EXPECT_EQ(names.GetObject(1), source.GetItems().GetSet(1));
  TStringList other;
  EXPECT_THROW_MSG(copy.Assign(other), EConvertError,
                   "Cannot assign a TStringList to a TFuzzyVariable");
}

TEST(CollectionVariable, RuleFiringWithoutComponentClipsAndTakesTheMaximum) {
  TFuzzyVariable variable;
  variable.SetMaximum(20);
  TFuzzySet& input = AddRamp(variable, "input", {{0, 0}, {10, 1}, {20, 0}});
  TFuzzySet& low = AddRamp(variable, "low", {{0, 1}, {10, 0}});
  TFuzzySet& steps = AddRamp(variable, "steps", {{0, 0}, {5, 0.5}, {10, 1}, {20, 1}});
  const TFuzzySet* inputs[] = {&input};
  const TFuzzySet* antecedents[] = {&low};
  EXPECT_DOUBLE_EQ(variable.RuleStrength(inputs, antecedents), 0.5);
  EXPECT_DOUBLE_EQ(variable.RuleStrength({}, {}), 1.0);
  EXPECT_THROW_MSG(variable.RuleStrength(inputs, {}), EFzyException,
                   "Invalid rule: 1 inputs but 0 antecedents; each input needs its antecedent");

  const int terms = variable.GetItems().GetCount();
  TFuzzySetResult clipped = variable.ApplyRule(steps, nullptr, 0.6);
  ASSERT_TRUE(clipped);
  EXPECT_DOUBLE_EQ(clipped->GetY(1), 0.5);
  EXPECT_DOUBLE_EQ(clipped->GetY(2), 0.6);
  EXPECT_DOUBLE_EQ(steps.GetY(2), 1.0);
  TFuzzySetResult both = variable.FireRule(inputs, antecedents, low, clipped.Get());
  ASSERT_TRUE(both);
  EXPECT_DOUBLE_EQ(both->GetMembership(0), 0.5);
  EXPECT_DOUBLE_EQ(both->GetMembership(15), 0.6);
  // The copies are terms of the variable; the intermediate copy is gone again.
  EXPECT_EQ(variable.GetItems().GetCount(), terms + 2);

  variable.SetThreshold(0.7);
  EXPECT_FALSE(variable.ApplyRule(steps, nullptr, 0.6));
  EXPECT_TRUE(variable.ApplyRule(steps, nullptr, 0.7));
}

TEST(CollectionVariable, RuleFiringFollowsTheComponentsMethods) {
  TFuzzyLogic logic;
  logic.SetCorrelationMethod(fcmProduct);
  logic.SetInferenceMethod(fimAdditive);
  logic.SetThreshold(0);
  TFuzzyVariable& variable = *logic.GetFuzzyVariables().AddVariable();
  variable.SetMaximum(20);
  TFuzzySet& steps = AddRamp(variable, "steps", {{0, 0}, {5, 0.5}, {10, 1}, {20, 1}});
  TFuzzySet& flat = AddRamp(variable, "flat", {{0, 0.2}, {20, 0.2}});
  TFuzzySetResult scaled = variable.ApplyRule(steps, nullptr, 0.6);
  EXPECT_DOUBLE_EQ(scaled->GetY(1), 0.3);
  EXPECT_DOUBLE_EQ(scaled->GetY(2), 0.6);
  TFuzzySetResult summed = variable.FireSimpleRule(flat, steps, flat, &flat);
  // Strength 0.2: the steps scaled to 0.1 at X 5, added to the flat 0.2.
  EXPECT_NEAR(summed->GetMembership(5), 0.3, 1e-12);

  logic.SetInferenceMethod(fimMinMax);
  TFuzzySetResult maximum = variable.FireSimpleRule(flat, steps, flat, &flat);
  EXPECT_DOUBLE_EQ(maximum->GetMembership(5), 0.2);
}

TEST(CollectionComponent, ParsesRebuildsAndHandsItsSettingsToTheVariables) {
  FakeFuzzyLogicParser parser;
  TFuzzyLogic logic;
  parser.SetFuzzyLogic(&logic);
  logic.SetParser(&parser);
  logic.SetThreshold(0.3);
  logic.SetNumFunctionValues(11);
  logic.SetStrings("outTemp 5 65 cold hot\nflow 0 20");
  ASSERT_EQ(logic.GetVariableCount(), 2);
  TFuzzyVariable* out = logic.GetVariable("outTemp");
  EXPECT_DOUBLE_EQ(out->GetThreshold(), 0.3);
  EXPECT_EQ(out->GetSettings().NumFunctionValues, 11);
  EXPECT_EQ(out->GetFuzzyLogic(), &logic);
  EXPECT_EQ(out->GetText(), "outTemp 5 65");
  EXPECT_EQ(out->GetItems().GetSet(0)->GetText(), "set cold");
  logic.SetThreshold(2);
  EXPECT_DOUBLE_EQ(out->GetThreshold(), 1.0);
  EXPECT_FALSE(logic.IsModified());

  EXPECT_EQ(parser.Writes, 1);
  out->SetMaximum(70);
  EXPECT_TRUE(logic.IsModified());
  EXPECT_EQ(logic.GetStrings().GetText(), "outTemp 5 70\r\nflow 0 20\r\n");
  (void)logic.GetStrings();
  EXPECT_EQ(parser.Writes, 3);
  out->GetItems().GetSet(0)->AddPoint(10, 1);
  EXPECT_TRUE(logic.IsModified());

  EXPECT_THROW_MSG((void)logic.GetVariable("OutTemp"), EFzyException,
                   "Fuzzy logic component  has no variable named \"OutTemp\"");
  logic.SetParser(nullptr);
  EXPECT_EQ(out->GetText(), "outTemp");
  EXPECT_THROW_MSG(logic.SetStrings("x 0 1"), EFzyException, "Parser not assigned.  Cannot parse");
  EXPECT_EQ(logic.GetVariableCount(), 2);
}

TEST(CollectionComponent, TermsWorkWithTheComponentsSettings) {
  TFuzzyLogic logic;
  logic.SetNumFunctionValues(11);
  logic.SetDefuzzificationMethod(dmMeanOfMaxima);
  TFuzzyVariable& variable = *logic.GetFuzzyVariables().AddVariable();
  variable.SetMaximum(10);
  TFuzzySet& curve = *variable.GetItems().AddSet("curve");
  curve.SetSetType(fstPICurve);
  EXPECT_EQ(curve.GetCount(), 11);
  TFuzzySet& plateau = AddRamp(variable, "plateau", {{0, 0}, {2, 1}, {4, 1}, {10, 0}});
  EXPECT_DOUBLE_EQ(plateau.Defuzzify(), 3);
  logic.SetDefuzzificationMethod(dmCenterOfGravity);
  EXPECT_DOUBLE_EQ(plateau.Defuzzify(), plateau.CenterOfGravity());
  EXPECT_NE(plateau.Defuzzify(), 3);
  // A variable outside any component works with the defaults.
  TFuzzyVariable alone;
  alone.GetItems().AddSet("curve")->SetSetType(fstPICurve);
  EXPECT_EQ(alone.GetItems().GetSet(0)->GetCount(), 7);
}

}  // namespace
}  // namespace tapwise
