#pragma once

#include <array>
#include <vector>

namespace tapwise::plot {

/// A point of a drawn outline: universe value and degree.
using TOutlinePoint = std::array<double, 2>;

/// The points a set is drawn through over the universe `min`..`max`: its own points within
/// it, with its first and last degrees carried to the universe's ends (as the library's
/// measures read a set). A set without points lies flat at 0. `Set` is any of the library's
/// set types (the plain set or the interface): both answer GetCount, GetX, GetY and
/// GetMembership.
template <class Set>
std::vector<TOutlinePoint> SetOutline(const Set& set, double min, double max) {
  std::vector<TOutlinePoint> points;
  const int count = set.GetCount();
  if (count == 0) return {{min, 0.0}, {max, 0.0}};
  if (set.GetX(0) > min) points.push_back({min, set.GetMembership(min)});
  for (int i = 0; i < count; ++i) {
    const double x = set.GetX(i);
    if (x >= min && x <= max) points.push_back({x, set.GetY(i)});
  }
  if (set.GetX(count - 1) < max) points.push_back({max, set.GetMembership(max)});
  if (points.empty()) points = {{min, set.GetMembership(min)}, {max, set.GetMembership(max)}};
  return points;
}

}  // namespace tapwise::plot
