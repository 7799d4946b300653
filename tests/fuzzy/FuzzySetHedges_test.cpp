#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "FuzzySetTestSets.h"
#include "FuzzySetTestVariable.h"
#include "support/ExpectThrow.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzySet.h"

namespace tapwise {
namespace {

using testing::ExpectPoints;
using testing::PointsOf;
using testing::SetPoints;
using testing::TestVariable;
using Points = std::vector<std::pair<TFzyFloat, TFzyFloat>>;

constexpr int kNot = 0;
constexpr int kVery = 5;
constexpr int kAbove = 7;
constexpr int kBelow = 8;
constexpr int kSlightly = 9;
constexpr int kAbout = 11;
constexpr int kPositively = 16;
constexpr int kGenerally = 19;

TEST(FuzzySetHedges, VeryDensifiesThenSquares) {
  TFuzzySet set;
  set.SetName("cold");
  SetPoints(set, {{0, 0}, {10, 1}});
  set.ApplyHedge(kVery);
  EXPECT_EQ(set.GetCount(), 7);
  EXPECT_NEAR(set.GetMembership(5), 0.25, 1e-12);
  EXPECT_NEAR(set.GetMembership(10.0 / 6), 1.0 / 36, 1e-12);
  EXPECT_EQ(set.GetName(), "very cold");
  EXPECT_EQ(set.GetExpression(), "[very cold]");
  set.ApplyHedge(kNot);
  EXPECT_EQ(set.GetName(), "not [very cold]");
  EXPECT_EQ(set.GetExpression(), "[not [very cold]]");
}

TEST(FuzzySetHedges, VeryKeepsAVerticalRunAndDensifiesTheSegmentAfterIt) {
  // Every point of the run on X = 0 stays, so the seven points Densify asks for add two
  // on the one segment.
  TFuzzySet set;
  SetPoints(set, {{0, 0}, {0, 0.5}, {0, 0.7}, {0, 1}, {10, 0}});
  set.ApplyHedge(kVery);
  ExpectPoints(
      set,
      {{0, 0}, {0, 0.25}, {0, 0.49}, {0, 1}, {10.0 / 3, 4.0 / 9}, {20.0 / 3, 1.0 / 9}, {10, 0}});
  EXPECT_NEAR(set.CenterOfGravity(), 2.6316, 1e-4);
}

TEST(FuzzySetHedges, NotTwiceRestoresTheDegrees) {
  TFuzzySet set;
  SetPoints(set, {{0, 0.2}, {3, 1}, {7, 0.6}, {9, 0}});
  const Points before = PointsOf(set);
  set.ApplyHedge(kNot);
  EXPECT_NEAR(set.GetMembership(3), 0, 1e-12);
  EXPECT_NEAR(set.GetMembership(7), 0.4, 1e-12);
  set.ApplyHedge(kNot);
  ExpectPoints(set, before);
}

TEST(FuzzySetHedges, AboveAndBelowStartAtThePeak) {
  TFuzzySet set;
  SetPoints(set, {{0, 0}, {5, 1}, {10, 0}});
  set.ApplyHedge(kAbove);
  ExpectPoints(set, {{0, 0}, {5, 0}, {10, 1}});
  SetPoints(set, {{0, 0}, {5, 1}, {10, 0}});
  set.ApplyHedge(kBelow);
  ExpectPoints(set, {{0, 1}, {5, 0}, {10, 0}});
}

TEST(FuzzySetHedges, AboutSpreadsASpikeIntoANormalisedBell) {
  TestVariable variable(0, 60);
  TFuzzySet& set = variable.AddTerm("thirty");
  set.SetCrispValue(30);
  set.ApplyHedge(kAbout);
  ASSERT_EQ(set.GetCount(), 50);
  for (int i = 0; i < 25; ++i) {
    EXPECT_NEAR(set.GetX(i) + set.GetX(49 - i), 60, 1e-9) << i;
    EXPECT_NEAR(set.GetY(i), set.GetY(49 - i), 1e-12) << i;
  }
  EXPECT_NEAR(set.GetY(24), 1, 1e-12);
  EXPECT_NEAR(set.GetY(25), 1, 1e-12);
  EXPECT_NEAR(set.GetMembership(40), 0.2, 0.01);
  EXPECT_EQ(set.GetName(), "about thirty");
}

TEST(FuzzySetHedges, IntensifyingAndSlightlyKeepDegreesInRange) {
  TFuzzySet set;
  SetPoints(set, {{0, 0}, {10, 1}, {20, 0}});
  set.ApplyHedge(kPositively);
  EXPECT_NEAR(set.GetMembership(5), 0.5, 1e-12);
  EXPECT_NEAR(set.GetMembership(10.0 / 3), 2 * (1.0 / 3) * (1.0 / 3), 1e-12);
  SetPoints(set, {{0, 0}, {10, 1}, {20, 0}});
  set.ApplyHedge(kGenerally);
  EXPECT_NEAR(set.GetMembership(0), 0, 1e-12);
  SetPoints(set, {{0, 0}, {10, 1}, {20, 0}});
  set.SetName("warm");
  set.ApplyHedge(kSlightly);
  EXPECT_EQ(set.GetName(), "slightly warm");
  EXPECT_NEAR(set.GetMaximumYValue(), 1, 1e-12);
  EXPECT_GE(set.GetMinimumYValue(), 0);
  // Slightly true is neither false nor fully true at the peak of the source.
  EXPECT_LT(set.GetMembership(10), 1);
}

TEST(FuzzySetHedges, ErrorsOnEmptySetsAndBadIndexes) {
  TFuzzySet set;
  const std::string empty = "Invalid operation: \"Get Maximum Y Value\".  Fuzzy set is empty";
  EXPECT_THROW_MSG(set.Normalize(), EFzyException, empty);
  EXPECT_THROW_MSG(set.ApplyHedge(kAbout), EFzyException, empty);
  EXPECT_THROW_MSG(set.ApplyHedge(kSlightly), EFzyException, empty);
  EXPECT_THROW_MSG(set.ApplyHedge(20), EFzyException, "Invalid hedge index 20: hedges are 0 to 19");
  EXPECT_THROW_MSG(set.ApplyOperator(9, true, 1), EFzyException,
                   "Invalid operator index 9: operators are 0 to 8");
}

TEST(FuzzySetModifiers, OperatorsOnDegreesNameTheSet) {
  TFuzzySet set;
  set.SetName("cold");
  SetPoints(set, {{0, 1}, {10, 0.5}, {20, 3}});
  set.ApplyOperator(1, true, 2);
  EXPECT_EQ(set.GetName(), "cold - 2.0000");
  EXPECT_EQ(set.GetExpression(), "- ");
  EXPECT_NEAR(set.GetMembership(20), 1, 1e-12);
  EXPECT_EQ(set.GetMembership(0), 0);  // negative degrees become 0
  SetPoints(set, {{0, 1}, {10, 0.5}});
  set.SetName("cold");
  set.ApplyOperator(3, true, 4);
  EXPECT_EQ(set.GetName(), "cold / 4.0000");
  ExpectPoints(set, {{0, 0.25}, {10, 0.125}});
  set.ApplyOperator(5, true, 0.2);  // "<": raise to at least 0.2
  ExpectPoints(set, {{0, 0.25}, {10, 0.2}});
  set.ApplyOperator(4, true, 2);  // "^"
  ExpectPoints(set, {{0, 0.0625}, {10, 0.04}});
  EXPECT_EQ(set.GetName(), "[[cold / 4.0000] < 0.2000] ^ 2.0000");
}

TEST(FuzzySetModifiers, OperatorsOnPositionsStayInTheUniverse) {
  TestVariable variable(0, 30);
  TFuzzySet& set = variable.AddTerm("warm");
  SetPoints(set, {{5, 0}, {10, 1}, {20, 0}});
  set.ApplyOperator(2, false, 2);
  ExpectPoints(set, {{10, 0}, {20, 1}, {30, 0}});
  EXPECT_EQ(set.GetName(), "warm *X 2.0000");
}

TEST(FuzzySetModifiers, DivisionByZeroAndNonFiniteResultsChangeNothing) {
  TFuzzySet set;
  set.SetName("cold");
  SetPoints(set, {{0, 1}, {10, 0.5}});
  EXPECT_THROW_MSG(set.ApplyOperator(3, true, 0), EZeroDivide,
                   "Division by zero in ApplyOperator: \"/\" with Value 0 on fuzzy set \"cold\"");
  EXPECT_THROW_MSG(set.ApplyOperator(3, false, 0), EZeroDivide,
                   "Division by zero in ApplyOperator: \"/X\" with Value 0 on fuzzy set \"cold\"");
  EXPECT_THROW_MSG(set.ApplyOperator(2, true, 1e308 * 10), EFzyException,
                   "Invalid argument to ApplyOperator: Value is not a finite number");
  SetPoints(set, {{0, 1e300}, {10, 0.5}});
  EXPECT_THROW_MSG(
      set.ApplyOperator(2, true, 1e300), EFzyException,
      "Invalid operation: \"*\" on fuzzy set \"cold\" gives a value that is not a finite "
      "number");
  ExpectPoints(set, {{0, 1e300}, {10, 0.5}});
  EXPECT_EQ(set.GetName(), "cold");
  SetPoints(set, {{0, 1e-320}, {10, 0}});
  EXPECT_THROW_MSG(
      set.Normalize(), EFzyException,
      "Invalid operation: \"normalize\" on fuzzy set \"cold\" gives a value that is not a "
      "finite number");
  EXPECT_EQ(set.GetY(0), 1e-320);
}

TEST(FuzzySetModifiers, CorrelateClipsOrScalesTheExistingPoints) {
  TestVariable variable(0, 10);
  TFuzzySet& set = variable.AddTerm("change");
  const auto five_points = [&] { SetPoints(set, {{0, 0}, {2, 0.2}, {5, 1}, {8, 0.2}, {10, 0}}); };
  five_points();
  set.Correlate(false, 0.3);
  ExpectPoints(set, {{0, 0}, {2, 0.2}, {5, 0.3}, {8, 0.2}, {10, 0}});
  five_points();
  set.Correlate(true, 0.3);
  ExpectPoints(set, {{0, 0}, {2, 0.06}, {5, 0.3}, {8, 0.06}, {10, 0}});
  five_points();
  variable.Settings.CorrelationMethod = fcmProduct;
  set.Correlate(0.5);
  EXPECT_NEAR(set.GetMembership(5), 0.5, 1e-12);
  EXPECT_NEAR(set.GetMembership(2), 0.1, 1e-12);
}

TEST(FuzzySetModifiers, CombineWithValue) {
  TFuzzySet set;
  set.SetName("cold");
  SetPoints(set, {{0, 0}, {10, 1}, {20, 0}});
  const TFuzzySetResult constant = set.CombineWithValue(true, 1.5);
  EXPECT_EQ(constant->GetName(), "cold or 1.5000");
  ASSERT_EQ(constant->GetCount(), 1);
  EXPECT_EQ(constant->GetY(0), 1);
  ExpectPoints(set, {{0, 0}, {10, 1}, {20, 0}});
  const TFuzzySetResult clipped = set.CombineWithValue(false, 0.5);
  EXPECT_EQ(clipped->GetName(), "cold and 0.5000");
  ExpectPoints(*clipped, {{0, 0}, {5, 0.5}, {15, 0.5}, {20, 0}});
  const TFuzzySetResult raised = set.CombineWithValue(true, 0.5);
  ExpectPoints(*raised, {{5, 0.5}, {10, 1}, {15, 0.5}});
  for (TFzyFloat x : {-5.0, 2.0, 7.5, 12.0, 30.0})
    EXPECT_NEAR(raised->GetMembership(x), std::fmax(set.GetMembership(x), 0.5), 1e-12);
  set.SetExpression("cold");
  EXPECT_EQ(set.CombineWithValue(true, 0.25)->GetExpression(), "cold or 0.2500");
}

TEST(FuzzySetModifiers, AlphaCut) {
  TFuzzySet set;
  set.SetName("warm");
  SetPoints(set, {{0, 0}, {10, 1}, {20, 0}});
  const TFuzzySetResult weak = set.AlphaCut(false, 0.5);
  EXPECT_EQ(weak->GetName(), "warm");
  ExpectPoints(*weak, {{0, 0}, {5, 0}, {5, 0.5}, {10, 1}, {15, 0.5}, {15, 0}});
  EXPECT_EQ(weak->GetMembership(4), 0);
  EXPECT_EQ(weak->GetMembership(5), 0.5);
  EXPECT_NEAR(weak->GetMembership(7.5), 0.75, 1e-12);
  EXPECT_EQ(weak->GetMembership(16), 0);
  ExpectPoints(*set.AlphaCut(true, 0), {{0, 0}, {10, 1}, {20, 0}});
  ExpectPoints(*set.AlphaCut(true, 1), {{0, 0}});
  // At a point exactly on the level, a strong cut drops it and a weak one keeps it.
  SetPoints(set, {{0, 0.5}, {10, 1}});
  ExpectPoints(*set.AlphaCut(false, 0.5), {{0, 0.5}, {10, 1}});
  ExpectPoints(*set.AlphaCut(true, 0.5), {{0, 0}, {0, 0.5}, {10, 1}});
}

TEST(FuzzySetHedges, RepeatedSlightlyAndHugeCountsAreRefused) {
  // "slightly" can double a set's points; repeated on its own result it grew the set
  // exponentially. Counts beyond MaxFuzzySetPoints are refused before anything changes.
  TFuzzySet set;
  set.SetCurve(MaxFuzzySetPoints / 2 + 1, true, 0, 10, 5);
  set.SetName("warm");
  EXPECT_THROW_MSG(set.ApplyHedge(9), EFzyException,
                   "Invalid argument to ApplyHedge: fuzzy set \"warm\" would hold 10002 points, "
                   "more than 10000");
  EXPECT_EQ(set.GetCount(), MaxFuzzySetPoints / 2 + 1);

  SetPoints(set, {{0, 0}, {10, 1}});
  set.SetName("ramp");
  EXPECT_THROW_MSG(set.GetValues().Densify(2000000000), EFzyException,
                   "Invalid argument to Densify: fuzzy set \"ramp\" would hold 2000000000 points, "
                   "more than 10000");
  EXPECT_EQ(set.GetCount(), 2);
  EXPECT_THROW_MSG(
      set.SetCurve(MaxFuzzySetPoints + 1, true, 0, 10, 5), EFzyException,
      "Invalid argument to SetCurve: fuzzy set \"ramp\" would hold 10001 points, more than 10000");
  EXPECT_THROW_MSG(set.SetPICurve(MaxFuzzySetPoints + 1, 0, 10, 5), EFzyException,
                   "Invalid argument to SetPICurve: fuzzy set \"ramp\" would hold 10001 points, "
                   "more than 10000");
  EXPECT_THROW_MSG(set.SetBetaCurve(MaxFuzzySetPoints + 1, 10, 5, 1), EFzyException,
                   "Invalid argument to SetWeightedBetaCurve: fuzzy set \"ramp\" would hold 10001 "
                   "points, more than 10000");
  EXPECT_EQ(set.GetCount(), 2);
}

}  // namespace
}  // namespace tapwise
