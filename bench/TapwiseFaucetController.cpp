#include "TapwiseFaucetController.h"

#include <algorithm>
#include <span>
#include <string>
#include <utility>

#include "tapwise/fuzzy/InterfacedFuzzyVariable.h"

namespace tapwise::bench {
namespace {

constexpr int kNumFunctionValues = 7;

IntfPtr<IFuzzyVariable> MakeVariable(const std::string& name, double minimum, double maximum) {
  IntfPtr<TIFuzzyVariable> variable = TIFuzzyVariable::Create(name);
  variable->SetMaximum(maximum);
  variable->SetMinimum(minimum);
  variable->SetNumFunctionValues(kNumFunctionValues);
  variable->SetThreshold(TapwiseFaucetController::kThreshold);
  return variable;
}

void AddDecline(IFuzzyVariable& variable, const std::string& name, double left, double right) {
  variable.AddFuzzySet(name)->SetCurve(kNumFunctionValues, false, left, right, right);
}

void AddGrowth(IFuzzyVariable& variable, const std::string& name, double left, double right) {
  variable.AddFuzzySet(name)->SetCurve(kNumFunctionValues, true, left, right, right);
}

void AddPi(IFuzzyVariable& variable, const std::string& name, double range, double center) {
  variable.AddFuzzySet(name)->SetPICurveRange(kNumFunctionValues, range, center);
}

void AddPoints(IFuzzyVariable& variable, const std::string& name,
               std::initializer_list<std::pair<double, double>> points) {
  IntfPtr<IFuzzySet> term = variable.AddFuzzySet(name);
  for (const auto& [x, y] : points)
    term->AddPoint(x, y);
}

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
  FOutTempVariable = MakeVariable("outTemp", kTemperatureMin, kTemperatureMax);
  FOutTempVariable->SetUnits("Celcius");
  AddDecline(*FOutTempVariable, "cold", 10, 35);
  AddPi(*FOutTempVariable, "OK", 2, 36);
  AddGrowth(*FOutTempVariable, "hot", 37, 60);

  FOutFlowVariable = MakeVariable("outFlow", kFlowMin, kFlowMax);
  FOutFlowVariable->SetUnits("liters/minute");
  AddDecline(*FOutFlowVariable, "low", 3, 11.5);
  AddPi(*FOutFlowVariable, "OK", 1, 12);
  AddGrowth(*FOutFlowVariable, "strong", 12.5, 25);

  FChangeVariable = MakeVariable("change_vc", -1, 1);
  AddPoints(*FChangeVariable, "NB", {{-0.5, 1}, {-0.25, 0}});
  AddPoints(*FChangeVariable, "NM", {{-0.35, 0}, {-0.3, 1}, {-0.15, 0}});
  AddPoints(*FChangeVariable, "NS", {{-0.25, 0}, {-0.15, 1}, {0, 0}});
  AddPoints(*FChangeVariable, "Z", {{-0.05, 0}, {0, 1}, {0.05, 0}});
  AddPoints(*FChangeVariable, "PS", {{0, 0}, {0.15, 1}, {0.25, 0}});
  AddPoints(*FChangeVariable, "PM", {{0.15, 0}, {0.3, 1}, {0.35, 0}});
  AddPoints(*FChangeVariable, "PB", {{0.25, 0}, {0.5, 1}});

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
