#include "tapwise/fuzzy/FuzzySetValues.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "FiniteCheck.h"
#include "MatchDegree.h"
#include "tapwise/foundation/ExactType.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/ScopedAssignment.h"
#include "tapwise/foundation/UpdateScope.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyGeometry.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/ShapeFunctions.h"

namespace tapwise {

namespace {

// Closes an update block on every way out of a scope, failures included, so that the list
// always puts itself right.
using PointsUpdate = TUpdateScope<TFuzzySetValues>;
// Names the point a clean-up must keep for as long as the scope lasts.
using KeepPoint = TScopedAssignment<const TFuzzySetValue*>;

// Whether two points are equal within tolerance. Plain points compare inline; a descendant
// point may compare its own way.
bool Coincide(const TFuzzySetValue& point, const TFuzzySetValue& other) {
  if (!IsExactly<TFuzzySetValue>(point)) return point.SameAs(other);
  return SameFloat(point.GetX(), other.GetX()) && SameFloat(point.GetY(), other.GetY());
}

// The walk of NextDistinctX and NextDistinctY over the coordinate `coordinate`.
int NextDistinct(const TFuzzySetValues& values, int start, int step, TFzyFloat value,
                 TFzyFloat (TFuzzySetValue::*coordinate)() const) {
  if (step == 0) step = 1;
  const int count = values.GetCount();
  int index = start + step;
  while (index >= 0 && index < count && SameFloat((values.GetPoint(index)->*coordinate)(), value))
    index += step;
  return index >= 0 && index < count ? index : -1;
}

}  // namespace

TFuzzySetValues::TFuzzySetValues(TFuzzySet* set)
    : TGCollection(set, TCollectionItemClass::Of<TFuzzySetValue>()),
      FSet(set),
      FPassesHooks(true) {}

TFuzzySetValues::TFuzzySetValues(TFuzzySet* set, TCollectionItemClass item_class)
    : TGCollection(set, std::move(item_class)), FSet(set), FPassesHooks(false) {}

TFuzzySetValues::~TFuzzySetValues() = default;

std::unique_ptr<TGCollectionItem> TFuzzySetValues::NewItem() {
  if (!FPassesHooks) return TGCollection::NewItem();
  // Built as the item class would build it, in the pool's storage.
  return std::unique_ptr<TGCollectionItem>(::new (FPool.Allocate(sizeof(TFuzzySetValue)))
                                               TFuzzySetValue(this));
}

void TFuzzySetValues::DisposeItem(std::unique_ptr<TGCollectionItem> item) {
  // Plain points only: a descendant point taken in through AddItem has storage of its own.
  auto* point = ExactCast<TFuzzySetValue>(item.get());
  if (!FPassesHooks || point == nullptr) {
    TGCollection::DisposeItem(std::move(item));
    return;
  }
  item.release();
  std::destroy_at(point);
  FPool.Recycle(point);
}

TFuzzySetValue* TFuzzySetValues::AppendPlainPoint(TFzyFloat x, TFzyFloat y) {
  TFuzzySetValue* point = nullptr;
  if (!FSpare.empty()) {
    point = FSpare.back().release();
    FSpare.pop_back();
  } else {
    point = ::new (FPool.Allocate(sizeof(TFuzzySetValue))) TFuzzySetValue();
  }
  point->FX = x;
  point->FY = y;
  point->FValues = this;
  AppendWithoutHooks(std::unique_ptr<TGCollectionItem>(point));
  return point;
}

void TFuzzySetValues::ClearPoints() {
  if (GetCount() == 0) return;
  if (!FPassesHooks) {
    Clear();
    return;
  }
  // As Clear takes each point out, last first, in one block: an enclosing block is that one.
  if (GetUpdateCount() > 0) {
    TakeOutPoints();
    return;
  }
  PointsUpdate update(*this);
  TakeOutPoints();
}

void TFuzzySetValues::TakeOutPoints() {
  // The hooks of this list only tell a leaving point that it has left. A plain point that
  // leaves is unlinked and of no collection, as a new one is: it is kept whole for the next
  // point appended, which spares both its destruction and the next one's construction.
  while (GetCount() > 0) {
    std::unique_ptr<TGCollectionItem> item = TakeLastWithoutHooks();
    auto* point = static_cast<TFuzzySetValue*>(item.get());
    point->FValues = nullptr;
    if (FSpare.size() >= kMaxSpare || !IsExactly<TFuzzySetValue>(*point)) {
      TFuzzySetValues::DisposeItem(std::move(item));
      continue;
    }
    std::unique_ptr<TFuzzySetValue> spare(point);
    item.release();
    FSpare.push_back(std::move(spare));
  }
}

TFuzzySetValue* TFuzzySetValues::AddPoint(TFzyFloat x, TFzyFloat y) {
  // Checked before anything changes, so that a refused point leaves no trace.
  CheckFinite(x, "AddPoint", "X");
  CheckFinite(y, "AddPoint", "Y");
  // The degree is never negative.
  y = std::max(y, TFzyFloat{0});
  const bool outermost = GetUpdateCount() == 0;
  if (FPassesHooks && !outermost) return AppendInBlock(x, y);
  const bool was_clean = FSorted && FUnique;
  // One block: the list sorts and cleans itself once, and tells the set once. The new point
  // is the one kept when it meets an equal point, through the update that ends the block.
  KeepPoint keep(FKeep, FKeep);
  PointsUpdate update(*this);
  TFuzzySetValue* point = nullptr;
  if (!FPassesHooks) {
    point = static_cast<TFuzzySetValue*>(Add());
    point->SetXY(x, y);
  } else {
    // Both coordinates at once, as SetXY takes them. The point needs no report: the end of
    // this block checks the point alone.
    if (FSet != nullptr) x = std::min(std::max(x, FSet->GetXRange(1)), FSet->GetXRange(0));
    point = AppendPlainPoint(x, y);
    FOrderChecked = was_clean && AppendKeepsOrder();
  }
  if (outermost) FKeep = point;
  return point;
}

void TFuzzySetValues::AppendPoints(std::span<const geometry::TPoint> points) {
  for (const geometry::TPoint& point : points) {
    CheckFinite(point.X, "AddPoint", "X");
    CheckFinite(point.Y, "AddPoint", "Y");
  }
  ExpectPoints(static_cast<int>(points.size()));
  if (!FPassesHooks || GetUpdateCount() != 1 || GetCount() != 0) {
    for (const geometry::TPoint& point : points)
      AddPoint(point.X, point.Y);
    return;
  }
  const TFzyFloat minimum = FSet != nullptr ? FSet->GetXRange(1) : 0;
  const TFzyFloat maximum = FSet != nullptr ? FSet->GetXRange(0) : 0;
  bool clean = true;
  for (size_t i = 0; i < points.size(); ++i) {
    // Placed as AddPoint places it; the order checked as CheckOrder checks plain points.
    const TFzyFloat x =
        FSet != nullptr ? std::min(std::max(points[i].X, minimum), maximum) : points[i].X;
    const TFzyFloat y = std::max(points[i].Y, TFzyFloat{0});
    if (i > 0) {
      const TFuzzySetValue& before = *GetPoint(static_cast<int>(i) - 1);
      clean = clean && x >= before.FX - FuzzyEpsilon &&
              !(SameFloat(x, before.FX) && SameFloat(y, before.FY));
    }
    AppendPlainPoint(x, y);
  }
  // What AppendInBlock leaves when the list is not known clean: the block's end looks.
  FSorted = clean;
  FUnique = clean;
  FOrderChecked = clean;
}

TFuzzySetValue* TFuzzySetValues::AppendInBlock(TFzyFloat x, TFzyFloat y) {
  // The enclosing block's end checks the whole list and keeps whichever point it kept
  // before, so this point needs no block of its own.
  if (FSet != nullptr) x = std::min(std::max(x, FSet->GetXRange(1)), FSet->GetXRange(0));
  TFuzzySetValue* point = AppendPlainPoint(x, y);
  FOrderChecked = false;
  FSorted = false;
  FUnique = false;
  return point;
}

bool TFuzzySetValues::AppendKeepsOrder() const {
  const int last = GetCount() - 1;
  if (last < 1) return true;
  const TFuzzySetValue& point = *GetPoint(last);
  const TFuzzySetValue& previous = *GetPoint(last - 1);
  return point.FX >= previous.FX - FuzzyEpsilon && !Coincide(point, previous);
}

void TFuzzySetValues::SetDegreesInBlock(std::span<const TFzyFloat> degrees) {
  const int count = std::min(GetCount(), static_cast<int>(degrees.size()));
  if (GetUpdateCount() != 1 || !FPassesHooks) {
    for (int i = 0; i < count; ++i)
      GetPoint(i)->SetY(degrees[static_cast<size_t>(i)]);
    return;
  }
  // Checked before the first is stored, as SetY checks each before storing it; stored as
  // SetY stores it, without the report.
  for (int i = 0; i < count; ++i)
    CheckFinite(degrees[static_cast<size_t>(i)], "SetY", "Y");
  for (int i = 0; i < count; ++i)
    GetPoint(i)->FY = std::max(degrees[static_cast<size_t>(i)], TFzyFloat{0});
  NoteItemChange();
}

TFzyFloat TFuzzySetValues::GetMembership(TFzyFloat x) const {
  return MembershipAt(
      GetCount(), [this](int i) { return ItemAs<TFuzzySetValue>(i)->GetX(); },
      [this](int i) { return ItemAs<TFuzzySetValue>(i)->GetY(); }, x);
}

void TFuzzySetValues::RaiseEmpty(const char* operation) {
  throw EFzyException(Format(messages::kEmptySetOperation, operation));
}

TFzyFloat TFuzzySetValues::GetAverageYValue() const {
  const int count = GetCount();
  if (count == 0) RaiseEmpty("Get Average Y Value");
  return geometry::AverageDegree(*this);
}

TFzyFloat TFuzzySetValues::GetMaximumYValue() const {
  const int count = GetCount();
  if (count == 0) RaiseEmpty("Get Maximum Y Value");
  TFzyFloat best = ItemAs<TFuzzySetValue>(0)->GetY();
  for (int i = 1; i < count && best != 1; ++i)
    best = std::max(best, ItemAs<TFuzzySetValue>(i)->GetY());
  return best;
}

TFzyFloat TFuzzySetValues::GetMinimumYValue() const {
  const int count = GetCount();
  if (count == 0) RaiseEmpty("Get Minimum Y Value");
  TFzyFloat best = ItemAs<TFuzzySetValue>(0)->GetY();
  for (int i = 1; i < count && best != 0; ++i)
    best = std::min(best, ItemAs<TFuzzySetValue>(i)->GetY());
  return best;
}

int TFuzzySetValues::NextDistinctX(int start, int step, TFzyFloat x) const {
  return NextDistinct(*this, start, step, x, &TFuzzySetValue::GetX);
}

int TFuzzySetValues::NextDistinctY(int start, int step, TFzyFloat y) const {
  return NextDistinct(*this, start, step, y, &TFuzzySetValue::GetY);
}

void TFuzzySetValues::Densify(int count) {
  if (count <= 1 || GetCount() >= count) return;
  CheckPointCount(count, "Densify", FSet != nullptr ? FSet->GetName() : std::string());
  int missing = count - GetCount();
  int segments = 0;
  for (int i = 0; i + 1 < GetCount(); ++i) {
    if (GetX(i + 1) - GetX(i) > FuzzyEpsilon) ++segments;
  }
  if (segments == 0) return;
  PointsUpdate update(*this);
  // The new points are appended and then put in place in one pass: inserting each in the
  // middle would move the rest of the list every time.
  const int original = GetCount();
  std::vector<int> order;
  order.reserve(static_cast<size_t>(count));
  int i = 0;
  while (i + 1 < original && missing > 0) {
    order.push_back(i);
    const TFzyFloat x1 = GetX(i);
    const TFzyFloat y1 = GetY(i);
    const TFzyFloat x2 = GetX(i + 1);
    const TFzyFloat y2 = GetY(i + 1);
    ++i;
    if (x2 - x1 <= FuzzyEpsilon) continue;  // a vertical pair is no segment
    const int k = (missing + segments - 1) / segments;
    const TFzyFloat step = (x2 - x1) / (k + 1);
    for (int j = 1; j <= k; ++j) {
      const TFzyFloat x = x1 + j * step;
      static_cast<TFuzzySetValue*>(Add())->SetXY(x, Interpolate(x1, y1, x2, y2, x));
      order.push_back(GetCount() - 1);
    }
    missing -= k;
    --segments;
  }
  for (; i < original; ++i)
    order.push_back(i);
  ArrangeItems(order);
}

void TFuzzySetValues::SortByX() {
  if (FSorted) return;
  PointsUpdate update(*this);
  SortPoints(nullptr, false);
}

void TFuzzySetValues::RemoveDuplicates() {
  if (FUnique) return;
  PointsUpdate update(*this);
  RemoveDuplicatePoints(nullptr);
}

void TFuzzySetValues::Tidy() {
  if (FSorted && FUnique) return;
  PointsUpdate update(*this);
  Clean(FKeep, false);
}

void TFuzzySetValues::Clean(const TFuzzySetValue* keep, bool place_keep) {
  if (!FSorted) SortPoints(keep, place_keep);
  if (!FUnique) RemoveDuplicatePoints(keep);
}

void TFuzzySetValues::SortPoints(const TFuzzySetValue* keep, bool place_keep) {
  // A selection by moves rather than std::sort: points whose X are equal within tolerance
  // must keep their order (it is the shape of a vertical edge), and "equal within
  // tolerance" is no strict weak ordering.
  const int count = GetCount();
  // The selection moves nothing when no point lies more than the tolerance left of any point
  // before it: one pass tells, so that a list in order (the usual case, however long) costs
  // linear time instead of quadratic.
  bool in_order = true;
  TFzyFloat highest = count > 0 ? GetX(0) : 0;
  for (int i = 1; i < count && in_order; ++i) {
    const TFzyFloat x = GetX(i);
    in_order = x >= highest - FuzzyEpsilon;
    highest = std::max(highest, x);
  }
  if (!in_order && !SortByClusters()) {
    for (int i = 0; i < count; ++i) {
      for (int j = i + 1; j < count; ++j) {
        if (GetX(j) < GetX(i) - FuzzyEpsilon) GetPoint(j)->SetIndex(i);
      }
    }
  }
  if (keep != nullptr && place_keep) {
    // The point just moved goes after the points already on its X.
    int last = keep->GetIndex();
    while (last + 1 < count && SameFloat(GetX(last + 1), GetX(last)))
      ++last;
    if (last != keep->GetIndex()) GetPoint(keep->GetIndex())->SetIndex(last);
  }
  FSorted = true;
}

bool TFuzzySetValues::SortByClusters() {
  // "Left of by more than the tolerance" is a strict weak ordering when the X values fall
  // into clusters, each within the tolerance of its lowest value and each more than the
  // tolerance right of the one before. Then the selection in SortPoints amounts to a stable
  // sort by cluster, which this gives in n log n steps instead of n squared (a long list in
  // descending X took seconds). Values that chain across the tolerance leave it to the
  // selection.
  const int count = GetCount();
  std::vector<std::pair<TFzyFloat, int>> by_x;
  by_x.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    by_x.emplace_back(GetX(i), i);
  std::sort(by_x.begin(), by_x.end());
  std::vector<int> cluster(static_cast<size_t>(count));
  int current = 0;
  TFzyFloat lowest = by_x.front().first;
  TFzyFloat highest = lowest;
  for (const auto& [x, index] : by_x) {
    if (!(lowest < x - FuzzyEpsilon)) {
      highest = x;
    } else if (highest < x - FuzzyEpsilon) {
      ++current;
      lowest = x;
      highest = x;
    } else {
      return false;
    }
    cluster[static_cast<size_t>(index)] = current;
  }
  std::vector<int> order(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    order[static_cast<size_t>(i)] = i;
  std::stable_sort(order.begin(), order.end(), [&cluster](int a, int b) {
    return cluster[static_cast<size_t>(a)] < cluster[static_cast<size_t>(b)];
  });
  ArrangeItems(order);
  return true;
}

void TFuzzySetValues::RemoveDuplicatePoints(const TFuzzySetValue* keep) {
  if (!FSorted) SortPoints(keep, false);
  // Only duplicates go. A run on one X keeps its other points however long it is: they may
  // be the samples of a curve narrower than the tolerance, and Densify samples the segments
  // between them. The survivors are chosen on a list of pointers and the others deleted in one pass
  // at the end: deleting one by one from the middle would cost quadratic time.
  const int count = GetCount();
  std::vector<TFuzzySetValue*> points;
  points.reserve(static_cast<size_t>(count));
  // Of successive duplicates the first stays, unless a later one is `keep`, which then
  // takes its place.
  for (int i = 0; i < count; ++i) {
    TFuzzySetValue* point = GetPoint(i);
    if (points.empty() || !point->SameAs(*points.back())) {
      points.push_back(point);
    } else if (point == keep) {
      points.back() = point;
    }
  }
  if (static_cast<int>(points.size()) < count) {
    std::vector<bool> doomed(static_cast<size_t>(count), true);
    for (const TFuzzySetValue* point : points)
      doomed[static_cast<size_t>(point->GetIndex())] = false;
    DeleteItems(doomed);
  }
  FUnique = true;
}

void TFuzzySetValues::CheckOrder() {
  const int count = GetCount();
  FSorted = true;
  FUnique = true;
  const TFuzzySetValue* point = count > 0 ? GetPoint(0) : nullptr;
  for (int i = 1; i < count; ++i) {
    const TFuzzySetValue* previous = point;
    point = GetPoint(i);
    if (point->GetX() < previous->GetX() - FuzzyEpsilon) FSorted = false;
    if (Coincide(*point, *previous)) FUnique = false;
  }
  FUnique = FUnique && FSorted;
}

void TFuzzySetValues::ValueChanged(TFuzzySetValue& item, int flags) {
  const int count = GetCount();
  const int index = item.GetIndex();
  if (count > 1) {
    const TFuzzySetValue* previous = index > 0 ? GetPoint(index - 1) : nullptr;
    const TFuzzySetValue* next = index + 1 < count ? GetPoint(index + 1) : nullptr;
    if (FSorted && (flags & TFuzzySetValue::kXChanged) != 0) {
      const TFzyFloat low = previous != nullptr ? previous->GetX() : item.GetX();
      const TFzyFloat high = next != nullptr ? next->GetX() : item.GetX();
      FSorted = low - FuzzyEpsilon <= item.GetX() && item.GetX() <= high + FuzzyEpsilon;
    }
    FUnique = FUnique && FSorted;
    // A change of X alone can also meet an equal neighbour.
    if (FUnique) {
      FUnique = !(previous != nullptr && item.SameAs(*previous)) &&
                !(next != nullptr && item.SameAs(*next));
    }
  }
  if (GetUpdateCount() > 0 || (FSorted && FUnique)) return;
  // Kept through the whole-list check that ends the block as well.
  KeepPoint keep(FKeep, &item);
  PointsUpdate update(*this);
  Clean(&item, (flags & TFuzzySetValue::kXChanged) != 0);
}

void TFuzzySetValues::CopyPoints(const TFuzzySetValues& source, int start, int count) {
  const int available = source.GetCount();
  if (available == 0) return;
  start = std::clamp(start, 0, available - 1);
  count = std::clamp(count, 0, available - start);
  if (count == 0) return;
  PointsUpdate update(*this);
  for (int i = start; i < start + count; ++i)
    Add()->Assign(*source.GetPoint(i));
}

void TFuzzySetValues::Assign(const TPersistent& source) {
  if (const auto* other = dynamic_cast<const TFuzzySetValues*>(&source)) {
    AssignPoints(*other);
  } else {
    TGCollection::Assign(source);
  }
}

void TFuzzySetValues::AssignPoints(const TFuzzySetValues& source) {
  // Only a list of plain points can set its new points' coordinates directly; that is what
  // the collection's Assign does too, through each point's Assign.
  if (!FPassesHooks || &source == this) {
    TGCollection::Assign(source);
    return;
  }
  CopyPlainPoints(source, std::nullopt);
}

void TFuzzySetValues::AssignCappedPoints(const TFuzzySetValues& source, TFzyFloat cap) {
  if (FPassesHooks && &source != this) {
    CopyPlainPoints(source, cap);
    return;
  }
  TUpdateScope<TFuzzySetValues> update(*this);
  AssignPoints(source);
  for (int i = 0, count = GetCount(); i < count; ++i) {
    TFuzzySetValue& point = *GetPoint(i);
    if (point.GetY() > cap) point.SetY(cap);
  }
}

void TFuzzySetValues::CopyPlainPoints(const TFuzzySetValues& source, std::optional<TFzyFloat> cap) {
  TUpdateScope<TFuzzySetValues> update(*this);
  ClearPoints();
  const int count = source.GetCount();
  ReserveItems(count);
  ExpectPoints(count);
  // The source's coordinates are finite; the block's end checks and tidies the whole list.
  // Placed as AddPoint places a point, with the universe read once: nothing outside this
  // loop runs between two points.
  const TFuzzySet* set = GetFuzzySet();
  const TFzyFloat minimum = set != nullptr ? set->GetXRange(1) : 0;
  const TFzyFloat maximum = set != nullptr ? set->GetXRange(0) : 0;
  // Whether the copy is known clean: a source outside any block, known clean, whose plain
  // points come over unchanged (a descendant point may compare its own way).
  bool clean_copy = source.GetUpdateCount() == 0 && source.IsSorted() && source.IsUnique();
  for (int i = 0; i < count; ++i) {
    const TFuzzySetValue* point = source.GetPoint(i);
    TFzyFloat x = point->FX;
    TFzyFloat y = point->FY;
    if (set != nullptr) {
      // Not std::clamp: with momentarily inverted bounds the upper bound wins.
      x = std::min(std::max(x, minimum), maximum);
      y = y < 0 ? 0 : y;
    }
    // As a cap through SetY stores it: never below 0.
    if (cap) y = std::max(y > *cap ? *cap : y, TFzyFloat{0});
    AppendPlainPoint(x, y);
    clean_copy =
        clean_copy && IsExactly<TFuzzySetValue>(*point) && x == point->FX && y == point->FY;
  }
  // Read by the whole-list update that ends this block, when it is the outermost one. The
  // flags hold inside an enclosing block too, as after point-by-point changes.
  FOrderChecked = clean_copy && GetUpdateCount() == 1;
  if (GetUpdateCount() > 1) CheckOrder();
}

void TFuzzySetValues::Notify(TGCollectionItem& item, TCollectionNotification action) {
  TGCollection::Notify(item, action);
  // The item class admits only points (descendant lists pass point classes too).
  auto& point = static_cast<TFuzzySetValue&>(item);
  if (action == cnAdded) point.FValues = this;
  if (action == cnExtracting) point.FValues = nullptr;
}

void TFuzzySetValues::Update(TGCollectionItem* item) {
  TGCollection::Update(item);
  if (item == nullptr) {
    // A point appended in a block of its own was checked against its neighbours already,
    // and a clean list copied unchanged is clean: the whole list needs no second look
    // (which made building a long list point by point quadratic).
    if (!std::exchange(FOrderChecked, false)) CheckOrder();
    if (!FSorted || !FUnique) {
      // The clean-up's own block ends in a further whole-list update, which tells the set.
      Tidy();
      return;
    }
  } else if (GetCount() < 2) {
    FSorted = true;
    FUnique = true;
  }
  if (FSet == nullptr) return;
  if (item != nullptr) {
    FSet->PointChanged(*static_cast<TFuzzySetValue*>(item));
  } else {
    FSet->PointsChanged();
  }
}

}  // namespace tapwise
