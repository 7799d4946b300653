#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "support/ExpectThrow.h"
#include "support/LiveObjectGuard.h"
#include "tapwise/formats/ControllerFormats.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyVariable.h"

namespace tapwise {
namespace {

// ---- The membership functions, as the two tools define them ----

double Trimf(double x, double a, double b, double c) {
  return std::max(0.0, std::min((x - a) / (b - a), (c - x) / (c - b)));
}
double Trapmf(double x, double a, double b, double c, double d) {
  return std::max(0.0, std::min({(x - a) / (b - a), 1.0, (d - x) / (d - c)}));
}
double Gaussmf(double x, double sigma, double c) {
  return std::exp(-(x - c) * (x - c) / (2 * sigma * sigma));
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

double Evaluate(TFuzzyController& controller, const std::vector<double>& inputs,
                const std::string& output) {
  for (size_t i = 0; i < inputs.size(); ++i)
    controller.SetInput(controller.GetInputs()[i].Name, inputs[i]);
  controller.Process();
  return controller.GetOutput(output);
}

// ---- Mamdani: a tipping controller against a brute-force evaluation ----

const std::string kTipping = R"([System]
Name='tipping'
Type='mamdani'
Version=2.0
NumInputs=2
NumOutputs=1
NumRules=4
AndMethod='min'
OrMethod='max'
ImpMethod='min'
AggMethod='max'
DefuzzMethod='centroid'

[Input1]
Name='service'
Range=[0 10]
NumMFs=3
MF1='poor':'gaussmf',[1.8 0]
MF2='good':'gaussmf',[1.8 5]
MF3='excellent':'gaussmf',[1.8 10]

[Input2]
Name='food'
Range=[0 10]
NumMFs=2
MF1='rancid':'trapmf',[-2 0 1 4]
MF2='delicious':'trapmf',[6 8.5 10 12]

[Output1]
Name='tip'
Range=[0 30]
NumMFs=3
MF1='cheap':'trimf',[0 5 10]
MF2='average':'trimf',[10 15 20]
MF3='generous':'trimf',[20 25 30]

[Rules]
1 1, 1 (1) : 2
2 0, 2 (1) : 1
3 2, 3 (0.8) : 2
-2 2, 3 (0.5) : 1
)";

struct TMamdaniMethods {
  std::string Text;  // the four method lines
  bool Product;      // prod AND, probor OR, prod implication
  int Aggregation;   // 0 max, 1 sum, 2 probor
};

double BruteForceTip(const TMamdaniMethods& methods, double service, double food) {
  const double poor = Gaussmf(service, 1.8, 0), good = Gaussmf(service, 1.8, 5);
  const double excellent = Gaussmf(service, 1.8, 10);
  const double rancid = Trapmf(food, -2, 0, 1, 4), delicious = Trapmf(food, 6, 8.5, 10, 12);
  const auto both = [&](double a, double b) { return methods.Product ? a * b : std::min(a, b); };
  const auto either = [&](double a, double b) {
    return methods.Product ? a + b - a * b : std::max(a, b);
  };
  const double strengths[] = {either(poor, rancid), good, 0.8 * either(excellent, delicious),
                              0.5 * both(1 - good, delicious)};
  const std::function<double(double)> consequents[] = {
      [](double y) { return Trimf(y, 0, 5, 10); }, [](double y) { return Trimf(y, 10, 15, 20); },
      [](double y) { return Trimf(y, 20, 25, 30); }, [](double y) { return Trimf(y, 20, 25, 30); }};
  double moment = 0, area = 0;
  const int steps = 30000;
  for (int k = 0; k < steps; ++k) {
    const double y = (k + 0.5) * 30.0 / steps;
    double degree = 0;
    for (int r = 0; r < 4; ++r) {
      const double implied = methods.Product ? strengths[r] * consequents[r](y)
                                             : std::min(strengths[r], consequents[r](y));
      degree = methods.Aggregation == 0   ? std::max(degree, implied)
               : methods.Aggregation == 1 ? degree + implied
                                          : degree + implied - degree * implied;
    }
    moment += y * degree;
    area += degree;
  }
  return moment / area;
}

class FisMamdani : public ::testing::TestWithParam<TMamdaniMethods> {};

TEST_P(FisMamdani, OutputsWithinAThousandthOfTheRangeOfABruteForceEvaluation) {
  const std::string text =
      Replaced(kTipping, "AndMethod='min'\nOrMethod='max'\nImpMethod='min'\nAggMethod='max'",
               GetParam().Text);
  TFuzzyController tipping = ReadController(text, TControllerFormat::Fis);
  for (double service : {0.0, 1.5, 3.7, 5.0, 8.2, 10.0})
    for (double food : {0.0, 2.5, 5.0, 7.5, 9.0, 10.0})
      EXPECT_NEAR(Evaluate(tipping, {service, food}, "tip"),
                  BruteForceTip(GetParam(), service, food), 0.001 * 30)
          << service << " " << food;
}

INSTANTIATE_TEST_SUITE_P(
    Methods, FisMamdani,
    ::testing::Values(
        TMamdaniMethods{"AndMethod='min'\nOrMethod='max'\nImpMethod='min'\nAggMethod='max'", false,
                        0},
        TMamdaniMethods{"AndMethod='prod'\nOrMethod='probor'\nImpMethod='prod'\nAggMethod='sum'",
                        true, 1},
        TMamdaniMethods{"AndMethod='prod'\nOrMethod='probor'\nImpMethod='prod'\nAggMethod='probor'",
                        true, 2}));

// ---- Sugeno: constant and linear terms against the closed form ----

const std::string kSlope = R"([System]
Name='slope'
Type='sugeno'
Version=2.0
NumInputs=2
NumOutputs=1
NumRules=3
AndMethod='prod'
OrMethod='probor'
ImpMethod='prod'
AggMethod='sum'
DefuzzMethod='wtaver'

[Input1]
Name='speed'
Range=[0 100]
NumMFs=2
MF1='slow':'trimf',[-100 0 100]
MF2='fast':'gaussmf',[30 100]

[Input2]
Name='load'
Range=[0 1]
NumMFs=2
MF1='light':'trapmf',[-1 0 0.3 0.7]
MF2='heavy':'trapmf',[0.3 0.7 1 2]

[Output1]
Name='power'
Range=[0 50]
NumMFs=3
MF1='idle':'constant',[5]
MF2='cruise':'linear',[0.2 10 2]
MF3='climb':'linear',[0.4 -5 8]

[Rules]
1 1, 1 (1) : 1
2 -1, 2 (0.7) : 1
2 2, 3 (1) : 2
)";

TEST(FisSugeno, WeightedAverageAndSumMatchTheClosedForm) {
  for (const bool sum : {false, true}) {
    TFuzzyController slope = ReadController(sum ? Replaced(kSlope, "'wtaver'", "'wtsum'") : kSlope,
                                            TControllerFormat::Fis);
    for (double speed : {0.0, 20.0, 55.0, 80.0, 100.0}) {
      for (double load : {0.0, 0.4, 0.6, 1.0}) {
        const double slow = Trimf(speed, -100, 0, 100), fast = Gaussmf(speed, 30, 100);
        const double light = Trapmf(load, -1, 0, 0.3, 0.7), heavy = Trapmf(load, 0.3, 0.7, 1, 2);
        const double w[] = {slow * light, 0.7 * fast * (1 - light), fast + heavy - fast * heavy};
        const double z[] = {5, 0.2 * speed + 10 * load + 2, 0.4 * speed - 5 * load + 8};
        const double weighted = w[0] * z[0] + w[1] * z[1] + w[2] * z[2];
        const double expected = sum ? weighted : weighted / (w[0] + w[1] + w[2]);
        EXPECT_NEAR(Evaluate(slope, {speed, load}, "power"), expected, 0.0005 * 50)
            << speed << " " << load << (sum ? " wtsum" : " wtaver");
      }
    }
  }
}

// ---- Round trip ----

const std::string kShapes = R"([System]
Name='shapes'
Type='mamdani'
Version=2.0
NumInputs=2
NumOutputs=1
NumRules=5
AndMethod='prod'
OrMethod='max'
ImpMethod='min'
AggMethod='sum'
DefuzzMethod='bisector'

[Input1]
Name='a'
Range=[-1 1]
NumMFs=4
MF1='low':'zmf',[-0.8 0]
MF2='mid':'gbellmf',[0.3 2 0]
MF3='high':'smf',[0 0.8]
MF4='wide':'pimf',[-1 -0.5 0.5 1]

[Input2]
Name='b'
Range=[0 10]
NumMFs=3
MF1='rise':'sigmf',[2 4]
MF2='band':'dsigmf',[3 3 3 7]
MF3='hump':'psigmf',[2 3 -2 7]

[Output1]
Name='c'
Range=[0 1]
NumMFs=3
MF1='small':'gauss2mf',[0.1 0.2 0.15 0.3]
MF2='medium':'trapmf',[0.2 0.4 0.6 0.8]
MF3='large':'gaussmf',[0.1 0.9]

[Rules]
1 1, 1 (1) : 1
2 2, 2 (0.9) : 1
3 -3, 3 (1) : 1
4 0, 2 (0.4) : 2
0 3, 1 (1) : 1
)";

