#pragma once

#include <optional>
#include <string>

#include "tapwise/foundation/Collection.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzySetContext.h"

namespace tapwise::testing {

/// A minimal variable for set tests: a universe, settings and a term collection whose owner
/// it is, so that its sets find it as their variable. Counts the changes its terms report.
class TestVariable : public TPersistent, public TFuzzySetContext {
 public:
  TestVariable(TFzyFloat minimum, TFzyFloat maximum) : FMinimum(minimum), FMaximum(maximum) {}

  TFzyFloat GetMinimum() const override { return FMinimum; }
  TFzyFloat GetMaximum() const override { return FMaximum; }
  TFzyFloat GetThreshold() const override { return 0; }
  TFuzzySetSettings GetSettings() const override { return Settings; }
  std::optional<std::string> FuzzySetText(const TFuzzySet& set) const override {
    if (!HasParser) return std::nullopt;
    return "parsed " + set.GetName();
  }

  /// A new term of this variable.
  TFuzzySet& AddTerm(const std::string& name = "") {
    auto* set = static_cast<TFuzzySet*>(Terms.Add());
    set->SetName(name);
    return *set;
  }

  class Terms : public TGCollection {
   public:
    explicit Terms(TestVariable* owner)
        : TGCollection(owner, TCollectionItemClass::Of<TFuzzySet>()) {}
    void Update(TGCollectionItem* item) override {
      if (item != nullptr) ++ItemUpdates;
    }
    int ItemUpdates = 0;
  };

  TFuzzySetSettings Settings;
  bool HasParser = false;
  Terms Terms{this};

 private:
  TFzyFloat FMinimum;
  TFzyFloat FMaximum;
};

}  // namespace tapwise::testing
