#include "FllRules.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "FllDocument.h"
#include "FllWords.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise::detail::fll {

namespace {

const std::pair<std::string_view, std::string_view>* HedgeOf(std::string_view word) {
  for (const auto& hedge : kHedges)
    if (hedge.first == word) return &hedge;
  return nullptr;
}

// Parentheses within a rule; deeper nesting is refused rather than recursed into.
constexpr int kDeepestNesting = 64;

std::vector<std::string> Tokens(std::string_view text) {
  std::string spaced;
  for (char ch : text) {
    if (ch == '(' || ch == ')') {
      spaced += ' ';
      spaced += ch;
      spaced += ' ';
    } else {
      spaced += ch;
    }
  }
  return SplitWords(spaced);
}

// Recursive descent over the rule's words: or-terms of and-terms of propositions.
class TRuleReader {
 public:
  TRuleReader(std::string_view text, int line) : FText(text), FTokens(Tokens(text)), FLine(line) {}

  TFuzzyRule Read(std::string name) {
    Expect("if");
    TAntecedent condition = Disjunction(0);
    Expect("then");
    std::vector<TTermTest> consequents;
    do {
      consequents.push_back(Proposition());
    } while (Accept("and"));
    TFzyFloat weight = 1;
    if (Accept("with")) {
      const std::optional<double> number = AtEnd() ? std::nullopt : NumberOf(Peek());
      if (!number) Fail("a weight after \"with\"");
      weight = *number;
      ++FNext;
    }
    if (!AtEnd()) Fail("the end of the rule");
    return {std::move(name), std::move(condition), std::move(consequents), weight};
  }

 private:
  TAntecedent Disjunction(int depth) {
    TAntecedent result = Conjunction(depth);
    while (Accept("or"))
      result = std::move(result) || Conjunction(depth);
    return result;
  }

  TAntecedent Conjunction(int depth) {
    TAntecedent result = Operand(depth);
    while (Accept("and"))
      result = std::move(result) && Operand(depth);
    return result;
  }

  TAntecedent Operand(int depth) {
    if (!Accept("(")) {
      TTermTest test = Proposition();
      const bool negated = !test.Hedges.empty() && test.Hedges.front() == "not";
      if (negated) test.Hedges.erase(test.Hedges.begin());
      TAntecedent is =
          TAntecedent::Is(std::move(test.Variable), std::move(test.Term), std::move(test.Hedges));
      return negated ? !std::move(is) : is;
    }
    if (depth == kDeepestNesting)
      throw EFzyParseException("Rule \"" + FText + "\" nests parentheses deeper than " +
                                   std::to_string(kDeepestNesting) + " levels",
                               FLine);
    TAntecedent inner = Disjunction(depth + 1);
    Expect(")");
    return inner;
  }

  // "variable is [hedges] term"
  TTermTest Proposition() {
    TTermTest test;
    test.Variable = Name("a variable");
    Expect("is");
    while (!AtEnd()) {
      const auto* hedge = HedgeOf(Peek());
      if (hedge == nullptr) break;
      if (hedge->second.empty())
        throw EFzyParseException(
            "Unsupported hedge " + std::string(hedge->first) + " in rule \"" + FText + "\"", FLine);
      test.Hedges.emplace_back(hedge->second);
      ++FNext;
    }
    test.Term = Name("a term");
    return test;
  }

  std::string Name(std::string_view what) {
    static constexpr std::array<std::string_view, 8> kReserved{"if",   "then", "and", "or",
                                                               "with", "is",   "(",   ")"};
    if (AtEnd() || std::find(kReserved.begin(), kReserved.end(), Peek()) != kReserved.end())
      Fail(what);
    return FTokens[FNext++];
  }

  bool AtEnd() const { return FNext == FTokens.size(); }
  const std::string& Peek() const { return FTokens[FNext]; }

  bool Accept(std::string_view word) {
    if (AtEnd() || Peek() != word) return false;
    ++FNext;
    return true;
  }

  void Expect(std::string_view word) {
    if (!Accept(word)) Fail("\"" + std::string(word) + "\"");
  }

  [[noreturn]] void Fail(std::string_view expected) const {
    const std::string found = AtEnd() ? "the end" : "\"" + Peek() + "\"";
    throw EFzyParseException(
        "Expected " + std::string(expected) + " in rule \"" + FText + "\", found " + found, FLine);
  }

  std::string FText;
  std::vector<std::string> FTokens;
  size_t FNext = 0;
  int FLine;
};

}  // namespace

TFuzzyRule ReadRule(std::string_view text, std::string name, int line) {
  return TRuleReader(text, line).Read(std::move(name));
}

}  // namespace tapwise::detail::fll
