#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "FuzzySetTestVariable.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzySetValue.h"
#include "tapwise/fuzzy/FuzzySetValues.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAPWISE_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TAPWISE_TEST_ASAN 1
#endif

#if defined(TAPWISE_TEST_ASAN)
#if __has_include(<sanitizer/allocator_interface.h>)
#include <sanitizer/allocator_interface.h>
#else
// The address checker's runtime has it even where its header is not installed.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tapwise {
namespace {

using Points = std::vector<std::pair<double, double>>;
using TOwnedItem = std::unique_ptr<TGCollectionItem>;

Points PointsOf(const TFuzzySetValues& values) {
  Points points;
  for (int i = 0; i < values.GetCount(); ++i)
    points.emplace_back(values.GetX(i), values.GetY(i));
  return points;
}

Points PointsOf(const std::vector<TOwnedItem>& items) {
  Points points;
  for (const TOwnedItem& item : items) {
    const auto& point = static_cast<const TFuzzySetValue&>(*item);
    points.emplace_back(point.GetX(), point.GetY());
  }
  return points;
}

// Bytes the heap has handed out and not yet taken back, or nothing where that cannot be told.
bool AllocatedBytes(size_t& bytes) {
#if defined(TAPWISE_TEST_ASAN)
  bytes = __sanitizer_get_current_allocated_bytes();
  return true;
#elif defined(__GLIBC__)
  const struct mallinfo2 info = mallinfo2();
  bytes = info.uordblks + info.hblkhd;
  return true;
#else
  (void)bytes;
  return false;
#endif
}

// A point that carries more than a plain point, so that it is larger than one.
class TLabelledPoint : public TFuzzySetValue {
 public:
  TLabelledPoint() = default;
  explicit TLabelledPoint(TGCollection* collection) : TFuzzySetValue(collection) {}
  std::string ClassName() const override { return "TLabelledPoint"; }
  std::string Label = "a label long enough to live on the heap of its own";
  double Weight[4] = {1, 2, 3, 4};
};

// A point aligned beyond what the usual allocation gives.
class alignas(64) TAlignedPoint : public TFuzzySetValue {
 public:
  TAlignedPoint() = default;
  explicit TAlignedPoint(TGCollection* collection) : TFuzzySetValue(collection) {}
  double Extra = 7;
};

class TLabelledValues : public TFuzzySetValues {
 public:
  TLabelledValues() : TFuzzySetValues(nullptr, TCollectionItemClass::Of<TLabelledPoint>()) {}
};

class TAlignedValues : public TFuzzySetValues {
 public:
  TAlignedValues() : TFuzzySetValues(nullptr, TCollectionItemClass::Of<TAlignedPoint>()) {}
};

TEST(FuzzySetValueStorage, AnExtractedPointOutlivesItsSetAndList) {
  auto set = std::make_unique<TFuzzySet>();
  set->AddPoint(0, 0);
  set->AddPoint(5, 1);
  set->AddPoint(10, 0);
  TFuzzySetValues& values = set->GetValues();
  TOwnedItem taken = values.Extract(*values.GetPoint(1));
  // Points added after it come from the same storage and go with the set.
  values.AddPoint(12, 0.5);
  values.AddPoint(14, 0.25);
  EXPECT_EQ(PointsOf(values), (Points{{0, 0}, {10, 0}, {12, 0.5}, {14, 0.25}}));
  set.reset();

  auto& point = static_cast<TFuzzySetValue&>(*taken);
  EXPECT_EQ(point.GetCollection(), nullptr);
  EXPECT_EQ(point.GetX(), 5);
  EXPECT_EQ(point.GetY(), 1);
  // Free-standing now: changes are stored unbounded and told to no one.
  point.SetXY(-3e12, 2.5);
  EXPECT_EQ(point.GetX(), -3e12);
  EXPECT_EQ(point.GetY(), 2.5);
  TFuzzySetValue other;
  other.Assign(point);
  EXPECT_EQ(other.GetX(), -3e12);
  taken.reset();

  // The other way round: the list goes on and the point leaves first.
  TFuzzySetValues list;
  list.AddPoint(1, 1);
  TOwnedItem early = list.Extract(*list.GetPoint(0));
  early.reset();
  list.AddPoint(2, 0.5);
  list.AddPoint(3, 0);
  EXPECT_EQ(PointsOf(list), (Points{{2, 0.5}, {3, 0}}));
}

TEST(FuzzySetValueStorage, PointsAfterAClearAreNewPointsWhateverLeftBefore) {
  TFuzzySetValues values;
  TFuzzySetValues neighbour;
  neighbour.AddPoint(0, 1);
  // More points than are kept for reuse: the rest go back to the storage they came from.
  const int count = static_cast<int>(TChunkPool::kMaxKept) + 8;
  for (int i = 0; i < count; ++i)
    values.AddPoint(i, 0.5);
  values.GetPoint(count - 1)->Link(*neighbour.GetPoint(0));
  const int last_id = values.GetPoint(count - 1)->GetID();
  values.ClearPoints();
  EXPECT_EQ(neighbour.GetPoint(0)->GetLinks(), nullptr);

  values.ExpectPoints(count + 2);
  for (int i = 0; i < count + 2; ++i)
    values.AddPoint(2 * i, 1);
  for (int i = 0; i < count + 2; ++i) {
    SCOPED_TRACE(i);
    const TFuzzySetValue& point = *values.GetPoint(i);
    EXPECT_EQ(point.GetID(), last_id + 1 + i);
    EXPECT_EQ(point.GetIndex(), i);
    EXPECT_EQ(point.GetCollection(), &values);
    EXPECT_EQ(point.GetLinks(), nullptr);
    EXPECT_EQ(point.GetX(), 2 * i);
  }
  // A point that comes back after a clear leaves with a new owner as any other does.
  values.ClearPoints();
  values.AddPoint(3, 0.25);
  TOwnedItem taken = values.Extract(*values.GetPoint(0));
  values.AddPoint(4, 0);
  values.ClearPoints();
  EXPECT_EQ(static_cast<TFuzzySetValue&>(*taken).GetX(), 3);
  EXPECT_EQ(taken->GetCollection(), nullptr);
}

TEST(FuzzySetValueStorage, ExpectedPointsFitTheirStorageWhateverCountComes) {
  // A triangle's three points take storage for three; a fourth takes storage of its own.
  auto set = std::make_unique<TFuzzySet>();
  set->SetTriangle(0, 5, 10);
  TFuzzySetValues& values = set->GetValues();
  const std::ptrdiff_t stride = reinterpret_cast<const std::byte*>(values.GetPoint(1)) -
                                reinterpret_cast<const std::byte*>(values.GetPoint(0));
  EXPECT_EQ(reinterpret_cast<const std::byte*>(values.GetPoint(2)) -
                reinterpret_cast<const std::byte*>(values.GetPoint(1)),
            stride);
  values.AddPoint(12, 0.5);
  TOwnedItem middle = values.Extract(*values.GetPoint(1));
  TOwnedItem fourth = values.Extract(*values.GetPoint(2));
  set.reset();
  EXPECT_EQ(static_cast<TFuzzySetValue&>(*middle).GetX(), 5);
  EXPECT_EQ(static_cast<TFuzzySetValue&>(*fourth).GetX(), 12);

  // Counts that do not come true, free slots already at hand and kept storage first.
  TFuzzySetValues list;
  list.ExpectPoints(2);
  for (int i = 0; i < 7; ++i)
    list.AddPoint(i, 0.5);
  list.ExpectPoints(3);  // one free slot of the last storage and then two
  list.AddPoint(7, 1);
  list.ExpectPoints(100);
  list.AddPoint(8, 0);
  list.ExpectPoints(-1);
  list.AddPoint(9, 0);
  EXPECT_EQ(list.GetCount(), 10);
  EXPECT_EQ(list.GetX(9), 9);

  TFuzzySet reused;
  for (int round = 0; round < 3; ++round) {
    reused.SetTriangle(round, round + 1, round + 2);
    reused.SetTriangle(round, round + 2, round + 4);
    EXPECT_EQ(PointsOf(reused.GetValues()), (Points{{round, 0}, {round + 2, 1}, {round + 4, 0}}));
  }
}

TEST(FuzzySetValueStorage, PointsLeaveInAnyOrderWithoutDisturbingTheOthers) {
  std::mt19937 random(20240611);
  // Declared first: what is still held at the end outlives the list.
  std::vector<TOwnedItem> taken;
  TFuzzySetValues values;
  Points expected;
  for (int round = 0; round < 40; ++round) {
    // New points keep coming while taken ones are destroyed in a shuffled order, so that
    // storage is handed out and given back interleaved.
    const int adding = 1 + static_cast<int>(random() % 7);
    for (int i = 0; i < adding; ++i) {
      const double x = round * 10 + i;
      values.AddPoint(x, (i % 3) / 2.0);
    }
    while (values.GetCount() > 1) {
      const int index = static_cast<int>(random() % static_cast<unsigned>(values.GetCount()));
      TFuzzySetValue* point = values.GetPoint(index);
      expected.emplace_back(point->GetX(), point->GetY());
      taken.push_back(values.Extract(*point));
    }
    std::vector<size_t> order(taken.size());
    for (size_t i = 0; i < order.size(); ++i)
      order[i] = i;
    std::shuffle(order.begin(), order.end(), random);
    const size_t dropping = taken.size() / 2;
    for (size_t i = 0; i < dropping; ++i) {
      taken[order[i]].reset();
      expected[order[i]] = {-1, -1};
    }
    std::vector<TOwnedItem> kept;
    Points kept_expected;
    for (size_t i = 0; i < taken.size(); ++i) {
      if (taken[i] == nullptr) continue;
      kept.push_back(std::move(taken[i]));
      kept_expected.push_back(expected[i]);
    }
    taken = std::move(kept);
    expected = std::move(kept_expected);
    // Every point still held reads what it held when it left.
    ASSERT_EQ(PointsOf(taken), expected) << "round " << round;
  }
  // Half of them go before the list, the rest after it.
  ASSERT_GE(taken.size(), 2u);
  taken.resize(taken.size() / 2);
  values.Clear();
}

TEST(FuzzySetValueStorage, DescendantPointsAreAllocatedAndFreedWhole) {
  TLabelledValues labelled;
  labelled.AddPoint(1, 1);
  labelled.AddPoint(2, 0.5);
  auto* first = static_cast<TLabelledPoint*>(labelled.GetPoint(0));
  EXPECT_EQ(first->Label, "a label long enough to live on the heap of its own");
  EXPECT_EQ(first->Weight[3], 4);
  TOwnedItem taken = labelled.Extract(*first);
  labelled.Clear();  // a list of descendants keeps no storage: these are freed
  EXPECT_EQ(static_cast<TFuzzySetValue&>(*taken).GetX(), 1);
  taken.reset();

  TAlignedValues aligned;
  for (int i = 0; i < 5; ++i)
    aligned.AddPoint(i, 1);
  for (int i = 0; i < aligned.GetCount(); ++i) {
    const auto* point = static_cast<const TAlignedPoint*>(aligned.GetPoint(i));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(point) % 64, 0u);
    EXPECT_EQ(point->Extra, 7);
  }
  aligned.Delete(2);
  EXPECT_EQ(PointsOf(aligned), (Points{{0, 1}, {1, 1}, {3, 1}, {4, 1}}));

