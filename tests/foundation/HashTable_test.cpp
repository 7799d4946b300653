#include "tapwise/foundation/HashTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/ExpectThrow.h"
#include "support/LiveObjectGuard.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/LinkedList.h"
#include "tapwise/foundation/StringHashTable.h"
#include "tapwise/foundation/StringList.h"

namespace tapwise {
namespace {

// The invariants every change must keep: each entry sits in its own bucket, the buckets
// ascend in indexed order, and Collisions counts the entries behind a bucket's head.
void ExpectConsistent(const TGStringHashtable& table) {
  std::set<int> buckets;
  int previous_bucket = -1;
  for (int i = 0; i < table.GetCount(); ++i) {
    const TGHashtableEntry* entry = table.EntryAt(i);
    EXPECT_EQ(entry->GetBucket(), table.HashIndex(entry->GetKeyText(), table.GetCapacity()));
    EXPECT_GE(entry->GetBucket(), previous_bucket);
    previous_bucket = entry->GetBucket();
    buckets.insert(entry->GetBucket());
  }
  EXPECT_EQ(table.GetCollisions(), table.GetCount() - static_cast<int>(buckets.size()));
  EXPECT_LE(table.GetCount(), table.GrowthLimit());
}

std::string Key(int i) {
  return "key" + std::to_string(i);
}

// A key of the given bucket under division with 101 buckets.
std::string KeyInBucket(int bucket) {
  TGStringHashtable probe;
  for (int i = 0;; ++i) {
    if (probe.HashIndex(Key(i), 101) == bucket) return Key(i);
  }
}

TEST(StringHashTableTest, HashOfAbcUnderTheFourMethods) {
  EXPECT_EQ(TGCustomHashtable::StringHash("abc"), 136518u);
  TGStringHashtable table;
  const std::vector<std::pair<TGHashType, int>> expected = {
      {htDivision, 67}, {htTruncation, 13}, {htMidSquare, 42}, {htFolding, 23}};
  for (const auto& [type, bucket] : expected) {
    table.SetHashType(type);
    EXPECT_EQ(table.HashIndex("abc", 101), bucket) << "hash type " << int(type);
  }
}

TEST(StringHashTableTest, LongKeysSampleEveryStepthCharacter) {
  const std::string key = "abcdefghijklmnopqrstuvwx";  // 24 characters: step 3
  uint32_t expected = 0;
  for (int position : {1, 4, 7, 10, 13, 16, 19, 22}) {
    expected = expected * 39 + static_cast<unsigned char>(key[position - 1]);
  }
  EXPECT_EQ(TGCustomHashtable::StringHash(key), expected);
  std::string other = key;
  other[1] = 'Z';  // position 2 is not sampled
  EXPECT_EQ(TGCustomHashtable::StringHash(other), expected);
  EXPECT_EQ(TGCustomHashtable::StringHash(""), 0u);
}

TEST(StringHashTableTest, KeysAreCheckedAndMissingOnesReported) {
  TGStringHashtable table;
  int value = 1;
  EXPECT_THROW_MSG(table.Get(""), EGHashtableError, "Table is empty");
  EXPECT_THROW_MSG(table.Get("abc"), EGHashtableError, "Table is empty");
  EXPECT_THROW_MSG(table.Remove("abc"), EGHashtableError, "Table is empty");
  EXPECT_THROW_MSG(table.Put("", &value), EGHashtableError, "Argument is null");
  EXPECT_THROW_MSG(table.Put(std::string(1, '\0'), &value), EGHashtableError, "Argument is null");
  EXPECT_EQ(table.GetCount(), 0);

  EXPECT_EQ(table.Put("OutTemp", &value), nullptr);
  EXPECT_EQ(table.Lookup("outTemp"), nullptr);  // letter case counts
  EXPECT_THROW_MSG(table.Get("outTemp"), EGHashtableError, "No such element");
  EXPECT_THROW_MSG(table.Remove("outTemp"), EGHashtableError, "No such element");
  EXPECT_THROW_MSG(table.FindEntry(""), EGHashtableError, "Argument is null");
  EXPECT_EQ(table.Lookup(""), nullptr);
  EXPECT_THROW_MSG(table.EntryAt(1), EListError, "List index out of bounds (1)");

  int other = 2;
  EXPECT_EQ(table.Put("outTemp", &other), nullptr);
  EXPECT_EQ(table.GetCount(), 2);
  EXPECT_EQ(table.Put("OutTemp", &other), &value);  // replaced, count unchanged
  EXPECT_EQ(table.GetCount(), 2);
  EXPECT_EQ(table.Get("OutTemp"), &other);
  EXPECT_TRUE(table.ContainsValue(&other));
  EXPECT_FALSE(table.ContainsValue(&value));
  EXPECT_EQ(table.Remove("OutTemp"), &other);
  EXPECT_EQ(table.GetCount(), 1);
}

TEST(StringHashTableTest, The77thKeyGrowsTheTableBeforeItIsInserted) {
  TGStringHashtable table;
  EXPECT_EQ(table.GetCapacity(), 101u);
  EXPECT_EQ(table.GrowthLimit(), 76);
  int value = 0;
  for (int i = 0; i < 76; ++i)
    table.Put(Key(i), &value);
  EXPECT_EQ(table.GetCapacity(), 101u);
  ExpectConsistent(table);
  table.Put(Key(76), &value);
  EXPECT_EQ(table.GetCapacity(), 203u);
  EXPECT_EQ(table.GrowthLimit(), 152);
  EXPECT_EQ(table.GetCount(), 77);
  EXPECT_EQ(table.FindEntry(Key(76))->GetBucket(), table.HashIndex(Key(76), 203));
  ExpectConsistent(table);
  for (int i = 0; i < 77; i += 2)
    table.Remove(Key(i));
  ExpectConsistent(table);
}

TEST(StringHashTableTest, TheGrowthLimitFollowsLaterSettings) {
  TGStringHashtable table;
  table.SetLoadFactor(0.5f);
  EXPECT_EQ(table.GrowthLimit(), 50);  // 50.5 rounds to even
  table.SetCapacity(11);
  EXPECT_EQ(table.GrowthLimit(), 6);  // 5.5 rounds to even
  table.SetLoadFactor(-1.0f);
  EXPECT_EQ(table.GrowthLimit(), 1);
  table.SetLoadFactor(1.0f);
  int value = 0;
  for (int i = 0; i < 11; ++i)
    table.Put(Key(i), &value);
  EXPECT_EQ(table.GetCapacity(), 11u);
  table.Put(Key(11), &value);
  EXPECT_EQ(table.GetCapacity(), 23u);
  EXPECT_EQ(table.GrowthLimit(), 23);
  ExpectConsistent(table);
}

TEST(StringHashTableTest, TablesWithoutRoomStillAcceptKeys) {
  TGStringHashtable no_buckets(0, 0.75f);
  EXPECT_EQ(no_buckets.GetCapacity(), 1u);
  int value = 0;
  no_buckets.Put("a", &value);
  no_buckets.Put("b", &value);
  EXPECT_EQ(no_buckets.GetCapacity(), 3u);
  no_buckets.SetCapacity(0);  // keeps its entries
  EXPECT_EQ(no_buckets.GetCapacity(), 1u);
  EXPECT_EQ(no_buckets.GetCount(), 2);
  EXPECT_EQ(no_buckets.Get("b"), &value);

  TGStringHashtable no_load(101, 0.0f);
  EXPECT_EQ(no_load.GrowthLimit(), 1);
  for (int i = 0; i < 300; ++i)
    no_load.Put(Key(i), &value);
  EXPECT_EQ(no_load.GetCount(), 300);
  EXPECT_EQ(no_load.GetCapacity(), 101u);  // growing would never make room
  EXPECT_EQ(no_load.Get(Key(299)), &value);
}

TEST(StringHashTableTest, HashTypeChangesOnlyWhenEmpty) {
  TGStringHashtable table;
  int value = 0;
  table.Put("abc", &value);
  EXPECT_THROW_MSG(table.SetHashType(htFolding), EGHashtableError,
                   "Cannot perform this operation with non-empty table");
  table.SetHashType(htDivision);  // unchanged: no error
  EXPECT_THROW_MSG(table.SetHashType(static_cast<TGHashType>(7)), EGHashtableError,
                   "Subscript out of range");
  table.Clear();
  table.SetHashType(htFolding);
  table.Put("abc", &value);
  EXPECT_EQ(table.FindEntry("abc")->GetBucket(), 23);
}

TEST(StringHashTableTest, EnumerationRunsDownTheBucketsAndIndexingUp) {
  TGStringHashtable table;
  int value = 0;
  const std::string low = KeyInBucket(3);
  const std::string high = KeyInBucket(90);
  table.Put(low, &value);
  table.Put(high, &value);
  IntfPtr<IEnumerator> keys = table.Keys();
  EXPECT_EQ(keys->GetCount(), 2);
  EXPECT_EQ(keys->NextElement().GetKeyText(), high);
  EXPECT_EQ(keys->NextElement().GetKeyText(), low);
  EXPECT_EQ(keys->Current()->GetKeyText(), low);
  EXPECT_FALSE(keys->HasMoreElements());
  EXPECT_EQ(keys->Remaining(), 0);
  EXPECT_THROW_MSG(keys->NextElement(), EGHashtableError, "No such element");
  EXPECT_EQ(table.EntryAt(0)->GetKeyText(), low);
  EXPECT_EQ(table.EntryAt(1)->GetKeyText(), high);

  table.Keys();
  EXPECT_EQ(table.NextKeyText(), high);
  table.Put("abc", &value);
  EXPECT_THROW_MSG(table.NextKey(), EGHashtableError, "Table changed during enumeration");
}

TEST(StringHashTableTest, CursorStepsBackWhenItsEntryIsRemoved) {
  TGStringHashtable table;
  int value = 0;
  for (int i = 0; i < 12; ++i)
    table.Put(Key(i), &value);
  std::vector<std::string> order;
  for (int i = 0; i < table.GetCount(); ++i)
    order.emplace_back(table.EntryAt(i)->GetKeyText());
  EXPECT_EQ(table.EntryAt(5)->GetKeyText(), order[5]);
  EXPECT_EQ(table.GetCursorIndex(), 5);
  table.Remove(order[5]);
  EXPECT_EQ(table.GetCursorIndex(), 4);
  EXPECT_EQ(table.EntryAt(4)->GetKeyText(), order[4]);
  EXPECT_EQ(table.EntryAt(5)->GetKeyText(), order[6]);
  // Walking back over bucket boundaries, and removing another entry, invalidates nothing
  // wrongly.
  for (int i = 10; i >= 0; --i) {
    const std::string expected = order[i < 5 ? i : i + 1];
    EXPECT_EQ(table.EntryAt(i)->GetKeyText(), expected);
  }
  table.Remove(order[9]);
  EXPECT_EQ(table.GetCursorIndex(), -1);
  ExpectConsistent(table);
}

// Records the owner calls of a table.
class TRecordingOwner : public TInterfacedObject, public IHashTableOwner {
 public:
  void TableChanged(TGCustomHashtable&) override { log.push_back("changed"); }
  void BeforePut(TGCustomHashtable&, const THashKey& key, void*) override {
    log.push_back("put " + std::string(key.Text));
  }
  void BeforeRemove(TGCustomHashtable&, const THashKey& key) override {
    log.push_back("remove " + std::string(key.Text));
  }
  void BeforeClear(TGCustomHashtable&) override { log.push_back("clear"); }
  std::vector<std::string> log;
};

TEST(StringHashTableTest, OwnerAndOnChangeHearOfChangesOutsideBrackets) {
  testing::LiveObjectGuard guard;
  auto owner = CreateInterfaced<TRecordingOwner>();
  TGStringHashtable table;
  table.SetOwner(owner.Get());
  int changes = 0;
  table.SetOnChange([&](TPersistent* sender) {
    EXPECT_EQ(sender, &table);
    ++changes;
  });
  int value = 0;
  table.Put("a", &value);
  table.BeginUpdate();
  table.Put("b", &value);
  table.Remove("a");
  EXPECT_EQ(changes, 1);
  table.EndUpdate();
  EXPECT_EQ(changes, 2);
  table.Clear();
  table.Clear();  // empty: nothing
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(owner->log, (std::vector<std::string>{"put a", "changed", "put b", "remove a",
                                                  "changed", "clear", "changed"}));
  table.SetOwner(nullptr);
}

TEST(StringHashTableTest, AssignCopiesSettingsAndEntries) {
  TGStringHashtable source(11, 0.5f);
  source.SetHashType(htMidSquare);
  int values[3] = {1, 2, 3};
  for (int i = 0; i < 3; ++i)
    source.Put(Key(i), &values[i]);
  TGStringHashtable copy;
  copy.Put("old", &values[0]);
  copy.Assign(source);
  EXPECT_EQ(copy.GetCapacity(), 11u);
  EXPECT_EQ(copy.GetLoadFactor(), 0.5f);
  EXPECT_EQ(copy.GetHashType(), htMidSquare);
  EXPECT_EQ(copy.GetCount(), 3);
  EXPECT_EQ(copy.Lookup("old"), nullptr);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(copy.Get(Key(i)), &values[i]);

  TGCustomLinkedList<std::string> keys;
  keys.Add("stale");
  keys.Assign(source);
  std::vector<std::string> expected;
  source.ForEachEntry(
      [&](const TGHashtableEntry& entry) { expected.emplace_back(entry.GetKeyText()); });
  std::vector<std::string> listed;
  for (auto* node = keys.GetHead(); node != nullptr; node = node->GetNext()) {
    listed.push_back(node->GetItem());
  }
  EXPECT_EQ(listed, expected);

  TGCustomHashtable numbers;
  EXPECT_THROW_MSG(copy.Assign(numbers), EConvertError,
                   "Cannot assign a TGCustomHashtable to a TGStringHashtable");
  TGCustomLinkedList<uint32_t> numeric_keys;
  EXPECT_THROW_MSG(numeric_keys.Assign(source), EConvertError,
                   "Cannot assign a TGStringHashtable to a TGCustomLinkedList");
}

TEST(StringHashTableTest, ConvertsToAndFromStringLists) {
  int values[3] = {1, 2, 3};
  TStringList lines;
  lines.AddObject("cold", &values[0]);
  lines.AddObject("hot", &values[1]);
  lines.AddObject("cold", &values[2]);
  TGStringHashtable table;
  table.Put("stale", &values[0]);
  int changes = 0;
  table.SetOnChange([&](TPersistent*) { ++changes; });
  table.Assign(lines);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(table.GetCount(), 2);
  EXPECT_EQ(table.Get("cold"), &values[2]);  // a repeated line keeps the last object

  // A failing line still closes the bracket.
  lines.Add("");
  EXPECT_THROW_MSG(table.Assign(lines), EGHashtableError, "Argument is null");
  table.Put("warm", &values[0]);
  EXPECT_EQ(changes, 3);

  TStringList back;
  back.Assign(table);
  std::vector<std::string> expected;
  table.ForEachEntry(
      [&](const TGHashtableEntry& entry) { expected.emplace_back(entry.GetKeyText()); });
  ASSERT_EQ(back.GetCount(), static_cast<int>(expected.size()));
  for (int i = 0; i < back.GetCount(); ++i) {
    EXPECT_EQ(back.GetString(i), expected[static_cast<size_t>(i)]);
    EXPECT_EQ(back.GetObject(i), table.Get(back.GetString(i)));
  }

  TIStringHashTable interfaces;
  EXPECT_THROW_MSG(interfaces.Assign(lines), EConvertError,
                   "Cannot assign a TStringList to a TIStringHashTable");
}

TEST(HashTableTest, IntegerKeysAreTheirOwnHash) {
  TGCustomHashtable table;
  int value = 0;
  EXPECT_THROW_MSG(table.Put(0, &value), EGHashtableError, "Argument is null");
  table.Put(136518, &value);
  EXPECT_EQ(table.EntryAt(0)->GetBucket(), 67);
  EXPECT_EQ(table.Get(136518), &value);
  EXPECT_THROW_MSG(table.Get(5), EGHashtableError, "No such element");
  TGCustomLinkedList<uint32_t> keys;
  keys.Assign(table);
  EXPECT_EQ(keys.Peek(), 136518u);
  EXPECT_EQ(table.Remove(136518), &value);
}

class TNamed : public TInterfacedObject {
 public:
  explicit TNamed(std::string name) : FName(std::move(name)) {}
  const std::string& Name() const { return FName; }

