#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "support/ExpectThrow.h"
#include "tapwise/formats/ControllerFormats.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyVariable.h"

namespace tapwise {
namespace {

// ---- The controllers, and an independent computation of what they mean: membership
// ---- functions written out, the aggregate sampled at midpoints.

// A point list as FCL defines it: linear between the points, flat beyond the ends.
double Lin(std::vector<std::pair<double, double>> points, double x) {
  if (x <= points.front().first) return points.front().second;
  for (size_t i = 1; i < points.size(); ++i) {
    const auto [x1, y1] = points[i - 1];
    const auto [x2, y2] = points[i];
    if (x <= x2) return y1 + (y2 - y1) * (x - x1) / (x2 - x1);
  }
  return points.back().second;
}

std::string Tipping(const std::string& settings, const std::string& method) {
  return R"(FUNCTION_BLOCK tipper  (* a comment
over two lines *)
VAR_INPUT
  service : REAL;  // also a comment
  food : real;
END_VAR
VAR_OUTPUT
  tip : REAL;
END_VAR
FUZZIFY service
  TERM poor := (0, 1) (4, 0);
  TERM good := (1, 0) (5, 1) (9, 0);
  TERM excellent := (6, 0) (10, 1);
  RANGE := (0 .. 10);
END_FUZZIFY
fuzzify food
  TERM rancid := (-2, 1) (1, 1) (3, 0);
  TERM delicious := (7, 0) (9, 1) (10, 1);
END_FUZZIFY
DEFUZZIFY tip
  TERM cheap := (0, 0) (5, 1) (10, 0);
  TERM average := (10, 0) (15, 1) (20, 0);
  TERM generous := (20, 0) (25, 1) (30, 0);
  METHOD : )" +
         method +
         R"(;
  DEFAULT := 0;
  RANGE := (0 .. 30);
END_DEFUZZIFY
RULEBLOCK No1
)" + settings +
         R"(
  RULE low : IF service IS poor OR food IS rancid THEN tip IS cheap;
  RULE mid : IF service IS good AND NOT (food IS rancid) THEN tip IS average WITH 0.8;
  RULE high : IF service IS excellent AND food IS delicious THEN tip IS generous;
END_RULEBLOCK
END_FUNCTION_BLOCK
)";
}

struct TTippingCase {
  std::string Settings;
  std::string Method;
  std::function<double(double, double)> And;
  std::function<double(double, double)> Or;
  std::function<double(double, double)> Act;
  std::function<double(double, double)> Accu;
};

double Min(double a, double b) {
  return std::min(a, b);
}
double Max(double a, double b) {
  return std::max(a, b);
}
double Prod(double a, double b) {
  return a * b;
}

// The tip by midpoint sampling of the aggregate over 0..30.
double ReferenceTip(const TTippingCase& c, double service, double food) {
  const double rancid = Lin({{1, 1}, {3, 0}}, food);
  const double delicious = Lin({{7, 0}, {9, 1}}, food);
  const double s1 = c.Or(Lin({{0, 1}, {4, 0}}, service), rancid);
  const double s2 = 0.8 * c.And(Lin({{1, 0}, {5, 1}, {9, 0}}, service), 1 - rancid);
  const double s3 = c.And(Lin({{6, 0}, {10, 1}}, service), delicious);
  // The consequents sampled once: the cases differ in the strengths and settings only.
  constexpr int kSteps = 6000;
  static const auto sampled = [](std::vector<std::pair<double, double>> points) {
    std::vector<double> degrees;
    for (int i = 0; i < kSteps; ++i)
      degrees.push_back(Lin(points, 30.0 * (i + 0.5) / kSteps));
    return degrees;
  };
  static const std::vector<double> cheap = sampled({{0, 0}, {5, 1}, {10, 0}});
  static const std::vector<double> average = sampled({{10, 0}, {15, 1}, {20, 0}});
  static const std::vector<double> generous = sampled({{20, 0}, {25, 1}, {30, 0}});
  std::vector<double> xs, mus;
  for (int i = 0; i < kSteps; ++i) {
    xs.push_back(30.0 * (i + 0.5) / kSteps);
    mus.push_back(
        c.Accu(c.Accu(c.Act(s1, cheap[i]), c.Act(s2, average[i])), c.Act(s3, generous[i])));
  }
  const double top = *std::max_element(mus.begin(), mus.end());
  if (top == 0) return 0;
  double area = 0, moment = 0, first = -1, last = 0, sum = 0;
  int count = 0;
  for (int i = 0; i < kSteps; ++i) {
    area += mus[i];
    moment += xs[i] * mus[i];
    if (mus[i] > top - 1e-9) {
      if (first < 0) first = xs[i];
      last = xs[i];
      sum += xs[i];
      ++count;
    }
  }
  if (c.Method == "COG") return moment / area;
  if (c.Method == "LM") return first;
  if (c.Method == "RM") return last;
  if (c.Method == "MM") return sum / count;
  double half = 0;
  for (int i = 0; i < kSteps; ++i)
    if ((half += mus[i]) >= area / 2) return xs[i];
  return 30;
}

