#include "tapwise/foundation/SmallVector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace tapwise {
namespace {

// An owned element that writes its value into a log when destroyed, so that a test sees
// which elements went and in which order.
class TTracked {
 public:
  TTracked(int value, std::vector<int>& log) : FValue(value), FLog(log) {}
  ~TTracked() { FLog.push_back(FValue); }
  TTracked(const TTracked&) = delete;
  TTracked& operator=(const TTracked&) = delete;
  int Value() const { return FValue; }

 private:
  int FValue;
  std::vector<int>& FLog;
};

using TTrackedVector = TSmallVector<std::unique_ptr<TTracked>, 4>;

void Fill(TTrackedVector& items, int from, int to, std::vector<int>& log) {
  for (int i = from; i < to; ++i)
    items.push_back(std::make_unique<TTracked>(i, log));
}

std::vector<int> Values(const TTrackedVector& items) {
  std::vector<int> values;
  for (const auto& item : items)
    values.push_back(item->Value());
  return values;
}

TEST(SmallVectorTest, KeepsFourInsideAndGrowsOntoTheHeapKeepingOrder) {
  std::vector<int> log;
  TTrackedVector items;
  EXPECT_TRUE(items.empty());
  EXPECT_EQ(items.capacity(), 4u);
  Fill(items, 0, 4, log);
  EXPECT_TRUE(items.IsInline());
  const TTracked* first = items[0].get();
  Fill(items, 4, 11, log);
  EXPECT_FALSE(items.IsInline());
  EXPECT_EQ(items.capacity(), 16u);  // 4, 8, 16
  EXPECT_EQ(Values(items), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  // Growing moved the owners, not the objects.
  EXPECT_EQ(items[0].get(), first);
  EXPECT_EQ(items.back()->Value(), 10);
  EXPECT_TRUE(log.empty());
  // A push of one of its own elements survives the growth it causes.
  TTrackedVector self;
  Fill(self, 0, 4, log);
  self.push_back(std::move(self[1]));
  EXPECT_EQ(self.back()->Value(), 1);
  EXPECT_EQ(self[1], nullptr);
}

TEST(SmallVectorTest, EraseAndPopDestroyTheirElementsOnly) {
  std::vector<int> log;
  for (const int count : {4, 9}) {  // inline and on the heap
    log.clear();
    TTrackedVector items;
    Fill(items, 0, count, log);
    auto next = items.erase(items.begin() + 2);
    EXPECT_EQ(log, (std::vector<int>{2}));
    EXPECT_EQ((*next)->Value(), 3);
    items.erase(items.end() - 1);
    EXPECT_EQ(log, (std::vector<int>{2, count - 1}));
    items.erase(items.begin());
    items.pop_back();
    std::vector<int> expected;
    for (int i = 1; i < count - 1; ++i) {
      if (i != 2) expected.push_back(i);
    }
    // The last remaining before the pop.
    const int popped = expected.back();
    expected.pop_back();
    EXPECT_EQ(log, (std::vector<int>{2, count - 1, 0, popped}));
    EXPECT_EQ(Values(items), expected);
  }
}

TEST(SmallVectorTest, ResizeRotateAndReserveKeepTheElements) {
  std::vector<int> log;
  TTrackedVector items;
  items.reserve(3);
  EXPECT_TRUE(items.IsInline());
  items.reserve(6);
  EXPECT_FALSE(items.IsInline());
  EXPECT_EQ(items.capacity(), 6u);
  Fill(items, 0, 6, log);
  EXPECT_EQ(items.capacity(), 6u);
  std::rotate(items.begin() + 1, items.begin() + 4, items.end());
  EXPECT_EQ(Values(items), (std::vector<int>{0, 4, 5, 1, 2, 3}));
  items.resize(2);
  EXPECT_EQ(log, (std::vector<int>{3, 2, 1, 5}));  // the last first
  items.resize(3);
  EXPECT_EQ(items.size(), 3u);
  EXPECT_EQ(items[2], nullptr);
  items.clear();
  EXPECT_EQ(log, (std::vector<int>{3, 2, 1, 5, 4, 0}));
  EXPECT_EQ(items.capacity(), 6u);
}

TEST(SmallVectorTest, MovesBetweenInlineAndHeapStatesWithoutLossOrLeak) {
  std::vector<int> log;
  TTrackedVector small;
  TTrackedVector large;
  Fill(small, 0, 3, log);
  Fill(large, 10, 16, log);
  const TTracked* large_first = large[0].get();

  // Heap storage changes hands as a whole; the old elements of the target go first.
  small = std::move(large);
  EXPECT_EQ(log, (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(Values(small), (std::vector<int>{10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(small[0].get(), large_first);
  EXPECT_TRUE(large.empty());
  EXPECT_TRUE(large.IsInline());

  // Inline elements are moved one by one into a vector that held heap storage.
  log.clear();
  Fill(large, 20, 22, log);
  small = std::move(large);
  EXPECT_EQ(log, (std::vector<int>{15, 14, 13, 12, 11, 10}));
  EXPECT_TRUE(small.IsInline());
  EXPECT_EQ(Values(small), (std::vector<int>{20, 21}));
  EXPECT_TRUE(large.empty());

  // Move construction from either state, then the destructor frees what is left.
  log.clear();
  {
    TTrackedVector taken(std::move(small));
    Fill(large, 30, 35, log);
    TTrackedVector taken_heap(std::move(large));
    EXPECT_EQ(Values(taken), (std::vector<int>{20, 21}));
    EXPECT_EQ(Values(taken_heap), (std::vector<int>{30, 31, 32, 33, 34}));
    EXPECT_TRUE(small.empty());
    EXPECT_TRUE(large.empty());
    EXPECT_TRUE(log.empty());
  }
  EXPECT_EQ(log, (std::vector<int>{34, 33, 32, 31, 30, 21, 20}));
}

}  // namespace
}  // namespace tapwise
