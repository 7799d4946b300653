#include "tapwise/fuzzy/FuzzySetValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "../../src/fuzzy/MatchDegree.h"
#include "FuzzySetTestVariable.h"
#include "support/ExpectThrow.h"
#include "tapwise/foundation/UpdateScope.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyGeometry.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/ShapeFunctions.h"

namespace tapwise {
namespace {

using Points = std::vector<std::pair<double, double>>;

Points PointsOf(const TFuzzySetValues& values) {
  Points points;
  for (int i = 0; i < values.GetCount(); ++i)
    points.emplace_back(values.GetX(i), values.GetY(i));
  return points;
}

void AddAll(TFuzzySetValues& values, const Points& points) {
  for (const auto& [x, y] : points)
    values.AddPoint(x, y);
}

// The invariants that hold after every change outside an update block.
void ExpectClean(const TFuzzySetValues& values) {
  for (int i = 1; i < values.GetCount(); ++i) {
    const TFuzzySetValue& previous = *values.GetPoint(i - 1);
    const TFuzzySetValue& point = *values.GetPoint(i);
    EXPECT_GE(point.GetX(), previous.GetX() - FuzzyEpsilon) << "order at " << i;
    EXPECT_FALSE(point.SameAs(previous)) << "duplicate at " << i;
  }
  EXPECT_TRUE(values.IsSorted());
  EXPECT_TRUE(values.IsUnique());
}

double MembershipOf(const Points& points, double x) {
  return MembershipAt(
      static_cast<int>(points.size()), [&](int i) { return points[i].first; },
      [&](int i) { return points[i].second; }, x);
}

// A point class that counts any two points less than a unit apart as the same point.
class TCoarsePoint : public TFuzzySetValue {
 public:
  bool SameAs(const TFuzzySetValue& other) const override {
    return std::fabs(GetX() - other.GetX()) < 1;
  }
};

TEST(FuzzySetValues, PointsOfTheirOwnClassCompareTheirOwnWay) {
  // Plain points next to each other are compared by the tolerance; a point of a descendant
  // class decides by its own SameAs, also where the list checks itself as a whole.
  TFuzzySetValues values;
  AddAll(values, {{0, 0}, {2, 1}});
  values.BeginUpdate();
  values.AddItem(std::make_unique<TCoarsePoint>());
  values.GetPoint(2)->SetXY(2.5, 0);
  values.EndUpdate();
  EXPECT_EQ(PointsOf(values), (Points{{0, 0}, {2, 1}}));
}

TEST(FuzzySetValues, EachChangeLeavesTheListOrderedAndClean) {
  TFuzzySetValues values;
  values.AddPoint(5, 0.5);
  values.AddPoint(1, 1);
  EXPECT_EQ(PointsOf(values), (Points{{1, 1}, {5, 0.5}}));

  values.Clear();
  TFuzzySetValue* first = values.AddPoint(2, 0.5);
  TFuzzySetValue* second = values.AddPoint(2, 0.5);
  EXPECT_EQ(values.GetCount(), 1);
  // The point just added is the one that stays: its pointer remains valid.
  EXPECT_EQ(values.GetPoint(0), second);
  EXPECT_NE(first, second);

  values.Clear();
  AddAll(values, {{3, 0}, {3, 1}, {3, 0}});
  EXPECT_EQ(PointsOf(values), (Points{{3, 0}, {3, 1}, {3, 0}}));
  EXPECT_EQ(values.GetMembership(3), 1);
  EXPECT_EQ(values.GetMembership(2), 0);

  // Moving a point past its neighbours re-sorts the list; the moved point is kept.
  values.Clear();
  AddAll(values, {{0, 0}, {5, 1}, {10, 0}});
  TFuzzySetValue* moved = values.GetPoint(0);
  moved->SetX(7);
  EXPECT_EQ(PointsOf(values), (Points{{5, 1}, {7, 0}, {10, 0}}));
  EXPECT_EQ(values.GetPoint(1), moved);
  moved->SetY(1);  // now equal to no neighbour: stays
  moved->SetX(5);  // onto its neighbour: one of the two goes, the moved one stays
  EXPECT_EQ(PointsOf(values), (Points{{5, 1}, {10, 0}}));
  EXPECT_EQ(values.GetPoint(0), moved);
}

TEST(FuzzySetValues, UpdateBlocksDeferTheCleanUpToTheirEnd) {
  TFuzzySetValues values;
  values.BeginUpdate();
  AddAll(values, {{9, 0}, {1, 1}, {4, 0.5}, {4, 0.5}});
  EXPECT_EQ(values.GetCount(), 4);
  EXPECT_FALSE(values.IsSorted());
  values.BeginUpdate();
  values.EndUpdate();
  EXPECT_EQ(values.GetX(0), 9);  // still inside the outer block
  values.EndUpdate();
  EXPECT_EQ(PointsOf(values), (Points{{1, 1}, {4, 0.5}, {9, 0}}));
  ExpectClean(values);
}

TEST(FuzzySetValues, RunsOnOneXLoseOnlyTheirDuplicates) {
  TFuzzySetValues values;
  values.BeginUpdate();
  AddAll(values, {{0, 0}, {5, 0.2}, {5, 0.9}, {5, 0.9}, {5, 0.4}, {5, 0.6}, {5, 0.3}, {10, 0}});
  values.EndUpdate();
  EXPECT_EQ(PointsOf(values),
            (Points{{0, 0}, {5, 0.2}, {5, 0.9}, {5, 0.4}, {5, 0.6}, {5, 0.3}, {10, 0}}));

  // A point added to a spike's X goes last among its points, and stays.
  values.Clear();
  AddAll(values, {{3, 0}, {3, 1}, {3, 0}});
  TFuzzySetValue* added = values.AddPoint(3, 0.5);
  EXPECT_EQ(PointsOf(values), (Points{{3, 0}, {3, 1}, {3, 0}, {3, 0.5}}));
  EXPECT_EQ(values.GetPoint(3), added);

  // Points that chain through the tolerance, each closer than it to the next, but no two
  // equal in both coordinates: the samples of a curve narrower than the tolerance.
  values.Clear();
  Points narrow;
  for (int k = 0; k <= 6; ++k)
    narrow.emplace_back(k * FuzzyEpsilon / 2, k / 6.0);
  AddAll(values, narrow);
  EXPECT_EQ(PointsOf(values), narrow);
}

TEST(FuzzySetValues, CleanUpNeverChangesTheMembershipFunction) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coarse(0, 8);
  for (int round = 0; round < 200; ++round) {
    // Points in ascending X with many repeats of X and Y, entered inside one block.
    Points raw;
    int x = 0;
    for (int i = 0; i < 12; ++i) {
      x += coarse(random) < 4 ? 0 : 1;
      raw.emplace_back(x, coarse(random) / 8.0);
    }
    TFuzzySetValues values;
    values.BeginUpdate();
    AddAll(values, raw);
    values.EndUpdate();
    ExpectClean(values);
    const Points clean = PointsOf(values);
    for (double probe = -1; probe <= x + 1; probe += 0.25) {
      ASSERT_DOUBLE_EQ(MembershipOf(clean, probe), MembershipOf(raw, probe))
          << "round " << round << " at " << probe;
    }
  }
}

// The contiguous copy the walks read must follow every change, in blocks and out of them.
void ExpectFlatCopyCurrent(const TFuzzySetValues& values) {
  Points flat;
  for (const geometry::TPoint& point : TFlatPoints::Of(values).GetPoints())
    flat.emplace_back(point.X, point.Y);
  EXPECT_EQ(flat, PointsOf(values));
}

TEST(FuzzySetValues, FlatCopyFollowsMovesCopiesAndClears) {
  TFuzzySetValues values;
  // Asked for before any point: an empty copy whose support has no nonzero degree.
  const TFlatPoints& empty = TFlatPoints::Of(values);
  EXPECT_TRUE(empty.GetPoints().empty());
  EXPECT_EQ(empty.GetSupport().FirstNonzero, -1);
  EXPECT_EQ(empty.GetSupport().LastNonzero, -1);
  AddAll(values, {{0, 0}, {1, 1}, {2, 0}});
  ExpectFlatCopyCurrent(values);
  values.GetPoint(0)->SetIndex(2);  // a move alone, inside the list
  ExpectFlatCopyCurrent(values);
  TFuzzySetValues other;
  AddAll(other, {{5, 0.5}, {6, 0.25}});
  values.Assign(other);
  ExpectFlatCopyCurrent(values);
  values.Clear();
  ExpectFlatCopyCurrent(values);
  EXPECT_TRUE(TFlatPoints::Of(values).GetPoints().empty());
  AddAll(values, {{1, 0}, {2, 0.5}, {3, 0}});
  const TFlatPoints& again = TFlatPoints::Of(values);
  EXPECT_EQ(again.GetPoints().size(), 3u);
  EXPECT_EQ(again.GetSupport().FirstNonzero, 1);
  EXPECT_EQ(again.GetSupport().LastNonzero, 1);
}

// The clean-up's rule, written the slow and obvious way on plain points: of successive
// duplicates the first stays, unless a later one is `keep`; every other point stays. The
// result names the survivors by their position in `points`.
std::vector<int> SurvivorsByRule(const Points& points, int keep) {
  std::vector<int> list(points.size());
  for (size_t i = 0; i < points.size(); ++i)
    list[i] = static_cast<int>(i);
  auto same = [&](int a, int b) {
    return SameFloat(points[a].first, points[b].first) &&
           SameFloat(points[a].second, points[b].second);
  };
  size_t i = 1;
  while (i < list.size()) {
    if (same(list[i], list[i - 1])) {
      list.erase(list.begin() + static_cast<long>(list[i] == keep ? i - 1 : i));
    } else {
      ++i;
    }
  }
  return list;
}

TEST(FuzzySetValues, CleanUpKeepsExactlyThePointsTheRuleNames) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> pick(0, 7);
  // X steps of 0, a fraction of the tolerance (runs that chain) or a whole unit; few degrees.
  const double kSteps[] = {0, 0, 0, FuzzyEpsilon * 0.6, 1};
  const double kDegrees[] = {0, 0.5, 1, 0.5 + FuzzyEpsilon * 0.5};
  for (int round = 0; round < 500; ++round) {
    Points raw;
    double x = 0;
    const int count = 1 + round % 16;
    for (int i = 0; i < count; ++i) {
      x += kSteps[pick(random) % 5];
      raw.emplace_back(x, kDegrees[pick(random) % 4]);
    }
    // All points inside one block: the clean-up at its end keeps no particular point.
    TFuzzySetValues values;
    std::vector<TFuzzySetValue*> added;
    values.BeginUpdate();
    for (const auto& [px, py] : raw)
      added.push_back(values.AddPoint(px, py));
    values.EndUpdate();
    std::vector<TFuzzySetValue*> expected;
    for (int index : SurvivorsByRule(raw, -1))
      expected.push_back(added[static_cast<size_t>(index)]);
    std::vector<TFuzzySetValue*> kept;
    for (int i = 0; i < values.GetCount(); ++i)
      kept.push_back(values.GetPoint(i));
    ASSERT_EQ(kept, expected) << "round " << round;

    // One more point added to the clean list, on the X of its last point: that one is kept.
    const Points clean = PointsOf(values);
    Points grown = clean;
    grown.emplace_back(clean.back().first, kDegrees[pick(random) % 4]);
    std::vector<TFuzzySetValue*> before = kept;
    before.push_back(values.AddPoint(grown.back().first, grown.back().second));
    const int keep = static_cast<int>(grown.size()) - 1;
    expected.clear();
    for (int index : SurvivorsByRule(grown, keep))
      expected.push_back(before[static_cast<size_t>(index)]);
    kept.clear();
    for (int i = 0; i < values.GetCount(); ++i)
      kept.push_back(values.GetPoint(i));
    ASSERT_EQ(kept, expected) << "round " << round << " after AddPoint";
  }
}

