#include "tapwise/fuzzy/FuzzySet.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FuzzySetTestSets.h"
#include "FuzzySetTestVariable.h"
#include "support/ExpectThrow.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise {
namespace {

using testing::PointsOf;
using testing::SetPoints;
using testing::TestVariable;

TEST(FuzzySet, MembershipIsLinearBetweenPointsAndFlatBeyondThem) {
  TFuzzySet set;
  EXPECT_EQ(set.GetMembership(3), 0);
  set.AddPoint(0, 0);
  set.AddPoint(10, 1);
  EXPECT_EQ(set.GetMembership(2.5), 0.25);
  EXPECT_EQ(set.GetMembership(-5), 0);
  EXPECT_EQ(set.GetMembership(20), 1);
  // A vertical edge answers its top exactly at its X, from either end of the list.
  set.AddPoint(10, 0.2);
  EXPECT_EQ(set.GetMembership(10), 1);
  EXPECT_EQ(set.GetMembership(11), 0.2);
  set.Clear();
  set.AddPoint(0, 0.3);
  set.AddPoint(0, 0.8);
  set.AddPoint(4, 0);
  EXPECT_EQ(set.GetMembership(0), 0.8);
  EXPECT_EQ(set.GetMembership(-1), 0.3);
}

TEST(FuzzySet, NamesAreCheckedAgainstTheReservedWords) {
  TFuzzySet set;
  set.SetName("cold");
  for (const char* word : {"very", ">=", "or-sum", "*X"}) {
    EXPECT_THROW_MSG(set.SetName(word), EFzyException,
                     std::string("Invalid fuzzy set name, \"") + word + "\" is a reserved word");
    EXPECT_EQ(set.GetName(), "cold");
  }
  set.SetName("Very");
  set.SetName("very cold");
  EXPECT_EQ(set.GetDisplayName(), "very cold");
  set.SetName("");
  EXPECT_EQ(set.GetDisplayName(), "TFuzzySet");
}

TEST(FuzzySet, TextForms) {
  TFuzzySet set;
  set.SetName("cold");
  set.AddPoint(0, 1);
  set.AddPoint(10, 0);
  EXPECT_EQ(set.ValuesText(), "((0.0000 1.0000) (10.0000 0.0000) )");
  EXPECT_EQ(set.GetText(), "(cold (0.0000 1.0000) (10.0000 0.0000) )");
  set.Clear();
  EXPECT_EQ(set.ValuesText(), "()");

  TestVariable variable(0, 10);
  TFuzzySet& term = variable.AddTerm("hot");
  EXPECT_EQ(term.GetText(), "(hot )");
  variable.HasParser = true;
  EXPECT_EQ(term.GetText(), "parsed hot");
}

TEST(FuzzySet, UniverseComesFromTheVariable) {
  TFuzzySet set;
  EXPECT_EQ(set.GetXRange(0), 2147483647.0);
  EXPECT_EQ(set.GetXRange(1), -2147483647.0);
  EXPECT_THROW_MSG(set.GetXRange(2), EFzyException,
                   "Invalid index argument to GetXRange.  Index = 2");
  TestVariable variable(5, 65);
  TFuzzySet& term = variable.AddTerm("t");
  EXPECT_EQ(term.GetXRange(0), 65);
  EXPECT_EQ(term.GetXRange(1), 5);
  EXPECT_EQ(term.GetFuzzyVariable(), &variable);
  EXPECT_EQ(set.GetFuzzyVariable(), nullptr);
  EXPECT_EQ(set.GetSettings().NumFunctionValues, 7);

  // A term moved to another variable, or taken out of its collection, follows at once.
  TestVariable narrow(0, 10);
  term.SetCollection(&narrow.Terms);
  EXPECT_EQ(term.GetXRange(0), 10);
  EXPECT_EQ(term.GetFuzzyVariable(), &narrow);
  std::unique_ptr<TGCollectionItem> taken = narrow.Terms.Extract(term);
  EXPECT_EQ(term.GetFuzzyVariable(), nullptr);
  EXPECT_EQ(term.GetXRange(0), 2147483647.0);
}

TEST(FuzzySet, DefaultShapesSpreadOverTheUniverse) {
  TestVariable variable(0, 60);
  TFuzzySet& set = variable.AddTerm("t");
  set.SetSetType(fstTriangle);
  EXPECT_EQ(set.ValuesText(), "((10.0000 0.0000) (30.0000 1.0000) (50.0000 0.0000) )");
  EXPECT_EQ(set.GetSetType(), fstTriangle);
  set.SetSetType(fstGrowthCurve);
  EXPECT_EQ(set.GetCount(), 7);
  EXPECT_DOUBLE_EQ(set.GetX(0), 20);
  EXPECT_DOUBLE_EQ(set.GetX(6), 40);
  EXPECT_DOUBLE_EQ(set.GetInflectionPoint(), 30);
  set.SetSetType(fstDeclineCurve);
  EXPECT_EQ(set.GetY(0), 1);
  set.SetSetType(fstPICurve);
  EXPECT_DOUBLE_EQ(set.GetX(0), 10);
  EXPECT_EQ(set.GetMembership(30), 1);
  set.SetSetType(fstBetaCurve);
  EXPECT_DOUBLE_EQ(set.GetInflectionPoint(), 5);
  EXPECT_DOUBLE_EQ(set.GetX(0), 10);
  EXPECT_EQ(set.GetMembership(30), 1);
  EXPECT_DOUBLE_EQ(set.GetY(0), 1.0 / 17);  // 20 away at inflection 5
  EXPECT_EQ(set.GetSetType(), fstBetaCurve);

  TestVariable shifted(5, 65);
  TFuzzySet& other = shifted.AddTerm("t");
  other.SetSetType(fstTriangle);
  EXPECT_EQ(other.ValuesText(), "((15.0000 0.0000) (35.0000 1.0000) (55.0000 0.0000) )");

  // The curves sample as many points as the component asks for.
  shifted.Settings.NumFunctionValues = 5;
  other.SetSetType(fstGrowthCurve);
  EXPECT_EQ(other.GetCount(), 5);

  // A universe of one value has no room for a bell: refused before the points go.
  TestVariable point(3, 3);
  TFuzzySet& crisp = point.AddTerm("c");
  crisp.SetCrispValue(3);
  EXPECT_THROW_MSG(crisp.SetSetType(fstBetaCurve), EZeroDivide,
                   "Division by zero in SetSetType: InflectionPoint is 0");
  EXPECT_EQ(crisp.GetCount(), 3);
}

TEST(FuzzySet, EditingThePointsMakesTheSetUserDefined) {
  TestVariable variable(0, 60);
  TFuzzySet& set = variable.AddTerm("t");
  set.SetTriangle(0, 5, 10);
  set.SetExpression("very t");
  const int updates = variable.Terms.ItemUpdates;
  set.GetValues().GetPoint(1)->SetY(0.5);
  EXPECT_EQ(set.GetSetType(), fstUserDefined);
  EXPECT_EQ(set.GetExpression(), "");
  EXPECT_GT(variable.Terms.ItemUpdates, updates);  // the variable hears of the change

  set.SetTriangle(0, 5, 10);
  set.BeginUpdate();
  set.AddPoint(20, 0);
  EXPECT_EQ(set.GetSetType(), fstTriangle);  // decided at the end of the block
  set.EndUpdate();
  EXPECT_EQ(set.GetSetType(), fstUserDefined);
}

TEST(FuzzySet, AssignCopiesShapeAndExpressionButNotTheTermFields) {
  TFuzzySet triangle;
  triangle.SetName("warm");
  triangle.SetTriangle(0, 5, 10);
  triangle.SetExpression("warm");
  triangle.SetComment("source");
  triangle.SetTag(4);
  triangle.SetDefined(true);
  TFuzzySet copy;
  copy.SetComment("mine");
  copy.Assign(triangle);
  EXPECT_EQ(copy.GetName(), "warm");
  EXPECT_EQ(copy.ValuesText(), triangle.ValuesText());
  EXPECT_EQ(copy.GetSetType(), fstTriangle);
  EXPECT_EQ(copy.GetExpression(), "warm");
  EXPECT_EQ(copy.GetComment(), "mine");
  EXPECT_EQ(copy.GetTag(), 0);
  EXPECT_FALSE(copy.GetDefined());

  TFuzzySetValues other;
  EXPECT_THROW_MSG(copy.Assign(other), EConvertError,
                   "Cannot assign a TFuzzySetValues to a TFuzzySet");
}

TEST(FuzzySet, CloneIsCreatedInTheSameTermCollection) {
  TestVariable variable(0, 60);
  TFuzzySet& set = variable.AddTerm("hot");
  set.SetCurve(5, true, 30, 50, 40);
  TFuzzySet* clone = set.Clone();
  EXPECT_EQ(variable.Terms.GetCount(), 2);
  EXPECT_EQ(clone->GetCollection(), &variable.Terms);
  EXPECT_EQ(clone->GetName(), "hot");
  EXPECT_EQ(clone->ValuesText(), set.ValuesText());
  EXPECT_EQ(clone->GetSetType(), fstGrowthCurve);
  EXPECT_EQ(clone->GetInflectionPoint(), 40);

  TFuzzySet loose;
  loose.SetName("loose");
  EXPECT_THROW_MSG(loose.Clone(), EFzyException,
                   "Cannot clone fuzzy set \"loose\": it belongs to no term collection");
}

TEST(FuzzySet, CloneKeepsPointsBeyondTheDefaultUniverse) {
  // A clone used to be filled before it joined the collection, so its points were clamped to
  // the universe of a set of no variable (+-2147483647) rather than its variable's.
  TestVariable variable(-1e12, 1e12);
  TFuzzySet& set = variable.AddTerm("far");
  SetPoints(set, {{-5e9, 0}, {0, 1}, {5e9, 0}});
  TFuzzySet* clone = set.Clone();
  EXPECT_EQ(PointsOf(*clone), PointsOf(set));
  EXPECT_EQ(clone->GetX(0), -5e9);
}

TEST(FuzzySet, AverageDegreeIsZeroForAnEmptySet) {
  TFuzzySet set;
  EXPECT_EQ(set.GetAverageY(), 0);
  set.AddPoint(0, 0);
  set.AddPoint(1, 1);
  EXPECT_EQ(set.GetAverageY(), 0.5);
}

}  // namespace
}  // namespace tapwise
