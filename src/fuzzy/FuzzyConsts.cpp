#include "tapwise/fuzzy/FuzzyConsts.h"

#include <algorithm>
#include <cstdint>

#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise {
namespace {

// The one bounds check behind every word-by-index look-up; a bad index is a caller's fault
// (usually a cast from an unchecked number) and must not read past a table.
template <class T, size_t N>
T At(const std::array<T, N>& table, int64_t index) {
  if (index < 0 || index >= static_cast<int64_t>(N)) {
    throw EListError(Format(messages::kListIndexOutOfBounds, index));
  }
  return table[static_cast<size_t>(index)];
}

template <size_t N>
std::optional<int> IndexIn(const std::array<std::string_view, N>& table, std::string_view word) {
  const auto it = std::find(table.begin(), table.end(), word);
  if (it == table.end()) return std::nullopt;
  return static_cast<int>(it - table.begin());
}

}  // namespace

std::string_view MemberName(TFuzzyCorrelationMethod value) {
  return At(CorrelationMethodMemberNames, value);
}
std::string_view MemberName(TFuzzyInferenceMethod value) {
  return At(InferenceMethodMemberNames, value);
}
std::string_view MemberName(TDefuzzificationMethod value) {
  return At(DefuzzificationMethodMemberNames, value);
}
std::string_view MemberName(TFuzzySetType value) {
  return At(FuzzySetTypeMemberNames, value);
}
std::string_view MemberName(TFuzzyOperation value) {
  return At(FuzzyOperationMemberNames, value);
}

namespace {

// The length of the longest reserved word; no reserved word holds a blank.
constexpr size_t kLongestReservedWord = [] {
  size_t longest = 0;
  for (std::string_view word : ReservedWords)
    longest = std::max(longest, word.size());
  return longest;
}();

}  // namespace

bool IsReservedWord(std::string_view name) {
  // Derived names ("NB <| 0.5000") are long or hold blanks: they skip the table walk that
  // every rename would otherwise pay.
  if (name.empty() || name.size() > kLongestReservedWord ||
      name.find(' ') != std::string_view::npos)
    return false;
  return IndexIn(AndOperationNames, name) || IndexIn(OrOperationNames, name) ||
         FindOperator(name) || IndexIn(HedgeNames, name);
}

void CheckFuzzySetName(std::string_view name) {
  if (IsReservedWord(name)) throw EFzyException(Format(messages::kReservedSetName, name));
}

std::string_view OperationName(TFuzzyOperation operation) {
  return At(OperationNames, operation);
}
std::string_view AndOperationName(TFuzzyOperation operation) {
  return At(AndOperationNames, operation);
}
std::string_view OrOperationName(TFuzzyOperation operation) {
  return At(OrOperationNames, operation);
}
std::string_view CorrelationName(TFuzzyCorrelationMethod method) {
  return At(CorrelationNames, method);
}
std::string_view InferenceName(TFuzzyInferenceMethod method) {
  return At(InferenceNames, method);
}
std::string_view OperatorSymbol(int index, bool on_y) {
  return At(on_y ? OperatorSymbols : OperatorXSymbols, index);
}
std::string_view HedgeName(int index) {
  return At(HedgeNames, index);
}
TFzyFloat HedgeFactor(int index) {
  return At(HedgeFactors, index);
}

std::optional<int> FindHedge(std::string_view word) {
  return IndexIn(HedgeNames, word);
}

std::optional<TOperatorWord> FindOperator(std::string_view word) {
  if (const auto index = IndexIn(OperatorSymbols, word)) return TOperatorWord{*index, true};
  if (const auto index = IndexIn(OperatorXSymbols, word)) return TOperatorWord{*index, false};
  return std::nullopt;
}

std::optional<TAndOrWord> FindAndOrOperation(std::string_view word) {
  if (const auto index = IndexIn(AndOperationNames, word)) {
    return TAndOrWord{true, static_cast<TFuzzyOperation>(*index)};
  }
  if (const auto index = IndexIn(OrOperationNames, word)) {
    return TAndOrWord{false, static_cast<TFuzzyOperation>(*index)};
  }
  return std::nullopt;
}

}  // namespace tapwise
