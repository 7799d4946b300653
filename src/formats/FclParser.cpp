// The syntax of an FCL function block, read into a TFclDocument: sections in any order,
// keywords in any letter case, names as written.

#include <utility>

#include "FclDocument.h"
#include "FclLexer.h"
#include "FclWords.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise::detail {

namespace {

// Deeper nesting of a condition than any controller needs would only spend the stack.
constexpr int kMaxConditionDepth = 64;

// The words that may follow a term test, and so end its hedges.
bool EndsTest(const TFclToken& token) {
  for (std::string_view word : {"AND", "OR", "THEN", "WITH", "RULE", "END_RULEBLOCK"})
    if (token.IsKeyword(word)) return true;
  return false;
}

class TFclParser {
 public:
  explicit TFclParser(std::string_view text) : FTokens(TokenizeFcl(text)) {}

  TFclDocument Parse() {
    Expect("FUNCTION_BLOCK");
    if (Peek().Kind == TFclToken::TKind::Word && !IsSection(Peek())) Take();
    while (!Peek().IsKeyword("END_FUNCTION_BLOCK")) {
      const TFclToken& section = Take();
      if (section.IsKeyword("VAR_INPUT") || section.IsKeyword("VAR_OUTPUT")) {
        ParseDeclarations(section.IsKeyword("VAR_OUTPUT"));
      } else if (section.IsKeyword("FUZZIFY") || section.IsKeyword("DEFUZZIFY")) {
        ParseVariableBlock(section);
      } else if (section.IsKeyword("RULEBLOCK")) {
        ParseRuleBlock(section.Line);
      } else if (section.Kind == TFclToken::TKind::End) {
        throw Error("Expected END_FUNCTION_BLOCK before the end of the text", section);
      } else {
        throw Error("Unsupported FCL section " + section.Text, section);
      }
    }
    Take();
    if (Peek().Kind != TFclToken::TKind::End)
      throw Error("Unsupported text after END_FUNCTION_BLOCK: " + Peek().Text, Peek());
    return std::move(FDocument);
  }

 private:
  static bool IsSection(const TFclToken& token) {
    for (std::string_view word : {"VAR_INPUT", "VAR_OUTPUT", "FUZZIFY", "DEFUZZIFY", "RULEBLOCK",
                                  "END_FUNCTION_BLOCK", "VAR", "OPTIONS"})
      if (token.IsKeyword(word)) return true;
    return false;
  }

  static EFzyParseException Error(const std::string& message, const TFclToken& at) {
    return EFzyParseException(message, at.Line);
  }

  const TFclToken& Peek() const { return FTokens[FNext]; }
  const TFclToken& Take() {
    const TFclToken& token = FTokens[FNext];
    if (token.Kind != TFclToken::TKind::End) ++FNext;
    return token;
  }
  bool TakeIf(std::string_view keyword_or_symbol) {
    const TFclToken& token = Peek();
    if (!token.IsKeyword(keyword_or_symbol) && !token.IsSymbol(keyword_or_symbol)) return false;
    Take();
    return true;
  }
  // The next item of a section that `end` closes.
  const TFclToken& TakeItem(const std::string& end) {
    if (Peek().Kind == TFclToken::TKind::End)
      throw Error("Expected " + end + " before the end of the text", Peek());
    return Take();
  }
  const TFclToken& Expect(std::string_view keyword_or_symbol) {
    const TFclToken& token = Peek();
    if (!token.IsKeyword(keyword_or_symbol) && !token.IsSymbol(keyword_or_symbol))
      throw Error("Expected " + std::string(keyword_or_symbol) + ", found " + token.Text, token);
    return Take();
  }
  const std::string& ExpectName(std::string_view what) {
    const TFclToken& token = Peek();
    if (token.Kind != TFclToken::TKind::Word || IsFclKeyword(token.Text))
      throw Error("Expected " + std::string(what) + ", found " + token.Text, token);
    return Take().Text;
  }
  TFzyFloat ExpectNumber() {
    const TFclToken& token = Peek();
    const std::optional<double> value =
        token.Kind == TFclToken::TKind::Number ? TryStrToFloat(token.Text) : std::nullopt;
    if (!value) throw Error("Expected a number, found " + token.Text, token);
    Take();
    return *value;
  }
  template <class Value, size_t N>
  TFclSetting<Value> ExpectSetting(const std::array<TFclWord<Value>, N>& table,
                                   std::string_view what) {
    Expect(":");
    const TFclToken& word = Peek();
    const std::optional<Value> setting = FindFclSetting(table, word.Text);
    if (word.Kind != TFclToken::TKind::Word || !setting)
      throw Error("Unsupported " + std::string(what) + " " + word.Text, word);
    Take();
    Expect(";");
    return {*setting, word.Text};
  }