TEST(FuzzySetValues, LongRunsOnOneXAreCleanedInOnePass) {
  // As many points as a set may hold, all on one X, each degree twice in a row, then as
  // many exact duplicates: both clean up in linear time (removing the points one by one
  // from the middle of the list took quadratic time).
  constexpr int kCount = MaxFuzzySetPoints;
  // Degrees (i * 7919) mod (kCount / 2) run through every multiple of 2 / kCount, neighbours
  // far apart.
  auto degree = [](int i) { return (i * 7919 % (kCount / 2)) / double(kCount / 2); };
  TFuzzySetValues values;
  values.BeginUpdate();
  for (int i = 0; i < kCount; ++i)
    values.AddPoint(5, degree(i / 2));
  values.EndUpdate();
  ASSERT_EQ(values.GetCount(), kCount / 2);
  for (int i = 0; i < kCount / 2; ++i)
    ASSERT_EQ(values.GetY(i), degree(i)) << i;
  ExpectClean(values);

  values.Clear();
  values.BeginUpdate();
  for (int i = 0; i < kCount; ++i)
    values.AddPoint(i < kCount / 2 ? 1 : 2, 0.25);
  values.EndUpdate();
  EXPECT_EQ(PointsOf(values), (Points{{1, 0.25}, {2, 0.25}}));
}

