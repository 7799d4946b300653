#pragma once

#include <ostream>
#include <string>

#include "tapwise/faucet/SimulationHost.h"

namespace tapwise::sim {

/// The simulation host of the headless runner: log lines go to `out` as they are, each stop
/// message as its lines prefixed with "[message] "; the colour, the timer and the Start
/// button are only remembered.
class TConsoleHost : public ISimulationHost {
 public:
  explicit TConsoleHost(std::ostream& out) : FOut(out) {}

  void AppendLog(const std::string& line) override;
  void SetStatusColor(TStatusColor color) override { FColor = color; }
  void ShowMessage(const std::string& text) override;
  void SetTimerEnabled(bool enabled) override { FTimerEnabled = enabled; }
  void SetTimerInterval(int milliseconds) override { FTimerInterval = milliseconds; }
  void SetStartEnabled(bool enabled) override { FStartEnabled = enabled; }

  TStatusColor GetColor() const { return FColor; }
  bool IsTimerEnabled() const { return FTimerEnabled; }
  /// The timer's period; 1000 ms until the simulation sets it, as a fresh timer has.
  int GetTimerInterval() const { return FTimerInterval; }
  bool IsStartEnabled() const { return FStartEnabled; }

 private:
  std::ostream& FOut;
  TStatusColor FColor;
  bool FTimerEnabled = false;
  int FTimerInterval = 1000;
  bool FStartEnabled = true;
};

}  // namespace tapwise::sim
