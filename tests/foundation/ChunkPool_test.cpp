#include "tapwise/foundation/ChunkPool.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <utility>
#include <vector>

namespace tapwise {
namespace {

constexpr std::size_t kAlignment = __STDCPP_DEFAULT_NEW_ALIGNMENT__;

bool Aligned(const void* storage) {
  return reinterpret_cast<std::uintptr_t>(storage) % kAlignment == 0;
}

TEST(ChunkPool, RecycledSlotsComeBackFirstUpToTheLimit) {
  TChunkPool pool(40);
  std::vector<void*> taken;
  for (int i = 0; i < TChunkPool::kMaxKept + 5; ++i)
    taken.push_back(pool.Allocate(40));
  for (void* storage : taken)
    pool.Recycle(storage);
  // The last kept comes back first; only kMaxKept of them are kept, the rest were freed.
  for (int i = TChunkPool::kMaxKept - 1; i >= 0; --i) {
    void* again = pool.Allocate(40);
    EXPECT_EQ(again, taken[static_cast<std::size_t>(i)]);
    std::memset(again, 0x5a, 40);
    TChunkPool::Free(again);
  }
  // Storage of another size is a block of its own, freed rather than kept.
  pool.Recycle(pool.Allocate(24));
  TChunkPool::Free(nullptr);
}

TEST(ChunkPool, StorageOutlivesItsPoolAndNeverOverlaps) {
  std::mt19937 random(20261209);
  std::vector<std::pair<unsigned char*, unsigned char>> live;
  std::vector<unsigned char*> outliving;
  {
    TChunkPool pool(24);
    pool.Expect(3);
    for (int round = 0; round < 2000; ++round) {
      const std::size_t size = random() % 5 == 0 ? 100 : 24;
      auto* storage = static_cast<unsigned char*>(
          random() % 7 == 0 ? TChunkPool::AllocateAlone(size) : pool.Allocate(size));
      ASSERT_TRUE(Aligned(storage));
      const auto mark = static_cast<unsigned char>(round);
      std::memset(storage, mark, size == 24 ? 24 : 100);
      live.emplace_back(storage, mark);
      if (live.size() > 12) {
        // A random one leaves, kept by the pool or freed, as an owner would give it back.
        const std::size_t at = random() % live.size();
        unsigned char* leaving = live[at].first;
        for (std::size_t k = 0; k < 24; ++k)
          ASSERT_EQ(leaving[k], live[at].second) << "round " << round;
        if (random() % 2 == 0)
          pool.Recycle(leaving);
        else
          TChunkPool::Free(leaving);
        live.erase(live.begin() + static_cast<std::ptrdiff_t>(at));
      }
      if (round % 5 == 0) pool.Expect(static_cast<int>(random() % 6) - 1);
    }
  }
  // The pool is gone; what was handed out is still whole and goes back without it.
  for (const auto& [storage, mark] : live) {
    for (std::size_t k = 0; k < 24; ++k)
      ASSERT_EQ(storage[k], mark);
    TChunkPool::Free(storage);
  }
}

// Small pools (the point lists of one variable's sets) take their chunks from one source,
// several chunks to an allocation; the storage outlives every pool, source included.
TEST(ChunkPool, ChunksTakenFromASourceShareItsAllocationsAndOutliveIt) {
  std::vector<std::pair<unsigned char*, unsigned char>> live;
  {
    TChunkPool source;  // sized by the first chunk it hands out
    std::vector<std::unique_ptr<TChunkPool>> pools;
    std::vector<unsigned char*> firsts;
    for (int k = 0; k < 2 * TChunkPool::kSlots; ++k) {
      pools.push_back(std::make_unique<TChunkPool>(24));
      TChunkPool& pool = *pools.back();
      pool.SetChunkSource(&source);
      // Three objects fill a chunk of three slots, the source's size; a fourth needs a chunk
      // of another size, which comes from the heap.
      pool.Expect(3);
      for (int i = 0; i < (k == 5 ? 4 : 3); ++i) {
        auto* storage = static_cast<unsigned char*>(pool.Allocate(24));
        ASSERT_TRUE(Aligned(storage));
        if (i == 0) firsts.push_back(storage);
        std::memset(storage, k * 4 + i, 24);
        live.emplace_back(storage, static_cast<unsigned char>(k * 4 + i));
      }
      if (k % 3 == 0) pool.SetChunkSource(nullptr);
    }
    // The first kSlots pools' chunks lie one source slot apart in one allocation.
    const std::ptrdiff_t step = firsts[1] - firsts[0];
    EXPECT_GE(step, 3 * 24);
    for (int k = 2; k < TChunkPool::kSlots; ++k)
      EXPECT_EQ(firsts[static_cast<std::size_t>(k)] - firsts[static_cast<std::size_t>(k - 1)],
                step);
    // Pools go before and after their source, in no particular order.
    pools[3].reset();
    pools[0].reset();
  }
  for (std::size_t at : {7u, 0u, 12u}) {
    TChunkPool::Free(live[at].first);
    live[at].first = nullptr;
  }
  for (const auto& [storage, mark] : live) {
    if (storage == nullptr) continue;
    for (std::size_t k = 0; k < 24; ++k)
      ASSERT_EQ(storage[k], mark);
    TChunkPool::Free(storage);
  }
}

}  // namespace
}  // namespace tapwise
