#pragma once

#include <cstddef>
#include <new>
#include <string>

#include "tapwise/foundation/ChunkPool.h"
#include "tapwise/foundation/Collection.h"
#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

class TFuzzySetValues;

/// One membership point (X, Y) of a fuzzy set, an item of a `TFuzzySetValues` list.
///
/// A point of a list owned by a set keeps its X inside the set's universe and its Y
/// non-negative; every change is reported to the list, which keeps itself ordered and clean
/// (see `TFuzzySetValues`). Coordinates must be finite: NaN or an infinity raises
/// EFzyException and nothing is stored.
///
/// Every point (of this class or a descendant) is chunk pool storage (`TChunkPoolObject`): a
/// slot of its list's pool or a block of its own.
class TFuzzySetValue : public TGCollectionItem, public TChunkPoolObject {
 public:
  /// Which coordinates changed, as passed to `TFuzzySetValues::ValueChanged`.
  enum : int { kXChanged = 1, kYChanged = 2 };

  /// A point of no list, at (0, 0).
  TFuzzySetValue() = default;
  /// A point about to join `collection`: it starts one unit right of the last point there,
  /// with degree 0, or at (0, 0) when the collection is empty or null.
  explicit TFuzzySetValue(TGCollection* collection);

  std::string ClassName() const override { return "TFuzzySetValue"; }

  TFzyFloat GetX() const { return FX; }
  TFzyFloat GetY() const { return FY; }
  /// Moves the point; nothing when `value` equals X exactly. Clamped to the owning set's
  /// universe.
  virtual void SetX(TFzyFloat value);
  /// Changes the degree; nothing when `value` equals Y exactly. A negative degree becomes
  /// 0; there is no upper bound (sums of degrees may exceed 1).
  virtual void SetY(TFzyFloat value);
  /// Stores both coordinates and reports one change. In a list owned by a set, X is clamped
  /// to the universe and a negative Y becomes 0; otherwise both are stored unchanged.
  void SetXY(TFzyFloat x, TFzyFloat y);
  /// True when X and Y are each equal within tolerance.
  virtual bool SameAs(const TFuzzySetValue& other) const;

  /// From another point: `SetXY` with its coordinates.
  void Assign(const TPersistent& source) override;

 private:
  // The list this point belongs to, when it is a point list (kept by the list itself, so
  // that the hot path of every change needs no type look-up).
  TFuzzySetValues* GetValues() const { return FValues; }
  // Tells the list (which puts itself right) and then the collection.
  void Report(TFuzzySetValues* values, int flags);

  friend class TFuzzySetValues;

  TFuzzySetValues* FValues = nullptr;
  TFzyFloat FX = 0;
  TFzyFloat FY = 0;
};

}  // namespace tapwise
