#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tapwise/foundation/Collection.h"
#include "tapwise/fuzzy/FuzzySetValue.h"
#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

class TFlatPoints;
class TFuzzySet;
namespace geometry {
struct TPoint;
}  // namespace geometry

/// The ordered point list of a fuzzy set: the piecewise linear membership function.
///
/// After every change made outside an update block (`BeginUpdate`/`EndUpdate`, nestable):
/// 1. the points are in ascending X, and points with X equal within tolerance keep their
///    relative order;
/// 2. no two successive points are equal within tolerance in both X and Y.
/// Any number of points may share one X (within tolerance): two make a vertical edge, three
/// a spike such as (x, 0), (x, 1), (x, 0), more the samples of a curve narrower than the
/// tolerance. The clean-up removes duplicates only, so it changes the membership function
/// by no more than the tolerance and leaves `Densify` the same segments to sample.
/// Inside a block changes are only noted; the list puts itself right once, at the end of
/// the outermost block. A point that was just added or changed survives the clean-up (its
/// duplicate goes instead), so a pointer returned by `AddPoint` stays valid.
///
/// The owning set, when there is one, bounds X to its universe and hears of every change
/// (`PointChanged`, `PointsChanged`), which makes it a user-defined set.
///
/// A list of plain points takes them from a chunk pool of its own and gives the storage of
/// those that `Delete` or `Clear` destroy back to it (up to `TChunkPool::kMaxKept`);
/// `ClearPoints` keeps as many of its points whole for the next points appended: a set
/// rebuilt point by point on every step (`Clear`, then `AddPoint`) allocates nothing. Every
/// added point is still a new point with a fresh identifier and the same notifications; only
/// its address may repeat, so keep no pointer to a point past its deletion.
class TFuzzySetValues : public TGCollection {
 public:
  /// A list owned by `set`, or a free-standing list when `set` is null. It checks the whole
  /// list at the end of a block rather than hearing of each point added inside it, so its
  /// points pass by the collection's hooks; a descendant that watches every point takes the
  /// protected constructor.
  explicit TFuzzySetValues(TFuzzySet* set = nullptr);
  ~TFuzzySetValues() override;

  std::string ClassName() const override { return "TFuzzySetValues"; }

  /// The owning set, or null.
  TFuzzySet* GetFuzzySet() const { return FSet; }
  /// The point at `index` (outside 0..Count-1 raises EListError).
  TFuzzySetValue* GetPoint(int index) const { return ItemAs<TFuzzySetValue>(index); }
  TFzyFloat GetX(int index) const { return GetPoint(index)->GetX(); }
  TFzyFloat GetY(int index) const { return GetPoint(index)->GetY(); }
  /// Whether the list is known to be in ascending X (after points were added inside a
  /// block, not before its end).
  bool IsSorted() const { return FSorted; }
  /// Whether the list is known to hold no successive duplicates.
  bool IsUnique() const { return FUnique; }

  /// Appends the point (x, y) and returns it; outside a block the list is put right at once
  /// (the point may move, or replace an equal point, and stays valid). Inside a block the
  /// clean-up at its end may merge the point into an equal one: keep no pointer past it.
  TFuzzySetValue* AddPoint(TFzyFloat x, TFzyFloat y);
  /// `AddPoint` for each of `points` in turn, inside an update block of the caller's, except
  /// that every point is checked before the first is added. A list of plain points that is
  /// empty in its outermost block reads its universe once and checks the order as it
  /// appends, so that the block's end need not look at the points again.
  void AppendPoints(std::span<const geometry::TPoint> points);
  /// Tells that exactly `count` points are about to be added, so that the storage taken for
  /// them fits them. Changes nothing that can be seen; a wrong count costs at most an
  /// allocation.
  void ExpectPoints(int count) noexcept { FPool.Expect(count - static_cast<int>(FSpare.size())); }
  /// Takes the storage for its points, a few at a time, from `source` where it can (see
  /// `TChunkPool::SetChunkSource`); null takes it from the heap again.
  void SetPointChunkSource(TChunkPool* source) noexcept { FPool.SetChunkSource(source); }

  /// `Clear`, in fewer steps for a list that passes by the hooks (same notifications to the
  /// set, same storage kept for reuse).
  void ClearPoints();

  /// The degree of membership at `x` (see `MembershipAt` in ShapeFunctions.h); no
  /// allocation.
  TFzyFloat GetMembership(TFzyFloat x) const;

  /// The mean of all degrees; an empty list raises EFzyException.
  TFzyFloat GetAverageYValue() const;
  /// The largest degree; an empty list raises EFzyException.
  TFzyFloat GetMaximumYValue() const;
  /// The smallest degree; an empty list raises EFzyException.
  TFzyFloat GetMinimumYValue() const;

  /// Steps from `start` by `step` (0 counts as +1), at least once, while the point there has
  /// X equal to `x` within tolerance; the index reached, or -1 when the walk left the list.
  /// `NextDistinctX(0, 1, GetX(0)) == -1` means every point sits on one X.
  int NextDistinctX(int start, int step, TFzyFloat x) const;
  /// As `NextDistinctX` on the degrees: -1 from (0, 1, GetY(0)) means the set is flat.
  int NextDistinctY(int start, int step, TFzyFloat y) const;

