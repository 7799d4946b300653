#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tapwise/foundation/Interface.h"
#include "tapwise/foundation/InterfaceList.h"
#include "tapwise/foundation/Persistent.h"
#include "tapwise/fuzzy/StreamTokenInterfaces.h"

namespace tapwise {

/// A list of tokens held by counted reference, with a free `Tag`.
///
/// Assigning copies: the list is cleared and receives a clone of each token of the source,
/// and the source's `Tag`. `AddTokens` shares: it appends the very tokens of another list.
/// Items put in through the interface-list operations that are not tokens are handed out
/// as null.
class TBaseStreamTokenList : public TIList,
                             public TInterfacedObject,
                             public virtual IBaseStreamTokenList {
 public:
  static IntfPtr<TBaseStreamTokenList> Create();

  std::string ClassName() const override { return "TBaseStreamTokenList"; }
  /// From another token list (as `AssignFromInterface`); any other source raises Exception
  /// "Error assigning list".
  void Assign(const TPersistent& source) override;
  void AssignTo(TPersistent& dest) const override { TPersistent::AssignTo(dest); }
  /// From any object offering IBaseStreamTokenList; raises EConvertError "Interface not
  /// supported" for anything else. Assigning a list from itself changes nothing.
  void AssignFromInterface(const IntfPtr<IInterface>& source) override;
  IntfPtr<ICloneable> Clone() const override;
  /// `IsEqualList` when `other` offers IBaseStreamTokenList, false otherwise.
  bool IsEqual(const IntfPtr<IInterface>& other) const override;
  int32_t GetTag() const override { return FTag; }
  void SetTag(int32_t value) override { FTag = value; }

  int32_t GetCount() const override { return TIList::GetCount(); }
  IntfPtr<IBaseStreamToken> GetItem(int32_t index) const override;
  void SetItem(int32_t index, const IntfPtr<IBaseStreamToken>& token) override;
  bool IsEqualList(const IntfPtr<IBaseStreamTokenList>& other) const override;
  int32_t Add(const IntfPtr<IBaseStreamToken>& token) override;
  void Clear() override { TIList::Clear(); }
  IntfPtr<IBaseStreamToken> First() const override { return GetItem(0); }
  int32_t IndexOf(const IntfPtr<IBaseStreamToken>& token) const override;
  void Insert(int32_t index, const IntfPtr<IBaseStreamToken>& token) override;
  IntfPtr<IBaseStreamToken> Last() const override { return GetItem(GetCount() - 1); }
  void Delete(int32_t index) override { TIList::Delete(index); }
  void AddTokens(const IntfPtr<IBaseStreamTokenList>& other) override;
  int32_t Remove(const IntfPtr<IBaseStreamToken>& token) override;
  std::string GetAsString() const override;
  /// True for this very list; otherwise the rule of `IsEqualList`, each present item of
  /// `other` having to be a token.
  bool IsEqualInterfaceList(const TGInterfaceList& other) const override;

 protected:
  TBaseStreamTokenList() = default;
  /// A new, empty list of this object's own class (what `Clone` fills).
  virtual IntfPtr<TBaseStreamTokenList> CreateSame() const { return Create(); }

 private:
  void CopyFrom(const IBaseStreamTokenList& list);

  int32_t FTag = 0;
};

/// The token list of the definition language: it hands its items out as fuzzy tokens.
class TFuzzyStreamTokenList : public TBaseStreamTokenList, public virtual IFuzzyStreamTokenList {
 public:
  static IntfPtr<TFuzzyStreamTokenList> Create();

  std::string ClassName() const override { return "TFuzzyStreamTokenList"; }
  IntfPtr<IFuzzyStreamToken> GetToken(int32_t index) const override;
  /// Appends `token` as `Add` does.
  int32_t AddToken(const IntfPtr<IFuzzyStreamToken>& token) { return Add(token); }
  IntfPtr<IFuzzyStreamToken> FirstToken() const override { return GetToken(0); }
  IntfPtr<IFuzzyStreamToken> LastToken() const override { return GetToken(GetCount() - 1); }

 protected:
  TFuzzyStreamTokenList() = default;
  IntfPtr<TBaseStreamTokenList> CreateSame() const override { return Create(); }
};

}  // namespace tapwise
