#pragma once

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/CustomFuzzyLogicParser.h"
#include "tapwise/fuzzy/FuzzyLogic.h"
#include "tapwise/fuzzy/IFuzzySet.h"
#include "tapwise/fuzzy/IFuzzyVariable.h"
#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"
#include "tapwise/language/StreamToken.h"
#include "tapwise/language/StreamTokenList.h"

namespace tapwise::testing {

/// A parser for component tests, reading a line language of its own instead of the
/// definition language: every line "name minimum maximum term..." is a variable over
/// minimum..maximum whose terms are ramps named by the remaining words. It writes a
/// variable back as "name minimum maximum term..." with the terms in storing order, and an
/// interfaced set as "short name" or "full name" (so that a test sees which form was asked
/// for). Like every parser component it counts references without being freed by them.
class FakeFuzzyLogicParser : public TCustomFuzzyLogicParser {
 public:
  using TCustomFuzzyLogicParser::CalcBuiltInFunction;
  using TCustomFuzzyLogicParser::TCustomFuzzyLogicParser;

  /// How often a variable text was written (tells a rebuild from a cached text).
  int Writes = 0;
  /// How often a whole text was parsed.
  int Parses = 0;
  /// What the error hooks answer.
  std::string TokenText;
  int Line = 0;

  void ParseFuzzyLogic(const std::string& text) override {
    ++Parses;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
      std::vector<std::string> words = Words(line);
      if (words.empty()) continue;
      if (words.size() < 3) Error("ParseFuzzyLogic", "Expected \"name minimum maximum\"");
      if (auto* logic = dynamic_cast<TIFuzzyLogic*>(GetFuzzyLogic())) {
        IntfPtr<IFuzzyVariable> variable = logic->CreateVariable(words[0]);
        variable->SetMaximum(StrToFloat(words[2]));
        variable->SetMinimum(StrToFloat(words[1]));
        variable->SetParser(IntfPtr<IFuzzyParser>(this));
        for (size_t i = 3; i < words.size(); ++i) {
          IntfPtr<IFuzzySet> term = variable->AddFuzzySet(words[i]);
          term->AddPoint(variable->GetMinimum(), 0);
          term->AddPoint(variable->GetMaximum(), 1);
        }
        logic->GetVariableTable().AddVariable(variable);
      } else if (auto* plain = dynamic_cast<TFuzzyLogic*>(GetFuzzyLogic())) {
        TFuzzyVariable* variable = plain->GetFuzzyVariables().AddVariable();
        variable->SetName(words[0]);
        variable->SetMaximum(StrToFloat(words[2]));
        variable->SetMinimum(StrToFloat(words[1]));
        for (size_t i = 3; i < words.size(); ++i)
          variable->GetItems().AddSet(words[i]);
      }
    }
  }

  TFzyFloat EvaluateValue(const IntfPtr<IFuzzyVariable>&, const std::string&,
                          IntfPtr<IFuzzySet>& fuzzy_set) override {
    fuzzy_set = nullptr;
    return 0;
  }
  IntfPtr<IFuzzySet> EvaluateExpression(const IntfPtr<IFuzzyVariable>&,
                                        const std::string&) override {
    return nullptr;
  }
  IntfPtr<IFuzzySet> ParseFuzzySet(const IntfPtr<IFuzzyVariable>&, const std::string&) override {
    return nullptr;
  }
  IntfPtr<IFuzzyVariable> ParseFuzzyVariable(const std::string&) override { return nullptr; }
  std::string FuzzySetToString(const IFuzzySet& fuzzy_set, bool full_form) override {
    return (full_form ? "full " : "short ") + fuzzy_set.GetName();
  }
  std::string FuzzyVariableToString(const IFuzzyVariable& variable) override {
    ++Writes;
    std::string text = variable.GetName() + " " + FloatToStr(variable.GetMinimum()) + " " +
                       FloatToStr(variable.GetMaximum());
    std::vector<IntfPtr<IFuzzySet>> terms;
    for (int i = 0; i < variable.GetFuzzySetCount(); ++i)
      terms.push_back(variable.GetFuzzySetAt(i));
    std::sort(terms.begin(), terms.end(), [](const auto& a, const auto& b) {
      return a->GetOrderNumber() < b->GetOrderNumber();
    });
    for (const IntfPtr<IFuzzySet>& term : terms)
      text += " " + term->GetName();
    return text;
  }

  TFzyFloat EvaluateValue(TFuzzyVariable&, const std::string&, TFuzzySetResult&) override {
    return 0;
  }
  TFuzzySetResult EvaluateExpression(TFuzzyVariable&, const std::string&) override { return {}; }
  TFuzzySet* ParseFuzzySet(TFuzzyVariable&, const std::string&) override { return nullptr; }
  TFuzzyVariable* ParseFuzzyVariableItem(const std::string&) override { return nullptr; }
  std::string FuzzySetToString(const TFuzzySet& fuzzy_set, bool) override {
    return "set " + fuzzy_set.GetName();
  }
  std::string FuzzyVariableToString(const TFuzzyVariable& variable) override {
    ++Writes;
    return variable.GetName() + " " + FloatToStr(variable.GetMinimum()) + " " +
           FloatToStr(variable.GetMaximum());
  }

 protected:
  std::string CurrentTokenText() const override { return TokenText; }
  int CurrentLine() const override { return Line; }

 private:
  static std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string word;
    while (in >> word)
      words.push_back(word);
    return words;
  }
};

/// Argument tokens of a function form: a number for every text that reads as one, a symbol
/// otherwise.
inline IntfPtr<IFuzzyStreamTokenList> Arguments(const std::vector<std::string>& texts) {
  IntfPtr<TFuzzyStreamTokenList> list = TFuzzyStreamTokenList::Create();
  for (const std::string& text : texts) {
    IntfPtr<TFuzzyStreamToken> token = TFuzzyStreamToken::Create();
    token->SetText(text);
    if (auto number = TryStrToFloat(text)) {
      token->SetDataType(text.find('.') == std::string::npos ? dtInteger : dtFloat);
      token->SetNumber(*number);
    } else {
      token->SetDataType(dtSymbol);
    }
    list->Add(token);
  }
  return list;
}

}  // namespace tapwise::testing
