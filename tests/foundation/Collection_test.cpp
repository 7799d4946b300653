#include "tapwise/foundation/Collection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "support/ExpectThrow.h"
#include "tapwise/foundation/Cloneable.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/StringList.h"

namespace tapwise {
namespace {

// A named item whose content is its name.
class TNamedItem : public TGCollectionItem {
 public:
  TNamedItem() = default;
  std::string ClassName() const override { return "TNamedItem"; }
  std::string GetDisplayName() const override {
    return FName.empty() ? TGCollectionItem::GetDisplayName() : FName;
  }
  void SetDisplayName(const std::string& value) override {
    FName = value;
    Changed(false);
  }
  void Assign(const TPersistent& source) override {
    if (const auto* other = dynamic_cast<const TNamedItem*>(&source)) {
      FName = other->FName;
      return;
    }
    TGCollectionItem::Assign(source);
  }

 private:
  std::string FName;
};

class TOtherItem : public TGCollectionItem {};

// Records every hook in the order it runs, naming the item by its identifier.
class TRecordingCollection : public TGCollection {
 public:
  TRecordingCollection() : TGCollection(nullptr, TCollectionItemClass::Of<TNamedItem>()) {}
  ~TRecordingCollection() override { Clear(); }

  void Added(TGCollectionItem& item) override { Log("Added", &item); }
  void Deleting(TGCollectionItem& item) override { Log("Deleting", &item); }
  void Notify(TGCollectionItem& item, TCollectionNotification action) override {
    static const char* const kNames[] = {"added", "extracting", "deleting"};
    Log(std::string("Notify ") + kNames[action], &item);
    TGCollection::Notify(item, action);
  }
  void SetItemName(TGCollectionItem& item) override { Log("SetItemName", &item); }
  void Update(TGCollectionItem* item) override { Log("Update", item); }
  using TGCollection::ArrangeItems;
  using TGCollection::DeleteItems;

  std::vector<std::string> log;

