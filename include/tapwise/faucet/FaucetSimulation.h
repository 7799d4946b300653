#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "tapwise/faucet/FaucetRules.h"
#include "tapwise/faucet/SimulationHost.h"
#include "tapwise/foundation/Component.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/FuzzyTypes.h"
#include "tapwise/fuzzy/IFuzzySet.h"
#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"
#include "tapwise/fuzzy/RuleAccumulator.h"
#include "tapwise/language/FuzzyLogicParser.h"

namespace tapwise {

/// What one tick computed, for a host that shows how the rules decided: the sets and numbers
/// are the very ones the tick stepped the plant with, not computed again.
struct TFaucetTickReport {
  /// One valve's part: each rule's change_vc consequent capped at the rule's strength (null
  /// for a rule that did not fire), their aggregate with the accumulator's seed (null when
  /// nothing was accumulated) and its centre of gravity, the change the valve was given.
  struct TValve {
    std::array<IntfPtr<IFuzzySet>, kFaucetRules.size()> Consequents;
    IntfPtr<IFuzzySet> Aggregate;
    TFzyFloat Change = 0;
  };
  /// Every rule's strength, in the order of `kFaucetRules`, fired or not.
  std::array<TFzyFloat, kFaucetRules.size()> Strengths{};
  std::array<bool, kFaucetRules.size()> Fired{};
  TValve Hot;
  TValve Cold;
};

/// The faucet demo's control loop, without any GUI type: eight fuzzy rules over the outlet
/// temperature and flow decide how far to move the hot and cold valves, and a plant model
/// computes the new flows and the mixed temperature until the outlet is in its target band
/// or a valve saturates.
///
/// It owns the fuzzy-logic component (`GetFuzzyLogic`, named "IFuzzyLogic1") and its parser
/// ("ZTFuzzyLogicParser1"), loaded as the window's stored layout loads them: the parser's
/// `FuzzyLogic` link, then `Threshold` 0.01, the `Parser` link, the fourteen simulation
/// variables (`kFaucetInitialVariables`) and the definitions (`kFaucetDefinitions`), and
/// only then `Loaded`, which parses them. The simulation state lives as text in the
/// component's `Variables`; a host may replace that list (as "simvars.txt" does) before a
/// run.
///
/// Everything shown goes through the `ISimulationHost`: log lines, the status colour, the
/// modal stop messages, the step timer and the Start button. A host drives a run like this:
///
///     TFaucetSimulation simulation(host);
///     simulation.Start();                        // InitSimulation, timer on, Start off
///     while (simulation.IsRunning()) simulation.Timer1Timer();  // one tick per timer event
///
/// Errors (a simulation variable that is missing or not a finite number, a fuzzy variable
/// or term missing from its table) stop the run and reach the caller as exceptions, once:
/// the run is over, so the next timer event does nothing. Every call runs on the host's
/// thread.
class TFaucetSimulation {
 public:
  /// Valve changes whose magnitude is below this are taken as exactly 0: the centre of
  /// gravity of a symmetric set such as Z comes out as rounding noise, not as 0.
  static constexpr TFzyFloat kChangeEpsilon = 1e-9;

  /// Builds and loads the component and its parser. `host` must outlive the simulation.
  explicit TFaucetSimulation(ISimulationHost& host);
  TFaucetSimulation(const TFaucetSimulation&) = delete;
  TFaucetSimulation& operator=(const TFaucetSimulation&) = delete;

  /// The fuzzy-logic component: the fuzzy variables and the simulation variables.
  TIFuzzyLogic& GetFuzzyLogic() { return *FFuzzyLogic; }
  const TIFuzzyLogic& GetFuzzyLogic() const { return *FFuzzyLogic; }
  /// The parser linked to the component.
  TZTFuzzyLogicParser& GetParser() { return *FParser; }