// The sorting rule, written the slow and obvious way: for each position in turn, every
// later point lying left of the one there by more than the tolerance moves to it. The
// result lists positions in `xs`.
std::vector<int> SortedByRule(const std::vector<double>& xs) {
  std::vector<int> order(xs.size());
  for (size_t i = 0; i < order.size(); ++i)
    order[i] = static_cast<int>(i);
  for (size_t i = 0; i < order.size(); ++i) {
    for (size_t j = i + 1; j < order.size(); ++j) {
      if (xs[order[j]] < xs[order[i]] - FuzzyEpsilon) {
        std::rotate(order.begin() + static_cast<long>(i), order.begin() + static_cast<long>(j),
                    order.begin() + static_cast<long>(j) + 1);
      }
    }
  }
  return order;
}

TEST(FuzzySetValues, SortingPutsPointsWhereTheRuleDoes) {
  std::mt19937 random(5);
  // Whole numbers alone fall into clear clusters; the near values chain across the
  // tolerance (1 - 0.6e-4, 1, 1 + 0.6e-4) or sit inside it.
  const std::vector<double> kWhole = {0, 1, 2, 3, 3, 1};
  const std::vector<double> kNear = {0,
                                     1,
                                     1 + FuzzyEpsilon * 0.6,
                                     1 - FuzzyEpsilon * 0.6,
                                     1 + FuzzyEpsilon * 0.3,
                                     2,
                                     2 + FuzzyEpsilon * 1.5};
  for (int round = 0; round < 400; ++round) {
    const std::vector<double>& pool = round % 2 == 0 ? kWhole : kNear;
    std::uniform_int_distribution<size_t> pick(0, pool.size() - 1);
    std::vector<double> xs;
    for (int i = 0; i < 2 + round % 19; ++i)
      xs.push_back(pool[pick(random)]);
    TFuzzySetValues values;
    std::vector<TFuzzySetValue*> added;
    values.BeginUpdate();
    // Distinct degrees, so that only the order is under test.
    for (size_t i = 0; i < xs.size(); ++i)
      added.push_back(values.AddPoint(xs[i], static_cast<double>(i) / 64));
    values.SortByX();
    std::vector<TFuzzySetValue*> expected;
    for (int index : SortedByRule(xs))
      expected.push_back(added[static_cast<size_t>(index)]);
    std::vector<TFuzzySetValue*> sorted;
    for (int i = 0; i < values.GetCount(); ++i)
      sorted.push_back(values.GetPoint(i));
    ASSERT_EQ(sorted, expected) << "round " << round;
    values.EndUpdate();
  }
}

