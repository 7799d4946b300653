#include "tapwise/language/FuzzyLogicParser.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ParserTestSupport.h"
#include "support/ExpectThrow.h"
#include "tapwise/fuzzy/FuzzyLogic.h"
#include "tapwise/fuzzy/InterfacedFuzzyVariable.h"

namespace tapwise::testing {
namespace {

using ParserTest = InterfacedParserTest;

TEST_F(ParserTest, DemonstrationTextBuildsThreeVariablesWithDefinedTermsAndAutoTerms) {
  logic.SetStrings(kDemoDefinitions);
  ASSERT_EQ(logic.GetVariableCount(), 3);

  auto out_temp = Variable("outTemp");
  EXPECT_EQ(out_temp->GetMinimum(), 5);
  EXPECT_EQ(out_temp->GetMaximum(), 65);
  EXPECT_EQ(out_temp->GetUnits(), "Celcius");
  auto ok = Term("outTemp", "OK");
  EXPECT_EQ(ok->GetSetType(), fstPICurve);
  EXPECT_NEAR(ok->MeanOfMaxima(), 36, 1e-9);
  EXPECT_NEAR(ok->GetX(0), 34, 1e-9);
  EXPECT_NEAR(ok->GetX(ok->GetCount() - 1), 38, 1e-9);
  EXPECT_EQ(Term("outTemp", "cold")->GetSetType(), fstDeclineCurve);
  EXPECT_EQ(Term("outTemp", "hot")->GetInflectionPoint(), 60);

  EXPECT_EQ(Variable("outFlow")->GetUnits(), "liters/minute");
  // outFlow keeps its own "low"; the others get all three automatic terms.
  EXPECT_EQ(Term("outFlow", "low")->GetSetType(), fstDeclineCurve);
  EXPECT_EQ(Variable("outTemp")->GetFuzzySetCount(), 6);
  EXPECT_EQ(Variable("outFlow")->GetFuzzySetCount(), 5);
  EXPECT_EQ(Variable("change_vc")->GetFuzzySetCount(), 10);

  auto nb = Term("change_vc", "NB");
  ASSERT_EQ(nb->GetCount(), 2);
  EXPECT_DOUBLE_EQ(nb->GetX(0), -0.5);
  EXPECT_DOUBLE_EQ(nb->GetY(0), 1);
  EXPECT_DOUBLE_EQ(nb->GetX(1), -0.25);
  EXPECT_DOUBLE_EQ(nb->GetY(1), 0);
  EXPECT_EQ(Variable("change_vc")->GetUnits(), "");

  for (const char* name : {"outTemp", "outFlow", "change_vc"}) {
    auto variable = Variable(name);
    for (int i = 0; i < variable->GetFuzzySetCount(); ++i)
      EXPECT_TRUE(variable->GetFuzzySetAt(i)->GetDefined()) << name;
  }
}

TEST_F(ParserTest, EmptyTextsCreateNothing) {
  for (const char* text : {"", "   \r\n\t", "; only a comment\r\n; and another"}) {
    parser.Parse(text);
    EXPECT_EQ(logic.GetVariableCount(), 0) << text;
  }
}

TEST_F(ParserTest, ClausesCommentsAndUnits) {
  parser.Parse(
      "(deffuzzy v \"the comment\" (range 0 1) (units \"liters per minute\") (range 2 9)\n"
      "  (values (term a \"first\" (tri 2 3 4))) (values (term b (z 2 9))))");
  auto v = Variable("v");
  EXPECT_EQ(v->GetComment(), "the comment");
  // A string keeps its text form: a backslash and a quote on either side.
  EXPECT_EQ(v->GetUnits(), "\\\"liters per minute\"\\");
  EXPECT_EQ(v->GetMinimum(), 2);
  EXPECT_EQ(v->GetMaximum(), 9);
  EXPECT_EQ(Term("v", "a")->GetComment(), "first");
  EXPECT_EQ(Term("v", "b")->GetSetType(), fstDeclineCurve);
  EXPECT_EQ(v->GetParser().Get(), static_cast<IFuzzyParser*>(&parser));
}

TEST_F(ParserTest, PairsMayBeClosedByAnyTokenAndVariablesAreReplacedByName) {
  parser.Parse("(deffuzzy v (values (term a ((0 1] (1 0)))))");
  auto a = Term("v", "a");
  ASSERT_EQ(a->GetCount(), 2);
  EXPECT_EQ(a->GetY(0), 1);
  auto first = Variable("v");
  parser.Parse("(deffuzzy v (range 0 10))");
  EXPECT_NE(Variable("v").Get(), first.Get());
  EXPECT_EQ(Variable("v")->GetMaximum(), 10);
}

TEST_F(ParserTest, ParseErrorsCarryContextLineAndEcho) {
  EXPECT_THROW_MSG(parser.Parse("(deffuzzy outTemp (range x 65))"), EFzyParseException,
                   "Parsing Error, Expected number in ParseFuzzyVariable at line 1: "
                   "\"( deffuzzy outTemp ( range x \"");
  EXPECT_THROW_MSG(
      parser.Parse("\r\njunk (deffuzzy v)"), EFzyParseException,
      "Parsing Error, Unexpected token: \"junk\" in ParseFuzzyLogic at line 2: \"junk \"");
  EXPECT_THROW_MSG(parser.Parse("(deffuzzy v (Range 1 2))"), EFzyParseException,
                   "Parsing Error, Missing keyword.  Expected \"range, units, or values\" in "
                   "ParseFuzzyVariable at line 1: \"( deffuzzy v ( Range \"");
  EXPECT_THROW_MSG(parser.Parse("(defuzzy v)"), EFzyParseException,
                   "Parsing Error, Expected \"( deffuzzy\" in ParseFuzzyVariable at line 1: "
                   "\"( defuzzy \"");
  EXPECT_THROW_MSG(
      parser.Parse("(deffuzzy (range 1 2))"), EFzyParseException,
      "Parsing Error, Missing name in ParseFuzzyVariable at line 1: \"( deffuzzy ( \"");
  EXPECT_THROW_MSG(parser.Parse("(deffuzzy v range)"), EFzyParseException,
                   "Parsing Error, Expected \"(\" in ParseFuzzyVariable at line 1: "
                   "\"( deffuzzy v range ) \"");
  EXPECT_THROW_MSG(parser.Parse("(deffuzzy v\n(range 1 2 3))"), EFzyParseException,
                   "Parsing Error, Expected \")\" in ParseFuzzyVariable at line 2: "
                   "\"( deffuzzy v \r\n( range 1 2 3 \"");
  EXPECT_THROW_MSG(parser.Parse("(deffuzzy v (values (term a (z 1 2) b)))"), EFzyParseException,
                   "Parsing Error, Expected \")\" in ParseFuzzySet at line 1: "
                   "\"( deffuzzy v ( values ( term a ( z 1 2 ) b \"");
  EXPECT_THROW_MSG(parser.Parse("(deffuzzy v (values (term a ((1 x)))))"), EFzyParseException,
                   "Parsing Error, Expected number in ParseFuzzyValuePairs at line 1: "
                   "\"( deffuzzy v ( values ( term a ( ( 1 x \"");
  EXPECT_THROW_MSG(parser.Parse("(deffuzzy v (values (term a (1 2))))"), EFzyParseException,
                   "Parsing Error, Missing name in ParseFuzzyFunction at line 1: "
                   "\"( deffuzzy v ( values ( term a ( 1 \"");
  EXPECT_THROW_MSG(parser.Parse("(deffuzzy v (values (term a ((0 1) x))))"), EFzyParseException,
                   "Parsing Error, Expected \")\" in ParseFuzzyValuePairs at line 1: "
                   "\"( deffuzzy v ( values ( term a ( ( 0 1 ) x \"");
  EXPECT_THROW_MSG(parser.Parse("(deffuzzy v (values (term (z 0 1))))"), EFzyParseException,
                   "Parsing Error, Missing name in ParseFuzzySet at line 1: "
                   "\"( deffuzzy v ( values ( term ( \"");
  EXPECT_THROW_MSG(parser.Parse("(deffuzzy v (values (term a (tri 1 2))))"), EFzyParseException,
                   "Parsing Error, Number of arguments for function, tri, incorrect.  Expected "
                   "\"\"Left Middle Right\"\" in CalcFuzzyFunction at line 1: "
                   "\"( deffuzzy v ( values ( term a ( tri 1 2 \"");
  EXPECT_THROW_MSG(parser.Parse("(deffuzzy v (values (term a very)))"), EFzyParseException,
                   "Parsing Error, Missing fuzzy operand to be modified by hedge: very in "
                   "EvalFuzzyExpression at line 1: \"( deffuzzy v ( values ( term a very \"");
  // A variable completed before the error stays; the one being parsed is not stored.
  EXPECT_THROW_MSG(parser.Parse("(deffuzzy good) (deffuzzy bad (range 1))"), EFzyParseException,
                   "Parsing Error, Expected number in ParseFuzzyVariable at line 1: "
                   "\"( deffuzzy bad ( range 1 ) \"");
  EXPECT_NO_THROW(Variable("good"));
  IntfPtr<IFuzzyVariable> bad;
  EXPECT_FALSE(logic.GetVariableTable().TryGetVariable("bad", bad));
}

TEST_F(ParserTest, TermEntryPointAndItsErrors) {
  auto v = TIFuzzyVariable::Create("v");
  EXPECT_THROW_MSG(
      parser.ParseFuzzySet(v, "(deffuzzy x)"), EFzyParseException,
      "Parsing Error, Expected \"( term\" in ParseFuzzySet at line 1: \"( deffuzzy \"");
  auto term = parser.ParseFuzzySet(v, "(term t \"c\" (tri 0 0.5 1))");
  EXPECT_EQ(v->GetFuzzySet("t").Get(), term.Get());
  EXPECT_TRUE(term->GetDefined());
  EXPECT_EQ(term->GetComment(), "c");
  // An error inside the body stores nothing.
  EXPECT_THROW_MSG(
      parser.ParseFuzzySet(v, "(term u (tri 0 1))"), EFzyParseException,
      "Parsing Error, Number of arguments for function, tri, incorrect.  Expected "
      "\"\"Left Middle Right\"\" in CalcFuzzyFunction at line 1: \"( term u ( tri 0 1 \"");
  IntfPtr<IFuzzySet> none;
  EXPECT_FALSE(v->TryGetFuzzySet("u", none));
  // The echo of a term whose comment ends its line, and of a term without a variable, which
  // quotes the token after the header.
  EXPECT_THROW_MSG(parser.ParseFuzzySet(v, "(term x \"c\"\n(tri 0 1))"), EFzyParseException,
                   "Parsing Error, Number of arguments for function, tri, incorrect.  Expected "
                   "\"\"Left Middle Right\"\" in CalcFuzzyFunction at line 2: "
                   "\"( term x \\\"c\"\\ \r\n( tri 0 1 \"");
  EXPECT_THROW_MSG(parser.ParseFuzzySet(nullptr, "(term w \"c\" (tri 0 0.5 1))"),
                   EFzyParseException,
                   "Parsing Error, fuzzy variable is not defined in ParseFuzzySet at line 1: "
                   "\"( term w \\\"c\"\\ ( \"");
}

TEST_F(ParserTest, ComponentIsRequiredAndOfTheRightFlavour) {
  TZTFuzzyLogicParser lone;
  EXPECT_THROW_MSG(lone.ParseFuzzyLogic("(deffuzzy v)"), EFzyParseException,
                   "Fuzzy Logic component must be specified to parse");
  EXPECT_THROW_MSG(lone.ParseFuzzyVariable("(deffuzzy v)"), EFzyParseException,
                   "Fuzzy Logic component must be specified to parse");
  TFuzzyLogic plain;
  lone.SetFuzzyLogic(&plain);
  EXPECT_THROW_MSG(lone.ParseFuzzyVariable("(deffuzzy v)"), EFzyParseException,
                   "FuzzyLogic property must be of type TIFuzzyLogic or descendant");
  lone.SetFuzzyLogic(&logic);
  EXPECT_THROW_MSG(lone.ParseFuzzyVariableItem("(deffuzzy v)"), EFzyParseException,
                   "FuzzyLogic property must be of type TFuzzyLogic or descendant");
  EXPECT_EQ(lone.GetTokenStream(), nullptr);
}

TEST_F(ParserTest, DeepNestingIsAParseErrorNamingTheLine) {
  const std::string deep = "\n(deffuzzy v (values (term a very " + std::string(1001, '(') + "cold" +
                           std::string(1001, ')') + ")))";
  // A long echo keeps its start and its end.
  std::string echo = "( deffuzzy v ( values ( term a very ";
  for (int i = 0; i < 46; ++i)
    echo += "( ";
  echo += "... \r\n";
  for (int i = 0; i < 64; ++i)
    echo += "( ";
  EXPECT_THROW_MSG(parser.Parse(deep), EFzyParseException,
                   "Parsing Error, Parentheses nested deeper than 1000 levels in "
                   "ReadExpressionList at line 2: \"" +
                       echo + "\"");
}

TEST_F(ParserTest, EventsReportEveryTermAndVariable) {
  std::vector<std::string> seen;
  parser.SetOnParseFuzzySetIntf(
      [&](IFuzzyVariable& v, IFuzzySet& s) { seen.push_back(v.GetName() + "." + s.GetName()); });
  parser.SetOnParseFuzzyVariableIntf([&](IFuzzyVariable& v) { seen.push_back(v.GetName()); });
  parser.Parse("(deffuzzy v (values (term a (z 0 1)) (term b a)))");
  EXPECT_EQ(seen, (std::vector<std::string>{"v.a", "v.b", "v"}));
}

// Terms given by expressions are stored under their own name; existing terms never move.
TEST_F(ParserTest, ExpressionTermsAreStoredCopiesAndLeaveNoScratchTerms) {
  logic.SetAutoTerms(false);
  parser.Parse(
      "(deffuzzy t (range 0 100) (values (term cold (z 10 35)) (term hot (s 37 60))\n"
      "  (term warm cold and hot) (term c2 cold) (term vc very cold)\n"
      "  (term mild not [cold or hot]) (term half cold * 0.5)))");
  auto t = Variable("t");
  EXPECT_EQ(t->GetFuzzySetCount(), 7);
  auto cold = Term("t", "cold");
  auto c2 = Term("t", "c2");
  EXPECT_NE(c2.Get(), cold.Get());
  ExpectSamePoints(*cold, *c2, "c2");
  EXPECT_EQ(cold->GetName(), "cold");
  for (const char* name : {"warm", "c2", "vc", "mild", "half"}) {
    EXPECT_TRUE(Term("t", name)->GetDefined()) << name;
    EXPECT_EQ(Term("t", name)->GetName(), name);
  }
  EXPECT_NEAR(Term("t", "vc")->GetMembership(22.5),
              cold->GetMembership(22.5) * cold->GetMembership(22.5), 1e-9);
  EXPECT_NEAR(Term("t", "half")->GetMembership(5), 0.5, 1e-9);
  EXPECT_NEAR(Term("t", "mild")->GetMembership(36),
              1 - std::max(cold->GetMembership(36), Term("t", "hot")->GetMembership(36)), 1e-9);
  EXPECT_EQ(cold->GetSetType(), fstDeclineCurve);  // untouched by the copies
}

TEST(ParserLifetimeTest, EitherSideMayGoFirst) {
  LiveObjectGuard guard;
  {
    auto parser = std::make_unique<TZTFuzzyLogicParser>();
    TIFuzzyLogic logic;
    parser->SetFuzzyLogic(&logic);
    logic.SetParser(parser.get());
    logic.SetStrings(kDemoDefinitions);
    auto out_temp = logic.GetVariable("outTemp");
    parser.reset();
    EXPECT_EQ(logic.GetParser(), nullptr);
    EXPECT_FALSE(out_temp->GetParser());
    EXPECT_EQ(out_temp->GetText(), "outTemp");
  }
  {
    TZTFuzzyLogicParser parser;
    auto logic = std::make_unique<TIFuzzyLogic>();
    parser.SetFuzzyLogic(logic.get());
    logic->SetParser(&parser);
    logic->SetStrings(kDemoDefinitions);
    logic.reset();
    EXPECT_EQ(parser.GetFuzzyLogic(), nullptr);
  }
}

// Frees a parser and its component in the order asked for.
template <class Logic>
void Destroy(std::unique_ptr<TZTFuzzyLogicParser>& parser, std::unique_ptr<Logic>& logic,
             bool parser_first) {
  if (parser_first) parser.reset();
  logic.reset();
  parser.reset();
}

// The text a set gives without a parser: its name and its points.
template <class Set>
std::string PlainText(const Set& set) {
  return "(" + set.GetName() + " " + set.ValuesText().substr(1);
}

// Sets made from a component's variables (by rule firing, operations and expressions, and a
// term a new parse replaced) and a variable itself may be held past the parser and the
// component, whichever goes first: they let go of the parser and stay readable, and nothing
// stays alive once they go. A plain set handed to the caller is the caller's alone; one that
// joined a term collection goes with it.
TEST(ParserLifetimeTest, HeldSetsOutliveTheParserAndTheComponentEitherWay) {
  for (const bool parser_first : {true, false}) {
    SCOPED_TRACE(parser_first ? "parser first" : "component first");
    LiveObjectGuard guard;
    IntfPtr<IFuzzyVariable> flow;
    std::vector<IntfPtr<IFuzzySet>> held;
    {
      auto parser = std::make_unique<TZTFuzzyLogicParser>();
      auto logic = std::make_unique<TIFuzzyLogic>();
      parser->SetFuzzyLogic(logic.get());
      logic->SetParser(parser.get());
      logic->SetStrings(kDemoDefinitions);
      flow = logic->GetVariable("outFlow");
      IntfPtr<IFuzzySet> low = flow->GetFuzzySet("low");
      IntfPtr<IFuzzySet> ok = flow->GetFuzzySet("OK");
      IntfPtr<IFuzzySet> clipped = flow->ApplyRule(ok, nullptr, 0.5);
      held = {clipped, flow->FireSimpleRule(*ok, low, *ok, clipped),
              low->Union(*flow->GetFuzzySet("strong")),
              parser->EvaluateExpression(flow, "very low or strong"), low};
      parser->ParseFuzzySet(flow, "(term low (z 2 10))");
      ASSERT_TRUE(low->GetParser());
      // A term an event handler keeps of a variable whose definition then fails.
      parser->SetOnParseFuzzySetIntf(
          [&](IFuzzyVariable&, IFuzzySet& term) { held.emplace_back(&term); });
      EXPECT_THROW(parser->ParseFuzzyVariable("(deffuzzy bad (values (term a ((0 1) (1 0))) "
                                              "(term b warm)))"),
                   EFzyParseException);
      ASSERT_EQ(held.size(), 6u);
      Destroy(parser, logic, parser_first);
    }
    EXPECT_FALSE(flow->GetParser());
    EXPECT_EQ(flow->GetText(), "outFlow");
    for (const auto& set : held) {
      EXPECT_FALSE(set->GetParser()) << set->GetName();
      EXPECT_EQ(set->GetText(), PlainText(*set));
    }
    // OK is the symmetric (pi 12 1), capped at 0.5; low is (z 3 11.5), strong (s 12.5 25).
    EXPECT_DOUBLE_EQ(held[0]->GetMaximumYValue(), 0.5);
    EXPECT_NEAR(held[0]->CenterOfGravity(), 12, 1e-9);
    const std::vector<std::vector<double>> at_3_12_30 = {
        {0, 0.5, 0}, {1, 0.5, 0}, {1, 0, 1}, {1, 0, 1}, {1, 0, 0}};
    for (size_t i = 0; i < at_3_12_30.size(); ++i) {
      EXPECT_NEAR(held[i]->GetMembership(3), at_3_12_30[i][0], 1e-9) << i;
      EXPECT_NEAR(held[i]->GetMembership(12), at_3_12_30[i][1], 1e-9) << i;
      EXPECT_NEAR(held[i]->GetMembership(30), at_3_12_30[i][2], 1e-9) << i;
    }
    EXPECT_DOUBLE_EQ(held[5]->GetMembership(0.25), 0.75);
    held.clear();
    flow = nullptr;
    EXPECT_EQ(guard.Alive(), 0);

    TFuzzySetResult expression;
    TFuzzySetResult fired;
    {
      auto parser = std::make_unique<TZTFuzzyLogicParser>();
      auto logic = std::make_unique<TFuzzyLogic>();
      parser->SetFuzzyLogic(logic.get());
      logic->SetParser(parser.get());
      logic->SetStrings(kDemoDefinitions);
      TFuzzyVariable* plain_flow = logic->GetVariable("outFlow");
      expression = parser->EvaluateExpression(*plain_flow, "very low or strong");
      fired = plain_flow->ApplyRule(*plain_flow->GetItems().GetSet(1), nullptr, 0.5);
      ASSERT_TRUE(expression.Owns());
      ASSERT_FALSE(fired.Owns());
      Destroy(parser, logic, parser_first);
    }
    EXPECT_EQ(expression->GetText(),
              "(" + expression->GetName() + " " + expression->ValuesText().substr(1));
    EXPECT_NEAR(expression->GetMembership(3), 1, 1e-9);
    EXPECT_NEAR(expression->GetMembership(12), 0, 1e-9);
    EXPECT_NEAR(expression->GetMembership(30), 1, 1e-9);
    expression = TFuzzySetResult();
    fired = TFuzzySetResult();
  }
}

TEST(CollectionParserTest, DemonstrationTextIntoThePlainComponent) {
  TZTFuzzyLogicParser parser;
  TFuzzyLogic logic;
  parser.SetFuzzyLogic(&logic);
  logic.SetParser(&parser);
  std::vector<std::string> seen;
  parser.SetOnParseFuzzyVariable(
      [&](TPersistent*, TFuzzyVariable& v) { seen.push_back(v.GetName()); });
  logic.SetStrings(kDemoDefinitions);
  EXPECT_EQ(seen, (std::vector<std::string>{"outTemp", "outFlow", "change_vc"}));
  ASSERT_EQ(logic.GetVariableCount(), 3);
  TFuzzyVariable* out_temp = logic.GetVariable("outTemp");
  EXPECT_EQ(out_temp->GetMinimum(), 5);
  EXPECT_EQ(out_temp->GetUnits(), "Celcius");
  ASSERT_EQ(out_temp->GetItems().GetCount(), 3);
  const TFuzzySet* ok = out_temp->GetItems().GetSet(1);
  EXPECT_EQ(ok->GetName(), "OK");
  EXPECT_TRUE(ok->GetDefined());
  EXPECT_NEAR(ok->MeanOfMaxima(), 36, 1e-9);
  TFuzzyVariable* change = logic.GetVariable("change_vc");
  ASSERT_EQ(change->GetItems().GetCount(), 7);
  EXPECT_EQ(change->GetItems().GetSet(0)->GetName(), "NB");

  // Expressions leave the terms as they were and hand their own sets to the caller.
  TFuzzyVariable* v = logic.GetVariable("outTemp");
  for (int i = 0; i < 3; ++i) {
    TFuzzySetResult result = parser.EvaluateExpression(*v, "very cold and not hot");
    ASSERT_TRUE(result);
    EXPECT_TRUE(result.Owns());
  }
  EXPECT_EQ(v->GetItems().GetCount(), 3);
  TFuzzySetResult same = parser.EvaluateExpression(*change, "NB");
  EXPECT_EQ(same.Get(), change->GetItems().GetSet(0));
  EXPECT_FALSE(same.Owns());

  TFuzzySet* copy = parser.ParseFuzzySet(*v, "(term c2 very cold)");
  EXPECT_EQ(v->GetItems().GetCount(), 4);
  EXPECT_EQ(copy->GetName(), "c2");
  EXPECT_TRUE(copy->GetDefined());
  EXPECT_EQ(v->GetItems().GetSet(0)->GetName(), "cold");
}

TEST(CollectionParserTest, VariableBeingParsedStaysAfterAnError) {
  TZTFuzzyLogicParser parser;
  TFuzzyLogic logic;
  parser.SetFuzzyLogic(&logic);
  logic.SetParser(&parser);
  for (bool auto_terms : {true, false}) {
    logic.SetAutoTerms(auto_terms);
    logic.GetFuzzyVariables().Clear();
    EXPECT_THROW_MSG(
        parser.Parse("(deffuzzy good (values (term a ((0 1) (1 0)))))\n"
                     "(deffuzzy bad (values (term b (z 0 1)) (term c warm)))"),
        EFzyParseException,
        "Parsing Error, Invalid item in fuzzy expression: warm in EvalFuzzyExpression "
        "at line 2: \"\r\n( deffuzzy bad ( values ( term b ( z 0 1 ) ) ( term c warm \"");
    ASSERT_EQ(logic.GetVariableCount(), 2);
    TFuzzyVariable* bad = logic.GetVariable("bad");
    ASSERT_EQ(bad->GetItems().GetCount(), 1);  // no scratch set left behind
    EXPECT_EQ(bad->GetItems().GetSet(0)->GetName(), "b");
    TFuzzyVariable* good = logic.GetVariable("good");
    ASSERT_EQ(good->GetItems().GetCount(), 1);
    EXPECT_EQ(good->GetItems().GetSet(0)->GetCount(), 2);
    TFuzzySetResult set;
    const double value = parser.EvaluateValue(*good, "a", set);
    EXPECT_DOUBLE_EQ(value, set->CenterOfGravity());
    EXPECT_EQ(set.Get(), good->GetItems().GetSet(0));
  }
}

}  // namespace
}  // namespace tapwise::testing
