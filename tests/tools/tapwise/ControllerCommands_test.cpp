#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "DefinitionFile.h"
#include "TapwiseTool.h"
#include "support/LiveObjectGuard.h"
#include "tapwise/foundation/NumberText.h"

namespace tapwise::tool {
namespace {

namespace fs = std::filesystem;

const std::string kTipping = std::string(TAPWISE_EXAMPLES_DIR) + "/tipping.fzl";
const std::string kFaucet = std::string(TAPWISE_EXAMPLES_DIR) + "/faucet.fzl";

TToolResult Tool(std::vector<std::string> args, const std::string& input = "") {
  std::istringstream in(input);
  return RunTapwise(args, in);
}

std::string TempFile(const std::string& name, const std::string& text) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const fs::path path = fs::path(::testing::TempDir()) / (std::string(info->name()) + "-" + name);
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

// The textbook tipping controller worked by hand at quality 6.5 and service 9.8: no rule for
// a low tip fires, "usual" fires at average(9.8) = 0.04 and "generous" at good(9.8) = 0.96,
// and the tip is the centroid of max(min(0.04, medium), min(0.96, high)) over 0..25.
double TippingAt65And98() {
  const auto medium = [](double x) { return x <= 13 ? x / 13 : (25 - x) / 12; };
  const auto high = [](double x) { return x <= 13 ? 0.0 : (x - 13) / 12; };
  constexpr int kSteps = 1'000'000;
  double area = 0;
  double moment = 0;
  for (int i = 0; i < kSteps; ++i) {
    const double x = (i + 0.5) * 25.0 / kSteps;
    const double y = std::max(std::min(0.04, medium(x)), std::min(0.96, high(x)));
    area += y;
    moment += x * y;
  }
  return moment / area;
}

// One rule that fires for small x only, and no default: above 5 the output has no value.
// Fired fully, it gives the centroid of the triangle (0 0) (1 1): 2/3.
constexpr char kNoDefault[] =
    "(deffuzzy x (range 0 10) (values (term small ((0 1) (5 0)))))\n"
    "(deffuzzy y (range 0 1) (values (term up ((0 0) (1 1)))))\n"
    "(defrules only (rule r (if (x small)) (then (y up))))\n";

class ControllerCommandsTest : public ::testing::Test {
 protected:
  testing::LiveObjectGuard guard;
};

TEST_F(ControllerCommandsTest, RunPrintsOutputsAndExplainsEveryRule) {
  const TToolResult tip = Tool({"run", kTipping, "quality=6.5", "service=9.8"});
  EXPECT_EQ(tip.Err, "");
  EXPECT_EQ(tip.Out, "tip = " + FormatFixed(TippingAt65And98(), 4) + "\n");
  EXPECT_EQ(Tool({"run", "--explain", kTipping, "service=9.8", "quality=6.5"}).Out,
            tip.Out +
                "rules (* fired):\n"
                "    0.0000 tipping stingy\n"
                "  * 0.0400 tipping usual\n"
                "  * 0.9600 tipping generous\n");
  // A later value replaces an earlier one; "-" in a value is no option.
  EXPECT_EQ(Tool({"run", kTipping, "quality=-3", "quality=6.5", "service=9.8"}).Out, tip.Out);

  const std::string no_default = TempFile("c.fzl", kNoDefault);
  EXPECT_EQ(Tool({"run", no_default, "x=8"}).Out, "y: no rule fired\n");
  EXPECT_EQ(Tool({"run", no_default, "x=0", "--explain"}).Out,
            "y = 0.6667\nrules (* fired):\n  * 1.0000 only r\n");
}

TEST_F(ControllerCommandsTest, TableRunsEveryRowReadingOnlyTheInputColumns) {
  // At 0/0 only "stingy" fires fully: the centroid of low, 13/3. At 10/10 only "generous":
  // the centroid of high, 13 + 2/3 * 12 = 21.
  const std::string data = TempFile("data.txt",
                                    "day  service quality\n\n"
                                    "mon  9.8     6.5\r\n"
                                    "  tue\t0 0  \n"
                                    "wed 10 10\n");
  const TToolResult table = Tool({"table", kTipping, data});
  EXPECT_EQ(table.Err, "");
  EXPECT_EQ(table.Out,
            "quality\tservice\ttip\n"
            "6.500000\t9.800000\t" +
                FormatFixed(TippingAt65And98(), 6) +
                "\n"
                "0.000000\t0.000000\t4.333333\n"
                "10.000000\t10.000000\t21.000000\n");
  EXPECT_EQ(Tool({"table", TempFile("c.fzl", kNoDefault), "-"}, "x\n0\n8\n").Out,
            "x\ty\n0.000000\t0.666667\n8.000000\tnan\n");
}

TEST_F(ControllerCommandsTest, CheckAndFormatShowTheController) {
  const std::string check = Tool({"check", kFaucet}).Out;
  EXPECT_TRUE(check.ends_with(
      "    PB ((0.2500 0.0000) (0.5000 1.0000) )\n"
      "  inputs: outTemp (spread 0.1), outFlow (spread 0.5)\n"
      "  outputs: hot (variable change_vc, default 0), cold (variable change_vc, default 0)\n"
      "  rule block valves: 8 rules\n"
      "    and zadeh, or zadeh, implication cap, aggregation maximum, defuzzification "
      "centroid, threshold 0.01\n"))
      << check;

  // The formatted text reads back to the same controller, and formats to itself.
  for (const std::string& path : {kTipping, kFaucet}) {
    const std::string text = Tool({"format", path}).Out;
    const std::string again = TempFile("formatted.fzl", text);
    EXPECT_EQ(Tool({"format", again}).Out, text) << path;
    TDefinitionFile original(path, false);
    TDefinitionFile formatted(again, false);
    EXPECT_EQ(formatted.GetController().GetInputs(), original.GetController().GetInputs());
    EXPECT_EQ(formatted.GetController().GetOutputs(), original.GetController().GetOutputs());
    EXPECT_EQ(formatted.GetController().GetRuleBlocks(), original.GetController().GetRuleBlocks());
    EXPECT_EQ(Tool({"check", again}).Out.substr(again.size()),
              Tool({"check", path}).Out.substr(path.size()));
  }
  // The variables of a controller file still evaluate and draw.
  EXPECT_TRUE(
      Tool({"eval", kFaucet, "change_vc", "NB"}).Out.ends_with("cog: -0.6833\nmom: -0.5000\n"));
  EXPECT_NE(Tool({"plot", kTipping, "--var", "tip", "-o", "-"}).Out.find("data-term=\"medium\""),
            std::string::npos);
}

TEST_F(ControllerCommandsTest, MistakesAreOneLineErrors) {
  const auto error = [](std::vector<std::string> args, const std::string& input = "") {
    const TToolResult result = Tool(std::move(args), input);
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Out, "");
    return result.Err;
  };
  EXPECT_EQ(error({"run", kTipping, "quality", "service=1"}),
            "tapwise: run: expected NAME=VALUE, not \"quality\"\n");
  EXPECT_EQ(error({"run", kTipping, "=1"}), "tapwise: run: expected NAME=VALUE, not \"=1\"\n");
  EXPECT_EQ(error({"run", kTipping, "quality=6,5"}),
            "tapwise: run: the value of quality is not a number: \"6,5\"\n");
  EXPECT_EQ(error({"run", kTipping, "qualty=6"}),
            "tapwise: Unknown input qualty (the inputs are: quality, service)\n");
  EXPECT_EQ(error({"run", kTipping}),
            "tapwise: run: no value given for quality, service (the inputs are: quality, "
            "service)\n");
  EXPECT_EQ(error({"check", "--explain", kTipping}),
            "tapwise: check: unknown option \"--explain\" (try \"tapwise check --help\")\n");
  const std::string plain = std::string(TAPWISE_TEST_DATA) + "/demo.fzl";
  EXPECT_EQ(error({"run", plain, "outTemp=1"}),
            "tapwise: " + plain +
                ": the file defines no controller (no definput, defoutput or defrules form)\n");
  const std::string bad = TempFile("bad.fzl",
                                   "(deffuzzy x (range 0 1) (values (term a ((0 1) (1 0)))))\n"
                                   "(defrules b (rule r (if (x b)) (then (x a))))");
  EXPECT_EQ(error({"check", bad}),
            "tapwise: " + bad +
                ":2:44: Parsing Error, Unknown term b of x in rule r (the terms are: a) in "
                "ParseRule at line 2: \" ( defrules b ( rule r ( if ( x b ) ) ( then ( x a ) ) ) "
                "\"\n(defrules b (rule r (if (x b)) (then (x a))))\n"
                "                                           ^\n");