TEST(FuzzySetValues, LongListsOutOfOrderAreSortedWithoutQuadraticWork) {
  // As many points as a set may hold in descending X, and alternating between two X: each
  // took seconds with a selection of moves.
  constexpr int kCount = MaxFuzzySetPoints;
  TFuzzySetValues values;
  values.BeginUpdate();
  for (int i = 0; i < kCount; ++i)
    values.AddPoint(kCount - i, 0.5);
  values.EndUpdate();
  ASSERT_EQ(values.GetCount(), kCount);
  for (int i = 0; i < kCount; ++i)
    ASSERT_EQ(values.GetX(i), i + 1);

  values.Clear();
  std::vector<TFuzzySetValue*> added;
  values.BeginUpdate();
  for (int i = 0; i < kCount; ++i)
    added.push_back(values.AddPoint(i % 2, (i / 2 % 4) / 4.0));
  values.SortByX();
  for (int i = 0; i < kCount / 2; ++i) {
    ASSERT_EQ(values.GetPoint(i), added[static_cast<size_t>(2 * i)]);
    ASSERT_EQ(values.GetPoint(kCount / 2 + i), added[static_cast<size_t>(2 * i + 1)]);
  }
  values.EndUpdate();
  ExpectClean(values);
}

TEST(FuzzySetValues, InvariantsHoldAfterRandomEdits) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> action(0, 5);
  std::uniform_int_distribution<int> coordinate(0, 6);
  std::uniform_int_distribution<int> jitter(-2, 2);
  // Coarse positions, some of them a fraction of the tolerance apart, so that runs on one
  // X and near-equal points are frequent.
  auto x_value = [&] { return coordinate(random) + jitter(random) * 0.4 * FuzzyEpsilon; };
  auto y_value = [&] { return coordinate(random) / 6.0; };
  TFuzzySetValues values;
  for (int step = 0; step < 4000; ++step) {
    const bool in_block = step % 50 >= 40;
    if (step % 50 == 40) values.BeginUpdate();
    const int count = values.GetCount();
    TFuzzySetValue* changed = nullptr;
    TFuzzySetValue* point =
        count > 0 ? values.GetPoint(static_cast<int>(random() % count)) : nullptr;
    switch (action(random)) {
      case 0:
      case 1:
        changed = values.AddPoint(x_value(), y_value());
        break;
      case 2:
        if (point != nullptr) (changed = point)->SetX(x_value());
        break;
      case 3:
        if (point != nullptr) (changed = point)->SetY(y_value());
        break;
      case 4:
        if (point != nullptr) (changed = point)->SetXY(x_value(), y_value());
        break;
      default:
        if (point != nullptr) values.Delete(point->GetIndex());
    }
    if (step % 50 == 49) values.EndUpdate();
    ExpectFlatCopyCurrent(values);
    if (!in_block) {
      ExpectClean(values);
      // The point just changed is never the one a clean-up removes.
      if (changed != nullptr) {
        EXPECT_EQ(values.GetPoint(changed->GetIndex()), changed);
      }
    }
    if (::testing::Test::HasFailure()) FAIL() << "step " << step;
  }
}

