// Arbitrary bytes as the faucet simulation's variables, loaded as a variables file replaces
// them (the whole list) or as the runner's assignments change them (line by line, over the
// initial list), as the first byte chooses; then Start and a bounded number of timer events,
// with a restart after each stop, through a host that answers every message at once.
// Nothing may crash, hang or leak; a failure is one of the library's exceptions with a
// message and ends the run; what the simulation writes and shows is finite.

#include <cctype>
#include <cmath>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "ParserHarness.h"
#include "tapwise/faucet/FaucetDefinitions.h"
#include "tapwise/faucet/FaucetSimulation.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/foundation/Stream.h"
#include "tapwise/foundation/StringList.h"

namespace tapwise::fuzzing {
namespace {

// Timer events per input, all runs together.
constexpr int kMaxTimerEvents = 30;
// Starts per input: the first and the restarts after a stop.
constexpr int kMaxStarts = 3;

bool HasNonFiniteText(std::string_view line) {
  // Number text never spells an infinity or NaN; a log line that does shows one.
  std::string lower(line);
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower.find("nan") != std::string::npos || lower.find("inf") != std::string::npos;
}

/// Answers every message at once; a timer event that arrives while a message is open
/// must do nothing.
class AnsweringHost : public ISimulationHost {
 public:
  void AppendLog(const std::string& line) override {
    Require(!HasNonFiniteText(line), "a log line shows a value that is not finite: " + line);
  }
  void SetStatusColor(TStatusColor) override {}
  void ShowMessage(const std::string& text) override {
    Require(!text.empty(), "an empty message");
    if (Simulation != nullptr) {
      Require(!Simulation->Timer1Timer(), "a timer event ran a step under an open message");
    }
  }
  void SetTimerEnabled(bool enabled) override { TimerEnabled = enabled; }
  void SetTimerInterval(int milliseconds) override {
    Require(milliseconds >= 1, "a timer interval below 1 ms");
  }
  void SetStartEnabled(bool enabled) override { StartEnabled = enabled; }

  TFaucetSimulation* Simulation = nullptr;
  bool TimerEnabled = false;
  bool StartEnabled = true;
};

void LoadVariables(TStringList& variables, bool replace, const std::string& text) {
  if (replace) {
    TZTStringStream stream(text);
    variables.LoadFromStream(stream);
    return;
  }
  TStringList assignments;
  assignments.SetText(text);
  for (int i = 0; i < assignments.GetCount(); ++i) {
    const std::string& line = assignments.GetString(i);
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    variables.SetValue(std::string_view(line).substr(0, equals), line.substr(equals + 1));
  }
}

// What the step writes back reads as a finite number, the valves stay in 0..1.
void CheckWritten(const TFaucetSimulation& simulation) {
  const TStringList& variables = simulation.GetFuzzyLogic().GetVariables();
  for (std::string_view name : {simvar::kColdValvePos, simvar::kHotValvePos, simvar::kColdFlow,
                                simvar::kHotFlow, simvar::kIterationFactor}) {
    const std::optional<std::string> text = variables.TryGetValue(name);
    if (!text) continue;  // never written: the run failed before
    const std::optional<double> value = TryStrToFloat(*text);
    if (!value) continue;  // never written: as the user left it
    Require(std::isfinite(*value), "a written value that is not finite");
  }
  for (std::string_view name : {simvar::kColdValvePos, simvar::kHotValvePos}) {
    const std::optional<std::string> text = variables.TryGetValue(name);
    const std::optional<double> value = text ? TryStrToFloat(*text) : std::nullopt;
    if (value) Require(*value >= 0 && *value <= 1, "a valve outside 0..1: " + *text);
  }
  if (simulation.GetOutTemp()) CheckSet(*simulation.GetOutTemp());
  if (simulation.GetOutFlow()) CheckSet(*simulation.GetOutFlow());
  Require(simulation.GetTimerInterval() >= 1, "a timer interval below 1 ms");
}

void RequireLibraryError(const std::exception& error, const TFaucetSimulation& simulation,
                         const AnsweringHost& host) {
  Require(dynamic_cast<const Exception*>(&error) != nullptr,
          std::string("a failure that is not the library's: ") + error.what());
  Require(error.what()[0] != '\0', "an exception without a message");
  Require(!simulation.IsRunning() && !host.TimerEnabled && host.StartEnabled,
          "a failure left the run going");
}

void Simulate(uint8_t mode, const std::string& text) {
  AnsweringHost host;
  TFaucetSimulation simulation(host);
  host.Simulation = &simulation;
  LoadVariables(simulation.GetFuzzyLogic().GetVariables(), (mode & 1) != 0, text);

  int events = 0;
  for (int start = 0; start < kMaxStarts && events < kMaxTimerEvents; ++start) {
    try {
      simulation.Start();
      Require(simulation.IsRunning() == host.TimerEnabled, "the timer does not follow the run");
      while (simulation.IsRunning() && events < kMaxTimerEvents) {
        ++events;
        Require(simulation.Timer1Timer(), "a timer event did nothing during a run");
        CheckWritten(simulation);
      }
    } catch (const std::exception& error) {
      RequireLibraryError(error, simulation, host);
      // The run is over: the next timer event does nothing.
      Require(!simulation.Timer1Timer(), "a timer event ran a step after a failure");
      ++events;
    }
    CheckWritten(simulation);
  }
  host.Simulation = nullptr;
}

}  // namespace
}  // namespace tapwise::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return tapwise::fuzzing::RunModeAndText(data, size, tapwise::fuzzing::Simulate);
}
