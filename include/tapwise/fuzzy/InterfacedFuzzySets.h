#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tapwise/foundation/Interface.h"
#include "tapwise/foundation/StringHashTable.h"
#include "tapwise/fuzzy/IFuzzySet.h"

namespace tapwise {

class TIFuzzyVariable;

/// The term table of a `TIFuzzyVariable`: term names to `IFuzzySet`s, one counted reference
/// per stored term, 101 buckets and load factor 0.75 to start with. Every stored term gets
/// the next order number, so that writers can list the terms in the order they were stored.
class TIFuzzySets : public TIStringHashTable {
 public:
  /// A table of `variable` (not counted: the variable owns the table).
  explicit TIFuzzySets(TIFuzzyVariable* variable);

  std::string ClassName() const override { return "TIFuzzySets"; }

  TIFuzzyVariable* GetVariable() const { return FVariable; }
  /// The order number the next stored term gets; 0 after creation and after `Clear`.
  int32_t GetNextIndex() const { return FNextIndex; }

  /// Stores `fuzzy_set` under its name and stamps its order number; returns the term it
  /// replaces (which this table no longer holds), or null.
  IntfPtr<IFuzzySet> Store(const IntfPtr<IFuzzySet>& fuzzy_set);
  /// The term stored under `name` into `fuzzy_set`; false and null when there is none.
  bool TryGetSet(std::string_view name, IntfPtr<IFuzzySet>& fuzzy_set) const;
  /// Whether `fuzzy_set` itself is the set stored under `name` (a look-up that counts no
  /// references).
  bool Holds(std::string_view name, const IFuzzySet& fuzzy_set) const;
  /// The term under `name`; "Table is empty" or "No such element: <name>" otherwise.
  IntfPtr<IFuzzySet> GetSet(std::string_view name) const;
  /// The term at `index` in bucket order.
  IntfPtr<IFuzzySet> SetAt(int index) const;
  /// `SetAt(i)->SetParser(parser)` for every term. Terms of the library's own class, which
  /// only take the parser, are reached in place, without a counted handle each.
  void SetParserOfAll(const IntfPtr<IFuzzyParser>& parser);
  /// Whether every term is a `TIFuzzySet` itself (no derived class), of this table's
  /// variable, and held by nothing but this table.
  bool HoldsOnlyOwnTerms() const;
  /// Removes the entry under `name` and hands its term to the caller.
  IntfPtr<IFuzzySet> RemoveSet(std::string_view name);

  /// Empties the table and restarts the order numbers. The terms are let go only once the
  /// table is empty, so that a term that frees itself (and releases its variable) never
  /// meets a half-cleared table.
  void Clear() override;

  /// From another variable's term table: `AssignFuzzySets` of that variable. From another
  /// interface table: its fuzzy sets, copied as terms of this table's variable (so that
  /// every stored term belongs to it). Anything else as the interface table.
  void Assign(const TPersistent& source) override;

  /// As the interface table's, and marks a `TIFuzzySet` as having entered a term table.
  /// Every way into the table (Store, Assign, PutItem itself) comes through here.
  IntfPtr<IInterface> PutItem(std::string_view key, IntfPtr<IInterface> item) final;

 private:
  TIFuzzyVariable* FVariable;
  int32_t FNextIndex = 0;
};

}  // namespace tapwise
