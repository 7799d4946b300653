#pragma once

// The grammar and the expression evaluator of the definition language, written once for
// both flavours (see ParserFlavours.h).

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "ParserFlavours.h"
#include "ParserScratch.h"
#include "tapwise/foundation/ExactType.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/ScopedAssignment.h"
#include "tapwise/foundation/UpdateScope.h"
#include "tapwise/fuzzy/CustomFuzzyLogic.h"
#include "tapwise/fuzzy/FuzzyConsts.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/language/FuzzyExpression.h"
#include "tapwise/language/FuzzyLogicParser.h"
#include "tapwise/language/StreamTokenList.h"

namespace tapwise::detail {

inline constexpr char kParseFuzzyLogic[] = "ParseFuzzyLogic";
inline constexpr char kParseFuzzyVariable[] = "ParseFuzzyVariable";
inline constexpr char kParseFuzzySet[] = "ParseFuzzySet";
inline constexpr char kParseFuzzyValuePairs[] = "ParseFuzzyValuePairs";
inline constexpr char kParseFuzzyFunction[] = "ParseFuzzyFunction";
inline constexpr char kReadExpressionList[] = "ReadExpressionList";
inline constexpr char kEvalFuzzyExpression[] = "EvalFuzzyExpression";
inline constexpr char kConvertListToValues[] = "ConvertListToValues";

inline bool IsChar(const IBaseStreamToken& token, char ch) {
  return token.GetDataType() == static_cast<unsigned char>(ch);
}

inline bool IsNumber(const IBaseStreamToken& token) {
  return token.GetDataType() == dtInteger || token.GetDataType() == dtFloat;
}

// Installs a fresh scratch on the parser for one term body or one evaluation.
class TScratchScope {
 public:
  explicit TScratchScope(TParserScratch*& slot) : FInstalled(slot, &FScratch) {}
  TParserScratch& Get() { return FScratch; }

 private:
  TParserScratch FScratch;  // outlives its installation
  TScopedAssignment<TParserScratch*> FInstalled;
};

template <class F>
class TParserWalk {
 public:
  using Var = typename F::Var;
  using Set = typename F::Set;

  explicit TParserWalk(TZTFuzzyLogicParser& parser) : P(parser) {}

  TFuzzyLogicTokenStream& S() const { return P.Stream("the parser"); }

  TParserScratch& Scratch() {
    if (P.FScratch == nullptr)
      throw EFzyParseException(Format(messages::kNoParseInProgress, kEvalFuzzyExpression));
    return *P.FScratch;
  }

  void RequireVariable(const Var& variable, const char* context) {
    if (!F::HasVariable(variable)) P.Error(context, messages::kFuzzyVariableNotDefined);
  }

  // ---- Grammar ----

  // The clauses of a "(deffuzzy" form after its header; `token` is the first token after
  // the header.
  void ParseClauses(const Var& variable, TTokenView token) {
    while (!token.IsChar(')')) {
      const bool opens = token.IsChar('(');
      const TTokenView keyword = S().Take();
      if (!opens) P.Error(kParseFuzzyVariable, messages::kExpectedOpenParenthesis);
      if (keyword.DataType != dtSymbol) MissingKeyword();
      if (keyword.Text == "range") {
        const TFzyFloat minimum = TakeNumber(kParseFuzzyVariable);
        const TFzyFloat maximum = TakeNumber(kParseFuzzyVariable);
        F::SetRange(variable, minimum, maximum);
      } else if (keyword.Text == "units") {
        S().Take();
        F::SetUnits(variable, S().CurrentToken()->GetAsString());
      } else if (keyword.Text == "values") {
        // Each term starts with the token that tells it from the ")" closing the clause.
        while (!S().Peek().IsChar(')'))
          ParseFuzzySet(variable);
      } else {
        MissingKeyword();
      }
      if (!S().Take().IsChar(')'))
        P.Error(kParseFuzzyVariable, messages::kExpectedCloseParenthesis);
      token = S().Take();
    }
  }

  // The next token's number; "Expected number" in `context` when it is none.
  TFzyFloat TakeNumber(const char* context) {
    const TTokenView token = S().Take();
    if (!token.IsNumber()) P.Error(context, messages::kExpectedNumber);
    return token.Number;
  }

  [[noreturn]] void MissingKeyword() {
    P.ErrorFmt(kParseFuzzyVariable, messages::kMissingKeyword, messages::kVariableClauseKeywords);
  }

