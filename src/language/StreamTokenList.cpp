#include "tapwise/language/StreamTokenList.h"

#include "tapwise/foundation/Cloneable.h"
#include "tapwise/foundation/ExactType.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/language/StreamToken.h"

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
  std::vector<IntfPtr<IInterface>> clones;
  clones.reserve(static_cast<size_t>(list.GetCount()));
  for (int32_t i = 0; i < list.GetCount(); ++i) {
    const auto token = list.GetItem(i);
    clones.push_back(token ? IntfPtr<IInterface>(token->Clone()) : nullptr);
  }
  TIList::Clear();
  SetCapacity(static_cast<int>(clones.size()));
  for (auto& clone : clones)
    TIList::Add(std::move(clone));
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
    const auto own = GetItem(i);
    const auto theirs = other->GetItem(i);
    if (!own || !theirs) {
      if (own || theirs) return false;
    } else if (!own->IsEqual(theirs)) {
      return false;
    }
  }
  return true;
}

bool TBaseStreamTokenList::IsEqualInterfaceList(const TGInterfaceList& other) const {
  if (&other == static_cast<const TGInterfaceList*>(this)) return true;
  if (other.GetCount() != GetCount()) return false;
  for (int32_t i = 0; i < GetCount(); ++i) {
    const auto own = GetItem(i);
    const auto theirs = other.Get(i);
    if (!own || !theirs) {
      if (own || theirs) return false;
    } else if (!Supports<IBaseStreamToken>(theirs) || !own->IsEqual(theirs)) {
      return false;
    }
  }
  return true;
}

IntfPtr<IBaseStreamToken> TBaseStreamTokenList::GetItem(int32_t index) const {
  // Nearly every item is a token the tokenizer made.
  return IntfPtr<IBaseStreamToken>(
      CastExpecting<IBaseStreamToken, TFuzzyStreamToken>(ItemAt(index)));
}

void TBaseStreamTokenList::SetItem(int32_t index, const IntfPtr<IBaseStreamToken>& token) {
  Put(index, token);
}

int32_t TBaseStreamTokenList::Add(const IntfPtr<IBaseStreamToken>& token) {
  return TIList::Add(token);
}

int32_t TBaseStreamTokenList::IndexOf(const IntfPtr<IBaseStreamToken>& token) const {
  return TIList::IndexOf(token);
}

void TBaseStreamTokenList::Insert(int32_t index, const IntfPtr<IBaseStreamToken>& token) {
  TIList::Insert(index, token);
}

void TBaseStreamTokenList::AddTokens(const IntfPtr<IBaseStreamTokenList>& other) {
  if (!other) return;
  const int32_t count = other->GetCount();  // fixed first: `other` may be this list
  for (int32_t i = 0; i < count; ++i)
    TIList::Add(other->GetItem(i));
}

int32_t TBaseStreamTokenList::Remove(const IntfPtr<IBaseStreamToken>& token) {
  return TIList::Remove(token);
}

std::string TBaseStreamTokenList::GetAsString() const {
  std::string text;
  for (int32_t i = 0; i < GetCount(); ++i) {
    if (const auto token = GetItem(i)) text += token->GetAsString();
    text += ' ';
  }
  return text;
}

IntfPtr<TFuzzyStreamTokenList> TFuzzyStreamTokenList::Create() {
  return IntfPtr<TFuzzyStreamTokenList>(new TFuzzyStreamTokenList());
}

IntfPtr<IFuzzyStreamToken> TFuzzyStreamTokenList::GetToken(int32_t index) const {
  return IntfPtr<IFuzzyStreamToken>(
      CastExpecting<IFuzzyStreamToken, TFuzzyStreamToken>(ItemAt(index)));
}

}  // namespace tapwise
