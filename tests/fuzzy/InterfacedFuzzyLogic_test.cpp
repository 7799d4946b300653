#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "FakeFuzzyLogicParser.h"
#include "support/ExpectThrow.h"
#include "support/LiveObjectGuard.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/InterfacedFuzzySet.h"
#include "tapwise/fuzzy/InterfacedFuzzyVariable.h"

namespace tapwise {
namespace {

using testing::FakeFuzzyLogicParser;
using testing::LiveObjectGuard;

std::string PointsOf(const IFuzzySet& set) {
  std::string text;
  for (int i = 0; i < set.GetCount(); ++i) {
    text += "(" + FloatToStr(set.GetX(i)) + " " + FloatToStr(set.GetY(i)) + ")";
  }
  return text;
}

// A component linked both ways to a fake parser.
struct Linked {
  Linked() {
    parser.SetFuzzyLogic(&logic);
    logic.SetParser(&parser);
  }
  FakeFuzzyLogicParser parser;
  TIFuzzyLogic logic;
};

TEST(FuzzyLogicComponent, StartsWithItsDefaults) {
  TIFuzzyLogic logic;
  EXPECT_DOUBLE_EQ(logic.GetThreshold(), 0.01);
  EXPECT_TRUE(logic.GetAutoTerms());
  EXPECT_EQ(logic.GetNumFunctionValues(), 7);
  EXPECT_EQ(logic.GetDefuzzificationMethod(), dmCenterOfGravity);
  EXPECT_EQ(logic.GetCorrelationMethod(), fcmMinimum);
  EXPECT_EQ(logic.GetInferenceMethod(), fimMinMax);
  EXPECT_EQ(logic.GetParser(), nullptr);
  EXPECT_EQ(logic.GetVariableCount(), 0);
  EXPECT_FALSE(logic.IsModified());
  EXPECT_EQ(logic.GetVariableClass(), &TIFuzzyVariable::Create);
  logic.GetVariables().Add("*coldTemp*=20.0");
  EXPECT_EQ(logic.GetVariables().GetValue("*COLDTEMP*"), "20.0");
}

TEST(FuzzyLogicComponent, ClampsSettingsAndHandsTheThresholdToEveryVariable) {
  Linked linked;
  TIFuzzyLogic& logic = linked.logic;
  logic.SetStrings("a 0 1\nb 0 1");
  EXPECT_DOUBLE_EQ(logic.GetVariable("a")->GetThreshold(), 0.01);
  logic.SetThreshold(5);
  EXPECT_DOUBLE_EQ(logic.GetThreshold(), 1.0);
  EXPECT_DOUBLE_EQ(logic.GetVariable("a")->GetThreshold(), 1.0);
  EXPECT_DOUBLE_EQ(logic.GetVariable("b")->GetThreshold(), 1.0);
  logic.SetThreshold(-1);
  EXPECT_DOUBLE_EQ(logic.GetThreshold(), 0.0);
  EXPECT_DOUBLE_EQ(logic.GetVariable("b")->GetThreshold(), 0.0);
  logic.SetThreshold(0.4);
  logic.SetStrings("c 0 1");
  EXPECT_DOUBLE_EQ(logic.GetVariable("c")->GetThreshold(), 0.4);

  logic.SetNumFunctionValues(0);
  EXPECT_EQ(logic.GetNumFunctionValues(), 2);
  logic.SetNumFunctionValues(1);
  EXPECT_EQ(logic.GetNumFunctionValues(), 2);
  logic.SetNumFunctionValues(11);
  EXPECT_EQ(logic.GetNumFunctionValues(), 11);
  EXPECT_EQ(logic.GetVariable("c")->GetNumFunctionValues(), 7);
  EXPECT_EQ(logic.GetSettings().NumFunctionValues, 11);
}

TEST(FuzzyLogicComponent, StringsWithoutParserAreKeptButNotParsed) {
  Linked linked;
  TIFuzzyLogic& logic = linked.logic;
  logic.SetStrings("a 0 1");
  EXPECT_TRUE(logic.GetVariable("a")->GetParser());
  logic.SetParser(nullptr);
  // The variables no longer reach the parser the component let go of.
  EXPECT_FALSE(logic.GetVariable("a")->GetParser());
  EXPECT_THROW_MSG(logic.SetStrings("b 0 1"), EFzyException, "Parser not assigned.  Cannot parse");
  EXPECT_EQ(logic.GetStrings().GetText(), "b 0 1\r\n");
  EXPECT_EQ(logic.GetVariableCount(), 1);
  EXPECT_TRUE(logic.GetVariable("a"));
  EXPECT_THROW_MSG(logic.RebuildStrings(), EFzyException, "Parser not assigned.  Cannot parse");
}

TEST(FuzzyLogicComponent, ParserLinkIsClearedWhenTheParserGoes) {
  LiveObjectGuard guard;
  auto parser = std::make_unique<FakeFuzzyLogicParser>();
  TIFuzzyLogic logic;
  parser->SetFuzzyLogic(&logic);
  logic.SetParser(parser.get());
  logic.SetStrings("a 0 1 cold");
  IntfPtr<IFuzzyVariable> a = logic.GetVariable("a");
  EXPECT_TRUE(a->GetParser());
  parser.reset();
  EXPECT_EQ(logic.GetParser(), nullptr);
  // The variables and their terms no longer reach the parser.
  EXPECT_FALSE(a->GetParser());
  EXPECT_FALSE(a->GetFuzzySet("cold")->GetParser());
  EXPECT_EQ(a->GetText(), "a");
}

TEST(FuzzyLogicComponent, AddsTheAutomaticTermsWhereMissing) {
  LiveObjectGuard guard;
  Linked linked;
  TIFuzzyLogic& logic = linked.logic;
  logic.SetStrings("outTemp 5 65\nv 0 10 low");
  IntfPtr<IFuzzyVariable> out = logic.GetVariable("outTemp");
  ASSERT_EQ(out->GetFuzzySetCount(), 3);
  EXPECT_EQ(PointsOf(*out->GetFuzzySet("low")), "(5 1)(65 0)");
  EXPECT_EQ(PointsOf(*out->GetFuzzySet("medium")), "(5 0)(35 1)(65 0)");
  EXPECT_EQ(out->GetFuzzySet("medium")->GetSetType(), fstTriangle);
  EXPECT_EQ(PointsOf(*out->GetFuzzySet("high")), "(5 0)(65 1)");
  EXPECT_EQ(out->GetFuzzySet("low")->GetExpression(), "low");
  EXPECT_EQ(out->GetFuzzySet("medium")->GetExpression(), "medium");
  EXPECT_EQ(out->GetFuzzySet("high")->GetExpression(), "high");
  // The declared "low" (a rising ramp) stays.
  IntfPtr<IFuzzyVariable> v = logic.GetVariable("v");
  EXPECT_EQ(v->GetFuzzySetCount(), 3);
  EXPECT_EQ(PointsOf(*v->GetFuzzySet("low")), "(0 0)(10 1)");

  logic.SetAutoTerms(false);
  logic.SetStrings("w 0 10 cold");
  EXPECT_EQ(logic.GetVariable("w")->GetFuzzySetCount(), 1);
}

TEST(FuzzyLogicComponent, RegeneratesStringsOnlyWhenModified) {
  Linked linked;
  TIFuzzyLogic& logic = linked.logic;
  FakeFuzzyLogicParser& parser = linked.parser;
  logic.SetAutoTerms(false);
  logic.SetStrings("a 0 10 cold");
  EXPECT_FALSE(logic.IsModified());
  EXPECT_EQ(logic.GetStrings().GetText(), "a 0 10 cold\r\n");
  EXPECT_EQ(parser.Writes, 0);

  logic.GetVariable("a")->GetFuzzySet("cold")->SetY(0, 0.5);
  EXPECT_TRUE(logic.IsModified());
  EXPECT_EQ(logic.GetStrings().GetText(), "a 0 10 cold\r\n");
  EXPECT_EQ(parser.Writes, 1);
  EXPECT_FALSE(logic.IsModified());
  (void)logic.GetStrings();
  EXPECT_EQ(parser.Writes, 1);

  logic.GetVariable("a")->AddFuzzySet("hot");
  EXPECT_EQ(logic.GetStrings().GetText(), "a 0 10 cold hot\r\n");

  // Assigning the global variables parses nothing.
  const int parses = parser.Parses;
  TStringList globals;
  globals.Add("*x*=1");
  logic.SetVariables(globals);
  EXPECT_EQ(parser.Parses, parses);
  EXPECT_EQ(logic.GetVariables().GetValue("*X*"), "1");
}

TEST(FuzzyLogicComponent, ParsesOnceLoadedAndKeepsVariablesParsedBeforeAnError) {
  FakeFuzzyLogicParser parser;
  TIFuzzyLogic logic;
  logic.BeginLoading();
  logic.SetStrings("a 0 1");
  parser.SetFuzzyLogic(&logic);
  logic.SetParser(&parser);
  EXPECT_EQ(parser.Parses, 0);
  logic.EndLoading();
  EXPECT_EQ(parser.Parses, 1);
  EXPECT_EQ(logic.GetVariableCount(), 1);

  EXPECT_THROW_MSG(
      logic.SetStrings("b 0 1\nbroken\nc 0 1"), EFzyParseException,
      "Parsing Error, Expected \"name minimum maximum\" in ParseFuzzyLogic at line 0: \"\"");
  EXPECT_EQ(logic.GetVariableCount(), 1);
  EXPECT_TRUE(logic.GetVariable("b"));
}

TEST(FuzzyLogicComponent, LooksVariablesUpByExactName) {
  Linked linked;
  TIFuzzyLogic& logic = linked.logic;
  EXPECT_THROW_MSG((void)logic.GetVariable("outTemp"), EGHashtableError, "Table is empty");
  logic.SetStrings("outTemp 0 1");
  EXPECT_THROW_MSG((void)logic.GetVariable("OutTemp"), EGHashtableError,
                   "No such element: OutTemp");
  EXPECT_EQ(logic.GetVariableAt(0)->GetName(), "outTemp");
}

TEST(FuzzyLogicComponent, RelaysTheEventsOfItsVariables) {
  Linked linked;
  TIFuzzyLogic& logic = linked.logic;
  std::string log;
  logic.SetOnVariableAdded([&](IFuzzyVariable& v) { log += "added " + v.GetName() + "; "; });
  logic.SetOnVariableDeleted([&](IFuzzyVariable& v) { log += "deleted " + v.GetName() + "; "; });
  logic.SetOnFuzzySetAdded([&](IFuzzyVariable& v, IFuzzySet& s) {
    log += "set added " + v.GetName() + "." + s.GetName() + "; ";
  });
  logic.SetOnFuzzySetDeleted([&](IFuzzyVariable& v, IFuzzySet& s) {
    log += "set deleted " + v.GetName() + "." + s.GetName() + "; ";
  });
  logic.SetOnFuzzySetChange([&](IFuzzyVariable& v, IFuzzySet& s) {
    log += "set changed " + v.GetName() + "." + s.GetName() + "; ";
  });
  logic.SetOnVariableChange([&](IFuzzyVariable& v) { log += "changed " + v.GetName() + "; "; });
  logic.SetOnChange([&](TPersistent* sender) {
    EXPECT_EQ(sender, &logic);
    log += "component changed; ";
  });
  logic.SetAutoTerms(false);
  logic.SetStrings("a 0 1");
  EXPECT_EQ(log, "added a; ");
  log.clear();
  IntfPtr<IFuzzyVariable> a = logic.GetVariable("a");
  IntfPtr<IFuzzySet> cold = a->AddFuzzySet("cold");
  cold->AddPoint(0, 1);
  a->RemoveFuzzySet(*cold);
  EXPECT_EQ(log, "set added a.cold; set changed a.cold; set deleted a.cold; ");
  log.clear();
  logic.VariableChanged(a.Get());
  logic.VariableChanged(nullptr);
  EXPECT_EQ(log, "changed a; component changed; ");
  log.clear();
  // A new parse empties the table: the old variable is reported and unhooked.
  logic.SetStrings("b 0 1");
  EXPECT_EQ(log, "deleted a; added b; ");
  log.clear();
  a->AddFuzzySet("warm")->AddPoint(0, 1);
  EXPECT_EQ(log, "");
  EXPECT_FALSE(a->GetOnFuzzySetChange());
}

TEST(FuzzyLogicComponent, ReplacedAndRemovedVariablesLeaveUnhooked) {
  LiveObjectGuard guard;
  Linked linked;
  TIFuzzyLogic& logic = linked.logic;
  logic.SetStrings("a 0 1");
  IntfPtr<IFuzzyVariable> first = logic.GetVariable("a");
  IntfPtr<IFuzzyVariable> second = TIFuzzyVariable::Create("a");
  EXPECT_EQ(logic.GetVariableTable().AddVariable(second), first);
  EXPECT_EQ(logic.GetVariable("a"), second);
  EXPECT_FALSE(first->GetOnFuzzySetAdded());
  EXPECT_TRUE(second->GetOnFuzzySetAdded());
  EXPECT_EQ(logic.GetVariableTable().RemoveVariable("a"), second);
  EXPECT_FALSE(second->GetOnFuzzySetChange());
  EXPECT_EQ(logic.GetVariableCount(), 0);

  // Only variables go into a variable table.
  TIStringHashTable others;
  others.PutItem("x", TIFuzzySet::Create(nullptr, "x"));
  logic.SetStrings("c 0 1");
  EXPECT_THROW_MSG(logic.GetVariableTable().Assign(others), EFzyException,
                   "Cannot store \"x\" in a variable table: the item is not a fuzzy variable");
  EXPECT_EQ(logic.GetVariableCount(), 1);
  EXPECT_THROW_MSG(logic.GetVariableTable().PutItem("y", TIFuzzySet::Create(nullptr, "y")),
                   EFzyException,
                   "Cannot store \"y\" in a variable table: the item is not a fuzzy variable");
  // Copied variables are announced like parsed ones.
  Linked source;
  source.logic.SetAutoTerms(false);
  source.logic.SetStrings("b 0 4");
  logic.GetVariableTable().Assign(source.logic.GetVariableTable());
  EXPECT_EQ(logic.GetVariable("b")->GetFuzzySetCount(), 3);
  EXPECT_DOUBLE_EQ(logic.GetVariable("b")->GetThreshold(), 0.01);
}

TEST(FuzzyLogicComponent, DestructionFreesEverythingAndUnhooksSurvivors) {
  LiveObjectGuard guard;
  IntfPtr<IFuzzyVariable> survivor;
  {
    TComponent owner;
    auto* parser = new FakeFuzzyLogicParser(&owner);
    auto* logic = new TIFuzzyLogic(&owner);
    parser->SetFuzzyLogic(logic);
    logic->SetParser(parser);
    logic->SetStrings("a 0 10 cold\nb 0 5 hot");
    survivor = logic->GetVariable("b");
  }
  // The component is gone: its handlers were taken off the surviving variable.
  EXPECT_FALSE(survivor->GetOnFuzzySetChange());
  EXPECT_FALSE(survivor->GetOnFuzzySetAdded());
  EXPECT_FALSE(survivor->GetParser());
  survivor->GetFuzzySet("hot")->SetY(0, 0.5);
  survivor = nullptr;
  EXPECT_EQ(guard.Alive(), 0);

  // The other order: the component goes first, then its parser.
  auto parser = std::make_unique<FakeFuzzyLogicParser>();
  {
    TIFuzzyLogic logic;
    parser->SetFuzzyLogic(&logic);
    logic.SetParser(parser.get());
    logic.SetStrings("c 0 1");
  }
  EXPECT_EQ(parser->GetFuzzyLogic(), nullptr);
  EXPECT_EQ(parser->RefCount(), 0);

  // A parser that goes without `delete` (a local declared after its component) is heard of
  // as well: the variable and a set made for it let go of it.
  IntfPtr<IFuzzySet> clipped;
  {
    TIFuzzyLogic logic;
    FakeFuzzyLogicParser local;
    local.SetFuzzyLogic(&logic);
    logic.SetParser(&local);
    logic.SetStrings("d 0 4 warm");
    survivor = logic.GetVariable("d");
    clipped = survivor->ApplyRule(survivor->GetFuzzySet("warm"), nullptr, 0.5);
    ASSERT_TRUE(clipped->GetParser());
  }
  EXPECT_FALSE(survivor->GetParser());
  EXPECT_FALSE(clipped->GetParser());
  EXPECT_DOUBLE_EQ(clipped->GetMembership(4), 0.5);
  clipped = nullptr;
  survivor = nullptr;
  EXPECT_EQ(guard.Alive(), 0);
}

// The component's going lets each variable that nothing else holds go at once; what is held
// elsewhere, and every handler, must see exactly what it saw when all variables were first
// unhooked and only then released.
TEST(FuzzyLogicComponent, DestructionShowsSurvivorsTheSameStateWhateverGoesFirst) {
  LiveObjectGuard guard;
  auto parser = std::make_unique<FakeFuzzyLogicParser>();
  IntfPtr<IFuzzySet> kept_term;
  IntfPtr<IFuzzyVariable> kept_variable;
  std::vector<std::string> seen;
  {
    TIFuzzyLogic logic;
    parser->SetFuzzyLogic(&logic);
    logic.SetParser(parser.get());
    logic.SetAutoTerms(false);
    std::string text;
    for (int i = 0; i < 40; ++i)
      text += "v" + std::to_string(i) + " 0 10 low mid high\n";
    logic.SetStrings(text);
    ASSERT_EQ(logic.GetVariableCount(), 40);
    // A term held past its variable, a variable held as a whole, and a variable with a
    // change handler that looks at both while it goes.
    kept_term = logic.GetVariable("v3")->GetFuzzySet("mid");
    kept_variable = logic.GetVariable("v7");
    IntfPtr<IFuzzySet> term_seen = kept_term;
    IFuzzyVariable* variable_seen = kept_variable.Get();
    logic.GetVariable("v11")->SetOnChange([&seen, term_seen, variable_seen](TPersistent*) {
      seen.push_back(std::string(term_seen->GetParser() ? "parser" : "none") + " " +
                     std::to_string(term_seen->GetVariable()->GetFuzzySetCount()) + " " +
                     (variable_seen->GetParser() ? "parser" : "none") + " " +
                     std::to_string(variable_seen->GetFuzzySetCount()));
    });
    EXPECT_TRUE(kept_term->GetParser());
    EXPECT_EQ(parser->RefCount(), 40 * 4);
  }
  // Every variable was unhooked before any was let go: the handler saw the held term and
  // the held variable without their parser; the term's variable already emptied or not
  // depending on the bucket order, as always.
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].substr(0, 5), "none ");
  EXPECT_EQ(seen[0].substr(seen[0].size() - 7), " none 3");
  EXPECT_FALSE(kept_term->GetParser());
  EXPECT_EQ(kept_term->GetName(), "mid");
  EXPECT_EQ(kept_term->GetVariable()->GetName(), "v3");
  EXPECT_EQ(kept_term->GetVariable()->GetFuzzySetCount(), 0);
  EXPECT_FALSE(kept_variable->GetParser());
  EXPECT_FALSE(kept_variable->GetOnFuzzySetAdded());
  EXPECT_EQ(kept_variable->GetFuzzySetCount(), 3);
  EXPECT_FALSE(kept_variable->GetFuzzySet("low")->GetParser());
  EXPECT_EQ(parser->RefCount(), 0);
  kept_term = nullptr;
  kept_variable = nullptr;
  EXPECT_EQ(guard.Alive(), 0);
}

