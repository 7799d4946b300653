#include "tapwise/fuzzy/FuzzyGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <random>
#include <vector>

#include "../../src/fuzzy/MatchDegree.h"

namespace tapwise::geometry {
namespace {

using Points = std::vector<TPoint>;

TPointSpan Span(const Points& points) {
  return TPointSpan(points);
}

// The Zadeh AND or OR of two polylines straight from the merge walk, stably ordered by X.
Points Combine(const Points& a, const Points& b, bool use_or) {
  Points result;
  MergeWalk(Span(a), Span(b), [&](TFzyFloat x, TFzyFloat y1, TFzyFloat, TFzyFloat y2) {
    result.push_back({x, use_or ? std::max(y1, y2) : std::min(y1, y2)});
    return false;
  });
  std::stable_sort(result.begin(), result.end(),
                   [](const TPoint& p, const TPoint& q) { return p.X < q.X - FuzzyEpsilon; });
  return result;
}

TEST(FuzzyGeometry, MembershipIsFlatBeyondTheEndsAndHighestOnVerticalEdges) {
  const Points ramp = {{0, 0}, {10, 1}};
  EXPECT_DOUBLE_EQ(Membership(Span(ramp), 2.5), 0.25);
  EXPECT_DOUBLE_EQ(Membership(Span(ramp), -5), 0);
  EXPECT_DOUBLE_EQ(Membership(Span(ramp), 20), 1);
  const Points spike = {{3, 0}, {3, 1}, {3, 0}};
  EXPECT_DOUBLE_EQ(Membership(Span(spike), 3), 1);
  EXPECT_DOUBLE_EQ(Membership(Span(spike), 2.9), 0);
  const Points falling_edge = {{0, 0.2}, {5, 1}, {5, 0}};
  EXPECT_DOUBLE_EQ(Membership(Span(falling_edge), 5), 1);
  EXPECT_DOUBLE_EQ(Membership(Span(Points{}), 1), 0);
}

TEST(FuzzyGeometry, SegmentIntersectionFindsCrossingsAndVertices) {
  TFzyFloat x = 0;
  TFzyFloat y = 0;
  ASSERT_TRUE(SegmentIntersection(x, y, 0, 0, 10, 1, 0, 1, 10, 0));
  EXPECT_DOUBLE_EQ(x, 5);
  EXPECT_DOUBLE_EQ(y, 0.5);
  ASSERT_TRUE(SegmentIntersection(x, y, 0, 0, 10, 1, 10, 1, 20, 0));  // shared vertex
  EXPECT_DOUBLE_EQ(x, 10);
  EXPECT_DOUBLE_EQ(y, 1);
  EXPECT_FALSE(SegmentIntersection(x, y, 0, 0, 1, 1, 2, 0, 3, 1));     // apart
  EXPECT_FALSE(SegmentIntersection(x, y, 0, 0, 10, 0, 0, 1, 10, 1));   // parallel
  ASSERT_TRUE(SegmentIntersection(x, y, 0, 0, 10, 1, 5, 0.5, 20, 2));  // collinear overlap
  EXPECT_DOUBLE_EQ(x, 10);
  EXPECT_FALSE(SegmentIntersection(x, y, 0, 0, 1, 1, 2, 2, 3, 3));  // collinear, apart
  // Two jumps on one X that share no degree do not cross; ones that do share one.
  EXPECT_FALSE(SegmentIntersection(x, y, 5, 0, 5, 0.1, 5, 0.9, 5, 0.7));
  ASSERT_TRUE(SegmentIntersection(x, y, 5, 0, 5, 0.8, 5, 0.9, 5, 0.7));
  EXPECT_EQ(y, 0.7);
  ASSERT_TRUE(SegmentIntersection(x, y, 0, 0.5, 10, 0.5, 5, 0, 5, 1));  // vertical edge
  EXPECT_EQ(x, 5);
  EXPECT_EQ(y, 0.5);
  // Short segments still cross (an absolute parallel test would call them parallel).
  ASSERT_TRUE(SegmentIntersection(x, y, 0, 0, 0.005, 0.005, 0, 0.005, 0.005, 0));
  EXPECT_NEAR(x, 0.0025, 1e-15);
}

TEST(FuzzyGeometry, APointCrossesOnlyOnTheSegmentItself) {
  TFzyFloat x = 0;
  TFzyFloat y = 0;
  // (0.25, 0) lies on the line through the segment, far outside the segment.
  EXPECT_FALSE(SegmentIntersection(x, y, 0.25, 0, 0.25, 0, 0.3, 0.2, 0.35, 0.4));
  EXPECT_FALSE(SegmentIntersection(x, y, 0.3, 0.2, 0.35, 0.4, 0.25, 0, 0.25, 0));
  ASSERT_TRUE(SegmentIntersection(x, y, 0.3, 0.2, 0.35, 0.4, 0.32, 0.28, 0.32, 0.28));
  EXPECT_DOUBLE_EQ(x, 0.32);
  EXPECT_DOUBLE_EQ(y, 0.28);
}

TEST(FuzzyGeometry, MergeWalkVisitsVerticesAndCrossingsInOrder) {
  const Points a = {{0, 0}, {10, 1}};
  const Points b = {{0, 1}, {10, 0}};
  std::vector<std::array<TFzyFloat, 4>> seen;
  EXPECT_FALSE(
      MergeWalk(Span(a), Span(b), [&](TFzyFloat x1, TFzyFloat y1, TFzyFloat x2, TFzyFloat y2) {
        seen.push_back({x1, y1, x2, y2});
        return false;
      }));
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], (std::array<TFzyFloat, 4>{0, 0, 0, 1}));
  EXPECT_EQ(seen[1], (std::array<TFzyFloat, 4>{5, 0.5, 5, 0.5}));
  EXPECT_EQ(seen[2], (std::array<TFzyFloat, 4>{10, 1, 10, 0}));
  int calls = 0;
  EXPECT_TRUE(MergeWalk(Span(a), Span(b),
                        [&](TFzyFloat, TFzyFloat, TFzyFloat, TFzyFloat) { return ++calls == 2; }));
  EXPECT_EQ(calls, 2);
  EXPECT_DOUBLE_EQ(MatchDegree(Span(a), Span(b)), 0.5);
  EXPECT_TRUE(ReachesThreshold(Span(a), Span(b), 0.5));
  EXPECT_FALSE(ReachesThreshold(Span(a), Span(b), 0.51));
}

