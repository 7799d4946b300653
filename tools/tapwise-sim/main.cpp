// tapwise-sim: the faucet demo's main job on a machine without a display. See --help.

#include <chrono>
#include <cstdint>
#include <exception>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "ConsoleHost.h"
#include "SimOptions.h"
#include "tapwise/faucet/FaucetSimulation.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/foundation/StringList.h"

namespace {

constexpr const char* kProgram = "tapwise-sim: ";

int Fail(const std::string& what) {
  std::cout.flush();
  std::cerr << kProgram << what << '\n';
  return 1;
}

const char* StatusWord(const tapwise::TFaucetSimulation& simulation,
                       const tapwise::sim::TConsoleHost& host) {
  if (simulation.IsRunning()) return "running";
  return host.GetColor() == tapwise::kStatusGreen ? "green" : "red";
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tapwise;
  sim::TSimOptions options;
  try {
    options = sim::ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
  if (options.Help) {
    std::cout << sim::kSimUsage;
    return 0;
  }

  sim::TConsoleHost host(std::cout);
  std::unique_ptr<TFaucetSimulation> simulation;
  try {
    simulation = std::make_unique<TFaucetSimulation>(host);
    TStringList& variables = simulation->GetFuzzyLogic().GetVariables();
    if (options.VarsFile) variables.LoadFromFile(*options.VarsFile);
    for (const auto& [name, value] : options.Assignments)
      variables.SetValue(name, value);
  } catch (const std::exception& error) {
    return Fail(error.what());
  }

  int64_t ticks = 0;
  try {
    simulation->Start();
    while (simulation->IsRunning() && ticks < options.MaxTicks) {
      if (options.Realtime) {
        std::this_thread::sleep_for(std::chrono::milliseconds(host.GetTimerInterval()));
      }
      ++ticks;
      simulation->Timer1Timer();
    }
  } catch (const std::exception& error) {
    std::cout << "status: error after " << IntToStr(ticks) << " ticks\n";
    return Fail(error.what());
  }
  std::cout << "status: " << StatusWord(*simulation, host) << " after " << IntToStr(ticks)
            << " ticks\n";
  std::cout.flush();
  return std::cout ? 0 : Fail(messages::kRunnerOutputFailed);
}
