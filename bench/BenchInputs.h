#pragma once

#include <string>
#include <vector>

namespace tapwise::bench {

/// One crisp outlet reading fed to a controller tick.
struct OutletReading {
  double temperature;
  double flow;
};

/// The crisp valve changes a controller tick answers.
struct ValveChanges {
  double hot;
  double cold;
};

/// The fixed list of 1000 readings every controller benchmark sweeps: a Halton sequence
/// (bases 2 and 3) over temperature 5..65 and flow 0..100, so that the list covers both
/// universes evenly, never lands on the corners and is the same on every run.
const std::vector<OutletReading>& OutletReadings();

/// Size of the generated definition texts: variables and triangle terms per variable.
inline constexpr int kParseVariables = 500;
inline constexpr int kParseTermsPerVariable = 7;

/// An FLL text with `variables` input variables of `terms` triangle terms each.
std::string GenerateFllText(int variables, int terms);

/// The same variables and terms in the definition language ("(deffuzzy ... (values (term
/// t0 (tri a b c)) ...))"), for the parser benchmark.
std::string GenerateDefinitionText(int variables, int terms);

}  // namespace tapwise::bench