TEST(FuzzyGeometry, MergeWalkFindsCrossingsWithTheFlatExtensions) {
  // B rises through A's level 0.5 at X = 2.5, right of A's last point.
  const Points a = {{0, 0}, {1, 0.5}};
  const Points b = {{2, 0}, {3, 1}};
  const Points and_ab = Combine(a, b, false);
  EXPECT_NEAR(Membership(Span(and_ab), 2.25), 0.25, 1e-12);
  EXPECT_NEAR(Membership(Span(and_ab), 2.75), 0.5, 1e-12);
  // And left of A's first point.
  const Points c = {{5, 0.5}, {6, 1}};
  const Points d = {{0, 0}, {4, 1}};
  const Points or_cd = Combine(c, d, true);
  EXPECT_NEAR(Membership(Span(or_cd), 1), 0.5, 1e-12);
  EXPECT_NEAR(Membership(Span(or_cd), 3), 0.75, 1e-12);
}

TEST(FuzzyGeometry, UnionGainsNoNotchWhereOneOperandHasEnded) {
  const Points a = {{0.15, 0},        {0.25, 0.5976}, {0.3, 0.8965},
                    {0.3333, 0.2988}, {0.35, 0.3586}, {0.5, 0.8965}};
  const Points b = {{0, 0}, {0.15, 0.7154}, {0.25, 0}};
  const Points u = Combine(a, b, true);
  for (const TPoint& p : u) {
    EXPECT_NEAR(p.Y, std::max(Membership(Span(a), p.X), Membership(Span(b), p.X)), 1e-12)
        << "at X = " << p.X;
  }
}

