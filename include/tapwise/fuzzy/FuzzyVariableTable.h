#pragma once

#include <string>
#include <string_view>

#include "tapwise/foundation/Interface.h"
#include "tapwise/foundation/StringHashTable.h"
#include "tapwise/fuzzy/IFuzzyVariable.h"

namespace tapwise {

class TIFuzzyLogic;

/// The variable table of a `TIFuzzyLogic`: variable names to `IFuzzyVariable`s, one counted
/// reference per variable, 101 buckets and load factor 0.75 to start with. Names compare
/// case-sensitively.
///
/// Every variable stored goes through the component's `VariableAdded` (threshold, automatic
/// terms, event relays); every variable that leaves the table (replaced, removed, cleared,
/// or freed with the table) first goes through `VariableDeleted`, so that no variable held
/// elsewhere keeps calling the component.
class TFuzzyVariableTable : public TIStringHashTable {
 public:
  /// A table of `owner` (not counted: the component owns the table); null for a table of no
  /// component.
  explicit TFuzzyVariableTable(TIFuzzyLogic* owner);
  ~TFuzzyVariableTable() override;

  std::string ClassName() const override { return "TFuzzyVariableTable"; }

  TIFuzzyLogic* GetOwnerLogic() const { return FOwner; }

  /// Stores `variable` under `name`, then the owner's `VariableAdded`. Returns the variable
  /// it replaces (which has been through `VariableDeleted`), or null.
  IntfPtr<IFuzzyVariable> PutVariable(std::string_view name,
                                      const IntfPtr<IFuzzyVariable>& variable);
  /// `PutVariable` under the variable's own name.
  IntfPtr<IFuzzyVariable> AddVariable(const IntfPtr<IFuzzyVariable>& variable);
  /// The variable named `name`; EGHashtableError "Table is empty" or
  /// "No such element: <name>" otherwise.
  IntfPtr<IFuzzyVariable> GetVariable(std::string_view name) const;
  /// The variable named `name` into `variable`; false and null when absent. Never raises.
  bool TryGetVariable(std::string_view name, IntfPtr<IFuzzyVariable>& variable) const;
  /// The variable at `index` of the table's bucket order; outside 0..count-1 raises
  /// EListError "List index out of bounds (%d)".
  IntfPtr<IFuzzyVariable> VariableAt(int index) const;
  /// Takes the variable named `name` out (after `VariableDeleted`) and hands it over.
  IntfPtr<IFuzzyVariable> RemoveVariable(std::string_view name);

  /// Every variable goes through `VariableDeleted`, then the table is emptied and the
  /// variables are released.
  void Clear() override;

  /// Stores a variable as `PutVariable` does; an item that is no `IFuzzyVariable` raises
  /// EFzyException and leaves the table as it was.
  IntfPtr<IInterface> PutItem(std::string_view key, IntfPtr<IInterface> item) override;
  /// From another interface table whose items are all variables: as the interface table,
  /// each variable announced to the owner. A table holding anything else raises
  /// EFzyException before this table changes.
  void Assign(const TPersistent& source) override;
  /// The pointer form of removal, with `VariableDeleted` as `RemoveVariable`.
  void* Remove(std::string_view key) override;
  using TIStringHashTable::Remove;

 protected:
  /// Copies from another interface table go through `PutItem` too: only variables, each
  /// announced to the owner.
  void PutFrom(const TGHashtableEntry& source) override;

 private:
  void Deleted(const IntfPtr<IInterface>& item) const;

  TIFuzzyLogic* FOwner;
};

}  // namespace tapwise
