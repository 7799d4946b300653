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

// ---- fuzzylite's membership functions written out from their definitions, and a
// ---- midpoint-rule integration of the aggregate: nothing here goes through the library.

double Gaussian(double x, double mean, double sd) {
  return std::exp(-(x - mean) * (x - mean) / (2 * sd * sd));
}
double Bell(double x, double center, double width, double slope) {
  return 1 / (1 + std::pow(std::fabs((x - center) / width), 2 * slope));
}
double Trapezoid(double x, double a, double b, double c, double d) {
  const double rise = b > a ? (x - a) / (b - a) : (x >= a ? 1 : 0);
  const double fall = d > c ? (d - x) / (d - c) : (x <= d ? 1 : 0);
  return std::clamp(std::min(rise, fall), 0.0, 1.0);
}
double Triangle(double x, double a, double b, double c) {
  return Trapezoid(x, a, b, b, c);
}
double Sigmoid(double x, double inflection, double slope) {
  return 1 / (1 + std::exp(-slope * (x - inflection)));
}
double SShape(double x, double start, double end) {
  if (x <= start) return 0;
  if (x >= end) return 1;
  const double u = (x - start) / (end - start);
  return u <= 0.5 ? 2 * u * u : 1 - 2 * (1 - u) * (1 - u);
}

// The centre of gravity (or the bisector) of `mu` over min..max.
double Defuzzified(const std::function<double(double)>& mu, double min, double max,
                   bool bisector = false) {
  constexpr int kSteps = 40000;
  const double h = (max - min) / kSteps;
  std::vector<double> degrees(kSteps);
  double area = 0;
  double moment = 0;
  for (int i = 0; i < kSteps; ++i) {
    const double x = min + (i + 0.5) * h;
    degrees[static_cast<size_t>(i)] = mu(x);
    area += degrees[static_cast<size_t>(i)];
    moment += x * degrees[static_cast<size_t>(i)];
  }
  if (!bisector) return moment / area;
  double below = 0;
  for (int i = 0; i < kSteps; ++i) {
    below += degrees[static_cast<size_t>(i)];
    if (below >= area / 2) return min + (i + 1) * h;
  }
  return max;
}

double Output(TFuzzyController& controller, const std::vector<std::pair<std::string, double>>& in,
              const std::string& out) {
  for (const auto& [name, value] : in)
    controller.SetInput(name, value);
  controller.Process();
  return controller.GetOutput(out);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// ---- Mamdani: a tipping controller over smooth and linear terms.

const std::string kTipper = R"(Engine: tipper
description: service and food to a tip # comments run to the end of the line
InputVariable: service
  enabled: true
  range: 0.000 10.000
  lock-range: false
  term: poor Gaussian 0.000 1.500
  term: good Gaussian 5.000 1.500
  term: excellent Gaussian 10.000 1.500
InputVariable: food
  range: 0 10
  term: rancid Trapezoid 0 0 1 3
  term: delicious Trapezoid 7 9 10 10
OutputVariable: tip
  enabled: true
  range: 0 30
  lock-range: true
  aggregation: AGGREGATION
  defuzzifier: DEFUZZIFIER 200
  default: nan
  lock-previous: false
  term: cheap Triangle 0 5 10
  term: average Bell 15 4 3
  term: generous Triangle 20 25 30
RuleBlock: mamdani
  enabled: true
  conjunction: Minimum
  disjunction: Maximum
  implication: IMPLICATION
  activation: General
  rule: if service is poor or food is rancid then tip is cheap
  rule: if service is good then tip is average
  rule: if service is excellent or food is delicious then tip is generous with 0.8
)";

struct TMamdaniCase {
  const char* Implication;
  const char* Aggregation;
  const char* Defuzzifier;
};

class FllMamdani : public ::testing::TestWithParam<TMamdaniCase> {};

