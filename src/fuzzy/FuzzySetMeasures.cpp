// Defuzzification and the scalar measures of a set, each one pass over the points without
// allocation.

#include "tapwise/fuzzy/FuzzyGeometry.h"
#include "tapwise/fuzzy/FuzzySet.h"

namespace tapwise {

TFzyFloat TFuzzySet::CenterOfGravity() const {
  return geometry::CenterOfGravity(GetValues(), GetXRange(1), GetXRange(0));
}

TFzyFloat TFuzzySet::MeanOfMaxima() const {
  return geometry::MeanOfMaxima(GetValues());
}

TFzyFloat TFuzzySet::Defuzzify() const {
  return GetSettings().DefuzzificationMethod == dmMeanOfMaxima ? MeanOfMaxima() : CenterOfGravity();
}

TFzyFloat TFuzzySet::GetMaximumYValue() const {
  return GetValues().GetMaximumYValue();
}

TFzyFloat TFuzzySet::GetMinimumYValue() const {
  return GetValues().GetMinimumYValue();
}

bool TFuzzySet::IsFlat() const {
  return geometry::IsFlat(GetValues());
}

}  // namespace tapwise
