#include "TapwiseFaucetController.h"

#include "tapwise/faucet/FaucetDefinitions.h"

#include <algorithm>
#include <span>
#include <string>
#include <utility>

namespace tapwise::bench {
namespace {

struct Rule {
  const char* temperature;
  const char* flow;
  const char* hot;
  const char* cold;
};

// The demo's rule table, in firing order; there is no rule for OK temperature at OK flow.
constexpr std::array<Rule, 8> kRules{{
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
  for (size_t i = 0; i < kRules.size(); ++i) {
    const Rule& rule = kRules[i];
    FRules[i] = {
        {FOutTempVariable->GetFuzzySet(rule.temperature), FOutFlowVariable->GetFuzzySet(rule.flow)},
        FChangeVariable->GetFuzzySet(rule.hot),
        FChangeVariable->GetFuzzySet(rule.cold)};
  }
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
