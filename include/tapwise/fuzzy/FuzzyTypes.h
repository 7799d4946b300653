#pragma once

#include <cstdint>

namespace tapwise {

/// The type of every membership degree, universe bound, point coordinate and shape parameter.
using TFzyFloat = double;

/// The library's absolute tolerance: values this close are the same.
inline constexpr TFzyFloat FuzzyEpsilon = 1e-4;

/// The most points a generator, `Densify` or a hedge makes one set hold. Sets hold a handful
/// to a few dozen points; the limit refuses a count that one small argument (or a hedge
/// repeated on its own result) would turn into unbounded work and memory.
inline constexpr int MaxFuzzySetPoints = 10000;

/// True when A - 1e-4 <= B <= A + 1e-4.
constexpr bool SameFloat(TFzyFloat a, TFzyFloat b) {
  return a - FuzzyEpsilon <= b && b <= a + FuzzyEpsilon;
}

enum TFuzzyCorrelationMethod : uint8_t { fcmMinimum, fcmProduct };

enum TFuzzyInferenceMethod : uint8_t { fimMinMax, fimAdditive, fimMean, fimProduct, fimBoundedSum };

enum TDefuzzificationMethod : uint8_t { dmCenterOfGravity, dmMeanOfMaxima };

enum TFuzzySetType : uint8_t {
  fstUserDefined,
  fstTriangle,
  fstDeclineCurve,
  fstPICurve,
  fstBetaCurve,
  fstGrowthCurve
};

enum TFuzzyOperation : uint8_t {
  foZadeh,
  foMean,
  foMeanSqr,
  foMeanSqrt,
  foProduct,
  foBoundedSum,
  foSum
};

}  // namespace tapwise
