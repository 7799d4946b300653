#include "tapwise/fuzzy/FuzzyVariable.h"

#include <utility>

#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/StringList.h"
#include "tapwise/foundation/UpdateScope.h"
#include "tapwise/fuzzy/CustomFuzzyLogic.h"
#include "tapwise/fuzzy/CustomFuzzyLogicParser.h"
#include "tapwise/fuzzy/FuzzyConsts.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise {

// ---- TFuzzySets ----

TFuzzySets::TFuzzySets(TFuzzyVariable* variable, TCollectionItemClass item_class)
    : TGCollection(variable, std::move(item_class)), FVariable(variable) {}

TFuzzySet* TFuzzySets::AddSet() {
  return static_cast<TFuzzySet*>(Add());
}

TFuzzySet* TFuzzySets::AddSet(const std::string& name) {
  TFuzzySet* set = AddSet();
  set->SetName(name);
  set->SetDefined(!name.empty() && name != EmptySetName);
  return set;
}

void TFuzzySets::Notify(TGCollectionItem& item, TCollectionNotification action) {
  TGCollection::Notify(item, action);
  if (FVariable == nullptr) return;
  // A term that joins becomes the selected one; written directly, it is no change of its own.
  if (action == cnAdded) FVariable->FItemIndex = item.GetIndex();
  FVariable->FuzzySetNotify(item, action);
}

void TFuzzySets::Update(TGCollectionItem* item) {
  TGCollection::Update(item);
  if (FVariable != nullptr) FVariable->FuzzySetUpdate(item);
}

// ---- TFuzzyVariable ----

TFuzzyVariable::TFuzzyVariable(TGCollection* collection)
    : TFuzzyVariable(collection, TCollectionItemClass::Of<TFuzzySet>()) {}

TFuzzyVariable::TFuzzyVariable(TGCollection* /*collection*/, TCollectionItemClass fuzzy_set_class)
    : FFuzzySetClass(std::move(fuzzy_set_class)) {
  FItems = CreateFuzzySets();
}

TFuzzyVariable::~TFuzzyVariable() {
  // The terms go while the variable is whole: their notifications still find it.
  FItems->Clear();
  FItems.reset();
}

std::unique_ptr<TFuzzySets> TFuzzyVariable::CreateFuzzySets() {
  return std::make_unique<TFuzzySets>(this, FFuzzySetClass);
}

TCustomFuzzyLogic* TFuzzyVariable::GetFuzzyLogic() const {
  const TGCollection* collection = GetCollection();
  if (collection == nullptr) return nullptr;
  return dynamic_cast<TCustomFuzzyLogic*>(collection->GetOwner());
}

void TFuzzyVariable::ReportChange() {
  Changed(false);
}

void TFuzzyVariable::SetName(const std::string& value) {
  if (value == FName) return;
  FName = value;
  ReportChange();
}

void TFuzzyVariable::SetUnits(const std::string& value) {
  if (value == FUnits) return;
  FUnits = value;
  ReportChange();
}

void TFuzzyVariable::SetComment(const std::string& value) {
  if (value == FComment) return;
  FComment = value;
  ReportChange();
}

void TFuzzyVariable::SetMaximum(TFzyFloat value) {
  if (value == FMaximum) return;
  FMaximum = value;
  if (FMinimum > FMaximum) SetMinimum(FMaximum);
  ReportChange();
}

void TFuzzyVariable::SetMinimum(TFzyFloat value) {
  if (value == FMinimum) return;
  FMinimum = value;
  if (FMinimum > FMaximum) SetMaximum(FMinimum);
  ReportChange();
}

void TFuzzyVariable::SetThreshold(TFzyFloat value) {
  if (value == FThreshold) return;
  FThreshold = value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
}

void TFuzzyVariable::SetItemIndex(int32_t value) {
  if (value == FItemIndex) return;
  if (value >= FItems->GetCount() || value < -1) {
    throw EFzyException(Format(messages::kListIndexOutOfBounds, value));
  }
  FItemIndex = value;
  ReportChange();
}

void TFuzzyVariable::SetItems(const TFuzzySets& value) {
  FItems->Assign(value);
}

void TFuzzyVariable::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TFuzzyVariable*>(&source);
  if (other == nullptr) {
    TGCollectionItem::Assign(source);
    return;
  }
  if (other == this) return;
  FName = other->FName;
  FMinimum = other->FMinimum;
  FMaximum = other->FMaximum;
  FThreshold = other->FThreshold;
  FUnits = other->FUnits;
  FComment = other->FComment;
  FItemIndex = other->FItemIndex;
  FItems->Assign(*other->FItems);
  // Copying the terms selected the last of them; the source's selection wins.
  FItemIndex = other->FItemIndex < FItems->GetCount() ? other->FItemIndex : FItems->GetCount() - 1;
}

void TFuzzyVariable::AssignTo(TPersistent& dest) const {
  auto* list = dynamic_cast<TStringList*>(&dest);
  if (list == nullptr) {
    TGCollectionItem::AssignTo(dest);
    return;
  }
  TUpdateScope scope(*list);
  list->Clear();
  for (int i = 0; i < FItems->GetCount(); ++i) {
    TFuzzySet* set = FItems->GetSet(i);
    list->AddObject(set->GetName(), set);
  }
}

std::string TFuzzyVariable::GetDisplayName() const {
  return FName.empty() ? TGCollectionItem::GetDisplayName() : FName;
}

std::string TFuzzyVariable::GetText() const {
  const TCustomFuzzyLogic* logic = GetFuzzyLogic();
  if (logic != nullptr && logic->GetParser() != nullptr) {
    return logic->GetParser()->FuzzyVariableToString(*this);
  }
  return GetDisplayName();
}

TFuzzySetSettings TFuzzyVariable::GetSettings() const {
  const TCustomFuzzyLogic* logic = GetFuzzyLogic();
  return logic != nullptr ? logic->GetSettings() : TFuzzySetSettings{};
}

std::optional<std::string> TFuzzyVariable::FuzzySetText(const TFuzzySet& set) const {
  const TCustomFuzzyLogic* logic = GetFuzzyLogic();
  if (logic == nullptr || logic->GetParser() == nullptr) return std::nullopt;
  return logic->GetParser()->FuzzySetToString(set, false);
}

void TFuzzyVariable::FuzzySetUpdate(TGCollectionItem* item) {
  (void)item;
  if (FItemIndex >= FItems->GetCount()) FItemIndex = FItems->GetCount() - 1;
  // The variable's collection hears that this variable changed; it is not handed the term,
  // which is none of its items.
  ReportChange();
}

void TFuzzyVariable::FuzzySetNotify(TGCollectionItem& /*item*/,
                                    TCollectionNotification /*action*/) {
  // As in FuzzySetUpdate: a term joining or leaving is a change of this variable.
  ReportChange();
}

}  // namespace tapwise
