#include "tapwise/language/StreamTokenList.h"

#include "tapwise/foundation/Cloneable.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"

namespace tapwise {

IntfPtr<TBaseStreamTokenList> TBaseStreamTokenList::Create() {
  return IntfPtr<TBaseStreamTokenList>(new TBaseStreamTokenList());
}

void TBaseStreamTokenList::Assign(const TPersistent& source) {
  const auto* list = dynamic_cast<const TBaseStreamTokenList*>(&source);
  if (list == nullptr) throw Exception(messages::kErrorAssigningList);
  CopyFrom(*list);
}

void TBaseStreamTokenList::AssignFromInterface(const IntfPtr<IInterface>& source) {
  const auto list = Supports<IBaseStreamTokenList>(source);
  if (!list) throw EConvertError(messages::kInterfaceNotSupported);
  CopyFrom(*list);
}

void TBaseStreamTokenList::CopyFrom(const IBaseStreamTokenList& list) {
  // Clearing first would lose the content of a list assigned from itself.
  if (&list == static_cast<const IBaseStreamTokenList*>(this)) return;
  std::vector<IntfPtr<IBaseStreamToken>> items;
  items.reserve(static_cast<size_t>(list.GetCount()));
  for (int32_t i = 0; i < list.GetCount(); ++i) {
    const auto token = list.GetItem(i);
    items.push_back(token ? Supports<IBaseStreamToken>(token->Clone()) : nullptr);
  }
  FItems = std::move(items);
  FTag = list.GetTag();
}

IntfPtr<ICloneable> TBaseStreamTokenList::Clone() const {
  return ClonePersistent(*this, [this](const TPersistent&) { return CreateSame(); });
}

bool TBaseStreamTokenList::IsEqual(const IntfPtr<IInterface>& other) const {
  const auto list = Supports<IBaseStreamTokenList>(other);
  return list && IsEqualList(list);
}

bool TBaseStreamTokenList::IsEqualList(const IntfPtr<IBaseStreamTokenList>& other) const {
  if (!other || other->GetCount() != GetCount()) return false;
  for (int32_t i = 0; i < GetCount(); ++i) {
    const auto& own = FItems[static_cast<size_t>(i)];
    const auto theirs = other->GetItem(i);
    if (!own || !theirs) {
      if (own || theirs) return false;
    } else if (!own->IsEqual(theirs)) {
      return false;
    }
  }
  return true;
}

void TBaseStreamTokenList::CheckIndex(int32_t index, int32_t limit) const {
  if (index < 0 || index >= limit) {
    throw EListError(Format(messages::kListIndexOutOfBounds, index));
  }
}

IntfPtr<IBaseStreamToken> TBaseStreamTokenList::GetItem(int32_t index) const {
  CheckIndex(index, GetCount());
  return FItems[static_cast<size_t>(index)];
}

void TBaseStreamTokenList::SetItem(int32_t index, const IntfPtr<IBaseStreamToken>& token) {
  CheckIndex(index, GetCount());
  FItems[static_cast<size_t>(index)] = token;
}

int32_t TBaseStreamTokenList::Add(const IntfPtr<IBaseStreamToken>& token) {
  FItems.push_back(token);
  return GetCount() - 1;
}

int32_t TBaseStreamTokenList::IndexOf(const IntfPtr<IBaseStreamToken>& token) const {
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (FItems[i] == token) return static_cast<int32_t>(i);
  }
  return -1;
}

void TBaseStreamTokenList::Insert(int32_t index, const IntfPtr<IBaseStreamToken>& token) {
  CheckIndex(index, GetCount() + 1);
  FItems.insert(FItems.begin() + index, token);
}

void TBaseStreamTokenList::Delete(int32_t index) {
  CheckIndex(index, GetCount());
  // The token may be the last thing keeping the caller's argument alive: release it last.
  const IntfPtr<IBaseStreamToken> removed = std::move(FItems[static_cast<size_t>(index)]);
  FItems.erase(FItems.begin() + index);
}

void TBaseStreamTokenList::AddTokens(const IntfPtr<IBaseStreamTokenList>& other) {
  if (!other) return;
  const int32_t count = other->GetCount();  // fixed first: `other` may be this list
  for (int32_t i = 0; i < count; ++i)
    FItems.push_back(other->GetItem(i));
}

int32_t TBaseStreamTokenList::Remove(const IntfPtr<IBaseStreamToken>& token) {
  const int32_t index = IndexOf(token);
  if (index >= 0) Delete(index);
  return index;
}

std::string TBaseStreamTokenList::GetAsString() const {
  std::string text;
  for (const auto& token : FItems) {
    if (token) text += token->GetAsString();
    text += ' ';
  }
  return text;
}

IntfPtr<TFuzzyStreamTokenList> TFuzzyStreamTokenList::Create() {
  return IntfPtr<TFuzzyStreamTokenList>(new TFuzzyStreamTokenList());
}

IntfPtr<IFuzzyStreamToken> TFuzzyStreamTokenList::GetToken(int32_t index) const {
  return Supports<IFuzzyStreamToken>(GetItem(index));
}

}  // namespace tapwise