  // Plain points made outside any list, and a list of plain points that takes in a
  // descendant: each goes back the way it came.
  auto loose = std::make_unique<TFuzzySetValue>();
  loose->SetXY(4, 0.5);
  TFuzzySetValues plain;
  plain.AddPoint(0, 0);
  auto labelled_point = std::make_unique<TLabelledPoint>();
  labelled_point->SetXY(1, 0);
  plain.AddItem(std::move(labelled_point));
  plain.AddItem(std::move(loose));
  plain.AddPoint(9, 0);
  EXPECT_EQ(PointsOf(plain), (Points{{0, 0}, {1, 0}, {4, 0.5}, {9, 0}}));
  // Every point, from a chunk or alone, keeps the alignment the usual allocation gives.
  for (int i = 0; i < plain.GetCount(); ++i) {
    EXPECT_EQ(reinterpret_cast<uintptr_t>(plain.GetPoint(i)) % __STDCPP_DEFAULT_NEW_ALIGNMENT__,
              0u);
  }
  plain.Clear();
  plain.AddPoint(3, 0);
  EXPECT_EQ(PointsOf(plain), (Points{{3, 0}}));
}

TEST(FuzzySetValueStorage, ClonesAndAssignedCopiesKeepTheCoordinates) {
  testing::TestVariable variable(-100, 100);
  TFuzzySet& set = variable.AddTerm("wave");
  const Points shape = {{-90, 0}, {-40, 1}, {-40, 0.25}, {0, 0.75}, {30, 0.5}, {60, 1}, {90, 0}};
  for (const auto& [x, y] : shape)
    set.AddPoint(x, y);
  ASSERT_EQ(PointsOf(set.GetValues()), shape);

  TFuzzySet* clone = set.Clone();
  EXPECT_EQ(PointsOf(clone->GetValues()), shape);
  clone->GetValues().GetPoint(3)->SetY(0.5);
  EXPECT_EQ(set.GetValues().GetY(3), 0.75);

  // Free-standing lists back and forth; the copies are of their own.
  TFuzzySetValues copy;
  copy.Assign(set.GetValues());
  TFuzzySetValues back;
  back.Assign(copy);
  copy.Clear();
  EXPECT_EQ(PointsOf(back), shape);
  set.GetValues().Assign(back);
  EXPECT_EQ(PointsOf(set.GetValues()), shape);
  TFuzzySetValues part;
  part.CopyPoints(back, 1, 3);
  EXPECT_EQ(PointsOf(part), (Points{{-40, 1}, {-40, 0.25}, {0, 0.75}}));

  // A single point copied on its own.
  TOwnedItem single = ClonePersistent(*set.GetValues().GetPoint(1), set.GetValues().GetItemClass());
  EXPECT_EQ(static_cast<TFuzzySetValue&>(*single).GetX(), -40);
  EXPECT_EQ(static_cast<TFuzzySetValue&>(*single).GetY(), 1);
  variable.Terms.Clear();
}