TEST_P(FllMamdani, MatchesTheTextbookComputationWithinAThousandthOfTheRange) {
  const TMamdaniCase& c = GetParam();
  std::string text = Replaced(kTipper, "IMPLICATION", c.Implication);
  text = Replaced(text, "AGGREGATION", c.Aggregation);
  text = Replaced(text, "DEFUZZIFIER", c.Defuzzifier);
  TFuzzyController controller = ReadController(text, TControllerFormat::Fll);
  const bool scale = std::string(c.Implication) == "AlgebraicProduct";
  const std::string aggregation = c.Aggregation;
  for (const auto& [service, food] :
       {std::pair{3.0, 8.0}, {0.5, 5.0}, {7.5, 2.0}, {2.0, 9.0}, {8.5, 9.0}}) {
    const double rules[3] = {
        std::max(Gaussian(service, 0, 1.5), Trapezoid(food, 0, 0, 1, 3)), Gaussian(service, 5, 1.5),
        0.8 * std::max(Gaussian(service, 10, 1.5), Trapezoid(food, 7, 9, 10, 10))};
    const auto mu = [&](double x) {
      const double terms[3] = {Triangle(x, 0, 5, 10), Bell(x, 15, 4, 3), Triangle(x, 20, 25, 30)};
      double result = 0;
      for (int i = 0; i < 3; ++i) {
        const double implied = scale ? rules[i] * terms[i] : std::min(rules[i], terms[i]);
        if (aggregation == "Maximum") result = std::max(result, implied);
        if (aggregation == "AlgebraicSum") result = result + implied - result * implied;
        if (aggregation == "BoundedSum") result = std::min(1.0, result + implied);
        if (aggregation == "UnboundedSum") result += implied;
      }
      return result;
    };
    const double expected = Defuzzified(mu, 0, 30, std::string(c.Defuzzifier) == "Bisector");
    EXPECT_NEAR(Output(controller, {{"service", service}, {"food", food}}, "tip"), expected,
                0.001 * 30)
        << service << " " << food;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, FllMamdani,
    ::testing::Values(TMamdaniCase{"Minimum", "Maximum", "Centroid"},
                      TMamdaniCase{"AlgebraicProduct", "AlgebraicSum", "Bisector"},
                      TMamdaniCase{"Minimum", "BoundedSum", "Centroid"},
                      TMamdaniCase{"AlgebraicProduct", "UnboundedSum", "Centroid"}));

// ---- Takagi-Sugeno: constants and linear terms, each rule counted on its own.

const std::string kSugeno = R"(Engine: sugeno
InputVariable: x
  range: -5 5
  term: low Ramp 5 -5
  term: high Ramp -5 5
InputVariable: y
  range: 0 4
  term: small Triangle 0 0 4
  term: big SShape 0 4
OutputVariable: z
  range: -50 50
  aggregation: Maximum
  defuzzifier: DEFUZZIFIER TakagiSugeno
  default: nan
  term: flat Constant 2
  term: rising Linear 3 -1 0.5
  term: partial Linear 2
RuleBlock: tsk
  conjunction: AlgebraicProduct
  disjunction: AlgebraicSum
  implication: Minimum
  activation: General
  rule: if x is low and y is small then z is flat
  rule: if x is high or y is big then z is rising with 0.5
  rule: if x is high and y is small then z is flat
  rule: if (x is low) then z is partial
)";

TEST(FllSugeno, CountsEveryRuleOnItsOwnAsFuzzyliteDoes) {
  for (const bool average : {true, false}) {
    TFuzzyController controller = ReadController(
        Replaced(kSugeno, "DEFUZZIFIER", average ? "WeightedAverage" : "WeightedSum"),
        TControllerFormat::Fll);
    for (const auto& [x, y] : {std::pair{-2.0, 1.0}, {3.0, 3.5}, {0.5, 0.2}, {-4.5, 2.0}}) {
      const double low = (5 - x) / 10;
      const double high = (x + 5) / 10;
      const double small = 1 - y / 4;
      const double big = SShape(y, 0, 4);
      // Rules 1 and 3 conclude the same constant: fuzzylite weighs them apart, whatever the
      // output's aggregation says.
      const double weights[4] = {low * small, 0.5 * (high + big - high * big), high * small, low};
      const double values[4] = {2, 3 * x - y + 0.5, 2, 2 * x};
      double sum = 0;
      double weight = 0;
      for (int i = 0; i < 4; ++i) {
        sum += weights[i] * values[i];
        weight += weights[i];
      }
      EXPECT_NEAR(Output(controller, {{"x", x}, {"y", y}}, "z"), average ? sum / weight : sum,
                  0.0005 * 100)
          << x << " " << y;
    }
  }
}

