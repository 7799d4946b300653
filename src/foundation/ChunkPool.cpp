#include "tapwise/foundation/ChunkPool.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <utility>

#if defined(__has_include)
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#endif

namespace tapwise {

// A block of slots, each a header and room for one object. Its count starts at every slot
// plus the pool's hold: a slot given back takes one off, the pool letting go takes its hold
// and the slots it never handed out. The last one frees it.
struct detail::TPoolChunk {
  std::atomic<std::int32_t> Live;
  std::int32_t Slots;
  std::size_t SlotSize;
};

// A recycled slot's object storage links it to the next kept one.
struct TChunkPool::TKept {
  TKept* Next;
};

namespace {

using detail::TPoolChunk;

constexpr std::size_t kAlignment = __STDCPP_DEFAULT_NEW_ALIGNMENT__;
constexpr std::size_t RoundUp(std::size_t size, std::size_t alignment) {
  return (size + alignment - 1) / alignment * alignment;
}
// Right before every piece of storage, its header: its chunk, or null for a block of its own.
constexpr std::size_t kHeaderSize = sizeof(TPoolChunk*);
// Padded so that every object in a chunk keeps the alignment the usual operator new gives.
constexpr std::size_t kChunkHeaderSize =
    RoundUp(sizeof(TPoolChunk) + kHeaderSize, kAlignment) - kHeaderSize;
// A block of its own keeps that alignment too: the object starts this far into it.
constexpr std::size_t kLoneOffset = RoundUp(kHeaderSize, kAlignment);
static_assert(alignof(TPoolChunk) <= kHeaderSize && kHeaderSize <= kAlignment);

// Slots not in use are poisoned for the address checker, so that an object used after its
// storage went back is caught as it would be in storage of its own.
#if defined(ASAN_POISON_MEMORY_REGION)
void Poison(void* start, std::size_t size) {
  ASAN_POISON_MEMORY_REGION(start, size);
}
void Unpoison(void* start, std::size_t size) {
  ASAN_UNPOISON_MEMORY_REGION(start, size);
}
#else
void Poison(void*, std::size_t) {}
void Unpoison(void*, std::size_t) {}
#endif

TPoolChunk*& ChunkOf(void* storage) {
  return *reinterpret_cast<TPoolChunk**>(static_cast<std::byte*>(storage) - kHeaderSize);
}

std::byte* SlotOf(TPoolChunk* chunk, int index) {
  return reinterpret_cast<std::byte*>(chunk) + kChunkHeaderSize +
         static_cast<std::size_t>(index) * chunk->SlotSize;
}

// Takes `count` off the chunk's count and frees it when that was the rest. A chunk's storage
// is itself pool storage (a slot of a source pool, or a block of its own).
void DropFromChunk(TPoolChunk* chunk, std::int32_t count) noexcept {
  // Counts only ever go down, so when `count` is all that is left nobody else can change
  // it any more, and the chunk goes without a locked instruction.
  if (chunk->Live.load(std::memory_order_acquire) != count &&
      chunk->Live.fetch_sub(count, std::memory_order_acq_rel) != count)
    return;
  const std::size_t size =
      kChunkHeaderSize + static_cast<std::size_t>(chunk->Slots) * chunk->SlotSize;
  std::destroy_at(chunk);
  Unpoison(chunk, size);
  TChunkPool::Free(chunk);
}

}  // namespace

TChunkPool::TChunkPool(std::size_t object_size) noexcept
    : FObjectSize(object_size), FSlotSize(SlotSizeFor(object_size)) {}

std::size_t TChunkPool::SlotSizeFor(std::size_t object_size) noexcept {
  return RoundUp(kHeaderSize + std::max(object_size, sizeof(TKept)), kAlignment);
}

TChunkPool::~TChunkPool() {
  while (FKept != nullptr)
    Free(std::exchange(FKept, FKept->Next));
  LetGo();
}

void TChunkPool::Expect(int count) noexcept {
  count -= FKeptCount;
  const int free = FChunk != nullptr ? FSlots - FNext : 0;
  FNextSlots =
      static_cast<std::uint8_t>(count - free < 1 ? kSlots : std::min(count - free, kSlots));
}

void* TChunkPool::Allocate(std::size_t size) {
  // Nearly every call finds a free slot in the chunk being filled: that way needs no frame.
  if (size == FObjectSize && FKept == nullptr && FChunk != nullptr && FNext != FSlots) {
    return NextSlot();
  }
  return AllocateOtherwise(size);
}

// Kept out of Allocate, so that the usual way there stays without a frame.
[[gnu::noinline]] void* TChunkPool::AllocateOtherwise(std::size_t size) {
  if (FObjectSize == 0) {
    FObjectSize = size;
    FSlotSize = SlotSizeFor(size);
  }
  if (size != FObjectSize) return AllocateAlone(size);
  if (FKept != nullptr) {
    TKept* kept = std::exchange(FKept, FKept->Next);
    --FKeptCount;
    Unpoison(kept, FObjectSize);
    return kept;
  }
  if (FChunk == nullptr || FNext == FSlots) {
    const int slots = FNextSlots;
    const std::size_t bytes = kChunkHeaderSize + static_cast<std::size_t>(slots) * FSlotSize;
    void* storage = FChunkSource != nullptr ? FChunkSource->Allocate(bytes) : AllocateAlone(bytes);
    auto* chunk = ::new (storage) TPoolChunk{{slots + 1}, slots, FSlotSize};
    Poison(SlotOf(chunk, 0), static_cast<std::size_t>(slots) * FSlotSize);
    LetGo();
    FChunk = chunk;
    FNext = 0;
    FSlots = static_cast<std::uint8_t>(slots);
    FNextSlots = kSlots;
  }
  return NextSlot();
}

void* TChunkPool::NextSlot() noexcept {
  std::byte* start = SlotOf(FChunk, FNext++);
  Unpoison(start, FSlotSize);
  void* storage = start + kHeaderSize;
  ChunkOf(storage) = FChunk;
  return storage;
}

void TChunkPool::Recycle(void* storage) noexcept {
  if (storage == nullptr) return;
  const TPoolChunk* chunk = ChunkOf(storage);
  if (chunk == nullptr || chunk->SlotSize != FSlotSize || FKeptCount == kMaxKept ||
      FObjectSize == 0) {
    Free(storage);
    return;
  }
  FKept = ::new (storage) TKept{FKept};
  ++FKeptCount;
  Poison(static_cast<std::byte*>(storage) + sizeof(TKept), FSlotSize - kHeaderSize - sizeof(TKept));
}

void* TChunkPool::AllocateAlone(std::size_t size) {
  void* storage = static_cast<std::byte*>(::operator new(kLoneOffset + size)) + kLoneOffset;
  ChunkOf(storage) = nullptr;
  return storage;
}

void TChunkPool::Free(void* storage) noexcept {
  if (storage == nullptr) return;
  TPoolChunk* chunk = ChunkOf(storage);
  if (chunk == nullptr) {
    // Unsized: a constructor that fails after the allocation knows no exact size.
    ::operator delete(static_cast<void*>(static_cast<std::byte*>(storage) - kLoneOffset));
    return;
  }
  Poison(static_cast<std::byte*>(storage) - kHeaderSize, chunk->SlotSize);
  DropFromChunk(chunk, 1);
}

void TChunkPool::LetGo() noexcept {
  if (FChunk == nullptr) return;
  DropFromChunk(FChunk, FSlots - FNext + 1);
  FChunk = nullptr;
}

}  // namespace tapwise
