#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "tapwise/foundation/Cloneable.h"
#include "tapwise/foundation/Events.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/FuzzyEvents.h"
#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

class IFuzzyParser;
class IFuzzySet;
class TPersistent;

/// The counted handle of a linguistic variable: a name, a universe `Minimum`..`Maximum` with
/// `Units`, a table of named terms (`IFuzzySet`), and the rule-firing operations of a
/// max-min controller.
///
/// Term names compare case-sensitively. Copies that operations make of terms (such as the
/// clipped consequents of `ApplyRule`) are linked to the variable without being stored.
///
/// Operations with two behaviours depending on the interface they are called through have
/// two names:
/// - `ICloneable::AssignFromInterface` and `ICloneable::Assign` copy the whole variable
///   (settings and terms); `AssignTermsFrom` and `AssignTermTable` copy only the terms.
/// - `ICloneable::AssignTo` is the persistent default; `AssignTermTableTo` is the term
///   table's.
///
///     auto strength = out->RuleStrength(inputs, antecedents);  // min of match degrees
///     accumulated = out->ApplyRule(out->GetFuzzySet("Z"), accumulated, strength);
class IFuzzyVariable : public ICloneable {
 public:
  // ---- Copies ----

  /// When `source` is a variable, `AssignFuzzySets` from it; anything else is ignored.
  virtual void AssignTermsFrom(const IntfPtr<IInterface>& source) = 0;
  /// The term table's copy: from another variable's term table, `AssignFuzzySets` of that
  /// variable; from another interface table, copies of its fuzzy sets as terms.
  virtual void AssignTermTable(const TPersistent& source) = 0;
  /// The term table's copy-to (into a linked list of the term names).
  virtual void AssignTermTableTo(TPersistent& dest) const = 0;

  // ---- Properties ----

  virtual const std::string& GetName() const = 0;
  /// Stores a different name (case-sensitive comparison) and raises `Changed`.
  virtual void SetName(const std::string& value) = 0;
  virtual const std::string& GetUnits() const = 0;
  /// No notification.
  virtual void SetUnits(const std::string& value) = 0;
  virtual const std::string& GetComment() const = 0;
  /// No notification.
  virtual void SetComment(const std::string& value) = 0;
  virtual TFzyFloat GetMinimum() const = 0;
  /// A minimum above `Maximum` drags `Maximum` up too; each changed bound raises `Changed`.
  virtual void SetMinimum(TFzyFloat value) = 0;
  virtual TFzyFloat GetMaximum() const = 0;
  /// A maximum below `Minimum` drags `Minimum` down too; each changed bound raises `Changed`.
  virtual void SetMaximum(TFzyFloat value) = 0;
  /// The number of points the curve shapes of the terms generate.
  virtual int32_t GetNumFunctionValues() const = 0;
  /// Raises `Changed` when different.
  virtual void SetNumFunctionValues(int32_t value) = 0;
  virtual TDefuzzificationMethod GetDefuzzificationMethod() const = 0;
  /// No notification.
  virtual void SetDefuzzificationMethod(TDefuzzificationMethod value) = 0;
  /// The rule-strength floor of `ApplyRule`, always within 0..1.
  virtual TFzyFloat GetThreshold() const = 0;
  /// Clamps to 0..1; no notification.
  virtual void SetThreshold(TFzyFloat value) = 0;
  virtual const IntfPtr<IFuzzyParser>& GetParser() const = 0;
  /// Stores the parser and hands it to every stored term; no notification.
  virtual void SetParser(const IntfPtr<IFuzzyParser>& value) = 0;
  /// The parser's definition text when a parser is set, else the name.
  virtual std::string GetText() const = 0;

  // ---- Events (each raised only when assigned) ----

  /// First half of `Changed`; the sender is the variable object.
  virtual const TNotifyEvent& GetOnChange() const = 0;
  virtual void SetOnChange(TNotifyEvent value) = 0;
  /// Second half of `Changed`.
  virtual const TIFuzzyVariableEvent& GetOnVariableChange() const = 0;
  virtual void SetOnVariableChange(TIFuzzyVariableEvent value) = 0;
  /// A term's shape or points changed.
  virtual const TIFuzzySetEvent& GetOnFuzzySetChange() const = 0;
  virtual void SetOnFuzzySetChange(TIFuzzySetEvent value) = 0;
  /// A term entered the table (not raised for the term it replaces).
  virtual const TIFuzzySetEvent& GetOnFuzzySetAdded() const = 0;
  virtual void SetOnFuzzySetAdded(TIFuzzySetEvent value) = 0;
  /// A term was removed from the table (not raised by clearing or replacing).
  virtual const TIFuzzySetEvent& GetOnFuzzySetDeleted() const = 0;
  virtual void SetOnFuzzySetDeleted(TIFuzzySetEvent value) = 0;

