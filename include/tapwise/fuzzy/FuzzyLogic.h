#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "tapwise/foundation/Collection.h"
#include "tapwise/fuzzy/CustomFuzzyLogic.h"
#include "tapwise/fuzzy/FuzzyVariable.h"

namespace tapwise {

class TFuzzyLogic;

/// The variable collection of a `TFuzzyLogic`: it owns the `TFuzzyVariable`s and tells the
/// component when one changes, joins or leaves.
class TFuzzyVariables : public TGCollection {
 public:
  /// The variables of `logic` (which may be null), made by `item_class`.
  TFuzzyVariables(TFuzzyLogic* logic, TCollectionItemClass item_class);

  std::string ClassName() const override { return "TFuzzyVariables"; }

  TFuzzyLogic* GetFuzzyLogic() const { return FLogic; }
  TFuzzyVariable* GetVariable(int index) const { return ItemAs<TFuzzyVariable>(index); }
  /// A new empty variable at the end.
  TFuzzyVariable* AddVariable();
  /// The first variable named `name` (case-sensitive), or null.
  TFuzzyVariable* FindVariable(std::string_view name) const;

  /// A variable or the collection changed: the component's `VariableChanged`.
  void Update(TGCollectionItem* item) override;
  /// Base behaviour, then the component's `VariableAdded` or `VariableDeleted`.
  void Notify(TGCollectionItem& item, TCollectionNotification action) override;

 private:
  TFuzzyLogic* FLogic;
};

/// The collection-based fuzzy-logic component: its variables are `TFuzzyVariable` items of
/// its `FuzzyVariables` collection, which it owns. Parsing `Strings` replaces them;
/// changing them marks the component modified, so that the next read of `Strings` writes the
/// text again.
///
///     TFuzzyLogic logic;
///     logic.SetParser(&parser);
///     logic.SetStrings("(deffuzzy outTemp (range 5 65))");
///     TFuzzyVariable* out_temp = logic.GetVariable("outTemp");
class TFuzzyLogic : public TCustomFuzzyLogic {
 public:
  explicit TFuzzyLogic(TComponent* owner = nullptr);
  ~TFuzzyLogic() override;

  std::string ClassName() const override { return "TFuzzyLogic"; }

  TFuzzyVariables& GetFuzzyVariables() { return *FFuzzyVariables; }
  const TFuzzyVariables& GetFuzzyVariables() const { return *FFuzzyVariables; }
  /// The variable named `name` (case-sensitive); EFzyException "No such element: <name>"
  /// otherwise.
  TFuzzyVariable* GetVariable(std::string_view name) const;
  int GetVariableCount() const { return FFuzzyVariables->GetCount(); }

  /// Empties the variable collection, then the parser's `Parse` of `Strings`. Nothing while
  /// loading; without a parser raises "Parser not assigned.  Cannot parse" and keeps the
  /// variables.
  void ParseStrings() override;
  /// `Strings` becomes one entry per variable, in collection order: the variable's text.
  void RebuildStrings() override;
  /// Parses `Strings` once all stored properties are set.
  void Loaded() override;

  /// A variable or (with null) the collection as a whole changed: marks the component
  /// modified; a change of the whole also raises `OnChange`.
  virtual void VariableChanged(TFuzzyVariable* variable);
  /// A variable joined the collection: it takes the component's `Threshold`.
  virtual void VariableAdded(TFuzzyVariable& variable);
  /// A variable is leaving the collection.
  virtual void VariableDeleted(TFuzzyVariable& variable);

 protected:
  /// Every variable takes the new `Threshold`.
  void ThresholdChanged() override;

 private:
  std::unique_ptr<TFuzzyVariables> FFuzzyVariables;
};

}  // namespace tapwise
