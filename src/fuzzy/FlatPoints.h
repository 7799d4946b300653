#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "MatchWindow.h"
#include "tapwise/fuzzy/FuzzyGeometry.h"
#include "tapwise/fuzzy/FuzzySetValues.h"

namespace tapwise {

// The points of a list as one array of (X, Y), with what a match window needs to know of them:
// the walks that read every point many times (the match degree of a rule) read them from
// here. Made again only when the list has changed since.
class TFlatPoints {
 public:
  // The copy `values` keeps, current with it (made when first asked for).
  static const TFlatPoints& Of(const TFuzzySetValues& values) {
    if (values.FFlat == nullptr) values.FFlat = std::make_unique<TFlatPoints>();
    TFlatPoints& flat = *values.FFlat;
    if (flat.FStamp != values.GetChangeStamp() ||
        flat.FPoints.size() != static_cast<size_t>(values.GetCount()))
      flat.Renew(values);
    return flat;
  }

  std::span<const geometry::TPoint> GetPoints() const { return FPoints; }
  // Where the degrees are nonzero and whether the X ascend.
  const geometry::TSupport& GetSupport() const { return FSupport; }

 private:
  void Renew(const TFuzzySetValues& values) {
    const int count = values.GetCount();
    FPoints.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      const TFuzzySetValue* point = values.GetPoint(i);
      FPoints[static_cast<size_t>(i)] = {point->GetX(), point->GetY()};
    }
    FSupport = geometry::SupportOf(geometry::TPointSpan(FPoints));
    FStamp = values.GetChangeStamp();
  }

  std::vector<geometry::TPoint> FPoints;
  uint64_t FStamp = 0;
  geometry::TSupport FSupport;
};

}  // namespace tapwise