std::vector<double> Outputs(TFuzzyController& controller, const std::vector<double>& inputs) {
  for (size_t i = 0; i < inputs.size(); ++i)
    controller.SetInput(controller.GetInputs()[i].Name, inputs[i]);
  controller.Process();
  std::vector<double> outputs;
  for (const TControllerOutput& output : controller.GetOutputs())
    outputs.push_back(controller.FindOutput(output.Name).value_or(NAN));
  return outputs;
}

TEST(Fcl, MamdaniOutputsMatchAMidpointIntegrationForEachSetting) {
  const auto bsum = [](double a, double b) { return std::min(1.0, a + b); };
  const auto asum = [](double a, double b) { return a + b - a * b; };
  const auto bdif = [](double a, double b) { return std::max(0.0, a + b - 1); };
  const std::vector<TTippingCase> cases = {
      {"  AND : MIN;\n  ACT : MIN;\n  ACCU : MAX;", "COG", Min, Max, Min, Max},
      {"  and : prod;\n  act : prod;\n  accu : bsum;", "COA", Prod, asum, Prod, bsum},
      {"  AND : BDIF;\n  ACCU : ASUM;", "MM", bdif, bsum, Min, asum},
      {"  ACT : PROD;", "LM", Min, Max, Prod, Max},
      {"  AND : PROD;  OR : MAX;", "RM", Prod, Max, Min, Max},
  };
  for (const TTippingCase& c : cases) {
    TFuzzyController controller =
        ReadController(Tipping(c.Settings, c.Method), TControllerFormat::Fcl);
    for (double service = 0; service <= 10; service += 2.5) {
      for (double food = 0; food <= 10; food += 2.5) {
        EXPECT_NEAR(Outputs(controller, {service, food})[0], ReferenceTip(c, service, food), 0.03)
            << c.Method << " at service " << service << ", food " << food;
      }
    }
  }
}

const std::string kShower = R"(FUNCTION_BLOCK
VAR_INPUT temp : REAL; flow : REAL; END_VAR
VAR_OUTPUT cold : REAL; hot : REAL; END_VAR
FUZZIFY temp
  TERM cool := (10, 1) (25, 0); TERM good := (15, 0) (25, 1) (35, 0); TERM warm := (25, 0) (40, 1);
END_FUZZIFY
FUZZIFY flow
  TERM soft := (0, 1) (0.5, 0); TERM good := (0, 0) (0.5, 1) (1, 0); TERM hard := (0.5, 0) (1, 1);
END_FUZZIFY
DEFUZZIFY cold
  TERM closeFast := -0.5; TERM closeSlow := -0.1; TERM steady := 0; TERM openSlow := 0.1;
  TERM openFast := 0.5;
  METHOD : COGS;
END_DEFUZZIFY
DEFUZZIFY hot
  TERM closeFast := -0.5; TERM closeSlow := -0.1; TERM steady := 0; TERM openSlow := 0.1;
  TERM openFast := 0.5;
  METHOD : COGS;
  DEFAULT := 0;
