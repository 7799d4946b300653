#pragma once

#include <algorithm>
#include <vector>

#include "tapwise/fuzzy/FuzzyGeometry.h"
#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise::detail {

/// A point list built in ascending X that ends as a set's point list ends an update block:
/// a negative degree stored as 0, and a point equal within tolerance (in X and in Y) to the
/// last point kept dropped. Its storage is kept by `Clear`, so that a controller rebuilding
/// its implied sets and aggregates on every run allocates nothing once the lists have grown.
/// X is taken as given: the points come from sets of no variable, within their universe.
///
///     TCleanPoints points;
///     points.Add(0, 0);
///     points.Add(0.00001, 0);  // dropped: the same point within tolerance
///     geometry::CenterOfGravity(points, 0, 10);
class TCleanPoints {
 public:
  void Clear() { FPoints.clear(); }
  void Add(TFzyFloat x, TFzyFloat y) {
    y = std::max(y, TFzyFloat{0});
    if (!FPoints.empty() && SameFloat(FPoints.back().X, x) && SameFloat(FPoints.back().Y, y))
      return;
    FPoints.push_back({x, y});
  }

  int GetCount() const { return static_cast<int>(FPoints.size()); }
  TFzyFloat GetX(int index) const { return FPoints[static_cast<size_t>(index)].X; }
  TFzyFloat GetY(int index) const { return FPoints[static_cast<size_t>(index)].Y; }
  const std::vector<geometry::TPoint>& GetPoints() const { return FPoints; }
  /// The largest degree, 0 for no points.
  TFzyFloat MaximumY() const {
    TFzyFloat best = 0;
    for (const geometry::TPoint& point : FPoints)
      best = std::max(best, point.Y);
    return best;
  }

  void swap(TCleanPoints& other) noexcept { FPoints.swap(other.FPoints); }

 private:
  std::vector<geometry::TPoint> FPoints;
};

}  // namespace tapwise::detail
