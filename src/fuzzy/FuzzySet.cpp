#include "tapwise/fuzzy/FuzzySet.h"

#include "MatchMemo.h"

#include "tapwise/foundation/ExactType.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/FuzzyConsts.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyVariable.h"
#include "tapwise/fuzzy/ShapeFunctions.h"

namespace tapwise {

namespace {

// The universe of a set that belongs to no variable.
constexpr TFzyFloat kUnboundedMaximum = 2147483647.0;

std::unique_ptr<TFuzzySetValues> CreatePlainValues(TFuzzySet& set) {
  return std::make_unique<TFuzzySetValues>(&set);
}

void AppendPointGroups(const TFuzzySetValues& values, std::string& text) {
  for (int i = 0; i < values.GetCount(); ++i) {
    const TFuzzySetValue* point = values.GetPoint(i);
    text += '(';
    text += FormatFixed(point->GetX(), 4);
    text += ' ';
    text += FormatFixed(point->GetY(), 4);
    text += ") ";
  }
}

}  // namespace

TFuzzySet::TFuzzySet(TGCollection* collection) : TFuzzySet(collection, &CreatePlainValues) {}

TFuzzySet::TFuzzySet(TGCollection* /*collection*/, ValuesFactory values_factory)
    : FOwnedValues(values_factory(*this)), FValues(FOwnedValues.get()) {}

TFuzzySet::TFuzzySet(TGCollection* /*collection*/, TMemberValues) {}

TFuzzySet::~TFuzzySet() = default;

void TFuzzySetDeleter::operator()(TFuzzySet* set) const noexcept {
  set->FreeHeld();
}

// ---- Properties ----

void TFuzzySet::SetName(const std::string& value) {
  if (value == FName) return;
  CheckFuzzySetName(value);
  StoreCheckedName(value);
}

void TFuzzySet::StoreCheckedName(const std::string& value) {
  if (value == FName) return;
  FName = value;
  Changed(false);
}

void TFuzzySet::SetValues(const TFuzzySetValues& value) {
  FValues->Assign(static_cast<const TPersistent&>(value));
}

void TFuzzySet::SetComment(const std::string& value) {
  if (value == FComment) return;
  FComment = value;
  Changed(false);
}

std::string TFuzzySet::GetDisplayName() const {
  return FName.empty() ? TGCollectionItem::GetDisplayName() : FName;
}

void TFuzzySet::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TFuzzySet*>(&source);
  if (other == nullptr) {
    TGCollectionItem::Assign(source);
    return;
  }
  AssignSet(*other);
}

void TFuzzySet::AssignSet(const TFuzzySet& source) {
  const TFuzzySet* other = &source;
  if (other == this) return;
  FName = other->FName;
  FValues->AssignPoints(*other->FValues);
  // After the points: copying them made this set user-defined without expression.
  FSetType = other->FSetType;
  FInflectionPoint = other->FInflectionPoint;
  FExpression = other->FExpression;
  Changed(false);
}

// ---- Variable and settings ----

const TFuzzySetContext* TFuzzySet::GetFuzzyVariable() const {
  const TGCollection* collection = GetCollection();
  const TPersistent* owner = collection != nullptr ? collection->GetOwner() : nullptr;
  // Asked on every added point: the usual owner spares the cross-cast its walk.
  return CastExpecting<const TFuzzySetContext, const TFuzzyVariable>(owner);
}

TFzyFloat TFuzzySet::GetXRange(int index) const {
  if (index != 0 && index != 1) {
    throw EFzyException(Format(messages::kInvalidXRangeIndex, index));
  }
  const TFuzzySetContext* variable = GetFuzzyVariable();
  if (index == 0) return variable != nullptr ? variable->GetMaximum() : kUnboundedMaximum;
  return variable != nullptr ? variable->GetMinimum() : -kUnboundedMaximum;
}

TFuzzySetSettings TFuzzySet::GetSettings() const {
  const TFuzzySetContext* variable = GetFuzzyVariable();
  return variable != nullptr ? variable->GetSettings() : TFuzzySetSettings{};
}

// ---- Points ----

TFzyFloat TFuzzySet::Interpolate(TFzyFloat x1, TFzyFloat y1, TFzyFloat x2, TFzyFloat y2,
                                 TFzyFloat x) {
  return tapwise::Interpolate(x1, y1, x2, y2, x);
}

TFzyFloat TFuzzySet::InterpolateX(TFzyFloat x1, TFzyFloat y1, TFzyFloat x2, TFzyFloat y2,
                                  TFzyFloat level) {
  return tapwise::InterpolateX(x1, y1, x2, y2, level);
}

TFzyFloat TFuzzySet::GetAverageY() const {
  return FValues->GetCount() == 0 ? 0 : FValues->GetAverageYValue();
}

std::string TFuzzySet::ValuesText() const {
  std::string text = "(";
  AppendPointGroups(*FValues, text);
  text += ')';
  return text;
}

std::string TFuzzySet::GetText() const {
  if (const TFuzzySetContext* variable = GetFuzzyVariable()) {
    if (auto text = variable->FuzzySetText(*this)) return *std::move(text);
  }
  std::string text = "(";
  text += FName;
  text += ' ';
  AppendPointGroups(*FValues, text);
  text += ')';
  return text;
}

TFuzzySet* TFuzzySet::Clone() const {
  TGCollection* collection = GetCollection();
  if (collection == nullptr) {
    throw EFzyException(Format(messages::kCloneWithoutCollection, FName));
  }
  // Filled once it has joined: only then does it bound its points by the variable's universe
  // (a set of no collection would clamp them to +-2147483647). A failure takes it out again.
  auto* copy = static_cast<TFuzzySet*>(collection->AddItem(NewInstance()));
  try {
    copy->Assign(*this);
  } catch (...) {
    collection->Delete(copy->GetIndex());
    throw;
  }
  return copy;
}

std::unique_ptr<TFuzzySet> TFuzzySet::NewInstance() const {
  return std::make_unique<TFuzzySet>();
}

void TFuzzySet::PointChanged(TFuzzySetValue& /*item*/) {
  FSetType = fstUserDefined;
  FExpression.clear();
  Changed(false);
}

void TFuzzySet::PointsChanged() {
  FSetType = fstUserDefined;
  FExpression.clear();
  Changed(false);
}

void TFuzzySet::StoreSetType(TFuzzySetType value) {
  FSetType = value;
  Changed(false);
}

}  // namespace tapwise