END_DEFUZZIFY
RULEBLOCK valves
  AND : PROD;
  ACCU : BSUM;
  RULE R1 : IF temp IS cool AND flow IS soft THEN cold IS openSlow, hot IS openFast;
  RULE R2 : IF temp IS cool AND flow IS good THEN cold IS closeSlow, hot IS openSlow;
  RULE R3 : IF temp IS cool AND flow IS hard THEN cold IS closeFast, hot IS closeSlow;
  RULE R4 : IF temp IS good AND flow IS soft THEN cold IS openSlow, hot IS openSlow;
  RULE R5 : IF temp IS good AND flow IS good THEN cold IS steady, hot IS steady;
  RULE R6 : IF temp IS good AND flow IS hard THEN cold IS closeSlow, hot IS closeSlow;
  RULE R7 : IF temp IS warm AND flow IS soft THEN cold IS openFast, hot IS openSlow;
  RULE R8 : IF temp IS warm AND flow IS good THEN cold IS openSlow, hot IS closeSlow;
  RULE R9 : IF temp IS warm AND flow IS hard THEN cold IS closeSlow, hot IS closeFast WITH 0.5;
END_RULEBLOCK
END_FUNCTION_BLOCK)";

TEST(Fcl, SingletonsUnderCogsAccumulatePerTermThenAverage) {
  TFuzzyController shower = ReadController(kShower, TControllerFormat::Fcl);
  // Term values: closeFast, closeSlow, steady, openSlow, openFast.
  const std::vector<double> values = {-0.5, -0.1, 0, 0.1, 0.5};
  const int cold[9] = {3, 1, 0, 3, 2, 1, 4, 3, 1};
  const int hot[9] = {4, 3, 1, 3, 2, 1, 3, 1, 0};
  for (double temp = 10; temp <= 40; temp += 2.5) {
    for (double flow = 0; flow <= 1; flow += 0.125) {
      const double t[3] = {Lin({{10, 1}, {25, 0}}, temp), Lin({{15, 0}, {25, 1}, {35, 0}}, temp),
                           Lin({{25, 0}, {40, 1}}, temp)};
      const double f[3] = {Lin({{0, 1}, {0.5, 0}}, flow), Lin({{0, 0}, {0.5, 1}, {1, 0}}, flow),
                           Lin({{0.5, 0}, {1, 1}}, flow)};
      const auto expected = [&](const int* term_of_rule) {
        double weight[5] = {};
        for (int r = 0; r < 9; ++r) {
          const double strength = t[r / 3] * f[r % 3] * (r == 8 ? 0.5 : 1);
          weight[term_of_rule[r]] = std::min(1.0, weight[term_of_rule[r]] + strength);
        }
        double sum = 0, weighted = 0;
        for (int k = 0; k < 5; ++k) {
          sum += weight[k];
          weighted += weight[k] * values[k];
        }
        return weighted / sum;
      };
      const std::vector<double> got = Outputs(shower, {temp, flow});
      EXPECT_NEAR(got[0], expected(cold), 5e-4) << temp << " " << flow;
      EXPECT_NEAR(got[1], expected(hot), 5e-4) << temp << " " << flow;
    }
  }
}