std::vector<std::string> FunctionTypes(const std::string& text) {
  std::vector<std::string> types;
  const std::regex type("':'(\\w+)'");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), type); it != std::sregex_iterator();
       ++it)
    types.push_back((*it)[1]);
  return types;
}

TEST(FisRoundTrip, WrittenTextReadsBackToTheSameOutputsAndFunctions) {
  for (const std::string& original : {kShapes, kSlope, kTipping}) {
    const testing::LiveObjectGuard guard;
    TFuzzyController first = ReadController(original, TControllerFormat::Fis);
    const std::string written = WriteController(first, TControllerFormat::Fis);
    TFuzzyController second = ReadController(written, TControllerFormat::Fis);
    EXPECT_EQ(FunctionTypes(written), FunctionTypes(original));
    EXPECT_EQ(WriteController(second, TControllerFormat::Fis), written);
    const std::string output = first.GetOutputs().front().Name;
    for (double u : {0.0, 0.13, 0.5, 0.77, 1.0}) {
      for (double v : {0.0, 0.3, 0.61, 1.0}) {
        std::vector<double> inputs;
        for (const TControllerInput& input : first.GetInputs()) {
          const TFuzzyVariable& variable = first.GetVariable(input.Name);
          const double share = inputs.empty() ? u : v;
          inputs.push_back(variable.GetMinimum() +
                           share * (variable.GetMaximum() - variable.GetMinimum()));
        }
        EXPECT_EQ(Evaluate(first, inputs, output), Evaluate(second, inputs, output)) << written;
      }
    }
  }
}