// ---- Hedges and NOT, on terms fine enough that the hedged point lists follow the curves.

const std::string kFan = R"(Engine: fan
InputVariable: temp
  range: 0 40
  term: cold Gaussian 5 6
  term: warm Gaussian 20 6
  term: hot Gaussian 35 6
InputVariable: humid
  range: 0 100
  term: dry Sigmoid 40 -0.2
  term: damp Bell 70 20 2
OutputVariable: fan
  range: 0 100
  defuzzifier: WeightedAverage
  default: 50
  term: off Constant 0
  term: low Constant 30
  term: high Constant 100
RuleBlock: hedged
  conjunction: Minimum
  disjunction: Maximum
  rule: if temp is very cold then fan is off
  rule: if temp is somewhat warm and humid is not dry then fan is low
  rule: if temp is extremely hot or humid is very damp then fan is high
  rule: if temp is not very warm and humid is not damp then fan is low with 0.3
)";

TEST(FllHedges, MapOntoTheLibrarysHedgesOfTheSameFormula) {
  TFuzzyController controller = ReadController(kFan, TControllerFormat::Fll);
  const auto extremely = [](double y) { return y <= 0.5 ? 2 * y * y : 1 - 2 * (1 - y) * (1 - y); };
  for (const auto& [t, h] : {std::pair{8.0, 30.0}, {18.0, 55.0}, {31.0, 80.0}, {25.0, 45.0}}) {
    const double cold = Gaussian(t, 5, 6);
    const double warm = Gaussian(t, 20, 6);
    const double hot = Gaussian(t, 35, 6);
    const double dry = Sigmoid(h, 40, -0.2);
    const double damp = Bell(h, 70, 20, 2);
    const double weights[4] = {cold * cold, std::min(std::sqrt(warm), 1 - dry),
                               std::max(extremely(hot), damp * damp),
                               0.3 * std::min(1 - warm * warm, 1 - damp)};
    const double values[4] = {0, 30, 100, 30};
    double sum = 0;
    double weight = 0;
    for (int i = 0; i < 4; ++i) {
      sum += weights[i] * values[i];
      weight += weights[i];
    }
    EXPECT_NEAR(Output(controller, {{"temp", t}, {"humid", h}}, "fan"), sum / weight, 0.0005 * 100)
        << t << " " << h;
  }
}

// ---- How fuzzylite runs a file, matched.

