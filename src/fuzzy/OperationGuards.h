#pragma once

#include "tapwise/foundation/UpdateScope.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzySetResult.h"
#include "tapwise/fuzzy/FuzzySetValues.h"

namespace tapwise {

// Keeps an update block of a point list open for its lifetime, so that sorting and clean-up
// run once for many changes, and the block is closed however the work ends. A change
// handler that throws at the block's end reaches the caller (it must not end the program
// from a destructor), unless another exception is already on its way.
using TPointUpdateBlock = TUpdateScope<TFuzzySetValues>;

// Takes the new set of an operation out of its term collection again when the operation
// fails, so that a failure adds no half-made term. (A result the handle owns goes with it.)
class TResultGuard {
 public:
  explicit TResultGuard(const TFuzzySetResult& result) : FResult(result) {}
  TResultGuard(const TResultGuard&) = delete;
  TResultGuard& operator=(const TResultGuard&) = delete;
  ~TResultGuard() {
    if (FArmed && FResult && !FResult.Owns() && FResult->GetCollection() != nullptr)
      FResult->GetCollection()->Delete(FResult->GetIndex());
  }
  void Release() { FArmed = false; }

 private:
  const TFuzzySetResult& FResult;
  bool FArmed = true;
};

}  // namespace tapwise
