#pragma once

#include <gtest/gtest.h>

#include <string>

#include "../support/LiveObjectGuard.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/IFuzzySet.h"
#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"
#include "tapwise/language/FuzzyLogicParser.h"

namespace tapwise::testing {

// The demonstration's three variables, as its component holds them.
inline constexpr char kDemoDefinitions[] =
    "; the mixing faucet\r\n"
    "(deffuzzy outTemp\r\n"
    "  (range 5 65)\r\n"
    "  (units Celcius)\r\n"
    "  (values\r\n"
    "    (term cold  (z 10 35))\r\n"
    "    (term OK (pi 36 2))\r\n"
    "    (term hot (s 37  60))))\r\n"
    "(deffuzzy outFlow\r\n"
    "  (range 0 100)\r\n"
    "  (units liters/minute)\r\n"
    "  (values\r\n"
    "    (term low (z 3 11.5))\r\n"
    "    (term OK (pi 12 1))\r\n"
    "    (term strong (s 12.5 25))))\r\n"
    "(deffuzzy change_vc\r\n"
    "  (range -1 1)\r\n"
    "  (values\r\n"
    "    (term NB ((-0.5 1) (-.25 0)))\r\n"
    "    (term NM ((-0.35 0) (-0.3 1) (-0.15 0)))\r\n"
    "    (term NS ((-0.25 0) (-0.15 1) (0 0)))\r\n"
    "    (term Z ((-0.05 0) (0 1) (0.05 0)))\r\n"
    "    (term PS ((0 0) (0.15 1) (0.25 0)))\r\n"
    "    (term PM ((0.15 0) (0.3 1) (0.35 0)))\r\n"
    "    (term PB ((0.25 0) (0.5 1)))))";

// A parser linked both ways to an interfaced component, with a leak check over both.
class InterfacedParserTest : public ::testing::Test {
 protected:
  InterfacedParserTest() {
    parser.SetFuzzyLogic(&logic);
    logic.SetParser(&parser);
  }

  IntfPtr<IFuzzyVariable> Variable(const std::string& name) { return logic.GetVariable(name); }
  IntfPtr<IFuzzySet> Term(const std::string& variable, const std::string& name) {
    return logic.GetVariable(variable)->GetFuzzySet(name);
  }

  LiveObjectGuard guard;
  TZTFuzzyLogicParser parser;
  TIFuzzyLogic logic;
};

inline void ExpectSamePoints(const IFuzzySet& expected, const IFuzzySet& actual,
                             const std::string& what) {
  ASSERT_EQ(expected.GetCount(), actual.GetCount()) << what;
  for (int i = 0; i < expected.GetCount(); ++i) {
    EXPECT_NEAR(expected.GetX(i), actual.GetX(i), 1e-4) << what << " point " << i;
    EXPECT_NEAR(expected.GetY(i), actual.GetY(i), 1e-4) << what << " point " << i;
  }
}

}  // namespace tapwise::testing