TEST(FuzzySetValues, DensifySpreadsNewPointsOverRealSegments) {
  TFuzzySetValues values;
  AddAll(values, {{0, 0}, {5, 1}, {5, 0.5}, {10, 0}});
  values.Densify(7);
  const Points expected = {
      {0, 0}, {5.0 / 3, 1.0 / 3}, {10.0 / 3, 2.0 / 3}, {5, 1}, {5, 0.5}, {7.5, 0.25}, {10, 0}};
  ASSERT_EQ(values.GetCount(), 7);
  for (int i = 0; i < 7; ++i) {
    EXPECT_NEAR(values.GetX(i), expected[i].first, 1e-12);
    EXPECT_NEAR(values.GetY(i), expected[i].second, 1e-12);
  }

  values.Clear();
  AddAll(values, {{0, 0}, {10, 1}});
  values.Densify(7);
  ASSERT_EQ(values.GetCount(), 7);
  for (int i = 0; i < 7; ++i)
    EXPECT_NEAR(values.GetX(i), i * 10.0 / 6, 1e-12);
  values.Densify(3);  // already enough
  EXPECT_EQ(values.GetCount(), 7);

  values.Clear();
  AddAll(values, {{3, 0}, {3, 1}});
  values.Densify(5);  // no real segment
  EXPECT_EQ(values.GetCount(), 2);

  // Half the limit densified to the limit, placed in one pass rather than by moving the rest
  // of the list for each new point: the leftmost segment takes the surplus (two points),
  // every other one point in its middle.
  values.Clear();
  const int half = MaxFuzzySetPoints / 2;
  values.BeginUpdate();
  for (int i = 0; i < half; ++i)
    values.AddPoint(i, i % 2);
  values.EndUpdate();
  values.Densify(MaxFuzzySetPoints);
  ASSERT_EQ(values.GetCount(), MaxFuzzySetPoints);
  EXPECT_EQ(values.GetX(0), 0);
  EXPECT_DOUBLE_EQ(values.GetX(1), 1.0 / 3);
  EXPECT_DOUBLE_EQ(values.GetX(2), 2.0 / 3);
  for (int i = 1; i < half; ++i) {
    ASSERT_EQ(values.GetX(2 * i + 1), i);
    if (i + 1 < half) {
      ASSERT_EQ(values.GetX(2 * i + 2), i + 0.5);
      ASSERT_EQ(values.GetY(2 * i + 2), 0.5);
    }
  }
  ExpectClean(values);
}

TEST(FuzzySetValues, DegreeStatisticsAndTheirEmptyListErrors) {
  TFuzzySetValues values;
  EXPECT_THROW_MSG(values.GetMaximumYValue(), EFzyException,
                   "Invalid operation: \"Get Maximum Y Value\".  Fuzzy set is empty");
  EXPECT_THROW_MSG(values.GetMinimumYValue(), EFzyException,
                   "Invalid operation: \"Get Minimum Y Value\".  Fuzzy set is empty");
  EXPECT_THROW_MSG(values.GetAverageYValue(), EFzyException,
                   "Invalid operation: \"Get Average Y Value\".  Fuzzy set is empty");
  AddAll(values, {{0, 0.2}, {1, 1.5}, {2, 0.4}});
  EXPECT_DOUBLE_EQ(values.GetAverageYValue(), 0.7);
  EXPECT_EQ(values.GetMaximumYValue(), 1.5);  // no upper clamp
  EXPECT_EQ(values.GetMinimumYValue(), 0.2);
}

TEST(FuzzySetValues, NextDistinctStepsOverEqualValues) {
  TFuzzySetValues values;
  AddAll(values, {{0, 1}, {0, 0.5}, {4, 0.5}, {6, 0.5}});
  EXPECT_EQ(values.NextDistinctX(0, 1, 0), 2);
  EXPECT_EQ(values.NextDistinctX(0, 0, 0), 2);  // step 0 counts as +1
  EXPECT_EQ(values.NextDistinctX(3, -1, 6), 2);
  EXPECT_EQ(values.NextDistinctX(1, -1, 0), -1);
  EXPECT_EQ(values.NextDistinctY(1, 1, 0.5), -1);
  EXPECT_EQ(values.NextDistinctY(0, 1, 1), 1);
}

