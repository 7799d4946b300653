#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tapwise::sim {

/// What the command line of tapwise-sim asks for.
struct TSimOptions {
  bool Help = false;
  /// A variables file that replaces the whole list, as "simvars.txt" does.
  std::optional<std::string> VarsFile;
  /// Variables set after the file, in command-line order: name (with asterisks), value.
  std::vector<std::pair<std::string, std::string>> Assignments;
  int64_t MaxTicks = 1000;
  /// Wait the timer's interval before each tick instead of running them back to back.
  bool Realtime = false;
};

/// Reads the arguments after the program name. Raises `Exception` with a one-line
/// explanation for an unknown option, a missing value, a malformed --set or --max-ticks, or
/// a --set of a name that is no simulation variable (names compare ignoring letter case).
TSimOptions ParseSimOptions(const std::vector<std::string>& args);

/// The text of --help.
extern const char kSimUsage[];

}  // namespace tapwise::sim