 private:
  void Log(const std::string& what, const TGCollectionItem* item) {
    log.push_back(what + (item != nullptr ? " " + std::to_string(item->GetID()) : " none"));
  }
};

std::vector<int> Ids(const TGCollection& collection) {
  std::vector<int> ids;
  for (int i = 0; i < collection.GetCount(); ++i)
    ids.push_back(collection.GetItem(i)->GetID());
  return ids;
}

TEST(CollectionTest, IdentifiersAreNeverReusedAndIndexesFollowPositions) {
  TRecordingCollection collection;
  collection.Add();
  collection.Add();
  collection.Add();
  EXPECT_EQ(Ids(collection), (std::vector<int>{0, 1, 2}));
  collection.Delete(1);
  TGCollectionItem* fourth = collection.Add();
  EXPECT_EQ(fourth->GetID(), 3);
  EXPECT_EQ(Ids(collection), (std::vector<int>{0, 2, 3}));
  for (int i = 0; i < collection.GetCount(); ++i)
    EXPECT_EQ(collection.GetItem(i)->GetIndex(), i);

  collection.Clear();
  EXPECT_EQ(collection.Add()->GetID(), 4);
}

TEST(CollectionTest, AddAndDeleteRunTheHooksInOrder) {
  TRecordingCollection collection;
  collection.Add();
  EXPECT_EQ(collection.log, (std::vector<std::string>{"SetItemName 0", "Notify added 0", "Added 0",
                                                      "Update none", "Added 0"}));
  collection.log.clear();
  collection.Delete(0);
  EXPECT_EQ(collection.log, (std::vector<std::string>{"Notify deleting 0", "Deleting 0",
                                                      "Notify extracting 0", "Update none"}));
  EXPECT_EQ(collection.GetCount(), 0);
}

TEST(CollectionTest, DeleteItemsRemovesTheMarkedItemsWithDeletesHooks) {
  TRecordingCollection collection;
  for (int i = 0; i < 5; ++i)
    collection.Add();
  TGCollectionItem* linked = collection.GetItem(4);
  collection.GetItem(1)->Link(*linked);
  collection.log.clear();
  // Marks past the end are ignored; so is a list that marks nothing.
  collection.DeleteItems({false, false, false});
  EXPECT_TRUE(collection.log.empty());
  collection.DeleteItems({false, true, false, true});
  EXPECT_EQ(collection.log,
            (std::vector<std::string>{"Notify deleting 1", "Deleting 1", "Notify extracting 1",
                                      "Notify deleting 3", "Deleting 3", "Notify extracting 3",
                                      "Update none"}));
  EXPECT_EQ(Ids(collection), (std::vector<int>{0, 2, 4}));
  for (int i = 0; i < collection.GetCount(); ++i)
    EXPECT_EQ(collection.GetItem(i)->GetIndex(), i);
  EXPECT_EQ(linked->GetLinks(), nullptr);
  collection.DeleteItems({true, true, true});
  EXPECT_EQ(collection.GetCount(), 0);
}

TEST(CollectionTest, ArrangeItemsReordersOrRefusesWithoutChange) {
  TRecordingCollection collection;
  for (int i = 0; i < 4; ++i)
    collection.Add();
  collection.log.clear();
  collection.ArrangeItems({2, 0, 3, 1});
  EXPECT_EQ(Ids(collection), (std::vector<int>{2, 0, 3, 1}));
  for (int i = 0; i < collection.GetCount(); ++i)
    EXPECT_EQ(collection.GetItem(i)->GetIndex(), i);
  EXPECT_EQ(collection.log, (std::vector<std::string>{"Update none"}));
  for (const std::vector<int>& bad :
       {std::vector<int>{0, 1, 2}, std::vector<int>{0, 1, 1, 2}, std::vector<int>{0, 1, 2, 4}}) {
    EXPECT_THROW_MSG(collection.ArrangeItems(bad), EListError, "Invalid property value");
    EXPECT_EQ(Ids(collection), (std::vector<int>{2, 0, 3, 1}));
  }
}

TEST(CollectionTest, UpdateBracketsDeferUpdateToTheEnd) {
  TRecordingCollection collection;
  collection.BeginUpdate();
  collection.Add();
  collection.Add();
  collection.GetItem(0)->SetDisplayName("a");
  EXPECT_EQ(std::count(collection.log.begin(), collection.log.end(), "Update none"), 0);
  collection.log.clear();
  collection.EndUpdate();
  EXPECT_EQ(collection.log, (std::vector<std::string>{"Update none"}));

  // Outside a bracket an item reports itself, a move reports the whole collection.
  collection.log.clear();
  collection.GetItem(1)->SetDisplayName("b");
  collection.GetItem(1)->SetIndex(0);
  EXPECT_EQ(collection.log, (std::vector<std::string>{"Update 1", "Update none"}));
  EXPECT_EQ(Ids(collection), (std::vector<int>{1, 0}));

  // Clear destroys the last first, within one bracket, without deleting notifications.
  collection.log.clear();
  collection.Clear();
  EXPECT_EQ(collection.log, (std::vector<std::string>{"Notify extracting 0", "Notify extracting 1",
                                                      "Update none"}));
}

TEST(CollectionTest, InsertPlacesTheNewItemAndChecksTheIndex) {
  TRecordingCollection collection;
  collection.Add();
  collection.Add();
  EXPECT_EQ(collection.Insert(1)->GetID(), 2);
  EXPECT_EQ(collection.Insert(3)->GetID(), 3);
  EXPECT_EQ(collection.Insert(0)->GetID(), 4);
  EXPECT_EQ(Ids(collection), (std::vector<int>{4, 0, 2, 1, 3}));
  EXPECT_THROW_MSG(collection.Insert(6), EListError, "List index out of bounds (6)");
  EXPECT_EQ(collection.GetCount(), 5);
  EXPECT_THROW_MSG(collection.GetItem(5), EListError, "List index out of bounds (5)");
  EXPECT_THROW_MSG(collection.GetItem(0)->SetIndex(5), EListError, "List index out of bounds (5)");
}

TEST(CollectionTest, ItemsOfAForeignClassAreRefused) {
  TRecordingCollection collection;
  std::unique_ptr<TGCollectionItem> foreign = std::make_unique<TOtherItem>();
  EXPECT_THROW_MSG(collection.AddItem(std::move(foreign)), EListError, "Invalid property value");
  EXPECT_EQ(collection.GetCount(), 0);
  EXPECT_NE(foreign, nullptr);  // still the caller's

  TGCollection others(nullptr, TCollectionItemClass::Of<TOtherItem>());
  TGCollectionItem* other = others.Add();
  EXPECT_THROW_MSG(other->SetCollection(&collection), EListError, "Invalid property value");
  EXPECT_EQ(other->GetCollection(), &others);
  EXPECT_EQ(others.GetCount(), 1);
}

TEST(CollectionTest, ItemsMoveBetweenCollectionsAndCanBeTakenOut) {
  TRecordingCollection source;
  TRecordingCollection target;
  target.Add();
  TGCollectionItem* item = source.Add();
  source.Add();
  item->SetCollection(&target);
  EXPECT_EQ(source.GetCount(), 1);
  EXPECT_EQ(source.GetItem(0)->GetIndex(), 0);
  EXPECT_EQ(target.GetItem(1), item);
  EXPECT_EQ(item->GetID(), 1);  // the target's next identifier

  std::unique_ptr<TGCollectionItem> owned = target.Extract(*item);
  EXPECT_EQ(owned->GetCollection(), nullptr);
  EXPECT_EQ(owned->GetIndex(), -1);
  EXPECT_EQ(target.GetCount(), 1);
  EXPECT_THROW_MSG(owned->SetCollection(&target), EListError, "Invalid property value");
  EXPECT_EQ(target.AddItem(std::move(owned))->GetID(), 2);
}

TEST(CollectionTest, LinksAreSymmetricAndDroppedOnDestruction) {
  TRecordingCollection collection;
  TGCollectionItem* a = collection.Add();
  TGCollectionItem* b = collection.Add();
  TGCollectionItem* c = collection.Add();
  EXPECT_EQ(a->GetLinks(), nullptr);
  a->Link(*b);
  a->Link(*b);
  ASSERT_NE(a->GetLinks(), nullptr);
  ASSERT_NE(b->GetLinks(), nullptr);
  EXPECT_EQ(*a->GetLinks(), (std::vector<TGCollectionItem*>{b}));
  EXPECT_EQ(*b->GetLinks(), (std::vector<TGCollectionItem*>{a}));

  a->Link(*c);
  c->Unlink(*a);
  EXPECT_EQ(c->GetLinks(), nullptr);
  EXPECT_EQ(*a->GetLinks(), (std::vector<TGCollectionItem*>{b}));

  collection.Delete(a->GetIndex());
  EXPECT_EQ(b->GetLinks(), nullptr);

  // A free-standing item unlinks itself too.
  auto loose = std::make_unique<TNamedItem>();
  loose->Link(*b);
  loose.reset();
  EXPECT_EQ(b->GetLinks(), nullptr);
}

TEST(CollectionTest, AssignCopiesItemsInOrderWithinOneBracket) {
  TRecordingCollection source;
  source.Add()->SetDisplayName("cold");
  source.Add()->SetDisplayName("hot");
  TRecordingCollection target;
  target.Add();
  target.log.clear();
  target.Assign(source);
  ASSERT_EQ(target.GetCount(), 2);
  EXPECT_EQ(target.GetItem(0)->GetDisplayName(), "cold");
  EXPECT_EQ(target.GetItem(1)->GetDisplayName(), "hot");
  EXPECT_EQ(std::count(target.log.begin(), target.log.end(), "Update none"), 1);
  EXPECT_EQ(target.log.back(), "Update none");

  // A failing item assignment still closes the bracket.
  TGCollection others(nullptr, TCollectionItemClass::Of<TOtherItem>());
  others.Add();
  EXPECT_THROW_MSG(target.Assign(others), EConvertError,
                   "Cannot assign a TGCollectionItem to a TNamedItem");
  EXPECT_EQ(target.GetUpdateCount(), 0);

  TNamedItem item;
  EXPECT_THROW_MSG(target.Assign(item), EConvertError,
                   "Cannot assign a TNamedItem to a TGCollection");
}

TEST(CollectionTest, CopiesToAStringListOfDisplayNamesWithTheItems) {
  TRecordingCollection collection;
  collection.Add()->SetDisplayName("cold");
  collection.Add();
  TStringList lines;
  lines.Add("stale");
  int changes = 0;
  lines.SetOnChange([&](TPersistent*) { ++changes; });
  lines.Assign(collection);
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(lines.GetCount(), 2);
  EXPECT_EQ(lines.GetString(0), "cold");
  EXPECT_EQ(lines.GetString(1), "TNamedItem");
  EXPECT_EQ(lines.GetObject(1), collection.GetItem(1));

  TStringList other;
  EXPECT_THROW_MSG(collection.Assign(other), EConvertError,
                   "Cannot assign a TStringList to a TGCollection");
}

TEST(CollectionTest, IndexOfNameIsCaseSensitive) {
  TRecordingCollection collection;
  collection.Add()->SetDisplayName("low");
  collection.Add();
  collection.Add()->SetDisplayName("OK");
  EXPECT_EQ(IndexOfName(collection, "OK"), 2);
  EXPECT_EQ(IndexOfName(collection, "ok"), -1);
  EXPECT_EQ(IndexOfName(collection, "TNamedItem"), 1);
}

TEST(CollectionTest, ClonePersistentMakesAFreeStandingCopy) {
  TRecordingCollection collection;
  TGCollectionItem* item = collection.Add();
  item->SetDisplayName("hot");
  std::unique_ptr<TGCollectionItem> copy = ClonePersistent(*item, collection.GetItemClass());
  EXPECT_EQ(copy->GetCollection(), nullptr);
  EXPECT_EQ(copy->GetDisplayName(), "hot");
  EXPECT_EQ(copy->ClassName(), "TNamedItem");

  // The generic form takes any factory.
  auto other =
      ClonePersistent(*item, [](const TPersistent&) { return std::make_unique<TNamedItem>(); });
  EXPECT_EQ(other->GetDisplayName(), "hot");
}

}  // namespace
}  // namespace tapwise