TEST(FuzzySetValues, CopyPointsClampsItsRange) {
  TFuzzySetValues source;
  AddAll(source, {{0, 0}, {1, 1}, {2, 0}});
  TFuzzySetValues target;
  target.CopyPoints(source, 1, 10);
  EXPECT_EQ(PointsOf(target), (Points{{1, 1}, {2, 0}}));
  target.Clear();
  target.CopyPoints(source, -5, 2);
  EXPECT_EQ(PointsOf(target), (Points{{0, 0}, {1, 1}}));
  target.CopyPoints(target, 0, 2);  // from itself: the copies merge with the originals
  EXPECT_EQ(PointsOf(target), (Points{{0, 0}, {1, 1}}));
  TFuzzySetValues empty;
  target.CopyPoints(empty, 0, 3);
  EXPECT_EQ(target.GetCount(), 2);
}

TEST(FuzzySetValues, NonFiniteCoordinatesAreRefused) {
  TFuzzySetValues values;
  AddAll(values, {{0, 0}, {1, 1}});
  EXPECT_THROW_MSG(values.GetPoint(0)->SetX(NAN), EFzyException,
                   "Invalid argument to SetX: X is not a finite number");
  EXPECT_THROW_MSG(values.GetPoint(0)->SetY(INFINITY), EFzyException,
                   "Invalid argument to SetY: Y is not a finite number");
  EXPECT_THROW_MSG(values.GetPoint(0)->SetXY(0, NAN), EFzyException,
                   "Invalid argument to SetXY: Y is not a finite number");
  EXPECT_THROW_MSG(values.AddPoint(-INFINITY, 0), EFzyException,
                   "Invalid argument to AddPoint: X is not a finite number");
  EXPECT_EQ(PointsOf(values), (Points{{0, 0}, {1, 1}}));
}

TEST(FuzzySetValues, PointsOfASetStayInsideItsUniverse) {
  testing::TestVariable variable(0, 100);
  TFuzzySet& set = variable.AddTerm("warm");
  set.AddPoint(10, 1);
  TFuzzySetValue* point = set.AddPoint(50, 0.5);
  point->SetX(150);
  EXPECT_EQ(point->GetX(), 100);
  point->SetY(-0.2);
  EXPECT_EQ(point->GetY(), 0);
  set.AddPoint(101, -0.5);  // its starting X equals the wanted one, and is still bounded
  EXPECT_EQ(set.GetX(set.GetCount() - 1), 100);
  set.AddPoint(-3, 1);
  EXPECT_EQ(set.GetX(0), 0);

  // A free-standing list bounds nothing but negative degrees set through SetY.
  TFuzzySetValues free;
  free.AddPoint(150, 1)->SetXY(-20, -1);
  EXPECT_EQ(PointsOf(free), (Points{{-20, -1}}));
}

// Counts what a list reports while points join and leave it.
class TRecordingValues : public TFuzzySetValues {
 public:
  TRecordingValues() : TFuzzySetValues(nullptr, TCollectionItemClass::Of<TFuzzySetValue>()) {}
  void Notify(TGCollectionItem& item, TCollectionNotification action) override {
    TFuzzySetValues::Notify(item, action);
    ++notifications[action];
  }
  void Update(TGCollectionItem* item) override {
    TFuzzySetValues::Update(item);
    ++(item == nullptr ? whole_updates : item_updates);
  }
  int notifications[3] = {0, 0, 0};
  int whole_updates = 0;
  int item_updates = 0;
};

TEST(FuzzySetValues, DeletedPointsComeBackAsNewPointsWithFreshIdentifiers) {
  TFuzzySetValues values;
  const Points shape{{1, 0}, {2, 1}, {3, 0}};
  AddAll(values, shape);
  std::vector<const TFuzzySetValue*> objects;
  for (int i = 0; i < values.GetCount(); ++i)
    objects.push_back(values.GetPoint(i));
  values.GetPoint(1)->Link(*values.GetPoint(2));

  values.Clear();
  AddAll(values, shape);
  EXPECT_EQ(PointsOf(values), shape);
  // The same storage, new identifiers, no links left over.
  for (int i = 0; i < values.GetCount(); ++i) {
    EXPECT_EQ(values.GetPoint(i)->GetID(), 3 + i);
    EXPECT_EQ(values.GetPoint(i)->GetLinks(), nullptr);
    EXPECT_EQ(values.GetPoint(i)->GetCollection(), &values);
    EXPECT_NE(std::find(objects.begin(), objects.end(), values.GetPoint(i)), objects.end());
  }

  // A point in reused storage starts as a new one: one unit right of the last point, degree
  // 0, or at the origin in an empty list.
  values.Delete(2);
  auto* added = static_cast<TFuzzySetValue*>(values.Add());
  EXPECT_EQ(added->GetX(), 3);
  EXPECT_EQ(added->GetY(), 0);
  EXPECT_EQ(added->GetID(), 6);
  values.Clear();
  added = static_cast<TFuzzySetValue*>(values.Add());
  EXPECT_EQ(PointsOf(values), (Points{{0, 0}}));

  // An extracted point belongs to its taker and is never handed out again.
  std::unique_ptr<TGCollectionItem> taken = values.Extract(*added);
  EXPECT_NE(values.Add(), taken.get());
}

