#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TapwiseTool.h"
#include "support/LiveObjectGuard.h"

namespace tapwise::tool {
namespace {

namespace fs = std::filesystem;

class DefinitionLintTest : public ::testing::Test {
 protected:
  // `text` in a file of the test's own, named by its path.
  std::string File(const std::string& text) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const fs::path path = fs::path(::testing::TempDir()) / (std::string(info->name()) + ".fzl");
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  testing::LiveObjectGuard guard;
};

constexpr char kRepaired[] =
    "(deffuzzy a (range 100 0) (values (term x (tri 60 40 20))))\n"
    "(deffuzzy b\n"
    "  (values (term early (tri 0 0.5 2)))\n"
    "  (range 0 10)\n"
    "  (values\n"
    "    (term x (tri 6 4 2)) (term y (tri 1 2 300))\n"
    "    (term x ((-5 0) (5 1) (12 0)))\n"
    "    (term p (pi 5 20)) (term q (pi 1 2 5)) (term fine (pi 2 5 4))))\n"
    "(deffuzzy a (range 0 10))\n";

std::string Findings(const std::string& path, const std::string& severity) {
  const std::string at = path + ":";
  const std::string is = ": " + severity + ": ";
  return at + "1" + is + "the range of a runs backwards (100 to 0)\n" +  //
         at + "1" + is +
         "the parameters of term x of a are out of order in (tri 60 40 20); the shape is "
         "repaired\n" +
         // Before its range clause a variable's range is 0 to 1.
         at + "3" + is +
         "term early of b reaches outside the range 0 to 1 with (tri 0 0.5 2); it is clamped\n" +
         at + "6" + is +
         "the parameters of term x of b are out of order in (tri 6 4 2); the shape is "
         "repaired\n" +
         at + "6" + is +
         "term y of b reaches outside the range 0 to 10 with (tri 1 2 300); it is clamped\n" + at +
         "7" + is + "term x of b is defined again (first on line 6); the later definition wins\n" +
         at + "7" + is +
         "term x of b has a point at -5, outside the range 0 to 10; it is clamped\n" + at + "7" +
         is + "term x of b has a point at 12, outside the range 0 to 10; it is clamped\n" + at +
         "8" + is +
         "term p of b reaches outside the range 0 to 10 with (pi 5 20); it is clamped\n" + at +
         "8" + is +
         "the parameters of term q of b are out of order in (pi 1 2 5); the shape is repaired\n" +
         at + "9" + is +
         "variable a is defined again (first on line 1); the later definition wins\n";
}

TEST_F(DefinitionLintTest, CheckWarnsOfWhatTheLibraryRepairsAndStrictFails) {
  const std::string path = File(kRepaired);
  const TToolResult warned = RunTapwise(std::vector<std::string>{"check", path});
  EXPECT_EQ(warned.ExitCode, 0);
  EXPECT_EQ(warned.Err, Findings(path, "warning"));
  // The listing shows what the library made of it.
  EXPECT_NE(warned.Out.find("    y (tri 1.0000 2.0000 10.0000)\n"), std::string::npos);

  const TToolResult strict = RunTapwise(std::vector<std::string>{"check", "--strict", path});
  EXPECT_EQ(strict.ExitCode, 1);
  EXPECT_EQ(strict.Out, "");
  EXPECT_EQ(strict.Err, Findings(path, "error"));
  // Only check knows --strict.
  EXPECT_EQ(RunTapwise(std::vector<std::string>{"format", "--strict", path}).ExitCode, 1);
}

TEST_F(DefinitionLintTest, ParseErrorsPointAtTheirPlaceOrFallBackToColumnOne) {
  // The quoted tokens are followed in order: the second "5" is the one read last, and a
  // number quoted with four decimals is found as it was written.
  const std::string twice =
      File("(deffuzzy v (range 0 1)\n\t(values (term a ((5 0.25) (5 x)))))\n");
  EXPECT_EQ(RunTapwise(std::vector<std::string>{"check", twice}).Err,
            "tapwise: " + twice +
                ":2:31: Parsing Error, Expected number in ParseFuzzyValuePairs at line 2: "
                "\"( deffuzzy v ( range 0 1 ) ( values ( term a ( ( 5 0.2500 ) ( 5 x \"\n"
                " (values (term a ((5 0.25) (5 x)))))\n"
                "                              ^\n");
  // A string that never ends is reported without quoting tokens: the line, but no caret.
  const std::string unended = File("(deffuzzy v\n  (units \"kilo))");
  EXPECT_EQ(RunTapwise(std::vector<std::string>{"check", unended}).Err,
            "tapwise: " + unended +
                ":2:1: Invalid string value, string was not terminated\n  (units \"kilo))\n");
}

TEST_F(DefinitionLintTest, UnknownNamesListWhatExists) {
  const std::string tipping = std::string(TAPWISE_EXAMPLES_DIR) + "/tipping.fzl";
  EXPECT_EQ(RunTapwise(std::vector<std::string>{"run", tipping, "qualiti=1", "service=2"}).Err,
            "tapwise: Unknown input qualiti (the inputs are: quality, service)\n");
  EXPECT_EQ(RunTapwise(std::vector<std::string>{"eval", tipping, "service", "poor or great"}).Err,
            "tapwise: expression \"poor or great\" over service: Parsing Error, Invalid item in "
            "fuzzy expression: great in EvalFuzzyExpression at line 1: \"\" (the terms of "
            "service are: poor, average, good)\n");
}

}  // namespace
}  // namespace tapwise::tool