TEST(FuzzySetValueStorage, RefillingAListForeverKeepsItsMemoryBounded) {
  size_t before = 0;
  if (!AllocatedBytes(before)) GTEST_SKIP() << "no way to tell the heap in use here";
  TFuzzySetValues values;
  // Each round some points leave with a new owner, who destroys them, and the rest are kept
  // for reuse: the next round takes as many fresh ones as left.
  auto round = [&values](int number) {
    for (int i = 0; i < 6; ++i)
      values.AddPoint(i, (i + number) % 2);
    for (int i = 0; i < 3; ++i) {
      TOwnedItem taken = values.Extract(*values.GetPoint(i));
      EXPECT_EQ(static_cast<TFuzzySetValue&>(*taken).GetCollection(), nullptr);
    }
    values.Clear();
  };
  for (int i = 0; i < 100; ++i)
    round(i);
  ASSERT_TRUE(AllocatedBytes(before));
  for (int i = 0; i < 100000; ++i)
    round(i);
  size_t after = 0;
  ASSERT_TRUE(AllocatedBytes(after));
  // Chunks never given back would have grown the heap by megabytes.
  EXPECT_LT(after, before + 16384) << "grew by " << after - before << " bytes";
}

TEST(FuzzySetValueStorage, PointsMayBeDestroyedOnAnotherThread) {
  std::mutex mutex;
  std::condition_variable ready;
  std::vector<TOwnedItem> handed;
  bool done = false;
  std::thread destroyer([&] {
    std::unique_lock lock(mutex);
    while (true) {
      ready.wait(lock, [&] { return done || !handed.empty(); });
      std::vector<TOwnedItem> batch = std::move(handed);
      handed.clear();
      const bool last = done;
      lock.unlock();
      batch.clear();
      if (last) return;
      lock.lock();
    }
  });
  TFuzzySetValues values;
  for (int round = 0; round < 20000; ++round) {
    // The list keeps filling the storage its taken points came from.
    values.AddPoint(round, 1);
    values.AddPoint(round + 0.5, 0);
    TOwnedItem taken = values.Extract(*values.GetPoint(values.GetCount() - 1));
    {
      std::lock_guard lock(mutex);
      handed.push_back(std::move(taken));
    }
    ready.notify_one();
    if (values.GetCount() > 8) values.Delete(0);
  }
  {
    std::lock_guard lock(mutex);
    done = true;
  }
  ready.notify_one();
  destroyer.join();
  EXPECT_EQ(values.GetCount(), 8);
  EXPECT_EQ(values.GetX(7), 19999);
}

}  // namespace
}  // namespace tapwise
