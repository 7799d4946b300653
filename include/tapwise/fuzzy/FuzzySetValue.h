#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <string>

#include "tapwise/foundation/Collection.h"
#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

class TFuzzySetValues;
struct TPointChunk;

/// Where a list of plain points takes its new points from: a chunk of a few slots at a time,
/// so that a set of a few points costs one allocation for them rather than one per point.
///
/// A chunk stays until its last point is gone and the list has moved on to another chunk
/// (or is itself gone): a point may leave its list (`TGCollection::Extract`) and outlive it,
/// and be destroyed by its owner on any thread. A slot is used once; a list that loses and
/// gains points over and over takes new chunks as its old ones empty, and reuses the points
/// it keeps (`TFuzzySetValues::kMaxSparePoints`) before it takes any slot.
class TPointChunks {
 public:
  /// Slots per chunk.
  static constexpr int kSlots = 4;
  static_assert(kSlots <= 255);

  TPointChunks() = default;
  /// Lets go of the chunk being filled; it goes when its points are gone.
  ~TPointChunks() { Release(); }
  TPointChunks(const TPointChunks&) = delete;
  TPointChunks& operator=(const TPointChunks&) = delete;

  /// Tells that `count` more plain points are about to be taken: a chunk taken for them has
  /// room for just those left over after the free slots of the present chunk (at most
  /// kSlots), so that a set of three points carries no fourth slot. Any further point takes
  /// a chunk of its own, so the hint must be exact to save anything.
  void Expect(int count) noexcept {
    const int free = FChunk != nullptr ? FSlots - FNext : 0;
    FNextSlots =
        static_cast<std::uint8_t>(count - free < 1 ? kSlots : std::min(count - free, kSlots));
  }

 private:
  friend class TFuzzySetValue;

  // Storage for an object of `size` bytes after its header: the next slot for a plain
  // point, a lone allocation for an object of any other size.
  void* Allocate(std::size_t size);
  // Gives up the list's hold on FChunk, with its unused slots.
  void Release() noexcept;

  TPointChunk* FChunk = nullptr;
  // Counts of at most kSlots, small enough to keep this beside the chunk pointer.
  std::uint8_t FNext = 0;            // the next free slot of FChunk
  std::uint8_t FSlots = 0;           // FChunk's slots
  std::uint8_t FNextSlots = kSlots;  // the next chunk's
};

/// One membership point (X, Y) of a fuzzy set, an item of a `TFuzzySetValues` list.
///
/// A point of a list owned by a set keeps its X inside the set's universe and its Y
/// non-negative; every change is reported to the list, which keeps itself ordered and clean
/// (see `TFuzzySetValues`). Coordinates must be finite: NaN or an infinity raises
/// EFzyException and nothing is stored.
class TFuzzySetValue : public TGCollectionItem {
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

  // Every point (of this class or a descendant) has a small header before it that names
  // the chunk it sits in, or none for a lone allocation; deleting a point through any
  // pointer to it gives its slot back to its chunk.
  static void* operator new(std::size_t size);
  /// A slot from `chunks` (a lone allocation for a descendant's larger object).
  static void* operator new(std::size_t size, TPointChunks& chunks);
  static void operator delete(void* object, std::size_t size) noexcept;
  // Called only when a constructor fails after the placement form above.
  static void operator delete(void* object, TPointChunks& chunks) noexcept;
  // A descendant aligned beyond the usual alignment: plain aligned storage, no header.
  static void* operator new(std::size_t size, std::align_val_t alignment);
  static void operator delete(void* object, std::size_t size, std::align_val_t alignment) noexcept;

 private:
  // The list this point belongs to, when it is a point list (kept by the list itself, so
  // that the hot path of every change needs no type look-up).
  TFuzzySetValues* GetValues() const { return FValues; }
  // Tells the list (which puts itself right) and then the collection.
  void Report(TFuzzySetValues* values, int flags);
  // SetXY for a point just added inside an update block of its list: the coordinates are
  // taken as SetXY takes them, without the report, since the block's end checks the whole
  // list anyway.
  void PlaceXY(TFzyFloat x, TFzyFloat y);
  // The same for the degree alone, as SetY takes it.
  void PlaceY(TFzyFloat y);

  friend class TFuzzySetValues;

  TFuzzySetValues* FValues = nullptr;
  TFzyFloat FX = 0;
  TFzyFloat FY = 0;
};

}  // namespace tapwise
