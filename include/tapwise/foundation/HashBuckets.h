#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace tapwise {

class TGHashtableEntry;

/// The chain heads of a chained hash table, one for each of its `Capacity` buckets.
///
/// While no more than `kFew` buckets hold entries, only those take room, in this object
/// itself, in ascending bucket order; a table of a few keys (a variable's terms) so carries
/// no array of a hundred empty heads. Once more are needed the heads become one array of
/// every bucket. Either way the buckets read the same.
class THashBuckets {
 public:
  using Chain = std::unique_ptr<TGHashtableEntry>;
  /// Buckets holding entries that are kept without an array.
  static constexpr int kFew = 8;

  // Out of line, like the destructor: the entries are complete only there (a constructor
  // destroys the members it has made when a later one fails).
  explicit THashBuckets(uint32_t capacity = 0);
  THashBuckets(const THashBuckets&) = delete;
  THashBuckets& operator=(const THashBuckets&) = delete;
  ~THashBuckets();

  uint32_t Capacity() const { return FCapacity; }

  /// The head of the chain of `bucket` (below Capacity), null when the bucket is empty.
  TGHashtableEntry* Head(uint32_t bucket) const {
    if (!FMany.empty()) return FMany[bucket].get();
    for (int i = 0; i < FFewCount; ++i) {
      if (FFew[i].Bucket == bucket) return FFew[i].Head.get();
    }
    return nullptr;
  }

  /// The head of the chain of `bucket` (below Capacity) to be changed, made room for when
  /// the bucket is empty. Valid until the next call.
  Chain& Slot(uint32_t bucket) {
    if (!FMany.empty()) return FMany[bucket];
    for (int i = 0; i < FFewCount; ++i) {
      if (FFew[i].Bucket == bucket) return FFew[i].Head;
    }
    return NewSlot(bucket);
  }

  /// The first bucket from `bucket` on that holds entries; Capacity when there is none.
  uint32_t NextOccupied(uint32_t bucket) const {
    if (!FMany.empty()) {
      while (bucket < FCapacity && FMany[bucket] == nullptr)
        ++bucket;
      return std::min(bucket, FCapacity);
    }
    for (int i = 0; i < FFewCount; ++i) {
      if (FFew[i].Bucket >= bucket && FFew[i].Head != nullptr) return FFew[i].Bucket;
    }
    return FCapacity;
  }

  /// The last bucket up to `bucket` that holds entries; -1 when there is none (also for a
  /// negative `bucket`).
  int64_t PreviousOccupied(int64_t bucket) const {
    if (!FMany.empty()) {
      while (bucket >= 0 && FMany[static_cast<size_t>(bucket)] == nullptr)
        --bucket;
      return bucket;
    }
    for (int i = FFewCount - 1; i >= 0; --i) {
      if (FFew[i].Bucket <= bucket && FFew[i].Head != nullptr) return FFew[i].Bucket;
    }
    return -1;
  }

  /// Calls `visit(bucket, head)` for every bucket that holds entries, the last bucket first,
  /// while it returns true. `visit` may empty the head it is given, and nothing else.
  template <class Visit>
  void ForEachOccupiedDownwards(Visit&& visit) {
    VisitDownwards(*this, visit);
  }
  template <class Visit>
  void ForEachOccupiedDownwards(Visit&& visit) const {
    VisitDownwards(*this, visit);
  }

  void Swap(THashBuckets& other) noexcept;

 private:
  struct TFewHead {
    uint32_t Bucket = 0;
    Chain Head;
  };

  template <class Self, class Visit>
  static void VisitDownwards(Self& self, Visit& visit) {
    if (!self.FMany.empty()) {
      for (uint32_t bucket = self.FCapacity; bucket-- > 0;) {
        if (self.FMany[bucket] != nullptr && !visit(bucket, self.FMany[bucket])) return;
      }
      return;
    }
    for (int i = self.FFewCount - 1; i >= 0; --i) {
      auto& few = self.FFew[static_cast<size_t>(i)];
      if (few.Head != nullptr && !visit(few.Bucket, few.Head)) return;
    }
  }

  // Slot for a bucket that has none yet: a few head more, or the array of all of them.
  Chain& NewSlot(uint32_t bucket);

  uint32_t FCapacity;
  // The first FFewCount of FFew, ascending by bucket; a head may have become empty since.
  int FFewCount = 0;
  std::array<TFewHead, kFew> FFew;
  // Every bucket's head, once more than kFew were needed; empty till then.
  std::vector<Chain> FMany;
};

}  // namespace tapwise
