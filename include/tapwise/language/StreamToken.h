#pragma once

#include <cstdint>
#include <string>

#include "tapwise/foundation/Interface.h"
#include "tapwise/foundation/Persistent.h"
#include "tapwise/fuzzy/StreamTokenInterfaces.h"

namespace tapwise {

/// The plain token: kind, line, number, text, tag and leading white space.
///
/// `Assign` copies `DataType`, `LineNumber`, `Number`, `Text` and `Tag` (not the white
/// space, not a carried value). `IsEqual` compares `DataType`, `LineNumber` and `Number`
/// exactly; text, tag and white space take no part, so two different words on one line are
/// equal tokens.
class TBaseStreamToken : public TPersistent,
                         public TInterfacedObject,
                         public virtual IBaseStreamToken {
 public:
  static IntfPtr<TBaseStreamToken> Create();

  std::string ClassName() const override { return "TBaseStreamToken"; }
  /// From another token; any other source is handed to the persistent base, which raises
  /// EConvertError "Cannot assign a %s to a %s".
  void Assign(const TPersistent& source) override;
  void AssignTo(TPersistent& dest) const override { TPersistent::AssignTo(dest); }
  /// From any object offering IBaseStreamToken; raises EConvertError "Interface not
  /// supported" for anything else.
  void AssignFromInterface(const IntfPtr<IInterface>& source) override;
  IntfPtr<ICloneable> Clone() const override;
  /// False unless `other` offers IBaseStreamToken.
  bool IsEqual(const IntfPtr<IInterface>& other) const override;
  int32_t GetTag() const override { return FTag; }
  void SetTag(int32_t value) override { FTag = value; }

  int32_t GetDataType() const override { return FDataType; }
  int32_t GetLineNumber() const override { return FLineNumber; }
  double GetNumber() const override { return FNumber; }
  const std::string& GetText() const override { return FText; }
  void SetDataType(int32_t value) override { FDataType = value; }
  void SetLineNumber(int32_t value) override { FLineNumber = value; }
  void SetNumber(double value) override { FNumber = value; }
  void SetText(const std::string& value) override { FText = value; }
  const std::string& GetWhiteSpace() const override { return FWhiteSpace; }
  void SetWhiteSpace(const std::string& value) override { FWhiteSpace = value; }
  std::string GetAsString() const override;

 protected:
  TBaseStreamToken() = default;
  /// A new, empty token of this object's own class (what `Clone` fills).
  virtual IntfPtr<TBaseStreamToken> CreateSame() const { return Create(); }
  /// The text forms shared by every token kind that carries no value.
  std::string PlainAsString() const;
  /// Appends what `PlainAsString` gives to `out`, without a string of its own.
  void AppendPlainAsString(std::string& out) const;

 private:
  friend class TFuzzyLogicTokenStream;  // hands its pending white space over without a copy
  friend class TTokenEcho;              // reads the fields of its echo without calls
  friend class TTokenPool;              // blanks a token to use it again

  int32_t FDataType = dtEOF;
  int32_t FLineNumber = 0;
  double FNumber = 0;
  std::string FText;
  int32_t FTag = 0;
  std::string FWhiteSpace;
};

/// The token the tokenizer makes: a plain token that can also carry a value.
class TFuzzyStreamToken : public TBaseStreamToken, public virtual IFuzzyStreamToken {
 public:
  static IntfPtr<TFuzzyStreamToken> Create();

  std::string ClassName() const override { return "TFuzzyStreamToken"; }
  /// Adds the forms of the carried values: "<interface>", "<object>", the carried list's
  /// text, and for a fuzzy set its text when it has one (the token's `Text` until the set
  /// types give their own).
  std::string GetAsString() const override;
  /// Appends what `GetAsString` gives to `out`; the tokenizer's echo is made this way.
  void AppendAsString(std::string& out) const;

  IntfPtr<IInterface> GetInterfaceValue() const override { return FValue; }
  IntfPtr<IInterface> GetFuzzySetValue() const override;
  IntfPtr<IFuzzyStreamTokenList> GetTokenList() const override;
  TPersistent* GetObjectValue() const override { return FObject; }
  void SetFuzzySetValue(const IntfPtr<IInterface>& value) override;
  void SetInterfaceValue(const IntfPtr<IInterface>& value) override;
  void SetTokenList(const IntfPtr<IFuzzyStreamTokenList>& value) override;
  void SetObjectValue(TPersistent* value) override;

 protected:
  TFuzzyStreamToken() = default;
  IntfPtr<TBaseStreamToken> CreateSame() const override { return Create(); }

 private:
  friend class TTokenPool;  // blanks a token to use it again

  IntfPtr<IInterface> FValue;
  TPersistent* FObject = nullptr;
  bool FInPool = false;  // a token pool's ring holds it
};

}  // namespace tapwise
