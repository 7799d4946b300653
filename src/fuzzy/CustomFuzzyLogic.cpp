#include "tapwise/fuzzy/CustomFuzzyLogic.h"

#include "tapwise/foundation/Messages.h"
#include "tapwise/fuzzy/CustomFuzzyLogicParser.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise {

TCustomFuzzyLogic::TCustomFuzzyLogic(TComponent* owner) : TComponent(owner) {
  FVariables.SetCaseSensitive(false);
}

TCustomFuzzyLogic::~TCustomFuzzyLogic() {
  SetParser(nullptr);
}

void TCustomFuzzyLogic::SetNumFunctionValues(int32_t value) {
  FNumFunctionValues = value > 1 ? value : 2;
}

void TCustomFuzzyLogic::SetThreshold(TFzyFloat value) {
  if (value < 0.0) {
    value = 0.0;
  } else if (value > 1.0) {
    value = 1.0;
  }
  // Compared after clamping: 5 on a threshold of 1 changes nothing.
  if (value == FThreshold) return;
  FThreshold = value;
  ThresholdChanged();
}

TFuzzySetSettings TCustomFuzzyLogic::GetSettings() const {
  TFuzzySetSettings settings;
  settings.NumFunctionValues = FNumFunctionValues;
  settings.DefuzzificationMethod = FDefuzzificationMethod;
  settings.CorrelationMethod = FCorrelationMethod;
  settings.InferenceMethod = FInferenceMethod;
  return settings;
}

void TCustomFuzzyLogic::SetParser(TCustomFuzzyLogicParser* value) {
  if (value == FParser) return;
  if (FParser != nullptr) ParserUnlinked(*FParser);
  // One free-notification link serves both directions: it stays while the parser is still
  // linked to this component.
  if (FParser != nullptr && FParser->GetFuzzyLogic() != this) FParser->RemoveFreeNotification(this);
  FParser = value;
  if (FParser != nullptr) FParser->FreeNotification(this);
}

void TCustomFuzzyLogic::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  // The base has dropped the link already; the parser is going and is not called.
  if (operation == opRemove && component != nullptr && component == FParser) {
    ParserUnlinked(*FParser);
    FParser = nullptr;
  }
}

const TStringList& TCustomFuzzyLogic::GetStrings() {
  if (FModified) RebuildStrings();
  return FStrings;
}

void TCustomFuzzyLogic::SetStrings(const TStringList& value) {
  if (&value != &FStrings) FStrings.Assign(value);
  ParseStrings();
}

void TCustomFuzzyLogic::SetStrings(std::string_view text) {
  FStrings.SetText(text);
  ParseStrings();
}

void TCustomFuzzyLogic::SetVariables(const TStringList& value) {
  if (&value != &FVariables) FVariables.Assign(value);
}

void TCustomFuzzyLogic::CheckParser() const {
  if (FParser == nullptr) throw EFzyException(messages::kParserNotAssigned);
}

void TCustomFuzzyLogic::ParseStrings() {
  if (IsLoading()) return;
  CheckParser();
  // Lines joined by line breaks; a parse error leaves the flag as the parser found it.
  FParser->Parse(FStrings.GetText());
  FModified = false;
}

void TCustomFuzzyLogic::RebuildStrings() {
  // Checked first, so that a refused rebuild leaves the component modified and the next
  // read tries again instead of handing out the stale text.
  if (!IsLoading()) CheckParser();
  FModified = false;
}

}  // namespace tapwise
