#include "tapwise/language/FuzzyExpression.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cstdint>
#include <string_view>

#include "tapwise/foundation/InfixToPostfix.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/FuzzyConsts.h"
#include "tapwise/language/StreamTokenList.h"

namespace tapwise::expression {

namespace {

bool IsInfixWord(const std::string& text) {
  return FindOperator(text).has_value() || FindAndOrOperation(text).has_value();
}

IntfPtr<IBaseStreamToken> AsToken(const IntfPtr<IInterface>& item) {
  return Supports<IBaseStreamToken>(item);
}

// Flattens the segments in order, descending into any element that is itself a list.
void Flatten(const TGInterfaceList& list, IFuzzyStreamTokenList& into) {
  for (int i = 0; i < list.GetCount(); ++i) {
    IntfPtr<IInterface> item = list.Get(i);
    if (auto* nested = dynamic_cast<TGInterfaceList*>(item.Get()); nested != nullptr) {
      Flatten(*nested, into);
    } else {
      into.Add(AsToken(item));
    }
  }
}

}  // namespace

bool IsOpenBracket(const IBaseStreamToken& token) {
  return token.GetText() == OpenBracket;
}

bool IsCloseBracket(const IBaseStreamToken& token) {
  return token.GetText() == CloseBracket;
}

bool IsHedge(const IBaseStreamToken& token) {
  return FindHedge(token.GetText()).has_value();
}

int StackPrecedence(const IBaseStreamToken& token) {
  if (IsOpenBracket(token)) return 4;
  if (IsInfixWord(token.GetText())) return 3;
  if (IsHedge(token)) return 2;
  return 1;
}

int InputPrecedence(const IBaseStreamToken& token) {
  if (IsOpenBracket(token)) return 0;
  if (IsInfixWord(token.GetText())) return 3;
  return 1;
}

bool IsOperand(const IBaseStreamToken& token) {
  switch (token.GetDataType()) {
    case dtVariable:
    case dtTokenList:
    case dtFuzzySet:
    case dtFuzzySetObject:
      return true;
    default:
      break;
  }
  const std::string& text = token.GetText();
  if (IsInfixWord(text) || IsOpenBracket(token) || IsCloseBracket(token)) return false;
  return !IsHedge(token);
}

IntfPtr<IFuzzyStreamTokenList> ToPostfix(const IFuzzyStreamTokenList& items) {
  TIList input;
  for (int32_t i = 0; i < items.GetCount(); ++i)
    input.Add(items.GetItem(i));
  // A slot that holds no token is an operand that resolves to nothing (the empty set).
  auto rule = [](bool (*test)(const IBaseStreamToken&), bool if_empty) {
    return [test, if_empty](const IntfPtr<IInterface>& item) {
      IntfPtr<IBaseStreamToken> token = AsToken(item);
      return token ? test(*token) : if_empty;
    };
  };
  auto priority = [](int (*rank)(const IBaseStreamToken&)) {
    return [rank](const IntfPtr<IInterface>& item) {
      IntfPtr<IBaseStreamToken> token = AsToken(item);
      return token ? rank(*token) : 1;
    };
  };
  TPostfixRules rules{rule(&IsOpenBracket, false), rule(&IsCloseBracket, false),
                      rule(&IsOperand, true), priority(&StackPrecedence),
                      priority(&InputPrecedence)};
  IntfPtr<IFuzzyStreamTokenList> result = TFuzzyStreamTokenList::Create();
  for (const auto& segment : InfixToPostfix(input, rules))
    Flatten(*segment, *result);
  return result;
}

std::string GenerateSetName() {
  // The one piece of process-wide mutable state: names stay unique across parsers.
  static std::atomic<int64_t> counter{0};
  // Written in one buffer and made a string once: the name is made for every term body.
  constexpr std::string_view kPrefix = "FuzzySet";
  std::array<char, kPrefix.size() + 20> text{};
  std::copy(kPrefix.begin(), kPrefix.end(), text.begin());
  const auto end = std::to_chars(text.data() + kPrefix.size(), text.data() + text.size(),
                                 counter.fetch_add(1) + 1)
                       .ptr;
  return std::string(text.data(), end);
}

}  // namespace tapwise::expression
