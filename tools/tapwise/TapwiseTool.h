#pragma once

#include <iosfwd>
#include <span>
#include <string>

namespace tapwise::tool {

/// What one run of the tool leaves behind: the exit status, the text for standard output
/// (printed only on success, so a failing run prints nothing there) and the text for standard
/// error: one line per error (an error in a file adds its source line and a caret) and one
/// per warning of `check`.
struct TToolResult {
  int ExitCode = 0;
  std::string Out;
  std::string Err;
};

/// Runs `tapwise` with `args`, the words after the program name:
///
///     tapwise check [--strict] FILE...
///     tapwise format FILE
///     tapwise eval FILE VARIABLE EXPRESSION
///     tapwise plot FILE [--var NAME]... -o OUT.svg
///     tapwise run FILE [--explain] NAME=VALUE...
///     tapwise table FILE DATA
///
/// Every failure, including ones the library raises, becomes an error report and status 1.
/// `plot` writes its file only when the whole picture is made, replacing the file at once.
/// `table` reads `input` for the DATA "-".
TToolResult RunTapwise(std::span<const std::string> args, std::istream& input);
/// RunTapwise with the process's standard input.
TToolResult RunTapwise(std::span<const std::string> args);

}  // namespace tapwise::tool
