#include "tapwise/language/FuzzyWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ParserTestSupport.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/FuzzyLogic.h"
#include "tapwise/fuzzy/InterfacedFuzzyVariable.h"

namespace tapwise::testing {
namespace {

using WriterTest = InterfacedParserTest;

TEST_F(WriterTest, LayoutWithCommentAndUnits) {
  auto v = TIFuzzyVariable::Create("v");
  v->SetComment("c");
  v->SetUnits("u");
  auto t = v->AddFuzzySet("t");
  t->SetCurve(7, false, 0, 1, 1);
  EXPECT_EQ(parser.FuzzyVariableToString(*v),
            "(deffuzzy v \r\n"
            "    \"c\"\r\n"
            "    (range 0.0000 1.0000)\r\n"
            "    (units u)\r\n"
            "    (values \r\n"
            "        (term t (z 0.0000 1.0000))\r\n"
            "    )\r\n"
            ")");
}

TEST_F(WriterTest, LayoutWithoutCommentAndUnitsAndTermsInStoringOrder) {
  auto v = TIFuzzyVariable::Create("v");
  v->SetMinimum(-1);
  for (const char* name : {"NB", "Z", "PB", "AA", "M"})
    v->AddFuzzySet(name)->AddPoint(0, 1);
  v->AddFuzzySet("__Empty")->AddPoint(0.5, 1);  // a scratch set: never written
  auto loose = TIFuzzySet::Create(v, "loose");  // not Defined: left out
  loose->AddPoint(0, 1);
  const std::string text = parser.FuzzyVariableToString(*v);
  EXPECT_EQ(text,
            "(deffuzzy v \r\n"
            "    (range -1.0000 1.0000)\r\n"
            "    (values \r\n"
            "        (term NB ((0.0000 1.0000) ))\r\n"
            "        (term Z ((0.0000 1.0000) ))\r\n"
            "        (term PB ((0.0000 1.0000) ))\r\n"
            "        (term AA ((0.0000 1.0000) ))\r\n"
            "        (term M ((0.0000 1.0000) ))\r\n"
            "    )\r\n"
            ")");
}

TEST_F(WriterTest, UnitsCommentsAndNamesAreWrittenSoThatTheyReadBack) {
  EXPECT_EQ(writer::UnitsText("liters/minute"), "liters/minute");
  EXPECT_EQ(writer::UnitsText("liters per minute"), "\"liters per minute\"");
  EXPECT_EQ(writer::UnitsText("\\\"liters per minute\"\\"), "\"liters per minute\"");
  EXPECT_EQ(writer::QuotedText("say \"hi\" \\ bye"), "\"say \\\"hi\\\" \\\\ bye\"");
  EXPECT_EQ(writer::WordText("very cold"), "very\\ cold");

  parser.Parse(
      "(deffuzzy v \"a \\\"quoted\\\" comment\" (units \"liters per minute\")\n"
      "  (values (term t \"term comment\" (tri 0 0.5 1))))");
  const std::string first = Variable("v")->GetText();
  parser.Parse(first);
  EXPECT_EQ(Variable("v")->GetText(), first);
  EXPECT_EQ(Variable("v")->GetComment(), "a \"quoted\" comment");
  EXPECT_EQ(Term("v", "t")->GetComment(), "term comment");
  EXPECT_NE(first.find("(units \"liters per minute\")"), std::string::npos);
}

TEST_F(WriterTest, ShortAndFullFormsOfSets) {
  auto v = TIFuzzyVariable::Create("change_vc");
  v->SetMinimum(-1);
  auto nb = v->AddFuzzySet("NB");
  nb->AddPoint(-0.5, 1);
  nb->AddPoint(-0.25, 0);
  EXPECT_EQ(parser.FuzzySetToString(*nb, false), "NB");
  EXPECT_EQ(parser.FuzzySetToString(*nb, true), "(term NB ((-0.5000 1.0000) (-0.2500 0.0000) ))");
  nb->SetComment("negative big");
  EXPECT_EQ(parser.FuzzySetToString(*nb, true),
            "(term NB \"negative big\" ((-0.5000 1.0000) (-0.2500 0.0000) ))");

  // Without a usable name the full form is the shape alone, balanced and readable.
  auto blank = v->AddFuzzySet("__Empty");
  EXPECT_EQ(parser.FuzzySetToString(*blank, false), "");
  EXPECT_EQ(parser.FuzzySetToString(*blank, true), "__Empty");
  blank->SetTriangle(-0.5, 0, 0.5);
  const std::string shape = parser.FuzzySetToString(*blank, true);
  EXPECT_EQ(shape, "(tri -0.5000 0.0000 0.5000)");
  ExpectSamePoints(*blank, *parser.EvaluateExpression(v, shape), "unnamed set");

  TFuzzySet plain;
  plain.SetExpression("cold and hot");
  EXPECT_EQ(parser.FuzzySetToString(plain, false), "cold and hot");
  plain.SetName("__Empty");
  EXPECT_EQ(parser.FuzzySetToString(plain, false), "cold and hot");
  EXPECT_EQ(parser.FuzzySetToString(plain, true), "__Empty");
}

// Every shape the writer writes reads back as the same points, with the same number of
// curve points.
TEST_F(WriterTest, EveryShapeRoundTrips) {
  for (int count : {7, 8, 11}) {
    logic.SetNumFunctionValues(count);
    auto v = TIFuzzyVariable::Create("v");
    v->SetMinimum(-100);
    v->SetMaximum(100);
    std::vector<std::pair<std::string, std::function<void(IFuzzySet&)>>> shapes = {
        {"tri", [](IFuzzySet& s) { s.SetTriangle(1, 2.5, 7); }},
        {"z", [&](IFuzzySet& s) { s.SetCurve(count, false, 10, 35, 35); }},
        {"s", [&](IFuzzySet& s) { s.SetCurve(count, true, 37, 60, 60); }},
        {"pi", [&](IFuzzySet& s) { s.SetPICurveRange(count, 2, 36); }},
        {"pi3", [&](IFuzzySet& s) { s.SetPICurve(count, 30, 40, 33); }},
        {"beta", [&](IFuzzySet& s) { s.SetBetaCurve(count, 4, 10, 2); }},
        {"betaw", [&](IFuzzySet& s) { s.SetWeightedBetaCurve(count, 4, 10, 2, 3); }},
        {"betah", [&](IFuzzySet& s) { s.SetWeightedBetaCurve(count, 6, -5, 1.5, 0.25); }},
        {"points",
         [](IFuzzySet& s) {
           s.AddPoint(-0.5, 1);
           s.AddPoint(-0.25, 0.3);
           s.AddPoint(3, 0);
         }},
        {"empty", [](IFuzzySet&) {}},
    };
    for (const auto& [name, make] : shapes) {
      auto original = v->AddFuzzySet(name);
      make(*original);
      const std::string text = parser.FuzzySetToString(*original, true);
      auto copy = TIFuzzyVariable::Create("w");
      copy->SetMinimum(-100);
      copy->SetMaximum(100);
      auto back = parser.ParseFuzzySet(copy, text);
      ExpectSamePoints(*original, *back, text + " with " + IntToStr(count) + " points");
      EXPECT_EQ(back->GetSetType(), original->GetSetType()) << text;
      EXPECT_EQ(back->GetName(), name);
    }
  }
}

TEST_F(WriterTest, WholeVariablesRoundTrip) {
  logic.SetStrings(kDemoDefinitions);
  TZTFuzzyLogicParser second_parser;
  TIFuzzyLogic second;
  second_parser.SetFuzzyLogic(&second);
  second.SetParser(&second_parser);
  for (const char* name : {"outTemp", "outFlow", "change_vc"}) {
    auto original = Variable(name);
    second_parser.Parse(original->GetText());
    auto back = second.GetVariable(name);
    EXPECT_EQ(back->GetUnits(), original->GetUnits());
    EXPECT_EQ(back->GetMinimum(), original->GetMinimum());
    EXPECT_EQ(back->GetMaximum(), original->GetMaximum());
    ASSERT_EQ(back->GetFuzzySetCount(), original->GetFuzzySetCount()) << name;
    for (int i = 0; i < original->GetFuzzySetCount(); ++i) {
      auto term = original->GetFuzzySetAt(i);
      ExpectSamePoints(*term, *back->GetFuzzySet(term->GetName()), term->GetName());
    }
    // Written again, the text is the same.
    EXPECT_EQ(back->GetText(), original->GetText());
  }
  // The component's rebuilt text parses back into the same variables.
  Term("outTemp", "cold")->SetY(0, 0.9);
  const std::string rebuilt = logic.GetStrings().GetText();
  second.SetStrings(rebuilt);
  EXPECT_NEAR(second.GetVariable("outTemp")->GetFuzzySet("cold")->GetY(0), 0.9, 1e-4);
}

TEST(CollectionWriterTest, PlainVariablesRoundTrip) {
  TZTFuzzyLogicParser parser;
  TFuzzyLogic logic;
  parser.SetFuzzyLogic(&logic);
  logic.SetParser(&parser);
  logic.SetStrings(kDemoDefinitions);
  TFuzzyVariable* change = logic.GetVariable("change_vc");
  const std::string text = parser.FuzzyVariableToString(*change);
  EXPECT_NE(text.find("        (term NB ((-0.5000 1.0000) (-0.2500 0.0000) ))\r\n"),
            std::string::npos);
  // The terms come out in collection order.
  EXPECT_LT(text.find("(term NB"), text.find("(term NM"));
  EXPECT_LT(text.find("(term PM"), text.find("(term PB"));
  TZTFuzzyLogicParser second_parser;
  TFuzzyLogic second;
  second_parser.SetFuzzyLogic(&second);
  second.SetParser(&second_parser);
  second.SetStrings(logic.GetStrings());
  ASSERT_EQ(second.GetVariableCount(), 3);
  EXPECT_EQ(second_parser.FuzzyVariableToString(*second.GetVariable("outTemp")),
            parser.FuzzyVariableToString(*logic.GetVariable("outTemp")));
}

}  // namespace
}  // namespace tapwise::testing