  // ---- Rule firing ----

  /// How strongly a rule fires: the minimum over the pairs of the `MatchDegree` of
  /// `inputs[i]` with `antecedents[i]`; 1.0 without pairs. The two spans must have the same
  /// length and hold no null sets (EFzyException otherwise).
  virtual TFzyFloat RuleStrength(std::span<const IntfPtr<IFuzzySet>> inputs,
                                 std::span<const IntfPtr<IFuzzySet>> antecedents) const = 0;
  /// Implication and aggregation of max-min inference: null when `strength` is below the
  /// threshold; else a clone of `consequent` with every degree capped at `strength`, ORed
  /// (pointwise maximum) into `accumulated` when that is not null. Neither `consequent` nor
  /// `accumulated` changes; the caller replaces its accumulator by the result.
  virtual IntfPtr<IFuzzySet> ApplyRule(const IntfPtr<IFuzzySet>& consequent,
                                       const IntfPtr<IFuzzySet>& accumulated,
                                       TFzyFloat strength) const = 0;
  /// `ApplyRule` with the `RuleStrength` of `inputs` and `antecedents`.
  virtual IntfPtr<IFuzzySet> FireRule(std::span<const IntfPtr<IFuzzySet>> inputs,
                                      std::span<const IntfPtr<IFuzzySet>> antecedents,
                                      const IntfPtr<IFuzzySet>& consequent,
                                      const IntfPtr<IFuzzySet>& accumulated) const = 0;
  /// `ApplyRule` with the strength `input.MatchDegree(antecedent)`.
  virtual IntfPtr<IFuzzySet> FireSimpleRule(const IFuzzySet& input,
                                            const IntfPtr<IFuzzySet>& consequent,
                                            const IFuzzySet& antecedent,
                                            const IntfPtr<IFuzzySet>& accumulated) const = 0;

  // ---- Terms ----

  virtual int GetFuzzySetCount() const = 0;
  /// The stored term at `index` of the table's bucket order; outside 0..count-1 raises
  /// EListError "List index out of bounds (%d)".
  virtual IntfPtr<IFuzzySet> GetFuzzySetAt(int index) const = 0;
  /// The stored term named `name`; EGHashtableError "Table is empty" or
  /// "No such element: <name>" otherwise.
  virtual IntfPtr<IFuzzySet> GetFuzzySet(const std::string& name) const = 0;
  /// The stored term named `name` into `fuzzy_set`; false and null when there is none (an
  /// empty name included). Never raises.
  virtual bool TryGetFuzzySet(const std::string& name, IntfPtr<IFuzzySet>& fuzzy_set) const = 0;
  /// Makes `fuzzy_set` a term of this variable (moving it from its former variable) and
  /// stores it under its name when it is `Defined`, replacing (without a deleted event) a
  /// term of the same name.
  virtual void AddFuzzySet(const IntfPtr<IFuzzySet>& fuzzy_set) = 0;
  /// A new set of the variable's set class named `name`, linked to this variable and stored
  /// as a defined term, except that a set named "__Empty" is a blank scratch set that is
  /// never stored.
  virtual IntfPtr<IFuzzySet> AddFuzzySet(const std::string& name) = 0;
  /// Removes `fuzzy_set` when it is the term stored under its name (raising the deleted
  /// event); otherwise nothing.
  virtual void RemoveFuzzySet(const IFuzzySet& fuzzy_set) = 0;
  /// Replaces the terms by copies of `source`'s (points only, see
  /// `IFuzzySet::CopyForVariable`), in `source`'s indexed order.
  virtual void AssignFuzzySets(const IFuzzyVariable& source) = 0;
  /// Empties the table (no deleted events) and raises `Changed`.
  virtual void ClearFuzzySets() = 0;
  /// Defers the table's change notification to the matching `EndUpdate`.
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  /// Called by a term after its shape or points changed: raises `OnFuzzySetChange` only.
  virtual void FuzzySetChanged(IFuzzySet& fuzzy_set) = 0;

 protected:
  IFuzzyVariable() = default;
  IFuzzyVariable(const IFuzzyVariable&) = default;
  IFuzzyVariable& operator=(const IFuzzyVariable&) = default;
  ~IFuzzyVariable() override = default;
};

}  // namespace tapwise