  TFclVariable* FindVariable(std::string_view name) {
    for (TFclVariable& variable : FDocument.Variables)
      if (variable.Name == name) return &variable;
    return nullptr;
  }

  // name : REAL; ... END_VAR
  void ParseDeclarations(bool outputs) {
    while (!TakeIf("END_VAR")) {
      const TFclToken& name = Peek();
      ExpectName("a variable name or END_VAR");
      Expect(":");
      const TFclToken& type = Peek();
      if (!type.IsKeyword("REAL"))
        throw Error("Unsupported type " + type.Text + " of variable " + name.Text, type);
      Take();
      Expect(";");
      if (FindVariable(name.Text) != nullptr)
        throw Error("Variable " + name.Text + " is declared twice", name);
      TFclVariable& variable = FDocument.Variables.emplace_back();
      variable.Name = name.Text;
      variable.IsOutput = outputs;
      variable.Line = name.Line;
    }
  }

  // FUZZIFY name ... END_FUZZIFY, DEFUZZIFY name ... END_DEFUZZIFY
  void ParseVariableBlock(const TFclToken& section) {
    const bool output = section.IsKeyword("DEFUZZIFY");
    const std::string kind = output ? "DEFUZZIFY" : "FUZZIFY";
    const TFclToken& name = Peek();
    ExpectName("a variable name");
    TFclVariable* variable = FindVariable(name.Text);
    if (variable == nullptr || variable->IsOutput != output)
      throw Error(kind + " " + name.Text + " names no " + (output ? "VAR_OUTPUT" : "VAR_INPUT") +
                      " variable",
                  name);
    if (variable->BlockLine != 0) throw Error("Second " + kind + " block of " + name.Text, section);
    variable->BlockLine = section.Line;
    while (!TakeIf("END_" + kind)) {
      const TFclToken& item = TakeItem("END_" + kind);
      if (item.IsKeyword("TERM")) {
        ParseTerm(*variable);
      } else if (item.IsKeyword("RANGE")) {
        Expect(":=");
        Expect("(");
        const TFzyFloat min = ExpectNumber();
        Expect("..");
        const TFzyFloat max = ExpectNumber();
        Expect(")");
        Expect(";");
        if (!(min < max))
          throw Error("The RANGE of " + variable->Name + " must start below its end", item);
        variable->Range = {min, max};
      } else if (output && item.IsKeyword("METHOD")) {
        variable->Method = ExpectSetting(kFclMethodWords, "defuzzification method");
      } else if (output && item.IsKeyword("ACCU")) {
        variable->Accumulation = ExpectSetting(kFclAccumulationWords, "FCL accumulation");
      } else if (output && item.IsKeyword("DEFAULT")) {
        ParseDefault(*variable);
      } else {
        throw Error("Unsupported " + kind + " item " + item.Text, item);
      }
    }
  }

  // DEFAULT := value | NAN [| NC];  fuzzylite writes NAN for no default.
  void ParseDefault(TFclVariable& variable) {
    Expect(":=");
    if (TakeIf("NAN")) {
      variable.Default.reset();
    } else if (!Peek().IsKeyword("NC")) {
      variable.Default = ExpectNumber();
    }
    if (Peek().IsKeyword("NC") || (TakeIf("|") && Peek().IsKeyword("NC")))
      throw Error("Unsupported DEFAULT NC of " + variable.Name, Peek());
    Expect(";");
  }

