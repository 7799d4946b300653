#pragma once

#include <string>
#include <string_view>

#include "ToolError.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise::tool {

/// The error the tool reports for a parse error in the file `path` holding `text`:
///
///     demo.fzl:2:10: Parsing Error, Expected number in ParseFuzzyVariable at line 2: "..."
///       (range x 65))
///              ^
///
/// The message is the library's, on one line, after the file, line and column; the excerpt
/// is the source line and a caret under the last token the library quotes. The column is
/// found by looking for the quoted tokens of that line on the source line; when they cannot
/// be found the column is 1 and there is no caret, and an error without a line is reported
/// as "<path>: <message>".
EToolError FileParseError(const std::string& path, std::string_view text,
                          const EFzyParseException& error);

}  // namespace tapwise::tool
