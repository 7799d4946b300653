#include "TapwiseTool.h"

#include <array>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <new>
#include <system_error>
#include <vector>

#include "ControllerCommands.h"
#include "DefinitionFile.h"
#include "DefinitionLint.h"
#include "SvgPlot.h"
#include "ToolArguments.h"
#include "ToolCommands.h"
#include "ToolError.h"
#include "ToolHelp.h"
#include "ToolText.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"

#ifndef TAPWISE_VERSION
#define TAPWISE_VERSION "unknown"
#endif

namespace tapwise::tool {

namespace {

constexpr std::array<TCommandSyntax, 7> kCommands = {{
    {"check", 1, -1, "FILE", false, false, true},
    {"convert", 2, 2, "IN and OUT"},
    {"format", 1, 1, "FILE"},
    {"eval", 3, 3, "FILE, VARIABLE and EXPRESSION"},
    {"plot", 1, 1, "FILE", true},
    {"run", 1, -1, "FILE", false, true},
    {"table", 2, 2, "FILE and DATA"},
}};

// What errors call standard input read as the DATA "-".
constexpr char kStandardInput[] = "standard input";

// Writes `text` to a file beside `path` and then puts it in place, so that a failed write
// leaves neither a partial picture nor a damaged older one.
void WriteFileWhole(const std::string& path, const std::string& text) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::is_directory(path, error))
    throw EToolError(Format(messages::kToolCannotWrite, path, messages::kToolIsDirectory));
  const std::string partial = path + ".part";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out) throw EToolError(Format(messages::kToolCannotWrite, path, messages::kToolCannotOpen));
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
      out.close();
      fs::remove(partial, error);
      throw EToolError(Format(messages::kToolCannotWrite, path, messages::kToolWriteFailed));
    }
  }
  fs::rename(partial, path, error);
  if (error) {
    fs::remove(partial, error);
    throw EToolError(Format(messages::kToolCannotWrite, path, messages::kToolWriteFailed));
  }
}

// The report of an error on standard error: the message after the tool's name, then the
// error's excerpt as it is.
std::string ErrorReport(const std::string& message, const std::string& excerpt = {}) {
  return "tapwise: " + OneLine(message) + "\n" + excerpt;
}

// Every file is checked, so one run reports every bad file; the listing is printed only when
// all of them are good. What the library repairs without a word is reported as a warning, or
// with --strict as an error.
TToolResult Check(const TCommandArguments& arguments) {
  TToolResult result;
  bool failed = false;
  for (const std::string& path : arguments.Positional) {
    try {
      const TDefinitionFile file(path, arguments.AutoTerms);
      result.Out += CheckText(file);
      // The lint reads definition text; the exchange formats' readers check their own.
      const std::string findings =
          file.GetFormat() == TControllerFormat::Tapwise
              ? LintDefinitions(path, file.GetText(), arguments.Strict ? "error" : "warning")
              : std::string();
      result.Err += findings;
      failed = failed || (arguments.Strict && !findings.empty());
    } catch (const EToolError& e) {
      result.Err += ErrorReport(e.what(), e.GetExcerpt());
      failed = true;
    }
  }
  if (failed) {
    result.ExitCode = 1;
    result.Out.clear();
  }
  return result;
}

// The error of `expression` over `variable`; an item that is no term names the terms there are.
EToolError ExpressionError(const IFuzzyVariable& variable, const std::string& expression,
                           const std::exception& error) {
  std::string message = OneLine(error.what());
  const std::string_view invalid = messages::kInvalidExpressionItem;
  if (message.find(invalid.substr(0, invalid.find('%'))) != std::string::npos) {
    std::string terms;
    for (const auto& term : TermsInOrder(variable))
      terms += (terms.empty() ? "" : ", ") + term->GetName();
    message = Format(messages::kToolExpressionTerms, message, variable.GetName(),
                     terms.empty() ? std::string("none") : terms);
  }
  return EToolError(
      Format(messages::kToolExpressionError, expression, variable.GetName(), message));
}