  // TERM name := (x, y) ...;  TERM name := value;  TERM name := Shape p1 p2 ...;
  void ParseTerm(TFclVariable& variable) {
    const TFclToken& name = Peek();
    ExpectName("a term name");
    for (const TFclTerm& term : variable.Terms)
      if (term.Name == name.Text)
        throw Error("Term " + name.Text + " of " + variable.Name + " is defined twice", name);
    Expect(":=");
    TFclTerm term{name.Text, {}, name.Line};
    if (Peek().IsSymbol("(")) {
      term.Shape.Kind = TShapeKind::Discrete;
      while (TakeIf("(")) {
        term.Shape.Parameters.push_back(ExpectNumber());
        Expect(",");
        term.Shape.Parameters.push_back(ExpectNumber());
        Expect(")");
      }
    } else if (Peek().Kind == TFclToken::TKind::Number) {
      term.Shape = {TShapeKind::Singleton, {ExpectNumber()}};
    } else {
      term.Shape = ParseShape(variable, name.Text);
    }
    Expect(";");
    variable.Terms.push_back(std::move(term));
  }

  TMembershipShape ParseShape(const TFclVariable& variable, const std::string& term) {
    const TFclToken& word = Take();
    std::vector<TFzyFloat> written;
    while (Peek().Kind == TFclToken::TKind::Number)
      written.push_back(ExpectNumber());
    const std::string owner = " of term " + term + " of " + variable.Name;
    if (word.IsKeyword("Constant") && written.size() == 1)
      return {TShapeKind::Singleton, std::move(written)};
    for (const TFuzzyliteShape& syntax : kFuzzyliteShapes) {
      if (!word.IsKeyword(syntax.Word)) continue;
      if (syntax.Kind == TShapeKind::Discrete) {
        if (written.empty() || written.size() % 2 != 0)
          throw Error("Discrete" + owner + " takes pairs of numbers", word);
        return {syntax.Kind, std::move(written)};
      }
      // fuzzylite may add the term's height; only full height is the shape itself.
      if (written.size() == syntax.Count + 1u && written.back() != 1)
        throw Error("Unsupported height " + ExactFloatToStr(written.back()) + owner, word);
      if (written.size() != syntax.Count && written.size() != syntax.Count + 1u)
        throw Error(std::string(syntax.Word) + owner + " takes " + IntToStr(syntax.Count) +
                        " numbers, not " + IntToStr(static_cast<int64_t>(written.size())),
                    word);
      TMembershipShape shape{syntax.Kind, {}};
      for (size_t i = 0; i < syntax.Count; ++i)
        shape.Parameters.push_back(written[syntax.Order[i]]);
      return shape;
    }
    throw Error("Unsupported term kind " + word.Text + owner, word);
  }

  // RULEBLOCK name ... END_RULEBLOCK
  void ParseRuleBlock(int line) {
    TFclRuleBlock block;
    block.Name = ExpectName("a rule block name");
    block.Line = line;
    for (const TFclRuleBlock& other : FDocument.Blocks)
      if (other.Name == block.Name)
        throw EFzyParseException("Second RULEBLOCK " + block.Name, line);
    while (!TakeIf("END_RULEBLOCK")) {
      const TFclToken& item = TakeItem("END_RULEBLOCK");
      if (item.IsKeyword("AND")) {
        block.And = ExpectSetting(kFclAndWords, "FCL AND").Setting;
      } else if (item.IsKeyword("OR")) {
        block.Or = ExpectSetting(kFclOrWords, "FCL OR").Setting;
      } else if (item.IsKeyword("ACT")) {
        block.Activation = ExpectSetting(kFclActivationWords, "FCL activation").Setting;
      } else if (item.IsKeyword("ACCU")) {
        block.Accumulation = ExpectSetting(kFclAccumulationWords, "FCL accumulation");
      } else if (item.IsKeyword("RULE")) {
        block.Rules.push_back(ParseRule());
      } else {
        throw Error("Unsupported RULEBLOCK item " + item.Text, item);
      }
    }
    FDocument.Blocks.push_back(std::move(block));
  }