  /// Inserts points on the existing segments until the list holds at least `count` points,
  /// without changing the function: the extra points spread evenly over the non-vertical
  /// segments, the leftmost taking the surplus. Nothing for `count` <= 1.
  ///
  ///     (0, 0), (5, 1), (5, 0.5), (10, 0) densified to 7 gets two points on [0, 5], one on
  ///     [5, 10] and none on the vertical pair.
  void Densify(int count);
  /// Puts the points into ascending X (stable within tolerance) when not known sorted.
  void SortByX();
  /// Removes successive duplicates when needed.
  void RemoveDuplicates();
  /// `SortByX` then `RemoveDuplicates`, in one update block, when either is needed.
  void Tidy();

  /// `GetPoint(i)->SetY(degrees[i])` for the first points, as many as both hold, inside an
  /// update block that is about to check the whole list: a list that passes by the hooks
  /// takes the degrees without a report per point.
  void SetDegreesInBlock(std::span<const TFzyFloat> degrees);

  /// Called by a point after its X (`kXChanged`) and/or Y (`kYChanged`) changed: updates the
  /// flags and, outside a block, puts the list right at once. `item` itself is never
  /// removed by this (descendants must keep it too: the point reports its change next).
  virtual void ValueChanged(TFuzzySetValue& item, int flags);
  /// Appends copies of `count` points of `source` from `start`, clamped to what `source`
  /// holds, in one update block. `source` may be this list.
  virtual void CopyPoints(const TFuzzySetValues& source, int start, int count);

  /// From another point list: as the collection's `Assign` (the points replaced by copies
  /// of the source's, in one update block), without a type look-up per point.
  void Assign(const TPersistent& source) override;
  /// `Assign` from a list known to be a point list, without looking up its class: what a
  /// set's own copy uses. It does not go through an override of `Assign`.
  void AssignPoints(const TFuzzySetValues& source);
  /// `AssignPoints` with every degree above `cap` lowered to it, checked and tidied once:
  /// the points a copy of `source` has after `Correlate(false, cap)`.
  void AssignCappedPoints(const TFuzzySetValues& source, TFzyFloat cap);

  /// Whole-list updates check the order, put the list right and tell the owning set;
  /// single-point updates tell the set which point changed.
  void Update(TGCollectionItem* item) override;
  /// Tells each point which list it belongs to.
  void Notify(TGCollectionItem& item, TCollectionNotification action) override;

 protected:
  /// For descendant lists that watch every point through the collection's hooks (`Notify`,
  /// `Update`, `ValueChanged`), with points of `item_class` (`TFuzzySetValue` or a
  /// descendant, each allocated on its own).
  TFuzzySetValues(TFuzzySet* set, TCollectionItemClass item_class);

  /// A plain point from the pool, for a list that passes by the hooks.
  std::unique_ptr<TGCollectionItem> NewItem() override;
  /// Gives a plain point's storage back to the pool.
  void DisposeItem(std::unique_ptr<TGCollectionItem> item) override;

 private:
  friend class TFlatPoints;
  friend class TFuzzySetValue;

  // The list's own work, without update blocks of its own. `keep` (may be null) is never
  // deleted; with `place_keep` it ends last among the points of its X.
  void SortPoints(const TFuzzySetValue* keep, bool place_keep);
  void RemoveDuplicatePoints(const TFuzzySetValue* keep);
  // SortPoints' fast way when the tolerance orders the X values strictly (see there);
  // false, changing nothing, when it does not.
  bool SortByClusters();
  void Clean(const TFuzzySetValue* keep, bool place_keep);
  // A new plain point from the pool at (x, y) as given, appended past the hooks (all they do
  // for a point that joins this list is tell it its list).
  TFuzzySetValue* AppendPlainPoint(TFzyFloat x, TFzyFloat y);
  // ClearPoints' work inside a block: every point out, the plain ones kept as spares.
  void TakeOutPoints();
  // AddPoint's way for a checked point added to a list of plain points inside a block.
  TFuzzySetValue* AppendInBlock(TFzyFloat x, TFzyFloat y);
  // AssignPoints' copy for a list of plain points from another list, with the degrees
  // capped when `cap` is given.
  void CopyPlainPoints(const TFuzzySetValues& source, std::optional<TFzyFloat> cap);
  // Scans the whole list and sets the two flags from what it finds.
  void CheckOrder();
  // Whether the list, in order and clean before its last point was appended, still is.
  bool AppendKeepsOrder() const;
  [[noreturn]] static void RaiseEmpty(const char* operation);

  TFuzzySet* FSet;
  // The point the current whole-list clean-up must keep (set by AddPoint).
  const TFuzzySetValue* FKeep = nullptr;
  // The flags side by side, so that they share one word.
  bool FSorted = true;
  bool FUnique = true;
  // Set by AddPoint and Assign when they know that the list they leave is in order and
  // clean, for the whole-list update that ends their block.
  bool FOrderChecked = false;
  // Chosen at construction: whether points pass by the collection's hooks, taken from the
  // pool and checked as a whole at a block's end.
  bool FPassesHooks;
  TChunkPool FPool{sizeof(TFuzzySetValue)};
  // The contiguous copy of the points, made when first asked for: most lists (the terms as a
  // text defines them) are never walked that way, and a list that is keeps its copy.
  mutable std::unique_ptr<TFlatPoints> FFlat;
  // Plain points that ClearPoints took out, whole, for AppendPlainPoint to hand out again
  // (at most kMaxSpare; further ones go back to the pool).
  static constexpr std::size_t kMaxSpare = TChunkPool::kMaxKept;
  std::vector<std::unique_ptr<TFuzzySetValue>> FSpare;
};

}  // namespace tapwise
