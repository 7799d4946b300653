#include "TapwiseFaucetController.h"

#include "tapwise/faucet/FaucetDefinitions.h"
#include "tapwise/faucet/FaucetRules.h"

namespace tapwise::bench {

TapwiseFaucetController::TapwiseFaucetController(TInputs inputs) : FInputModel(inputs) {
  FParser.SetFuzzyLogic(&FLogic);
  FLogic.SetParser(&FParser);
  FLogic.SetThreshold(kThreshold);
  FLogic.SetStrings(kFaucetDefinitions);
  FOutTempVariable = FLogic.GetVariable("outTemp");
  FOutFlowVariable = FLogic.GetVariable("outFlow");
  FChangeVariable = FLogic.GetVariable("change_vc");
  FInputs = {FOutTempVariable->AddFuzzySet("OutTemp"), FOutFlowVariable->AddFuzzySet("OutFlow")};
  for (size_t i = 0; i < kFaucetRules.size(); ++i) {
    const TFaucetRule& rule = kFaucetRules[i];
    FRules[i] = {{FOutTempVariable->GetFuzzySet(rule.TempTerm),
                  FOutFlowVariable->GetFuzzySet(rule.FlowTerm)},
                 FChangeVariable->GetFuzzySet(rule.HotConsequent),
                 FChangeVariable->GetFuzzySet(rule.ColdConsequent)};
  }
}

ValveChanges TapwiseFaucetController::Tick(const OutletReading& reading) {
  IFuzzySet& out_temp = *FInputs[0];
  IFuzzySet& out_flow = *FInputs[1];
  if (FInputModel == TInputs::Crisp) {
    out_flow.SetCrispValue(reading.flow);
    out_temp.SetCrispValue(reading.temperature);
  } else {
    FuzzifyOutletReading(out_flow, reading.flow, kOutletFlow);
    FuzzifyOutletReading(out_temp, reading.temperature, kOutletTemperature);
  }
  return FireRules();
}

ValveChanges TapwiseFaucetController::FireRules() {
  IntfPtr<IFuzzySet> hot_change;
  IntfPtr<IFuzzySet> cold_change;
  for (const ResolvedRule& rule : FRules) {
    const double strength = FChangeVariable->RuleStrength(FInputs, rule.antecedents);
    if (!(strength >= kThreshold)) continue;
    hot_change = FChangeVariable->ApplyRule(rule.hot, hot_change, strength);
    cold_change = FChangeVariable->ApplyRule(rule.cold, cold_change, strength);
  }
  return {hot_change ? hot_change->CenterOfGravity() : 0.0,
          cold_change ? cold_change->CenterOfGravity() : 0.0};
}

}  // namespace tapwise::bench
