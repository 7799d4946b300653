#include "tapwise/fuzzy/MembershipShape.h"

#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise {

std::string_view ShapeKindName(TShapeKind) {
  return "shape";
}
bool IsPiecewiseLinear(TShapeKind) {
  return true;
}
void CheckShape(const TMembershipShape&) {
  throw EFzyException("Not built yet");
}
TFzyFloat ShapeDegree(const TMembershipShape&, TFzyFloat) {
  throw EFzyException("Not built yet");
}
std::vector<TShapePoint> ShapePoints(const TMembershipShape&, TFzyFloat, TFzyFloat) {
  throw EFzyException("Not built yet");
}

}  // namespace tapwise
