#include "TapwiseFaucetController.h"

#include "tapwise/faucet/FaucetDefinitions.h"

#include <algorithm>
#include <span>
#include <string>
#include <utility>

namespace tapwise::bench {
namespace {

struct Rule {
  std::string temperature;
  std::string flow;
  std::string hot;
  std::string cold;
};

// The demo's rule table, in firing order; there is no rule for OK temperature at OK flow.
// The names are strings made once, as the demo's rule code holds them.
const std::array<Rule, 8> kRules{{
    {"cold", "low", "PB", "Z"},
    {"cold", "OK", "PM", "Z"},
    {"cold", "strong", "Z", "NB"},
    {"OK", "low", "PS", "PS"},
    {"OK", "strong", "NS", "NS"},
    {"hot", "low", "Z", "PB"},
    {"hot", "OK", "NM", "Z"},
    {"hot", "strong", "NB", "Z"},
}};

}  // namespace

TapwiseFaucetController::TapwiseFaucetController(TInputs inputs) : FInputModel(inputs) {
  FParser.SetFuzzyLogic(&FLogic);
  FLogic.SetParser(&FParser);
  FLogic.SetThreshold(kThreshold);
  FLogic.SetStrings(kFaucetDefinitions);
  FOutTempVariable = FLogic.GetVariable("outTemp");
  FOutFlowVariable = FLogic.GetVariable("outFlow");
  FChangeVariable = FLogic.GetVariable("change_vc");
  FInputs = {FOutTempVariable->AddFuzzySet("OutTemp"), FOutFlowVariable->AddFuzzySet("OutFlow")};
}

ValveChanges TapwiseFaucetController::Tick(const OutletReading& reading) {
  const double flow = reading.flow;
  const double temperature = reading.temperature;
  IFuzzySet& out_flow = *FInputs[1];
  IFuzzySet& out_temp = *FInputs[0];
  if (FInputModel == TInputs::Crisp) {
    out_flow.SetCrispValue(flow);
    out_temp.SetCrispValue(temperature);
    return FireRules();
  }
  // The output fuzzification of the simulation step: a spike at a bound, else a narrow
  // triangle clipped to the universe.
  out_flow.Clear();
  if (flow == kFlowMin) {
    out_flow.AddPoint(kFlowMin, 1);
    out_flow.AddPoint(kFlowMin + 0.5, 0);
  } else if (flow == kFlowMax) {
    out_flow.AddPoint(kFlowMax - 0.5, 0);
    out_flow.AddPoint(kFlowMax, 1);
  } else {
    out_flow.AddPoint(std::max(kFlowMin, flow - 0.5), 0);
    out_flow.AddPoint(flow, 1);
    out_flow.AddPoint(std::min(kFlowMax, flow + 0.5), 0);
  }
  out_temp.Clear();
  if (temperature == kTemperatureMin) {
    out_temp.AddPoint(kTemperatureMin, 1);
    out_temp.AddPoint(kTemperatureMin + 0.1, 0);
  } else if (temperature == kTemperatureMax) {
    out_temp.AddPoint(kTemperatureMax - 0.1, 0);
    out_temp.AddPoint(kTemperatureMax, 1);
  } else {
    out_temp.AddPoint(std::max(kTemperatureMin, temperature - 0.1), 0);
    out_temp.AddPoint(temperature, 1);
    out_temp.AddPoint(std::min(kTemperatureMax, temperature + 0.1), 0);
  }
  return FireRules();
}

ValveChanges TapwiseFaucetController::FireRules() {
  // The rule firing of the demo's tick, terms fetched by name as it does.
  IntfPtr<IFuzzySet> hot_change;
  IntfPtr<IFuzzySet> cold_change;
  for (const Rule& rule : kRules) {
    const std::array<IntfPtr<IFuzzySet>, 2> antecedents{
        FOutTempVariable->GetFuzzySet(rule.temperature), FOutFlowVariable->GetFuzzySet(rule.flow)};
    const double strength = FChangeVariable->RuleStrength(FInputs, antecedents);
    if (!(strength >= kThreshold)) continue;
    hot_change =
        FChangeVariable->ApplyRule(FChangeVariable->GetFuzzySet(rule.hot), hot_change, strength);
    cold_change =
        FChangeVariable->ApplyRule(FChangeVariable->GetFuzzySet(rule.cold), cold_change, strength);
  }
  return {hot_change ? hot_change->CenterOfGravity() : 0.0,
          cold_change ? cold_change->CenterOfGravity() : 0.0};
}

}  // namespace tapwise::bench
