#pragma once

#include <string_view>

namespace tapwise::tool {

/// The usage text of the tool as a whole.
std::string_view ToolHelp();
/// The usage text of one subcommand ("check", "format", "eval", "plot", "run",
/// "table"); empty for others.
std::string_view CommandHelp(std::string_view command);

}  // namespace tapwise::tool
