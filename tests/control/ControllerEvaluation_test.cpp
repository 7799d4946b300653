#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tapwise/control/FuzzyController.h"
#include "tapwise/fuzzy/FuzzyGeometry.h"
#include "tapwise/fuzzy/FuzzySet.h"

namespace tapwise {
namespace {

std::vector<double> Strengths(TFuzzyController& controller) {
  std::vector<double> strengths;
  for (const TRuleActivation& activation : controller.GetActivations())
    strengths.push_back(activation.Strength);
  return strengths;
}

TEST(ControllerEvaluation, RulesSharingTestsEachGetTheirOwnStrength) {
  // At x = 5, z = 0: x lo 0.5, x very lo 0.25, x hi 0.5, z lo 1, z hi 0. Rule by rule:
  // lo(x) AND hi(z); very lo(x); (lo(z) AND hi(x)) AND hi(z); lo(x) OR NOT hi(z).
  const std::string text =
      "(deffuzzy x (range 0 10) (values (term lo ((0 1) (5 0.5) (10 0))) (term hi ((0 0) (10 "
      "1)))))\n"
      "(deffuzzy z (range 0 10) (values (term lo ((0 1) (10 0))) (term hi ((0 0) (10 1)))))\n"
      "(deffuzzy y (range 0 10) (values (term a ((0 0) (5 1) (10 0)))))\n"
      "(defrules r (and FAMILY)\n"
      "  (rule r1 (if (x lo) and (z hi)) (then (y a)))\n"
      "  (rule r2 (if (x very lo)) (then (y a)))\n"
      "  (rule r3 (if (z lo) and (x hi) and (z hi)) (then (y a)))\n"
      "  (rule r4 (if (x lo) or not (z hi)) (then (y a)) (weight 0.5)))";
  // An AND of a 0 is 0 for the minimum, the product and the bounded sum; the means of a 0 are
  // not, and must be computed in full.
  const struct {
    const char* Family;
    std::vector<double> Expected;
  } cases[] = {
      {"zadeh", {0, 0.25, 0, 0.5}},
      {"product", {0, 0.25, 0, 0.5}},
      {"boundedsum", {0, 0.25, 0, 0.5}},
      {"mean", {0.25, 0.25, 0.375, 0.5}},
      {"meansqr", {0.0625, 0.25, 0.5625 / 2 * (0.5625 / 2), 0.5}},
  };
  for (const auto& [family, expected] : cases) {
    std::string definition = text;
    definition.replace(definition.find("FAMILY"), 6, family);
    TFuzzyController controller = TFuzzyController::FromText(definition);
    controller.SetInput("x", 5);
    controller.SetInput("z", 0);
    controller.Process();
    const std::vector<double> strengths = Strengths(controller);
    ASSERT_EQ(strengths.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
      EXPECT_NEAR(strengths[i], expected[i], 1e-12) << family << " rule " << i + 1;
    // A second run on other inputs reads the degrees afresh: at x = 0, z = 10 every test is
    // 1 or 0 and very lo(x) is 1.
    controller.SetInput("x", 0);
    controller.SetInput("z", 10);
    controller.Process();
    EXPECT_EQ(Strengths(controller)[1], 1) << family;
    EXPECT_EQ(Strengths(controller)[0], 1) << family;
  }
}

// A grid controller: two inputs of `terms` triangles over 0..terms-1, every pair of terms a
// rule concluding the term nearest their mean.
std::string GridText(int terms, const std::string& settings) {
  const auto variable = [terms](const std::string& name) {
    std::string text = "(deffuzzy " + name + " (range 0 " + std::to_string(terms - 1) + ") (values";
    for (int t = 0; t < terms; ++t) {
      text += " (term t" + std::to_string(t) + " (";
      if (t > 0) text += "(" + std::to_string(t - 1) + " 0) ";
      text += "(" + std::to_string(t) + " 1)";
      if (t < terms - 1) text += " (" + std::to_string(t + 1) + " 0)";
      text += "))";
    }
    return text + "))\n";
  };
  std::string text = variable("a") + variable("b") + variable("y") + "(defrules grid " + settings;
  for (int i = 0; i < terms; ++i)
    for (int j = 0; j < terms; ++j)
      text += " (rule r" + std::to_string(i) + "_" + std::to_string(j) + " (if (a t" +
              std::to_string(i) + ") and (b t" + std::to_string(j) + ")) (then (y t" +
              std::to_string((i + j + 1) / 2) + ")))";
  return text + ")";
}

TEST(ControllerEvaluation, TheExplainingSetsAreWhatTheOutputWasComputedFrom) {
  constexpr int kTerms = 6;
  for (const char* implication : {"clip", "cap", "scale"}) {
    for (const char* aggregation : {"maximum", "boundedsum", "probabilisticsum", "sum"}) {
      const std::string settings =
          std::string("(implication ") + implication + ") (aggregation " + aggregation + ")";
      TFuzzyController controller = TFuzzyController::FromText(GridText(kTerms, settings));
      for (int k = 0; k < 25; ++k) {
        // Points spread over the square, some on the terms' peaks and feet.
        const double a = std::fmod(k * 0.37 * (kTerms - 1), kTerms - 1.0);
        const double b = k % 5 == 0 ? k / 5 : std::fmod(k * 0.61 * (kTerms - 1), kTerms - 1.0);
        controller.SetInput("a", a);
        controller.SetInput("b", b);
        controller.Process();
        const std::string where = settings + " at " + std::to_string(a) + ", " + std::to_string(b);
        // The output is the centroid of the aggregate the controller explains itself by.
        const TFuzzySet* aggregate = controller.GetAggregate("y");
        ASSERT_NE(aggregate, nullptr) << where;
        EXPECT_EQ(controller.GetOutput("y"),
                  geometry::CenterOfGravity(aggregate->GetValues(), 0, kTerms - 1))
            << where;
        // That aggregate combines the implied consequents: each fired rule's term shaped by
        // its strength, the maximum of them where they all are linear.
        const std::vector<TImpliedConsequent> implied = controller.GetImpliedConsequents("y");
        ASSERT_FALSE(implied.empty()) << where;
        for (const TImpliedConsequent& consequent : implied)
          EXPECT_NEAR(consequent.Set->GetMaximumYValue(),
                      std::string(implication) == "scale" ? consequent.Strength
                                                          : std::min(1.0, consequent.Strength),
                      1e-12)
              << where;
        if (std::string(aggregation) != "maximum") continue;
        for (double x = 0.05; x < kTerms - 1; x += 0.5) {
          double highest = 0;
          for (const TImpliedConsequent& consequent : implied)
            highest = std::max(highest, consequent.Set->GetMembership(x));
          EXPECT_NEAR(aggregate->GetMembership(x), highest, 1e-12) << where << " x " << x;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tapwise
