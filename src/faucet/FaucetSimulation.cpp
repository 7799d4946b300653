#include "tapwise/faucet/FaucetSimulation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "tapwise/faucet/FaucetDefinitions.h"
#include "tapwise/faucet/FaucetRules.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/foundation/ScopedAssignment.h"
#include "tapwise/foundation/StringList.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/IFuzzyVariable.h"

namespace tapwise {

namespace {

// The temperature the step reports when nothing flows.
constexpr TFzyFloat kNoFlowTemp = 5.0;
// Below this, a valve change counts as no change for the "cannot get ..." tests.
constexpr TFzyFloat kIdleChange = 1e-6;
// The smallest base of a valve move, so that a shut valve can open.
constexpr TFzyFloat kMinMoveBase = 0.1;
constexpr TFzyFloat kFactorDecay = 0.96;
constexpr TFzyFloat kFactorFloor = 0.1;

TFzyFloat MoveValve(TFzyFloat position, TFzyFloat factor, TFzyFloat change) {
  // A valve without change keeps its position (clamped only), also with a huge factor that
  // would otherwise give inf * 0.
  const TFzyFloat move = change == 0 ? 0 : std::max(kMinMoveBase, position) * factor * change;
  return std::max(0.0, std::min(1.0, position + move));
}

TFzyFloat CheckedChange(TFzyFloat change, const char* argument) {
  if (!std::isfinite(change)) {
    throw EFzyException(Format(messages::kValveChangeNotFinite, "SimulateStep", argument));
  }
  return std::abs(change) < TFaucetSimulation::kChangeEpsilon ? 0 : change;
}

}  // namespace

TFaucetSimulation::TFaucetSimulation(ISimulationHost& host)
    : FHost(host), FForm(std::make_unique<TComponent>()) {
  FForm->SetName("Form1");
  // Created in the order of the stored layout; owned (and freed) by the form.
  FParser = new TZTFuzzyLogicParser(FForm.get());
  FParser->SetName("ZTFuzzyLogicParser1");
  FFuzzyLogic = new TIFuzzyLogic(FForm.get());
  FFuzzyLogic->SetName("IFuzzyLogic1");

  FForm->BeginLoading();
  FParser->SetFuzzyLogic(FFuzzyLogic);
  FFuzzyLogic->SetThreshold(0.01);
  FFuzzyLogic->SetParser(FParser);
  TStringList variables;
  for (std::string_view line : kFaucetInitialVariables)
    variables.Add(std::string(line));
  FFuzzyLogic->SetVariables(variables);
  FFuzzyLogic->SetStrings(kFaucetDefinitions);  // parsed by Loaded, not here
  FForm->EndLoading();
}

TFzyFloat TFaucetSimulation::ReadVariable(std::string_view name) const {
  const std::optional<std::string> text = FFuzzyLogic->GetVariables().TryGetValue(name);
  if (!text) throw EConvertError(Format(messages::kSimulationVariableMissing, name));
  // TryStrToFloat refuses infinities and NaN, so nothing non-finite is ever computed with.
  const std::optional<double> value = TryStrToFloat(*text);
  if (!value) throw EConvertError(Format(messages::kSimulationVariableNotNumber, name, *text));
  return *value;
}

void TFaucetSimulation::WriteVariable(std::string_view name, TFzyFloat value) {
  FFuzzyLogic->GetVariables().SetValue(name, FloatToStr(value));
}

void TFaucetSimulation::SetStatusColor(TStatusColor color) {
  FStatusColor = color;
  FHost.SetStatusColor(color);
}

void TFaucetSimulation::SetTimerInterval(int milliseconds) {
  FTimerInterval = milliseconds;
  FHost.SetTimerInterval(milliseconds);
}

void TFaucetSimulation::ShowMessage(const std::string& text) {
  // The host's message is modal; a timer event it lets through must not start a step.
  const TScopedAssignment message_open(FMessageOpen, true);
  FHost.ShowMessage(text);
}

void TFaucetSimulation::StopAction(const char* first_line) {
  SetStatusColor(kStatusRed);
  ShowMessage(std::string(first_line) + std::string(TStringList::LineBreak) +
              messages::kStoppingSimulation);
  FFuzzyLogic->GetVariables().SetValue(simvar::kIterationFactor, "1.0");
  StopSimulation();
}

void TFaucetSimulation::StopSimulation() {
  FRunning = false;
  FHost.SetTimerEnabled(false);
  FHost.SetStartEnabled(true);
}

void TFaucetSimulation::Abort() noexcept {
  FColdValveChange.Restart();
  FHotValveChange.Restart();
  FRunning = false;
  try {
    FHost.SetTimerEnabled(false);
    FHost.SetStartEnabled(true);
  } catch (...) {
    // The original failure is the one worth reporting.
  }
}

void TFaucetSimulation::SeedAccumulators() {
  const IntfPtr<IFuzzyVariable> change = FFuzzyLogic->GetVariable("change_vc");
  FColdValveChange.Restart(FParser->EvaluateExpression(change, "NB"));
  FHotValveChange.Restart(FParser->EvaluateExpression(change, "Z"));
}

void TFaucetSimulation::Start() {
  InitSimulation();
  if (FRunning) {
    FHost.SetTimerEnabled(true);
    FHost.SetStartEnabled(false);
  }
}

void TFaucetSimulation::InitSimulation() {
  FRunning = true;
  try {
    TStringList& variables = FFuzzyLogic->GetVariables();
    variables.SetValue(simvar::kColdValvePos, "0.0");
    variables.SetValue(simvar::kHotValvePos, "0.0");
    SeedAccumulators();
    FOutTemp = FFuzzyLogic->GetVariable("outTemp")->AddFuzzySet("OutTemp");
    FOutFlow = FFuzzyLogic->GetVariable("outFlow")->AddFuzzySet("OutFlow");
    SimulateStep(0, 0);
    // The zero step leaves the seeds in place; they are set again so that the first tick
    // accumulates the cold valve from NB and the hot valve from Z whatever happened.
    SeedAccumulators();
  } catch (...) {
    Abort();
    throw;
  }
}

void TFaucetSimulation::FireRules() {
  const IntfPtr<IFuzzyVariable> out_temp = FFuzzyLogic->GetVariable("outTemp");
  const IntfPtr<IFuzzyVariable> out_flow = FFuzzyLogic->GetVariable("outFlow");
  const IntfPtr<IFuzzyVariable> change = FFuzzyLogic->GetVariable("change_vc");
  const TFzyFloat threshold = FFuzzyLogic->GetThreshold();
  const std::array<IntfPtr<IFuzzySet>, 2> inputs = {FOutTemp, FOutFlow};
  FTickReport = {};
  for (std::size_t index = 0; index < kFaucetRules.size(); ++index) {
    const TFaucetRule& rule = kFaucetRules[index];
    const std::array<IntfPtr<IFuzzySet>, 2> antecedents = {out_temp->GetFuzzySet(rule.TempTerm),
                                                           out_flow->GetFuzzySet(rule.FlowTerm)};
    const TFzyFloat strength = change->RuleStrength(inputs, antecedents);
    FTickReport.Strengths[index] = strength;
    // Written so that a strength that compares unordered counts as below the threshold.
    if (!(strength >= threshold)) continue;
    FTickReport.Fired[index] = true;
    FHost.AppendLog(std::string(rule.Label) + FloatToStr(strength));
    FTickReport.Hot.Consequents[index] =
        FHotValveChange.Apply(*change->GetFuzzySet(rule.HotConsequent), strength);
    FTickReport.Cold.Consequents[index] =
        FColdValveChange.Apply(*change->GetFuzzySet(rule.ColdConsequent), strength);
  }
}

bool TFaucetSimulation::Timer1Timer() {
  if (!FRunning || FInTick || FMessageOpen) return false;
  const TScopedAssignment in_tick(FInTick, true);
  try {
    FireRules();
    const IntfPtr<IFuzzySet>& cold_aggregate = FColdValveChange.GetAggregate();
    const IntfPtr<IFuzzySet>& hot_aggregate = FHotValveChange.GetAggregate();
    const TFzyFloat cold_change = cold_aggregate ? cold_aggregate->CenterOfGravity() : 0;
    const TFzyFloat hot_change = hot_aggregate ? hot_aggregate->CenterOfGravity() : 0;
    FTickReport.Cold.Aggregate = cold_aggregate;
    FTickReport.Cold.Change = cold_change;
    FTickReport.Hot.Aggregate = hot_aggregate;
    FTickReport.Hot.Change = hot_change;
    SimulateStep(cold_change, hot_change);
    // A factor the step refused (not positive) has already stopped the run; it never
    // becomes a timer interval.
    const TFzyFloat factor = ReadVariable(simvar::kIterationFactor);
    if (factor > 0) {
      // nearbyint rounds ties to even in the default rounding mode.
      const double interval = std::nearbyint(factor * 1000);
      const double max_interval = std::numeric_limits<int>::max();
      SetTimerInterval(static_cast<int>(std::clamp(interval, 1.0, max_interval)));
    }
    FColdValveChange.Restart();
    FHotValveChange.Restart();
  } catch (...) {
    Abort();
    throw;
  }
  return true;
}

void TFaucetSimulation::SimulateStep(TFzyFloat cold_change, TFzyFloat hot_change) {
  const TFzyFloat dc = CheckedChange(cold_change, "ColdChange");
  const TFzyFloat dh = CheckedChange(hot_change, "HotChange");

  SetStatusColor(kStatusYellow);
  TFzyFloat pc = ReadVariable(simvar::kColdValvePos);
  TFzyFloat ph = ReadVariable(simvar::kHotValvePos);
  const TFzyFloat cold_temp = ReadVariable(simvar::kColdTemp);
  const TFzyFloat hot_temp = ReadVariable(simvar::kHotTemp);
  const TFzyFloat temp_max = ReadVariable(simvar::kOptimalTempMax);
  const TFzyFloat temp_min = ReadVariable(simvar::kOptimalTempMin);
  const TFzyFloat flow_max = ReadVariable(simvar::kOptimalFlowMax);
  const TFzyFloat flow_min = ReadVariable(simvar::kOptimalFlowMin);
  const TFzyFloat cold_press = ReadVariable(simvar::kColdPress);
  const TFzyFloat hot_press = ReadVariable(simvar::kHotPress);
  const TFzyFloat atmospheric = ReadVariable(simvar::kAtmosphericPress);
  const TFzyFloat k = ReadVariable(simvar::kIterationFactor);

  // A factor that is not positive would drive the valves backwards and give the timer a
  // period it cannot have: the run stops and the variable stays as the user set it.
  if (!(k > 0)) {
    SetStatusColor(kStatusRed);
    ShowMessage(Format(messages::kIterationFactorNotPositive,
                       FFuzzyLogic->GetVariables().GetValue(simvar::kIterationFactor)) +
                std::string(TStringList::LineBreak) + messages::kStoppingSimulation);
    StopSimulation();
    return;
  }

  // Saturation: only the first row that holds acts; the step goes on after it.
  if (pc == 1 && dc > 0 && dh >= 0) {
    StopAction(messages::kColdValveFullyOpen);
  } else if (ph == 1 && dh > 0 && dc >= 0) {
    StopAction(messages::kHotValveFullyOpen);
  } else if (pc == 0 && dc < 0 && std::abs(dh) < kIdleChange) {
    StopAction(messages::kTemperatureNotHighEnough);
  } else if (ph == 0 && dh < 0 && std::abs(dc) < kIdleChange) {
    StopAction(messages::kTemperatureNotLowEnough);
  } else if (ph == 0 && dh < 0 && pc == 1 && dc > 0) {
    StopAction(messages::kTemperatureNotLowEnough);
  } else if (ph == 1 && dh > 0 && pc == 0 && dc < 0) {
    StopAction(messages::kTemperatureNotHighEnough);
  }

  if (dc != 0 || dh != 0) {
    pc = MoveValve(pc, k, dc);
    ph = MoveValve(ph, k, dh);
  }

  const TFzyFloat fh = (hot_press - atmospheric) * ph;
  const TFzyFloat fc = (cold_press - atmospheric) * pc;
  const TFzyFloat flow = fh + fc;
  if (!std::isfinite(fh) || !std::isfinite(fc) || !std::isfinite(flow)) {
    throw EFzyException(Format(messages::kPlantResultNotFinite, "flow"));
  }
  const TFzyFloat temp = flow != 0 ? (fc * cold_temp + fh * hot_temp) / flow : kNoFlowTemp;
  if (!std::isfinite(temp)) {
    throw EFzyException(Format(messages::kPlantResultNotFinite, "temperature"));
  }

  FHost.AppendLog(Format(messages::kOutputFlowLine, flow));
  FHost.AppendLog(flow != 0 ? Format(messages::kOutputTempLine, temp)
                            : std::string(messages::kOutputTempUnknown));

  if (flow != 0) {
    if (ph == 0 && temp > temp_max) {
      StopAction(messages::kTemperatureNotLowEnough);
    } else if (pc == 0 && temp < temp_min) {
      StopAction(messages::kTemperatureNotHighEnough);
    }
  }

  if (flow > flow_min && flow < flow_max && temp > temp_min && temp < temp_max) {
    SetStatusColor(kStatusGreen);
    FFuzzyLogic->GetVariables().SetValue(simvar::kIterationFactor, "1.0");
    StopSimulation();
  }

  // Uses k as read, so it overrides a "1.0" written by a stop earlier in this step.
  if (k > kFactorFloor) WriteVariable(simvar::kIterationFactor, k * kFactorDecay);

  WriteVariable(simvar::kColdValvePos, pc);
  WriteVariable(simvar::kHotValvePos, ph);
  WriteVariable(simvar::kColdFlow, fc);
  WriteVariable(simvar::kHotFlow, fh);

  // Before the first InitSimulation there are no outlet sets to rebuild.
  if (FOutFlow) FuzzifyOutletReading(*FOutFlow, flow, kOutletFlow);
  if (FOutTemp) FuzzifyOutletReading(*FOutTemp, temp, kOutletTemperature);
}

}  // namespace tapwise
