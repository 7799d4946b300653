#include "ControllerParser.h"

#include <cmath>
#include <optional>
#include <utility>

#include "ControllerModel.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise::detail {

namespace {

constexpr char kParseInput[] = "ParseInput";
constexpr char kParseOutput[] = "ParseOutput";
constexpr char kParseRuleBlock[] = "ParseRuleBlock";
constexpr char kParseRule[] = "ParseRule";

bool IsWord(const TTokenView& token, const char* word) {
  return token.DataType == dtSymbol && token.Text == word;
}

std::string Quoted(const char* text) {
  return std::string("\"") + text + "\"";
}

}  // namespace

template <class Check>
void TControllerParser::Checked(const char* routine, Check&& check) {
  try {
    check();
  } catch (const EFzyParseException&) {
    throw;
  } catch (const EFzyException& refused) {
    Error(routine, refused.what());
  }
}

TTokenView TControllerParser::Next() {
  return GetTokenStream()->Take();
}

bool TControllerParser::NextIs(char ch) {
  return GetTokenStream()->Peek().IsChar(ch);
}

bool TControllerParser::NextIsWord(const char* word) {
  return IsWord(GetTokenStream()->Peek(), word);
}

void TControllerParser::Expect(char ch) {
  if (!Next().IsChar(ch))
    Error(FRoutine,
          ch == '(' ? messages::kExpectedOpenParenthesis : messages::kExpectedCloseParenthesis);
}

void TControllerParser::ExpectWord(const char* keyword) {
  if (!IsWord(Next(), keyword))
    ErrorFmt(FRoutine, messages::kExpectedControllerKeyword, Quoted(keyword));
}

std::string TControllerParser::ReadName(bool numbered) {
  const TTokenView token = Next();
  const bool number = numbered && token.DataType == dtInteger && std::fabs(token.Number) < 1e15;
  if (token.DataType != dtSymbol && !number) Error(FRoutine, messages::kMissingName);
  // A number token keeps its value, not its text.
  if (number) return IntToStr(static_cast<int64_t>(token.Number));
  return std::string(token.Text);
}

TFzyFloat TControllerParser::ReadNumber() {
  const TTokenView token = Next();
  if (!token.IsNumber()) Error(FRoutine, messages::kExpectedNumber);
  return token.Number;
}

std::string TControllerParser::ReadFormHeader(const char* keyword, bool numbered) {
  Expect('(');
  ExpectWord(keyword);
  return ReadName(numbered);
}

TFzyFloat TControllerParser::ReadNumberClause(const char* keyword) {
  Expect('(');
  ExpectWord(keyword);
  const TFzyFloat value = ReadNumber();
  Expect(')');
  return value;
}

void TControllerParser::ParseDefinitionForm(const std::string& keyword, bool interfaced) {
  if (!interfaced) {
    if (keyword == "definput") return ParseInput();
    if (keyword == "defoutput") return ParseOutput();
    if (keyword == "defrules") return ParseRuleBlock();
  }
  TZTFuzzyLogicParser::ParseDefinitionForm(keyword, interfaced);
}

// (definput NAME [(spread W)])
void TControllerParser::ParseInput() {
  FRoutine = kParseInput;
  TControllerInput input{ReadFormHeader("definput"), 0};
  while (NextIs('('))
    input.Spread = ReadNumberClause("spread");
  Expect(')');
  Checked(kParseInput, [&] { FModel.AddInput(std::move(input)); });
}

// (defoutput NAME [(variable VAR)] [(sugeno)] [(term NAME (constant C) | (linear C (IN F)...))]
//   [(default V)])
void TControllerParser::ParseOutput() {
  FRoutine = kParseOutput;
  TControllerOutput output;
  output.Name = ReadFormHeader("defoutput");
  while (NextIs('(')) {
    Next();
    const std::string clause = ReadName();
    if (clause == "variable") {
      output.Variable = ReadName();
    } else if (clause == "default") {
      output.Default = ReadNumber();
    } else if (clause == "sugeno") {
      output.IsSugeno = true;
    } else if (clause == "term") {
      output.SugenoTerms.push_back(ParseSugenoTerm());
    } else {
      ErrorFmt(FRoutine, messages::kUnknownSetting, clause);
    }
    Expect(')');
  }
  Expect(')');
  if (!output.SugenoTerms.empty()) output.IsSugeno = true;
  Checked(kParseOutput, [&] { FModel.AddOutput(std::move(output)); });
}

// NAME (constant C) | NAME (linear C (INPUT F)...), after "(term".
TSugenoTerm TControllerParser::ParseSugenoTerm() {
  TSugenoTerm term;
  term.Name = ReadName();
  Expect('(');
  const std::string kind = ReadName();
  if (kind != "constant" && kind != "linear")
    ErrorFmt(FRoutine, messages::kExpectedControllerKeyword, "\"constant\" or \"linear\"");
  term.Constant = ReadNumber();
  while (kind == "linear" && NextIs('(')) {
    Next();
    TSugenoCoefficient coefficient;
    coefficient.Input = ReadName();
    coefficient.Factor = ReadNumber();
    Expect(')');
    term.Coefficients.push_back(std::move(coefficient));
  }
  Expect(')');
  return term;
}

