#include "tapwise/faucet/FaucetSimulation.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "RecordingHost.h"
#include "support/ExpectThrow.h"
#include "support/LiveObjectGuard.h"
#include "tapwise/faucet/FaucetDefinitions.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Stream.h"
#include "tapwise/foundation/StringList.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/IFuzzyVariable.h"

namespace tapwise {
namespace {

using testing::LiveObjectGuard;
using testing::RecordingHost;
using TPoints = std::vector<std::pair<double, double>>;

const std::string kStopping = "\r\nStopping simulation";
const std::string kColdWater =
    "*** Cold Water Problem -- Cold valve fully open and unable to open more ***";
const std::string kHotWater =
    "*** Hot Water Problem -- Hot valve fully open and unable to open more ***";
const std::string kNotHighEnough =
    "*** Hot Temperature Problem -- Cannot get temperature high enough ***";
const std::string kNotLowEnough =
    "*** Hot Temperature Problem -- Cannot get temperature low enough ***";

TPoints Points(const IFuzzySet& set) {
  TPoints points;
  for (int i = 0; i < set.GetCount(); ++i)
    points.emplace_back(set.GetX(i), set.GetY(i));
  return points;
}

class FaucetSimulationTest : public ::testing::Test {
 protected:
  std::string Var(std::string_view name) {
    return sim.GetFuzzyLogic().GetVariables().GetValue(name);
  }
  void Set(std::string_view name, std::string_view value) {
    sim.GetFuzzyLogic().GetVariables().SetValue(name, value);
  }
  // A started run whose host record is empty again, ready for a step under test.
  void Started() {
    sim.InitSimulation();
    host.Reset();
  }
  // Sets the valve positions and the factor, then runs one plant step.
  void Step(std::string_view pc, std::string_view ph, double dc, double dh,
            std::string_view k = "1.0") {
    Set(simvar::kColdValvePos, pc);
    Set(simvar::kHotValvePos, ph);
    Set(simvar::kIterationFactor, k);
    sim.SimulateStep(dc, dh);
  }
  // Starts a run and sends timer events until it stops, at most `limit`; the number sent.
  int RunToTheEnd(int limit) {
    sim.Start();
    int ticks = 0;
    while (sim.IsRunning() && ticks < limit) {
      EXPECT_TRUE(sim.Timer1Timer());
      ++ticks;
    }
    return ticks;
  }
  IntfPtr<IFuzzySet> Term(const char* variable, const char* term) {
    return sim.GetFuzzyLogic().GetVariable(variable)->GetFuzzySet(term);
  }