  Set ParseFuzzySet(const Var& variable) {
    std::string name;
    std::string comment;
    // Made once: the header's texts are taken as strings, and a message is too long to be
    // a short string that costs no allocation.
    static const std::string expected_term = messages::kExpectedTerm;
    static const std::string context = kParseFuzzySet;
    static const std::string keyword = "term";
    // Without a variable the error quotes the token after the header, so it is read.
    const bool has_variable = F::HasVariable(variable);
    P.ReadHeader(name, comment, expected_term, context, keyword, !has_variable);
    RequireVariable(variable, kParseFuzzySet);
    // The comment and the token after it, left to be read: looking at a token leaves what
    // reading it and pushing it back leaves.
    if (S().Peek().DataType == dtString) {
      comment = S().Take().Text;
      S().Peek();
    }
    TScratchScope scope(P.FScratch);
    Set body = ParseSetBody(variable);
    if (!S().Take().IsChar(')')) P.Error(kParseFuzzySet, messages::kExpectedCloseParenthesis);
    Set term = F::FinishTerm(scope.Get(), variable, std::move(body), name, comment);
    F::RaiseParseSet(P, variable, term);
    return term;
  }

  Set ParseSetBody(const Var& variable) {
    RequireVariable(variable, kParseFuzzySet);
    if (S().Peek().IsChar('(')) {
      if (S().PeekSecond().IsChar('(')) return ParseFuzzyValuePairs(variable);
      return ParseFuzzyFunction(variable);
    }
    IntfPtr<IFuzzyStreamTokenList> items = ReadExpressionList(0);
    return EvalFuzzyExpression(variable, *items);
  }

  Set ParseFuzzyValuePairs(const Var& variable) {
    RequireVariable(variable, kParseFuzzyValuePairs);
    Set set = F::NewScratch(Scratch(), variable, TZTFuzzyLogicParser::GenerateSetName());
    if (!S().Take().IsChar('(')) P.Error(kParseFuzzyValuePairs, messages::kExpectedOpenParenthesis);
    F::BeginUpdate(set);
    struct EndUpdate {
      const Set& set;
      ~EndUpdate() noexcept(false) { F::EndUpdate(set); }
    };
    {
      // The points are ordered and cleaned once, after the last one.
      EndUpdate end{set};
      int32_t next = S().Take().DataType;
      while (next == '(') {
        const TFzyFloat x = TakeNumber(kParseFuzzyValuePairs);
        const TFzyFloat y = TakeNumber(kParseFuzzyValuePairs);
        F::AddPoint(set, x, y);
        S().Take();  // whatever closes the pair
        next = S().Take().DataType;
      }
      if (next != ')') P.Error(kParseFuzzyValuePairs, messages::kExpectedCloseParenthesis);
    }
    return set;
  }

  Set ParseFuzzyFunction(const Var& variable) {
    RequireVariable(variable, kParseFuzzyFunction);
    if (!S().Take().IsChar('(')) P.Error(kParseFuzzyFunction, messages::kExpectedOpenParenthesis);
    const TTokenView word = S().Take();
    if (word.DataType != dtSymbol) P.Error(kParseFuzzyFunction, messages::kMissingName);
    const std::string name(word.Text);
    if (const size_t count = NumbersBeforeClose(); count != kNotOnlyNumbers) {
      // The table gets the values without a token list; the stream is left as reading the
      // list leaves it.
      std::array<TFzyFloat, kMaxNumberArguments> values{};
      for (size_t i = 0; i < count; ++i)
        values[i] = S().Take().Number;
      S().Peek();
      Set set = F::NewScratch(Scratch(), variable, TZTFuzzyLogicParser::GenerateSetName());
      P.CalcBuiltInNumbers(name, std::span<const TFzyFloat>(values.data(), count), *set);
      S().Take();  // the ")" of the call
      return set;
    }
    IntfPtr<IFuzzyStreamTokenList> arguments = ReadExpressionList(0);
    Set set = F::NewScratch(Scratch(), variable, TZTFuzzyLogicParser::GenerateSetName());
    Set result = F::CalcFunction(P, set, name, arguments);
    S().Take();  // the ")" of the call
    return result;
  }

  static constexpr size_t kMaxNumberArguments = 4;
  static constexpr size_t kNotOnlyNumbers = kMaxNumberArguments + 1;

  // How many numbers wait in front of the ")" that closes a call computed by the parser's own
  // built-in table and nothing else (no hook, and a parser of this very class: a descendant
  // may have a table of its own); kNotOnlyNumbers when anything else waits or the call goes
  // elsewhere.
  size_t NumbersBeforeClose() const {
    if (!IsExactly<TZTFuzzyLogicParser>(P) || !F::CalcsBuiltInOnly(P)) return kNotOnlyNumbers;
    for (size_t count = 0; count <= kMaxNumberArguments; ++count) {
      const std::optional<TTokenView> waiting = S().GetWaiting(count);
      if (!waiting) return kNotOnlyNumbers;
      if (waiting->IsChar(')')) return count;
      if (!waiting->IsNumber()) return kNotOnlyNumbers;
    }
    return kNotOnlyNumbers;
  }

