// Function forms whose arguments are all numbers go to the built-in table as values, and the
// library's own variables make their scratch sets directly. Both must come out exactly as the
// general way (a token list handed through CalcFuzzyFunction, a set added empty and renamed),
// which a do-nothing hook or a set class of one's own still takes.

#include <gtest/gtest.h>

#include <array>
#include <exception>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "ParserTestSupport.h"
#include "tapwise/foundation/Stream.h"
#include "tapwise/fuzzy/FuzzyLogic.h"
#include "tapwise/fuzzy/InterfacedFuzzyVariable.h"
#include "tapwise/language/TokenStream.h"

namespace tapwise::testing {
namespace {

// Everything a parse leaves that a caller can see: each variable and term (name, type,
// order, points) or the message of what it raised.
std::string Describe(const TIFuzzyLogic& logic) {
  std::string text;
  for (int i = 0; i < logic.GetVariableCount(); ++i) {
    IntfPtr<IFuzzyVariable> v = logic.GetVariableAt(i);
    text += v->GetName() + ":";
    for (int j = 0; j < v->GetFuzzySetCount(); ++j) {
      IntfPtr<IFuzzySet> s = v->GetFuzzySetAt(j);
      text += " " + s->GetName() + "#" + std::to_string(s->GetOrderNumber()) + "/" +
              std::to_string(static_cast<int>(s->GetSetType())) + "[" + s->GetExpression() + "]";
      for (int k = 0; k < s->GetCount(); ++k)
        text += "(" + std::to_string(s->GetX(k)) + " " + std::to_string(s->GetY(k)) + ")";
      if (s->GetParser().Get() != v->GetParser().Get()) text += " other parser";
    }
    text += "\n";
  }
  return text;
}

std::string ParseInterfaced(const std::string& text, bool with_hook) {
  TZTFuzzyLogicParser parser;
  TIFuzzyLogic logic;
  parser.SetFuzzyLogic(&logic);
  logic.SetParser(&parser);
  logic.SetAutoTerms(false);
  if (with_hook) {
    parser.SetOnCalcFuzzyFunctionIntf([](TPersistent*, const std::string&,
                                         const IntfPtr<IFuzzyStreamTokenList>&, IntfPtr<IFuzzySet>&,
                                         bool&) {});
  }
  try {
    parser.ParseFuzzyLogic(text);
  } catch (const std::exception& e) {
    return Describe(logic) + "raised: " + e.what();
  }
  return Describe(logic);
}

std::string ParsePlain(const std::string& text, bool with_hook) {
  TZTFuzzyLogicParser parser;
  TFuzzyLogic logic;
  parser.SetFuzzyLogic(&logic);
  logic.SetParser(&parser);
  logic.SetAutoTerms(false);
  if (with_hook) {
    parser.SetOnCalcFuzzyFunction([](TPersistent*, const std::string&,
                                     const IntfPtr<IFuzzyStreamTokenList>&, TFuzzySet*&, bool&) {});
  }
  std::string raised;
  try {
    parser.ParseFuzzyLogic(text);
  } catch (const std::exception& e) {
    raised = std::string("raised: ") + e.what();
  }
  std::string text_out;
  for (int i = 0; i < logic.GetVariableCount(); ++i) {
    TFuzzyVariable* v = logic.GetFuzzyVariables().GetVariable(i);
    text_out += v->GetName() + ":";
    for (int j = 0; j < v->GetItems().GetCount(); ++j) {
      const TFuzzySet* s = v->GetItems().GetSet(j);
      text_out += " " + s->GetName() + "/" + std::to_string(static_cast<int>(s->GetSetType()));
      for (int k = 0; k < s->GetCount(); ++k)
        text_out += "(" + std::to_string(s->GetX(k)) + " " + std::to_string(s->GetY(k)) + ")";
    }
    text_out += "\n";
  }
  return text_out + raised;
}

// Calls of every built-in shape and the ways an argument list can go wrong or be unusual:
// too few, too many, none, not numbers, nested, spread over lines, with comments, cut off.
const std::vector<std::string>& TrickyDefinitions() {
  static const std::vector<std::string> texts = {
      "(deffuzzy v (range 0 10) (values (term a (tri 1 2 3)) (term b (tri -1 2.5 0x0A))\n"
      " (term c (pi 5 2)) (term d (pi 1 9 4)) (term e (s 2 8)) (term f (z 2 8))\n"
      " (term g (beta 2 5 1)) (term h (beta 2 5 1 3)) (term i (tri 3 2 1))))",
      "(deffuzzy v (range 0 10) (values (term a (tri 1\n 2\r\n 3\n))\n (term b (tri 1 2 3 ))))",
      "(deffuzzy v (values (term a (tri 1 ; one\n 2 3))))",
      "(deffuzzy v (values (term a (tri 1 2))))",
      "(deffuzzy v (values (term a (tri))))",
      "(deffuzzy v (values (term a (tri\n))))",
      "(deffuzzy v (values (term a (foo 1 2))))",
      "(deffuzzy v (values (term a (beta 1 2 3 4 5))))",
      "(deffuzzy v (values (term a (tri 1 x 3))))",
      "(deffuzzy v (values (term a (tri 1 \"2\" 3))))",
      "(deffuzzy v (values (term a (tri 1 (2) 3))))",
      "(deffuzzy v (values (term a (s 8 2))))",
      "(deffuzzy v (values (term a (beta 2 5 0))))",
      "(deffuzzy v (values (term a (tri 1 2 3",
      "(deffuzzy v (values (term a (tri 1 2 3) x)))",
      "(deffuzzy v (range 0 10) (values (term a (tri 1 2 3)) (term b very a)\n"
      " (term c a and (tri 4 5 6)) (term d 5) (term e (pi 5 2) or a)))",
  };
  return texts;
}

TEST(ParserCallArgumentsTest, NumbersGoingStraightToTheTableBuildWhatTheTokenListBuilds) {
  LiveObjectGuard guard;
  for (const std::string& text : TrickyDefinitions()) {
    EXPECT_EQ(ParseInterfaced(text, false), ParseInterfaced(text, true)) << text;
    EXPECT_EQ(ParsePlain(text, false), ParsePlain(text, true)) << text;
  }
  // The comparison has teeth: the general way does build and refuse these.
  EXPECT_EQ(ParseInterfaced(TrickyDefinitions()[3], false),
            "raised: Parsing Error, Number of arguments for function, tri, incorrect.  "
            "Expected \"\"Left Middle Right\"\" in CalcFuzzyFunction at line 1: "
            "\"( deffuzzy v ( values ( term a ( tri 1 2 \"");
  EXPECT_EQ(ParseInterfaced(TrickyDefinitions()[5], false).substr(0, 22), "raised: Parsing Error,");
  EXPECT_NE(ParseInterfaced(TrickyDefinitions()[0], false).find(" i#8/"), std::string::npos);
}

TEST(ParserCallArgumentsTest, HookStillSeesEveryListAndMayReplaceTheSet) {
  TZTFuzzyLogicParser parser;
  TIFuzzyLogic logic;
  parser.SetFuzzyLogic(&logic);
  logic.SetParser(&parser);
  logic.SetAutoTerms(false);
  std::vector<std::string> calls;
  parser.SetOnCalcFuzzyFunctionIntf([&](TPersistent*, const std::string& name,
                                        const IntfPtr<IFuzzyStreamTokenList>& list,
                                        IntfPtr<IFuzzySet>& result, bool& handled) {
    calls.push_back(name + " " + list->GetAsString());
    if (name == "one") {
      result->AddPoint(1, 1);
      handled = true;
    }
  });
  parser.ParseFuzzyLogic(
      "(deffuzzy v (range 0 5) (values (term a (one 7 8)) (term b (tri 1 2 3))))");
  EXPECT_EQ(calls, (std::vector<std::string>{"one 7 8 ", "tri 1 2 3 "}));
  EXPECT_EQ(logic.GetVariable("v")->GetFuzzySet("a")->GetCount(), 1);
  EXPECT_EQ(logic.GetVariable("v")->GetFuzzySet("b")->GetSetType(), fstTriangle);
}

// Scratch sets of the library's own classes are made directly; a set class of one's own
// goes the general way. Terms, their notifications and their parser come out the same.
IntfPtr<TIFuzzySet> MakeThroughOwnClass(const IntfPtr<IFuzzyVariable>& variable,
                                        const std::string& name) {
  return TIFuzzySet::Create(variable, name);
}

std::string ParseTerms(bool own_set_class) {
  TZTFuzzyLogicParser parser;
  TIFuzzyLogic logic;
  parser.SetFuzzyLogic(&logic);
  logic.SetParser(&parser);
  auto variable = TIFuzzyVariable::Create("v");
  variable->SetMaximum(10);
  variable->SetParser(IntfPtr<IFuzzyParser>(&parser));
  if (own_set_class) variable->SetFuzzySetClass(&MakeThroughOwnClass);
  std::string events;
  // Scratch sets carry generated names that differ from run to run.
  const std::regex generated("FuzzySet[0-9]+");
  variable->SetOnFuzzySetAdded([&](IFuzzyVariable&, IFuzzySet& s) {
    events += "added " + std::regex_replace(s.GetName(), generated, "FuzzySet#") + "; ";
  });
  variable->SetOnFuzzySetChange([&](IFuzzyVariable&, IFuzzySet& s) {
    events += "changed " + std::regex_replace(s.GetName(), generated, "FuzzySet#") + "; ";
  });
  for (const char* text : {"(term a (tri 1 2 3))", "(term b ((0 0) (5 1) (10 0)))",
                           "(term c very a)", "(term d 4)", "(term e a or (pi 5 1))",
                           "(term f a and b)", "(term g not [a or b])", "(term a (z 2 8))"}) {
    IntfPtr<IFuzzySet> term = parser.ParseFuzzySet(IntfPtr<IFuzzyVariable>(variable), text);
    events += std::string("| ") + term->GetName() + " ";
  }
  for (int i = 0; i < variable->GetFuzzySetCount(); ++i) {
    IntfPtr<IFuzzySet> s = variable->GetFuzzySetAt(i);
    events += "\n" + s->GetName() + " " + s->GetExpression() + " " +
              std::to_string(s->GetOrderNumber()) +
              (s->GetParser().Get() == static_cast<IFuzzyParser*>(&parser) ? "" : " no parser");
    for (int k = 0; k < s->GetCount(); ++k)
      events += " (" + std::to_string(s->GetX(k)) + " " + std::to_string(s->GetY(k)) + ")";
  }
  variable->ClearFuzzySets();
  return events;
}

TEST(ParserCallArgumentsTest, ScratchSetsMadeDirectlyMatchTheSetClassWay) {
  LiveObjectGuard guard;
  const std::string direct = ParseTerms(false);
  EXPECT_EQ(direct, ParseTerms(true));
  EXPECT_NE(direct.find("added a; "), std::string::npos);
  EXPECT_EQ(direct.find("added FuzzySet"), std::string::npos);  // scratch sets are never stored
}

}  // namespace
}  // namespace tapwise::testing