// The component's going calls none of its handlers (they are taken off first), with or
// without a deleted handler; every parser reference and every object goes, and a variable
// held elsewhere is left unhooked and without the parser, its terms too.
TEST(FuzzyLogicComponent, GoingCallsNoHandlerAndLeavesNoReferences) {
  LiveObjectGuard guard;
  for (const bool with_handler : {true, false}) {
    SCOPED_TRACE(with_handler);
    auto parser = std::make_unique<FakeFuzzyLogicParser>();
    int told = 0;
    IntfPtr<IFuzzyVariable> kept;
    {
      TIFuzzyLogic logic;
      parser->SetFuzzyLogic(&logic);
      logic.SetParser(parser.get());
      logic.SetAutoTerms(false);
      logic.SetStrings("a 0 1 x y\nb 0 2 z\nc 0 3\nd 0 4 p q r");
      ASSERT_EQ(parser->RefCount(), 4 + 6);
      kept = logic.GetVariable("d");
      if (with_handler) logic.SetOnVariableDeleted([&](IFuzzyVariable&) { ++told; });
    }
    EXPECT_EQ(told, 0);
    EXPECT_EQ(parser->RefCount(), 0);
    EXPECT_FALSE(kept->GetParser());
    EXPECT_FALSE(kept->GetOnFuzzySetAdded());
    EXPECT_FALSE(kept->GetOnFuzzySetDeleted());
    EXPECT_FALSE(kept->GetOnFuzzySetChange());
    ASSERT_EQ(kept->GetFuzzySetCount(), 3);
    for (int i = 0; i < 3; ++i)
      EXPECT_FALSE(kept->GetFuzzySetAt(i)->GetParser());
    // Nothing of the component is called any more.
    kept->GetFuzzySet("q")->SetY(0, 0.5);
    kept->AddFuzzySet(std::string("s"));
    EXPECT_EQ(kept->GetFuzzySetCount(), 4);
    kept = nullptr;
    EXPECT_EQ(guard.Alive(), 0);
  }
}

