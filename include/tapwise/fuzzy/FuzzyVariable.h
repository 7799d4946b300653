#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "tapwise/foundation/Collection.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzySetContext.h"
#include "tapwise/fuzzy/FuzzySetResult.h"
#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

class TCustomFuzzyLogic;
class TFuzzyVariable;

/// The term collection of a `TFuzzyVariable`: it owns the terms (`TFuzzySet` items of the
/// variable's `FuzzySetClass`) and reports their changes to the variable.
class TFuzzySets : public TGCollection {
 public:
  /// The terms of `variable` (which may be null for a free collection of sets).
  TFuzzySets(TFuzzyVariable* variable, TCollectionItemClass item_class);

  std::string ClassName() const override { return "TFuzzySets"; }

  TFuzzyVariable* GetVariable() const { return FVariable; }
  TFuzzySet* GetSet(int index) const { return ItemAs<TFuzzySet>(index); }
  /// A new term at the end; it becomes the variable's selected term (`ItemIndex`).
  TFuzzySet* AddSet();
  /// A new term named `name`, `Defined` unless the name is empty or "__Empty".
  TFuzzySet* AddSet(const std::string& name);

  /// Base behaviour, then the variable's `FuzzySetNotify`; a term that joins becomes the
  /// selected term.
  void Notify(TGCollectionItem& item, TCollectionNotification action) override;
  /// Base behaviour, then the variable's `FuzzySetUpdate`.
  void Update(TGCollectionItem* item) override;

 private:
  TFuzzyVariable* FVariable;
};

/// The plain-object linguistic variable: an item of a variable collection (the collection of
/// a `TFuzzyLogic`), owning its terms in `Items`. It offers the rule-firing operations of the
/// interfaced variable and follows the `CorrelationMethod` and `InferenceMethod` of its
/// component (the owner of its collection).
///
/// Sets that rule firing makes belong to the consequent's term collection when it has one
/// (the result handle points at them), else to the returned handle.
///
///     auto out = variable.FireRule(inputs, antecedents, *consequent, accumulated.Get());
class TFuzzyVariable : public TGCollectionItem, public TFuzzySetContext {
 public:
  /// An empty variable over 0..1 whose terms are `TFuzzySet`s; `collection` is the
  /// collection it is about to join (or null) and is not joined here.
  explicit TFuzzyVariable(TGCollection* collection = nullptr);
  /// As above, with terms of `fuzzy_set_class`.
  TFuzzyVariable(TGCollection* collection, TCollectionItemClass fuzzy_set_class);
  ~TFuzzyVariable() override;

  std::string ClassName() const override { return "TFuzzyVariable"; }

  // ---- Properties ----

  const std::string& GetName() const { return FName; }
  /// Stores a different name (case-sensitive) and reports the change.
  void SetName(const std::string& value);
  const std::string& GetUnits() const { return FUnits; }
  void SetUnits(const std::string& value);
  const std::string& GetComment() const { return FComment; }
  void SetComment(const std::string& value);
  TFzyFloat GetMinimum() const override { return FMinimum; }
  /// A minimum above `Maximum` drags `Maximum` up too; each changed bound is reported.
  void SetMinimum(TFzyFloat value);
  TFzyFloat GetMaximum() const override { return FMaximum; }
  /// A maximum below `Minimum` drags `Minimum` down too; each changed bound is reported.
  void SetMaximum(TFzyFloat value);
  TFzyFloat GetThreshold() const override { return FThreshold; }
  /// Clamps to 0..1; no notification.
  void SetThreshold(TFzyFloat value);
  /// The selected term, -1 for none.
  int32_t GetItemIndex() const { return FItemIndex; }
  /// A value not below the number of terms raises EFzyException "List index out of bounds
  /// (%d)" and keeps the index.
  void SetItemIndex(int32_t value);
  TFuzzySets& GetItems() { return *FItems; }
  const TFuzzySets& GetItems() const { return *FItems; }
  /// Replaces the terms by copies of `value`'s.
  void SetItems(const TFuzzySets& value);
  const TCollectionItemClass& GetFuzzySetClass() const { return FFuzzySetClass; }

  /// The component that owns the variable's collection, or null.
  TCustomFuzzyLogic* GetFuzzyLogic() const;

  /// From another `TFuzzyVariable`: name, bounds, threshold, units, comment, `ItemIndex`,
  /// then copies of its terms. Other sources raise the cannot-assign error.
  void Assign(const TPersistent& source) override;
  /// The name, or the item default when it is empty.
  std::string GetDisplayName() const override;
  /// The parser's definition text when the component has a parser, else `GetDisplayName`.
  virtual std::string GetText() const;

  // ---- Rule firing ----

  /// How strongly a rule fires: the minimum over the pairs of the `MatchDegree` of
  /// `inputs[i]` with `antecedents[i]`; 1.0 without pairs. The spans must have the same
  /// length and hold no null sets (EFzyException otherwise).
  TFzyFloat RuleStrength(std::span<const TFuzzySet* const> inputs,
                         std::span<const TFuzzySet* const> antecedents) const;
  /// Implication and aggregation: null when `strength` is below `Threshold`; else a copy of
  /// `consequent` correlated with `strength` by the component's `CorrelationMethod` (capped
  /// without a component), combined with `accumulated` (when given) by the OR of the
  /// component's `InferenceMethod` (the pointwise maximum without a component). Neither
  /// argument changes; the caller replaces its accumulator by the result.
  virtual TFuzzySetResult ApplyRule(const TFuzzySet& consequent, const TFuzzySet* accumulated,
                                    TFzyFloat strength) const;
  /// `ApplyRule` with the `RuleStrength` of `inputs` and `antecedents`.
  virtual TFuzzySetResult FireRule(std::span<const TFuzzySet* const> inputs,
                                   std::span<const TFuzzySet* const> antecedents,
                                   const TFuzzySet& consequent, const TFuzzySet* accumulated) const;
  /// `ApplyRule` with the strength `input.MatchDegree(antecedent)`.
  virtual TFuzzySetResult FireSimpleRule(const TFuzzySet& input, const TFuzzySet& consequent,
                                         const TFuzzySet& antecedent,
                                         const TFuzzySet* accumulated) const;

  // ---- What its terms read (TFuzzySetContext) ----

  /// The component's settings, or the defaults without a component.
  TFuzzySetSettings GetSettings() const override;
  /// The component parser's short text of `set`, or none.
  std::optional<std::string> FuzzySetText(const TFuzzySet& set) const override;

  // ---- Term notifications (the term collection calls them) ----

  /// Keeps `ItemIndex` on a term, then reports the change to the variable's collection.
  virtual void FuzzySetUpdate(TGCollectionItem* item);
  /// Reports a term joining or leaving to the variable's collection.
  virtual void FuzzySetNotify(TGCollectionItem& item, TCollectionNotification action);

 protected:
  /// Into a string list: one line per term, its name, with the term as the line's object.
  /// Anything else raises the cannot-assign error.
  void AssignTo(TPersistent& dest) const override;
  /// The factory of the term collection.
  virtual std::unique_ptr<TFuzzySets> CreateFuzzySets();
  /// Files the change of this variable with its collection.
  void ReportChange();

 private:
  friend class TFuzzySets;

  TFzyFloat FMaximum = 1.0;
  std::string FName;
  TFzyFloat FMinimum = 0.0;
  int32_t FItemIndex = -1;
  std::string FUnits;
  TCollectionItemClass FFuzzySetClass;
  std::unique_ptr<TFuzzySets> FItems;
  std::string FComment;
  TFzyFloat FThreshold = 0.0;
};

}  // namespace tapwise
