#pragma once

#include <cstdint>
#include <string>

#include "tapwise/foundation/Cloneable.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/foundation/Persistent.h"

namespace tapwise {

// Kinds of token (`DataType`). A single-character token (& ( ) = [ ] | ~) has the code of
// its character as its kind, so these share the integer type with character codes.
inline constexpr int32_t dtEOF = 0;              ///< end of the text; `Text` "EOF"
inline constexpr int32_t dtSymbol = 1;           ///< a word that is not a number
inline constexpr int32_t dtString = 2;           ///< a quoted string; `Text` without the quotes
inline constexpr int32_t dtInteger = 3;          ///< a whole number in `Number`
inline constexpr int32_t dtFloat = 4;            ///< any other number in `Number`
inline constexpr int32_t dtVariable = 5;         ///< "?name"; `Text` is the name
inline constexpr int32_t dtInterface = 6;        ///< carries an interface
inline constexpr int32_t dtTokenList = 7;        ///< carries a token list (a parenthesised group)
inline constexpr int32_t dtFuzzySet = 8;         ///< carries an interfaced fuzzy set
inline constexpr int32_t dtObject = 9;           ///< carries a plain object
inline constexpr int32_t dtFuzzySetObject = 10;  ///< carries a plain fuzzy set object

class IFuzzyStreamTokenList;
class TGInterfaceList;

/// A unit of definition text: its kind, the line it stood on, its number or text, and the
/// blanks, line ends and comments read in front of it.
class IBaseStreamToken : public virtual ICloneable {
 public:
  virtual int32_t GetDataType() const = 0;
  virtual int32_t GetLineNumber() const = 0;
  virtual double GetNumber() const = 0;
  virtual const std::string& GetText() const = 0;
  virtual void SetDataType(int32_t value) = 0;
  virtual void SetLineNumber(int32_t value) = 0;
  virtual void SetNumber(double value) = 0;
  virtual void SetText(const std::string& value) = 0;
  virtual const std::string& GetWhiteSpace() const = 0;
  virtual void SetWhiteSpace(const std::string& value) = 0;
  /// The token as definition text: "(", "cold", "65", "0.2500", "?x", and the string abc as
  /// \"abc\" (a backslash and a quote on either side).
  virtual std::string GetAsString() const = 0;
};

/// A token that can also carry a value: a nested token list (how parenthesised groups
/// nest), a fuzzy set, any interface, or a plain object. Setting a value sets `DataType`
/// (dtTokenList, dtFuzzySet, dtInterface, dtObject), or 0 when the value is null. The
/// token list, the fuzzy set and the interface share one carried reference, which the
/// token keeps alive; the object is not owned.
class IFuzzyStreamToken : public virtual IBaseStreamToken {
 public:
  /// The carried interface as it was stored.
  virtual IntfPtr<IInterface> GetInterfaceValue() const = 0;
  /// The carried fuzzy set: the carried interface when it was stored as a fuzzy set.
  virtual IntfPtr<IInterface> GetFuzzySetValue() const = 0;
  /// The carried interface as a token list; null when there is none or it is no list.
  virtual IntfPtr<IFuzzyStreamTokenList> GetTokenList() const = 0;
  virtual TPersistent* GetObjectValue() const = 0;
  virtual void SetFuzzySetValue(const IntfPtr<IInterface>& value) = 0;
  virtual void SetInterfaceValue(const IntfPtr<IInterface>& value) = 0;
  virtual void SetTokenList(const IntfPtr<IFuzzyStreamTokenList>& value) = 0;
  virtual void SetObjectValue(TPersistent* value) = 0;
};

/// An ordered list of tokens, such as the arguments of a shape function. The list holds a
/// reference to each token; items may be null. Index errors raise EListError "List index
/// out of bounds (%d)".
class IBaseStreamTokenList : public virtual ICloneable {
 public:
  virtual int32_t GetCount() const = 0;
  virtual IntfPtr<IBaseStreamToken> GetItem(int32_t index) const = 0;
  virtual void SetItem(int32_t index, const IntfPtr<IBaseStreamToken>& token) = 0;
  /// Same count and, index by index, both items null or equal under the token's `IsEqual`.
  virtual bool IsEqualList(const IntfPtr<IBaseStreamTokenList>& other) const = 0;
  /// The same rule against a plain interface list, whose present items must be tokens; a
  /// list is always equal to itself.
  virtual bool IsEqualInterfaceList(const TGInterfaceList& other) const = 0;
  /// Appends `token` and returns its index.
  virtual int32_t Add(const IntfPtr<IBaseStreamToken>& token) = 0;
  virtual void Clear() = 0;
  virtual IntfPtr<IBaseStreamToken> First() const = 0;
  /// The index of this very token (identity, not equality), or -1.
  virtual int32_t IndexOf(const IntfPtr<IBaseStreamToken>& token) const = 0;
  /// Inserts at 0..GetCount().
  virtual void Insert(int32_t index, const IntfPtr<IBaseStreamToken>& token) = 0;
  virtual IntfPtr<IBaseStreamToken> Last() const = 0;
  virtual void Delete(int32_t index) = 0;
  /// Appends the very tokens of `other` (shared, not copied).
  virtual void AddTokens(const IntfPtr<IBaseStreamTokenList>& other) = 0;
  /// Deletes this very token and returns its former index, or -1 when it is absent.
  virtual int32_t Remove(const IntfPtr<IBaseStreamToken>& token) = 0;
  /// Each token's `GetAsString` followed by one blank: "( cold ) ".
  virtual std::string GetAsString() const = 0;
};

/// A token list that hands its items out as fuzzy tokens. An item that is only a base
/// token is handed out as null.
class IFuzzyStreamTokenList : public virtual IBaseStreamTokenList {
 public:
  virtual IntfPtr<IFuzzyStreamToken> GetToken(int32_t index) const = 0;
  virtual IntfPtr<IFuzzyStreamToken> FirstToken() const = 0;
  virtual IntfPtr<IFuzzyStreamToken> LastToken() const = 0;
};

}  // namespace tapwise