TEST(FllReading, FollowsFuzzylitesRulesOfEvaluation) {
  const std::string two_inputs = R"(InputVariable: a
  range: 0 10
  term: lo Ramp 10 0
  term: hi Ramp 0 10
InputVariable: b
  range: 0 10
  term: hi Ramp 0 10
OutputVariable: z
  range: 0 10
  defuzzifier: WeightedSum
  default: 7
  term: one Constant 1
RuleBlock:
  enabled: ENABLED
  conjunction: Minimum
  disjunction: Maximum
  activation: ACTIVATION
  rule: if a is hi or a is lo and b is hi then z is one
)";
  std::string text = Replaced(two_inputs, "ENABLED", "true");
  TFuzzyController controller =
      ReadController(Replaced(text, "ACTIVATION", "General"), TControllerFormat::Fll);
  // "and" binds closer than "or": max(0.3, min(0.7, 0.9)), not min(max(0.3, 0.7), 0.9).
  EXPECT_NEAR(Output(controller, {{"a", 3}, {"b", 9}}, "z"), 0.7, 1e-12);
  // Beyond the range a value is read at the bound (fuzzylite's lock-range).
  EXPECT_NEAR(Output(controller, {{"a", 14}, {"b", 9}}, "z"), 1, 1e-12);
  // Threshold >= 0.75 keeps the rule of strength 0.7 from firing: the default stands.
  controller =
      ReadController(Replaced(text, "ACTIVATION", "Threshold >= 0.750"), TControllerFormat::Fll);
  EXPECT_NEAR(Output(controller, {{"a", 3}, {"b", 9}}, "z"), 7, 1e-12);
  EXPECT_NEAR(Output(controller, {{"a", 8}, {"b", 9}}, "z"), 0.8, 1e-12);
  // A disabled block is left out of every run; the output keeps its default.
  text = Replaced(two_inputs, "ENABLED", "false");
  controller = ReadController(Replaced(text, "ACTIVATION", "General"), TControllerFormat::Fll);
  EXPECT_NEAR(Output(controller, {{"a", 3}, {"b", 9}}, "z"), 7, 1e-12);
  // A locked range holds the default as well.
  text = Replaced(text, "default: 7", "lock-range: true\n  defuzzifier: Centroid\n  default: 17");
  text = Replaced(text, "one Constant 1", "one Triangle 0 1 2\n  aggregation: Maximum");
  controller = ReadController(Replaced(text, "ACTIVATION", "General"), TControllerFormat::Fll);
  EXPECT_EQ(Output(controller, {{"a", 3}, {"b", 9}}, "z"), 10);
  // The controller's own text gives the same outputs.
  TFuzzyController read = ReadController(kFan, TControllerFormat::Fll);
  TFuzzyController written = TFuzzyController::FromText(read.ToText());
  EXPECT_EQ(written.GetRuleBlocks(), read.GetRuleBlocks());
  EXPECT_EQ(written.GetOutputs(), read.GetOutputs());
  EXPECT_EQ(Output(written, {{"temp", 12}, {"humid", 60}}, "fan"),
            Output(read, {{"temp", 12}, {"humid", 60}}, "fan"));
}

// ---- Writing: what fuzzylite reads, and what reads back to the same outputs.

// Every output on an 11-point grid over each input's range (at most two inputs).
std::vector<double> OutputsOnAGrid(TFuzzyController& controller) {
  const std::vector<TControllerInput>& inputs = controller.GetInputs();
  std::vector<double> outputs;
  for (int u = 0; u <= 10; ++u) {
    for (int v = 0; v <= (inputs.size() > 1 ? 10 : 0); ++v) {
      for (size_t i = 0; i < inputs.size(); ++i) {
        const TFuzzyVariable& variable = controller.GetVariable(inputs[i].Name);
        const double share = (i == 0 ? u : v) / 10.0;
        controller.SetInput(
            inputs[i].Name,
            variable.GetMinimum() + share * (variable.GetMaximum() - variable.GetMinimum()));
      }
      controller.Process();
      for (const TControllerOutput& output : controller.GetOutputs())
        outputs.push_back(controller.FindOutput(output.Name).value_or(NAN));
    }
  }
  return outputs;
}

TEST(FllWriting, ReadsBackToTheSameOutputsAndTheSameText) {
  // A hedge densifies a coarse term before it applies, so the hedged terms span the range,
  // as the terms read from FLL do.
  const std::string hedged = R"((deffuzzy x (range 0 10) (values (term lo ((0 1) (10 0)))
  (term mid ((0 0) (2 0) (5 1) (8 0) (10 0))) (term odd ((0 0) (2 1) (4 0.5) (10 0)))))