  // RULE name : IF condition THEN out IS term {, out IS term} [WITH weight] [;]
  // The semicolon is optional because fuzzylite leaves it out.
  TFuzzyRule ParseRule() {
    const TFclToken& name = Peek();
    // The standard numbers its rules; fuzzylite and Tapwise name them.
    const bool numbered = name.Kind == TFclToken::TKind::Number &&
                          name.Text.find_first_not_of("0123456789") == std::string::npos;
    if (!numbered && (name.Kind != TFclToken::TKind::Word || IsFclKeyword(name.Text)))
      throw Error("Expected a rule name, found " + name.Text, name);
    TFuzzyRule rule;
    rule.Name = Take().Text;
    Expect(":");
    Expect("IF");
    rule.If = ParseOr(rule.Name, 0);
    Expect("THEN");
    do {
      rule.Then.push_back(ParseTest(rule.Name, true));
    } while (TakeIf(",") || TakeIf("AND"));
    if (TakeIf("WITH")) rule.Weight = ExpectNumber();
    TakeIf(";");
    return rule;
  }

  TAntecedent ParseOr(const std::string& rule, int depth) {
    TAntecedent result = ParseAnd(rule, depth);
    while (TakeIf("OR"))
      result = std::move(result) || ParseAnd(rule, depth);
    return result;
  }

  TAntecedent ParseAnd(const std::string& rule, int depth) {
    TAntecedent result = ParseFactor(rule, depth);
    while (TakeIf("AND"))
      result = std::move(result) && ParseFactor(rule, depth);
    return result;
  }

  TAntecedent ParseFactor(const std::string& rule, int depth) {
    if (depth > kMaxConditionDepth)
      throw Error("The condition of RULE " + rule + " is nested too deeply", Peek());
    if (TakeIf("NOT")) return !ParseFactor(rule, depth + 1);
    if (TakeIf("(")) {
      TAntecedent inner = ParseOr(rule, depth + 1);
      Expect(")");
      return inner;
    }
    TTermTest test = ParseTest(rule, false);
    const bool negated = !test.Hedges.empty() && test.Hedges.front() == "not";
    if (negated) test.Hedges.erase(test.Hedges.begin());
    TAntecedent is =
        TAntecedent::Is(std::move(test.Variable), std::move(test.Term), std::move(test.Hedges));
    return negated ? !std::move(is) : is;
  }

  // variable IS [NOT] {hedge} term; NOT comes back as the first hedge.
  TTermTest ParseTest(const std::string& rule, bool consequent) {
    TTermTest test;
    test.Variable = ExpectName(consequent ? "an output name" : "a variable name");
    Expect("IS");
    if (TakeIf("NOT")) test.Hedges.emplace_back("not");
    // A word followed by another word that goes on the test is a hedge.
    while (Peek().Kind == TFclToken::TKind::Word &&
           FTokens[FNext + 1].Kind == TFclToken::TKind::Word && !EndsTest(FTokens[FNext + 1])) {
      const TFclToken& word = Take();
      const std::optional<std::string_view> hedge = FindFclSetting(kFclHedgeWords, word.Text);
      if (!hedge) throw Error("Unsupported hedge " + word.Text + " in RULE " + rule, word);
      test.Hedges.emplace_back(*hedge);
    }
    test.Term = ExpectName("a term name");
    return test;
  }

  std::vector<TFclToken> FTokens;
  size_t FNext = 0;
  TFclDocument FDocument;
};

}  // namespace

TFclDocument ParseFcl(std::string_view text) {
  return TFclParser(text).Parse();
}

}  // namespace tapwise::detail
