#include "tapwise/language/FuzzyExpression.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ParserTestSupport.h"
#include "support/ExpectThrow.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/foundation/Stream.h"
#include "tapwise/fuzzy/FuzzyLogic.h"
#include "tapwise/fuzzy/InterfacedFuzzyVariable.h"
#include "tapwise/language/StreamToken.h"
#include "tapwise/language/StreamTokenList.h"
#include "tapwise/language/TokenStream.h"

namespace tapwise::testing {
namespace {

// The postfix text of an expression text (read flat: no parenthesised groups).
std::string Postfix(const std::string& text) {
  TZTStringStream source(text);
  TFuzzyLogicTokenStream stream(source);
  IntfPtr<IFuzzyStreamTokenList> items = TFuzzyStreamTokenList::Create();
  for (auto token = stream.NextToken(); token->GetDataType() != dtEOF; token = stream.NextToken())
    items->Add(token);
  return expression::ToPostfix(*items)->GetAsString();
}

TEST(FuzzyExpressionTest, WorkedOrders) {
  EXPECT_EQ(Postfix("very cold"), "cold very ");
  EXPECT_EQ(Postfix("cold and very hot"), "cold hot very and ");
  EXPECT_EQ(Postfix("not [cold or hot]"), "cold hot or not ");
  EXPECT_EQ(Postfix("cold * 0.5"), "cold 0.5000 * ");
  EXPECT_EQ(Postfix("cold hot"), "cold hot ");
  EXPECT_EQ(Postfix("a and b or c"), "a b and c or ");
  EXPECT_EQ(Postfix("very very cold"), "cold very very ");
  EXPECT_EQ(Postfix("cold +X 2 and-product hot"), "cold 2 +X hot and-product ");
  EXPECT_EQ(Postfix("cold ] and hot"), "cold hot and ");
  EXPECT_THROW_MSG(Postfix("[cold and hot"), Exception, "Missing close parenthesis");
}

TEST(FuzzyExpressionTest, GeneratedNamesStayUniqueAcrossThreads) {
  std::vector<std::vector<std::string>> names(4);
  std::vector<std::thread> threads;
  for (auto& list : names) {
    threads.emplace_back([&list] {
      for (int i = 0; i < 200; ++i)
        list.push_back(expression::GenerateSetName());
    });
  }
  for (auto& thread : threads)
    thread.join();
  std::set<std::string> unique;
  for (const auto& list : names) {
    for (const auto& name : list) {
      EXPECT_EQ(name.rfind("FuzzySet", 0), 0u);
      unique.insert(name);
    }
  }
  EXPECT_EQ(unique.size(), 800u);
}

class ExpressionTest : public InterfacedParserTest {
 protected:
  ExpressionTest() {
    logic.SetAutoTerms(false);
    parser.Parse(
        "(deffuzzy t (range 0 100) (values (term cold (z 10 35)) (term hot (s 37 60))))"
        "(deffuzzy change_vc (range -1 1) (values (term NB ((-0.5 1) (-0.25 0)))))");
    t = Variable("t");
    cold = Term("t", "cold");
    hot = Term("t", "hot");
  }

  IntfPtr<IFuzzySet> Eval(const std::string& text) { return parser.EvaluateExpression(t, text); }