TEST(FuzzyGeometry, CenterOfGravityIsExact) {
  EXPECT_DOUBLE_EQ(CenterOfGravity(Span(Points{{10, 0}, {30, 1}, {50, 0}}), 0, 60), 30);
  EXPECT_DOUBLE_EQ(CenterOfGravity(Span(Points{{20, 0.5}, {40, 0.5}}), 0, 60), 30);
  EXPECT_DOUBLE_EQ(CenterOfGravity(Span(Points{{0, 0}, {10, 1}, {20, 1}, {30, 0}}), 0, 60), 15);
  EXPECT_DOUBLE_EQ(CenterOfGravity(Span(Points{{7, 1}}), 0, 60), 30);
  EXPECT_DOUBLE_EQ(CenterOfGravity(Span(Points{{0, 0}, {9, 0}}), 0, 60), 0);
  EXPECT_DOUBLE_EQ(CenterOfGravity(Span(Points{}), 0, 60), 0);
  // A rising ramp 20..40 then the tail at 1 up to 60: area 10 + 20, moment 10*100/3 + 20*50.
  EXPECT_NEAR(CenterOfGravity(Span(Points{{20, 0}, {40, 1}}), 0, 60),
              (10.0 * 100 / 3 + 20.0 * 50) / 30, 1e-12);
  // A trapezoid piece: (0, 1)..(10, 0.5) has centroid X 10*(1 + 1)/(3*1.5) = 40/9.
  EXPECT_NEAR(CenterOfGravity(Span(Points{{0, 1}, {10, 0.5}, {10, 0}}), 0, 10), 40.0 / 9, 1e-12);
  // Without a universe the left tail reaches -2147483647 and dominates.
  EXPECT_LT(CenterOfGravity(Span(Points{{0, 1}, {10, 0}}), -2147483647.0, 2147483647.0), -1e8);
}

TEST(FuzzyGeometry, MeanOfMaximaAndFlatness) {
  EXPECT_DOUBLE_EQ(MeanOfMaxima(Span(Points{{10, 0}, {30, 1}, {50, 0}})), 30);
  EXPECT_DOUBLE_EQ(MeanOfMaxima(Span(Points{{0, 0}, {10, 1}, {20, 1}, {30, 0}})), 15);
  EXPECT_DOUBLE_EQ(MeanOfMaxima(Span(Points{{20, 0.5}, {40, 0.5}})), 30);
  EXPECT_DOUBLE_EQ(MeanOfMaxima(Span(Points{{0, 1}, {5, 0}, {10, 1}})), 5);
  EXPECT_DOUBLE_EQ(MeanOfMaxima(Span(Points{})), 0);
  EXPECT_TRUE(IsFlat(Span(Points{{0, 1}, {5, 1}})));
  EXPECT_TRUE(IsFlat(Span(Points{{0, 0}, {9, 0}})));
  EXPECT_TRUE(IsFlat(Span(Points{})));
  EXPECT_FALSE(IsFlat(Span(Points{{0, 0.5}, {5, 0.5}})));
  EXPECT_FALSE(IsFlat(Span(Points{{0, 0}, {5, 1}})));
}

