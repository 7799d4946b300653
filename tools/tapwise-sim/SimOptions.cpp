#include "SimOptions.h"

#include <algorithm>
#include <string_view>

#include "tapwise/faucet/FaucetDefinitions.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"

namespace tapwise::sim {

const char kSimUsage[] =
    "Usage: tapwise-sim [--vars FILE] [--set NAME=VALUE]... [--max-ticks N] [--realtime]\n"
    "\n"
    "Runs the Tapwise faucet demo without a window: what Start does (the zero step), then one\n"
    "step per timer tick until the run stops or N ticks have run.\n"
    "\n"
    "  --vars FILE         replace the simulation variables by the lines of FILE, one\n"
    "                      \"*name*=value\" per line, as simvars.txt does for the window\n"
    "  --set NAME=VALUE    then set one of the variables below; NAME keeps its asterisks,\n"
    "                      e.g. --set '*hotPress*=100' (may be repeated)\n"
    "  --max-ticks N       run at most N ticks (default 1000)\n"
    "  --realtime          wait the timer interval (iteration factor x 1000 ms) before each\n"
    "                      tick instead of running the ticks back to back\n"
    "  --help              show this text\n"
    "\n"
    "Variables: *coldValvePos* *hotValvePos* *coldTemp* *hotTemp* *coldPress* *hotPress*\n"
    "*hotFlow* *coldFlow* *optimalTempMin* *optimalTempMax* *optimalFlowMin* *optimalFlowMax*\n"
    "*atmosphericPress* *iterationFactor*\n"
    "\n"
    "Standard output: every log line as the window's log pane gets it; every stop message as\n"
    "its lines, each prefixed with \"[message] \"; then one last line \"status: green after N\n"
    "ticks\" (in the target band), \"status: red after N ticks\" (a valve or temperature\n"
    "problem), \"status: running after N ticks\" (the tick limit came first) or \"status:\n"
    "error after N ticks\" (a failure; it is explained on standard error).\n"
    "\n"
    "Exit status: 0 when the run ends green, red or running; 1 for bad arguments, an\n"
    "unreadable file or an error during the run, with one line on standard error.\n";

namespace {

char FoldAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

const std::string& ValueOf(const std::vector<std::string>& args, size_t& index) {
  if (index + 1 >= args.size()) {
    throw Exception(Format(messages::kRunnerMissingArgument, args[index]));
  }
  return args[++index];
}

std::pair<std::string, std::string> ParseAssignment(const std::string& text) {
  const size_t equals = text.find('=');
  const std::string_view name =
      std::string_view(text).substr(0, equals == std::string::npos ? text.size() : equals);
  // A name without its asterisks would add a variable that nothing ever reads.
  if (equals == std::string::npos || name.size() < 3 || name.front() != '*' || name.back() != '*') {
    throw Exception(Format(messages::kRunnerBadAssignment, text));
  }
  // Nor would a misspelt one; the simulation's list compares names ignoring letter case.
  std::string names;
  for (const std::string_view line : kFaucetInitialVariables) {
    const std::string_view known = line.substr(0, line.find('='));
    if (std::ranges::equal(name, known, {}, FoldAscii, FoldAscii))
      return {std::string(name), text.substr(equals + 1)};
    names += (names.empty() ? "" : ", ") + std::string(known);
  }
  throw Exception(Format(messages::kRunnerUnknownVariable, name, names));
}

}  // namespace

TSimOptions ParseSimOptions(const std::vector<std::string>& args) {
  TSimOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.Help = true;
    } else if (arg == "--vars") {
      options.VarsFile = ValueOf(args, i);
    } else if (arg == "--set") {
      options.Assignments.push_back(ParseAssignment(ValueOf(args, i)));
    } else if (arg == "--max-ticks") {
      const std::string& text = ValueOf(args, i);
      const std::optional<int64_t> ticks = TryStrToInt(text);
      if (!ticks || *ticks < 0) throw Exception(Format(messages::kRunnerBadTickCount, text));
      options.MaxTicks = *ticks;
    } else if (arg == "--realtime") {
      options.Realtime = true;
    } else {
      throw Exception(Format(messages::kRunnerUnknownOption, arg));
    }
  }
  return options;
}

}  // namespace tapwise::sim
