#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "tapwise/fuzzy/FuzzyTypes.h"

// The fixed vocabulary of the fuzzy library: enumeration members as text, the words of the
// definition language, the hedge factors and a few shared constants. Everything here is a
// compile-time table, so reading it never allocates and is safe from any thread.

namespace tapwise {

// ---- Enumeration members as text (used in messages, e.g. "foSum") ----

inline constexpr std::array<std::string_view, 2> CorrelationMethodMemberNames = {"fcmMinimum",
                                                                                 "fcmProduct"};
inline constexpr std::array<std::string_view, 5> InferenceMethodMemberNames = {
    "fimMinMax", "fimAdditive", "fimMean", "fimProduct", "fimBoundedSum"};
inline constexpr std::array<std::string_view, 2> DefuzzificationMethodMemberNames = {
    "dmCenterOfGravity", "dmMeanOfMaxima"};
inline constexpr std::array<std::string_view, 6> FuzzySetTypeMemberNames = {
    "fstUserDefined", "fstTriangle",  "fstDeclineCurve",
    "fstPICurve",     "fstBetaCurve", "fstGrowthCurve"};
inline constexpr std::array<std::string_view, 7> FuzzyOperationMemberNames = {
    "foZadeh", "foMean", "foMeanSqr", "foMeanSqrt", "foProduct", "foBoundedSum", "foSum"};

/// The member's own name, e.g. MemberName(foSum) == "foSum". An out-of-range value (a cast
/// from a bad number) raises EListError.
std::string_view MemberName(TFuzzyCorrelationMethod value);
std::string_view MemberName(TFuzzyInferenceMethod value);
std::string_view MemberName(TDefuzzificationMethod value);
std::string_view MemberName(TFuzzySetType value);
std::string_view MemberName(TFuzzyOperation value);

// ---- Word tables of the definition language and of derived set names ----

/// Indexed by TFuzzyOperation.
inline constexpr std::array<std::string_view, 7> OperationNames = {
    "zadeh", "mean", "mean-sqr", "mean-sqrt", "product", "bounded-sum", "sum"};
/// Indexed by TFuzzyOperation: "and" is the Zadeh AND (minimum).
inline constexpr std::array<std::string_view, 7> AndOperationNames = {
    "and", "and-mean", "and-meansqr", "and-meansqrt", "and-product", "and-boundedsum", "and-sum"};
/// Indexed by TFuzzyOperation: "or" is the Zadeh OR (maximum).
inline constexpr std::array<std::string_view, 7> OrOperationNames = {
    "or", "or-mean", "or-meansqr", "or-meansqrt", "or-product", "or-boundedsum", "or-sum"};

/// Indexed by TFuzzyCorrelationMethod.
inline constexpr std::array<std::string_view, 2> CorrelationNames = {"minimum", "product"};
/// The correlation members listed for messages, by member name and by display name.
inline constexpr std::string_view CorrelationMemberNamesText = "fcmMinimum, fcmProduct";
inline constexpr std::string_view CorrelationDisplayNamesText = "Minimum, Product";

/// Indexed by TFuzzyInferenceMethod.
inline constexpr std::array<std::string_view, 5> InferenceNames = {"min-max", "sum", "mean",
                                                                   "product", "bounded-sum"};
/// The inference members listed for messages, by member name and by display name.
inline constexpr std::string_view InferenceMemberNamesText =
    "fimMinMax, fimAdditive, fimMean, fimProduct, fimBoundedSum";
inline constexpr std::string_view InferenceDisplayNamesText =
    "MinMax, Additive, Mean, Product, BoundedSum";

/// Operators that apply a constant to every degree (Y) of a set.
inline constexpr std::array<std::string_view, 9> OperatorSymbols = {"+", "-",  "*", "/", "^",
                                                                    "<", "<=", ">", ">="};
/// The same operators applied to every position (X): each symbol followed by "X". Kept as a
/// table of its own so that naming a result never has to build the word.
inline constexpr std::array<std::string_view, 9> OperatorXSymbols = {"+X", "-X",  "*X", "/X", "^X",
                                                                     "<X", "<=X", ">X", ">=X"};

/// The linguistic hedges; HedgeFactors holds the constant of each (same index).
inline constexpr std::array<std::string_view, 20> HedgeNames = {
    "not",   "somewhat",    "moreorless", "greatly",    "plus",       "very",     "extremely",
    "above", "below",       "slightly",   "normalize",  "about",      "vicinity", "close",
    "near",  "neighboring", "positively", "absolutely", "definitely", "generally"};
inline constexpr std::array<TFzyFloat, 20> HedgeFactors = {
    0, 1.0 / 3, 0.5, 0.7, 1.25, 2.0, 3.0, 0, 0, 0, 0, 2.0, 4.0, 1.2, 1.2, 1.2, 2.0, 2.0, 2.0, 0.5};

// ---- Other constants ----

/// The number format of set names, expression texts and messages.
inline constexpr std::string_view FuzzyNumberFormat = "%.4f";
/// The brackets that group a multi-word name inside a longer derived name.
inline constexpr std::string_view OpenBracket = "[";
inline constexpr std::string_view CloseBracket = "]";
/// A term added to a collection-based variable under this name (or none) is not Defined.
inline constexpr std::string_view EmptySetName = "__Empty";
inline constexpr TFzyFloat OneThird = 1.0 / 3;
inline constexpr TFzyFloat TwoThirds = 2.0 / 3;

// ---- Reserved words ----

/// Every word a fuzzy set may not be named: the AND and OR names, the operator symbols with
/// and without the trailing "X", and the hedges.
inline constexpr auto ReservedWords = [] {
  std::array<std::string_view, AndOperationNames.size() + OrOperationNames.size() +
                                   OperatorSymbols.size() + OperatorXSymbols.size() +
                                   HedgeNames.size()>
      words{};
  size_t n = 0;
  for (auto w : AndOperationNames)
    words[n++] = w;
  for (auto w : OrOperationNames)
    words[n++] = w;
  for (auto w : OperatorSymbols)
    words[n++] = w;
  for (auto w : OperatorXSymbols)
    words[n++] = w;
  for (auto w : HedgeNames)
    words[n++] = w;
  return words;
}();

/// True when `name` is exactly (whole string, case-sensitive) an AND/OR name, an operator
/// symbol with or without "X", or a hedge. "Very" and "very cold" are not reserved.
bool IsReservedWord(std::string_view name);

/// Raises EFzyException "Invalid fuzzy set name, \"<name>\" is a reserved word" when `name`
/// is reserved; the check every set runs before taking a new name.
void CheckFuzzySetName(std::string_view name);

// ---- Look-ups: word by index (out-of-range indexes raise EListError) ----

std::string_view OperationName(TFuzzyOperation operation);
std::string_view AndOperationName(TFuzzyOperation operation);
std::string_view OrOperationName(TFuzzyOperation operation);
std::string_view CorrelationName(TFuzzyCorrelationMethod method);
std::string_view InferenceName(TFuzzyInferenceMethod method);
/// The operator's symbol; with `on_y` false the form acting on X ("*X").
std::string_view OperatorSymbol(int index, bool on_y = true);
std::string_view HedgeName(int index);
TFzyFloat HedgeFactor(int index);

// ---- Look-ups: index by word (exact, case-sensitive) ----

/// The index in HedgeNames, or none.
std::optional<int> FindHedge(std::string_view word);

/// An operator word: its index in OperatorSymbols and whether it acts on the degrees
/// (OnY, plain symbol) or on the positions (the symbol followed by "X").
struct TOperatorWord {
  int Index;
  bool OnY;
  bool operator==(const TOperatorWord&) const = default;
};
std::optional<TOperatorWord> FindOperator(std::string_view word);

/// An AND/OR word: whether it is an AND (else an OR) and the operation it names.
struct TAndOrWord {
  bool IsAnd;
  TFuzzyOperation Operation;
  bool operator==(const TAndOrWord&) const = default;
};
std::optional<TAndOrWord> FindAndOrOperation(std::string_view word);

}  // namespace tapwise
