#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tapwise/foundation/Component.h"
#include "tapwise/foundation/Events.h"
#include "tapwise/foundation/StringList.h"
#include "tapwise/fuzzy/FuzzySetContext.h"
#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

class TCustomFuzzyLogicParser;

/// The fuzzy-logic component: the definition text of its variables (`Strings`), a list of
/// global variables (`Variables`, lines "name=value" with case-insensitive names), the
/// settings shared by its variables and a link to a parser component (`Parser`). The
/// interfaced component `TIFuzzyLogic` and the collection-based `TFuzzyLogic` derive from it.
///
/// Assigning `Strings` parses the text (the parser builds the variables); reading it after a
/// variable changed (`IsModified`) writes the text again from the variables. While the
/// component loads, assigning `Strings` parses nothing; `Loaded` parses once all stored
/// properties, `Parser` included, are set.
///
///     TIFuzzyLogic logic;
///     logic.SetParser(&parser);
///     logic.SetStrings("(deffuzzy outTemp (range 5 65) ...)");
///     logic.GetVariables().SetValue("*coldTemp*", "20.0");
class TCustomFuzzyLogic : public TComponent {
 public:
  explicit TCustomFuzzyLogic(TComponent* owner = nullptr);
  ~TCustomFuzzyLogic() override;

  std::string ClassName() const override { return "TCustomFuzzyLogic"; }

  // ---- Settings ----

  /// The number of points the curve shapes of the built-in functions generate.
  int32_t GetNumFunctionValues() const { return FNumFunctionValues; }
  /// Values below 2 store 2. The variables keep their own counts.
  void SetNumFunctionValues(int32_t value);
  TDefuzzificationMethod GetDefuzzificationMethod() const { return FDefuzzificationMethod; }
  void SetDefuzzificationMethod(TDefuzzificationMethod value) { FDefuzzificationMethod = value; }
  bool GetAutoTerms() const { return FAutoTerms; }
  /// Whether every new variable gets the terms "low", "medium" and "high" where missing.
  void SetAutoTerms(bool value) { FAutoTerms = value; }
  TFuzzyCorrelationMethod GetCorrelationMethod() const { return FCorrelationMethod; }
  void SetCorrelationMethod(TFuzzyCorrelationMethod value) { FCorrelationMethod = value; }
  TFuzzyInferenceMethod GetInferenceMethod() const { return FInferenceMethod; }
  void SetInferenceMethod(TFuzzyInferenceMethod value) { FInferenceMethod = value; }
  /// The rule-strength floor, always within 0..1.
  TFzyFloat GetThreshold() const { return FThreshold; }
  /// Clamps to 0..1; a changed value goes to every variable (`ThresholdChanged`).
  void SetThreshold(TFzyFloat value);
  /// The settings the terms of this component's variables work with.
  TFuzzySetSettings GetSettings() const;

  // ---- Parser ----

  TCustomFuzzyLogicParser* GetParser() const { return FParser; }
  /// Links the parser (not owned); the link is cleared when the parser is destroyed.
  void SetParser(TCustomFuzzyLogicParser* value);

  // ---- Definition text ----

  /// The definition text; written again from the variables first when `IsModified`.
  const TStringList& GetStrings();
  /// Copies `value` into `Strings`, then `ParseStrings`. Without a parser the text is kept
  /// and EFzyException "Parser not assigned.  Cannot parse" is raised; the variables stay.
  void SetStrings(const TStringList& value);
  /// As above, from a whole text (lines separated by line breaks).
  void SetStrings(std::string_view text);
  /// Whether a variable changed since `Strings` was last parsed or written.
  bool IsModified() const { return FModified; }

  /// Builds the variables from `Strings` (nothing while loading). Without a parser raises
  /// "Parser not assigned.  Cannot parse". Parse errors reach the caller; the variables
  /// parsed before the error stay.
  virtual void ParseStrings();
  /// Writes `Strings` again from the variables (clears `IsModified`). Without a parser
  /// raises "Parser not assigned.  Cannot parse" (not while loading).
  virtual void RebuildStrings();

  // ---- Global variables ----

  /// The global variables, lines "name=value" with case-insensitive names. Editing the list
  /// parses nothing.
  TStringList& GetVariables() { return FVariables; }
  const TStringList& GetVariables() const { return FVariables; }
  /// Copies `value` into `Variables`; nothing is parsed.
  void SetVariables(const TStringList& value);

  // ---- Events ----

  /// Raised by `VariableChanged` of a descendant for a change of the component as a whole.
  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent value) { FOnChange = std::move(value); }

 protected:
  /// Runs after `Threshold` changed; descendants hand it to their variables.
  virtual void ThresholdChanged() {}
  /// Runs when `parser` stops being this component's parser (replaced, unset or being
  /// destroyed; it is still whole): descendants take it from their variables, which hold
  /// it only by count.
  virtual void ParserUnlinked(TCustomFuzzyLogicParser& parser) { (void)parser; }
  void SetModified(bool value) { FModified = value; }
  /// The stored text itself, for descendants that write it.
  TStringList& StringsList() { return FStrings; }
  /// Raises "Parser not assigned.  Cannot parse" when there is no parser.
  void CheckParser() const;

  void Notification(TComponent* component, TOperation operation) override;

 private:
  int32_t FNumFunctionValues = 7;
  TNotifyEvent FOnChange;
  TDefuzzificationMethod FDefuzzificationMethod = dmCenterOfGravity;
  TCustomFuzzyLogicParser* FParser = nullptr;
  TStringList FStrings;
  bool FModified = false;
  TStringList FVariables;
  bool FAutoTerms = true;
  TFuzzyCorrelationMethod FCorrelationMethod = fcmMinimum;
  TFuzzyInferenceMethod FInferenceMethod = fimMinMax;
  TFzyFloat FThreshold = 0.01;
};

}  // namespace tapwise
