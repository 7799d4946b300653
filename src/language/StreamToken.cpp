#include "tapwise/language/StreamToken.h"

#include <cmath>

#include "tapwise/foundation/Cloneable.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/language/TokenView.h"

namespace tapwise {

IntfPtr<TBaseStreamToken> TBaseStreamToken::Create() {
  return IntfPtr<TBaseStreamToken>(new TBaseStreamToken());
}

void TBaseStreamToken::Assign(const TPersistent& source) {
  const auto* token = dynamic_cast<const TBaseStreamToken*>(&source);
  if (token == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  FDataType = token->FDataType;
  FLineNumber = token->FLineNumber;
  FNumber = token->FNumber;
  FText = token->FText;
  FTag = token->FTag;
}

void TBaseStreamToken::AssignFromInterface(const IntfPtr<IInterface>& source) {
  const auto token = Supports<IBaseStreamToken>(source);
  if (!token) throw EConvertError(messages::kInterfaceNotSupported);
  FDataType = token->GetDataType();
  FLineNumber = token->GetLineNumber();
  FNumber = token->GetNumber();
  FText = token->GetText();
  FTag = token->GetTag();
}

IntfPtr<ICloneable> TBaseStreamToken::Clone() const {
  return ClonePersistent(*this, [this](const TPersistent&) { return CreateSame(); });
}

bool TBaseStreamToken::IsEqual(const IntfPtr<IInterface>& other) const {
  const auto token = Supports<IBaseStreamToken>(other);
  // Exact comparison on purpose: equal tokens come from equal text.
  return token && token->GetDataType() == FDataType && token->GetLineNumber() == FLineNumber &&
         token->GetNumber() == FNumber;
}

std::string TBaseStreamToken::PlainAsString() const {
  std::string text;
  AppendPlainAsString(text);
  return text;
}

void AppendPlainForm(std::string& out, int32_t data_type, double number, std::string_view text) {
  switch (data_type) {
    case dtString:
      out += "\\\"";
      out += text;
      out += "\"\\";
      return;
    case dtInteger:
      // Adding 0 turns the -0 of a truncated small negative number into 0.
      out += FormatFixed(std::trunc(number) + 0.0, 0);
      return;
    case dtFloat:
      out += FormatFixed(number, 4);
      return;
    case dtVariable:
      out += '?';
      out += text;
      return;
    default:
      if (!text.empty()) {
        out += text;
      } else {
        out += static_cast<char>(data_type);
      }
  }
}

void TBaseStreamToken::AppendPlainAsString(std::string& out) const {
  AppendPlainForm(out, FDataType, FNumber, FText);
}

std::string TBaseStreamToken::GetAsString() const {
  return PlainAsString();
}

IntfPtr<TFuzzyStreamToken> TFuzzyStreamToken::Create() {
  return IntfPtr<TFuzzyStreamToken>(new TFuzzyStreamToken());
}

std::string TFuzzyStreamToken::GetAsString() const {
  std::string text;
  AppendAsString(text);
  return text;
}

void TFuzzyStreamToken::AppendAsString(std::string& out) const {
  switch (GetDataType()) {
    case dtInterface:
      out += "<interface>";
      return;
    case dtTokenList:
      if (const auto list = Supports<IBaseStreamTokenList>(FValue)) out += list->GetAsString();
      return;
    case dtObject:
      out += "<object>";
      return;
    case dtFuzzySet:
    case dtFuzzySetObject:
      out += GetText();
      return;
    default:
      AppendPlainAsString(out);
  }
}

IntfPtr<IInterface> TFuzzyStreamToken::GetFuzzySetValue() const {
  return GetDataType() == dtFuzzySet ? FValue : nullptr;
}

IntfPtr<IFuzzyStreamTokenList> TFuzzyStreamToken::GetTokenList() const {
  return Supports<IFuzzyStreamTokenList>(FValue);
}

void TFuzzyStreamToken::SetFuzzySetValue(const IntfPtr<IInterface>& value) {
  FValue = value;
  SetDataType(value ? dtFuzzySet : dtEOF);
}

void TFuzzyStreamToken::SetInterfaceValue(const IntfPtr<IInterface>& value) {
  FValue = value;
  SetDataType(value ? dtInterface : dtEOF);
}

void TFuzzyStreamToken::SetTokenList(const IntfPtr<IFuzzyStreamTokenList>& value) {
  FValue = value;
  SetDataType(value ? dtTokenList : dtEOF);
}

void TFuzzyStreamToken::SetObjectValue(TPersistent* value) {
  FObject = value;
  SetDataType(value != nullptr ? dtObject : dtEOF);
}

}  // namespace tapwise