// The library's own list takes points in and out without going through the collection's
// hooks; a descendant that watches them goes the long way. Both must end in the same state.
TEST(FuzzySetValues, TheOwnListAndAWatchingListAgreeOnEveryPointTheyTakeAndGive) {
  struct Trace {
    Points points;
    std::vector<int> ids;
    bool all_belong = true;
    bool any_links = false;
  };
  const auto run = [](TFuzzySetValues& values, TFuzzySetValues& neighbour) {
    std::vector<Trace> traces;
    const auto trace = [&] {
      Trace t{PointsOf(values), {}, true, false};
      for (int i = 0; i < values.GetCount(); ++i) {
        const TFuzzySetValue* point = values.GetPoint(i);
        t.ids.push_back(point->GetID());
        t.all_belong = t.all_belong && point->GetCollection() == &values && point->GetIndex() == i;
        t.any_links = t.any_links || point->GetLinks() != nullptr;
      }
      traces.push_back(t);
    };
    AddAll(values, {{3, 0}, {1, 1}, {2, 0.5}});
    trace();
    neighbour.AddPoint(7, 1);
    values.GetPoint(0)->Link(*neighbour.GetPoint(0));
    values.ClearPoints();
    trace();
    EXPECT_EQ(neighbour.GetPoint(0)->GetLinks(), nullptr);
    AddAll(values, {{0, 0}, {4, 1}, {4, 1}, {9, 0}});
    trace();
    TFuzzySetValues source;
    AddAll(source, {{5, 0}, {6, 1}, {6, 0.25}, {8, 0}});
    values.Assign(source);
    trace();
    {
      TUpdateScope<TFuzzySetValues> block(values);
      values.AddPoint(2, 0.5);
      values.AddPoint(1, 0);
    }
    trace();
    return traces;
  };
  TFuzzySetValues own;
  TFuzzySetValues own_neighbour;
  TRecordingValues watching;
  TFuzzySetValues watching_neighbour;
  const std::vector<Trace> own_traces = run(own, own_neighbour);
  const std::vector<Trace> watching_traces = run(watching, watching_neighbour);
  ASSERT_EQ(own_traces.size(), watching_traces.size());
  for (size_t i = 0; i < own_traces.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(own_traces[i].points, watching_traces[i].points);
    EXPECT_EQ(own_traces[i].ids, watching_traces[i].ids);
    EXPECT_TRUE(own_traces[i].all_belong);
    EXPECT_FALSE(own_traces[i].any_links);
  }
  // The watching list heard every point that joined and left.
  EXPECT_EQ(watching.notifications[cnAdded], 3 + 4 + 4 + 2);
  // Out: the three cleared, the duplicate on 4, the four replaced by Assign less that one.
  EXPECT_EQ(watching.notifications[cnExtracting], 3 + 1 + 3);
}

// AddPoint checks a point appended to a clean list against its neighbours only; a list that
// watches every change takes the whole-list check. Both must tidy alike at every step: ties
// on X, long runs, duplicates and points out of order included.
TEST(FuzzySetValues, PointsAppendedOneByOneAreTidiedAsByTheWholeListCheck) {
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> x_step(0, 5);
  std::uniform_int_distribution<int> degree(0, 3);
  std::bernoulli_distribution backwards(0.1);
  for (int round = 0; round < 200; ++round) {
    TFuzzySetValues own;
    TRecordingValues watching;
    double x = 0;
    for (int i = 0; i < 12; ++i) {
      // Half the time no step (ties on X, long runs), else a small step right, now and
      // then a step back.
      const int step = x_step(random);
      x += backwards(random) ? -2.0 : (step < 3 ? 0.0 : (step - 2) / 4.0);
      const double y = degree(random) / 3.0;
      own.AddPoint(x, y);
      watching.AddPoint(x, y);
      ASSERT_EQ(PointsOf(own), PointsOf(watching)) << "round " << round << ", point " << i;
      ASSERT_TRUE(own.IsSorted() && own.IsUnique());
    }
  }
}

