#include "TermDegrees.h"

#include "tapwise/fuzzy/ShapeFunctions.h"

namespace tapwise::detail {

void TTermDegrees::Measure(const std::vector<TFzyFloat>& values,
                           const std::vector<TFuzzySet*>& readings) {
  FDegrees.resize(FTests.size());
  for (size_t slot = 0; slot < FTests.size(); ++slot) {
    const TTest& test = FTests[slot];
    const auto input = static_cast<size_t>(test.Input);
    if (readings[input] != nullptr) {
      FDegrees[slot] = readings[input]->MatchDegree(*test.Term);
      continue;
    }
    const std::vector<geometry::TPoint>& points = test.Points;
    FDegrees[slot] = MembershipAt(
        static_cast<int>(points.size()), [&points](int i) { return points[size_t(i)].X; },
        [&points](int i) { return points[size_t(i)].Y; }, values[input]);
  }
}

}  // namespace tapwise::detail
