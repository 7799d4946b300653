#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "support/ExpectThrow.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/ShapeFunctions.h"

namespace tapwise {
namespace {

using Points = std::vector<std::pair<double, double>>;

void ExpectPoints(const TFuzzySet& set, const Points& expected, double tolerance = 1e-4) {
  ASSERT_EQ(set.GetCount(), static_cast<int>(expected.size())) << set.ValuesText();
  for (int i = 0; i < set.GetCount(); ++i) {
    EXPECT_NEAR(set.GetX(i), expected[i].first, tolerance) << "point " << i;
    EXPECT_NEAR(set.GetY(i), expected[i].second, tolerance) << "point " << i;
  }
}

TEST(ShapeFunctions, SCurveAndBetaCurveDegrees) {
  EXPECT_EQ(SCurveDegree(10, 10, 35), 0);
  EXPECT_NEAR(SCurveDegree(22.5, 10, 35), 0.5, 1e-12);
  EXPECT_NEAR(SCurveDegree(18.3333333, 10, 35), 0.2222, 1e-4);
  EXPECT_NEAR(SCurveDegree(30.8333333, 10, 35), 0.9444, 1e-4);
  EXPECT_EQ(SCurveDegree(36, 10, 35), 1);
  // A degenerate range never divides by zero.
  EXPECT_EQ(SCurveDegree(5, 5, 5), 0);
  EXPECT_EQ(SCurveDegree(6, 5, 5), 1);
  EXPECT_NEAR(BetaCurveDegree(60, 50, 10, 1), 0.5, 1e-12);
  EXPECT_NEAR(BetaCurveDegree(60, 50, 10, 3), 0.25, 1e-12);
  EXPECT_EQ(Interpolate(5, 0, 5, 1, 5), 1);  // vertical: the upper end
  EXPECT_EQ(InterpolateX(0, 0.5, 10, 0.5, 0.5), 10);
  EXPECT_DOUBLE_EQ(InterpolateX(0, 0, 10, 1, 0.25), 2.5);
}

TEST(FuzzySetShapes, GrowthAndDeclineCurvesOverTenToThirtyFive) {
  TFuzzySet set;
  set.SetCurve(7, true, 10, 35, 22.5);
  ExpectPoints(set, {{10, 0},
                     {14.1667, 0.0556},
                     {18.3333, 0.2222},
                     {22.5, 0.5},
                     {26.6667, 0.7778},
                     {30.8333, 0.9444},
                     {35, 1}});
  EXPECT_EQ(set.GetX(6), 35);  // ends exactly on its bound
  EXPECT_EQ(set.GetSetType(), fstGrowthCurve);
  EXPECT_EQ(set.GetInflectionPoint(), 22.5);

  set.SetCurve(7, false, 10, 35, 99);
  EXPECT_EQ(set.GetSetType(), fstDeclineCurve);
  EXPECT_EQ(set.GetInflectionPoint(), 99);  // kept, not used
  EXPECT_NEAR(set.GetY(1), 1 - 0.0556, 1e-4);
  EXPECT_EQ(set.GetCount(), 7);

  set.SetCurve(2, true, 0, 10, 5);
  EXPECT_EQ(set.GetCount(), 3);

  // Left equal to right: the samples coincide and the clean-up merges them.
  set.SetCurve(7, false, 4, 4, 4);
  ExpectPoints(set, {{4, 1}});
  EXPECT_EQ(set.GetSetType(), fstDeclineCurve);  // the type outlives the clean-up
}

TEST(FuzzySetShapes, PICurvesWithOddAndEvenCounts) {
  TFuzzySet set;
  set.SetPICurve(7, 0, 60, 30);
  ExpectPoints(set,
               {{0, 0}, {10, 0.2222}, {20, 0.7778}, {30, 1}, {40, 0.7778}, {50, 0.2222}, {60, 0}});
  EXPECT_EQ(set.GetSetType(), fstPICurve);
  EXPECT_EQ(set.GetInflectionPoint(), 45);

  set.SetPICurve(6, 0, 60, 30);
  ExpectPoints(set, {{0, 0}, {10, 0.2222}, {20, 0.7778}, {40, 0.7778}, {50, 0.2222}, {60, 0}});

  set.SetPICurveRange(7, 2, 36);
  EXPECT_EQ(set.GetX(0), 34);
  EXPECT_EQ(set.GetX(6), 38);
  EXPECT_EQ(set.GetMembership(36), 1);

  // Small counts stay symmetric about the peak.
  set.SetPICurve(3, 0, 60, 30);
  ExpectPoints(set, {{0, 0}, {15, 0.5}, {30, 1}, {45, 0.5}, {60, 0}});

  // The centre is clamped into the range.
  set.SetPICurve(5, 0, 60, 90);
  EXPECT_EQ(set.GetX(set.GetCount() - 1), 60);
  EXPECT_EQ(set.GetMembership(60), 1);
}

TEST(FuzzySetShapes, PICurveCentredOnItsLeftEndKeepsItsPeak) {
  // The growth half collapses onto (0, 0); the peak is the decline half's first point.
  TFuzzySet set;
  for (const double center : {0.0, -5.0}) {
    SCOPED_TRACE(center);
    set.SetPICurve(7, 0, 10, center);
    ExpectPoints(set, {{0, 0}, {0, 1}, {3.3333, 0.7778}, {6.6667, 0.2222}, {10, 0}});
    EXPECT_NEAR(set.CenterOfGravity(), 3.0864, 1e-4);
    EXPECT_EQ(set.MeanOfMaxima(), 0);
  }
}

TEST(FuzzySetShapes, CurveNarrowerThanTheToleranceKeepsEverySample) {
  // Neighbouring samples lie closer than the tolerance; none of them repeats another.
  TFuzzySet set;
  set.SetCurve(7, true, 0, 0.0005, 0.00025);
  ExpectPoints(set,
               {{0, 0},
                {0.0005 / 6, 1.0 / 18},
                {0.0005 / 3, 2.0 / 9},
                {0.0005 / 2, 0.5},
                {0.0005 * 2 / 3, 7.0 / 9},
                {0.0005 * 5 / 6, 17.0 / 18},
                {0.0005, 1}},
               1e-12);
}

TEST(FuzzySetShapes, BetaCurveAndTriangle) {
  TFuzzySet set;
  set.SetBetaCurve(7, 30, 50, 10);
  ExpectPoints(set, {{20, 0.1}, {30, 0.2}, {40, 0.5}, {50, 1}, {60, 0.5}, {70, 0.2}, {80, 0.1}},
               1e-12);
  EXPECT_EQ(set.GetSetType(), fstBetaCurve);
  EXPECT_EQ(set.GetInflectionPoint(), 10);

  set.SetWeightedBetaCurve(3, 10, 50, 10, 3);
  ExpectPoints(set, {{40, 0.25}, {50, 1}, {60, 0.25}}, 1e-12);

  set.SetTriangle(30, 10, 20);
  ExpectPoints(set, {{30, 0}, {30, 1}, {30, 0}});
  EXPECT_EQ(set.GetSetType(), fstTriangle);
  EXPECT_EQ(set.GetMembership(30), 1);
  EXPECT_EQ(set.GetMembership(29.9), 0);
}

TEST(FuzzySetShapes, CrispValueIsAUserDefinedSpikeWithItsValueAsExpression) {
  TFuzzySet set;
  set.SetCrispValue(12.5);
  ExpectPoints(set, {{12.5, 0}, {12.5, 1}, {12.5, 0}});
  EXPECT_EQ(set.GetSetType(), fstUserDefined);
  EXPECT_EQ(set.GetExpression(), "12.5000");
}

TEST(FuzzySetShapes, RangeErrorsChangeNothing) {
  TFuzzySet set;
  set.SetTriangle(0, 5, 10);
  EXPECT_THROW_MSG(set.SetCurve(7, true, 40, 10, 25), EFzyException,
                   "Invalid range arguments.  Left (40.0000) is greater than right (10.0000)");
  EXPECT_THROW_MSG(set.SetPICurve(7, 1, 0.5, 0.7), EFzyException,
                   "Invalid range arguments.  Left (1.0000) is greater than right (0.5000)");
  EXPECT_THROW_MSG(set.SetPICurveRange(7, -2, 36), EFzyException,
                   "Invalid range arguments.  Left (38.0000) is greater than right (34.0000)");
  ExpectPoints(set, {{0, 0}, {5, 1}, {10, 0}});
  EXPECT_EQ(set.GetSetType(), fstTriangle);
}

TEST(FuzzySetShapes, ZeroInflectionPointRaisesBeforeAnyPointChanges) {
  TFuzzySet set;
  set.SetTriangle(0, 5, 10);
  EXPECT_THROW_MSG(set.SetBetaCurve(7, 30, 50, 0), EZeroDivide,
                   "Division by zero in SetBetaCurve: InflectionPoint is 0");
  // 1 - 1 at 40 and 60
  EXPECT_THROW_MSG(set.SetWeightedBetaCurve(3, 10, 50, 10, -1), EZeroDivide,
                   "Division by zero in SetWeightedBetaCurve: 1 + Weight * ((X - Center) / "
                   "InflectionPoint)^2 is 0 at X = 40.0000");
  EXPECT_THROW_MSG(set.SetCurve(7, true, 0, NAN, 1), EFzyException,
                   "Invalid argument to SetCurve: Right is not a finite number");
  EXPECT_THROW_MSG(set.SetTriangle(0, INFINITY, 1), EFzyException,
                   "Invalid argument to SetTriangle: Middle is not a finite number");
  ExpectPoints(set, {{0, 0}, {5, 1}, {10, 0}});
  EXPECT_EQ(set.GetSetType(), fstTriangle);
}

TEST(FuzzySetShapes, DefaultShapesWithoutVariableSpanTheWholeAxis) {
  TFuzzySet set;
  set.SetSetType(fstTriangle);
  ExpectPoints(set, {{-2147483647.0 / 3 * 2, 0}, {0, 1}, {2147483647.0 / 3 * 2, 0}}, 1);
  set.SetSetType(fstBetaCurve);
  EXPECT_EQ(set.GetCount(), 7);
  EXPECT_EQ(set.GetSetType(), fstBetaCurve);
  set.SetSetType(fstUserDefined);
  EXPECT_EQ(set.GetCount(), 7);  // the points stay
  EXPECT_EQ(set.GetSetType(), fstUserDefined);
}

// A triangle set in a block of its own takes its points without a report each; inside an
// enclosing block every point reports. Both must end with the same points and flags.
TEST(FuzzySetShapes, TriangleInItsOwnBlockMatchesTriangleInAnEnclosingBlock) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(-3, 3);
  for (int round = 0; round < 300; ++round) {
    // Small steps, so that equal and nearly equal corners (merged by the clean-up) are common.
    const double left = coordinate(random) * 0.5;
    const double middle = coordinate(random) * 0.5 + (round % 7 == 0 ? 1e-9 : 0);
    const double right = coordinate(random) * 0.5;
    TFuzzySet own;
    own.AddPoint(9, 9);  // replaced
    own.SetTriangle(left, middle, right);
    TFuzzySet enclosed;
    enclosed.AddPoint(9, 9);
    enclosed.BeginUpdate();
    enclosed.SetTriangle(left, middle, right);
    enclosed.EndUpdate();
    SCOPED_TRACE(own.ValuesText());
    ASSERT_EQ(own.GetCount(), enclosed.GetCount());
    for (int i = 0; i < own.GetCount(); ++i) {
      EXPECT_EQ(own.GetX(i), enclosed.GetX(i));
      EXPECT_EQ(own.GetY(i), enclosed.GetY(i));
    }
    EXPECT_EQ(own.GetValues().IsSorted(), enclosed.GetValues().IsSorted());
    EXPECT_EQ(own.GetValues().IsUnique(), enclosed.GetValues().IsUnique());
    EXPECT_EQ(own.GetSetType(), fstTriangle);
  }
}

}  // namespace
}  // namespace tapwise
