#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "tapwise/formats/ControllerFormats.h"

namespace tapwise {
namespace {

// A water-tank level controller of the textbook kind, written here once in each exchange
// format: the level error (-1..1) and its rate of change (-0.1..0.1) with Gaussian terms,
// the valve (-1..1) with five triangles, five rules, min/max, clip, centroid.

constexpr char kTankFis[] = R"([System]
Name='tank'
Type='mamdani'
Version=2.0
NumInputs=2
NumOutputs=1
NumRules=5
AndMethod='min'
OrMethod='max'
ImpMethod='min'
AggMethod='max'
DefuzzMethod='centroid'

[Input1]
Name='level'
Range=[-1 1]
NumMFs=3
MF1='high':'gaussmf',[0.3 -1]
MF2='okay':'gaussmf',[0.3 0]
MF3='low':'gaussmf',[0.3 1]

[Input2]
Name='rate'
Range=[-0.1 0.1]
NumMFs=3
MF1='negative':'gaussmf',[0.03 -0.1]
MF2='none':'gaussmf',[0.03 0]
MF3='positive':'gaussmf',[0.03 0.1]

[Output1]
Name='valve'
Range=[-1 1]
NumMFs=5
MF1='close_fast':'trimf',[-1 -0.9 -0.8]
MF2='close_slow':'trimf',[-0.6 -0.5 -0.4]
MF3='no_change':'trimf',[-0.1 0 0.1]
MF4='open_slow':'trimf',[0.2 0.3 0.4]
MF5='open_fast':'trimf',[0.8 0.9 1]

[Rules]
2 0, 3 (1) : 1
3 0, 5 (1) : 1
1 0, 1 (1) : 1
2 3, 2 (1) : 1
2 1, 4 (1) : 1
)";

constexpr char kTankFcl[] = R"(FUNCTION_BLOCK tank
VAR_INPUT
  level : REAL;
  rate : REAL;
END_VAR
VAR_OUTPUT
  valve : REAL;
END_VAR
FUZZIFY level
  RANGE := (-1 .. 1);
  TERM high := Gaussian -1 0.3;
  TERM okay := Gaussian 0 0.3;
  TERM low := Gaussian 1 0.3;
END_FUZZIFY
FUZZIFY rate
  RANGE := (-0.1 .. 0.1);
  TERM negative := Gaussian -0.1 0.03;
  TERM none := Gaussian 0 0.03;
  TERM positive := Gaussian 0.1 0.03;
END_FUZZIFY
DEFUZZIFY valve
  RANGE := (-1 .. 1);
  TERM close_fast := (-1, 0) (-0.9, 1) (-0.8, 0);
  TERM close_slow := (-0.6, 0) (-0.5, 1) (-0.4, 0);
  TERM no_change := (-0.1, 0) (0, 1) (0.1, 0);
  TERM open_slow := (0.2, 0) (0.3, 1) (0.4, 0);
  TERM open_fast := (0.8, 0) (0.9, 1) (1, 0);
  METHOD : COG;
END_DEFUZZIFY
RULEBLOCK rules
  AND : MIN;
  ACT : MIN;
  ACCU : MAX;
  RULE 1 : IF level IS okay THEN valve IS no_change;
  RULE 2 : IF level IS low THEN valve IS open_fast;
  RULE 3 : IF level IS high THEN valve IS close_fast;
  RULE 4 : IF level IS okay AND rate IS positive THEN valve IS close_slow;
  RULE 5 : IF level IS okay AND rate IS negative THEN valve IS open_slow;
END_RULEBLOCK
END_FUNCTION_BLOCK
)";

constexpr char kTankFll[] = R"(Engine: tank
InputVariable: level
  range: -1 1
  term: high Gaussian -1 0.3
  term: okay Gaussian 0 0.3
  term: low Gaussian 1 0.3
InputVariable: rate
  range: -0.1 0.1
  term: negative Gaussian -0.1 0.03
  term: none Gaussian 0 0.03
  term: positive Gaussian 0.1 0.03
OutputVariable: valve
  range: -1 1
  aggregation: Maximum
  defuzzifier: Centroid 100
  default: nan
  term: close_fast Triangle -1 -0.9 -0.8
  term: close_slow Triangle -0.6 -0.5 -0.4
  term: no_change Triangle -0.1 0 0.1
  term: open_slow Triangle 0.2 0.3 0.4
  term: open_fast Triangle 0.8 0.9 1
RuleBlock: rules
  conjunction: Minimum
  disjunction: Maximum
  implication: Minimum
  rule: if level is okay then valve is no_change
  rule: if level is low then valve is open_fast
  rule: if level is high then valve is close_fast
  rule: if level is okay and rate is positive then valve is close_slow
  rule: if level is okay and rate is negative then valve is open_slow
)";

double Gauss(double x, double sigma, double c) {
  return std::exp(-(x - c) * (x - c) / (2 * sigma * sigma));
}
double Tri(double x, double a, double b, double c) {
  return std::max(0.0, std::min((x - a) / (b - a), (c - x) / (c - b)));
}

// The same controller from its definition: rule strengths by min, consequents clipped,
// aggregated by max, the centroid by the midpoint rule on 200,000 steps.
double TankValve(double level, double rate) {
  const double okay = Gauss(level, 0.3, 0);
  const double strengths[] = {okay, Gauss(level, 0.3, 1), Gauss(level, 0.3, -1),
                              std::min(okay, Gauss(rate, 0.03, 0.1)),
                              std::min(okay, Gauss(rate, 0.03, -0.1))};
  const double peaks[] = {0, 0.9, -0.9, -0.5, 0.3};
  constexpr int kSteps = 200000;
  double area = 0;
  double moment = 0;
  for (int i = 0; i < kSteps; ++i) {
    const double x = -1 + (i + 0.5) * 2.0 / kSteps;
    double mu = 0;
    for (int r = 0; r < 5; ++r)
      mu = std::max(mu, std::min(strengths[r], Tri(x, peaks[r] - 0.1, peaks[r], peaks[r] + 0.1)));
    area += mu;
    moment += mu * x;
  }
  return moment / area;
}

TEST(TankExample, EveryFormatAnswersAsTheDefinitionWithinATenthOfAPercent) {
  const std::pair<const char*, TControllerFormat> sources[] = {{kTankFcl, TControllerFormat::Fcl},
                                                               {kTankFll, TControllerFormat::Fll},
                                                               {kTankFis, TControllerFormat::Fis}};
  for (const auto& [text, format] : sources) {
    TFuzzyController tank = ReadController(text, format);
    for (double level = -1; level <= 1.0001; level += 0.25) {
      for (double rate = -0.1; rate <= 0.1001; rate += 0.05) {
        tank.SetInput("level", level);
        tank.SetInput("rate", rate);
        tank.Process();
        // 0.1 % of the valve's range of 2.
        EXPECT_NEAR(tank.GetOutput("valve"), TankValve(level, rate), 0.002)
            << FormatName(format) << " at " << level << ", " << rate;
      }
    }
  }
}

}  // namespace
}  // namespace tapwise