  /// The outlet temperature as a fuzzy set (term "OutTemp" of outTemp); null before the
  /// first `InitSimulation`.
  const IntfPtr<IFuzzySet>& GetOutTemp() const { return FOutTemp; }
  /// The outlet flow as a fuzzy set (term "OutFlow" of outFlow); null before the first
  /// `InitSimulation`.
  const IntfPtr<IFuzzySet>& GetOutFlow() const { return FOutFlow; }
  /// The change_vc set accumulated for the cold valve in the current tick (may be null).
  const IntfPtr<IFuzzySet>& GetColdValveChange() const { return FColdValveChange.GetAggregate(); }
  /// The change_vc set accumulated for the hot valve in the current tick (may be null).
  const IntfPtr<IFuzzySet>& GetHotValveChange() const { return FHotValveChange.GetAggregate(); }

  /// What the last tick computed (all empty before the first one).
  const TFaucetTickReport& GetTickReport() const { return FTickReport; }

  /// What Start does: `InitSimulation`, then, unless the zero step already stopped the run,
  /// the timer on and the Start button off.
  void Start();
  /// Starts a run: both valves "0.0"; the accumulators seeded with NB (cold) and Z (hot);
  /// fresh empty "OutTemp" and "OutFlow" terms; one `SimulateStep(0, 0)`; the accumulators
  /// seeded again for the first tick. A failure stops the run and is raised.
  void InitSimulation();
  /// Fires the eight rules into the two accumulators, logging each rule that fires, and
  /// starts the tick report with the strengths and the capped consequents.
  void FireRules();
  /// One plant step: saturation tests, valve moves, flows and temperature, log lines, limit
  /// and target tests, the iteration factor, the write-back and the outlet sets. A change
  /// below `kChangeEpsilon` in magnitude counts as 0; a change that is not finite raises
  /// EFzyException before anything changes. A simulation variable that is missing or not a
  /// finite number raises EConvertError naming it and its text; nothing after that read
  /// runs. A non-positive iteration factor stops the run with a message and changes nothing.
  void SimulateStep(TFzyFloat cold_change, TFzyFloat hot_change);
  /// Ends the run: timer off, Start button on.
  void StopSimulation();
  /// One tick: `FireRules`, the two centres of gravity, `SimulateStep`, the timer interval
  /// from the iteration factor, empty accumulators. Returns false, doing nothing, when no
  /// run is going or while a tick or a stop message is still in progress (a timer event
  /// that arrives during the modal message). A failure stops the run and is raised.
  bool Timer1Timer();

  /// Whether a run is going: from `InitSimulation` to `StopSimulation`.
  bool IsRunning() const { return FRunning; }
  /// Whether a stop message is being shown.
  bool IsMessageOpen() const { return FMessageOpen; }
  /// The status colour last set (yellow, red or green; black before any run).
  TStatusColor GetStatusColor() const { return FStatusColor; }
  /// The step timer's interval last set, in milliseconds (1000 until a tick sets it).
  int GetTimerInterval() const { return FTimerInterval; }

  /// The simulation variable `name` as a number; EConvertError naming the variable and its
  /// text when it is missing or not a finite number.
  TFzyFloat ReadVariable(std::string_view name) const;
  /// Stores `value` in the general floating-point form.
  void WriteVariable(std::string_view name, TFzyFloat value);

 private:
  void SetStatusColor(TStatusColor color);
  void SetTimerInterval(int milliseconds);
  void ShowMessage(const std::string& text);
  // Red status, the message with "Stopping simulation", factor "1.0", StopSimulation.
  void StopAction(const char* first_line);
  void SeedAccumulators();
  // Stops the run after a failure; the caller rethrows.
  void Abort() noexcept;

  ISimulationHost& FHost;
  // The stand-in for the window: owner of the component and the parser.
  std::unique_ptr<TComponent> FForm;
  TZTFuzzyLogicParser* FParser = nullptr;
  TIFuzzyLogic* FFuzzyLogic = nullptr;

  // Declared after the form: released before it frees the variables that hold them as terms.
  // The valves' accumulators: their working sets are written again each tick unless a
  // holder of the tick report still keeps them.
  TRuleAccumulator FColdValveChange;
  TRuleAccumulator FHotValveChange;
  IntfPtr<IFuzzySet> FOutTemp;
  IntfPtr<IFuzzySet> FOutFlow;
  TFaucetTickReport FTickReport;

  bool FRunning = false;
  bool FInTick = false;
  bool FMessageOpen = false;
  TStatusColor FStatusColor;
  int FTimerInterval = 1000;
};

}  // namespace tapwise
