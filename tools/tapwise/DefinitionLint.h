#pragma once

#include <string>
#include <string_view>

namespace tapwise::tool {

/// What the library repairs without a word when it reads the definition file `path` holding
/// `text`, one line per finding, "<path>:<line>: <severity>: ...":
///
///     demo.fzl:3: warning: the parameters of term x of a are out of order (tri 60 40 20); ...
///
/// It finds a reversed range, shape parameters out of order ("tri A M B", "pi A B CENTRE")
/// or outside the range in force, points outside it (all clamped), and a variable or a
/// term of one variable defined twice (the later wins). The text is read once with the
/// language's tokenizer; it must be a text that parses.
std::string LintDefinitions(const std::string& path, std::string_view text,
                            std::string_view severity);

}  // namespace tapwise::tool
