#include "ToolArguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ToolError.h"

namespace tapwise::tool {
namespace {

const TCommandSyntax kPlot = {"plot", 1, 1, "FILE", true};
const TCommandSyntax kEval = {"eval", 3, 3, "FILE, VARIABLE and EXPRESSION"};

std::string ErrorOf(const TCommandSyntax& syntax, const std::vector<std::string>& args) {
  try {
    ReadCommandArguments(syntax, args);
  } catch (const EToolError& e) {
    return e.what();
  }
  return "";
}

TEST(ToolArguments, OptionsTakeTheirValueEitherWay) {
  const std::vector<std::string> args = {"--var",           "outTemp",          "demo.fzl",
                                         "--var=change_vc", "--output=out.svg", "--auto-terms"};
  const TCommandArguments read = ReadCommandArguments(kPlot, args);
  EXPECT_EQ(read.Positional, std::vector<std::string>{"demo.fzl"});
  EXPECT_EQ(read.Variables, (std::vector<std::string>{"outTemp", "change_vc"}));
  EXPECT_EQ(read.Output, "out.svg");
  EXPECT_TRUE(read.AutoTerms);
  EXPECT_EQ(ReadCommandArguments(kPlot, std::vector<std::string>{"f", "-o", "-"}).Output, "-");
}

TEST(ToolArguments, NumbersAndWordsAfterDoubleDashArePositional) {
  EXPECT_EQ(ReadCommandArguments(kEval, std::vector<std::string>{"f", "v", "-0.5"}).Positional[2],
            "-0.5");
  EXPECT_EQ(
      ReadCommandArguments(kEval, std::vector<std::string>{"f", "v", "--", "-x"}).Positional[2],
      "-x");
  // Help wins over everything else, but not after "--".
  EXPECT_TRUE(ReadCommandArguments(kEval, std::vector<std::string>{"--bogus", "-h"}).Help);
  EXPECT_EQ(ErrorOf(kEval, {"f", "v", "--", "--help", "x"}),
            "eval: unexpected argument \"x\" (try \"tapwise eval --help\")");
}

TEST(ToolArguments, MistakesAreNamed) {
  EXPECT_EQ(ErrorOf(kEval, {"demo.fzl", "outTemp"}),
            "eval: missing FILE, VARIABLE and EXPRESSION (try \"tapwise eval --help\")");
  EXPECT_EQ(ErrorOf(kEval, {"f", "v", "e", "--var", "x"}),
            "eval: unknown option \"--var\" (try \"tapwise eval --help\")");
  EXPECT_EQ(ErrorOf(kPlot, {"f", "-o"}), "plot: option \"-o\" needs a value");
  EXPECT_EQ(ErrorOf(kPlot, {"f", "--var="}), "plot: option \"--var\" needs a value");
  EXPECT_EQ(ErrorOf(kPlot, {"f", "g"}),
            "plot: unexpected argument \"g\" (try \"tapwise plot --help\")");
}

}  // namespace
}  // namespace tapwise::tool
