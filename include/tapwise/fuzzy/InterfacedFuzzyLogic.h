#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/CustomFuzzyLogic.h"
#include "tapwise/fuzzy/FuzzyEvents.h"
#include "tapwise/fuzzy/FuzzyVariableTable.h"
#include "tapwise/fuzzy/IFuzzySet.h"
#include "tapwise/fuzzy/IFuzzyVariable.h"
#include "tapwise/fuzzy/InterfacedFuzzyVariable.h"

namespace tapwise {

/// The class reference of the variables a parser creates for a `TIFuzzyLogic`: builds an
/// empty variable with the given name.
using TIFuzzyVariableClass = IntfPtr<TIFuzzyVariable> (*)(const std::string& name);

/// The interfaced fuzzy-logic component: its variables are `IFuzzyVariable`s (by default
/// `TIFuzzyVariable`) kept in a variable table keyed by name.
///
/// Every variable stored in the table takes the component's `Threshold`, gets the automatic
/// terms "low", "medium" and "high" where missing (when `AutoTerms` is on) and relays its
/// term events to the component; a term added, deleted or changed marks the component
/// modified, so the next
/// read of `Strings` writes the text again. A variable that leaves the table (replaced,
/// removed, cleared by a new parse, or freed with the component) is unhooked first and
/// reported by `OnVariableDeleted`.
///
///     auto out_temp = logic.GetVariable("outTemp");
///     auto cold = out_temp->GetFuzzySet("cold");
class TIFuzzyLogic : public TCustomFuzzyLogic {
 public:
  explicit TIFuzzyLogic(TComponent* owner = nullptr);
  ~TIFuzzyLogic() override;

  std::string ClassName() const override { return "TIFuzzyLogic"; }

  // ---- Variables ----

  /// The variable named `name` (case-sensitive); EGHashtableError "Table is empty" or
  /// "No such element: <name>" otherwise.
  IntfPtr<IFuzzyVariable> GetVariable(std::string_view name) const;
  /// The variable at `index` of the table's bucket order.
  IntfPtr<IFuzzyVariable> GetVariableAt(int index) const;
  int GetVariableCount() const;
  TFuzzyVariableTable& GetVariableTable() { return *FVariableTable; }
  const TFuzzyVariableTable& GetVariableTable() const { return *FVariableTable; }

  /// The class of the variables a parser creates; `TIFuzzyVariable::Create` by default.
  TIFuzzyVariableClass GetVariableClass() const { return FVariableClass; }
  void SetVariableClass(TIFuzzyVariableClass value) { FVariableClass = value; }
  /// A new empty variable of `VariableClass` (not stored).
  IntfPtr<IFuzzyVariable> CreateVariable(const std::string& name) const;

  /// Empties the table (every variable first through `VariableDeleted`), then the parser's
  /// `Parse` of `Strings`. Nothing while loading; without a parser raises "Parser not
  /// assigned.  Cannot parse" and keeps the variables.
  void ParseStrings() override;
  /// `Strings` becomes one entry per variable, in the table's order: the variable's text.
  void RebuildStrings() override;
  /// Parses `Strings` once all stored properties are set.
  void Loaded() override;

  // ---- Notifications (the variable table and the variables call them) ----

  /// Adds "low" (a falling ramp over the universe), "medium" (a triangle peaking in the
  /// middle) and "high" (a rising ramp), each only where `variable` has no term of that
  /// name. Each new term has its name as expression.
  virtual void AddAutoTerms(IFuzzyVariable& variable);
  /// Marks the component modified and relays `OnFuzzySetAdded`.
  virtual void FuzzySetAdded(IFuzzyVariable& sender, IFuzzySet& fuzzy_set);
  /// Marks the component modified and relays `OnFuzzySetDeleted`.
  virtual void FuzzySetDeleted(IFuzzyVariable& sender, IFuzzySet& fuzzy_set);
  /// A variable entered the table: it takes the `Threshold`, gets the automatic terms (with
  /// `AutoTerms`), its term events are routed to this component, then `OnVariableAdded`.
  virtual void VariableAdded(IFuzzyVariable& variable);
  /// A variable leaves the table: its term events are cleared and it drops the component's
  /// parser (which may go before it), then `OnVariableDeleted`.
  virtual void VariableDeleted(IFuzzyVariable& variable);
  /// Marks the component modified and raises `OnVariableChange`, or `OnChange` for a null
  /// `variable` (a change of the component as a whole).
  virtual void VariableChanged(IFuzzyVariable* variable);
  /// Marks the component modified and relays `OnFuzzySetChange`.
  virtual void FuzzySetChanged(IFuzzyVariable& sender, IFuzzySet& fuzzy_set);

  // ---- Events ----

  const TIFuzzySetEvent& GetOnFuzzySetChange() const { return FOnFuzzySetChange; }
  void SetOnFuzzySetChange(TIFuzzySetEvent value) { FOnFuzzySetChange = std::move(value); }
  const TIFuzzyVariableEvent& GetOnVariableChange() const { return FOnVariableChange; }
  void SetOnVariableChange(TIFuzzyVariableEvent value) { FOnVariableChange = std::move(value); }
  const TIFuzzySetEvent& GetOnFuzzySetDeleted() const { return FOnFuzzySetDeleted; }
  void SetOnFuzzySetDeleted(TIFuzzySetEvent value) { FOnFuzzySetDeleted = std::move(value); }
  const TIFuzzySetEvent& GetOnFuzzySetAdded() const { return FOnFuzzySetAdded; }
  void SetOnFuzzySetAdded(TIFuzzySetEvent value) { FOnFuzzySetAdded = std::move(value); }
  const TIFuzzyVariableEvent& GetOnVariableDeleted() const { return FOnVariableDeleted; }
  void SetOnVariableDeleted(TIFuzzyVariableEvent value) { FOnVariableDeleted = std::move(value); }
  const TIFuzzyVariableEvent& GetOnVariableAdded() const { return FOnVariableAdded; }
  void SetOnVariableAdded(TIFuzzyVariableEvent value) { FOnVariableAdded = std::move(value); }

 protected:
  /// Every variable takes the new `Threshold`.
  void ThresholdChanged() override;
  /// The factory of the variable table, called once by the constructor of `TIFuzzyLogic`
  /// (so an override in a descendant is not reached; a descendant with its own table class
  /// builds it in its own constructor).
  virtual std::unique_ptr<TFuzzyVariableTable> CreateVariableTable();
  /// The variables (and their terms) that hold `parser` drop it.
  void ParserUnlinked(TCustomFuzzyLogicParser& parser) override;

 private:
  TIFuzzySetEvent FOnFuzzySetChange;
  TIFuzzyVariableEvent FOnVariableChange;
  std::unique_ptr<TFuzzyVariableTable> FVariableTable;
  TIFuzzyVariableClass FVariableClass;
  TIFuzzySetEvent FOnFuzzySetDeleted;
  TIFuzzySetEvent FOnFuzzySetAdded;
  TIFuzzyVariableEvent FOnVariableDeleted;
  TIFuzzyVariableEvent FOnVariableAdded;
};

}  // namespace tapwise
