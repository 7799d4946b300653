#include "tapwise/fuzzy/FuzzyLogic.h"

#include <string>
#include <utility>
#include <vector>

#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/UpdateScope.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise {

// ---- TFuzzyVariables ----

TFuzzyVariables::TFuzzyVariables(TFuzzyLogic* logic, TCollectionItemClass item_class)
    : TGCollection(logic, std::move(item_class)), FLogic(logic) {}

TFuzzyVariable* TFuzzyVariables::AddVariable() {
  return static_cast<TFuzzyVariable*>(Add());
}

TFuzzyVariable* TFuzzyVariables::FindVariable(std::string_view name) const {
  for (int i = 0; i < GetCount(); ++i) {
    if (GetVariable(i)->GetName() == name) return GetVariable(i);
  }
  return nullptr;
}

void TFuzzyVariables::Update(TGCollectionItem* item) {
  TGCollection::Update(item);
  if (FLogic != nullptr) FLogic->VariableChanged(static_cast<TFuzzyVariable*>(item));
}

void TFuzzyVariables::Notify(TGCollectionItem& item, TCollectionNotification action) {
  TGCollection::Notify(item, action);
  if (FLogic == nullptr) return;
  auto& variable = static_cast<TFuzzyVariable&>(item);
  if (action == cnAdded) {
    FLogic->VariableAdded(variable);
  } else if (action == cnExtracting) {
    FLogic->VariableDeleted(variable);
  }
}

// ---- TFuzzyLogic ----

TFuzzyLogic::TFuzzyLogic(TComponent* owner)
    : TCustomFuzzyLogic(owner),
      FFuzzyVariables(
          std::make_unique<TFuzzyVariables>(this, TCollectionItemClass::Of<TFuzzyVariable>())) {}

TFuzzyLogic::~TFuzzyLogic() {
  // Linked components hear of the removal while this component is whole.
  BeforeDestruction();
  SetOnChange(nullptr);
  // Freed here, while the component is whole: the collection reports every variable.
  FFuzzyVariables->Clear();
  FFuzzyVariables.reset();
}

TFuzzyVariable* TFuzzyLogic::GetVariable(std::string_view name) const {
  TFuzzyVariable* variable = FFuzzyVariables->FindVariable(name);
  if (variable == nullptr) throw EFzyException(Format(messages::kNoSuchVariable, GetName(), name));
  return variable;
}

void TFuzzyLogic::ParseStrings() {
  if (IsLoading()) return;
  CheckParser();
  FFuzzyVariables->Clear();
  SetModified(false);
  TCustomFuzzyLogic::ParseStrings();
}

void TFuzzyLogic::RebuildStrings() {
  TCustomFuzzyLogic::RebuildStrings();
  if (IsLoading()) return;
  std::vector<std::string> texts;
  texts.reserve(static_cast<size_t>(FFuzzyVariables->GetCount()));
  // The texts are complete before the list changes, so a failing writer leaves it whole.
  for (int i = 0; i < FFuzzyVariables->GetCount(); ++i) {
    texts.push_back(FFuzzyVariables->GetVariable(i)->GetText());
  }
  TStringList& strings = StringsList();
  TUpdateScope scope(strings);
  strings.Clear();
  for (std::string& text : texts)
    strings.Add(std::move(text));
}

void TFuzzyLogic::Loaded() {
  TCustomFuzzyLogic::Loaded();
  ParseStrings();
}

void TFuzzyLogic::VariableChanged(TFuzzyVariable* variable) {
  SetModified(true);
  if (variable == nullptr && GetOnChange()) GetOnChange()(this);
}

void TFuzzyLogic::VariableAdded(TFuzzyVariable& variable) {
  variable.SetThreshold(GetThreshold());
}

void TFuzzyLogic::VariableDeleted(TFuzzyVariable& /*variable*/) {}

void TFuzzyLogic::ThresholdChanged() {
  for (int i = 0; i < FFuzzyVariables->GetCount(); ++i) {
    FFuzzyVariables->GetVariable(i)->SetThreshold(GetThreshold());
  }
}

}  // namespace tapwise