(deffuzzy y (range -1 1) (values (term a ((-1 1) (1 0))) (term b ((-1 0) (1 1)))))
(definput x)
(defoutput y (default 0.25))
(defrules r (or product) (implication scale) (aggregation sum) (defuzzification bisector)
  (threshold 0.125)
  (rule one (if not (x very mid) and not (x lo)) (then (y a)) (weight 0.5))
  (rule two (if (x odd) or ((x lo) and (x moreorless mid))) (then (y b))))
)";
  const std::vector<TFuzzyController> sources = [&] {
    std::vector<TFuzzyController> list;
    list.push_back(TFuzzyController::FromFile(TAPWISE_EXAMPLES_DIR "/tipping.fzl"));
    list.push_back(TFuzzyController::FromText(hedged));
    list.push_back(ReadController(
        Replaced(Replaced(Replaced(kTipper, "IMPLICATION", "Minimum"), "AGGREGATION", "Maximum"),
                 "DEFUZZIFIER", "Centroid"),
        TControllerFormat::Fll));
    list.push_back(
        ReadController(Replaced(kSugeno, "DEFUZZIFIER", "WeightedSum"), TControllerFormat::Fll));
    list.push_back(ReadController(kFan, TControllerFormat::Fll));
    return list;
  }();
  for (const TFuzzyController& source : sources) {
    TFuzzyController original = TFuzzyController::FromText(source.ToText());
    const std::string written = WriteController(original, TControllerFormat::Fll);
    TFuzzyController back = ReadController(written, TControllerFormat::Fll);
    const std::vector<double> expected = OutputsOnAGrid(original);
    const std::vector<double> got = OutputsOnAGrid(back);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i)
      EXPECT_NEAR(got[i], expected[i], 1e-9) << i << "\n" << written;
    EXPECT_EQ(WriteController(back, TControllerFormat::Fll), written);
  }
}

TEST(FllWriting, WritesTermsByShapeTriangleTrapezoidOrPoints) {
  TFuzzyController controller = TFuzzyController::FromText(R"((deffuzzy x (range 0 10)
  (values (term lo ((0 1) (4 0))) (term mid ((2 0) (4 1) (6 1) (8 0)))
    (term odd ((0 0) (2 1) (4 0.5)))))
(deffuzzy y (range 0 1) (values (term up ((0 0) (1 1)))))
(defrules r (rule one (if (x lo) or not (x odd)) (then (y up)))
  (rule two (if (x mid)) (then (y up)) (weight 0.75)))
)");
  controller.AddVariable("g", -1, 1);
  controller.AddTerm("g", "bell", TMembershipShape{TShapeKind::Bell, {0.5, 2, 0.25}});
  controller.AddInput({"g", 0});
  EXPECT_EQ(WriteController(controller, TControllerFormat::Fll), R"(Engine: controller
InputVariable: x
  enabled: true
  range: 0 10
  lock-range: true
  term: lo Triangle -10 0 4
  term: mid Trapezoid 2 4 6 8
  term: odd Discrete 0 0 2 1 4 0.5
InputVariable: g
  enabled: true
  range: -1 1
  lock-range: true
  term: bell Bell 0.25 0.5 2
OutputVariable: y
  enabled: true
  range: 0 1
  lock-range: false
  aggregation: Maximum
  defuzzifier: Centroid 100
  default: nan
  lock-previous: false
  term: up Triangle 0 1 2
RuleBlock: r
  enabled: true
  conjunction: Minimum
  disjunction: Maximum
  implication: Minimum
  activation: General
  rule: if x is lo or x is not odd then y is up
  rule: if x is mid then y is up with 0.75
)");
}

TEST(FllWriting, RefusesWhatFllCannotHold) {
  const std::string base = R"((deffuzzy x (range 0 10) (values (term lo ((0 1) (10 0)))))
(deffuzzy y (range 0 10) (values (term hi ((0 0) (10 1)))))
(definput x)
(defrules r (implication clip) (rule one (if (x lo)) (then (y hi)))))";
  const auto refused = [&](const std::string& from, const std::string& to) {
    return [text = Replaced(base, from, to)] {
      WriteController(TFuzzyController::FromText(text), TControllerFormat::Fll);
    };
  };
  EXPECT_THROW_MSG(refused("(definput x)", "(definput x (spread 0.5))")(), EFzyException,
                   "FLL cannot hold input x: a spread of 0.5");
  EXPECT_THROW_MSG(refused("(implication clip)", "(implication cap)")(), EFzyException,
                   "FLL cannot hold rule block r: the cap implication");
  EXPECT_THROW_MSG(refused("(implication clip)", "(and mean)")(), EFzyException,
                   "FLL cannot hold rule block r: AND of the mean family");
  EXPECT_THROW_MSG(refused("(if (x lo))", "(if not ((x lo) or (x lo)))")(), EFzyException,
                   "FLL cannot hold the negation of a group in rule one");
  EXPECT_THROW_MSG(refused("(if (x lo))", "(if (x slightly lo))")(), EFzyException,
                   "FLL cannot hold the hedge slightly of rule one");
  EXPECT_THROW_MSG(refused("(then (y hi))", "(then (y very hi))")(), EFzyException,
                   "FLL cannot hold the hedge very on output y in rule one");
  EXPECT_THROW_MSG(refused("(defrules r", "(defrules any")(), EFzyException,
                   "FLL cannot hold the name \"any\" of a rule block");
  EXPECT_THROW_MSG(
      refused("(defrules r (implication clip) (rule one (if (x lo)) (then (y hi))))",
              "(defoutput s (sugeno) (term k (constant 1)))\n(defrules r (defuzzification "
              "weightedaverage) (termaggregation maximum) (rule one (if (x lo)) (then (s k))))")(),
      EFzyException, "FLL cannot hold output s: the term aggregation of rule block r");
}

