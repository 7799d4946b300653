#pragma once

#include <array>

#include "BenchInputs.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/IFuzzySet.h"
#include "tapwise/fuzzy/IFuzzyVariable.h"
#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"
#include "tapwise/fuzzy/RuleAccumulator.h"
#include "tapwise/language/FuzzyLogicParser.h"

namespace tapwise::bench {

/// The faucet demo's control step without the plant and without logging: the two outlet
/// sets are rebuilt from crisp readings as the simulation step rebuilds them
/// (`FuzzifyOutletReading`), the demo's rules (`kFaucetRules`) fire through `RuleStrength`
/// and a `TRuleAccumulator` per valve (the points of `ApplyRule`, in reused sets), and both
/// aggregates are defuzzified with `CenterOfGravity`.
///
/// The three variables come from the demo's definition text (`kFaucetDefinitions`),
/// read by a `TZTFuzzyLogicParser` into a `TIFuzzyLogic` with the demo's threshold, so that
/// the terms carry everything the demo's do (parser link, automatic terms).
///
/// Inputs differ from the peer's: here the readings are themselves fuzzy sets (a narrow
/// triangle of half-width 0.1 around the temperature and 0.5 around the flow, clipped to
/// the universe) and a rule's strength is their match degree with the antecedent terms
/// (the height of the intersection), where the peer evaluates the terms at the crisp value.
class TapwiseFaucetController {
 public:
  /// How a reading enters the rules.
  enum class TInputs {
    /// As the demo does it: narrow triangles around the readings.
    Fuzzy,
    /// Crisp spikes (`SetCrispValue`), so that a rule's strength is the terms' membership
    /// at the reading, as in the peer; only for telling the input model's share of the
    /// difference to the peer from the rest.
    Crisp,
  };

  explicit TapwiseFaucetController(TInputs inputs = TInputs::Fuzzy);
  TapwiseFaucetController(const TapwiseFaucetController&) = delete;
  TapwiseFaucetController& operator=(const TapwiseFaucetController&) = delete;

  /// One tick at the given outlet reading. Steady state: both accumulators start empty,
  /// and a valve no rule fires for gets change 0.
  ValveChanges Tick(const OutletReading& reading);

  /// The rule-firing threshold the demo's component hands to its variables.
  static constexpr double kThreshold = 0.01;

 private:
  // The eight rules over the current outlet sets, both accumulators defuzzified.
  ValveChanges FireRules();

  TInputs FInputModel;
  // The demo's two components, linked both ways; the variables live in the component.
  TZTFuzzyLogicParser FParser;
  TIFuzzyLogic FLogic;
  IntfPtr<IFuzzyVariable> FOutTempVariable;
  IntfPtr<IFuzzyVariable> FOutFlowVariable;
  IntfPtr<IFuzzyVariable> FChangeVariable;
  // The terms "OutTemp" and "OutFlow" of the two input variables, in rule-input order.
  std::array<IntfPtr<IFuzzySet>, 2> FInputs;
  // The demo's eight rules with their terms looked up once, as a controller holds them: a
  // tick is set work only, no name look-ups.
  struct ResolvedRule {
    std::array<IntfPtr<IFuzzySet>, 2> antecedents;
    IntfPtr<IFuzzySet> hot;
    IntfPtr<IFuzzySet> cold;
  };
  std::array<ResolvedRule, 8> FRules;
  // The valves' working sets, written again each tick.
  TRuleAccumulator FHotChange;
  TRuleAccumulator FColdChange;
};

}  // namespace tapwise::bench