TEST(FisRead, CrLfAndSpacedEntriesReadAsTheCompactForm) {
  std::string spaced = std::regex_replace(kTipping, std::regex("="), " = ");
  spaced = std::regex_replace(spaced, std::regex(",\\["), ", [");
  spaced = std::regex_replace(spaced, std::regex("\n"), "\r\n");
  TFuzzyController compact = ReadController(kTipping, TControllerFormat::Fis);
  TFuzzyController loose = ReadController("% written by hand\n" + spaced, TControllerFormat::Fis);
  EXPECT_EQ(Evaluate(loose, {3, 6}, "tip"), Evaluate(compact, {3, 6}, "tip"));
}

// ---- What is refused ----

const std::string kTiny = R"([System]
Name='tiny'
Type='mamdani'
Version=2.0
NumInputs=1
NumOutputs=1
NumRules=1
AndMethod='min'
OrMethod='max'
ImpMethod='min'
AggMethod='max'
DefuzzMethod='centroid'

[Input1]
Name='x'
Range=[0 10]
NumMFs=2
MF1='low':'trimf',[-5 0 5]
MF2='high':'trimf',[5 10 15]

[Output1]
Name='y'
Range=[2 10]
NumMFs=1
MF1='mid':'trimf',[3 5 7]

[Rules]
1, 1 (1) : 1
)";

