#include "ToolArguments.h"

#include <cctype>

#include "ToolError.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"

namespace tapwise::tool {

namespace {

bool IsOption(std::string_view word) {
  if (word.size() < 2 || word[0] != '-') return false;
  const char next = word[1];
  return !(std::isdigit(static_cast<unsigned char>(next)) || next == '.');
}

bool IsHelp(std::string_view word) {
  return word == "--help" || word == "-h";
}

}  // namespace

TCommandArguments ReadCommandArguments(const TCommandSyntax& syntax,
                                       std::span<const std::string> args) {
  TCommandArguments result;
  for (const std::string& word : args) {
    if (word == "--") break;
    if (IsHelp(word)) {
      result.Help = true;
      return result;
    }
  }
  const std::string command(syntax.Name);
  bool options_ended = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (options_ended || !IsOption(word)) {
      result.Positional.push_back(word);
      continue;
    }
    if (word == "--") {
      options_ended = true;
      continue;
    }
    if (word == "--auto-terms") {
      result.AutoTerms = true;
      continue;
    }
    if (word == "--run" && syntax.PlotOptions) {
      result.Run = true;
      continue;
    }
    if (word == "--explain" && syntax.ExplainOption) {
      result.Explain = true;
      continue;
    }
    if (word == "--strict" && syntax.StrictOption) {
      result.Strict = true;
      continue;
    }
    // Options with a value: "--var NAME", "--var=NAME", "-o FILE", "--output=FILE".
    const std::size_t equals = word.find('=');
    const std::string option = word.substr(0, equals);
    const bool is_var = option == "--var";
    const bool is_output = option == "-o" || option == "--output";
    if (!syntax.PlotOptions || !(is_var || is_output))
      throw EToolError(Format(messages::kToolUnknownOption, command, word, command));
    std::string value;
    if (equals != std::string::npos) {
      value = word.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    }
    if (value.empty()) throw EToolError(Format(messages::kToolOptionNeedsValue, command, option));
    if (is_var)
      result.Variables.push_back(value);
    else
      result.Output = value;
  }
  const int count = static_cast<int>(result.Positional.size());
  if (count < syntax.MinArguments)
    throw EToolError(Format(messages::kToolMissingArgument, command, syntax.Missing, command));
  // "plot --run" takes the run's NAME=VALUE words after its FILE.
  if (syntax.MaxArguments >= 0 && count > syntax.MaxArguments && !result.Run)
    throw EToolError(Format(messages::kToolTooManyArguments, command,
                            result.Positional[static_cast<std::size_t>(syntax.MaxArguments)],
                            command));
  return result;
}

}  // namespace tapwise::tool
