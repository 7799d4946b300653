#include "tapwise/fuzzy/InterfacedFuzzySet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fuzzy/FakeFuzzyLogicParser.h"
#include "support/ExpectThrow.h"
#include "support/LiveObjectGuard.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/InterfacedFuzzyVariable.h"

namespace tapwise {
namespace {

using testing::LiveObjectGuard;

IntfPtr<IFuzzyVariable> MakeVariable(const std::string& name, TFzyFloat minimum,
                                     TFzyFloat maximum) {
  IntfPtr<TIFuzzyVariable> variable = TIFuzzyVariable::Create(name);
  variable->SetMaximum(maximum);
  variable->SetMinimum(minimum);
  return variable;
}

std::string Points(const IFuzzySet& set) {
  return set.ValuesText();
}

TEST(InterfacedFuzzySet, AddPointReturnsTheAppendPositionAndKeepsPointsSortedAndBounded) {
  LiveObjectGuard guard;
  IntfPtr<IFuzzyVariable> variable = MakeVariable("v", 0, 10);
  IntfPtr<IFuzzySet> set = variable->AddFuzzySet("ramp");
  set->Clear();
  EXPECT_EQ(set->AddPoint(8, 0), 0);
  EXPECT_EQ(set->AddPoint(5, 1), 1);
  EXPECT_EQ(set->AddPoint(2, 0), 2);
  EXPECT_EQ(Points(*set), "((2.0000 0.0000) (5.0000 1.0000) (8.0000 0.0000) )");

  set->Clear();
  set->AddPoint(1, -0.5);
  set->AddPoint(12, 1);
  EXPECT_EQ(Points(*set), "((1.0000 0.0000) (10.0000 1.0000) )");
  EXPECT_EQ(set->InsertPoint(1, 4, 0.5), 1);
  EXPECT_EQ(Points(*set), "((1.0000 0.0000) (4.0000 0.5000) (10.0000 1.0000) )");
  set->DeletePoint(0);
  EXPECT_EQ(set->GetCount(), 2);
}

TEST(InterfacedFuzzySet, UniverseComesFromTheVariableOrThePoints) {
  LiveObjectGuard guard;
  IntfPtr<IFuzzySet> loose = TIFuzzySet::Create(nullptr, "loose");
  EXPECT_EQ(loose->GetMaxX(), 2147483647.0);
  EXPECT_EQ(loose->GetMinX(), -2147483647.0);
  loose->AddPoint(-3, 0);
  loose->AddPoint(7, 1);
  EXPECT_EQ(loose->GetMinX(), -3);
  EXPECT_EQ(loose->GetMaxX(), 7);

  IntfPtr<IFuzzyVariable> variable = MakeVariable("v", 5, 65);
  loose->SetVariable(variable);
  EXPECT_EQ(loose->GetMinX(), 5);
  EXPECT_EQ(loose->GetMaxX(), 65);
  EXPECT_EQ(loose->AsFuzzySet().GetXRange(0), 65);
  EXPECT_EQ(loose->AsFuzzySet().GetXRange(1), 5);
  EXPECT_THROW_MSG((void)loose->AsFuzzySet().GetXRange(2), EFzyException,
                   "Invalid index argument to GetXRange.  Index = 2");
  // Not defined, so linking did not store it.
  EXPECT_EQ(variable->GetFuzzySetCount(), 0);
}

TEST(InterfacedFuzzySet, DefaultShapesSpanTheVariableWithSevenPoints) {
  LiveObjectGuard guard;
  IntfPtr<IFuzzyVariable> variable = MakeVariable("v", 0, 60);
  variable->SetNumFunctionValues(11);
  variable->SetDefuzzificationMethod(dmMeanOfMaxima);
  IntfPtr<IFuzzySet> set = variable->AddFuzzySet("s");
  set->SetSetType(fstGrowthCurve);
  EXPECT_EQ(set->GetSetType(), fstGrowthCurve);
  EXPECT_EQ(set->GetCount(), 7);
  EXPECT_GE(set->GetX(0), 0);
  EXPECT_LE(set->GetX(6), 60);
  EXPECT_EQ(set->Defuzzify(), set->CenterOfGravity());
}

TEST(InterfacedFuzzySet, RenameRekeysTheStoredTermAndAReservedWordLeavesItWhereItWas) {
  LiveObjectGuard guard;
  IntfPtr<IFuzzyVariable> variable = MakeVariable("temp", 0, 100);
  IntfPtr<IFuzzySet> cold = variable->AddFuzzySet("cold");
  cold->SetName("chilly");
  IntfPtr<IFuzzySet> found;
  EXPECT_FALSE(variable->TryGetFuzzySet("cold", found));
  ASSERT_TRUE(variable->TryGetFuzzySet("chilly", found));
  EXPECT_EQ(found, cold);
  EXPECT_EQ(variable->GetFuzzySetCount(), 1);

  EXPECT_THROW_MSG(cold->SetName("very"), EFzyException,
                   "Invalid fuzzy set name, \"very\" is a reserved word");
  EXPECT_EQ(cold->GetName(), "chilly");
  EXPECT_EQ(variable->GetFuzzySet("chilly"), cold);
  // A new set is refused such a name before it is linked to its variable.
  EXPECT_THROW_MSG(TIFuzzySet::Create(variable, "very"), EFzyException,
                   "Invalid fuzzy set name, \"very\" is a reserved word");
  EXPECT_EQ(variable->GetFuzzySetCount(), 1);
}

TEST(InterfacedFuzzySet, CloneCopiesEverythingButIsNotStored) {
  LiveObjectGuard guard;
  IntfPtr<IFuzzyVariable> variable = MakeVariable("temp", 0, 100);
  IntfPtr<IFuzzySet> warm = variable->AddFuzzySet("warm");
  warm->SetPICurve(7, 20, 40, 30);
  warm->SetExpression("warm");
  IntfPtr<IFuzzySet> copy = Supports<IFuzzySet>(warm->Clone());
  ASSERT_TRUE(copy);
  EXPECT_NE(copy, warm);
  EXPECT_EQ(copy->GetName(), "warm");
  EXPECT_EQ(Points(*copy), Points(*warm));
  EXPECT_EQ(copy->GetSetType(), fstPICurve);
  EXPECT_EQ(copy->GetExpression(), "warm");
  EXPECT_EQ(copy->GetVariable(), variable);
  EXPECT_FALSE(copy->GetDefined());
  EXPECT_EQ(variable->GetFuzzySet("warm"), warm);
  EXPECT_EQ(variable->GetFuzzySetCount(), 1);
  // Renaming the copy, which shares the stored term's name, leaves the term where it is.
  copy->SetName("mild");
  EXPECT_EQ(variable->GetFuzzySet("warm"), warm);
  IntfPtr<IFuzzySet> found;
  EXPECT_FALSE(variable->TryGetFuzzySet("mild", found));
  EXPECT_EQ(variable->GetFuzzySetCount(), 1);
}

TEST(InterfacedFuzzySet, CopyForVariableCopiesOnlyThePoints) {
  LiveObjectGuard guard;
  testing::FakeFuzzyLogicParser parser;
  IntfPtr<IFuzzyVariable> source = MakeVariable("a", 0, 10);
  IntfPtr<IFuzzyVariable> target = MakeVariable("b", 0, 10);
  target->SetParser(IntfPtr<IFuzzyParser>(&parser));
  IntfPtr<IFuzzySet> triangle = source->AddFuzzySet("mid");
  triangle->SetTriangle(2, 5, 8);
  ASSERT_EQ(triangle->GetSetType(), fstTriangle);

  IntfPtr<IFuzzySet> copy = triangle->CopyForVariable(target);
  EXPECT_EQ(copy->GetName(), "mid");
  EXPECT_EQ(copy->GetSetType(), fstUserDefined);
  EXPECT_EQ(Points(*copy), Points(*triangle));
  EXPECT_EQ(copy->GetVariable(), target);
  EXPECT_EQ(copy->GetParser().Get(), &parser);
  EXPECT_EQ(target->GetFuzzySetCount(), 0);
}

TEST(InterfacedFuzzySet, AssignFromAnInterfaceTakesPointsAndTypeButNotTheName) {
  LiveObjectGuard guard;
  IntfPtr<IFuzzyVariable> variable = MakeVariable("v", 0, 100);
  IntfPtr<IFuzzySet> bell = variable->AddFuzzySet("bell");
  bell->SetBetaCurve(7, 20, 50, 10);
  bell->SetComment("source comment");
  IntfPtr<IFuzzySet> target = TIFuzzySet::Create(nullptr, "target");
  target->AssignFromInterface(bell);
  EXPECT_EQ(Points(*target), Points(*bell));
  EXPECT_EQ(target->GetSetType(), fstBetaCurve);
  EXPECT_EQ(target->GetInflectionPoint(), bell->GetInflectionPoint());
  EXPECT_EQ(target->GetName(), "target");
  EXPECT_EQ(target->GetComment(), "");
  EXPECT_EQ(target->GetVariable(), variable);
  EXPECT_FALSE(target->GetDefined());
  EXPECT_EQ(variable->GetFuzzySetCount(), 1);

  // A source that is no fuzzy set is ignored.
  target->AssignFromInterface(variable);
  EXPECT_EQ(target->GetSetType(), fstBetaCurve);
}

TEST(InterfacedFuzzySet, PersistentAssignOfAStoredTermRekeysIt) {
  LiveObjectGuard guard;
  IntfPtr<IFuzzyVariable> variable = MakeVariable("v", 0, 10);
  IntfPtr<IFuzzySet> low = variable->AddFuzzySet("low");
  IntfPtr<IFuzzySet> other = TIFuzzySet::Create(variable, "high");
  other->SetTriangle(5, 10, 10);
  low->Assign(other->AsFuzzySet());
  EXPECT_EQ(low->GetName(), "high");
  EXPECT_EQ(variable->GetFuzzySet("high"), low);
  IntfPtr<IFuzzySet> gone;
  EXPECT_FALSE(variable->TryGetFuzzySet("low", gone));
  EXPECT_EQ(low->GetSetType(), fstTriangle);
}

TEST(InterfacedFuzzySet, OperationsMakeUnstoredSetsOfTheSameVariable) {
  LiveObjectGuard guard;
  IntfPtr<IFuzzyVariable> variable = MakeVariable("v", 0, 10);
  IntfPtr<IFuzzySet> a = variable->AddFuzzySet("A");
  a->AddPoint(0, 0);
  a->AddPoint(10, 1);
  IntfPtr<IFuzzySet> b = variable->AddFuzzySet("B");
  b->AddPoint(0, 1);
  b->AddPoint(10, 0);

  IntfPtr<IFuzzySet> both = a->Intersection(*b);
  EXPECT_EQ(Points(*both), "((0.0000 0.0000) (5.0000 0.5000) (10.0000 0.0000) )");
  EXPECT_EQ(both->GetVariable(), variable);
  EXPECT_NE(dynamic_cast<TIFuzzySet*>(both.Get()), nullptr);
  EXPECT_EQ(variable->GetFuzzySetCount(), 2);
  EXPECT_DOUBLE_EQ(a->MatchDegree(*b), 0.5);
  EXPECT_DOUBLE_EQ(a->MatchDegree(IntfPtr<IInterface>(b)), 0.5);
  EXPECT_EQ(a->MatchDegree(IntfPtr<IInterface>(variable)), 0);

  // In-place modifiers hand back the set itself.
  EXPECT_EQ(a->Correlate(false, 0.4), a);
  EXPECT_EQ(a->GetMaximumYValue(), 0.4);
  EXPECT_EQ(a->ApplyHedge(0), a);
}

// A result is made as a copy of the first operand whose points are then replaced.
TEST(InterfacedFuzzySet, DerivedSetsKeepTheFirstOperandsInflectionPoint) {
  LiveObjectGuard guard;
  IntfPtr<IFuzzyVariable> variable = MakeVariable("v", 0, 100);
  IntfPtr<IFuzzySet> bell = variable->AddFuzzySet("bell");
  bell->SetBetaCurve(7, 20, 50, 10);
  ASSERT_EQ(bell->GetInflectionPoint(), 10);
  IntfPtr<IFuzzySet> other = variable->AddFuzzySet("other");
  other->SetTriangle(0, 50, 100);

  const std::vector<IntfPtr<IFuzzySet>> derived = {
      bell->Intersection(*other, foProduct), bell->Union(*other),
      bell->Aggregate(*other, fimMean, false), bell->CombineWithValue(true, 0.3),
      bell->AlphaCut(false, 0.5)};
  for (const IntfPtr<IFuzzySet>& set : derived)
    EXPECT_EQ(set->GetInflectionPoint(), 10) << set->GetName();
  EXPECT_EQ(other->Union(*bell)->GetInflectionPoint(), 0);

  // The alpha cut is named by the level asked for, unclamped.
  EXPECT_EQ(derived.back()->GetName(), "bell (alpha=0.5000)");
  EXPECT_EQ(bell->AlphaCut(true, 1.5)->GetName(), "bell (alpha=1.5000)");
  EXPECT_EQ(variable->GetFuzzySetCount(), 2);
}

TEST(InterfacedFuzzySet, IsEqualComparesAgainstTheVariableThreshold) {
  LiveObjectGuard guard;
  IntfPtr<IFuzzyVariable> variable = MakeVariable("v", 0, 10);
  variable->SetThreshold(0.6);
  IntfPtr<IFuzzySet> a = variable->AddFuzzySet("A");
  a->SetTriangle(0, 2, 4);
  IntfPtr<IFuzzySet> b = variable->AddFuzzySet("B");
  b->SetTriangle(2, 4, 6);  // crosses A at 0.5
  IntfPtr<IFuzzySet> c = variable->AddFuzzySet("C");
  c->SetTriangle(1, 2.5, 4);
  EXPECT_FALSE(a->IsEqual(b));
  EXPECT_TRUE(a->IsEqual(c));
  EXPECT_FALSE(a->IsEqual(variable));

  IntfPtr<IFuzzySet> loose = TIFuzzySet::Create(nullptr, "loose");
  EXPECT_THROW_MSG(
      loose->IsEqual(a), EFzyException,
      "Cannot test fuzzy set \"loose\" against a threshold: it belongs to no variable");
}

TEST(InterfacedFuzzySet, ReportsPointChangesToItsVariableAndAsksItsParserForText) {
  LiveObjectGuard guard;
  testing::FakeFuzzyLogicParser parser;
  IntfPtr<IFuzzyVariable> variable = MakeVariable("v", 0, 10);
  int changes = 0;
  variable->SetOnFuzzySetChange([&](IFuzzyVariable& sender, IFuzzySet& set) {
    EXPECT_EQ(&sender, variable.Get());
    EXPECT_EQ(set.GetName(), "t");
    ++changes;
  });
  IntfPtr<IFuzzySet> term = variable->AddFuzzySet("t");
  changes = 0;
  term->AddPoint(1, 1);
  EXPECT_GE(changes, 1);
  const int before = changes;
  term->SetY(0, 0.5);
  EXPECT_GT(changes, before);

  EXPECT_EQ(term->GetText(), "(t (1.0000 0.5000) )");
  variable->SetParser(IntfPtr<IFuzzyParser>(&parser));
  EXPECT_EQ(term->GetParser().Get(), &parser);
  EXPECT_EQ(term->GetText(), "short t");
}

// A descendant set class: everything a set makes of itself must be of this class.
class TTaggedSet : public TIFuzzySet {
 public:
  static IntfPtr<TIFuzzySet> Create(const IntfPtr<IFuzzyVariable>& variable,
                                    const std::string& name) {
    IntfPtr<TTaggedSet> set(new TTaggedSet());
    set->Initialize(variable, name);
    return set;
  }
  std::string ClassName() const override { return "TTaggedSet"; }
  IntfPtr<TIFuzzySet> CreateSet(const IntfPtr<IFuzzyVariable>& variable,
                                const std::string& name) const override {
    return Create(variable, name);
  }
};

TEST(InterfacedFuzzySet, SetsOfADescendantClassMakeSetsOfThatClass) {
  LiveObjectGuard guard;
  IntfPtr<TIFuzzyVariable> variable = TIFuzzyVariable::Create("v");
  variable->SetFuzzySetClass(&TTaggedSet::Create);
  IntfPtr<IFuzzySet> a = variable->AddFuzzySet("a");
  a->SetTriangle(0, 0.5, 1);
  auto is_tagged = [](const IntfPtr<IFuzzySet>& set) {
    return dynamic_cast<TTaggedSet*>(set.Get()) != nullptr;
  };
  EXPECT_TRUE(is_tagged(a));
  EXPECT_TRUE(is_tagged(Supports<IFuzzySet>(a->Clone())));
  EXPECT_TRUE(is_tagged(a->CopyForVariable(variable)));
  EXPECT_TRUE(is_tagged(a->Union(*a)));
  EXPECT_TRUE(is_tagged(a->AlphaCut(false, 0.5)));
  EXPECT_TRUE(is_tagged(variable->ApplyRule(a, nullptr, 0.5)));
}

TEST(InterfacedFuzzySet, DroppingTheLastReferenceFreesAnUnstoredSet) {
  LiveObjectGuard guard;
  {
    IntfPtr<IFuzzySet> set = TIFuzzySet::Create(nullptr, "scratch");
    set->AddPoint(0, 1);
    EXPECT_EQ(guard.Alive(), 1);
  }
  EXPECT_EQ(guard.Alive(), 0);
}

// The point list lives in the set itself: it names the set as its owner, reports to it, and
// goes with it, also when the set is the last term its variable lets go.
TEST(InterfacedFuzzySet, PointListBelongsToTheSetAndGoesWithIt) {
  LiveObjectGuard guard;
  {
    IntfPtr<TIFuzzyVariable> variable = TIFuzzyVariable::Create("v");
    variable->SetMaximum(10);
    IntfPtr<IFuzzySet> term = variable->AddFuzzySet("a");
    TIFuzzySet& set = static_cast<TIFuzzySet&>(term->AsFuzzySet());
    EXPECT_EQ(&set.GetIFSValues(), &set.GetValues());
    EXPECT_EQ(set.GetValues().GetFuzzySet(), &set);
    std::vector<std::string> changed;
    variable->SetOnFuzzySetChange(
        [&](IFuzzyVariable&, IFuzzySet& s) { changed.push_back(s.ValuesText()); });
    set.GetValues().AddPoint(12, 1);  // bounded by the variable's universe through the set
    EXPECT_EQ(changed, (std::vector<std::string>{"((10.0000 1.0000) )"}));
    term->SetTriangle(1, 2, 3);
    EXPECT_EQ(Points(*set.CloneSet()), "((1.0000 0.0000) (2.0000 1.0000) (3.0000 0.0000) )");
    term = nullptr;
    EXPECT_EQ(guard.Alive(), 2);
  }
  EXPECT_EQ(guard.Alive(), 0);
}

// A variable hands its parser to every term, whether its terms are few and all of the
// library's own class or not, and takes it back from all of them; the parser counts each
// link once.
TEST(InterfacedFuzzySet, EveryTermTakesTheVariablesParser) {
  LiveObjectGuard guard;
  testing::FakeFuzzyLogicParser parser;
  for (const int count : {12, 20}) {
    for (const bool tagged : {false, true}) {
      IntfPtr<TIFuzzyVariable> variable = TIFuzzyVariable::Create("v");
      std::vector<IntfPtr<IFuzzySet>> terms;
      for (int i = 0; i < count; ++i) {
        if (tagged && i == 7) variable->SetFuzzySetClass(&TTaggedSet::Create);
        terms.push_back(variable->AddFuzzySet("t" + std::to_string(i)));
      }
      variable->SetParser(IntfPtr<IFuzzyParser>(&parser));
      EXPECT_EQ(variable->GetParser().Get(), &parser);
      for (const auto& term : terms)
        EXPECT_EQ(term->GetParser().Get(), &parser) << term->GetName();
      // The variable and each term.
      EXPECT_EQ(parser.RefCount(), count + 1);
      variable->SetParser(nullptr);
      for (const auto& term : terms)
        EXPECT_FALSE(term->GetParser()) << term->GetName();
      EXPECT_EQ(parser.RefCount(), 0);
    }
  }
}

}  // namespace
}  // namespace tapwise