// AppendPoints checks the order as it appends to an empty list in its outermost block, and
// hands anything else to AddPoint: both ways must end where AddPoint, point by point, ends.
TEST(FuzzySetValues, PointsAppendedTogetherEndAsPointsAddedOneByOne) {
  testing::TestVariable variable(0, 10);
  const std::vector<std::vector<geometry::TPoint>> shapes = {
      {{1, 0}, {4, 1}, {8, 0}},           // in order
      {{5, 0}, {5, 1}, {5, 0}},           // a spike
      {{-3, 0}, {12, 1}, {14, 0}},        // pushed onto the universe's edge, meeting there
      {{8, 0}, {2, 1}, {2, 1}, {6, -1}},  // out of order, a duplicate, a negative degree
  };
  for (const auto& shape : shapes) {
    TFuzzySet& together = variable.AddTerm();
    TFuzzySet& one_by_one = variable.AddTerm();
    TRecordingValues watching;
    for (TFuzzySetValues* values : {&together.GetValues(), &one_by_one.GetValues(),
                                    static_cast<TFuzzySetValues*>(&watching)}) {
      TUpdateScope<TFuzzySetValues> block(*values);
      if (values == &one_by_one.GetValues()) {
        for (const geometry::TPoint& point : shape)
          values->AddPoint(point.X, point.Y);
      } else {
        values->AppendPoints(shape);
      }
    }
    EXPECT_EQ(PointsOf(together.GetValues()), PointsOf(one_by_one.GetValues()));
    EXPECT_TRUE(together.GetValues().IsSorted() && together.GetValues().IsUnique());
    for (int i = 0; i < together.GetCount(); ++i)
      EXPECT_EQ(together.GetValues().GetPoint(i)->GetID(),
                one_by_one.GetValues().GetPoint(i)->GetID());
    EXPECT_EQ(watching.notifications[cnAdded], static_cast<int>(shape.size()));
  }

  // Inside an enclosing block, or onto points already there, the points wait for its end.
  TFuzzySetValues values;
  {
    TUpdateScope<TFuzzySetValues> outer(values);
    values.AddPoint(9, 0);
    const geometry::TPoint more[] = {{1, 0}, {3, 1}};
    TUpdateScope<TFuzzySetValues> inner(values);
    values.AppendPoints(more);
    EXPECT_FALSE(values.IsSorted());
  }
  EXPECT_EQ(PointsOf(values), (Points{{1, 0}, {3, 1}, {9, 0}}));

  // Every point is checked before the first is added.
  const geometry::TPoint refused[] = {{2, 0}, {3, NAN}};
  EXPECT_THROW_MSG(values.AppendPoints(refused), EFzyException,
                   "Invalid argument to AddPoint: Y is not a finite number");
  EXPECT_EQ(values.GetCount(), 3);
}

// A copy of a clean list that comes over unchanged is known clean; any other copy is looked
// over at the end of the assignment like any other change.
TEST(FuzzySetValues, ACopyIsTidiedUnlessItsSourceIsCleanAndComesOverUnchanged) {
  // Points pushed into the universe meet on its edge.
  testing::TestVariable variable(0, 10);
  TFuzzySet& narrow = variable.AddTerm("narrow");
  TFuzzySetValues wide;
  AddAll(wide, {{0, 0}, {5, 1}, {10, 0}, {11, 0}, {12, 0}});
  narrow.GetValues().Assign(wide);
  EXPECT_EQ(PointsOf(narrow.GetValues()), (Points{{0, 0}, {5, 1}, {10, 0}}));

  // Degrees below 0 (a free list keeps them) are raised to 0 in a set, and meet there.
  TFuzzySetValues negative;
  AddAll(negative, {{0, 0}, {5, 1}, {6, 0}, {7, 0}, {10, 0}});
  negative.GetPoint(2)->SetXY(5, -1);
  negative.GetPoint(3)->SetXY(5, -2);
  ASSERT_EQ(PointsOf(negative), (Points{{0, 0}, {5, 1}, {5, -1}, {5, -2}, {10, 0}}));
  narrow.GetValues().Assign(negative);
  EXPECT_EQ(PointsOf(narrow.GetValues()), (Points{{0, 0}, {5, 1}, {5, 0}, {10, 0}}));

  // A source in the middle of a block is not known to be in order yet.
  TFuzzySetValues unsettled;
  {
    TUpdateScope<TFuzzySetValues> block(unsettled);
    unsettled.AddPoint(8, 0);
    unsettled.AddPoint(2, 1);
    unsettled.AddPoint(2, 1);
    TFuzzySetValues copy;
    copy.Assign(unsettled);
    EXPECT_EQ(PointsOf(copy), (Points{{2, 1}, {8, 0}}));
    EXPECT_TRUE(copy.IsSorted() && copy.IsUnique());
  }
}

TEST(FuzzySetValues, ManyDeletedPointsAreKeptOnlyUpToTheLimit) {
  TFuzzySetValues values;
  const int many = TChunkPool::kMaxKept + 8;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < many; ++i)
      values.AddPoint(i, i % 2);
    EXPECT_EQ(values.GetCount(), many);
    EXPECT_EQ(values.GetPoint(many - 1)->GetID(), (round + 1) * many - 1);
    values.Clear();
  }
}

}  // namespace
}  // namespace tapwise
