#include "TapwiseTool.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "DefinitionFile.h"
#include "support/LiveObjectGuard.h"
#include "tapwise/fuzzy/IFuzzySet.h"

namespace tapwise::tool {
namespace {

namespace fs = std::filesystem;

std::string Data(const std::string& name) {
  return std::string(TAPWISE_TEST_DATA) + "/" + name;
}

TToolResult Tool(std::vector<std::string> args) {
  return RunTapwise(args);
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path TempPath(const std::string& name) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return fs::path(::testing::TempDir()) / (std::string(info->name()) + "-" + name);
}

int Count(const std::string& text, const std::string& what) {
  int count = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++count;
  return count;
}

class TapwiseToolTest : public ::testing::Test {
 protected:
  testing::LiveObjectGuard guard;
};

TEST_F(TapwiseToolTest, CheckListsVariablesAndTermsInFileOrder) {
  const TToolResult result = Tool({"check", Data("demo.fzl")});
  EXPECT_EQ(result.ExitCode, 0);
  EXPECT_EQ(result.Err, "");
  EXPECT_EQ(result.Out, Data("demo.fzl") +
                            ": 3 variables\n"
                            "  outTemp: range 5 to 65, units Celcius, 3 terms\n"
                            "    cold (z 10.0000 35.0000)\n"
                            "    OK (pi 36.0000 2.0000)\n"
                            "    hot (s 37.0000 60.0000)\n"
                            "  outFlow: range 0 to 100, units liters/minute, 3 terms\n"
                            "    low (z 3.0000 11.5000)\n"
                            "    OK (pi 12.0000 1.0000)\n"
                            "    strong (s 12.5000 25.0000)\n"
                            "  change_vc: range -1 to 1, no units, 7 terms\n"
                            "    NB ((-0.5000 1.0000) (-0.2500 0.0000) )\n"
                            "    NM ((-0.3500 0.0000) (-0.3000 1.0000) (-0.1500 0.0000) )\n"
                            "    NS ((-0.2500 0.0000) (-0.1500 1.0000) (0.0000 0.0000) )\n"
                            "    Z ((-0.0500 0.0000) (0.0000 1.0000) (0.0500 0.0000) )\n"
                            "    PS ((0.0000 0.0000) (0.1500 1.0000) (0.2500 0.0000) )\n"
                            "    PM ((0.1500 0.0000) (0.3000 1.0000) (0.3500 0.0000) )\n"
                            "    PB ((0.2500 0.0000) (0.5000 1.0000) )\n");
}

TEST_F(TapwiseToolTest, CheckShowsCommentsQuotedUnitsAndTheLastOfTwoDefinitions) {
  const TToolResult result = Tool({"check", Data("shapes.fzl")});
  ASSERT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_NE(result.Out.find(": 2 variables\n"), std::string::npos);
  EXPECT_NE(result.Out.find("  pressure \"feed pressure\": range 0 to 10, units \"kilo pascal\", "
                            "8 terms\n    low \"nearly nothing\" (tri 0.0000 1.0000 3.0000)\n"),
            std::string::npos);
  EXPECT_NE(result.Out.find("  speed: range 0 to 200, units km/h, 2 terms\n"), std::string::npos);
  // Automatic terms only on request, and then after the file's own.
  const TToolResult automatic = Tool({"check", "--auto-terms", Data("demo.fzl")});
  EXPECT_NE(automatic.Out.find("  outFlow: range 0 to 100, units liters/minute, 5 terms\n"),
            std::string::npos);
  EXPECT_NE(automatic.Out.find("    strong (s 12.5000 25.0000)\n    medium (tri 0.0000 50.0000 "
                               "100.0000)\n"),
            std::string::npos);
}

TEST_F(TapwiseToolTest, BadFilesAreReportedWithTheirPlaceAndNothingIsPrinted) {
  const TToolResult result = Tool({"check", Data("demo.fzl"), Data("bad-range.fzl")});
  EXPECT_EQ(result.ExitCode, 1);
  EXPECT_EQ(result.Out, "");
  EXPECT_EQ(result.Err, "tapwise: " + Data("bad-range.fzl") +
                            ":2:10: Parsing Error, Expected number in ParseFuzzyVariable at line "
                            "2: \"( deffuzzy outTemp ( range x \"\n"
                            "  (range x 65))\n"
                            "         ^\n");
  // Every bad file of a check is reported; the end of a form that never closes is the end of
  // the text, on the empty line after the last line break.
  const TToolResult two = Tool({"check", Data("bad-unclosed.fzl"), "missing.fzl"});
  EXPECT_EQ(two.Err, "tapwise: " + Data("bad-unclosed.fzl") +
                         ":6:1: Parsing Error, Expected \")\" in ParseFuzzyValuePairs at line 6: "
                         "\"( deffuzzy level ( range 0 1 ) ( values ( term low ( z 0 0.5000 ) ) "
                         "( term high ( ( 0.5000 0 ) ( 1 1 ) EOF \"\n"
                         "\n"
                         "^\n"
                         "tapwise: missing.fzl: cannot read the file: no such file\n");
  EXPECT_EQ(Tool({"format", TAPWISE_TEST_DATA}).Err, "tapwise: " + std::string(TAPWISE_TEST_DATA) +
                                                         ": cannot read the file: it is a "
                                                         "directory\n");
  EXPECT_EQ(Tool({"format", Data("bad-range.fzl")}).Out, "");
  // A device that never ends is refused, not read until the memory runs out.
  if (fs::exists("/dev/zero")) {
    EXPECT_EQ(Tool({"check", "/dev/zero"}).Err,
              "tapwise: /dev/zero: cannot read the file: it is larger than 64 MiB\n");
  }
}

TEST_F(TapwiseToolTest, FormatReadsBackAsTheSameVariablesAndIsStable) {
  for (const char* name : {"demo.fzl", "shapes.fzl"}) {
    const TToolResult first = Tool({"format", Data(name)});
    ASSERT_EQ(first.ExitCode, 0) << first.Err;
    const fs::path written = TempPath(name);
    std::ofstream(written, std::ios::binary) << first.Out;

    const TDefinitionFile original(Data(name), false);
    const TDefinitionFile again(written.string(), false);
    ASSERT_EQ(original.GetVariables().size(), again.GetVariables().size()) << name;
    for (std::size_t v = 0; v < original.GetVariables().size(); ++v) {
      const IFuzzyVariable& a = *original.GetVariables()[v];
      const IFuzzyVariable& b = *again.GetVariables()[v];
      EXPECT_EQ(a.GetName(), b.GetName());
      EXPECT_EQ(a.GetUnits(), b.GetUnits());
      EXPECT_EQ(a.GetComment(), b.GetComment());
      EXPECT_DOUBLE_EQ(a.GetMinimum(), b.GetMinimum());
      EXPECT_DOUBLE_EQ(a.GetMaximum(), b.GetMaximum());
      const auto a_terms = TermsInOrder(a);
      const auto b_terms = TermsInOrder(b);
      ASSERT_EQ(a_terms.size(), b_terms.size()) << a.GetName();
      for (std::size_t t = 0; t < a_terms.size(); ++t) {
        const std::string what = a.GetName() + "." + a_terms[t]->GetName();
        EXPECT_EQ(a_terms[t]->GetName(), b_terms[t]->GetName());
        ASSERT_EQ(a_terms[t]->GetCount(), b_terms[t]->GetCount()) << what;
        for (int i = 0; i < a_terms[t]->GetCount(); ++i) {
          EXPECT_NEAR(a_terms[t]->GetX(i), b_terms[t]->GetX(i), 1e-4) << what << " " << i;
          EXPECT_NEAR(a_terms[t]->GetY(i), b_terms[t]->GetY(i), 1e-4) << what << " " << i;
        }
      }
    }
    EXPECT_EQ(Tool({"format", written.string()}).Out, first.Out) << name;
  }
}

TEST_F(TapwiseToolTest, FormatWritesTheWritersLayout) {
  const std::string out = Tool({"format", Data("demo.fzl")}).Out;
  EXPECT_EQ(out.substr(0, out.find("(deffuzzy outFlow")),
            "(deffuzzy outTemp \r\n"
            "    (range 5.0000 65.0000)\r\n"
            "    (units Celcius)\r\n"
            "    (values \r\n"
            "        (term cold (z 10.0000 35.0000))\r\n"
            "        (term OK (pi 36.0000 2.0000))\r\n"
            "        (term hot (s 37.0000 60.0000))\r\n"
            "    )\r\n"
            ")\r\n");
  EXPECT_EQ(Tool({"format", Data("empty.fzl")}).Out, "");
}

TEST_F(TapwiseToolTest, EvalPrintsPointsAndWorkedMeasures) {
  // NB or Z: NB's plateau from -1 to -0.5 (area 0.5 about -0.75), its slope to -0.25 (0.125
  // about -5/12), and Z's two slopes (0.025 each, about -1/60 and 1/60) give the centre
  // -0.4270833 / 0.675; the two peaks at -0.5 and 0 give the mean of maxima.
  EXPECT_EQ(Tool({"eval", Data("demo.fzl"), "change_vc", "NB or Z"}).Out,
            "name: NB or Z\n"
            "expression: NB or Z\n"
            "(-0.5000 1.0000)\n"
            "(-0.2500 0.0000)\n"
            "(-0.0500 0.0000)\n"
            "(0.0000 1.0000)\n"
            "(0.0500 0.0000)\n"
            "cog: -0.6327\n"
            "mom: -0.2500\n");
  // NB alone: -0.4270833 / 0.625.
  const std::string nb = Tool({"eval", Data("demo.fzl"), "change_vc", "NB"}).Out;
  EXPECT_NE(nb.find("cog: -0.6833\nmom: -0.5000\n"), std::string::npos) << nb;
  // Halving Z keeps its symmetry about 0.
  const std::string half = Tool({"eval", Data("demo.fzl"), "change_vc", "Z * 0.5"}).Out;
  EXPECT_NE(half.find("(-0.0500 0.0000)\n(0.0000 0.5000)\n(0.0500 0.0000)\ncog: 0.0000\n"
                      "mom: 0.0000\n"),
            std::string::npos)
      << half;
  const std::string ok = Tool({"eval", Data("demo.fzl"), "outTemp", "OK"}).Out;
  EXPECT_NE(ok.find("(34.0000 0.0000)\n"), std::string::npos) << ok;
  EXPECT_NE(ok.find("cog: 36.0000\nmom: 36.0000\n"), std::string::npos) << ok;
}

TEST_F(TapwiseToolTest, EvalErrorsNameTheExpressionOrTheVariable) {
  EXPECT_EQ(Tool({"eval", Data("demo.fzl"), "outTemp", "warm"}).Err,
            "tapwise: expression \"warm\" over outTemp: Parsing Error, Invalid item in fuzzy "
            "expression: warm in EvalFuzzyExpression at line 1: \"\" (the terms of outTemp are: "
            "cold, OK, hot)\n");
  EXPECT_EQ(Tool({"eval", Data("demo.fzl"), "outTemp", "[cold and hot"}).Err,
            "tapwise: expression \"[cold and hot\" over outTemp: Missing close parenthesis\n");
  const TToolResult missing = Tool({"eval", Data("demo.fzl"), "outX", "cold"});
  EXPECT_EQ(missing.ExitCode, 1);
  EXPECT_EQ(missing.Err, "tapwise: " + Data("demo.fzl") +
                             ": no variable named \"outX\" (the file defines: outTemp, outFlow, "
                             "change_vc)\n");
}

TEST_F(TapwiseToolTest, PlotDrawsOnePolylinePerTermAndWritesOnlyOnSuccess) {
  const fs::path svg_path = TempPath("demo.svg");
  const TToolResult result = Tool({"plot", Data("demo.fzl"), "-o", svg_path.string()});
  ASSERT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(result.Out, "");
  const std::string svg = ReadAll(svg_path);
  EXPECT_TRUE(svg.starts_with("<?xml"));
  EXPECT_TRUE(svg.ends_with("</svg>\n"));
  EXPECT_EQ(Count(svg, "<g class=\"variable\""), 3);
  EXPECT_EQ(Count(svg, "<polyline"), 3 + 3 + 7);
  for (const char* term : {"cold", "hot", "strong", "NB", "PB"})
    EXPECT_EQ(Count(svg, "data-term=\"" + std::string(term) + "\""), 1) << term;
  EXPECT_EQ(Count(svg, ">Celcius</text>"), 1);
  EXPECT_EQ(Count(svg, ">liters/minute</text>"), 1);
  // NB is drawn from the universe's start at its first degree.
  EXPECT_NE(svg.find("data-term=\"NB\" points=\"64.00,"), std::string::npos);

  // --var picks variables in the order given; "-o -" prints the picture.
  const TToolResult chosen =
      Tool({"plot", Data("demo.fzl"), "--var", "change_vc", "--var", "outTemp", "-o", "-"});
  EXPECT_EQ(Count(chosen.Out, "<polyline"), 7 + 3);
  EXPECT_LT(chosen.Out.find("data-variable=\"change_vc\""),
            chosen.Out.find("data-variable=\"outTemp\""));

  // A failing plot leaves the earlier picture as it was.
  const TToolResult bad =
      Tool({"plot", Data("demo.fzl"), "--var", "nothing", "-o", svg_path.string()});
  EXPECT_EQ(bad.ExitCode, 1);
  EXPECT_EQ(ReadAll(svg_path), svg);
  EXPECT_EQ(Tool({"plot", Data("empty.fzl"), "-o", "-"}).Err,
            "tapwise: " + Data("empty.fzl") + ": the file defines no variables\n");
  EXPECT_EQ(Tool({"plot", Data("demo.fzl"), "-o", (TempPath("no-dir") / "x.svg").string()}).Err,
            "tapwise: " + (TempPath("no-dir") / "x.svg").string() +
                ": cannot write the file: it cannot be opened\n");
}

TEST_F(TapwiseToolTest, PlotEscapesNamesAndUnits) {
  const fs::path file = TempPath("odd.fzl");
  std::ofstream(file, std::ios::binary)
      << "(deffuzzy a\\&b (range 0 0) (units \"<deg>\") (values (term x\\<y (tri 0 0 0))))";
  const std::string svg = Tool({"plot", file.string(), "-o", "-"}).Out;
  EXPECT_NE(svg.find("data-variable=\"a&amp;b\""), std::string::npos) << svg;
  EXPECT_NE(svg.find("data-term=\"x&lt;y\""), std::string::npos);
  // Units given as a string are shown as the string.
  EXPECT_NE(svg.find(">&lt;deg&gt;</text>"), std::string::npos);
}

TEST_F(TapwiseToolTest, HelpVersionAndCommandLineMistakes) {
  const TToolResult help = Tool({"--help"});
  EXPECT_EQ(help.ExitCode, 0);
  EXPECT_TRUE(help.Out.starts_with("Usage: tapwise COMMAND"));
  for (const char* command : {"check", "convert", "format", "eval", "plot", "run", "table"}) {
    const TToolResult own = Tool({command, "--help"});
    EXPECT_EQ(own.ExitCode, 0);
    EXPECT_TRUE(own.Out.starts_with("Usage: tapwise " + std::string(command))) << command;
  }
  EXPECT_EQ(Tool({"--version"}).Out, "tapwise 0.1.0\n");
  EXPECT_EQ(Tool({}).Err,
            "tapwise: missing command: check, convert, format, eval, plot, run or table (try "
            "\"tapwise --help\")\n");
  EXPECT_EQ(Tool({"draw"}).Err, "tapwise: unknown command \"draw\" (try \"tapwise --help\")\n");
  EXPECT_EQ(Tool({"plot", Data("demo.fzl")}).Err,
            "tapwise: plot: missing -o OUT.svg (try \"tapwise plot --help\")\n");
  EXPECT_EQ(Tool({"check"}).ExitCode, 1);
}

TEST_F(TapwiseToolTest, ConvertAndEveryCommandTakeEveryFormat) {
  // Tipping through FCL, FIS and FLL answers as the definition file does (19.857759 worked out
  // by integration in the controller tests).
  const std::string tipping = std::string(TAPWISE_EXAMPLES_DIR) + "/tipping.fzl";
  for (const char* extension : {".fcl", ".fis", ".fll", ".fzl"}) {
    const fs::path converted = TempPath(std::string("tipping") + extension);
    const TToolResult convert = Tool({"convert", tipping, converted.string()});
    ASSERT_EQ(convert.ExitCode, 0) << convert.Err;
    EXPECT_EQ(Tool({"run", converted.string(), "quality=6.5", "service=9.8"}).Out,
              "tip = 19.8578\n")
        << extension;
  }
  // A smooth shape is listed by its kind, parameters and point count.
  const fs::path fll = TempPath("gauss.fll");
  std::ofstream(fll) << "Engine: e\nInputVariable: x\n  range: 0 10\n  term: mid Gaussian 5 1.5\n"
                        "OutputVariable: y\n  range: 0 1\n  defuzzifier: WeightedAverage\n"
                        "  term: one Constant 1\nRuleBlock: r\n  rule: if x is mid then y is one\n";
  const TToolResult check = Tool({"check", fll.string()});
  EXPECT_EQ(check.Err, "");
  EXPECT_NE(check.Out.find("    mid Gaussian 1.5 5 ("), std::string::npos) << check.Out;
  EXPECT_EQ(Tool({"run", fll.string(), "x=5"}).Out, "y = 1.0000\n");
  // A file that does not read, with its place.
  EXPECT_EQ(Tool({"convert", tipping, "t.txt"}).Err,
            "tapwise: t.txt: unknown controller format (the extensions are .fzl, .fcl, .fis "
            "and .fll)\n");
  const fs::path bad = TempPath("bad.fcl");
  std::ofstream(bad) << "FUNCTION_BLOCK f\nVAR_INPUT\n  x : REAL;\nEND_VAR\nOPTIONS\n";
  const TToolResult read = Tool({"convert", bad.string(), TempPath("out.fzl").string()});
  EXPECT_EQ(read.ExitCode, 1);
  EXPECT_TRUE(read.Err.starts_with("tapwise: " + bad.string() + ":5:")) << read.Err;
  EXPECT_NE(read.Err.find("Unsupported FCL section OPTIONS"), std::string::npos) << read.Err;
  EXPECT_FALSE(fs::exists(TempPath("out.fzl")));
}

TEST_F(TapwiseToolTest, NumbersIgnoreACommaDecimalLocale) {
  const char* chosen = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"}) {
    if ((chosen = std::setlocale(LC_ALL, name)) != nullptr) break;
  }
  if (chosen == nullptr) GTEST_SKIP() << "no comma-decimal locale installed";
  const std::string eval = Tool({"eval", Data("demo.fzl"), "change_vc", "NB"}).Out;
  const std::string svg = Tool({"plot", Data("demo.fzl"), "-o", "-"}).Out;
  std::setlocale(LC_ALL, "C");
  EXPECT_NE(eval.find("cog: -0.6833\n"), std::string::npos) << eval;
  EXPECT_NE(svg.find(">-0.75</text>"), std::string::npos);
}

}  // namespace
}  // namespace tapwise::tool
