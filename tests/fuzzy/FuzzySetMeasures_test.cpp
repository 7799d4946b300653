#include <gtest/gtest.h>

#include <string>

#include "FuzzySetTestSets.h"
#include "FuzzySetTestVariable.h"
#include "support/ExpectThrow.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzySet.h"

namespace tapwise {
namespace {

using testing::SetPoints;
using testing::TestVariable;

struct Universe0To60 : ::testing::Test {
  TestVariable variable{0, 60};
  TFuzzySet& set = variable.AddTerm("term");
};

TEST_F(Universe0To60, CentreOfGravityAndMeanOfMaxima) {
  SetPoints(set, {{10, 0}, {30, 1}, {50, 0}});
  EXPECT_DOUBLE_EQ(set.CenterOfGravity(), 30);
  EXPECT_DOUBLE_EQ(set.MeanOfMaxima(), 30);
  // Flat at 0.5 over the whole universe, tails included.
  SetPoints(set, {{20, 0.5}, {40, 0.5}});
  EXPECT_DOUBLE_EQ(set.CenterOfGravity(), 30);
  EXPECT_DOUBLE_EQ(set.MeanOfMaxima(), 30);
  SetPoints(set, {{0, 0}, {10, 1}, {20, 1}, {30, 0}});
  EXPECT_DOUBLE_EQ(set.CenterOfGravity(), 15);
  EXPECT_DOUBLE_EQ(set.MeanOfMaxima(), 15);
  // A single point has no width: the middle of the universe.
  SetPoints(set, {{7, 1}});
  EXPECT_DOUBLE_EQ(set.CenterOfGravity(), 30);
  EXPECT_DOUBLE_EQ(set.MeanOfMaxima(), 7);
  SetPoints(set, {{0, 0}, {9, 0}});
  EXPECT_EQ(set.CenterOfGravity(), 0);
  set.Clear();
  EXPECT_EQ(set.CenterOfGravity(), 0);
  EXPECT_EQ(set.MeanOfMaxima(), 0);
}

// The centroid by brute force: midpoint sums of the membership over the universe.
TFzyFloat SampledCentroid(const TFuzzySet& set, TFzyFloat min, TFzyFloat max) {
  constexpr int kSteps = 60000;
  const TFzyFloat step = (max - min) / kSteps;
  TFzyFloat area = 0;
  TFzyFloat moment = 0;
  for (int k = 0; k < kSteps; ++k) {
    const TFzyFloat x = min + (k + 0.5) * step;
    const TFzyFloat y = set.GetMembership(x);
    area += y;
    moment += x * y;
  }
  return moment / area;
}

TEST_F(Universe0To60, TheRightTailOfAGrowthCurveCountsAndTheResultIsExact) {
  set.SetCurve(7, true, 20, 40, 30);
  const TFzyFloat cog = set.CenterOfGravity();
  EXPECT_GT(cog, 40);
  EXPECT_NEAR(cog, SampledCentroid(set, 0, 60), 1e-5);
  SetPoints(set, {{5, 0.3}, {12, 0.9}, {12, 0.4}, {20, 0.7}, {31, 0}, {44, 0.6}});
  EXPECT_NEAR(set.CenterOfGravity(), SampledCentroid(set, 0, 60), 1e-5);
}

TEST_F(Universe0To60, DefuzzifyFollowsTheComponent) {
  SetPoints(set, {{0, 1}, {10, 1}, {20, 0}});
  EXPECT_DOUBLE_EQ(set.Defuzzify(), set.CenterOfGravity());
  variable.Settings.DefuzzificationMethod = dmMeanOfMaxima;
  EXPECT_DOUBLE_EQ(set.Defuzzify(), 5);
}

TEST(FuzzySetMeasures, WithoutVariableTheLeftTailReachesFar) {
  TFuzzySet set;
  SetPoints(set, {{0, 1}, {10, 0}});
  EXPECT_LT(set.CenterOfGravity(), -1e8);
  TFuzzySet spike;
  SetPoints(spike, {{7, 1}});
  EXPECT_EQ(spike.CenterOfGravity(), 0);
}

TEST(FuzzySetMeasures, HeightLowestAverageAndFlatness) {
  TFuzzySet set;
  EXPECT_TRUE(set.IsFlat());
  EXPECT_EQ(set.GetAverageY(), 0);
  EXPECT_THROW_MSG(set.GetMaximumYValue(), EFzyException,
                   "Invalid operation: \"Get Maximum Y Value\".  Fuzzy set is empty");
  SetPoints(set, {{0, 0.2}, {5, 0.8}, {10, 0.5}});
  EXPECT_EQ(set.GetMaximumYValue(), 0.8);
  EXPECT_EQ(set.GetMinimumYValue(), 0.2);
  EXPECT_DOUBLE_EQ(set.GetAverageY(), 0.5);
  EXPECT_TRUE(SetPoints(set, {{0, 1}, {5, 1}}).IsFlat());
  EXPECT_TRUE(SetPoints(set, {{0, 0}, {9, 0}}).IsFlat());
  EXPECT_FALSE(SetPoints(set, {{0, 0.5}, {5, 0.5}}).IsFlat());
  EXPECT_FALSE(SetPoints(set, {{0, 0}, {5, 1}}).IsFlat());
}

TEST(FuzzySetMeasures, HugeDegreesAndPositionsStillDefuzzifyToFiniteNumbers) {
  // Degrees raised by operators or sums and positions near the largest double used to make the
  // areas, moments and sums overflow, and the measures answer infinity or NaN.
  TFuzzySet set;  // no variable: the tails run to +-2147483647
  SetPoints(set, {{0, 0}, {2147483647, 1.4735213977344566e+308}, {2147483647, 41}});
  EXPECT_NEAR(set.CenterOfGravity(), 2147483647.0 * 2 / 3, 1);

  TestVariable wide(-1.5e308, 1.5e308);
  TFuzzySet& term = wide.AddTerm("wide");
  SetPoints(term, {{-1e308, 1}, {1e308, 1}});
  EXPECT_NEAR(term.CenterOfGravity(), 0, 1e292);
  EXPECT_NEAR(term.MeanOfMaxima(), 0, 1e292);
  SetPoints(term, {{1e308, 0}, {1.2e308, 1}, {1.4e308, 1}});
  EXPECT_NEAR(term.MeanOfMaxima(), 1.3e308, 1e293);
  EXPECT_GT(term.CenterOfGravity(), 1.2e308);
  SetPoints(term, {{7, 1}});
  EXPECT_EQ(term.CenterOfGravity(), 0);  // the middle of the universe

  SetPoints(set, {{0, 1e308}, {1, 1.6e308}});
  EXPECT_DOUBLE_EQ(set.GetAverageY(), 1.3e308);
}

}  // namespace
}  // namespace tapwise
