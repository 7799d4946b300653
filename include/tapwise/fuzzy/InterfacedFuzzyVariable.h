#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "tapwise/foundation/ChunkPool.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/foundation/Persistent.h"
#include "tapwise/fuzzy/IFuzzyParser.h"
#include "tapwise/fuzzy/IFuzzySet.h"
#include "tapwise/fuzzy/IFuzzyVariable.h"
#include "tapwise/fuzzy/InterfacedFuzzySet.h"
#include "tapwise/fuzzy/InterfacedFuzzySets.h"

namespace tapwise {

/// The persistent base of the interfaced variable.
class TIFuzzyVariablePersistent : public TPersistent {
 public:
  std::string ClassName() const override { return "TIFuzzyVariablePersistent"; }
};

/// The counted linguistic variable behind `IFuzzyVariable` (see there for the operations).
///
/// Lifetime. The term table holds each stored term and each term holds its variable, so a
/// variable with terms is part of a reference cycle. `Release` breaks it: when the count
/// that remains equals the number of stored terms, nobody but the terms holds the variable,
/// and it empties its table. Terms held by nobody else go, releasing the variable, which
/// frees itself once its count reaches zero; a term still held from outside keeps the
/// variable alive, with an empty table.
///
/// Parser. The variable hands its parser to its stored terms and to every other set of the
/// library's class linked to it (a clipped copy of rule firing, the result of an operation
/// or an expression, a term taken out of the table), so that a component that takes its
/// parser from the variable takes it from all of them. Like its sets, the variable is used
/// from one thread: each set made for it enters its list.
///
///     {
///       auto temperature = TIFuzzyVariable::Create("temperature");
///       temperature->AddFuzzySet("cold");
///       temperature->AddFuzzySet("hot");
///     }  // the variable and both terms are freed here
class TIFuzzyVariable : public TIFuzzyVariablePersistent,
                        public TInterfacedObject,
                        public IFuzzyVariable {
 public:
  /// A variable named `name` over 0..1 with no terms.
  static IntfPtr<TIFuzzyVariable> Create(const std::string& name);

  std::string ClassName() const override { return "TIFuzzyVariable"; }

  /// The class's virtual constructor: a new empty variable of this variable's class.
  virtual IntfPtr<TIFuzzyVariable> CreateVariable(const std::string& name) const;

  /// Drops a reference under the variable's release rule (see the class comment).
  int32_t Release() noexcept override;

  /// The set class `AddFuzzySet(name)` instantiates; `TIFuzzySet::Create` by default.
  TIFuzzySetClass GetFuzzySetClass() const { return FFuzzySetClass; }
  void SetFuzzySetClass(TIFuzzySetClass value) { FFuzzySetClass = value; }
  TIFuzzySets& GetItems() { return *FItems; }
  const TIFuzzySets& GetItems() const { return *FItems; }

  // ---- ICloneable ----

  /// From another `TIFuzzyVariable`: name, universe, units, number of function values,
  /// defuzzification method, tag and parser (stored as they are, no clamping), then copies
  /// of its terms, then `Changed`. Threshold, comment and events stay. Other sources raise
  /// the cannot-assign error.
  void Assign(const TPersistent& source) override;
  void AssignTo(TPersistent& dest) const override;
  /// As `Assign`, from any `IFuzzyVariable`; other sources are ignored.
  void AssignFromInterface(const IntfPtr<IInterface>& source) override;
  /// A variable of this class with this variable's content (copies of the terms).
  IntfPtr<ICloneable> Clone() const override;
  /// True when `other` is a variable with the same name, bounds and units in which every
  /// defined term of this variable finds an equal term (`IFuzzySet::IsEqual`) of its name.
  /// Terms only `other` has are not looked at.
  bool IsEqual(const IntfPtr<IInterface>& other) const override;
  int32_t GetTag() const override { return FTag; }
  void SetTag(int32_t value) override { FTag = value; }

  // ---- IFuzzyVariable ----

  void AssignTermsFrom(const IntfPtr<IInterface>& source) override;
  void AssignTermTable(const TPersistent& source) override;
  void AssignTermTableTo(TPersistent& dest) const override;

  const std::string& GetName() const override { return FName; }
  void SetName(const std::string& value) override;
  const std::string& GetUnits() const override { return FUnits; }
  void SetUnits(const std::string& value) override { FUnits = value; }
  const std::string& GetComment() const override { return FComment; }
  void SetComment(const std::string& value) override { FComment = value; }
  TFzyFloat GetMinimum() const override { return FMinimum; }
  void SetMinimum(TFzyFloat value) override;
  TFzyFloat GetMaximum() const override { return FMaximum; }
  void SetMaximum(TFzyFloat value) override;
  int32_t GetNumFunctionValues() const override { return FNumFunctionValues; }
  void SetNumFunctionValues(int32_t value) override;
  TDefuzzificationMethod GetDefuzzificationMethod() const override {
    return FDefuzzificationMethod;
  }
  void SetDefuzzificationMethod(TDefuzzificationMethod value) override {
    FDefuzzificationMethod = value;
  }
  TFzyFloat GetThreshold() const override { return FThreshold; }
  void SetThreshold(TFzyFloat value) override;
  const IntfPtr<IFuzzyParser>& GetParser() const override { return FParser; }
  /// Every stored term takes `value`, and so does every other set linked to the variable
  /// that carried the variable's former parser (see the class comment).
  void SetParser(const IntfPtr<IFuzzyParser>& value) override;
  std::string GetText() const override;

  const TNotifyEvent& GetOnChange() const override { return FOnChange; }
  void SetOnChange(TNotifyEvent value) override { FOnChange = std::move(value); }
  const TIFuzzyVariableEvent& GetOnVariableChange() const override { return FOnVariableChange; }
  void SetOnVariableChange(TIFuzzyVariableEvent value) override {
    FOnVariableChange = std::move(value);
  }
  const TIFuzzySetEvent& GetOnFuzzySetChange() const override { return FOnFuzzySetChange; }
  void SetOnFuzzySetChange(TIFuzzySetEvent value) override { FOnFuzzySetChange = std::move(value); }
  const TIFuzzySetEvent& GetOnFuzzySetAdded() const override { return FOnFuzzySetAdded; }
  void SetOnFuzzySetAdded(TIFuzzySetEvent value) override { FOnFuzzySetAdded = std::move(value); }
  const TIFuzzySetEvent& GetOnFuzzySetDeleted() const override { return FOnFuzzySetDeleted; }
  void SetOnFuzzySetDeleted(TIFuzzySetEvent value) override {
    FOnFuzzySetDeleted = std::move(value);
  }

  TFzyFloat RuleStrength(std::span<const IntfPtr<IFuzzySet>> inputs,
                         std::span<const IntfPtr<IFuzzySet>> antecedents) const override;
  IntfPtr<IFuzzySet> ApplyRule(const IntfPtr<IFuzzySet>& consequent,
                               const IntfPtr<IFuzzySet>& accumulated,
                               TFzyFloat strength) const override;
  IntfPtr<IFuzzySet> FireRule(std::span<const IntfPtr<IFuzzySet>> inputs,
                              std::span<const IntfPtr<IFuzzySet>> antecedents,
                              const IntfPtr<IFuzzySet>& consequent,
                              const IntfPtr<IFuzzySet>& accumulated) const override;
  IntfPtr<IFuzzySet> FireSimpleRule(const IFuzzySet& input, const IntfPtr<IFuzzySet>& consequent,
                                    const IFuzzySet& antecedent,
                                    const IntfPtr<IFuzzySet>& accumulated) const override;

  int GetFuzzySetCount() const override { return FItems->GetCount(); }
  IntfPtr<IFuzzySet> GetFuzzySetAt(int index) const override { return FItems->SetAt(index); }
  IntfPtr<IFuzzySet> GetFuzzySet(const std::string& name) const override {
    return FItems->GetSet(name);
  }
  bool TryGetFuzzySet(const std::string& name, IntfPtr<IFuzzySet>& fuzzy_set) const override {
    return FItems->TryGetSet(name, fuzzy_set);
  }
  void AddFuzzySet(const IntfPtr<IFuzzySet>& fuzzy_set) override;
  IntfPtr<IFuzzySet> AddFuzzySet(const std::string& name) override;
  void RemoveFuzzySet(const IFuzzySet& fuzzy_set) override;
  /// Assigning a variable's terms to itself changes nothing.
  void AssignFuzzySets(const IFuzzyVariable& source) override;
  void ClearFuzzySets() override;
  void BeginUpdate() override { FItems->BeginUpdate(); }
  void EndUpdate() override { FItems->EndUpdate(); }
  void FuzzySetChanged(IFuzzySet& fuzzy_set) override;

  /// Whether the caller's counted reference is the only one besides the terms' back links,
  /// so that letting it go frees the variable with all its terms, and whether that runs
  /// none but the library's own code: the variable and its terms are of the library's own
  /// classes, no handler is set on the variable or on its term table, and no term is held
  /// anywhere but in the table.
  bool GoesWholly() const;

 protected:
  explicit TIFuzzyVariable(std::string name);
  ~TIFuzzyVariable() override;

  /// Creates the term table; called once, by the factory, after construction.
  void Initialize();

  /// `OnChange` (the variable as sender), then `OnVariableChange`.
  virtual void Changed();
  /// The factory of the term table.
  virtual std::unique_ptr<TIFuzzySets> CreateFuzzySets();
  /// `OnFuzzySetAdded`, then `Changed`.
  virtual void FuzzySetAdded(IFuzzySet& fuzzy_set);
  /// `OnFuzzySetDeleted`, then `Changed`.
  virtual void FuzzySetDeleted(IFuzzySet& fuzzy_set);
  /// After the table was emptied: `Changed`.
  virtual void FuzzySetsCleared();

 private:
  // Empties the table and reports it; the part of ClearFuzzySets the release rule uses.
  void ClearTerms();
  // Frees the variable, and its terms with its table, for the holder of the one reference
  // GoesWholly speaks of, right after it said so (the reference goes with it). The table is
  // not emptied first: nothing could see it empty.
  void GoWholly() noexcept;
  friend class TFuzzyVariableTable;
  // Copies the settings that a full assignment takes from `source`.
  void AssignSettings(const IFuzzyVariable& source);
  static void CheckBound(TFzyFloat value, const char* operation);

  std::unique_ptr<TIFuzzySets> FItems;
  int32_t FNumFunctionValues = 7;
  std::string FUnits;
  std::string FName;
  TDefuzzificationMethod FDefuzzificationMethod = dmCenterOfGravity;
  TFzyFloat FMinimum = 0.0;
  TFzyFloat FMaximum = 1.0;
  TIFuzzySetEvent FOnFuzzySetChange;
  TIFuzzyVariableEvent FOnVariableChange;
  TNotifyEvent FOnChange;
  int32_t FTag = 0;
  IntfPtr<IFuzzyParser> FParser;
  TFzyFloat FThreshold = 0.0;
  TIFuzzySetClass FFuzzySetClass = &TIFuzzySet::Create;
  // Set while the table is being emptied by the release rule or freed: releases that
  // happen meanwhile only count.
  bool FDestroying = false;
  std::string FComment;
  TIFuzzySetEvent FOnFuzzySetDeleted;
  TIFuzzySetEvent FOnFuzzySetAdded;
  // The sets of the library's class linked to this variable, stored or not (each holds the
  // variable, so the list is empty by the time the variable goes).
  friend class TIFuzzySet;
  TIFuzzySet* FFirstListedSet = nullptr;
  // Storage for the sets of the library's class made for this variable (TIFuzzySet::Create),
  // and for the point lists of the sets in its list, a few lists' points to an allocation.
  TChunkPool FSetStorage{sizeof(TIFuzzySet)};
  TChunkPool FPointStorage;
};

}  // namespace tapwise
