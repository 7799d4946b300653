#include "tapwise/control/FuzzyController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "support/ExpectThrow.h"
#include "tapwise/foundation/Stream.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyLogic.h"
#include "tapwise/fuzzy/FuzzySet.h"

namespace tapwise {
namespace {

const std::string kTipping = std::string(TAPWISE_EXAMPLES_DIR) + "/tipping.fzl";

// ---- An independent textbook computation: membership functions written out, the
// ---- aggregate sampled finely and integrated by the midpoint rule.

double Down(double x, double a, double b) {
  return std::clamp((b - x) / (b - a), 0.0, 1.0);
}
double Up(double x, double a, double b) {
  return std::clamp((x - a) / (b - a), 0.0, 1.0);
}
double Peak(double x, double a, double m, double b) {
  return std::min(Up(x, a, m), Down(x, m, b));
}

double Centroid(const std::function<double(double)>& mu, double min, double max) {
  constexpr int kSteps = 200000;
  const double h = (max - min) / kSteps;
  double area = 0;
  double moment = 0;
  for (int i = 0; i < kSteps; ++i) {
    const double x = min + (i + 0.5) * h;
    area += mu(x);
    moment += x * mu(x);
  }
  return moment / area;
}

double TextbookTip(double quality, double service) {
  const double low = std::max(Down(quality, 0, 5), Down(service, 0, 5));
  const double medium = Peak(service, 0, 5, 10);
  const double high = std::max(Up(service, 5, 10), Up(quality, 5, 10));
  return Centroid(
      [&](double x) {
        return std::max({std::min(low, Down(x, 0, 13)), std::min(medium, Peak(x, 0, 13, 25)),
                         std::min(high, Up(x, 13, 25))});
      },
      0, 25);
}

double Tip(TFuzzyController& tipping, double quality, double service) {
  tipping.SetInput("quality", quality);
  tipping.SetInput("service", service);
  tipping.Process();
  return tipping.GetOutput("tip");
}

TEST(FuzzyController, TippingIsTheExactTextbookCentroid) {
  TFuzzyController tipping = TFuzzyController::FromFile(kTipping);
  for (auto [quality, service] : {std::pair{6.5, 9.8},
                                  {0.0, 0.0},
                                  {3.0, 8.0},
                                  {10.0, 10.0},
                                  {5.0, 5.0},
                                  {2.5, 7.5},
                                  {9.0, 1.0}})
    EXPECT_NEAR(Tip(tipping, quality, service), TextbookTip(quality, service), 1e-6)
        << quality << " " << service;
  // Explanations: every rule with its strength, the fired ones marked.
  Tip(tipping, 6.5, 9.8);
  const auto activations = tipping.GetActivations();
  ASSERT_EQ(activations.size(), 3u);
  EXPECT_EQ(activations[0].Rule, "stingy");
  EXPECT_FALSE(activations[0].Fired);
  EXPECT_NEAR(activations[1].Strength, 0.04, 1e-12);
  EXPECT_NEAR(activations[2].Strength, 0.96, 1e-12);
  EXPECT_TRUE(activations[2].Fired);
  const TFuzzySet* aggregate = tipping.GetAggregate("tip");
  ASSERT_NE(aggregate, nullptr);
  EXPECT_NEAR(aggregate->GetMembership(25), 0.96, 1e-12);  // clipped, not capped
  EXPECT_NEAR(aggregate->GetMembership(6.5), 0.04, 1e-12);
  // What the aggregate is made of: medium clipped at 0.04, high clipped at 0.96.
  const auto implied = tipping.GetImpliedConsequents("tip");
  ASSERT_EQ(implied.size(), 2u);
  EXPECT_EQ(implied[0].Rule, "usual");
  EXPECT_NEAR(implied[0].Set->GetMaximumYValue(), 0.04, 1e-12);
  EXPECT_EQ(implied[1].Rule, "generous");
  EXPECT_NEAR(implied[1].Set->GetMembership(14), 1.0 / 12, 1e-12);
  EXPECT_NEAR(implied[1].Set->GetMembership(25), 0.96, 1e-12);
}

// One input x over 0..1 with the term a ((0 0) (1 1)) and one output y over 0..25 with the
// term high ((13 0) (25 1)); at x = 0.5 the rule fires at 0.5.
TFuzzyController OneRule(const std::string& settings) {
  return TFuzzyController::FromText(
      "(deffuzzy x (range 0 1) (values (term a ((0 0) (1 1)))))\n"
      "(deffuzzy y (range 0 25) (values (term high ((13 0) (25 1)))))\n"
      "(defrules r " +
      settings + " (rule only (if (x a)) (then (y high))))");
}

TEST(FuzzyController, DefuzzificationsAndImplicationsOnWorkedShapes) {
  // Clipped at 0.5: (13 0) (19 0.5) (25 0.5). Area 1.5 + 3 = 4.5, moment 1.5 * 17 + 3 * 22.
  const std::pair<const char*, double> clip_cases[] = {
      {"(defuzzification centroid)", 91.5 / 4.5}, {"(defuzzification bisector)", 20.5},
      {"(defuzzification meanofmaxima)", 22},     {"(defuzzification smallestofmaxima)", 19},
      {"(defuzzification largestofmaxima)", 25},
  };
  for (const auto& [setting, expected] : clip_cases) {
    TFuzzyController controller = OneRule(setting);
    controller.SetInput("x", 0.5);
    controller.Process();
    EXPECT_NEAR(controller.GetOutput("y"), expected, 1e-12) << setting;
  }
  // Capped and scaled, the ramp keeps its shape: (13 0) (25 0.5), centroid 13 + 2/3 * 12.
  for (const char* setting : {"(implication cap)", "(implication scale)"}) {
    TFuzzyController controller = OneRule(setting);
    controller.SetInput("x", 0.5);
    controller.Process();
    EXPECT_NEAR(controller.GetOutput("y"), 21, 1e-12) << setting;
    EXPECT_NEAR(controller.GetAggregate("y")->GetMaximumYValue(), 0.5, 1e-15);
  }
  // Below the threshold nothing fires: no value, and the error says why.
  TFuzzyController controller = OneRule("(threshold 0.6)");
  controller.SetInput("x", 0.5);
  controller.Process();
  EXPECT_FALSE(controller.FindOutput("y").has_value());
  EXPECT_EQ(controller.GetAggregate("y"), nullptr);
  EXPECT_THROW_MSG(controller.GetOutput("y"), EFzyException,
                   "No rule fired for output y, and it has no default");
}

TEST(FuzzyController, SugenoOutputsOfOrderZeroAndOne) {
  const std::string text =
      "(deffuzzy x (range 0 10) (values (term small ((0 1) (10 0))) (term big ((0 0) (10 1)))))\n"
      "(defoutput z (sugeno) (term flat (constant 4)) (term slope (linear 1 (x 2))))\n"
      "(defrules s (defuzzification weightedaverage)\n"
      "  (rule a (if (x small)) (then (z flat)))\n"
      "  (rule b (if (x big)) (then (z slope)) (weight 0.5)))";
  TFuzzyController average = TFuzzyController::FromText(text);
  average.SetInput("x", 2);
  average.Process();
  // Strengths 0.8 and 0.5 * 0.2; values 4 and 1 + 2 * 2.
  EXPECT_NEAR(average.GetOutput("z"), (0.8 * 4 + 0.1 * 5) / 0.9, 1e-12);
  std::string sum_text = text;
  sum_text.replace(sum_text.find("weightedaverage"), 15, "weightedsum");
  TFuzzyController sum = TFuzzyController::FromText(sum_text);
  sum.SetInput("x", 2);
  sum.Process();
  EXPECT_NEAR(sum.GetOutput("z"), 0.8 * 4 + 0.1 * 5, 1e-12);
  EXPECT_EQ(TFuzzyController::FromText(sum.ToText()).GetOutputs(), sum.GetOutputs());
}

TEST(FuzzyController, SumsAndTermAggregations) {
  // Two rules scale the ramp (13 0) (25 1) by 0.75 each. The plain sum peaks at 1.5 and keeps
  // the ramp's centroid 21; the bounded sum is cut at 1 from x = 21: areas 4 and 4 with
  // centroids 18 1/3 and 23.
  const std::string twice =
      "(deffuzzy x (range 0 1) (values (term a ((0 0) (1 1)))))\n"
      "(deffuzzy y (range 0 25) (values (term high ((13 0) (25 1)))))\n"
      "(defrules r (implication scale) (aggregation AGGREGATION)\n"
      "  (rule one (if (x a)) (then (y high))) (rule two (if (x a)) (then (y high))))";
  for (const auto& [aggregation, expected, peak] :
       {std::tuple{"sum", 21.0, 1.5}, std::tuple{"boundedsum", (4 * 55.0 / 3 + 4 * 23) / 8, 1.0},
        // 1 - (1 - 0.75 t)^2 over t = (x - 13) / 12: area 0.5625, moment 0.359375.
        std::tuple{"probabilisticsum", 13 + 12 * 0.359375 / 0.5625, 0.9375}}) {
    std::string text = twice;
    text.replace(text.find("AGGREGATION"), 11, aggregation);
    TFuzzyController controller = TFuzzyController::FromText(text);
    controller.SetInput("x", 0.75);
    controller.Process();
    // The probabilistic sum's parabola is drawn by chords within 1e-4 of it.
    EXPECT_NEAR(controller.GetOutput("y"), expected, 5e-4) << aggregation;
    EXPECT_NEAR(controller.GetAggregate("y")->GetMaximumYValue(), peak, 1e-4) << aggregation;
  }
  // At x = 2, flat is concluded at 0.8 and 0.2, slope (value 5) at 0.1.
  const std::string sugeno =
      "(deffuzzy x (range 0 10) (values (term small ((0 1) (10 0))) (term big ((0 0) (10 1)))))\n"
      "(defoutput z (sugeno) (term flat (constant 4)) (term slope (linear 1 (x 2))))\n"
      "(defrules s (defuzzification weightedaverage) SETTING\n"
      "  (rule a (if (x small)) (then (z flat))) (rule b (if (x big)) (then (z flat)))\n"
      "  (rule c (if (x big)) (then (z slope)) (weight 0.5)))";
  for (const auto& [setting, expected] :
       {std::pair{"", 4.5 / 1.1}, std::pair{"(termaggregation maximum)", 3.7 / 0.9},
        std::pair{"(termaggregation probabilisticsum)", (0.84 * 4 + 0.5) / 0.94},
        std::pair{"(termaggregation sum)", 4.5 / 1.1}}) {
    std::string text = sugeno;
    text.replace(text.find("SETTING"), 7, setting);
    TFuzzyController controller = TFuzzyController::FromText(text);
    controller.SetInput("x", 2);
    controller.Process();
    EXPECT_NEAR(controller.GetOutput("z"), expected, 1e-12) << setting;
    EXPECT_EQ(TFuzzyController::FromText(controller.ToText()).GetRuleBlocks(),
              controller.GetRuleBlocks());
  }
  TRuleBlock mamdani{"m", {}, {}};
  mamdani.Settings.TermAggregation = TAggregation::Maximum;
  EXPECT_THROW_MSG(OneRule("").AddRuleBlock(mamdani), EFzyException,
                   "Rule block m combines Sugeno terms (termaggregation) but does not defuzzify "
                   "by weighted average or sum");
}

TEST(FuzzyController, WrittenTextReadsBackToTheSameController) {
  const std::string text =
      "(deffuzzy a (range 0 10) (values (term lo ((0 1) (10 0))) (term hi ((0 0) (10 1)))))\n"
      "(deffuzzy b (range 0 10) (values (term lo ((0 1) (10 0))) (term hi ((0 0) (10 1)))))\n"
      "(deffuzzy out (range 0 1) (values (term off ((0 1) (1 0))) (term on ((0 0) (1 1)))))\n"
      "(definput b (spread 0.25))\n"
      "(defoutput act (variable out) (default 0.5))\n"
      "(defrules mixed (and product) (or boundedsum) (implication scale)\n"
      "  (aggregation probabilisticsum) (defuzzification bisector) (threshold 0.05)\n"
      "  (rule r1 (if not (a very lo) and ((b hi) or not not (a hi)) or (b lo) and (a hi))\n"
      "     (then (act somewhat on)) (weight 0.75))\n"
      "  (rule r2 (if (a lo) and ((b lo) and (a hi))) (then (act off))))";
  TFuzzyController original = TFuzzyController::FromText(text);
  TFuzzyController again = TFuzzyController::FromText(original.ToText());
  EXPECT_EQ(again.GetInputs(), original.GetInputs());
  EXPECT_EQ(again.GetOutputs(), original.GetOutputs());
  EXPECT_EQ(again.GetRuleBlocks(), original.GetRuleBlocks());
  EXPECT_EQ(again.ToText(), original.ToText());
  // Names with blanks and backslashes are written escaped and read back whole.
  TFuzzyController odd = TFuzzyController::FromText(
      "(deffuzzy a\\\\b (range 0 1) (values (term l\\ o ((0 1) (1 0)))))\n"
      "(deffuzzy c\\ d (range 0 1) (values (term l\\ o ((0 1) (1 0)))))\n"
      "(defrules b\\ 1 (rule r\\\\ (if (a\\\\b l\\ o)) (then (c\\ d l\\ o))))");
  EXPECT_EQ(odd.GetRuleBlocks()[0].Name, "b 1");
  EXPECT_EQ(odd.GetRuleBlocks()[0].Rules[0].Name, "r\\");
  EXPECT_EQ(TFuzzyController::FromText(odd.ToText()).GetRuleBlocks(), odd.GetRuleBlocks());
  // Rules may be numbered, as FCL numbers them.
  TFuzzyController numbered = TFuzzyController::FromText(
      "(deffuzzy x (range 0 1) (values (term a ((0 0) (1 1)))))\n"
      "(deffuzzy y (range 0 1) (values (term a ((0 0) (1 1)))))\n"
      "(defrules r (rule 1 (if (x a)) (then (y a))) (rule 2 (if (x a)) (then (y a))))");
  EXPECT_EQ(numbered.GetRuleBlocks()[0].Rules[1].Name, "2");
  EXPECT_EQ(TFuzzyController::FromText(numbered.ToText()).GetRuleBlocks(),
            numbered.GetRuleBlocks());
  // Variables keep the writer's four decimals where they are exact, every digit elsewhere.
  TFuzzyController fine = TFuzzyController::FromText(
      "(deffuzzy v (range 0 0.0123456) (values (term t ((0.001 0.1234567) (0.01 1)))))");
  const std::string fine_text = fine.ToText();
  EXPECT_NE(fine_text.find("(range 0.0000 0.0123456)"), std::string::npos) << fine_text;
  EXPECT_NE(fine_text.find("((0.0010 0.1234567) (0.0100 1.0000) )"), std::string::npos);
  // not binds before and, and before or; both associate to the left.
  const TAntecedent& r1 = original.GetRuleBlocks()[0].Rules[0].If;
  using S = TAntecedent::TStep;
  EXPECT_EQ(r1.GetSteps(), (std::vector<S>{S::Test, S::Not, S::Test, S::Test, S::Not, S::Not, S::Or,
                                           S::And, S::Test, S::Test, S::And, S::Or}));
  for (double a = 0; a <= 10; a += 2.5) {
    for (double b = 0; b <= 10; b += 2.5) {
      for (TFuzzyController* controller : {&original, &again}) {
        controller->SetInput("a", a);
        controller->SetInput("b", b);
        controller->Process();
      }
      EXPECT_EQ(original.FindOutput("act"), again.FindOutput("act")) << a << " " << b;
    }
  }
}

TEST(FuzzyController, BuiltInCodeAnswersAsTheFile) {
  TFuzzyController built;
  for (const char* input : {"quality", "service"}) {
    built.AddVariable(input, 0, 10);
    built.AddTerm(input, "poor", "((0 1) (5 0))");
    built.AddTerm(input, "average", "((0 0) (5 1) (10 0))");
    built.AddTerm(input, "good", "((5 0) (10 1))");
  }
  built.AddVariable("tip", 0, 25);
  built.AddTerm("tip", "low", "((0 1) (13 0))");
  built.AddTerm("tip", "medium", "((0 0) (13 1) (25 0))");
  built.AddTerm("tip", "high", "((13 0) (25 1))");
  using A = TAntecedent;
  built.AddRuleBlock(
      {"tipping",
       {},
       {{"stingy", A::Is("quality", "poor") || A::Is("service", "poor"), {{"tip", "low"}}},
        {"usual", A::Is("service", "average"), {{"tip", "medium"}}},
        {"generous", A::Is("service", "good") || A::Is("quality", "good"), {{"tip", "high"}}}}});
  TFuzzyController file = TFuzzyController::FromFile(kTipping);
  EXPECT_EQ(built.GetRuleBlocks(), file.GetRuleBlocks());
  for (double q = 0; q <= 10; q += 1.25)
    for (double s = 0; s <= 10; s += 1.25)
      EXPECT_EQ(Tip(built, q, s), Tip(file, q, s));
}

TEST(FuzzyController, MistakesAreRefusedWithWhatExists) {
  const std::string vars =
      "(deffuzzy t (range 0 1) (values (term cold ((0 1) (1 0))) (term hot ((0 0) (1 1)))))\n";
  EXPECT_THROW_MSG(
      TFuzzyController::FromText(vars + "(defrules b\n (rule r (if (t warm)) (then (t hot))))"),
      EFzyParseException,
      "Parsing Error, Unknown term warm of t in rule r (the terms are: cold, hot) in "
      "ParseRule at line 3: \"\r\n( defrules b \r\n( rule r ( if ( t warm ) ) ( then "
      "( t hot ) ) ) \"");
  EXPECT_THROW_MSG(TFuzzyController::FromText(vars + "(defrules b (implication min))"),
                   EFzyParseException,
                   "Parsing Error, Unknown implication min (expected one of: cap, clip, scale) in "
                   "ParseRuleBlock at line 2: \"\r\n( defrules b ( implication min \"");
  TFuzzyController controller;
  EXPECT_THROW_MSG(controller.Define(vars + "(defrules b (rule r (if (u cold)) (then (t hot))))"),
                   EFzyParseException,
                   "Parsing Error, Unknown variable u in rule r (the variables are: t) in "
                   "ParseRule at line 2: \"\r\n( defrules b ( rule r ( if ( u cold ) ) ( then ( t "
                   "hot ) ) ) \"");
  // The variables read before the error stay; the broken block left nothing behind.
  EXPECT_EQ(controller.GetFuzzyLogic().GetVariableCount(), 1);
  EXPECT_TRUE(controller.GetRuleBlocks().empty());
  using A = TAntecedent;
  EXPECT_THROW_MSG(controller.AddRuleBlock({"b", {}, {{"r", A::Is("t", "cold"), {{"t", "hot"}}}}}),
                   EFzyException, "Output t is already an input");
  EXPECT_THROW_MSG(controller.AddRuleBlock({"b", {}, {{"r", A::Is("t", "cold"), {}}}}),
                   EFzyException, "Rule r has no consequent");
  EXPECT_THROW_MSG(
      controller.AddRuleBlock({"b", {}, {{"r", A::Is("t", "cold") && A(), {{"o", "on"}}}}}),
      EFzyException, "Rule r has no well-formed condition");
  EXPECT_TRUE(controller.GetInputs().empty());
  // Names the controller's own text could not hold are refused where they come in.
  EXPECT_THROW_MSG(controller.AddVariable("(t", 0, 1), EFzyException,
                   "Variable (t does not read back as a word of the definition language");
  EXPECT_THROW_MSG(controller.AddRuleBlock({"12", {}, {}}), EFzyException,
                   "Rule block 12 does not read back as a word of the definition language");
  EXPECT_THROW_MSG(controller.AddRuleBlock({"b", {}, {{"007", A::Is("t", "cold"), {}}}}),
                   EFzyException,
                   "Rule 007 does not read back as a word of the definition language");
  EXPECT_EQ(controller.GetFuzzyLogic().GetVariableCount(), 1);
  // Rule names are unique within their block; a failed block takes back what it added, and
  // the names of the block before it still count.
  for (const char* output : {"o", "p"}) {
    controller.AddVariable(output, 0, 1);
    controller.AddTerm(output, "on", TMembershipShape{TShapeKind::Ramp, {0, 1}});
  }
  const TFuzzyRule on{"r", A::Is("t", "cold"), {{"o", "on"}}};
  const TFuzzyRule p_on{"r", A::Is("t", "cold"), {{"p", "on"}}};
  controller.AddRuleBlock({"first", {}, {on}});
  EXPECT_THROW_MSG(controller.AddRuleBlock({"second", {}, {p_on, p_on}}), EFzyException,
                   "Rule r appears twice in rule block second");
  ASSERT_EQ(controller.GetRuleBlocks().size(), 1u);
  EXPECT_EQ(controller.GetRuleBlocks()[0].Rules.size(), 1u);
  EXPECT_THROW_MSG(controller.Define("(defrules first (rule s (if (t hot)) (then (o on))))"),
                   EFzyParseException,
                   "Parsing Error, Rule block first is defined twice in ParseRuleBlock at line 1: "
                   "\"( defrules first \"");
  EXPECT_EQ(controller.GetInputs().size(), 1u);
  EXPECT_EQ(controller.GetOutputs().size(), 1u);
  controller.AddRuleBlock({"second", {}, {p_on}});
  EXPECT_EQ(controller.GetRuleBlocks()[1].Rules[0].Name, "r");
}

TEST(FuzzyController, InputsAndOutputsAreCheckedByName) {
  TFuzzyController tipping = TFuzzyController::FromFile(kTipping);
  EXPECT_THROW_MSG(tipping.SetInput("qualty", 1), EFzyException,
                   "Unknown input qualty (the inputs are: quality, service)");
  EXPECT_THROW_MSG(tipping.SetInput("quality", NAN), EFzyException,
                   "The value of input quality is not a number");
  EXPECT_THROW_MSG(tipping.GetOutput("tip"), EFzyException,
                   "The controller has not processed its inputs yet");
  tipping.SetInput("quality", 1);
  EXPECT_THROW_MSG(tipping.Process(), EFzyException, "Input service has no value");
  tipping.SetInput("service", 1);
  tipping.Process();
  EXPECT_THROW_MSG(tipping.GetOutput("tips"), EFzyException,
                   "Unknown output tips (the outputs are: tip)");
  EXPECT_THROW_MSG(TFuzzyController::FromFile("no/such/file.fzl"), EFOpenError,
                   "Cannot open file \"no/such/file.fzl\"");
}

TEST(FuzzyController, IndependentControllersRunOnSeveralThreads) {
  TFuzzyController reference = TFuzzyController::FromFile(kTipping);
  std::vector<double> expected;
  for (int i = 0; i <= 100; ++i)
    expected.push_back(Tip(reference, i / 10.0, 10 - i / 10.0));
  std::vector<std::vector<double>> results(4);
  std::vector<std::thread> threads;
  for (auto& result : results) {
    threads.emplace_back([&result] {
      TFuzzyController tipping = TFuzzyController::FromFile(kTipping);
      for (int i = 0; i <= 100; ++i)
        result.push_back(Tip(tipping, i / 10.0, 10 - i / 10.0));
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  for (const auto& result : results)
    EXPECT_EQ(result, expected);
}

}  // namespace
}  // namespace tapwise