  LiveObjectGuard guard;
  RecordingHost host;
  TFaucetSimulation sim{host};
};

TEST_F(FaucetSimulationTest, LoadsTheDemoComponent) {
  TIFuzzyLogic& logic = sim.GetFuzzyLogic();
  EXPECT_EQ(logic.GetName(), "IFuzzyLogic1");
  EXPECT_FALSE(logic.IsLoading());
  EXPECT_EQ(logic.GetThreshold(), 0.01);
  EXPECT_EQ(logic.GetParser(), &sim.GetParser());
  ASSERT_EQ(logic.GetVariables().GetCount(), 14);
  EXPECT_EQ(logic.GetVariables().GetString(0), "*coldValvePos*=0.0");
  EXPECT_EQ(logic.GetVariables().GetString(13), "*iterationFactor*=1.0");
  ASSERT_EQ(logic.GetVariableCount(), 3);
  const auto out_temp = logic.GetVariable("outTemp");
  EXPECT_EQ(out_temp->GetMinimum(), 5);
  EXPECT_EQ(out_temp->GetMaximum(), 65);
  EXPECT_EQ(out_temp->GetUnits(), "Celcius");
  EXPECT_EQ(out_temp->GetFuzzySetCount(), 6);  // cold, OK, hot and the three automatic terms
  EXPECT_EQ(logic.GetVariable("outFlow")->GetUnits(), "liters/minute");
  EXPECT_EQ(logic.GetVariable("outFlow")->GetFuzzySetCount(), 5);  // keeps its own low
  const auto change = logic.GetVariable("change_vc");
  EXPECT_EQ(change->GetMinimum(), -1);
  EXPECT_EQ(change->GetThreshold(), 0.01);
  EXPECT_EQ(Points(*change->GetFuzzySet("NB")), (TPoints{{-0.5, 1}, {-0.25, 0}}));
  EXPECT_EQ(Points(*change->GetFuzzySet("Z")), (TPoints{{-0.05, 0}, {0, 1}, {0.05, 0}}));
  EXPECT_EQ(Points(*change->GetFuzzySet("PB")), (TPoints{{0.25, 0}, {0.5, 1}}));
  EXPECT_FALSE(sim.GetOutTemp());
  EXPECT_FALSE(sim.IsRunning());
}

TEST_F(FaucetSimulationTest, ZeroStepOfInitSimulation) {
  sim.InitSimulation();
  EXPECT_EQ(host.Log, (std::vector<std::string>{"Output Flow is  0.000 litres/sec",
                                                "Output Temp is UNKNOWN"}));
  EXPECT_EQ(Var(simvar::kColdValvePos), "0");
  EXPECT_EQ(Var(simvar::kHotValvePos), "0");
  EXPECT_EQ(Var(simvar::kColdFlow), "0");
  EXPECT_EQ(Var(simvar::kHotFlow), "0");
  EXPECT_EQ(Var(simvar::kIterationFactor), "0.96");
  EXPECT_EQ(host.Colors, std::vector<TStatusColor>{kStatusYellow});
  EXPECT_TRUE(host.Messages.empty());
  // The outlet sets are terms of their variables, spiking at no flow and 5 degrees.
  EXPECT_EQ(sim.GetOutTemp(), Term("outTemp", "OutTemp"));
  EXPECT_EQ(Points(*sim.GetOutTemp()), (TPoints{{5, 1}, {5.1, 0}}));
  EXPECT_EQ(Points(*sim.GetOutFlow()), (TPoints{{0, 1}, {0.5, 0}}));
  EXPECT_TRUE(sim.IsRunning());
  // InitSimulation alone leaves the timer and the Start button to the host; Start does both.
  EXPECT_TRUE(host.Intervals.empty());
  EXPECT_FALSE(host.TimerEnabled);
}

TEST_F(FaucetSimulationTest, StartRunsInitAndHandsOverToTheTimer) {
  sim.Start();
  EXPECT_TRUE(host.TimerEnabled);
  EXPECT_FALSE(host.StartEnabled);
  // A second Start replaces the outlet terms with fresh sets and resets the valves.
  const IntfPtr<IFuzzySet> first = sim.GetOutTemp();
  Set(simvar::kColdValvePos, "0.7");
  sim.Start();
  EXPECT_NE(sim.GetOutTemp(), first);
  EXPECT_EQ(Term("outTemp", "OutTemp"), sim.GetOutTemp());
  EXPECT_EQ(Var(simvar::kColdValvePos), "0");
}

TEST_F(FaucetSimulationTest, FirstTickAccumulatesFromNBAndZ) {
  sim.InitSimulation();
  EXPECT_EQ(sim.GetColdValveChange(), Term("change_vc", "NB"));
  EXPECT_EQ(sim.GetHotValveChange(), Term("change_vc", "Z"));
  sim.FireRules();
  // Only cold_low fires at no flow and 5 degrees: hot Z | PB, cold NB | Z.
  EXPECT_EQ(host.Log.back(), "rule activated: cold_low: 1");
  EXPECT_EQ(sim.GetHotValveChange()->GetMembership(0), 1);
  EXPECT_EQ(sim.GetHotValveChange()->GetMembership(0.5), 1);
  EXPECT_EQ(sim.GetColdValveChange()->GetMembership(-0.5), 1);
  EXPECT_EQ(sim.GetColdValveChange()->GetMembership(0), 1);
  // The seeds themselves are untouched.
  EXPECT_EQ(Points(*Term("change_vc", "NB")), (TPoints{{-0.5, 1}, {-0.25, 0}}));

  host.Reset();
  sim.InitSimulation();
  ASSERT_TRUE(sim.Timer1Timer());
  EXPECT_FALSE(sim.GetColdValveChange());
  EXPECT_FALSE(sim.GetHotValveChange());
  // The second tick starts empty: only hot_low fires, so the cold valve gets PB alone.
  sim.FireRules();
  EXPECT_EQ(host.Log.back().rfind("rule activated: hot_low: ", 0), 0u);
  EXPECT_EQ(sim.GetColdValveChange()->GetMembership(-0.5), 0);
  EXPECT_EQ(sim.GetColdValveChange()->GetMembership(0), 0);
  EXPECT_GT(sim.GetColdValveChange()->GetMembership(0.5), 0);
}

TEST_F(FaucetSimulationTest, RuleFiresFromTheThresholdOn) {
  sim.InitSimulation();
  for (const double degree : {0.01, 0.00999}) {
    host.Reset();
    sim.GetOutTemp()->Clear();
    sim.GetOutTemp()->AddPoint(5, degree);
    sim.GetOutTemp()->AddPoint(65, degree);
    sim.FireRules();
    if (degree == 0.01) {
      EXPECT_EQ(host.Log, (std::vector<std::string>{"rule activated: cold_low: 0.01",
                                                    "rule activated: OK_low: 0.01",
                                                    "rule activated: hot_low: 0.01"}));
    } else {
      EXPECT_TRUE(host.Log.empty());
    }
  }
}

TEST_F(FaucetSimulationTest, ValveMoves) {
  Started();
  Step("0.5", "0.05", 0.2, 0.3);
  EXPECT_EQ(Var(simvar::kColdValvePos), "0.6");
  EXPECT_EQ(Var(simvar::kHotValvePos), "0.08");  // the base is 0.1, not 0.05

  Step("0", "1", 0.2, 0.5, "0.5");
  EXPECT_EQ(Var(simvar::kColdValvePos), "0.01");  // a shut valve opens by 0.1 * k * change
  EXPECT_EQ(Var(simvar::kHotValvePos), "1");

  // Without change nothing moves, not even a position outside 0..1.
  Step("1.5", "-0.2", 0, 0);
  EXPECT_EQ(Var(simvar::kColdValvePos), "1.5");
  EXPECT_EQ(Var(simvar::kHotValvePos), "-0.2");
  // Any change recomputes both, which clamps them.
  Step("1.5", "-0.2", 0, 0.1);
  EXPECT_EQ(Var(simvar::kColdValvePos), "1");
  EXPECT_EQ(Var(simvar::kHotValvePos), "0");  // -0.2 + 0.1 * 0.1
}

TEST_F(FaucetSimulationTest, PlantModel) {
  Started();
  Step("0.5", "0.25", 0, 0);
  EXPECT_EQ(host.Log, (std::vector<std::string>{"Output Flow is 22.500 litres/sec",
                                                "Output Temp is 33.889 degrees C"}));
  EXPECT_EQ(Var(simvar::kColdFlow), "10");
  EXPECT_EQ(Var(simvar::kHotFlow), "12.5");
  EXPECT_EQ(Points(*sim.GetOutFlow()), (TPoints{{22, 0}, {22.5, 1}, {23, 0}}));
  EXPECT_DOUBLE_EQ(sim.GetOutTemp()->GetX(1), 762.5 / 22.5);

  // A feed below the outlet pressure flows backwards, and the mix uses that flow.
  host.Reset();
  Set(simvar::kColdPress, "20");
  Step("0.5", "0.5", 0, 0);
  EXPECT_EQ(Var(simvar::kColdFlow), "-5");
  EXPECT_EQ(host.Log[1], "Output Temp is 51.250 degrees C");  // (-5 * 20 + 25 * 45) / 20
}

TEST_F(FaucetSimulationTest, OutletShoulders) {
  Started();
  Set(simvar::kAtmosphericPress, "0");
  Set(simvar::kHotPress, "100");
  Set(simvar::kHotTemp, "65");
  Step("0", "1", 0, 0);
  EXPECT_EQ(Points(*sim.GetOutFlow()), (TPoints{{99.5, 0}, {100, 1}}));
  EXPECT_EQ(Points(*sim.GetOutTemp()), (TPoints{{64.9, 0}, {65, 1}}));

  Set(simvar::kHotPress, "100.2");
  Set(simvar::kHotTemp, "64.95");
  Step("0", "1", 0, 0);
  // (99.7, 0), (100.2, 1), (100, 0): AddPoint keeps the last two inside the universe.
  EXPECT_EQ(Points(*sim.GetOutFlow()), (TPoints{{99.7, 0}, {100, 1}, {100, 0}}));
  // (64.85, 0), (64.95, 1), (65.05, 0) likewise ends at 65.
  ASSERT_EQ(sim.GetOutTemp()->GetCount(), 3);
  EXPECT_DOUBLE_EQ(sim.GetOutTemp()->GetX(0), 64.85);
  EXPECT_EQ(sim.GetOutTemp()->GetX(1), 64.95);
  EXPECT_EQ(sim.GetOutTemp()->GetX(2), 65);
  EXPECT_EQ(sim.GetOutTemp()->GetY(2), 0);

  // Flowing water at exactly 5 degrees gives the 5-degree spike.
  Set(simvar::kColdTemp, "5");
  Step("1", "0", 0, 0);
  EXPECT_EQ(Points(*sim.GetOutTemp()), (TPoints{{5, 1}, {5.1, 0}}));
}

struct TSaturationCase {
  const char* Pc;
  const char* Ph;
  double Dc;
  double Dh;
  std::string Message;  // the first message's first line, empty for none
};

TEST_F(FaucetSimulationTest, SaturationRowsInOrder) {
  const TSaturationCase cases[] = {
      {"1", "0.5", 0.1, 0, kColdWater},          // row 1
      {"1", "1", 0.1, 0.1, kColdWater},          // rows 1 and 2 hold: the first acts
      {"0.5", "1", 0, 0.1, kHotWater},           // row 2
      {"0", "0.5", -0.1, 0, kNotHighEnough},     // row 3
      {"0", "0.5", -0.1, 1e-7, kNotHighEnough},  // row 3: the hot change is idle
      {"0.5", "0", 0, -0.1, kNotLowEnough},      // row 4
      {"1", "0", 0.1, -0.1, kNotLowEnough},      // row 5
      {"0", "1", -0.1, 0.1, kNotHighEnough},     // row 6
      {"1", "0.5", 0.1, -0.1, ""},               // row 1 wants the hot valve at rest or opening
      {"0.5", "0.5", 0.1, 0.1, ""},
  };
  Started();
  for (const TSaturationCase& c : cases) {
    SCOPED_TRACE(std::string(c.Pc) + " " + c.Ph);
    host.Reset();
    sim.InitSimulation();
    host.Reset();
    Step(c.Pc, c.Ph, c.Dc, c.Dh);
    if (c.Message.empty()) {
      EXPECT_TRUE(host.Messages.empty());
    } else {
      ASSERT_EQ(host.Messages.size(), 1u);
      EXPECT_EQ(host.Messages[0], c.Message + kStopping);
      EXPECT_FALSE(sim.IsRunning());
    }
  }
}

TEST_F(FaucetSimulationTest, StopActionThenTheStepGoesOn) {
  Started();
  Step("1", "0.5", 0.1, 0);
  EXPECT_EQ(host.Calls,
            (std::vector<std::string>{"color: 255,255,0", "color: 255,0,0",
                                      "message: " + kColdWater + kStopping, "timer: off",
                                      "start: on", "log: Output Flow is 45.000 litres/sec",
                                      "log: Output Temp is 33.889 degrees C"}));
  // The stop wrote "1.0", but the decay of the factor as read comes after it.
  EXPECT_EQ(Var(simvar::kIterationFactor), "0.96");
  EXPECT_EQ(Var(simvar::kColdValvePos), "1");
  EXPECT_EQ(sim.GetStatusColor(), kStatusRed);
}

TEST_F(FaucetSimulationTest, TwoMessagesInOneStep) {
  Started();
  Set(simvar::kColdTemp, "40");
  // Row 1 (cold valve fully open), then row 7: only cold water at 40 degrees.
  Step("1", "0", 0.1, 0);
  EXPECT_EQ(host.Messages,
            (std::vector<std::string>{kColdWater + kStopping, kNotLowEnough + kStopping}));
  // Row 8: no cold water and the hot feed too cool.
  host.Reset();
  Set(simvar::kHotTemp, "30");
  Step("0", "0.5", 0, 0);
  EXPECT_EQ(host.Messages, std::vector<std::string>{kNotHighEnough + kStopping});
}

TEST_F(FaucetSimulationTest, TargetBand) {
  Started();
  // Fc = 4.8, Fh = 7.2: 12 litres at 35 degrees.
  Step("0.24", "0.144", 0, 0, "1.0");
  EXPECT_EQ(host.Colors.back(), kStatusGreen);
  EXPECT_TRUE(host.Messages.empty());
  EXPECT_FALSE(sim.IsRunning());
  EXPECT_TRUE(host.StartEnabled);
  // The target wrote "1.0"; the decay of the k read at the start overrides it.
  EXPECT_EQ(Var(simvar::kIterationFactor), "0.96");
  // The band is strict: 22.5 litres at 33.889 degrees are outside a band ending at 22.5.
  host.Reset();
  sim.InitSimulation();
  Set(simvar::kOptimalTempMin, "33");
  Set(simvar::kOptimalFlowMax, "22.5");
  Step("0.5", "0.25", 0, 0, "0.05");
  EXPECT_TRUE(sim.IsRunning());
  EXPECT_EQ(Var(simvar::kIterationFactor), "0.05");  // at or below 0.1 it no longer decays
  Set(simvar::kOptimalFlowMax, "22.6");
  Step("0.5", "0.25", 0, 0, "0.05");
  EXPECT_FALSE(sim.IsRunning());
  EXPECT_EQ(Var(simvar::kIterationFactor), "1.0");  // k was not above 0.1: the target's 1.0
}

TEST_F(FaucetSimulationTest, TimerIntervalFollowsTheFactor) {
  Started();
  Set(simvar::kIterationFactor, "1.0");
  ASSERT_TRUE(sim.Timer1Timer());
  EXPECT_EQ(host.Intervals, std::vector<int>{960});
  EXPECT_EQ(sim.GetTimerInterval(), 960);
  Set(simvar::kIterationFactor, "0.0625");  // 62.5 ms: ties go to even
  ASSERT_TRUE(sim.Timer1Timer());
  EXPECT_EQ(host.Intervals.back(), 62);
}

TEST_F(FaucetSimulationTest, WholeRunWithTheInitialVariablesEndsGreen) {
  EXPECT_EQ(RunToTheEnd(100), 10);
  EXPECT_EQ(sim.GetStatusColor(), kStatusGreen);
  EXPECT_TRUE(host.Messages.empty());
  EXPECT_FALSE(host.TimerEnabled);
  EXPECT_TRUE(host.StartEnabled);
  const double flow = std::stod(Var(simvar::kColdFlow)) + std::stod(Var(simvar::kHotFlow));
  EXPECT_GT(flow, 11);
  EXPECT_LT(flow, 13);
  EXPECT_EQ(host.Log.end()[-2], "Output Flow is 11.039 litres/sec");
  EXPECT_EQ(host.Log.back(), "Output Temp is 37.039 degrees C");
  EXPECT_EQ(host.Log[2], "rule activated: cold_low: 1");
  // A tick after the stop does nothing.
  const size_t lines = host.Log.size();
  EXPECT_FALSE(sim.Timer1Timer());
  EXPECT_EQ(host.Log.size(), lines);
}

TEST_F(FaucetSimulationTest, VariablesLoadedFromAFileRunAsTheInitialOnes) {
  // A variables file with a byte-order mark and CR LF, or with bare LF, replaces the list
  // and runs exactly as the initial variables do; one value that is no finite number stops
  // the first step with an error naming it, and the timer events after it do nothing.
  std::string crlf = "\xEF\xBB\xBF";
  std::string lf;
  for (std::string_view line : kFaucetInitialVariables) {
    crlf += std::string(line) + "\r\n";
    lf += std::string(line) + "\n";
  }
  for (const std::string& file : {crlf, lf}) {
    TZTStringStream stream(file);
    sim.GetFuzzyLogic().GetVariables().LoadFromStream(stream);
    ASSERT_EQ(sim.GetFuzzyLogic().GetVariables().GetCount(), 14);
    EXPECT_EQ(RunToTheEnd(100), 10);
    EXPECT_EQ(sim.GetStatusColor(), kStatusGreen);
  }
  std::string broken = lf;
  broken.replace(broken.find("*hotTemp*=45.0"), 14, "*hotTemp*=1e999");
  TZTStringStream stream(broken);
  sim.GetFuzzyLogic().GetVariables().LoadFromStream(stream);
  EXPECT_THROW_MSG(sim.Start(), EConvertError,
                   "Simulation variable *hotTemp* holds \"1e999\", which is not a finite number");
  EXPECT_FALSE(sim.IsRunning());
  EXPECT_FALSE(sim.Timer1Timer());
}

TEST_F(FaucetSimulationTest, HotValveFullyOpenDespiteRoundingNoise) {
  // Cold 5 degrees at 50 kPa, hot 34 degrees at 42 kPa: the hot valve opens fully while
  // the cold consequent is Z, whose centre of gravity is rounding noise around 0.
  Set(simvar::kColdTemp, "5");
  Set(simvar::kHotTemp, "34");
  Set(simvar::kHotPress, "42");
  sim.Start();
  int ticks = 0;
  while (sim.IsRunning() && ticks < 1000) {
    sim.Timer1Timer();
    ++ticks;
  }
  EXPECT_LT(ticks, 1000);
  EXPECT_EQ(host.Messages, std::vector<std::string>{kHotWater + kStopping});
  EXPECT_EQ(sim.GetStatusColor(), kStatusRed);

  // Directly: a change below 1e-9 in magnitude is no change.
  host.Reset();
  sim.InitSimulation();
  Step("0.5", "1", -1.6e-18, 0.1);
  EXPECT_EQ(host.Messages, std::vector<std::string>{kHotWater + kStopping});
}

TEST_F(FaucetSimulationTest, NoStepWhileAStopMessageIsOpen) {
  Set(simvar::kColdTemp, "5");
  Set(simvar::kHotTemp, "34");
  Set(simvar::kHotPress, "42");
  sim.Start();
  bool nested_tick_ran = true;
  size_t lines_at_message = 0;
  host.OnMessage = [&] {
    lines_at_message = host.Log.size();
    nested_tick_ran = sim.Timer1Timer();
    EXPECT_TRUE(sim.IsMessageOpen());
  };
  while (sim.IsRunning())
    sim.Timer1Timer();
  EXPECT_FALSE(nested_tick_ran);
  EXPECT_FALSE(sim.IsMessageOpen());
  EXPECT_EQ(host.Messages.size(), 1u);
  EXPECT_EQ(host.Log.size(), lines_at_message + 2);  // only the step's own two log lines
}

TEST_F(FaucetSimulationTest, BadVariableStopsTheRunOnce) {
  sim.Start();
  Set(simvar::kColdTemp, "abc");
  EXPECT_THROW_MSG(sim.Timer1Timer(), EConvertError,
                   "Simulation variable *coldTemp* holds \"abc\", which is not a finite number");
  EXPECT_FALSE(sim.IsRunning());
  EXPECT_FALSE(host.TimerEnabled);
  EXPECT_TRUE(host.StartEnabled);
  EXPECT_FALSE(sim.GetColdValveChange());
  const size_t lines = host.Log.size();
  EXPECT_FALSE(sim.Timer1Timer());  // the next timer event finds no run
  EXPECT_EQ(host.Log.size(), lines);
  // Nothing after the failing read ran: the valves were not written.
  EXPECT_EQ(Var(simvar::kColdValvePos), "0");
}

TEST_F(FaucetSimulationTest, MissingOrNonFiniteVariablesAreRefused) {
  const std::pair<const char*, std::string> cases[] = {
      {"inf", "Simulation variable *hotTemp* holds \"inf\", which is not a finite number"},
      {"NaN", "Simulation variable *hotTemp* holds \"NaN\", which is not a finite number"},
      {"1e400", "Simulation variable *hotTemp* holds \"1e400\", which is not a finite number"},
      {"", "Simulation variable *hotTemp* holds \"\", which is not a finite number"},
  };
  for (const auto& [text, message] : cases) {
    Set(simvar::kHotTemp, text);
    EXPECT_THROW_MSG(sim.Start(), EConvertError, message);
    EXPECT_FALSE(sim.IsRunning());
    EXPECT_FALSE(host.TimerEnabled);
  }
  TStringList& variables = sim.GetFuzzyLogic().GetVariables();
  variables.Delete(variables.IndexOfName(simvar::kHotPress));
  Set(simvar::kHotTemp, "45");
  EXPECT_THROW_MSG(sim.Start(), EConvertError, "Simulation variable *hotPress* is missing");
  // Values that are too large for the plant are refused before they are logged or written.
  Set(simvar::kHotPress, "1e308");
  Set(simvar::kColdPress, "1e308");
  Started();
  EXPECT_THROW_MSG(
      Step("1", "1", 0, 0), EFzyException,
      "The outlet flow of the plant step is not a finite number; the feed values are too large");
  EXPECT_TRUE(host.Log.empty());
  EXPECT_THROW_MSG(sim.SimulateStep(std::numeric_limits<double>::quiet_NaN(), 0), EFzyException,
                   "Invalid argument to SimulateStep: ColdChange is not a finite number");
}

TEST_F(FaucetSimulationTest, NonPositiveFactorStopsTheRun) {
  Set(simvar::kIterationFactor, "0");
  sim.Start();
  EXPECT_FALSE(sim.IsRunning());
  EXPECT_FALSE(host.TimerEnabled);  // Start did not turn the timer on after the stop
  EXPECT_EQ(
      host.Messages,
      std::vector<std::string>{
          "*** Iteration Factor Problem -- Iteration factor 0 is not positive ***" + kStopping});
  EXPECT_EQ(sim.GetStatusColor(), kStatusRed);
  EXPECT_EQ(Var(simvar::kIterationFactor), "0");

  host.Reset();
  Set(simvar::kIterationFactor, "1.0");
  sim.Start();
  Set(simvar::kIterationFactor, "-0.5");
  EXPECT_TRUE(sim.Timer1Timer());
  EXPECT_FALSE(sim.IsRunning());
  EXPECT_TRUE(host.Intervals.empty());  // never a zero or negative interval
  EXPECT_EQ(host.Messages.size(), 1u);
}

TEST(FaucetSimulation, LeavesNoObjectsAlive) {
  LiveObjectGuard guard;
  RecordingHost host;
  {
    TFaucetSimulation sim(host);
    sim.Start();
    while (sim.IsRunning())
      sim.Timer1Timer();
  }
  EXPECT_EQ(guard.Alive(), 0);
}

}  // namespace
}  // namespace tapwise
