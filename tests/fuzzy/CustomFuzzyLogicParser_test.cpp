#include "tapwise/fuzzy/CustomFuzzyLogicParser.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FakeFuzzyLogicParser.h"
#include "support/ExpectThrow.h"
#include "support/LiveObjectGuard.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"
#include "tapwise/fuzzy/InterfacedFuzzySet.h"

namespace tapwise {
namespace {

using testing::Arguments;
using testing::FakeFuzzyLogicParser;

// The message a parse error of the function table carries with the fake's position.
std::string TableError(const std::string& message, int line = 0, const std::string& text = "") {
  return "Parsing Error, " + message + " in CalcFuzzyFunction at line " + std::to_string(line) +
         ": \"" + text + "\"";
}

TEST(BuiltInFunctions, PiWithTwoNumbersIsCentreAndHalfWidth) {
  FakeFuzzyLogicParser parser;
  TFuzzySet set;
  parser.CalcFuzzyFunction(set, "pi", Arguments({"36", "2"}));
  ASSERT_EQ(set.GetCount(), 7);
  EXPECT_DOUBLE_EQ(set.GetX(0), 34);
  EXPECT_DOUBLE_EQ(set.GetX(6), 38);
  EXPECT_DOUBLE_EQ(set.GetMembership(36), 1);
  EXPECT_DOUBLE_EQ(set.GetMembership(34), 0);
  EXPECT_EQ(set.GetSetType(), fstPICurve);

  TFuzzySet three;
  parser.CalcFuzzyFunction(three, "pi", Arguments({"30", "40", "35"}));
  EXPECT_DOUBLE_EQ(three.GetX(0), 30);
  EXPECT_DOUBLE_EQ(three.GetX(three.GetCount() - 1), 40);
  EXPECT_DOUBLE_EQ(three.GetMembership(35), 1);
}

TEST(BuiltInFunctions, TriangleCurvesAndBetaKeepTheirArgumentOrder) {
  FakeFuzzyLogicParser parser;
  TFuzzySet triangle;
  parser.CalcFuzzyFunction(triangle, "tri", Arguments({"1", "2", "4"}));
  EXPECT_EQ(triangle.GetSetType(), fstTriangle);
  EXPECT_DOUBLE_EQ(triangle.GetMembership(2), 1);
  EXPECT_DOUBLE_EQ(triangle.GetMembership(3), 0.5);

  TFuzzySet s;
  parser.CalcFuzzyFunction(s, "s", Arguments({"37", "60"}));
  EXPECT_DOUBLE_EQ(s.GetX(0), 37);
  EXPECT_DOUBLE_EQ(s.GetY(0), 0);
  EXPECT_DOUBLE_EQ(s.GetX(s.GetCount() - 1), 60);
  EXPECT_DOUBLE_EQ(s.GetY(s.GetCount() - 1), 1);
  EXPECT_DOUBLE_EQ(s.GetInflectionPoint(), 60);

  TFuzzySet z;
  parser.CalcFuzzyFunction(z, "z", Arguments({"10", "35"}));
  EXPECT_EQ(z.GetSetType(), fstDeclineCurve);
  EXPECT_DOUBLE_EQ(z.GetY(0), 1);
  EXPECT_DOUBLE_EQ(z.GetY(z.GetCount() - 1), 0);
  EXPECT_DOUBLE_EQ(z.GetInflectionPoint(), 35);

  TFuzzySet beta;
  parser.CalcFuzzyFunction(beta, "beta", Arguments({"4", "10", "2"}));
  EXPECT_EQ(beta.GetSetType(), fstBetaCurve);
  EXPECT_DOUBLE_EQ(beta.GetX(0), 6);
  EXPECT_DOUBLE_EQ(beta.GetMembership(10), 1);
  // The ends of the range: 1 / (1 + ((14 - 10) / 2)^2).
  EXPECT_DOUBLE_EQ(beta.GetY(beta.GetCount() - 1), 0.2);
  TFuzzySet weighted;
  parser.CalcFuzzyFunction(weighted, "beta", Arguments({"4", "10", "2", "3"}));
  EXPECT_DOUBLE_EQ(weighted.GetY(weighted.GetCount() - 1), 1.0 / 13);
}

TEST(BuiltInFunctions, ErrorsNameTheFunctionAndItsForms) {
  FakeFuzzyLogicParser parser;
  TFuzzySet set;
  EXPECT_THROW_MSG(parser.CalcFuzzyFunction(set, "tri", Arguments({"1", "2"})), EFzyParseException,
                   TableError("Number of arguments for function, tri, incorrect.  Expected "
                              "\"\"Left Middle Right\"\""));
  EXPECT_THROW_MSG(parser.CalcFuzzyFunction(set, "pi", Arguments({"1"})), EFzyParseException,
                   TableError("Number of arguments for function, pi, incorrect.  Expected "
                              "\"\"Left Right Center\" or \"Center Range\"\""));
  EXPECT_THROW_MSG(parser.CalcFuzzyFunction(set, "z", Arguments({"1", "2", "3"})),
                   EFzyParseException,
                   TableError("Number of arguments for function, z, incorrect.  Expected "
                              "\"\"Left Right Inflection_Point\"\""));
  EXPECT_THROW_MSG(parser.CalcFuzzyFunction(set, "beta", Arguments({"1", "2"})), EFzyParseException,
                   TableError("Number of arguments for function, beta, incorrect.  Expected "
                              "\"\"Range Center Inflection_Point\" or \"Range Center "
                              "Inflection_Point Weight\"\""));
  // An empty list passes the type test and fails on the count.
  EXPECT_THROW_MSG(parser.CalcFuzzyFunction(set, "s", Arguments({})), EFzyParseException,
                   TableError("Number of arguments for function, s, incorrect.  Expected "
                              "\"\"Left Right Inflection_Point\"\""));
  // The type test runs first, whatever the count.
  EXPECT_THROW_MSG(
      parser.CalcFuzzyFunction(set, "pi", Arguments({"a", "2"})), EFzyParseException,
      TableError("Data Types of arguments for function, pi, incorrect.  Expected numeric"));
  EXPECT_THROW_MSG(
      parser.CalcFuzzyFunction(set, "tri", Arguments({"a"})), EFzyParseException,
      TableError("Data Types of arguments for function, tri, incorrect.  Expected numeric"));
  EXPECT_THROW_MSG(parser.CalcFuzzyFunction(set, "gauss", Arguments({"1", "2"})),
                   EFzyParseException, TableError("Unknown function name: \"gauss\""));
  // Names are compared case-sensitively.
  EXPECT_THROW_MSG(parser.CalcFuzzyFunction(set, "PI", Arguments({"36", "2"})), EFzyParseException,
                   TableError("Unknown function name: \"PI\""));

  parser.Line = 4;
  parser.TokenText = "( pi a ";
  EXPECT_THROW_MSG(
      parser.CalcFuzzyFunction(set, "pi", Arguments({"a"})), EFzyParseException,
      TableError("Data Types of arguments for function, pi, incorrect.  Expected numeric", 4,
                 "( pi a "));
  try {
    parser.CalcFuzzyFunction(set, "pi", Arguments({"a"}));
  } catch (const EFzyParseException& e) {
    EXPECT_EQ(e.GetLine(), 4);
  }
}

TEST(BuiltInFunctions, CurvesTakeThePointCountOfTheComponent) {
  FakeFuzzyLogicParser parser;
  TIFuzzyLogic logic;
  logic.SetNumFunctionValues(11);
  parser.SetFuzzyLogic(&logic);
  TFuzzySet set;
  parser.CalcFuzzyFunction(set, "pi", Arguments({"36", "2"}));
  EXPECT_EQ(set.GetCount(), 11);
  TFuzzySet curve;
  parser.CalcFuzzyFunction(curve, "z", Arguments({"10", "35"}));
  EXPECT_EQ(curve.GetCount(), 11);
}

TEST(BuiltInFunctions, HookAnswersFirstAndMayKeepTheTableOut) {
  FakeFuzzyLogicParser parser;
  TFuzzySet replacement;
  std::string seen;
  parser.SetOnCalcFuzzyFunction([&](TPersistent* sender, const std::string& name,
                                    const IntfPtr<IFuzzyStreamTokenList>& list, TFuzzySet*& result,
                                    bool& handled) {
    EXPECT_EQ(sender, &parser);
    seen = name + " " + list->GetAsString();
    if (name == "gauss" || name == "pi") {
      result = &replacement;
      handled = true;
    }
  });
  TFuzzySet set;
  EXPECT_EQ(parser.CalcFuzzyFunction(set, "pi", Arguments({"36", "2"})), &replacement);
  EXPECT_EQ(seen, "pi 36 2 ");
  EXPECT_EQ(set.GetCount(), 0);
  EXPECT_EQ(parser.CalcFuzzyFunction(set, "gauss", Arguments({"1"})), &replacement);
  // Left unhandled, the table runs after the hook.
  EXPECT_EQ(parser.CalcFuzzyFunction(set, "tri", Arguments({"1", "2", "3"})), &set);
  EXPECT_EQ(seen, "tri 1 2 3 ");
  EXPECT_EQ(set.GetSetType(), fstTriangle);
}

TEST(BuiltInFunctions, InterfacedFlavourSharesTheTable) {
  testing::LiveObjectGuard guard;
  FakeFuzzyLogicParser parser;
  IntfPtr<IFuzzySet> set = TIFuzzySet::Create(nullptr, "OK");
  EXPECT_EQ(parser.CalcFuzzyFunction(set, "pi", Arguments({"36", "2"})), set);
  EXPECT_EQ(set->GetCount(), 7);
  EXPECT_DOUBLE_EQ(set->GetX(0), 34);
  EXPECT_DOUBLE_EQ(set->GetMembership(36), 1);
  EXPECT_THROW_MSG(
      parser.CalcFuzzyFunction(set, "Pi", Arguments({"36", "2"})), EFzyParseException,
      "Parsing Error, Unknown function name: \"Pi\" in CalcFuzzyFunction at line 0: \"\"");

  IntfPtr<IFuzzySet> other = TIFuzzySet::Create(nullptr, "other");
  parser.SetOnCalcFuzzyFunctionIntf([&](TPersistent*, const std::string&,
                                        const IntfPtr<IFuzzyStreamTokenList>&,
                                        IntfPtr<IFuzzySet>& result, bool& handled) {
    result = other;
    handled = true;
  });
  EXPECT_EQ(parser.CalcFuzzyFunction(set, "gauss", Arguments({})), other);
}

TEST(ParseError, DecoratesTheMessageAndShortensLongEchoes) {
  FakeFuzzyLogicParser parser;
  EXPECT_THROW_MSG(parser.ParseError("ParseFuzzySet", "Missing name", 12, "( term "),
                   EFzyParseException,
                   "Parsing Error, Missing name in ParseFuzzySet at line 12: \"( term \"");
  try {
    parser.ParseError("ParseFuzzySet", "Missing name", 12, "( term ");
  } catch (const EFzyParseException& e) {
    EXPECT_EQ(e.GetLine(), 12);
  }

  std::string echo;
  for (int i = 0; i < 300; ++i)
    echo += static_cast<char>('a' + i % 26);
  parser.TokenText = echo;
  parser.Line = 2;
  EXPECT_THROW_MSG(parser.ErrorFmt("ParseFuzzyLogic", "Unexpected token: \"%s\"", "x"),
                   EFzyParseException,
                   "Parsing Error, Unexpected token: \"x\" in ParseFuzzyLogic at line 2: \"" +
                       echo.substr(0, 128) + "... \r\n" + echo.substr(172) + "\"");
  // Up to 255 characters the echo is shown whole.
  const std::string whole = echo.substr(0, 255);
  EXPECT_THROW_MSG(parser.ParseError("r", "m", 1, whole), EFzyParseException,
                   "Parsing Error, m in r at line 1: \"" + whole + "\"");
}

TEST(Parse, NeedsAComponentAndRaisesItsEventsAroundTheParse) {
  FakeFuzzyLogicParser parser;
  std::string log;
  parser.SetOnBeforeParse([&](TPersistent*) { log += "before "; });
  parser.SetOnAfterParse([&](TPersistent*) { log += "after "; });
  EXPECT_THROW_MSG(parser.Parse("x 0 1"), EFzyParseException,
                   "Fuzzy Logic component must be specified to parse");
  EXPECT_EQ(log, "");

  TIFuzzyLogic logic;
  parser.SetFuzzyLogic(&logic);
  parser.Parse("x 0 1");
  EXPECT_EQ(log, "before after ");
  EXPECT_EQ(logic.GetVariableCount(), 1);
  log.clear();
  EXPECT_THROW_MSG(
      parser.Parse("y 0"), EFzyParseException,
      "Parsing Error, Expected \"name minimum maximum\" in ParseFuzzyLogic at line 0: \"\"");
  EXPECT_EQ(log, "before ");
}

TEST(Parse, LinksAreClearedWhenTheOtherSideGoes) {
  auto parser = std::make_unique<FakeFuzzyLogicParser>();
  auto logic = std::make_unique<TIFuzzyLogic>();
  parser->SetFuzzyLogic(logic.get());
  logic.reset();
  EXPECT_EQ(parser->GetFuzzyLogic(), nullptr);

  // Counting references never frees the component.
  IntfPtr<IFuzzyParser> held(parser.get());
  EXPECT_EQ(parser->RefCount(), 1);
  held = nullptr;
  EXPECT_EQ(parser->RefCount(), 0);
}

}  // namespace
}  // namespace tapwise