// Same outputs on a grid over the inputs' ranges.
void ExpectSameOutputs(TFuzzyController& a, TFuzzyController& b) {
  ASSERT_EQ(a.GetInputs().size(), 2u);
  for (double u = 0; u <= 1; u += 0.1) {
    for (double v = 0; v <= 1; v += 0.1) {
      std::vector<double> inputs;
      for (const auto& [input, share] : {std::pair{a.GetInputs()[0], u}, {a.GetInputs()[1], v}}) {
        const TFuzzyVariable& variable = a.GetVariable(input.Name);
        inputs.push_back(variable.GetMinimum() +
                         share * (variable.GetMaximum() - variable.GetMinimum()));
      }
      const std::vector<double> first = Outputs(a, inputs);
      const std::vector<double> second = Outputs(b, inputs);
      for (size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(first[i], second[i]) << inputs[0] << " " << inputs[1];
    }
  }
}

TEST(Fcl, WrittenTextReadsBackToTheSameOutputsDirectlyAndThroughTheLanguage) {
  for (const std::string& text :
       {kShower, Tipping("  AND : PROD;\n  ACT : PROD;\n  ACCU : BSUM;", "COA")}) {
    TFuzzyController read = ReadController(text, TControllerFormat::Fcl);
    const std::string written = WriteController(read, TControllerFormat::Fcl);
    TFuzzyController again = ReadController(written, TControllerFormat::Fcl);
    ExpectSameOutputs(read, again);
    EXPECT_EQ(WriteController(again, TControllerFormat::Fcl), written);
    TFuzzyController through_language = TFuzzyController::FromText(read.ToText());
    TFuzzyController back = ReadController(
        WriteController(through_language, TControllerFormat::Fcl), TControllerFormat::Fcl);
    ExpectSameOutputs(read, back);
  }
}

// One input x over 0..10 and one output y, with `extra` lines in the places the arguments say.
std::string Small(const std::string& fuzzify, const std::string& defuzzify,
                  const std::string& rules) {
  return "FUNCTION_BLOCK small\nVAR_INPUT\n  x : REAL;\nEND_VAR\nVAR_OUTPUT\n  y : REAL;\nEND_VAR\n"
         "FUZZIFY x\n  TERM a := (0, 1) (10, 0);\n" +
         fuzzify + "END_FUZZIFY\nDEFUZZIFY y\n  TERM b := (0, 0) (10, 1);\n" + defuzzify +
         "END_DEFUZZIFY\nRULEBLOCK rb\n" + rules + "END_RULEBLOCK\nEND_FUNCTION_BLOCK\n";
}

TEST(Fcl, ReadingRefusesWithTheMessageAndLine) {
  const std::string rule = "  RULE 1 : IF x IS a THEN y IS b;\n";
  const struct {
    std::string Text;
    std::string Message;
    int Line;
  } cases[] = {
      {"FUNCTION_BLOCK f\nOPTIONS\nEND_OPTIONS\nEND_FUNCTION_BLOCK",
       "Unsupported FCL section OPTIONS", 2},
      {Small("", "", "  ACCU : NSUM;\n" + rule), "Unsupported FCL accumulation NSUM", 15},
      {Small("", "  DEFAULT := 0 | NC;\n", rule), "Unsupported DEFAULT NC of y", 13},
      {Small("", "  METHOD : CoM;\n", rule), "Unsupported defuzzification method CoM", 13},
      {Small("", "", "  OR : MIN;\n" + rule), "Unsupported FCL OR MIN", 15},
      {Small("", "", "  RULE 1 : IF x IS extremely a THEN y IS b;\n"),
       "Unsupported hedge extremely in RULE 1", 15},
      {Small("", "  TERM c := Spike 5 1;\n", rule), "Unsupported term kind Spike of term c of y",
       13},
      {Small("", "  TERM c := Triangle 0 5 10 0.5;\n", rule),
       "Unsupported height 0.5 of term c of y", 13},
      {Small("", "  TERM c := Triangle 0 5;\n", rule),
       "Triangle of term c of y takes 3 numbers, not 2", 13},
      {Small("  TERM c := (0, 0) (5, 1) (4, 0);\n", "", rule),
       "The points of term c of x go back in x", 10},
      {Small("  TERM c := (0, 0) (5, 1.5);\n", "", rule),
       "The degree 1.5 of term c of x is outside 0..1", 10},
      {Small("  TERM c := 12;\n  RANGE := (0 .. 10);\n", "", rule),
       "The singleton 12 of term c of x lies outside its range", 10},
      {Small("", "  METHOD : COGS;\n", rule), "Unsupported COGS over the point list term b of y",
       12},
      {Small("  RANGE := (3 .. 3);\n", "", rule), "The RANGE of x must start below its end", 10},
      {"FUNCTION_BLOCK f\nVAR_INPUT x : INT; END_VAR\nEND_FUNCTION_BLOCK",
       "Unsupported type INT of variable x", 2},
      {"FUNCTION_BLOCK f\nVAR_INPUT x : REAL; END_VAR\nEND_FUNCTION_BLOCK",
       "Variable x has neither a RANGE nor terms", 2},
      {"FUNCTION_BLOCK f\nVAR_INPUT x : REAL; END_VAR\nFUZZIFY x TERM g := Gaussian 5 1; "
       "END_FUZZIFY\nEND_FUNCTION_BLOCK",
       "Variable x needs a RANGE for its Gaussian term g", 3},
      {"FUNCTION_BLOCK f\nVAR_OUTPUT y : REAL; END_VAR\nDEFUZZIFY x END_DEFUZZIFY\n",
       "DEFUZZIFY x names no VAR_OUTPUT variable", 3},
      {"FUNCTION_BLOCK f (* never closed\n\n", "Comment not closed by *)", 1},
      {"FUNCTION_BLOCK f\n\n  x # y", "Unexpected character '#'", 3},
      {"FUNCTION_BLOCK f\nEND_FUNCTION_BLOCK\nFUNCTION_BLOCK g",
       "Unsupported text after END_FUNCTION_BLOCK: FUNCTION_BLOCK", 3},
      {"FUNCTION_BLOCK f\n", "Expected END_FUNCTION_BLOCK before the end of the text", 2},
      {"FUNCTION_BLOCK\nVAR_OUTPUT y : REAL; z : REAL; END_VAR\n"
       "DEFUZZIFY y TERM b := (0, 0) (1, 1); METHOD : COG; END_DEFUZZIFY\n"
       "DEFUZZIFY z TERM b := (0, 0) (1, 1); METHOD : MM; END_DEFUZZIFY\nVAR_INPUT x : REAL; "
       "END_VAR FUZZIFY x TERM a := (0, 0) (1, 1); END_FUZZIFY\n"
       "RULEBLOCK rb RULE 1 : IF x IS a THEN y IS b, z IS b; END_RULEBLOCK END_FUNCTION_BLOCK",
       "Unsupported defuzzification method MM of z beside COG of y: one RULEBLOCK has one "
       "defuzzification method",
       6},
  };
  for (const auto& c : cases) {
    try {
      ReadController(c.Text, TControllerFormat::Fcl);
      ADD_FAILURE() << "no error, expected " << c.Message;
    } catch (const EFzyParseException& error) {
      EXPECT_EQ(error.what(), c.Message);
      EXPECT_EQ(error.GetLine(), c.Line) << error.what();
    }
  }
  // What the controller refuses comes with the line of the block it is in.
  try {
    ReadController(Small("", "", "  RULE 1 : IF x IS nothing THEN y IS b;\n"),
                   TControllerFormat::Fcl);
    ADD_FAILURE() << "an unknown term read";
  } catch (const EFzyParseException& error) {
    EXPECT_EQ(error.GetLine(), 14);
  }
}

TEST(Fcl, WritingRefusesWhatFclCannotHold) {
  const std::string variables =
      "(deffuzzy x (range 0 10) (values (term a ((0 1) (10 0)))))\n"
      "(deffuzzy y (range 0 10) (values (term b ((0 0) (10 1)))))\n";
  const std::string rule = " (rule r (if (x a)) (then (y b))))";
  const struct {
    std::string Definitions;
    std::string Message;
  } cases[] = {
      {"(definput x (spread 0.5))(defrules rb" + rule, "FCL cannot hold input x: a spread of 0.5"},
      {"(defrules rb (implication cap)" + rule,
       "FCL cannot hold rule block rb: the cap implication"},
      {"(defrules rb (threshold 0.25)" + rule,
       "FCL cannot hold rule block rb: a threshold of 0.25"},
      {"(defrules rb (and mean)" + rule, "FCL cannot hold rule block rb: AND of the mean family"},
      {"(defrules rb (or sum)" + rule, "FCL cannot hold rule block rb: OR of the sum family"},
      {"(defrules rb (rule r (if (x extremely a)) (then (y b))))",
       "FCL cannot hold the hedge extremely of rule r"},
      {"(defrules rb (rule r (if (x very not a)) (then (y b))))",
       "FCL cannot hold the hedge not of rule r"},
      {"(defrules rb (rule r\\ 1 (if (x a)) (then (y b))))",
       "FCL cannot hold the name \"r 1\" of rule block rb"},
      {"(defoutput s (sugeno) (term l (linear 1 (x 2))))(defrules rb (defuzzification "
       "weightedaverage) (rule r (if (x a)) (then (s l))))",
       "FCL cannot hold term l of s: a linear Sugeno term"},
  };
  for (const auto& c : cases) {
    const TFuzzyController controller = TFuzzyController::FromText(variables + c.Definitions);
    EXPECT_THROW_MSG(WriteController(controller, TControllerFormat::Fcl), EFzyException, c.Message);
  }
}

// fuzzylite writes keywords in lower case, rules without semicolons, ACCU and an absent
// DEFAULT in DEFUZZIFY; a variable without RANGE spans its terms, and a point list reaching
// beyond the RANGE keeps its degrees inside it.
TEST(Fcl, ReadsFuzzyliteStyleTextAndCutsTermsAtTheRange) {
  TFuzzyController controller = ReadController(R"(function_block
var_input x: REAL; end_var
var_output y: REAL; end_var
fuzzify x
  term low := (2, 1) (6, 0);
  term high := (4, 0) (8, 1);
end_fuzzify
defuzzify y
  RANGE := (0.000 .. 10.000);
  TERM down := (-10, 1) (10, 0);
  TERM up := (0, 0) (20, 1);
  METHOD : COG;
  ACCU : MAX;
  DEFAULT := nan;
end_defuzzify
ruleblock rb
  and : MIN;
  RULE 1 : if x is low then y is down
  RULE 2 : if x is not low and x is high then y is up with 0.5
end_ruleblock
end_function_block)",
                                               TControllerFormat::Fcl);
  const TFuzzyVariable& x = controller.GetVariable("x");
  EXPECT_EQ(x.GetMinimum(), 2);
  EXPECT_EQ(x.GetMaximum(), 8);
  const auto cog = [](double s1, double s2) {
    double area = 0, moment = 0;
    for (int i = 0; i < 10000; ++i) {
      const double y = (i + 0.5) / 1000;
      const double mu = std::max(std::min(s1, (10 - y) / 20), std::min(s2, y / 20));
      area += mu;
      moment += y * mu;
    }
    return moment / area;
  };
  for (const double v : {2.0, 3.5, 5.0, 7.0}) {
    const double low = Lin({{2, 1}, {6, 0}}, v);
    const double high = Lin({{4, 0}, {8, 1}}, v);
    EXPECT_NEAR(Outputs(controller, {v})[0], cog(low, 0.5 * std::min(1 - low, high)), 0.01) << v;
  }
  EXPECT_FALSE(controller.GetOutputs()[0].Default);
}

// VERY and SOMEWHAT are the library's "very" and "moreorless"; NOT before them negates.
TEST(Fcl, HedgesAreTheLibrarysOfTheSameFormula) {
  TFuzzyController fcl = ReadController(
      Small("", "", "  RULE 1 : IF x IS NOT VERY a OR x IS somewhat a THEN y IS b;\n"),
      TControllerFormat::Fcl);
  const std::vector<TFuzzyRule>& rules = fcl.GetRuleBlocks().front().Rules;
  EXPECT_EQ(rules.front().If,
            !TAntecedent::Is("x", "a", {"very"}) || TAntecedent::Is("x", "a", {"moreorless"}));
  EXPECT_NE(WriteController(fcl, TControllerFormat::Fcl)
                .find("IF NOT x IS VERY a OR x IS SOMEWHAT a THEN y IS b;"),
            std::string::npos);
}

}  // namespace
}  // namespace tapwise
