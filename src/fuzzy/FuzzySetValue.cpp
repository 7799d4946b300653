#include "tapwise/fuzzy/FuzzySetValue.h"

#include <algorithm>

#include "FiniteCheck.h"
#include "tapwise/foundation/ExactType.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzySetValues.h"

namespace tapwise {

namespace {

// Bounds X to the universe of the set that owns `values`; points of a free-standing list
// (or of none) are not bounded.
TFzyFloat ClampToUniverse(const TFuzzySetValues* values, TFzyFloat x) {
  const TFuzzySet* set = values != nullptr ? values->GetFuzzySet() : nullptr;
  if (set == nullptr) return x;
  const TFzyFloat minimum = set->GetXRange(1);
  const TFzyFloat maximum = set->GetXRange(0);
  // Not std::clamp: a variable whose bounds are momentarily inverted must not make this
  // undefined; the upper bound wins.
  return std::min(std::max(x, minimum), maximum);
}

}  // namespace

// ---- TFuzzySetValue ----

TFuzzySetValue::TFuzzySetValue(TGCollection* collection) {
  if (collection != nullptr && collection->GetCount() > 0) {
    const TGCollectionItem* item = collection->GetItem(collection->GetCount() - 1);
    // Points are nearly always plain points; their exact type spares the cast its walk.
    const auto* last = CastExpecting<const TFuzzySetValue, const TFuzzySetValue>(item);
    if (last != nullptr) FX = last->FX + 1;
  }
}

void TFuzzySetValue::SetX(TFzyFloat value) {
  if (value == FX) return;
  CheckFinite(value, "SetX", "X");
  TFuzzySetValues* values = GetValues();
  FX = ClampToUniverse(values, value);
  Report(values, kXChanged);
}

void TFuzzySetValue::SetY(TFzyFloat value) {
  if (value == FY) return;
  CheckFinite(value, "SetY", "Y");
  FY = value < 0 ? 0 : value;
  Report(GetValues(), kYChanged);
}

void TFuzzySetValue::SetXY(TFzyFloat x, TFzyFloat y) {
  CheckFinite(x, "SetXY", "X");
  CheckFinite(y, "SetXY", "Y");
  TFuzzySetValues* values = GetValues();
  if (values != nullptr && values->GetFuzzySet() != nullptr) {
    x = ClampToUniverse(values, x);
    if (y < 0) y = 0;
  }
  FX = x;
  FY = y;
  Report(values, kXChanged | kYChanged);
}

bool TFuzzySetValue::SameAs(const TFuzzySetValue& other) const {
  return SameFloat(FX, other.FX) && SameFloat(FY, other.FY);
}

void TFuzzySetValue::Assign(const TPersistent& source) {
  if (const auto* point = dynamic_cast<const TFuzzySetValue*>(&source)) {
    SetXY(point->FX, point->FY);
    return;
  }
  TGCollectionItem::Assign(source);
}

void TFuzzySetValue::Report(TFuzzySetValues* values, int flags) {
  if (values != nullptr) {
    values->NoteItemChange();
    values->ValueChanged(*this, flags);
  }
  Changed(false);
}

}  // namespace tapwise
