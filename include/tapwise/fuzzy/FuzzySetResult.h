#pragma once

#include <functional>
#include <utility>

#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

class TFuzzySet;
class TFuzzySetValues;

/// Appends one result point of a combining operation to `values` (the result set's point
/// list) for a position of the merge walk: `x1` is where the point goes, `y1` this set's
/// degree there and `y2` the other set's (`x2` is the other set's X when the two sets have
/// points within tolerance of each other, else `x1`). Returns true to stop the walk.
using PointCombiner = std::function<bool(TFuzzySetValues& values, TFzyFloat x1, TFzyFloat y1,
                                         TFzyFloat x2, TFzyFloat y2)>;

/// As PointCombiner, without a result: visits the positions of the merge walk.
using PointVisitor = std::function<bool(TFzyFloat x1, TFzyFloat y1, TFzyFloat x2, TFzyFloat y2)>;

/// The set an operation made. A set of a term collection puts its results into the same
/// collection, which owns them: the handle only points at the result. A set of no collection
/// gives its results to the caller: the handle owns the result and frees it when it goes.
///
///     auto both = cold.Intersection(warm);  // "cold and warm"
///     both->CenterOfGravity();
class TFuzzySetResult {
 public:
  /// How a holding handle gives its set up: `delete` for a plain set, dropping a reference
  /// for a counted one.
  using Releaser = void (*)(TFuzzySet* set);

  TFuzzySetResult() = default;
  /// A set owned elsewhere (by its collection).
  static TFuzzySetResult Borrowed(TFuzzySet& set) { return TFuzzySetResult(&set, nullptr); }
  /// A set that the handle holds and gives up through `release`.
  static TFuzzySetResult Held(TFuzzySet& set, Releaser release) {
    return TFuzzySetResult(&set, release);
  }

  TFuzzySetResult(TFuzzySetResult&& other) noexcept
      : FSet(std::exchange(other.FSet, nullptr)),
        FRelease(std::exchange(other.FRelease, nullptr)) {}
  TFuzzySetResult& operator=(TFuzzySetResult&& other) noexcept {
    TFuzzySetResult(std::move(other)).Swap(*this);
    return *this;
  }
  TFuzzySetResult(const TFuzzySetResult&) = delete;
  TFuzzySetResult& operator=(const TFuzzySetResult&) = delete;
  ~TFuzzySetResult() {
    if (FRelease != nullptr) FRelease(FSet);
  }

  TFuzzySet* Get() const noexcept { return FSet; }
  TFuzzySet* operator->() const noexcept { return FSet; }
  TFuzzySet& operator*() const noexcept { return *FSet; }
  explicit operator bool() const noexcept { return FSet != nullptr; }
  /// Whether the handle frees the set (a result of a set of no collection).
  bool Owns() const noexcept { return FRelease != nullptr; }

  void Swap(TFuzzySetResult& other) noexcept {
    std::swap(FSet, other.FSet);
    std::swap(FRelease, other.FRelease);
  }

 private:
  TFuzzySetResult(TFuzzySet* set, Releaser release) : FSet(set), FRelease(release) {}

  TFuzzySet* FSet = nullptr;
  Releaser FRelease = nullptr;
};

}  // namespace tapwise
