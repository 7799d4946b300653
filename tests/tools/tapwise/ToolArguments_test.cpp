#include "ToolArguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ToolError.h"
#include "support/ExpectThrow.h"

namespace tapwise::tool {
namespace {

const TCommandSyntax kPlot = {"plot", 1, 1, "FILE", true};
const TCommandSyntax kEval = {"eval", 3, 3, "FILE, VARIABLE and EXPRESSION"};
using TArgs = std::vector<std::string>;

TEST(ToolArguments, OptionsTakeTheirValueEitherWay) {
  const TArgs args = {"--var",           "outTemp",          "demo.fzl",
                      "--var=change_vc", "--output=out.svg", "--auto-terms"};
  const TCommandArguments read = ReadCommandArguments(kPlot, args);
  EXPECT_EQ(read.Positional, TArgs{"demo.fzl"});
  EXPECT_EQ(read.Variables, (TArgs{"outTemp", "change_vc"}));
  EXPECT_EQ(read.Output, "out.svg");
  EXPECT_TRUE(read.AutoTerms);
  EXPECT_EQ(ReadCommandArguments(kPlot, TArgs{"f", "-o", "-"}).Output, "-");
}

TEST(ToolArguments, NumbersAndWordsAfterDoubleDashArePositional) {
  EXPECT_EQ(ReadCommandArguments(kEval, TArgs{"f", "v", "-0.5"}).Positional[2], "-0.5");
  EXPECT_EQ(ReadCommandArguments(kEval, TArgs{"f", "v", "--", "-x"}).Positional[2], "-x");
  // Help wins over everything else, but not after "--".
  EXPECT_TRUE(ReadCommandArguments(kEval, TArgs{"--bogus", "-h"}).Help);
  EXPECT_THROW_MSG(ReadCommandArguments(kEval, TArgs{"f", "v", "--", "--help", "x"}), EToolError,
                   "eval: unexpected argument \"x\" (try \"tapwise eval --help\")");
}

TEST(ToolArguments, MistakesAreNamed) {
  EXPECT_THROW_MSG(ReadCommandArguments(kEval, TArgs{"demo.fzl", "outTemp"}), EToolError,
                   "eval: missing FILE, VARIABLE and EXPRESSION (try \"tapwise eval --help\")");
  EXPECT_THROW_MSG(ReadCommandArguments(kEval, TArgs{"f", "v", "e", "--var", "x"}), EToolError,
                   "eval: unknown option \"--var\" (try \"tapwise eval --help\")");
  EXPECT_THROW_MSG(ReadCommandArguments(kPlot, TArgs{"f", "-o"}), EToolError,
                   "plot: option \"-o\" needs a value");
  EXPECT_THROW_MSG(ReadCommandArguments(kPlot, TArgs{"f", "--var="}), EToolError,
                   "plot: option \"--var\" needs a value");
  EXPECT_THROW_MSG(ReadCommandArguments(kPlot, TArgs{"f", "g"}), EToolError,
                   "plot: unexpected argument \"g\" (try \"tapwise plot --help\")");
}

}  // namespace
}  // namespace tapwise::tool