  IntfPtr<IFuzzyVariable> t;
  IntfPtr<IFuzzySet> cold;
  IntfPtr<IFuzzySet> hot;
};

TEST_F(ExpressionTest, TermNamesYieldTheTermsThemselves) {
  auto change = Variable("change_vc");
  EXPECT_EQ(parser.EvaluateExpression(change, "NB").Get(), Term("change_vc", "NB").Get());
  EXPECT_EQ(Eval("cold hot").Get(), hot.Get());
  auto empty = Eval("");
  EXPECT_EQ(empty->GetName(), "__Empty");
  EXPECT_EQ(empty->GetCount(), 0);
  EXPECT_FALSE(empty->GetDefined());
  EXPECT_EQ(Eval("__Empty")->GetCount(), 0);
  // Reading stops at a closing parenthesis of the outer level.
  EXPECT_EQ(Eval("cold ) hot").Get(), cold.Get());
}

TEST_F(ExpressionTest, HedgesAndOperatorsWorkOnCopies) {
  const int before = t->GetFuzzySetCount();
  auto very = Eval("very cold");
  EXPECT_NE(very.Get(), cold.Get());
  EXPECT_EQ(very->GetName(), "very cold");
  EXPECT_FALSE(very->GetDefined());
  EXPECT_EQ(very->GetVariable().Get(), t.Get());
  for (int i = 0; i < cold->GetCount(); ++i) {
    const double x = cold->GetX(i);
    EXPECT_NEAR(very->GetMembership(x), cold->GetY(i) * cold->GetY(i), 1e-9);
  }
  ExpectSamePoints(*very, *Eval("cold very"), "cold very");
  EXPECT_EQ(cold->GetName(), "cold");
  EXPECT_EQ(cold->GetSetType(), fstDeclineCurve);

  auto half = Eval("cold * 0.5");
  for (int i = 0; i < cold->GetCount(); ++i)
    EXPECT_NEAR(half->GetY(i), cold->GetY(i) * 0.5, 1e-9);
  auto neither = Eval("not [cold or hot]");
  EXPECT_NEAR(neither->GetMembership(36),
              1 - std::max(cold->GetMembership(36), hot->GetMembership(36)), 1e-9);
  // Evaluating again and again never grows the variable.
  for (int i = 0; i < 5; ++i)
    Eval("very cold and not extremely hot or 0.5");
  EXPECT_EQ(t->GetFuzzySetCount(), before);
}

TEST_F(ExpressionTest, NumberOperandsAreSpikesNamedByTheirText) {
  auto spike = Eval("0.5");
  EXPECT_EQ(spike->GetName(), "0.5000");
  EXPECT_EQ(spike->GetMembership(0.5), 1);
  EXPECT_EQ(spike->GetMembership(0.6), 0);
  EXPECT_EQ(Eval("2")->GetName(), "2");
  EXPECT_FALSE(Eval("2")->GetDefined());
}

// Over outTemp (5 to 65) a spike at 0.5 or 70 is clamped into the universe; an operator's
// constant is not.
using DemoExpressionTest = InterfacedParserTest;

TEST_F(DemoExpressionTest, OperatorConstantsAreTheNumbersAsWritten) {
  parser.Parse(kDemoDefinitions);
  auto out_temp = Variable("outTemp");
  auto cold = Term("outTemp", "cold");
  auto eval = [&](const std::string& text) { return parser.EvaluateExpression(out_temp, text); };
  auto expect_scaled = [&](const std::string& text, double factor) {
    auto result = eval(text);
    ASSERT_EQ(result->GetCount(), cold->GetCount()) << text;
    for (int i = 0; i < cold->GetCount(); ++i) {
      EXPECT_EQ(result->GetX(i), cold->GetX(i)) << text;
      EXPECT_NEAR(result->GetY(i), cold->GetY(i) * factor, 1e-12) << text;
    }
  };
  expect_scaled("cold * 0.5", 0.5);
  EXPECT_EQ(eval("cold * 0.5")->GetName(), "cold * 0.5000");
  expect_scaled("cold * [0.5]", 0.5);
  expect_scaled("cold * 70", 70);
  expect_scaled("cold / 4", 0.25);
  logic.GetVariables().SetValue("*half*", "0.5");
  expect_scaled("cold * ?*half*", 0.5);
  // As a set the number stays a clamped spike, and a changed spike is a set like any other:
  // 0.5 + 1 is a spike at 5 of degree 2.
  EXPECT_EQ(eval("70")->MeanOfMaxima(), 65);
  expect_scaled("cold * [0.5 + 1]", 5);

  EXPECT_THROW_MSG(eval("cold / 0"), EZeroDivide,
                   "Division by zero in ApplyOperator: \"/\" with Value 0 on fuzzy set \"cold\"");
  EXPECT_THROW_MSG(eval("cold * 1e308 * 1e308"), EFzyException,
                   "Invalid operation: \"*\" on fuzzy set \"cold * " + FormatFixed(1e308, 4) +
                       "\" gives a value that is not a finite number");
  EXPECT_EQ(cold->GetY(0), 1);

  // The plain sets' flavour reads the constant alike.
  TZTFuzzyLogicParser plain_parser;
  TFuzzyLogic plain;
  plain_parser.SetFuzzyLogic(&plain);
  plain.SetParser(&plain_parser);
  plain.SetStrings(kDemoDefinitions);
  TFuzzyVariable& plain_temp = *plain.GetVariable("outTemp");
  TFuzzySetResult half = plain_parser.EvaluateExpression(plain_temp, "cold * 0.5");
  EXPECT_EQ(half->GetY(0), 0.5);
  EXPECT_THROW_MSG(plain_parser.EvaluateExpression(plain_temp, "cold / 0"), EZeroDivide,
                   "Division by zero in ApplyOperator: \"/\" with Value 0 on fuzzy set \"cold\"");
}

TEST_F(ExpressionTest, GroupsAreFunctionsOrPointLists) {
  auto z = Eval("(z 10 35)");
  EXPECT_EQ(z->GetSetType(), fstDeclineCurve);
  ExpectSamePoints(*cold, *z, "z group");
  auto points = Eval("((0 1) (100 0))");
  ASSERT_EQ(points->GetCount(), 2);
  EXPECT_EQ(points->GetX(1), 100);
  auto very_group = Eval("very ((0 1) (100 0))");
  EXPECT_NEAR(very_group->GetMembership(50), 0.25, 1e-9);
  EXPECT_THROW_MSG(
      Eval("((1 2 3))"), EFzyParseException,
      "Parsing Error, Invalid X/Y value pair: 1 2 3  in ConvertListToValues at line 1: "
      "\"\"");
  EXPECT_THROW_MSG(Eval("((1 x))"), EFzyParseException,
                   "Parsing Error, Expected number in ConvertListToValues at line 1: \"\"");
  EXPECT_THROW_MSG(
      Eval("cold ()"), EFzyParseException,
      "Parsing Error, Invalid item in fuzzy expression:  in EvalFuzzyExpression at line 1: "
      "\"\"");
}

// An expression text is read to its end before it is evaluated, so the echo of these errors
// is that of the end of the text: empty. Inside a definition it is the form (see the parser
// tests).
TEST_F(ExpressionTest, ErrorsNameTheOffendingItem) {
  EXPECT_THROW_MSG(Eval("very"), EFzyParseException,
                   "Parsing Error, Missing fuzzy operand to be modified by hedge: very in "
                   "EvalFuzzyExpression at line 1: \"\"");
  EXPECT_THROW_MSG(Eval("cold and"), EFzyParseException,
                   "Parsing Error, Missing fuzzy operand to be modified by hedge: and in "
                   "EvalFuzzyExpression at line 1: \"\"");
  EXPECT_THROW_MSG(
      Eval("warm"), EFzyParseException,
      "Parsing Error, Invalid item in fuzzy expression: warm in EvalFuzzyExpression at "
      "line 1: \"\"");
  EXPECT_THROW_MSG(parser.EvaluateExpression(nullptr, "cold"), EFzyParseException,
                   "Parsing Error, fuzzy variable is not defined in EvalFuzzyExpression at line 1: "
                   "\"\"");
  // Not decorated as a parse error.
  EXPECT_THROW_MSG(Eval("[cold and hot"), Exception, "Missing close parenthesis");
}

TEST_F(ExpressionTest, GlobalsAreNestedExpressions) {
  logic.GetVariables().SetValue("*chilly*", "very cold");
  logic.GetVariables().SetValue("*plain*", "cold");
  logic.GetVariables().SetValue("*loop*", "not ?*loop*");
  auto chilly = Eval("?*chilly*");
  EXPECT_EQ(chilly->GetName(), "?*chilly*");
  ExpectSamePoints(*Eval("very cold"), *chilly, "?*chilly*");
  // A global naming a term gives a copy: the term keeps its name.
  auto plain = Eval("?*plain*");
  EXPECT_NE(plain.Get(), cold.Get());
  EXPECT_EQ(cold->GetName(), "cold");
  auto missing = Eval("?*nothing*");
  EXPECT_EQ(missing->GetName(), "?*nothing*");
  EXPECT_EQ(missing->GetCount(), 0);
  EXPECT_THROW_MSG(
      Eval("?*loop*"), EFzyParseException,
      "Parsing Error, Global variable ?*loop* refers to itself in EvalFuzzyExpression at "
      "line 1: \"\"");
  // A long chain of globals is cut off with an error instead of exhausting the stack.
  for (int i = 0; i < 70; ++i)
    logic.GetVariables().SetValue("*g" + IntToStr(i) + "*", "?*g" + IntToStr(i + 1) + "*");
  EXPECT_THROW_MSG(Eval("?*g0*"), EFzyParseException,
                   "Parsing Error, Global variables refer to each other deeper than 64 levels in "
                   "EvalFuzzyExpression at line 1: \"\"");
  EXPECT_EQ(parser.GetTokenStream(), nullptr);

  // Without a component there are no globals: the operand is an empty set.
  TZTFuzzyLogicParser lone;
  auto v = TIFuzzyVariable::Create("v");
  auto none = lone.EvaluateExpression(v, "?x");
  EXPECT_EQ(none->GetName(), "?x");
  EXPECT_EQ(none->GetCount(), 0);
}

TEST_F(ExpressionTest, GlobalsThatNameTheNextTwiceAreCutOff) {
  // Thirty short globals, each naming the next twice, once meant 2^30 evaluations.
  for (int i = 0; i < 30; ++i) {
    const std::string next = "?*g" + IntToStr(i + 1) + "*";
    logic.GetVariables().SetValue("*g" + IntToStr(i) + "*", next + " or " + next);
  }
  logic.GetVariables().SetValue("*g30*", "cold");
  EXPECT_THROW_MSG(Eval("?*g0*"), EFzyParseException,
                   "Parsing Error, Too many global variables expanded at ?*g29* (more than 1000 "
                   "for one operand) in EvalFuzzyExpression at line 1: \"\"");
  // The budget is per operand: a few expansions each, many times over, are fine.
  ExpectSamePoints(*Eval("cold"), *Eval("?*g29* and ?*g29* and ?*g29*"), "?*g29*");
}

TEST_F(ExpressionTest, EvalEventSeesThePostfixTextAndMayReplaceTheResult) {
  std::string seen;
  parser.SetOnEvalExpressionIntf(
      [&](IFuzzyVariable&, const std::string& postfix, IntfPtr<IFuzzySet>& result) {
        seen = postfix;
        if (postfix == "hot ") result = cold;
      });
  Eval("very cold");
  EXPECT_EQ(seen, "cold very ");
  EXPECT_EQ(Eval("hot").Get(), cold.Get());
}

TEST_F(ExpressionTest, EvaluateValueDefuzzifiesAsTheComponentSays) {
  IntfPtr<IFuzzySet> set;
  const double center = parser.EvaluateValue(t, "cold", set);
  EXPECT_EQ(set.Get(), cold.Get());
  EXPECT_DOUBLE_EQ(center, cold->CenterOfGravity());
  logic.SetDefuzzificationMethod(dmMeanOfMaxima);
  EXPECT_DOUBLE_EQ(parser.EvaluateValue(t, "hot", set), hot->MeanOfMaxima());
}

}  // namespace
}  // namespace tapwise::testing
