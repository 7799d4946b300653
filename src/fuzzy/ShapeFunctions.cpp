#include "tapwise/fuzzy/ShapeFunctions.h"

namespace tapwise {

TFzyFloat SCurveDegree(TFzyFloat x, TFzyFloat left, TFzyFloat right) {
  if (x <= left) return 0;
  if (x > right) return 1;
  const TFzyFloat width = right - left;
  const TFzyFloat middle = (left + right) / 2;
  if (x <= middle) {
    const TFzyFloat u = (x - left) / width;
    return 2 * u * u;
  }
  const TFzyFloat u = (x - right) / width;
  return 1 - 2 * u * u;
}

}  // namespace tapwise
