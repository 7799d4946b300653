#pragma once

#include <cstdint>
#include <string>

namespace tapwise {

/// A colour of the status panel.
struct TStatusColor {
  uint8_t Red = 0;
  uint8_t Green = 0;
  uint8_t Blue = 0;

  friend bool operator==(const TStatusColor&, const TStatusColor&) = default;
};

inline constexpr TStatusColor kStatusYellow{255, 255, 0};
inline constexpr TStatusColor kStatusRed{255, 0, 0};
inline constexpr TStatusColor kStatusGreen{0, 128, 0};

/// Everything the faucet simulation asks of the program that shows it: the demo window, the
/// headless runner or a test. The simulation holds no GUI types; it talks to its host only
/// through these calls, always from the host's own (GUI) thread.
class ISimulationHost {
 public:
  virtual ~ISimulationHost() = default;

  /// Appends one line to the log pane.
  virtual void AppendLog(const std::string& line) = 0;
  /// Sets the status panel's colour.
  virtual void SetStatusColor(TStatusColor color) = 0;
  /// Shows a modal message (lines separated by CR LF) and returns once it is dismissed.
  virtual void ShowMessage(const std::string& text) = 0;
  /// Starts or stops the step timer.
  virtual void SetTimerEnabled(bool enabled) = 0;
  /// Sets the step timer's period.
  virtual void SetTimerInterval(int milliseconds) = 0;
  /// Enables or disables the Start button.
  virtual void SetStartEnabled(bool enabled) = 0;
};

}  // namespace tapwise