// The zero test of a match window without its search must never call a window zero that
// holds a nonzero degree, must be exact where X do not ascend (it searches then), and must
// tell most windows beside the nonzero stretch without a search. Lists with repeated X,
// zero stretches, jumps and (sometimes) X a hair out of order; bounds on and a hair off the
// points.
TEST(FuzzyGeometry, ZeroWindowsAreToldWithoutASearchAndNeverWrongly) {
  std::mt19937 rng(20261211);
  std::uniform_real_distribution<TFzyFloat> unit(0, 1);
  int told = 0;
  int zero = 0;
  for (int trial = 0; trial < 20000; ++trial) {
    Points points;
    const int count = 1 + static_cast<int>(unit(rng) * 12);
    TFzyFloat x = unit(rng);
    for (int k = 0; k < count; ++k) {
      const TFzyFloat roll = unit(rng);
      const TFzyFloat y = roll < 0.5 ? 0 : (roll < 0.75 ? 1 : unit(rng));
      points.push_back({x, y});
      const TFzyFloat step = unit(rng);
      x += step < 0.2 ? 0 : (step < 0.3 && trial % 4 == 0 ? -FuzzyEpsilon / 2 : step);
    }
    const TSupport support = SupportOf(Span(points));
    for (int probe = 0; probe < 4; ++probe) {
      const int at = static_cast<int>(unit(rng) * count);
      const TFzyFloat nudge = (static_cast<int>(unit(rng) * 5) - 2) * FuzzyEpsilon;
      const TFzyFloat left =
          probe % 2 == 0 ? points[static_cast<size_t>(at)].X + nudge : x * 1.2 * unit(rng) - 0.1;
      const TFzyFloat right = left + (probe == 3 ? -0.1 : unit(rng) * 0.5);
      const bool clip_left = unit(rng) < 0.8;
      const bool clip_right = unit(rng) < 0.8;
      const auto [first, last] = MatchWindow(Span(points), left, right, clip_left, clip_right);
      const bool window_zero = IsZero(Span(points).Window(first, last));
      const bool answer =
          MatchWindowIsZero(Span(points), support, left, right, clip_left, clip_right);
      ASSERT_TRUE(!answer || window_zero) << "trial " << trial << ", probe " << probe;
      if (!support.Ascending) {
        ASSERT_EQ(answer, window_zero) << "trial " << trial;
      }
      zero += window_zero ? 1 : 0;
      told += answer ? 1 : 0;
    }
  }
  EXPECT_GT(told, zero * 3 / 4);
}

TEST(FuzzyGeometry, MatchDegreeSkipsOnlyWhatCannotChangeItsResult) {
  // The match leaves out places that cannot beat its best so far; a walk that looks at every
  // place must give the very same bits, on shapes with vertical edges, spikes, flat runs,
  // near-parallel pieces and steep crossings.
  std::mt19937 rng(20261209);
  std::uniform_real_distribution<TFzyFloat> unit(0, 1);
  const auto polyline = [&] {
    Points points;
    const int count = 1 + static_cast<int>(unit(rng) * 9);
    TFzyFloat x = unit(rng) * 4;
    for (int k = 0; k < count; ++k) {
      const TFzyFloat roll = unit(rng);
      const TFzyFloat y =
          roll < 0.3 ? 0 : (roll < 0.5 ? 1 : (roll < 0.6 ? 0.5 + unit(rng) * 1e-12 : unit(rng)));
      points.push_back({x, y});
      const TFzyFloat step = unit(rng);
      x += step < 0.2 ? 0 : (step < 0.3 ? FuzzyEpsilon / 3 : step);
    }
    return points;
  };
  int positive = 0;
  for (int trial = 0; trial < 50000; ++trial) {
    const Points a = polyline();
    const Points b = polyline();
    TFzyFloat every_place = 0;
    MergeWalk(Span(a), Span(b), [&](TFzyFloat, TFzyFloat y1, TFzyFloat, TFzyFloat y2) {
      every_place = std::max(every_place, std::min(y1, y2));
      return false;
    });
    const TFzyFloat match = MatchDegree(Span(a), Span(b));
    ASSERT_EQ(std::bit_cast<uint64_t>(match), std::bit_cast<uint64_t>(every_place))
        << "trial " << trial;
    positive += match > 0 ? 1 : 0;
  }
  EXPECT_GT(positive, 10000);
}

}  // namespace
}  // namespace tapwise::geometry
