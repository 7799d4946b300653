#pragma once

#include <cmath>
#include <string>

#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

// A NaN or an infinity in a set would poison every later comparison, sort and sum; it is
// refused where it would enter, naming the operation and the argument.
inline void CheckFinite(TFzyFloat value, const char* operation, const char* argument) {
  if (!std::isfinite(value)) {
    throw EFzyException(Format(messages::kNonFiniteArgument, operation, argument));
  }
}

// Refuses to make a set of `count` points when that is more than MaxFuzzySetPoints.
inline void CheckPointCount(long long count, const char* operation, const std::string& name) {
  if (count > MaxFuzzySetPoints) {
    throw EFzyException(
        Format(messages::kTooManyPoints, operation, name, count, MaxFuzzySetPoints));
  }
}

}  // namespace tapwise