  EXPECT_EQ(error({"table", kTipping, "-"}, "quality\n"),
            "tapwise: standard input:1: the header has no column for service\n");
  EXPECT_EQ(error({"table", kTipping, "-"}, "\n service quality service\n"),
            "tapwise: standard input:2: two columns are named service\n");
  EXPECT_EQ(error({"table", kTipping, "-"}, "quality service\n1 2\n\n1 2 3\n"),
            "tapwise: standard input:4: 3 fields where the header has 2\n");
  EXPECT_EQ(error({"table", kTipping, "-"}, "quality service\n1 nan\n"),
            "tapwise: standard input:2: \"nan\" in column service is not a number\n");
  EXPECT_EQ(error({"table", kTipping, "-"}, "\n \n"),
            "tapwise: standard input: no header line of column names\n");

  EXPECT_EQ(error({"plot", kTipping, "--run", "-o", "-"}),
            "tapwise: run: no value given for quality, service (the inputs are: quality, "
            "service)\n");
  EXPECT_EQ(error({"plot", kTipping, "--run", "taste=3", "-o", "-"}),
            "tapwise: Unknown input taste (the inputs are: quality, service)\n");
  EXPECT_EQ(error({"plot", kTipping, "quality=6.5", "-o", "-"}),
            "tapwise: plot: unexpected argument \"quality=6.5\" (try \"tapwise plot --help\")\n");
}

// The picture of the hand-worked tipping run: both inputs marked, only "usual" and
// "generous" drawn as fired consequents, and the centroid written with its value.
TEST_F(ControllerCommandsTest, PlotRunDrawsTheFiredConsequentsAndTheCentroid) {
  const TToolResult plot =
      Tool({"plot", kTipping, "--run", "quality=6.5", "service=9.8", "-o", "-"});
  ASSERT_EQ(plot.Err, "");
  const std::string& svg = plot.Out;
  const auto has = [&svg](const std::string& part) { return svg.find(part) != std::string::npos; };
  EXPECT_TRUE(has(">tip = 19.8578</text>"));
  EXPECT_TRUE(has(">tip = " + FormatFixed(TippingAt65And98(), 4) + "</text>"));
  EXPECT_TRUE(has(">quality = 6.5000</text>") && has(">service = 9.8000</text>"));
  EXPECT_TRUE(has("class=\"consequent\" data-rule=\"usual\""));
  EXPECT_FALSE(has("data-rule=\"stingy\""));
  EXPECT_TRUE(has("<polygon class=\"aggregate\""));
  // "high" capped at 0.96 reaches it at tip 24.52: x = 64 + 24.52 / 25 * 672, y = 214 - 0.96
  // * 166 in the tip panel's plot area.
  const std::size_t generous = svg.find("class=\"consequent\" data-rule=\"generous\"");
  ASSERT_NE(generous, std::string::npos);
  const std::string element = svg.substr(generous, svg.find("</polyline>", generous) - generous);
  EXPECT_NE(element.find(" 723.10,54.64 "), std::string::npos) << element;
}

}  // namespace
}  // namespace tapwise::tool