TEST(FisRead, AnOutputNoRuleReachesAnswersTheMiddleOfItsRange) {
  TFuzzyController tiny = ReadController(kTiny, TControllerFormat::Fis);
  EXPECT_DOUBLE_EQ(Evaluate(tiny, {0}, "y"), 5);
  EXPECT_DOUBLE_EQ(Evaluate(tiny, {7}, "y"), 6);
}

struct TBadFis {
  std::string From;
  std::string To;
  std::string Message;
  int Line;
};

class FisRefusal : public ::testing::TestWithParam<TBadFis> {};

TEST_P(FisRefusal, NamesWhatAndWhere) {
  const testing::LiveObjectGuard guard;
  const std::string text =
      GetParam().From.empty() ? GetParam().To : Replaced(kTiny, GetParam().From, GetParam().To);
  try {
    ReadController(text, TControllerFormat::Fis);
    ADD_FAILURE() << "read: " << text;
  } catch (const EFzyParseException& error) {
    EXPECT_EQ(error.what(), GetParam().Message);
    EXPECT_EQ(error.GetLine(), GetParam().Line) << error.what();
  }
}

const std::string kRule = "1, 1 (1) : 1";
INSTANTIATE_TEST_SUITE_P(
    Texts, FisRefusal,
    ::testing::Values(
        TBadFis{"", "", "Missing [System]", 1},
        TBadFis{"Type='mamdani'", "Type='mamdanitype2'", "Unsupported FIS type mamdanitype2", 3},
        TBadFis{"Version=2.0", "Version=2.0\nNumPoints=101",
                "Unsupported key NumPoints in [System]", 5},
        TBadFis{"AndMethod='min'", "AndMethod='nilpotent'", "Unsupported AndMethod nilpotent", 8},
        TBadFis{"'centroid'", "'lm'", "Unsupported DefuzzMethod lm", 12},
        TBadFis{"'centroid'", "'wtaver'", "DefuzzMethod wtaver does not suit a mamdani system", 12},
        TBadFis{"NumInputs=1", "NumInputs=2", "Missing [Input2] (NumInputs=2)", 5},
        TBadFis{"Range=[0 10]", "Range=[10 0]",
                "The range of x must be [min max] with min < max, not [10 0]", 16},
        TBadFis{"NumMFs=2", "NumMFs=1", "NumMFs=1 but [Input1] has MF2", 19},
        TBadFis{"'low':'trimf'", "'low':'mymf'",
                "Unsupported membership function mymf (term low of input x)", 18},
        TBadFis{"[-5 0 5]", "[-5 0 5",
                "Cannot read MF1='low':'trimf',[-5 0 5: a bracket is not closed", 18},
        TBadFis{"'high'", "'low'", "Term low of input x is defined twice", 19},
        TBadFis{"Name='y'", "Name='x'", "Variable x is defined twice", 22},
        TBadFis{"'mid':'trimf',[3 5 7]", "'mid':'constant',[3]",
                "Term mid of output y: a constant function belongs to a sugeno output", 25},
        TBadFis{"NumRules=1", "NumRules=2", "NumRules=2 but the file has 1 rules", 27},
        TBadFis{"[Rules]", "[Rulez]", "Expected key=value in [Rulez], not 1, 1 (1) : 1", 28},
        TBadFis{kRule, "1, -1 (1) : 1", "Unsupported negated consequent -1 in rule 1", 28},
        TBadFis{kRule, "1.2, 1 (1) : 1", "Unsupported hedge 1.2 in rule 1", 28},
        TBadFis{kRule, "3, 1 (1) : 1", "Rule 1 names term 3 of input x, which has 2", 28},
        TBadFis{kRule, "0, 1 (1) : 1", "Rule 1 tests no input", 28},
        TBadFis{kRule, "1, 1 (1.5) : 1", "The weight 1.5 of rule 1 is outside 0..1", 28},
        TBadFis{kRule, "1 1 (1) : 3",
                "Cannot read rule 1 (1 1 (1) : 3): the tests join by 1 (AND) or 2 (OR)", 28}));

