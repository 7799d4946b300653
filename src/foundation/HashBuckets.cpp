#include "tapwise/foundation/HashBuckets.h"

#include <utility>

#include "tapwise/foundation/HashTable.h"

namespace tapwise {

THashBuckets::THashBuckets(uint32_t capacity) : FCapacity(capacity) {}

THashBuckets::~THashBuckets() = default;

void THashBuckets::Swap(THashBuckets& other) noexcept {
  std::swap(FCapacity, other.FCapacity);
  std::swap(FFewCount, other.FFewCount);
  FFew.swap(other.FFew);
  FMany.swap(other.FMany);
}

THashBuckets::Chain& THashBuckets::NewSlot(uint32_t bucket) {
  if (FFewCount == kFew) {
    // Heads that have become empty make room first.
    int kept = 0;
    for (int i = 0; i < FFewCount; ++i) {
      if (FFew[i].Head == nullptr) continue;
      if (kept != i) std::swap(FFew[kept], FFew[i]);
      ++kept;
    }
    FFewCount = kept;
  }
  if (FFewCount < kFew) {
    // The unused head after the last one is empty; it moves down to its place.
    int at = FFewCount;
    for (; at > 0 && FFew[at - 1].Bucket > bucket; --at)
      std::swap(FFew[at], FFew[at - 1]);
    FFew[at].Bucket = bucket;
    ++FFewCount;
    return FFew[at].Head;
  }
  // Made before anything moves, so that a failed allocation changes nothing.
  std::vector<Chain> many(FCapacity);
  for (int i = 0; i < FFewCount; ++i)
    many[FFew[i].Bucket] = std::move(FFew[i].Head);
  FFewCount = 0;
  FMany.swap(many);
  return FMany[bucket];
}

}  // namespace tapwise