// ---- Every refusal, with its line.

const std::string kBase = R"(Engine: base
InputVariable: a
  range: 0 10
  term: lo Triangle 0 0 10
  term: hi Triangle 0 10 10
OutputVariable: z
  range: 0 10
  aggregation: Maximum
  defuzzifier: Centroid 100
  default: nan
  lock-previous: false
  term: low Triangle 0 2 4
  term: high Triangle 4 8 10
OutputVariable: s
  range: 0 10
  defuzzifier: WeightedAverage TakagiSugeno
  term: k Constant 1
RuleBlock: rb
  conjunction: Minimum
  disjunction: Maximum
  implication: Minimum
  activation: General
  rule: if a is lo then z is low
  rule: if a is hi then s is k
)";

struct TRefusal {
  const char* From;
  const char* To;
  const char* Message;
  int Line;
};

class FllRefusal : public ::testing::TestWithParam<TRefusal> {};

TEST_P(FllRefusal, NamesWhatAndWhere) {
  const TRefusal& refusal = GetParam();
  const std::string text = Replaced(kBase, refusal.From, refusal.To);
  EXPECT_THROW_MSG(ReadController(text, TControllerFormat::Fll), EFzyParseException,
                   refusal.Message);
  try {
    ReadController(text, TControllerFormat::Fll);
  } catch (const EFzyParseException& error) {
    EXPECT_EQ(error.GetLine(), refusal.Line) << refusal.Message;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Features, FllRefusal,
    ::testing::Values(
        TRefusal{"hi Triangle 0 10 10", "hi Spike 5 2", "Unsupported term Spike (hi of a)", 5},
        TRefusal{"hi Triangle 0 10 10", "hi Triangle 0 10 10 0.5",
                 "Unsupported height 0.5 (hi of a)", 5},
        TRefusal{"k Constant 1", "k Function a + 1", "Unsupported term Function (k of s)", 17},
        TRefusal{"low Triangle 0 2 4", "low Constant 2", "Unsupported term Constant (low of z)",
                 12},
        TRefusal{"  range: 0 10\n  term: lo", "  enabled: false\n  range: 0 10\n  term: lo",
                 "Unsupported disabled input variable a", 3},
        TRefusal{"  term: k", "  enabled: false\n  term: k",
                 "Unsupported disabled output variable s", 17},
        TRefusal{"lock-previous: false", "lock-previous: true",
                 "Unsupported lock-previous of output z", 11},
        TRefusal{"  term: k", "  lock-range: true\n  term: k",
                 "Unsupported lock-range of the Takagi-Sugeno output s", 17},
        TRefusal{"range: 0 10", "range: -inf inf", "Unsupported range -inf inf of a", 3},
        TRefusal{"Centroid 100", "MeanOfMaximumX", "Unsupported defuzzifier MeanOfMaximumX", 9},
        TRefusal{"TakagiSugeno", "Tsukamoto", "Unsupported defuzzifier WeightedAverage Tsukamoto",
                 16},
        TRefusal{"aggregation: Maximum", "aggregation: EinsteinSum",
                 "Unsupported aggregation EinsteinSum", 8},
        TRefusal{"conjunction: Minimum", "conjunction: HamacherProduct",
                 "Unsupported conjunction HamacherProduct", 19},
        TRefusal{"disjunction: Maximum", "disjunction: DrasticSum",
                 "Unsupported disjunction DrasticSum", 20},
        TRefusal{"implication: Minimum", "implication: BoundedDifference",
                 "Unsupported implication BoundedDifference", 21},
        TRefusal{"activation: General", "activation: Highest 2", "Unsupported activation Highest 2",
                 22},
        TRefusal{"activation: General", "activation: Threshold < 0.5",
                 "Unsupported activation Threshold < 0.5", 22},
        TRefusal{"a is lo then", "a is seldom lo then",
                 "Unsupported hedge seldom in rule \"if a is seldom lo then z is low\"", 23},
        TRefusal{"then s is k", "then s is very k",
                 "Unsupported hedge on the output s in rule \"if a is hi then s is "
                 "very k\"",
                 24},
        TRefusal{"then z is low", "then z is low with 2",
                 "Unsupported weight 2 of rule \"if a is lo then z is low with 2\"", 23},
        TRefusal{"then s is k", "then z is high and s is k",
                 "Unsupported mix of defuzzifiers in rule block rb: Centroid 100 for z, "
                 "WeightedAverage TakagiSugeno for s",
                 24},
        TRefusal{"  rule: if a is hi then s is k",
                 "RuleBlock: second\n  implication: Minimum\n  rule: if a is hi then z is high",
                 "Unsupported output z of two rule blocks, rb and second", 26},
        TRefusal{"aggregation: Maximum", "aggregation: none", "Output z has no aggregation", 23},
        TRefusal{"implication: Minimum", "implication: none",
                 "Rule block rb has no implication for the output z", 23},
        TRefusal{"conjunction: Minimum\n  disjunction: Maximum\n  implication: Minimum\n"
                 "  activation: General\n  rule: if a is lo then",
                 "conjunction: none\n  disjunction: Maximum\n  implication: Minimum\n"
                 "  activation: General\n  rule: if a is lo and a is hi then",
                 "Rule block rb has no conjunction for rule \"if a is lo and a is hi then z is "
                 "low\"",
                 23},
        TRefusal{"if a is lo then", "if a is lo or b is lo then",
                 "Unknown input variable b in rule \"if a is lo or b is lo then z is low\"", 23},
        TRefusal{"then z is low", "then z is middle",
                 "Unknown term middle of z in rule \"if a is lo then z is middle\"", 23},
        TRefusal{"then z is low", "then a is low",
                 "Unknown output variable a in rule \"if a is lo then a is low\"", 23},
        TRefusal{"if a is lo then", "if a is lo and then",
                 "Expected a variable in rule \"if a is lo and then z is low\", found \"then\"",
                 23},
        TRefusal{"then z is low", "then z is low with",
                 "Expected a weight after \"with\" in rule \"if a is lo then z is low with\", "
                 "found the end",
                 23},
        TRefusal{"if a is lo then", "if (a is lo then",
                 "Expected \")\" in rule \"if (a is lo then z is low\", found \"then\"", 23},
        TRefusal{"  term: hi", "  bogus: 1\n  term: hi", "Unknown key bogus of input variable a",
                 5},
        TRefusal{"Engine: base", "Engine: base\nInputVariable a",
                 "Expected \"key: value\", found \"InputVariable a\"", 2},
        TRefusal{"Engine: base", "range: 0 1", "Unknown section range", 1},
        TRefusal{"OutputVariable: s", "OutputVariable: a", "Variable a is defined twice", 14},
        TRefusal{"range: 0 10\n  term: lo", "term: lo", "The input variable a has no range", 2},
        TRefusal{"range: 0 10", "range: 0 ten",
                 "Expected two numbers for the range of a, found \"0 ten\"", 3},
        TRefusal{"hi Triangle 0 10 10", "hi Triangle 0 10",
                 "Term hi of a: Triangle takes 3 parameters, not 2", 5},
        TRefusal{"k Constant 1", "k Linear 1 2 3",
                 "Term k of s: Linear takes at most 2 parameters (one per input and a "
                 "constant), not 3",
                 17}));

}  // namespace
}  // namespace tapwise