 private:
  std::string FName;
};

std::string NameOf(const IntfPtr<IInterface>& item) {
  auto named = Supports<TNamed>(item);
  return named ? named->Name() : "-";
}

TEST(InterfaceHashTableTest, HoldsOneReferencePerEntry) {
  testing::LiveObjectGuard guard;
  {
    TIStringHashTable table;
    TIStringHashTable copy;
    TGStringHashtable plain;
    IntfPtr<IInterface> cold = CreateInterfaced<TNamed>("cold");
    EXPECT_EQ(table.PutItem("cold", cold), nullptr);
    EXPECT_EQ(table.PutItem("hot", CreateInterfaced<TNamed>("hot")), nullptr);
    EXPECT_EQ(guard.Alive(), 2);

    IntfPtr<IInterface> previous = table.PutItem("hot", CreateInterfaced<TNamed>("very hot"));
    EXPECT_EQ(NameOf(previous), "hot");
    previous = nullptr;
    EXPECT_EQ(guard.Alive(), 2);
    EXPECT_EQ(NameOf(table.GetItem("hot")), "very hot");

    IntfPtr<IInterface> found;
    EXPECT_TRUE(table.TryGet("cold", found));
    EXPECT_EQ(found, cold);
    EXPECT_FALSE(table.TryGet("", found));
    EXPECT_FALSE(table.TryGet("warm", found));
    EXPECT_FALSE(found);
    EXPECT_THROW_MSG(table.GetItem("warm"), EGHashtableError, "No such element: warm");
    EXPECT_THROW_MSG(table.RemoveItem("warm"), EGHashtableError, "No such element: warm");
    EXPECT_THROW_MSG(table.Put("x", nullptr), EGHashtableError,
                     "An interface table stores interfaces, not plain pointers");

    copy.Assign(table);
    EXPECT_EQ(copy.GetItem("cold"), cold);
    EXPECT_EQ(NameOf(copy.ItemAt(0)), NameOf(table.ItemAt(0)));
    EXPECT_THROW_MSG(copy.Assign(plain), EConvertError,
                     "Cannot assign a TGStringHashtable to a TIStringHashTable");
    EXPECT_EQ(copy.GetCount(), 2);

    IntfPtr<IInterface> removed = table.RemoveItem("cold");
    EXPECT_EQ(removed, cold);
    table.Clear();
    EXPECT_THROW_MSG(table.GetItem("cold"), EGHashtableError, "Table is empty");
    EXPECT_EQ(guard.Alive(), 2);  // still held by the copy
  }
}

// An item that notes when it goes, and checks that the table it was in is empty by then.
class TNotingItem : public TInterfacedObject {
 public:
  TNotingItem(std::string name, std::vector<std::string>& gone, const TIStringHashTable& table)
      : FName(std::move(name)), FGone(gone), FTable(table) {}
  ~TNotingItem() override {
    FGone.push_back(FName);
    EXPECT_EQ(FTable.GetCount(), 0);
  }