TEST(FisRead, SugenoAggregationOtherThanTheSumIsRefused) {
  EXPECT_THROW_MSG(ReadController(Replaced(kSlope, "AggMethod='sum'", "AggMethod='max'"),
                                  TControllerFormat::Fis),
                   EFzyParseException, "Unsupported AggMethod max in a sugeno system");
}

// ---- Writing a controller of the definition language ----

const std::string kHeat = R"(
(deffuzzy t (range 0 20) (values (term cold ((0 1) (10 0))) (term warm ((2 0) (4 1) (6 1) (10 0)))
  (term hot ((10 0) (20 1)))))
(deffuzzy y (range 0 10) (values (term low ((0 1) (5 0))) (term high ((5 0) (10 1)))))
(defoutput y (default 5))
(defrules heat (and product) (implication scale)
  (rule r1 (if (t cold)) (then (y high)))
  (rule r2 (if not (t hot)) (then (y low)) (weight 0.5))))";

TEST(FisWrite, PointListsBecomeTrianglesAndTrapezoidsWithCornersWhereTheirEdgesLead) {
  TFuzzyController heat = TFuzzyController::FromText(kHeat);
  const std::string written = WriteController(heat, TControllerFormat::Fis);
  EXPECT_EQ(written, R"([System]
Name='heat'
Type='mamdani'
Version=2.0
NumInputs=1
NumOutputs=1
NumRules=2
AndMethod='prod'
OrMethod='max'
ImpMethod='prod'
AggMethod='max'
DefuzzMethod='centroid'

[Input1]
Name='t'
Range=[0 20]
NumMFs=3
MF1='cold':'trimf',[-20 0 10]
MF2='warm':'trapmf',[2 4 6 10]
MF3='hot':'trimf',[10 20 40]

[Output1]
Name='y'
Range=[0 10]
NumMFs=2
MF1='low':'trimf',[-10 0 5]
MF2='high':'trimf',[5 10 20]

[Rules]
1, 2 (1) : 1
-3, 1 (0.5) : 1
)");
  TFuzzyController again = ReadController(written, TControllerFormat::Fis);
  for (double t : {0.0, 3.0, 9.5, 14.0, 20.0})
    EXPECT_NEAR(Evaluate(again, {t}, "y"), Evaluate(heat, {t}, "y"), 1e-12) << t;
}

TEST(FisWrite, RefusesWhatAFisFileCannotHold) {
  const auto refusal = [](const std::string& from, const std::string& to) {
    return [text = Replaced(kHeat, from, to)] {
      WriteController(TFuzzyController::FromText(text), TControllerFormat::Fis);
    };
  };
  const std::pair<std::function<void()>, std::string> cases[] = {
      {refusal("(implication scale)", "(implication cap)"),
       "FIS cannot hold the implication cap of rule block heat"},
      {refusal("(and product)", "(and boundedsum)"),
       "FIS cannot hold the AND boundedsum of rule block heat"},
      {refusal("(and product)", "(aggregation boundedsum)"),
       "FIS cannot hold the aggregation boundedsum of rule block heat"},
      {refusal("(and product)", "(threshold 0.25)"),
       "FIS cannot hold the threshold 0.25 of rule block heat"},
      {refusal("(default 5)", "(default 4)"),
       "FIS cannot hold the default 4 of output y (a FIS output answers 5, the middle of its "
       "range, when no rule fires)"},
      {refusal("(t cold)", "(t very cold)"),
       "FIS cannot hold rule r1: it puts the hedge very on t"},
      {refusal("(t cold)", "(t cold) or (t warm)"), "FIS cannot hold rule r1: it names t twice"},
      {refusal("(defoutput", "(definput t (spread 1)) (defoutput"),
       "FIS cannot hold the spread of input t"},
      {refusal("(term hot", "(term bumpy ((0 0) (5 1) (6 0.5) (10 1))) (term hot"),
       "FIS cannot hold term bumpy of t: a list of 4 points"},
  };
  for (const auto& [write, message] : cases)
    EXPECT_THROW_MSG(write(), EFzyException, message);
}

}  // namespace
}  // namespace tapwise
