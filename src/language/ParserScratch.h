#pragma once

#include <algorithm>
#include <utility>
#include <vector>

#include "tapwise/foundation/Collection.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzySetResult.h"
#include "tapwise/fuzzy/IFuzzySet.h"

namespace tapwise::detail {

// The sets that one term body or one evaluated expression made along the way. Only these may
// be changed in place; every other set an expression meets (a term, a carried set) is copied
// first. Interfaced scratch sets are held here and go with the last reference to them. Plain
// scratch sets are items of a term collection (so that they see the universe of their
// variable): those not kept as a term or handed to a caller are deleted when the scratch goes.
class TParserScratch {
 public:
  TParserScratch() = default;
  TParserScratch(const TParserScratch&) = delete;
  TParserScratch& operator=(const TParserScratch&) = delete;
  ~TParserScratch() {
    // Newest first, so that earlier positions stay valid while deleting.
    for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) {
      TFuzzySet* item = *it;
      TGCollection* collection = item->GetCollection();
      if (collection == nullptr) continue;
      try {
        collection->Delete(item->GetIndex());
      } catch (...) {  // NOLINT(bugprone-empty-catch): a failing change handler must not
                       // stop the clean-up or escape a destructor
      }
    }
  }

  void Add(const IntfPtr<IFuzzySet>& fuzzy_set) {
    if (FHasFirst) {
      FSets.push_back(fuzzy_set);
    } else {
      FFirst = fuzzy_set;
      FHasFirst = true;
    }
  }
  bool Owns(const IFuzzySet* fuzzy_set) const {
    return (FHasFirst && FFirst.Get() == fuzzy_set) ||
           std::any_of(FSets.begin(), FSets.end(),
                       [&](const IntfPtr<IFuzzySet>& own) { return own.Get() == fuzzy_set; });
  }

  // A plain set made as an item of a term collection.
  void AddItem(TFuzzySet* item) { FItems.push_back(item); }
  // A plain set held by a result handle (a set of no collection made one).
  TFuzzySet* Hold(TFuzzySetResult result) {
    TFuzzySet* set = result.Get();
    if (result.Owns()) {
      FHeld.push_back(std::move(result));
    } else if (set != nullptr) {
      FItems.push_back(set);
    }
    return set;
  }
  bool OwnsItem(const TFuzzySet* set) const {
    return std::find(FItems.begin(), FItems.end(), set) != FItems.end();
  }
  bool Owns(const TFuzzySet* set) const {
    return OwnsItem(set) || std::any_of(FHeld.begin(), FHeld.end(),
                                        [&](const TFuzzySetResult& r) { return r.Get() == set; });
  }
  // The item stays where it is: it became a term.
  void Keep(const TFuzzySet* item) {
    FItems.erase(std::remove(FItems.begin(), FItems.end(), item), FItems.end());
  }
  // Hands a scratch set to a caller: an item leaves its collection, a held set its handle.
  TFuzzySetResult Release(TFuzzySet* set) {
    if (OwnsItem(set)) {
      Keep(set);
      std::unique_ptr<TGCollectionItem> item = set->GetCollection()->Extract(*set);
      return TFuzzySetResult::Held(THeldFuzzySet(static_cast<TFuzzySet*>(item.release())));
    }
    for (auto it = FHeld.begin(); it != FHeld.end(); ++it) {
      if (it->Get() != set) continue;
      TFuzzySetResult result = std::move(*it);
      FHeld.erase(it);
      return result;
    }
    return TFuzzySetResult::Borrowed(*set);
  }

 private:
  // The first set apart: most term bodies make just one, which then costs no allocation.
  // Declared after the others so that it goes first, as the first of one list would.
  std::vector<IntfPtr<IFuzzySet>> FSets;
  IntfPtr<IFuzzySet> FFirst;
  bool FHasFirst = false;
  std::vector<TFuzzySet*> FItems;
  std::vector<TFuzzySetResult> FHeld;
};

}  // namespace tapwise::detail
