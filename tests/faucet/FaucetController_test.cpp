// The faucet demo's controller written as a controller file answers exactly as the demo's own
// rule firing does.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "tapwise/control/FuzzyController.h"
#include "tapwise/faucet/FaucetDefinitions.h"
#include "tapwise/faucet/FaucetRules.h"
#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"
#include "tapwise/language/FuzzyLogicParser.h"

namespace tapwise {
namespace {

// The demo's tick: the readings fuzzified, the eight rules fired on the interfaced variables
// with the component's threshold, each valve's aggregate taken by its centre of gravity.
class DemoRuleFiring {
 public:
  DemoRuleFiring() {
    FParser.SetFuzzyLogic(&FLogic);
    FLogic.SetParser(&FParser);
    FLogic.SetStrings(std::string(kFaucetDefinitions));
    FTemp = FLogic.GetVariable("outTemp");
    FFlow = FLogic.GetVariable("outFlow");
    FChange = FLogic.GetVariable("change_vc");
    FInputs = {FTemp->AddFuzzySet("OutTemp"), FFlow->AddFuzzySet("OutFlow")};
  }
  ~DemoRuleFiring() { FLogic.SetParser(nullptr); }

  std::array<double, 2> Fire(double temperature, double flow) {
    FuzzifyOutletReading(*FInputs[0], temperature, kOutletTemperature);
    FuzzifyOutletReading(*FInputs[1], flow, kOutletFlow);
    IntfPtr<IFuzzySet> hot;
    IntfPtr<IFuzzySet> cold;
    for (const TFaucetRule& rule : kFaucetRules) {
      const std::array<IntfPtr<IFuzzySet>, 2> antecedents = {FTemp->GetFuzzySet(rule.TempTerm),
                                                             FFlow->GetFuzzySet(rule.FlowTerm)};
      const double strength = FChange->RuleStrength(FInputs, antecedents);
      if (!(strength >= FLogic.GetThreshold())) continue;
      hot = FChange->ApplyRule(FChange->GetFuzzySet(rule.HotConsequent), hot, strength);
      cold = FChange->ApplyRule(FChange->GetFuzzySet(rule.ColdConsequent), cold, strength);
    }
    return {hot ? hot->CenterOfGravity() : 0.0, cold ? cold->CenterOfGravity() : 0.0};
  }

 private:
  TZTFuzzyLogicParser FParser;
  TIFuzzyLogic FLogic;
  IntfPtr<IFuzzyVariable> FTemp;
  IntfPtr<IFuzzyVariable> FFlow;
  IntfPtr<IFuzzyVariable> FChange;
  std::array<IntfPtr<IFuzzySet>, 2> FInputs;
};

TEST(FaucetController, TheControllerFileAndTheDemoAgree) {
  DemoRuleFiring demo;
  TFuzzyController file =
      TFuzzyController::FromFile(std::string(TAPWISE_EXAMPLES_DIR) + "/faucet.fzl");
  int compared = 0;
  int fired = 0;
  for (int t = 0; t <= 60; ++t) {
    for (int f = 0; f <= 50; ++f) {
      // Whole and odd positions alike, the universes' bounds included.
      const double temperature = 5 + t + (t % 3) * 0.37 * (t < 60);
      const double flow = f * 2 + (f % 4) * 0.61 * (f < 50);
      const auto [hot, cold] = demo.Fire(temperature, flow);
      file.SetInput("outTemp", temperature);
      file.SetInput("outFlow", flow);
      file.Process();
      // The controller finds the crossings of its aggregate by another formula than the
      // demo's set union; the two may differ in the last bits.
      ASSERT_NEAR(file.GetOutput("hot"), hot, 1e-12) << temperature << " " << flow;
      ASSERT_NEAR(file.GetOutput("cold"), cold, 1e-12) << temperature << " " << flow;
      ++compared;
      fired += hot != 0 || cold != 0;
    }
  }
  EXPECT_EQ(compared, 61 * 51);
  EXPECT_GT(fired, compared / 2);
}

}  // namespace
}  // namespace tapwise
