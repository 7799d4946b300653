#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tapwise/faucet/SimulationHost.h"

namespace tapwise::testing {

/// A simulation host that records every call, in order, as text ("log: ...",
/// "color: 255,255,0", "message: ...", "timer: on", "interval: 960", "start: off").
class RecordingHost : public ISimulationHost {
 public:
  void AppendLog(const std::string& line) override {
    Log.push_back(line);
    Calls.push_back("log: " + line);
  }
  void SetStatusColor(TStatusColor color) override {
    Colors.push_back(color);
    Calls.push_back("color: " + std::to_string(color.Red) + "," + std::to_string(color.Green) +
                    "," + std::to_string(color.Blue));
  }
  void ShowMessage(const std::string& text) override {
    Messages.push_back(text);
    Calls.push_back("message: " + text);
    if (OnMessage) OnMessage();
  }
  void SetTimerEnabled(bool enabled) override {
    TimerEnabled = enabled;
    Calls.push_back(enabled ? "timer: on" : "timer: off");
  }
  void SetTimerInterval(int milliseconds) override {
    Intervals.push_back(milliseconds);
    Calls.push_back("interval: " + std::to_string(milliseconds));
  }
  void SetStartEnabled(bool enabled) override {
    StartEnabled = enabled;
    Calls.push_back(enabled ? "start: on" : "start: off");
  }

  void Reset() { *this = RecordingHost(); }

  std::vector<std::string> Calls;
  std::vector<std::string> Log;
  std::vector<TStatusColor> Colors;
  std::vector<std::string> Messages;
  std::vector<int> Intervals;
  bool TimerEnabled = false;
  bool StartEnabled = true;
  /// Runs while a message is "open" (to play a timer event arriving during it).
  std::function<void()> OnMessage;
};

}  // namespace tapwise::testing
