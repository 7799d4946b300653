#pragma once

#include <functional>
#include <memory>
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

/// Gives up a set that a result handle holds, as the set's class says
/// (`TFuzzySet::FreeHeld`): a plain set is deleted, a counted one loses the handle's
/// reference.
struct TFuzzySetDeleter {
  void operator()(TFuzzySet* set) const noexcept;
};

/// A set in the hands of whoever holds this pointer, given up by `TFuzzySetDeleter`.
using THeldFuzzySet = std::unique_ptr<TFuzzySet, TFuzzySetDeleter>;

/// The set an operation made. A set of a term collection puts its results into the same
/// collection, which owns them: the handle only points at the result. A set of no collection
/// gives its results to the caller: the handle owns the result and frees it when it goes.
///
///     auto both = cold.Intersection(warm);  // "cold and warm"
///     both->CenterOfGravity();
class TFuzzySetResult {
 public:
  TFuzzySetResult() = default;
  /// A set owned elsewhere (by its collection).
  static TFuzzySetResult Borrowed(TFuzzySet& set) { return TFuzzySetResult(&set, nullptr); }
  /// A set that the handle holds.
  static TFuzzySetResult Held(THeldFuzzySet set) {
    TFuzzySet* held = set.get();
    return TFuzzySetResult(held, std::move(set));
  }

  TFuzzySetResult(TFuzzySetResult&& other) noexcept
      : FSet(std::exchange(other.FSet, nullptr)), FHeld(std::move(other.FHeld)) {}
  TFuzzySetResult& operator=(TFuzzySetResult&& other) noexcept {
    FHeld = std::move(other.FHeld);
    FSet = std::exchange(other.FSet, nullptr);
    return *this;
  }

  TFuzzySet* Get() const noexcept { return FSet; }
  TFuzzySet* operator->() const noexcept { return FSet; }
  TFuzzySet& operator*() const noexcept { return *FSet; }
  explicit operator bool() const noexcept { return FSet != nullptr; }
  /// Whether the handle frees the set (a result of a set of no collection).
  bool Owns() const noexcept { return FHeld != nullptr; }

 private:
  TFuzzySetResult(TFuzzySet* set, THeldFuzzySet held) : FSet(set), FHeld(std::move(held)) {}

  TFuzzySet* FSet = nullptr;
  THeldFuzzySet FHeld;
};

}  // namespace tapwise