  IntfPtr<IFuzzyStreamTokenList> ReadExpressionList(int depth) {
    IntfPtr<TFuzzyStreamTokenList> list = S().NewTokenList();
    IntfPtr<IFuzzyStreamToken> token = S().NextToken();
    while (token->GetDataType() != dtEOF && !IsChar(*token, ')')) {
      if (IsChar(*token, '(')) {
        if (depth >= TZTFuzzyLogicParser::kMaxNestingDepth) {
          P.ErrorFmt(kReadExpressionList, messages::kNestingTooDeep,
                     TZTFuzzyLogicParser::kMaxNestingDepth);
        }
        token->SetTokenList(ReadExpressionList(depth + 1));
        S().Take();  // the ")" or end of text that ended the group
      }
      list->AddToken(token);
      token = S().NextToken();
    }
    S().PushBackToken(token);
    return list;
  }

  // ---- Expressions ----

  // A set on the evaluation stack. A bare number is also a spike set, clamped into the
  // universe like any point; as an operator's constant it must count as written, so it
  // keeps its number until something changes or replaces the set.
  struct TOperand {
    Set set;
    std::optional<TFzyFloat> number;

    TFzyFloat AsConstant() const { return number ? *number : F::MeanOfMaxima(set); }
  };

  Set EvalFuzzyExpression(const Var& variable, IFuzzyStreamTokenList& items) {
    return Evaluate(variable, items).set;
  }

  TOperand Evaluate(const Var& variable, IFuzzyStreamTokenList& items) {
    IntfPtr<IFuzzyStreamTokenList> postfix = expression::ToPostfix(items);
    items.Clear();
    for (int32_t i = 0; i < postfix->GetCount(); ++i)
      items.Add(postfix->GetItem(i));
    TOperand result;
    if (items.GetCount() == 0) {
      RequireVariable(variable, kEvalFuzzyExpression);
      result.set = F::EmptyTerm(Scratch(), variable);
    } else {
      result = EvaluatePostfix(variable, items);
    }
    Set raised = F::RaiseEval(P, Scratch(), variable, items.GetAsString(), result.set);
    if (F::Identity(raised) != F::Identity(result.set)) return TOperand{raised, std::nullopt};
    return result;
  }

  // `set` itself when this evaluation made it, else a scratch copy that may be changed.
  Set Own(const Var& variable, const Set& set) {
    if (F::Owns(Scratch(), set)) return set;
    return F::Copy(Scratch(), variable, set);
  }

  TOperand EvaluatePostfix(const Var& variable, const IFuzzyStreamTokenList& items) {
    std::vector<TOperand> stack;
    auto pop = [&](const IFuzzyStreamToken& token) {
      if (stack.empty()) {
        P.ErrorFmt(kEvalFuzzyExpression, messages::kMissingHedgeOperand, token.GetAsString());
      }
      TOperand top = std::move(stack.back());
      stack.pop_back();
      return top;
    };
    for (int32_t i = 0; i < items.GetCount(); ++i) {
      IntfPtr<IFuzzyStreamToken> token = items.GetToken(i);
      if (!token || expression::IsOperand(*token)) {
        stack.push_back(ResolveOperand(variable, token));
        continue;
      }
      const std::string& word = token->GetText();
      if (auto hedge = FindHedge(word)) {
        Set a = Own(variable, pop(*token).set);
        F::ApplyHedge(a, *hedge);
        stack.push_back(TOperand{a, std::nullopt});
      } else if (auto op = FindOperator(word)) {
        const TOperand b = pop(*token);
        Set a = Own(variable, pop(*token).set);
        F::ApplyOperator(a, op->Index, op->OnY, b.AsConstant());
        stack.push_back(TOperand{a, std::nullopt});
      } else if (auto and_or = FindAndOrOperation(word)) {
        Set b = pop(*token).set;
        Set a = pop(*token).set;
        Set combined = F::Combine(Scratch(), a, b, and_or->IsAnd, and_or->Operation);
        stack.push_back(TOperand{combined, std::nullopt});
      } else {
        InvalidItem(*token);
      }
    }
    return std::move(stack.back());
  }

  [[noreturn]] void InvalidItem(const IBaseStreamToken& token) {
    P.ErrorFmt(kEvalFuzzyExpression, messages::kInvalidExpressionItem, token.GetAsString());
  }

