#include "tapwise/fuzzy/FuzzySetValue.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <typeinfo>

#if defined(__has_include)
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#endif

#include "FiniteCheck.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzySetValues.h"

namespace tapwise {

namespace {

// Bounds X to the universe of the set that owns `values`; points of a free-standing list
// (or of none) are not bounded.
TFzyFloat ClampToUniverse(const TFuzzySetValues* values, TFzyFloat x) {
  const TFuzzySet* set = values != nullptr ? values->GetFuzzySet() : nullptr;
  if (set == nullptr) return x;
  const TFzyFloat minimum = set->GetXRange(1);
  const TFzyFloat maximum = set->GetXRange(0);
  // Not std::clamp: a variable whose bounds are momentarily inverted must not make this
  // undefined; the upper bound wins.
  return std::min(std::max(x, minimum), maximum);
}

}  // namespace

// ---- Point storage ----

/// A block of at most `TPointChunks::kSlots` slots, each a header and room for one plain point. Its
/// count starts at every slot plus the list's hold: a slot's point going takes one off, the
/// list letting go takes its hold and the slots it never handed out. The last one frees it.
struct TPointChunk {
  std::atomic<int32_t> Live;
  int32_t Slots;
};

namespace {

// Right before every point: its chunk, or null for a lone allocation.
struct TPointHeader {
  TPointChunk* Chunk;
};
constexpr std::size_t kAlignment = __STDCPP_DEFAULT_NEW_ALIGNMENT__;
constexpr std::size_t RoundUp(std::size_t size, std::size_t alignment) {
  return (size + alignment - 1) / alignment * alignment;
}
// A slot is a header and a plain point back to back, and the chunk's count is padded so that
// every point in a chunk keeps the alignment the usual operator new gives.
constexpr std::size_t kHeaderSize = sizeof(TPointHeader);
constexpr std::size_t kSlotSize = RoundUp(kHeaderSize + sizeof(TFuzzySetValue), kAlignment);
constexpr std::size_t kChunkHeaderSize =
    RoundUp(sizeof(TPointChunk) + kHeaderSize, kAlignment) - kHeaderSize;
constexpr std::size_t ChunkSize(int slots) {
  return kChunkHeaderSize + static_cast<std::size_t>(slots) * kSlotSize;
}
// A lone object (a descendant of any size) keeps that alignment too: it starts this far into
// its block, its header right in front of it.
constexpr std::size_t kLoneOffset = RoundUp(kHeaderSize, kAlignment);
static_assert(alignof(TFuzzySetValue) <= kAlignment);
static_assert(alignof(TPointChunk) <= alignof(TPointHeader));
static_assert(alignof(TPointHeader) <= kAlignment && kHeaderSize % alignof(TPointHeader) == 0);

// Slots not in use are poisoned for the address checker, so that a point used after its
// deletion is caught as it would be in storage of its own.
void Poison([[maybe_unused]] void* start, [[maybe_unused]] std::size_t size) {
#if defined(ASAN_POISON_MEMORY_REGION)
  ASAN_POISON_MEMORY_REGION(start, size);
#endif
}
void Unpoison([[maybe_unused]] void* start, [[maybe_unused]] std::size_t size) {
#if defined(ASAN_UNPOISON_MEMORY_REGION)
  ASAN_UNPOISON_MEMORY_REGION(start, size);
#endif
}

std::byte* SlotOf(TPointChunk* chunk, int index) {
  return reinterpret_cast<std::byte*>(chunk) + kChunkHeaderSize +
         static_cast<std::size_t>(index) * kSlotSize;
}

// Takes `count` off the chunk's count and frees it when that was the rest.
void DropFromChunk(TPointChunk* chunk, int32_t count) noexcept {
  if (chunk->Live.fetch_sub(count, std::memory_order_acq_rel) != count) return;
  const std::size_t size = ChunkSize(chunk->Slots);
  chunk->~TPointChunk();
  Unpoison(chunk, size);
  ::operator delete(static_cast<void*>(chunk));
}

void* LoneAllocation(std::size_t size) {
  auto* object = static_cast<std::byte*>(::operator new(kLoneOffset + size)) + kLoneOffset;
  ::new (static_cast<void*>(object - kHeaderSize)) TPointHeader{nullptr};
  return object;
}

void FreePoint(void* object) noexcept {
  if (object == nullptr) return;
  std::byte* start = static_cast<std::byte*>(object) - kHeaderSize;
  TPointChunk* chunk = reinterpret_cast<TPointHeader*>(start)->Chunk;
  if (chunk == nullptr) {
    // Unsized: a constructor that fails after the placement form knows no exact size (nor
    // do all compilers offer the sized form).
    ::operator delete(static_cast<void*>(static_cast<std::byte*>(object) - kLoneOffset));
    return;
  }
  Poison(start, kSlotSize);
  DropFromChunk(chunk, 1);
}

}  // namespace

void* TPointChunks::Allocate(std::size_t size) {
  if (size != sizeof(TFuzzySetValue)) return LoneAllocation(size);
  if (FChunk == nullptr || FNext == FSlots) {
    const int slots = FNextSlots;
    void* storage = ::operator new(ChunkSize(slots));
    auto* chunk = ::new (storage) TPointChunk{slots + 1, slots};
    Poison(SlotOf(chunk, 0), static_cast<std::size_t>(slots) * kSlotSize);
    Release();
    FChunk = chunk;
    FNext = 0;
    FSlots = static_cast<std::uint8_t>(slots);
    FNextSlots = kSlots;
  }
  std::byte* start = SlotOf(FChunk, FNext++);
  Unpoison(start, kSlotSize);
  ::new (static_cast<void*>(start)) TPointHeader{FChunk};
  return start + kHeaderSize;
}

void TPointChunks::Release() noexcept {
  if (FChunk == nullptr) return;
  DropFromChunk(FChunk, FSlots - FNext + 1);
  FChunk = nullptr;
}

void* TFuzzySetValue::operator new(std::size_t size) {
  return LoneAllocation(size);
}

void* TFuzzySetValue::operator new(std::size_t size, TPointChunks& chunks) {
  return chunks.Allocate(size);
}

void TFuzzySetValue::operator delete(void* object, std::size_t) noexcept {
  FreePoint(object);
}

void TFuzzySetValue::operator delete(void* object, TPointChunks&) noexcept {
  FreePoint(object);
}

void* TFuzzySetValue::operator new(std::size_t size, std::align_val_t alignment) {
  return ::operator new(size, alignment);
}

void TFuzzySetValue::operator delete(void* object, std::size_t,
                                     std::align_val_t alignment) noexcept {
  ::operator delete(object, alignment);
}

// ---- TFuzzySetValue ----

TFuzzySetValue::TFuzzySetValue(TGCollection* collection) {
  if (collection != nullptr && collection->GetCount() > 0) {
    const TGCollectionItem* item = collection->GetItem(collection->GetCount() - 1);
    // Points are nearly always plain points; their exact type spares the cast its walk.
    const auto* last = typeid(*item) == typeid(TFuzzySetValue)
                           ? static_cast<const TFuzzySetValue*>(item)
                           : dynamic_cast<const TFuzzySetValue*>(item);
    if (last != nullptr) FX = last->FX + 1;
  }
}

void TFuzzySetValue::SetX(TFzyFloat value) {
  if (value == FX) return;
  CheckFinite(value, "SetX", "X");
  TFuzzySetValues* values = GetValues();
  FX = ClampToUniverse(values, value);
  Report(values, kXChanged);
}

void TFuzzySetValue::SetY(TFzyFloat value) {
  if (value == FY) return;
  CheckFinite(value, "SetY", "Y");
  FY = value < 0 ? 0 : value;
  Report(GetValues(), kYChanged);
}

void TFuzzySetValue::SetXY(TFzyFloat x, TFzyFloat y) {
  CheckFinite(x, "SetXY", "X");
  CheckFinite(y, "SetXY", "Y");
  TFuzzySetValues* values = GetValues();
  if (values != nullptr && values->GetFuzzySet() != nullptr) {
    x = ClampToUniverse(values, x);
    if (y < 0) y = 0;
  }
  FX = x;
  FY = y;
  Report(values, kXChanged | kYChanged);
}

void TFuzzySetValue::PlaceXY(TFzyFloat x, TFzyFloat y) {
  TFuzzySetValues* values = GetValues();
  if (values->GetFuzzySet() != nullptr) {
    x = ClampToUniverse(values, x);
    if (y < 0) y = 0;
  }
  FX = x;
  FY = y;
  values->NoteItemChange();
}

void TFuzzySetValue::PlaceY(TFzyFloat y) {
  FY = y < 0 ? 0 : y;
  GetValues()->NoteItemChange();
}

bool TFuzzySetValue::SameAs(const TFuzzySetValue& other) const {
  return SameFloat(FX, other.FX) && SameFloat(FY, other.FY);
}

void TFuzzySetValue::Assign(const TPersistent& source) {
  if (const auto* point = dynamic_cast<const TFuzzySetValue*>(&source)) {
    SetXY(point->FX, point->FY);
    return;
  }
  TGCollectionItem::Assign(source);
}

void TFuzzySetValue::Report(TFuzzySetValues* values, int flags) {
  if (values != nullptr) {
    values->NoteItemChange();
    values->ValueChanged(*this, flags);
  }
  Changed(false);
}

}  // namespace tapwise
