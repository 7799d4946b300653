#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

namespace tapwise {

namespace detail {
struct TPoolChunk;
}  // namespace detail

/// Storage for many small objects of one size, a few slots to an allocation: one owner (a
/// point list) takes storage from its pool, and gives it back there for its next object or
/// lets it go wherever the object ends.
///
/// Every piece of storage has a small header in front of it that names its chunk, so that
/// `Free` needs no pool: an object may outlive the pool it came from and be destroyed on any
/// thread. A chunk is freed when its last slot is given back and its pool has moved on to
/// another chunk (or is itself gone). Storage for an object of another size is a block of its
/// own, with the same header, so that every piece goes back the same way.
///
///     TChunkPool pool(sizeof(TPoint));
///     TPoint* point = ::new (pool.Allocate(sizeof(TPoint))) TPoint();
///     std::destroy_at(point);
///     pool.Recycle(point);  // handed out again by the next Allocate; or TChunkPool::Free(point)
class TChunkPool {
 public:
  /// Slots per chunk.
  static constexpr int kSlots = 4;
  /// How many recycled slots a pool keeps; further ones are freed.
  static constexpr int kMaxKept = 32;

  /// A pool of slots for objects of `object_size` bytes; 0 takes the size of the first
  /// object allocated.
  explicit TChunkPool(std::size_t object_size = 0) noexcept;
  /// Frees the slots it keeps and lets go of the chunk being filled; the slots in use stay.
  ~TChunkPool();
  TChunkPool(const TChunkPool&) = delete;
  TChunkPool& operator=(const TChunkPool&) = delete;

  /// Tells that exactly `count` more objects of the pool's size are about to be allocated: a
  /// chunk taken for them has room for just those left over after the kept slots and the free
  /// slots of the present chunk (at most kSlots). A wrong count costs at most an allocation.
  void Expect(int count) noexcept;
  /// Storage for an object of `size` bytes: a kept slot, else the next free slot, when `size`
  /// is the pool's object size; a block of its own otherwise.
  void* Allocate(std::size_t size);
  /// Takes back storage whose object is destroyed, to hand it out again: a slot of the pool's
  /// size is kept (up to kMaxKept), anything else freed.
  void Recycle(void* storage) noexcept;

  /// Takes the storage of each further chunk from `source` when a chunk is the size of
  /// `source`'s objects (so many pools of small lists share a few allocations), from the heap
  /// otherwise and after `SetChunkSource(nullptr)`. `source` must be alive whenever this pool
  /// allocates, and be used from the same thread; the storage may outlive both pools.
  void SetChunkSource(TChunkPool* source) noexcept { FChunkSource = source; }

  /// Storage for an object of `size` bytes in a block of its own, for objects made outside
  /// any pool that are given back as pool storage is.
  static void* AllocateAlone(std::size_t size);
  /// Gives back storage from `Allocate` or `AllocateAlone` of any pool (nothing for null).
  static void Free(void* storage) noexcept;

 private:
  struct TKept;

  // Allocate's ways other than the next free slot of FChunk, which NextSlot hands out.
  void* AllocateOtherwise(std::size_t size);
  void* NextSlot() noexcept;
  // Gives up the pool's hold on FChunk, with its unused slots.
  void LetGo() noexcept;
  static std::size_t SlotSizeFor(std::size_t object_size) noexcept;

  detail::TPoolChunk* FChunk = nullptr;
  TKept* FKept = nullptr;
  TChunkPool* FChunkSource = nullptr;
  std::size_t FObjectSize;
  std::size_t FSlotSize;
  // Counts of at most kSlots (and kMaxKept), small enough to share one word.
  std::uint8_t FNext = 0;            // the next free slot of FChunk
  std::uint8_t FSlots = 0;           // FChunk's slots
  std::uint8_t FNextSlots = kSlots;  // the next chunk's
  std::uint8_t FKeptCount = 0;
  static_assert(kSlots <= 255 && kMaxKept <= 255);
};

/// A base that makes every object of a class, and of its descendants, chunk pool storage: a
/// block of its own from `new` (a class may place its objects in a pool's slots instead), and
/// given back where it came from when deleted through any pointer to it. A descendant aligned
/// beyond the usual alignment gets plain aligned storage.
class TChunkPoolObject {
 public:
  static void* operator new(std::size_t size) { return TChunkPool::AllocateAlone(size); }
  static void operator delete(void* object, std::size_t) noexcept { TChunkPool::Free(object); }
  static void* operator new(std::size_t size, std::align_val_t alignment) {
    return ::operator new(size, alignment);
  }
  static void operator delete(void* object, std::size_t, std::align_val_t alignment) noexcept {
    ::operator delete(object, alignment);
  }

 protected:
  TChunkPoolObject() = default;
  ~TChunkPoolObject() = default;
};

}  // namespace tapwise
