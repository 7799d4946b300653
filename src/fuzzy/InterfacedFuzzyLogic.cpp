#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"

#include <vector>

#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/UpdateScope.h"
#include "tapwise/fuzzy/CustomFuzzyLogicParser.h"

namespace tapwise {

TIFuzzyLogic::TIFuzzyLogic(TComponent* owner)
    : TCustomFuzzyLogic(owner), FVariableClass(&TIFuzzyVariable::Create) {
  FVariableTable = CreateVariableTable();
}

TIFuzzyLogic::~TIFuzzyLogic() {
  // Linked components hear of the removal while this component is whole.
  BeforeDestruction();
  FOnFuzzySetChange = nullptr;
  FOnVariableChange = nullptr;
  FOnFuzzySetDeleted = nullptr;
  FOnFuzzySetAdded = nullptr;
  FOnVariableDeleted = nullptr;
  FOnVariableAdded = nullptr;
  SetOnChange(nullptr);
  // Freed here, while the component is whole: the table unhooks every variable first.
  FVariableTable.reset();
}

std::unique_ptr<TFuzzyVariableTable> TIFuzzyLogic::CreateVariableTable() {
  return std::make_unique<TFuzzyVariableTable>(this);
}

IntfPtr<IFuzzyVariable> TIFuzzyLogic::GetVariable(std::string_view name) const {
  return FVariableTable->GetVariable(name);
}

IntfPtr<IFuzzyVariable> TIFuzzyLogic::GetVariableAt(int index) const {
  return FVariableTable->VariableAt(index);
}

int TIFuzzyLogic::GetVariableCount() const {
  return FVariableTable->GetCount();
}

IntfPtr<IFuzzyVariable> TIFuzzyLogic::CreateVariable(const std::string& name) const {
  TIFuzzyVariableClass variable_class =
      FVariableClass != nullptr ? FVariableClass : &TIFuzzyVariable::Create;
  return variable_class(name);
}

void TIFuzzyLogic::ParseStrings() {
  if (IsLoading()) return;
  CheckParser();
  FVariableTable->Clear();
  SetModified(false);
  TCustomFuzzyLogic::ParseStrings();
}

void TIFuzzyLogic::RebuildStrings() {
  TCustomFuzzyLogic::RebuildStrings();
  if (IsLoading()) return;
  TStringList& strings = StringsList();
  std::vector<std::string> texts;
  const int count = FVariableTable->GetCount();
  texts.reserve(static_cast<size_t>(count));
  // The texts are complete before the list changes, so a failing writer leaves it whole.
  for (int i = 0; i < count; ++i)
    texts.push_back(FVariableTable->VariableAt(i)->GetText());
  TUpdateScope scope(strings);
  strings.Clear();
  for (std::string& text : texts)
    strings.Add(std::move(text));
}

void TIFuzzyLogic::Loaded() {
  TCustomFuzzyLogic::Loaded();
  ParseStrings();
}

void TIFuzzyLogic::ParserUnlinked(TCustomFuzzyLogicParser& parser) {
  if (!FVariableTable) return;
  const IFuzzyParser* unlinked = &parser;
  const int count = FVariableTable->GetCount();
  for (int i = 0; i < count; ++i) {
    IntfPtr<IFuzzyVariable> variable = FVariableTable->VariableAt(i);
    if (variable->GetParser().Get() == unlinked) variable->SetParser(nullptr);
  }
}

void TIFuzzyLogic::ThresholdChanged() {
  const int count = FVariableTable->GetCount();
  for (int i = 0; i < count; ++i)
    FVariableTable->VariableAt(i)->SetThreshold(GetThreshold());
}

void TIFuzzyLogic::AddAutoTerms(IFuzzyVariable& variable) {
  IntfPtr<IFuzzySet> existing;
  const TFzyFloat minimum = variable.GetMinimum();
  const TFzyFloat maximum = variable.GetMaximum();
  if (!variable.TryGetFuzzySet(messages::kAutoTermLow, existing)) {
    IntfPtr<IFuzzySet> low = variable.AddFuzzySet(messages::kAutoTermLow);
    low->AddPoint(minimum, 1.0);
    low->AddPoint(maximum, 0.0);
    low->SetExpression(messages::kAutoTermLow);
  }
  if (!variable.TryGetFuzzySet(messages::kAutoTermMedium, existing)) {
    IntfPtr<IFuzzySet> medium = variable.AddFuzzySet(messages::kAutoTermMedium);
    medium->SetTriangle(minimum, (minimum + maximum) / 2, maximum);
    medium->SetExpression(messages::kAutoTermMedium);
  }
  if (!variable.TryGetFuzzySet(messages::kAutoTermHigh, existing)) {
    IntfPtr<IFuzzySet> high = variable.AddFuzzySet(messages::kAutoTermHigh);
    high->AddPoint(minimum, 0.0);
    high->AddPoint(maximum, 1.0);
    high->SetExpression(messages::kAutoTermHigh);
  }
}

void TIFuzzyLogic::FuzzySetAdded(IFuzzyVariable& sender, IFuzzySet& fuzzy_set) {
  // A term more or less is a change of the definition as much as a changed term: the text
  // written next must show it.
  SetModified(true);
  if (FOnFuzzySetAdded) FOnFuzzySetAdded(sender, fuzzy_set);
}

void TIFuzzyLogic::FuzzySetDeleted(IFuzzyVariable& sender, IFuzzySet& fuzzy_set) {
  SetModified(true);
  if (FOnFuzzySetDeleted) FOnFuzzySetDeleted(sender, fuzzy_set);
}

void TIFuzzyLogic::VariableAdded(IFuzzyVariable& variable) {
  variable.SetThreshold(GetThreshold());
  if (GetAutoTerms()) AddAutoTerms(variable);
  variable.SetOnFuzzySetAdded(
      [this](IFuzzyVariable& sender, IFuzzySet& fuzzy_set) { FuzzySetAdded(sender, fuzzy_set); });
  variable.SetOnFuzzySetDeleted(
      [this](IFuzzyVariable& sender, IFuzzySet& fuzzy_set) { FuzzySetDeleted(sender, fuzzy_set); });
  variable.SetOnFuzzySetChange(
      [this](IFuzzyVariable& sender, IFuzzySet& fuzzy_set) { FuzzySetChanged(sender, fuzzy_set); });
  if (FOnVariableAdded) FOnVariableAdded(variable);
}

void TIFuzzyLogic::VariableDeleted(IFuzzyVariable& variable) {
  variable.SetOnFuzzySetAdded(nullptr);
  variable.SetOnFuzzySetDeleted(nullptr);
  variable.SetOnFuzzySetChange(nullptr);
  // The component's parser may go before a variable that outlives its stay here.
  if (GetParser() != nullptr &&
      variable.GetParser().Get() == static_cast<IFuzzyParser*>(GetParser())) {
    variable.SetParser(nullptr);
  }
  if (FOnVariableDeleted) FOnVariableDeleted(variable);
}

void TIFuzzyLogic::VariableChanged(IFuzzyVariable* variable) {
  SetModified(true);
  if (variable != nullptr) {
    if (FOnVariableChange) FOnVariableChange(*variable);
  } else if (GetOnChange()) {
    GetOnChange()(this);
  }
}

void TIFuzzyLogic::FuzzySetChanged(IFuzzyVariable& sender, IFuzzySet& fuzzy_set) {
  SetModified(true);
  if (FOnFuzzySetChange) FOnFuzzySetChange(sender, fuzzy_set);
}

}  // namespace tapwise
