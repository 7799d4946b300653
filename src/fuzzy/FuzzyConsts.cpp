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

// For each length, the bytes a reserved word of that length starts with: most names (every
// set name a definition text gives) are refused as reserved words by this alone.
constexpr size_t kReservedLengths = 32;
constexpr auto kReservedStarts = [] {
  std::array<std::array<bool, 256>, kReservedLengths> starts{};
  for (const std::string_view word : ReservedWords) {
    if (!word.empty() && word.size() < kReservedLengths)
      starts[word.size()][static_cast<unsigned char>(word.front())] = true;
  }
  return starts;
}();
static_assert(std::all_of(ReservedWords.begin(), ReservedWords.end(),
                          [](std::string_view word) {
                            return !word.empty() && word.size() < kReservedLengths;
                          }),
              "every reserved word must pass the quick test");

bool MayBeReserved(std::string_view name) {
  return !name.empty() && name.size() < kReservedLengths &&
         kReservedStarts[name.size()][static_cast<unsigned char>(name.front())];
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

bool IsReservedWord(std::string_view name) {
  if (!MayBeReserved(name)) return false;
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
