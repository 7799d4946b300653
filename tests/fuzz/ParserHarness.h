#pragma once

// What the parser harnesses share: the demonstration's definitions, a component linked both
// ways to a parser, and the invariants of every set a parse or an expression leaves.

#include <cmath>
#include <string>

#include "FuzzInput.h"
#include "tapwise/fuzzy/IFuzzySet.h"
#include "tapwise/fuzzy/IFuzzyVariable.h"
#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"
#include "tapwise/language/FuzzyLogicParser.h"

namespace tapwise::fuzzing {

/// The demonstration's three variables, as its component holds them.
inline constexpr char kDemoDefinitions[] =
    "(deffuzzy outTemp (range 5 65) (units Celcius)\r\n"
    "  (values (term cold (z 10 35)) (term OK (pi 36 2)) (term hot (s 37  60))))\r\n"
    "(deffuzzy outFlow (range 0 100) (units liters/minute)\r\n"
    "  (values (term low (z 3 11.5)) (term OK (pi 12 1)) (term strong (s 12.5 25))))\r\n"
    "(deffuzzy change_vc (range -1 1)\r\n"
    "  (values (term NB ((-0.5 1) (-.25 0))) (term NM ((-0.35 0) (-0.3 1) (-0.15 0)))\r\n"
    "    (term NS ((-0.25 0) (-0.15 1) (0 0))) (term Z ((-0.05 0) (0 1) (0.05 0)))\r\n"
    "    (term PS ((0 0) (0.15 1) (0.25 0))) (term PM ((0.15 0) (0.3 1) (0.35 0)))\r\n"
    "    (term PB ((0.25 0) (0.5 1)))))";

/// A component and its parser, linked both ways as the demonstration links them.
struct LinkedParser {
  LinkedParser() {
    parser.SetFuzzyLogic(&logic);
    logic.SetParser(&parser);
  }
  TZTFuzzyLogicParser parser;
  TIFuzzyLogic logic;
};

/// The invariants of a set (counted or plain): finite points in ascending X, non-negative
/// degrees, finite measures.
template <class Set>
void CheckSet(const Set& set) {
  const int count = set.GetCount();
  for (int i = 0; i < count; ++i) {
    const double x = set.GetX(i);
    const double y = set.GetY(i);
    Require(std::isfinite(x) && std::isfinite(y), "a point that is not finite");
    Require(y >= 0, "a negative degree");
    if (i > 0) Require(x >= set.GetX(i - 1) - FuzzyEpsilon, "points out of X order");
  }
  if (count == 0) return;
  Require(std::isfinite(set.CenterOfGravity()), "CenterOfGravity is not finite");
  Require(std::isfinite(set.MeanOfMaxima()), "MeanOfMaxima is not finite");
}

/// `CheckSet` for every term of every variable of `logic`.
inline void CheckVariables(const TIFuzzyLogic& logic) {
  for (int v = 0; v < logic.GetVariableCount(); ++v) {
    const IntfPtr<IFuzzyVariable> variable = logic.GetVariableAt(v);
    Require(std::isfinite(variable->GetMinimum()) && std::isfinite(variable->GetMaximum()),
            "a universe bound that is not finite");
    for (int t = 0; t < variable->GetFuzzySetCount(); ++t)
      CheckSet(*variable->GetFuzzySetAt(t));
  }
}

}  // namespace tapwise::fuzzing
