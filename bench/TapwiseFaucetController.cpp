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
  FHotChange.Restart();
  FColdChange.Restart();
  for (const ResolvedRule& rule : FRules) {
    const double strength = FChangeVariable->RuleStrength(FInputs, rule.antecedents);
    if (!(strength >= kThreshold)) continue;
    FHotChange.Apply(*rule.hot, strength);
    FColdChange.Apply(*rule.cold, strength);
  }
  const IntfPtr<IFuzzySet>& hot = FHotChange.GetAggregate();
  const IntfPtr<IFuzzySet>& cold = FColdChange.GetAggregate();
  return {hot ? hot->CenterOfGravity() : 0.0, cold ? cold->CenterOfGravity() : 0.0};
}

}  // namespace tapwise::bench