std::string Plot(const TCommandArguments& arguments) {
  if (arguments.Output.empty())
    throw EToolError(Format(messages::kToolMissingArgument, "plot", "-o OUT.svg", "plot"));
  TDefinitionFile file(arguments.Positional[0], arguments.AutoTerms);
  std::vector<IntfPtr<IFuzzyVariable>> chosen;
  for (const std::string& name : arguments.Variables)
    chosen.push_back(file.FindVariable(name));
  if (arguments.Variables.empty()) chosen = file.GetVariables();
  if (chosen.empty()) throw EToolError(Format(messages::kToolNoVariables, file.GetPath()));
  std::string svg;
  if (arguments.Run) {
    TFuzzyController& controller = file.GetController();
    SetInputs(controller, std::span(arguments.Positional).subspan(1));
    controller.Process();
    svg = PlotRunSvg(file, controller);
  } else {
    svg = PlotSvg(chosen);
  }
  if (arguments.Output == "-") return svg;
  WriteFileWhole(arguments.Output, svg);
  return {};
}

// The controller of IN written in the format OUT's extension names.
void Convert(const TCommandArguments& arguments) {
  TDefinitionFile file(arguments.Positional[0], arguments.AutoTerms);
  const std::string& out = arguments.Positional[1];
  const std::optional<TControllerFormat> format = FormatOfPath(out);
  if (!format) throw EToolError(Format(messages::kToolUnknownFormat, out));
  WriteFileWhole(out, WriteController(file.GetController(), *format));
}

std::string Table(const TCommandArguments& arguments, std::istream& input) {
  TDefinitionFile file(arguments.Positional[0], arguments.AutoTerms);
  TFuzzyController& controller = file.GetController();
  const std::string& data = arguments.Positional[1];
  if (data == "-")
    return TableText(controller, ReadStreamText(input, kStandardInput), kStandardInput);
  return TableText(controller, ReadFileText(data), data);
}

TToolResult RunCommand(const TCommandSyntax& syntax, std::span<const std::string> args,
                       std::istream& input) {
  const TCommandArguments arguments = ReadCommandArguments(syntax, args);
  TToolResult result;
  if (arguments.Help) {
    result.Out = CommandHelp(syntax.Name);
    return result;
  }
  const std::string& path = arguments.Positional[0];
  if (syntax.Name == "check") {
    return Check(arguments);
  } else if (syntax.Name == "convert") {
    Convert(arguments);
  } else if (syntax.Name == "format") {
    TDefinitionFile file(path, arguments.AutoTerms);
    result.Out = FormatText(file);
  } else if (syntax.Name == "eval") {
    TDefinitionFile file(path, arguments.AutoTerms);
    const IntfPtr<IFuzzyVariable> variable = file.FindVariable(arguments.Positional[1]);
    try {
      result.Out = EvalText(file, variable, arguments.Positional[2]);
    } catch (const std::exception& e) {
      // The expression's own errors (unknown terms, missing operands) are about the text
      // typed on the command line, not about the file.
      throw ExpressionError(*variable, arguments.Positional[2], e);
    }
  } else if (syntax.Name == "run") {
    TDefinitionFile file(path, arguments.AutoTerms);
    result.Out = RunText(file.GetController(), std::span(arguments.Positional).subspan(1),
                         arguments.Explain);
  } else if (syntax.Name == "table") {
    result.Out = Table(arguments, input);
  } else {
    result.Out = Plot(arguments);
  }
  return result;
}

TToolResult Fail(const std::string& message, const std::string& excerpt = {}) {
  return {1, {}, ErrorReport(message, excerpt)};
}

}  // namespace

TToolResult RunTapwise(std::span<const std::string> args) {
  return RunTapwise(args, std::cin);
}

TToolResult RunTapwise(std::span<const std::string> args, std::istream& input) {
  try {
    if (args.empty()) return Fail(messages::kToolMissingCommand);
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
      if (args.size() > 1 && !CommandHelp(args[1]).empty())
        return {0, std::string(CommandHelp(args[1])), {}};
      return {0, std::string(ToolHelp()), {}};
    }
    if (command == "--version") return {0, std::string("tapwise ") + TAPWISE_VERSION + "\n", {}};
    for (const TCommandSyntax& syntax : kCommands)
      if (syntax.Name == command) return RunCommand(syntax, args.subspan(1), input);
    return Fail(Format(messages::kToolUnknownCommand, command));
  } catch (const EToolError& e) {
    return Fail(e.what(), e.GetExcerpt());
  } catch (const std::bad_alloc&) {
    return Fail(messages::kToolOutOfMemory);
  } catch (const std::exception& e) {
    return Fail(e.what());
  } catch (...) {
    return Fail(messages::kToolUnknownFailure);
  }
}

}  // namespace tapwise::tool
