#include "tapwise/foundation/HashBuckets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/ExpectThrow.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/HashTable.h"
#include "tapwise/foundation/StringHashTable.h"

namespace tapwise {
namespace {

// Chains one entry into `bucket`, as a table would.
void Occupy(THashBuckets& buckets, uint32_t bucket) {
  THashBuckets::Chain& head = buckets.Slot(bucket);
  auto entry = std::make_unique<TGHashtableEntry>();
  head = std::move(entry);
}

std::vector<int64_t> OccupiedDownwards(const THashBuckets& buckets) {
  std::vector<int64_t> occupied;
  buckets.ForEachOccupiedDownwards([&](uint32_t bucket, const THashBuckets::Chain& head) {
    EXPECT_NE(head, nullptr);
    occupied.push_back(bucket);
    return true;
  });
  // The same, a step at a time.
  std::vector<int64_t> stepped;
  for (int64_t b = buckets.PreviousOccupied(static_cast<int64_t>(buckets.Capacity()) - 1); b >= 0;
       b = buckets.PreviousOccupied(b - 1)) {
    stepped.push_back(b);
  }
  EXPECT_EQ(stepped, occupied);
  return occupied;
}

std::vector<int64_t> OccupiedUpwards(const THashBuckets& buckets) {
  std::vector<int64_t> occupied;
  for (uint32_t b = buckets.NextOccupied(0); b < buckets.Capacity();
       b = buckets.NextOccupied(b + 1)) {
    occupied.push_back(b);
  }
  return occupied;
}

TEST(HashBuckets, AFewBucketsAndThenAllOfThemReadTheSame) {
  THashBuckets buckets(101);
  EXPECT_EQ(buckets.PreviousOccupied(100), -1);
  EXPECT_EQ(buckets.NextOccupied(0), 101u);
  std::vector<int64_t> expected;
  // Out of order, past the few kept without an array, with the first and last bucket.
  for (const uint32_t bucket : {50u, 0u, 100u, 7u, 63u, 8u, 99u, 1u, 42u, 77u}) {
    Occupy(buckets, bucket);
    expected.push_back(bucket);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(OccupiedUpwards(buckets), expected);
    EXPECT_EQ(OccupiedDownwards(buckets), std::vector<int64_t>(expected.rbegin(), expected.rend()));
    EXPECT_NE(buckets.Head(bucket), nullptr);
    EXPECT_EQ(buckets.Head(2), nullptr);
  }
  EXPECT_EQ(buckets.PreviousOccupied(49), 42);
  EXPECT_EQ(buckets.NextOccupied(64), 77u);
  EXPECT_EQ(buckets.PreviousOccupied(-1), -1);
}

TEST(HashBuckets, EmptiedBucketsMakeRoomWithoutTheArray) {
  THashBuckets buckets(101);
  for (uint32_t bucket = 0; bucket < THashBuckets::kFew; ++bucket)
    Occupy(buckets, bucket * 10);
  // Emptied heads are skipped, and their room serves new buckets in order.
  buckets.Slot(30).reset();
  buckets.Slot(0).reset();
  EXPECT_EQ(buckets.Head(30), nullptr);
  EXPECT_EQ(buckets.NextOccupied(0), 10u);
  EXPECT_EQ(buckets.PreviousOccupied(39), 20);
  Occupy(buckets, 35);
  Occupy(buckets, 95);
  EXPECT_EQ(OccupiedUpwards(buckets), (std::vector<int64_t>{10, 20, 35, 40, 50, 60, 70, 95}));

  THashBuckets other(7);
  Occupy(other, 3);
  other.Swap(buckets);
  EXPECT_EQ(buckets.Capacity(), 7u);
  EXPECT_EQ(OccupiedUpwards(buckets), (std::vector<int64_t>{3}));
  EXPECT_EQ(other.Capacity(), 101u);
  EXPECT_EQ(OccupiedDownwards(other), (std::vector<int64_t>{95, 70, 60, 50, 40, 35, 20, 10}));
}

// A table driven at random around the number of buckets kept without an array, against a
// model of its chains: every order it shows (enumeration, indexed access, entry walk), its
// collisions and its look-ups must be the model's.
TEST(HashBuckets, ATableAcrossBothFormsMatchesAModelOfItsChains) {
  std::mt19937 random(20261209);
  std::vector<int> values(24);
  for (int round = 0; round < 40; ++round) {
    TGStringHashtable table;
    std::map<int, std::vector<std::string>> chains;  // bucket -> keys, head first
    for (int step = 0; step < 60; ++step) {
      const std::string key = "k" + std::to_string(random() % 24);
      const int bucket = table.HashIndex(key, table.GetCapacity());
      std::vector<std::string>& chain = chains[bucket];
      const auto at = std::find(chain.begin(), chain.end(), key);
      if (random() % 3 == 0) {
        if (at == chain.end()) {
          EXPECT_THROW_MSG(table.Remove(key), EGHashtableError,
                           table.GetCount() == 0 ? "Table is empty" : "No such element");
        } else {
          table.Remove(key);
          chain.erase(at);
        }
      } else {
        table.Put(key, &values[random() % values.size()]);
        if (at == chain.end()) chain.insert(chain.begin(), key);
      }
      if (step == 45 && round % 4 == 0) {
        table.Clear();
        chains.clear();
      }

      std::vector<std::string> downwards;
      std::vector<std::string> upwards;
      int collisions = 0;
      for (auto it = chains.rbegin(); it != chains.rend(); ++it)
        downwards.insert(downwards.end(), it->second.begin(), it->second.end());
      for (const auto& [b, keys] : chains) {
        upwards.insert(upwards.end(), keys.begin(), keys.end());
        collisions += keys.empty() ? 0 : static_cast<int>(keys.size()) - 1;
      }
      ASSERT_EQ(table.GetCount(), static_cast<int>(upwards.size()));
      EXPECT_EQ(table.GetCollisions(), collisions);
      std::vector<std::string> walked;
      table.ForEachEntry(
          [&](const TGHashtableEntry& entry) { walked.emplace_back(entry.GetKeyText()); });
      EXPECT_EQ(walked, downwards);
      std::vector<std::string> enumerated;
      for (IntfPtr<IEnumerator> keys = table.Keys(); keys->HasMoreElements();)
        enumerated.emplace_back(keys->NextElement().GetKeyText());
      EXPECT_EQ(enumerated, downwards);
      for (int i = 0; i < table.GetCount(); ++i)
        EXPECT_EQ(table.EntryAt(i)->GetKeyText(), upwards[static_cast<size_t>(i)]);
      for (const std::string& present : upwards)
        EXPECT_NE(table.FindEntry(present), nullptr);
    }
  }
}

}  // namespace
}  // namespace tapwise