 private:
  std::string FName;
  std::vector<std::string>& FGone;
  const TIStringHashTable& FTable;
};

// Clear lets the entries go the last bucket first, each chain from its head, with the table
// already empty; a table of few entries and one of many chains do the same. Destroying the
// table goes the same way.
TEST(InterfaceHashTableTest, EntriesGoTheLastBucketFirstWithTheTableEmpty) {
  testing::LiveObjectGuard guard;
  for (const int count : {5, 60}) {
    for (const bool destroy : {false, true}) {
      SCOPED_TRACE(std::to_string(count) + (destroy ? " destroyed" : " cleared"));
      std::vector<std::string> gone;
      std::vector<std::string> expected;
      {
        TIStringHashTable table;
        for (int i = 0; i < count; ++i)
          table.PutItem(Key(i), IntfPtr<IInterface>(new TNotingItem(Key(i), gone, table)));
        table.ForEachEntry(
            [&](const TGHashtableEntry& entry) { expected.emplace_back(entry.GetKeyText()); });
        if (!destroy) {
          table.Clear();
          EXPECT_EQ(gone, expected);
          table.PutItem("again", IntfPtr<IInterface>(new TNamed("again")));
          EXPECT_EQ(table.GetCount(), 1);
          EXPECT_EQ(NameOf(table.GetItem("again")), "again");
        }
      }
      EXPECT_EQ(gone, expected);
    }
  }
}

}  // namespace
}  // namespace tapwise
