#include "tapwise/faucet/FaucetSimulation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingHost.h"
#include "support/LiveObjectGuard.h"
#include "tapwise/faucet/FaucetDefinitions.h"

namespace tapwise {
namespace {

using testing::LiveObjectGuard;
using testing::RecordingHost;

std::string Var(TFaucetSimulation& sim, std::string_view name) {
  return sim.GetFuzzyLogic().GetVariables().GetValue(name);
}

TEST(FaucetSimulation, ZeroStepOfInitSimulation) {
  LiveObjectGuard guard;
  RecordingHost host;
  TFaucetSimulation sim(host);
  sim.InitSimulation();
  EXPECT_EQ(host.Log, (std::vector<std::string>{"Output Flow is  0.000 litres/sec",
                                                "Output Temp is UNKNOWN"}));
  EXPECT_EQ(Var(sim, simvar::kColdValvePos), "0");
  EXPECT_EQ(Var(sim, simvar::kHotValvePos), "0");
  EXPECT_EQ(Var(sim, simvar::kColdFlow), "0");
  EXPECT_EQ(Var(sim, simvar::kHotFlow), "0");
  EXPECT_EQ(Var(sim, simvar::kIterationFactor), "0.96");
  EXPECT_TRUE(sim.IsRunning());
}

}  // namespace
}  // namespace tapwise