// (defrules NAME SETTING... RULE...)
void TControllerParser::ParseRuleBlock() {
  FRoutine = kParseRuleBlock;
  const std::string name = ReadFormHeader("defrules");
  TInferenceSettings settings;
  bool block_added = false;
  FModel.Atomically([&] {
    while (NextIs('(')) {
      if (GetTokenStream()->PeekKeyword() == "rule") {
        if (!block_added) {
          Checked(kParseRuleBlock, [&] { FModel.AddBlock(name, settings); });
          block_added = true;
        }
        TFuzzyRule rule = ParseRule();
        Checked(kParseRule, [&] { FModel.AddRule(std::move(rule)); });
        FRoutine = kParseRuleBlock;
        continue;
      }
      if (block_added) ErrorFmt(FRoutine, messages::kExpectedControllerKeyword, "\"( rule\"");
      Next();
      ParseSetting(settings, ReadName());
      Expect(')');
    }
    Expect(')');
    if (!block_added) Checked(kParseRuleBlock, [&] { FModel.AddBlock(name, settings); });
  });
}

template <class Setting>
Setting TControllerParser::ReadSetting(const char* what) {
  const std::string word = ReadName();
  if (std::optional<Setting> value = FindSetting<Setting>(word)) return *value;
  ErrorFmt(FRoutine, messages::kUnknownSettingValue, what, word, SettingWordList<Setting>());
}

void TControllerParser::ParseSetting(TInferenceSettings& settings, const std::string& word) {
  if (word == "and") {
    settings.And = ReadSetting<TFuzzyOperation>("operation family");
  } else if (word == "or") {
    settings.Or = ReadSetting<TFuzzyOperation>("operation family");
  } else if (word == "implication") {
    settings.Implication = ReadSetting<TImplication>("implication");
  } else if (word == "aggregation") {
    settings.Aggregation = ReadSetting<TAggregation>("aggregation");
  } else if (word == "termaggregation") {
    settings.TermAggregation = ReadSetting<TAggregation>("aggregation");
  } else if (word == "defuzzification") {
    settings.Defuzzification = ReadSetting<TDefuzzification>("defuzzification");
  } else if (word == "threshold") {
    settings.Threshold = ReadNumber();
  } else {
    ErrorFmt(FRoutine, messages::kUnknownSetting, word);
  }
}

// (rule NAME (if ANTECEDENT) (then (OUTPUT [HEDGE...] TERM)...) [(weight W)])
TFuzzyRule TControllerParser::ParseRule() {
  FRoutine = kParseRule;
  TFuzzyRule rule;
  // Rules are often numbered, as FCL's "RULE 1".
  rule.Name = ReadFormHeader("rule", true);
  Expect('(');
  ExpectWord("if");
  rule.If = ParseDisjunction();
  Expect(')');
  Expect('(');
  ExpectWord("then");
  while (NextIs('(')) {
    Next();
    rule.Then.push_back(ParseTermTest());
  }
  Expect(')');
  if (NextIs('(')) rule.Weight = ReadNumberClause("weight");
  Expect(')');
  return rule;
}

TAntecedent TControllerParser::ParseDisjunction() {
  TAntecedent result = ParseConjunction();
  while (NextIsWord("or")) {
    Next();
    result = std::move(result) || ParseConjunction();
  }
  return result;
}

TAntecedent TControllerParser::ParseConjunction() {
  TAntecedent result = ParseFactor();
  while (NextIsWord("and")) {
    Next();
    result = std::move(result) && ParseFactor();
  }
  return result;
}

// "not" FACTOR | "(" TEST ")" | "(" DISJUNCTION ")"; a group starts with "(" or "not".
TAntecedent TControllerParser::ParseFactor() {
  if (NextIsWord("not")) {
    Next();
    return !ParseFactor();
  }
  Expect('(');
  const TTokenView first = GetTokenStream()->Peek();
  if (first.IsChar('(') || IsWord(first, "not")) {
    TAntecedent group = ParseDisjunction();
    Expect(')');
    return group;
  }
  TTermTest test = ParseTermTest();
  return TAntecedent::Is(std::move(test.Variable), std::move(test.Term), std::move(test.Hedges));
}

TTermTest TControllerParser::ParseTermTest() {
  TTermTest test;
  test.Variable = ReadName();
  std::vector<std::string> words;
  while (!NextIs(')')) {
    const TTokenView token = Next();
    if (token.DataType != dtSymbol) {
      ErrorFmt(FRoutine, messages::kExpectedTermTest,
               GetTokenStream()->CurrentToken()->GetAsString());
    }
    words.emplace_back(token.Text);
  }
  Next();
  if (words.empty()) ErrorFmt(FRoutine, messages::kExpectedTermTest, ")");
  test.Term = std::move(words.back());
  words.pop_back();
  test.Hedges = std::move(words);
  return test;
}

}  // namespace tapwise::detail
