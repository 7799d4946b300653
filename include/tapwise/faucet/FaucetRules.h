#pragma once

#include <array>

#include "tapwise/foundation/Messages.h"
#include "tapwise/fuzzy/FuzzyTypes.h"
#include "tapwise/fuzzy/IFuzzySet.h"
#include "tapwise/fuzzy/SpreadReading.h"

namespace tapwise {

/// One rule of the faucet controller: when outTemp is `TempTerm` and outFlow is `FlowTerm`,
/// the hot valve changes by the change_vc term `HotConsequent` and the cold valve by
/// `ColdConsequent`. `Label` starts the log line of a rule that fires.
struct TFaucetRule {
  const char* Label;
  const char* TempTerm;
  const char* FlowTerm;
  const char* HotConsequent;
  const char* ColdConsequent;
};

/// The controller's eight rules, in firing order. There is deliberately no rule for an OK
/// temperature with an OK flow: that is the target.
inline constexpr std::array<TFaucetRule, 8> kFaucetRules = {{
    {messages::kRuleColdLow, "cold", "low", "PB", "Z"},
    {messages::kRuleColdOK, "cold", "OK", "PM", "Z"},
    {messages::kRuleColdStrong, "cold", "strong", "Z", "NB"},
    {messages::kRuleOKLow, "OK", "low", "PS", "PS"},
    {messages::kRuleOKStrong, "OK", "strong", "NS", "NS"},
    {messages::kRuleHotLow, "hot", "low", "Z", "PB"},
    {messages::kRuleHotOK, "hot", "OK", "NM", "Z"},
    {messages::kRuleHotStrong, "hot", "strong", "NB", "Z"},
}};

/// The universe of an outlet reading and the half-width of the triangle it becomes.
struct TOutletScale {
  TFzyFloat Min;
  TFzyFloat Max;
  TFzyFloat HalfWidth;
};

/// The universes of outTemp (Celcius) and outFlow (liters/minute): fixed constants of the
/// controller, not read from the variables.
inline constexpr TOutletScale kOutletTemperature{5, 65, 0.1};
inline constexpr TOutletScale kOutletFlow{0, 100, 0.5};

/// Makes `set` the fuzzy reading of the crisp outlet value `value`: a triangle of height 1
/// at `value` clipped to the universe, or at a bound a one-sided spike of the full
/// half-width ((0, 1) (0.5, 0) for a flow of 0).
inline void FuzzifyOutletReading(IFuzzySet& set, TFzyFloat value, const TOutletScale& scale) {
  SetSpreadReading(set, value, scale.HalfWidth, scale.Min, scale.Max);
}

}  // namespace tapwise