TEST(FuzzyLogicComponent, AVariableGoesWhollyOnlyWhenNothingElseCanSeeItGo) {
  LiveObjectGuard guard;
  Linked linked;
  linked.logic.SetAutoTerms(false);
  linked.logic.SetStrings("a 0 1 x y\nb 0 1");
  auto* a = dynamic_cast<TIFuzzyVariable*>(linked.logic.GetVariable("a").Get());
  ASSERT_NE(a, nullptr);
  // The table's reference and the two back links are all there is.
  EXPECT_TRUE(a->GoesWholly());
  {
    IntfPtr<IFuzzyVariable> held(a);
    EXPECT_FALSE(a->GoesWholly());
  }
  {
    IntfPtr<IFuzzySet> term = a->GetFuzzySet("y");
    EXPECT_FALSE(a->GoesWholly());
  }
  EXPECT_TRUE(a->GoesWholly());
  a->SetOnChange([](TPersistent*) {});
  EXPECT_FALSE(a->GoesWholly());
  a->SetOnChange(nullptr);
  a->GetItems().SetOnChange([](TPersistent*) {});
  EXPECT_FALSE(a->GoesWholly());
  a->GetItems().SetOnChange(nullptr);
  a->SetOnVariableChange([](IFuzzyVariable&) {});
  EXPECT_FALSE(a->GoesWholly());
  a->SetOnVariableChange(nullptr);
  // A term that belongs to another variable keeps someone else's back link.
  IntfPtr<IFuzzySet> stranger = TIFuzzySet::Create(linked.logic.GetVariable("b"), "z");
  a->GetItems().Store(stranger);
  stranger = nullptr;
  EXPECT_EQ(a->GetFuzzySetCount(), 3);
  EXPECT_FALSE(a->GoesWholly());
  (void)a->GetItems().RemoveSet("z");
  EXPECT_TRUE(a->GoesWholly());
  // An empty variable held only by the table goes wholly too.
  auto* b = dynamic_cast<TIFuzzyVariable*>(linked.logic.GetVariable("b").Get());
  EXPECT_TRUE(b->GoesWholly());
}

// Handlers of the component keep their order and their view: every variable is reported
// gone with its terms still in place, before any is released.
TEST(FuzzyLogicComponent, ClearingReportsEveryVariableWithItsTermsBeforeReleasingAny) {
  LiveObjectGuard guard;
  Linked linked;
  linked.logic.SetAutoTerms(false);
  linked.logic.SetStrings("a 0 1 x y\nb 0 2 z\nc 0 3");
  std::vector<std::string> deleted;
  linked.logic.SetOnVariableDeleted([&](IFuzzyVariable& variable) {
    deleted.push_back(variable.GetName() + std::to_string(variable.GetFuzzySetCount()) +
                      (variable.GetParser() ? "p" : "-"));
  });
  linked.logic.GetVariableTable().Clear();
  std::sort(deleted.begin(), deleted.end());
  EXPECT_EQ(deleted, (std::vector<std::string>{"a2-", "b1-", "c0-"}));
}

}  // namespace
}  // namespace tapwise
