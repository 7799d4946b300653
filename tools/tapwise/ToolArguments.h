#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tapwise::tool {

/// What a subcommand accepts on its command line.
struct TCommandSyntax {
  std::string_view Name;
  /// Positional arguments: at least `MinArguments`, at most `MaxArguments` (-1: no limit).
  int MinArguments;
  int MaxArguments;
  /// What to name when positional arguments are missing ("FILE").
  std::string_view Missing;
  /// Whether "--var NAME", "-o FILE" and "--run" are accepted (plot).
  bool PlotOptions = false;
  /// Whether "--explain" is accepted (run).
  bool ExplainOption = false;
  /// Whether "--strict" is accepted (check).
  bool StrictOption = false;
};

/// A subcommand's command line, read.
struct TCommandArguments {
  std::vector<std::string> Positional;
  /// Every "--var NAME", in order.
  std::vector<std::string> Variables;
  /// "-o FILE" / "--output FILE"; empty when not given.
  std::string Output;
  bool Help = false;
  bool AutoTerms = false;
  bool Explain = false;
  /// "--run": the positional arguments after the first are NAME=VALUE inputs.
  bool Run = false;
  /// "--strict": warnings are errors.
  bool Strict = false;
};

/// Reads `args` (the words after the subcommand) by `syntax`. "--help" or "-h" anywhere
/// before "--" asks for help and nothing else is checked. Options take their value as the
/// next word or after "=" ("--var=outTemp"). A word starting with "-" is an option unless it
/// is "-" alone, a number ("-0.5") or comes after "--". Raises EToolError for an unknown
/// option, an option without its value, or too few or too many positional arguments.
TCommandArguments ReadCommandArguments(const TCommandSyntax& syntax,
                                       std::span<const std::string> args);

}  // namespace tapwise::tool