  TOperand ResolveOperand(const Var& variable, const IntfPtr<IFuzzyStreamToken>& token) {
    RequireVariable(variable, kEvalFuzzyExpression);
    if (token && IsNumber(*token)) {
      const std::string text = token->GetAsString();
      const TFzyFloat number = token->GetNumber();
      Set set = F::NewScratch(Scratch(), variable, text);
      F::Spike(set, number, text);
      return TOperand{set, number};
    }
    if (token && token->GetDataType() == dtVariable) return ResolveGlobal(variable, *token);
    return TOperand{ResolveSet(variable, token), std::nullopt};
  }

  Set ResolveSet(const Var& variable, const IntfPtr<IFuzzyStreamToken>& token) {
    if (!token) return F::EmptyTerm(Scratch(), variable);
    switch (token->GetDataType()) {
      case dtSymbol:
      case dtString: {
        const std::string& name = token->GetText();
        if (name.empty() || name == EmptySetName) return F::EmptyTerm(Scratch(), variable);
        Set term = F::FindTerm(variable, name);
        if (F::IsNull(term)) InvalidItem(*token);
        return term;
      }
      case dtTokenList: {
        IntfPtr<IFuzzyStreamTokenList> list = token->GetTokenList();
        if (!list || list->GetCount() == 0) InvalidItem(*token);
        Set set = F::NewScratch(Scratch(), variable, token->GetAsString());
        IntfPtr<IFuzzyStreamToken> first = list->GetToken(0);
        if (first && first->GetDataType() == dtTokenList) return ConvertListToValues(set, *list);
        const std::string function = first ? first->GetAsString() : std::string();
        list->Delete(0);
        return F::CalcFunction(P, set, function, list);
      }
      default: {
        Set carried = F::Carried(*token);
        if (F::IsNull(carried)) InvalidItem(*token);
        return carried;
      }
    }
  }

  // A "?" operand: the expression text of the component's global of that name, evaluated
  // over `variable` on a token stream of its own; a global that is a bare number is that
  // number to an operator.
  TOperand ResolveGlobal(const Var& variable, const IFuzzyStreamToken& token) {
    const std::string& name = token.GetText();
    if (std::find(P.FGlobals.begin(), P.FGlobals.end(), name) != P.FGlobals.end())
      P.ErrorFmt(kEvalFuzzyExpression, messages::kGlobalRefersToItself, token.GetAsString());
    if (static_cast<int>(P.FGlobals.size()) >= TZTFuzzyLogicParser::kMaxGlobalDepth) {
      P.ErrorFmt(kEvalFuzzyExpression, messages::kGlobalsTooDeep,
                 TZTFuzzyLogicParser::kMaxGlobalDepth);
    }
    if (P.FGlobals.empty()) P.FGlobalExpansions = 0;
    if (++P.FGlobalExpansions > TZTFuzzyLogicParser::kMaxGlobalExpansions) {
      P.ErrorFmt(kEvalFuzzyExpression, messages::kGlobalsExpandTooOften, token.GetAsString(),
                 TZTFuzzyLogicParser::kMaxGlobalExpansions);
    }
    std::string value;
    if (const TCustomFuzzyLogic* logic = P.GetFuzzyLogic(); logic != nullptr)
      value = logic->GetVariables().TryGetValue(name).value_or(std::string());
    P.FGlobals.push_back(name);
    struct Pop {
      std::vector<std::string>& globals;
      ~Pop() { globals.pop_back(); }
    } pop{P.FGlobals};
    TOperand result = P.WithText(value, [&] {
      IntfPtr<IFuzzyStreamTokenList> items = ReadExpressionList(0);
      return Evaluate(variable, *items);
    });
    result.set = Own(variable, result.set);
    F::SetName(result.set, token.GetAsString());
    return result;
  }

  template <class SetRef>
  SetRef ConvertListToValues(SetRef set, const IFuzzyStreamTokenList& list) {
    for (int32_t i = 0; i < list.GetCount(); ++i) {
      IntfPtr<IFuzzyStreamToken> item = list.GetToken(i);
      IntfPtr<IFuzzyStreamTokenList> pair;
      if (item) pair = item->GetTokenList();
      if (!pair || item->GetDataType() != dtTokenList || pair->GetCount() != 2) {
        P.ErrorFmt(kConvertListToValues, messages::kInvalidValuePair,
                   item ? item->GetAsString() : std::string());
      }
      IntfPtr<IFuzzyStreamToken> x = pair->GetToken(0);
      IntfPtr<IFuzzyStreamToken> y = pair->GetToken(1);
      if (!x || !y || !IsNumber(*x) || !IsNumber(*y))
        P.Error(kConvertListToValues, messages::kExpectedNumber);
      F::AddPoint(set, x->GetNumber(), y->GetNumber());
    }
    return set;
  }

 private:
  TZTFuzzyLogicParser& P;
};

}  // namespace tapwise::detail
