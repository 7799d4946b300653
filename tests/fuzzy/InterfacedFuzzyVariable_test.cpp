#include "tapwise/fuzzy/InterfacedFuzzyVariable.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "fuzzy/FakeFuzzyLogicParser.h"
#include "support/ExpectThrow.h"
#include "support/LiveObjectGuard.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/LinkedList.h"
#include "tapwise/foundation/StringHashTable.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyVariable.h"

namespace tapwise {
namespace {

using testing::LiveObjectGuard;
using Sets = std::vector<IntfPtr<IFuzzySet>>;

IntfPtr<IFuzzySet> Ramp(const IntfPtr<IFuzzyVariable>& variable, const std::string& name,
                        TFzyFloat x1, TFzyFloat y1, TFzyFloat x2, TFzyFloat y2) {
  IntfPtr<IFuzzySet> set = variable->AddFuzzySet(name);
  set->AddPoint(x1, y1);
  set->AddPoint(x2, y2);
  return set;
}

IntfPtr<IFuzzySet> Triangle(const IntfPtr<IFuzzyVariable>& variable, const std::string& name,
                            TFzyFloat left, TFzyFloat middle, TFzyFloat right) {
  IntfPtr<IFuzzySet> set = variable->AddFuzzySet(name);
  set->SetTriangle(left, middle, right);
  return set;
}

IntfPtr<TIFuzzyVariable> Universe(TFzyFloat minimum, TFzyFloat maximum) {
  IntfPtr<TIFuzzyVariable> variable = TIFuzzyVariable::Create("v");
  variable->SetMaximum(maximum);
  variable->SetMinimum(minimum);
  return variable;
}

// ---- Rule firing ----

TEST(InterfacedFuzzyVariable, RuleStrengthIsTheSmallestMatchDegree) {
  LiveObjectGuard guard;
  IntfPtr<TIFuzzyVariable> v = Universe(0, 10);
  EXPECT_EQ(v->RuleStrength({}, {}), 1.0);

  IntfPtr<IFuzzySet> low = Triangle(v, "low", 0, 1, 2);
  IntfPtr<IFuzzySet> high = Triangle(v, "high", 8, 9, 10);
  IntfPtr<IFuzzySet> rising = Ramp(v, "rising", 0, 0, 10, 1);
  const Sets none_overlap_in{low};
  const Sets none_overlap_ant{high};
  EXPECT_EQ(v->RuleStrength(none_overlap_in, none_overlap_ant), 0.0);

  // rising (x / 10) crosses high's falling edge (10 - x) at 10/11 and low's (2 - x) at 2/11.
  const Sets inputs{rising, rising};
  const Sets antecedents{high, low};
  const Sets only_high{high};
  EXPECT_NEAR(v->RuleStrength(std::span(inputs).first(1), only_high), 10.0 / 11.0, 1e-9);
  EXPECT_NEAR(v->RuleStrength(inputs, antecedents), 2.0 / 11.0, 1e-9);

  EXPECT_THROW_MSG((void)v->RuleStrength(inputs, only_high), EFzyException,
                   "Invalid rule: 2 inputs but 1 antecedents; each input needs its antecedent");
  const Sets with_nil{rising, nullptr};
  EXPECT_THROW_MSG((void)v->RuleStrength(antecedents, with_nil), EFzyException,
                   "Invalid argument to RuleStrength: Antecedents[1] is nil");
}

// Both variable flavours weigh a rule alike, and check all of it before they weigh it: a
// nil set after a pair that already made the strength 0 is still refused.
TEST(InterfacedFuzzyVariable, RuleStrengthAgreesWithTheCollectionVariable) {
  LiveObjectGuard guard;
  IntfPtr<TIFuzzyVariable> counted = Universe(0, 10);
  IntfPtr<IFuzzySet> low = Triangle(counted, "low", 0, 1, 2);
  IntfPtr<IFuzzySet> high = Triangle(counted, "high", 8, 9, 10);
  IntfPtr<IFuzzySet> rising = Ramp(counted, "rising", 0, 0, 10, 1);
  TFuzzyVariable plain;
  plain.SetMaximum(10);
  auto plain_copy = [&](const IntfPtr<IFuzzySet>& set) -> const TFuzzySet* {
    TFuzzySet* copy = plain.GetItems().AddSet(set->GetName());
    copy->Assign(set->AsFuzzySet());
    return copy;
  };
  const TFuzzySet* p_low = plain_copy(low);
  const TFuzzySet* p_high = plain_copy(high);
  const TFuzzySet* p_rising = plain_copy(rising);
  using PlainSets = std::vector<const TFuzzySet*>;

  // rising (x / 10) meets high's falling edge (10 - x) at 10/11 and low's (2 - x) at 2/11.
  const TFzyFloat strength = counted->RuleStrength(Sets{rising, rising}, Sets{high, low});
  EXPECT_NEAR(strength, 2.0 / 11.0, 1e-9);
  EXPECT_EQ(plain.RuleStrength(PlainSets{p_rising, p_rising}, PlainSets{p_high, p_low}), strength);

  // low and high do not overlap.
  EXPECT_EQ(counted->RuleStrength(Sets{low, rising}, Sets{high, high}), 0.0);
  EXPECT_EQ(plain.RuleStrength(PlainSets{p_low, p_rising}, PlainSets{p_high, p_high}), 0.0);
  const char* const nil_antecedent = "Invalid argument to RuleStrength: Antecedents[1] is nil";
  EXPECT_THROW_MSG((void)counted->RuleStrength(Sets{low, rising}, Sets{high, nullptr}),
                   EFzyException, nil_antecedent);
  EXPECT_THROW_MSG((void)plain.RuleStrength(PlainSets{p_low, p_rising}, PlainSets{p_high, nullptr}),
                   EFzyException, nil_antecedent);
}

TEST(InterfacedFuzzyVariable, ApplyRuleFiresFromTheThresholdUpAndClipsACopy) {
  LiveObjectGuard guard;
  IntfPtr<TIFuzzyVariable> v = Universe(0, 10);
  v->SetThreshold(0.3);
  IntfPtr<IFuzzySet> peak = Triangle(v, "peak", 2, 5, 8);
  const std::string before = peak->ValuesText();

  EXPECT_FALSE(v->ApplyRule(peak, nullptr, 0.29));
  IntfPtr<IFuzzySet> at_threshold = v->ApplyRule(peak, nullptr, 0.3);
  ASSERT_TRUE(at_threshold);

  IntfPtr<IFuzzySet> clipped = v->ApplyRule(peak, nullptr, 0.4);
  ASSERT_TRUE(clipped);
  EXPECT_NE(clipped, peak);
  for (int i = 0; i < clipped->GetCount(); ++i)
    EXPECT_LE(clipped->GetY(i), 0.4);
  EXPECT_EQ(clipped->GetMaximumYValue(), 0.4);
  EXPECT_EQ(clipped->GetVariable(), v);
  EXPECT_EQ(peak->ValuesText(), before);
  EXPECT_EQ(v->GetFuzzySetCount(), 1);
}

TEST(InterfacedFuzzyVariable, ChainedAccumulatorsHoldThePointwiseMaximum) {
  LiveObjectGuard guard;
  IntfPtr<TIFuzzyVariable> v = Universe(0, 10);
  IntfPtr<IFuzzySet> left = Ramp(v, "left", 0, 1, 10, 0);
  IntfPtr<IFuzzySet> right = Ramp(v, "right", 0, 0, 10, 1);

  IntfPtr<IFuzzySet> accumulated = v->ApplyRule(left, nullptr, 0.8);
  IntfPtr<IFuzzySet> first = accumulated;
  accumulated = v->ApplyRule(right, accumulated, 0.6);
  ASSERT_TRUE(accumulated);
  EXPECT_NE(accumulated, first);
  EXPECT_EQ(first->GetMaximumYValue(), 0.8);  // the old accumulator is untouched
  // Clipping caps the stored points only: left becomes (0, 0.8) (10, 0).
  EXPECT_EQ(first->ValuesText(), "((0.0000 0.8000) (10.0000 0.0000) )");
  IntfPtr<IFuzzySet> second = v->ApplyRule(right, nullptr, 0.6);
  for (TFzyFloat x = 0; x <= 10; x += 0.25) {
    const TFzyFloat expected = std::max(first->GetMembership(x), second->GetMembership(x));
    EXPECT_NEAR(accumulated->GetMembership(x), expected, 1e-9) << "at x = " << x;
  }

  // FireRule and FireSimpleRule are ApplyRule with the strength they compute.
  IntfPtr<IFuzzySet> input = Triangle(v, "input", 4, 5, 6);
  IntfPtr<IFuzzySet> simple = v->FireSimpleRule(*input, right, *left, nullptr);
  const Sets inputs{input};
  const Sets antecedents{left};
  IntfPtr<IFuzzySet> fired = v->FireRule(inputs, antecedents, right, nullptr);
  const TFzyFloat strength = input->MatchDegree(*left);
  EXPECT_NEAR(simple->GetMaximumYValue(), strength, 1e-12);
  EXPECT_EQ(fired->ValuesText(), simple->ValuesText());
}

TEST(InterfacedFuzzyVariable, ARuleBaseTickIsSymmetricForASymmetricInput) {
  LiveObjectGuard guard;
  IntfPtr<TIFuzzyVariable> temperature = Universe(0, 60);
  IntfPtr<TIFuzzyVariable> change = Universe(-10, 10);
  Triangle(temperature, "cold", 0, 0, 30);
  Triangle(temperature, "ok", 20, 30, 40);
  Triangle(temperature, "hot", 30, 60, 60);
  Triangle(change, "open", 0, 10, 10);
  Triangle(change, "keep", -5, 0, 5);
  Triangle(change, "shut", -10, -10, 0);

  IntfPtr<IFuzzySet> reading = temperature->AddFuzzySet("reading");
  reading->SetTriangle(25, 30, 35);
  const std::array<const char*, 3> conditions{"cold", "ok", "hot"};
  const std::array<const char*, 3> actions{"open", "keep", "shut"};
  IntfPtr<IFuzzySet> accumulated;
  for (size_t rule = 0; rule < conditions.size(); ++rule) {
    const std::array<IntfPtr<IFuzzySet>, 1> inputs{reading};
    const std::array<IntfPtr<IFuzzySet>, 1> antecedents{temperature->GetFuzzySet(conditions[rule])};
    if (IntfPtr<IFuzzySet> fired = change->FireRule(
            inputs, antecedents, change->GetFuzzySet(actions[rule]), accumulated)) {
      accumulated = fired;
    }
  }
  ASSERT_TRUE(accumulated);
  // cold and hot both meet the reading at 1/7, ok at 1; clipping caps the peaks of open
  // and shut (their vertical edges at 10 and -10).
  EXPECT_NEAR(accumulated->GetMembership(10), 1.0 / 7, 1e-9);
  EXPECT_NEAR(accumulated->GetMembership(-10), 1.0 / 7, 1e-9);
  EXPECT_NEAR(accumulated->GetMembership(0), 1.0, 1e-9);
  EXPECT_NEAR(accumulated->CenterOfGravity(), 0.0, 1e-9);
}

// ---- Terms ----

struct EventLog {
  int changed = 0;
  int variable_changed = 0;
  std::vector<std::string> added;
  std::vector<std::string> deleted;

  void Attach(IFuzzyVariable& v) {
    v.SetOnChange([this](TPersistent*) { ++changed; });
    v.SetOnVariableChange([this](IFuzzyVariable&) { ++variable_changed; });
    v.SetOnFuzzySetAdded([this](IFuzzyVariable&, IFuzzySet& s) { added.push_back(s.GetName()); });
    v.SetOnFuzzySetDeleted(
        [this](IFuzzyVariable&, IFuzzySet& s) { deleted.push_back(s.GetName()); });
  }
};

TEST(InterfacedFuzzyVariable, TermsAreStoredByNameWithOrderNumbers) {
  LiveObjectGuard guard;
  IntfPtr<TIFuzzyVariable> v = Universe(0, 10);
  EventLog log;
  log.Attach(*v);
  IntfPtr<IFuzzySet> scratch = v->AddFuzzySet("__Empty");
  EXPECT_EQ(v->GetFuzzySetCount(), 0);
  EXPECT_EQ(scratch->GetVariable(), v);
  EXPECT_FALSE(scratch->GetDefined());
  EXPECT_THROW_MSG((void)v->GetFuzzySet("cold"), EGHashtableError, "Table is empty");

  IntfPtr<IFuzzySet> cold = v->AddFuzzySet("cold");
  IntfPtr<IFuzzySet> warm = v->AddFuzzySet("warm");
  EXPECT_EQ(cold->GetOrderNumber(), 0);
  EXPECT_EQ(warm->GetOrderNumber(), 1);
  EXPECT_EQ(log.added, (std::vector<std::string>{"cold", "warm"}));
  EXPECT_EQ(log.changed, 2);
  EXPECT_EQ(log.variable_changed, 2);
  EXPECT_THROW_MSG((void)v->GetFuzzySet("Cold"), EGHashtableError, "No such element: Cold");
  EXPECT_THROW_MSG((void)v->GetFuzzySetAt(2), EListError, "List index out of bounds (2)");
  IntfPtr<IFuzzySet> none;
  EXPECT_FALSE(v->TryGetFuzzySet("", none));

  // A second term of the same name replaces the first without a deleted event.
  IntfPtr<IFuzzySet> cold2 = v->AddFuzzySet("cold");
  EXPECT_EQ(v->GetFuzzySet("cold"), cold2);
  EXPECT_EQ(v->GetFuzzySetCount(), 2);
  EXPECT_EQ(cold2->GetOrderNumber(), 2);
  EXPECT_EQ(log.added.back(), "cold");
  EXPECT_TRUE(log.deleted.empty());

  // Removing raises the deleted event; removing a set that is not the stored one does not.
  v->RemoveFuzzySet(*cold);
  EXPECT_EQ(v->GetFuzzySetCount(), 2);
  v->RemoveFuzzySet(*cold2);
  EXPECT_EQ(log.deleted, (std::vector<std::string>{"cold"}));
  EXPECT_EQ(v->GetFuzzySetCount(), 1);

  // Clearing raises Changed only.
  log = EventLog{};
  log.Attach(*v);
  v->ClearFuzzySets();
  EXPECT_EQ(v->GetFuzzySetCount(), 0);
  EXPECT_EQ(log.changed, 1);
  EXPECT_EQ(log.variable_changed, 1);
  EXPECT_TRUE(log.deleted.empty());
  EXPECT_EQ(v->GetItems().GetNextIndex(), 0);
}

TEST(InterfacedFuzzyVariable, AddingASetOfAnotherVariableMovesIt) {
  LiveObjectGuard guard;
  IntfPtr<TIFuzzyVariable> a = Universe(0, 10);
  IntfPtr<TIFuzzyVariable> b = Universe(0, 20);
  IntfPtr<IFuzzySet> term = a->AddFuzzySet("t");
  b->AddFuzzySet(term);
  EXPECT_EQ(term->GetVariable(), b);
  EXPECT_EQ(a->GetFuzzySetCount(), 0);
  EXPECT_EQ(b->GetFuzzySet("t"), term);
}

TEST(InterfacedFuzzyVariable, AnExplicitlyAddedLooseSetIsStoredAndStaysStoredWhenRenamed) {
  LiveObjectGuard guard;
  IntfPtr<TIFuzzyVariable> v = Universe(0, 10);
  IntfPtr<IFuzzySet> loose = TIFuzzySet::Create(nullptr, "loose");
  v->AddFuzzySet(loose);
  EXPECT_EQ(v->GetFuzzySet("loose"), loose);
  loose->SetName("kept");
  EXPECT_EQ(v->GetFuzzySet("kept"), loose);
  EXPECT_EQ(v->GetFuzzySetCount(), 1);

  // A set already linked to the variable but not marked as a term is not stored.
  IntfPtr<IFuzzySet> scratch = TIFuzzySet::Create(v, "scratch");
  v->AddFuzzySet(scratch);
  EXPECT_EQ(v->GetFuzzySetCount(), 1);
}

TEST(InterfacedFuzzyVariable, ASetPutIntoTheTermTableByAnyRouteIsRekeyedWhenRenamed) {
  LiveObjectGuard guard;
  IntfPtr<TIFuzzyVariable> v = Universe(0, 10);
  // Straight into the table, past AddFuzzySet.
  IntfPtr<TIFuzzySet> direct = TIFuzzySet::Create(v, "direct");
  TIStringHashTable& table = v->GetItems();
  table.PutItem("direct", IntfPtr<IInterface>(direct));
  direct->SetName("moved");
  EXPECT_EQ(v->GetFuzzySet("moved"), direct);
  IntfPtr<IFuzzySet> found;
  EXPECT_FALSE(v->TryGetFuzzySet("direct", found));

  // Copied in from a plain interface table: the table's own copies are its terms.
  TIStringHashTable plain(7, 0.75f);
  plain.PutItem("copied", IntfPtr<IInterface>(TIFuzzySet::Create(nullptr, "copied")));
  v->GetItems().Assign(plain);
  IntfPtr<IFuzzySet> copied = v->GetFuzzySet("copied");
  copied->SetName("renamed");
  EXPECT_EQ(v->GetFuzzySet("renamed"), copied);
  EXPECT_FALSE(v->TryGetFuzzySet("copied", found));

  // A copy that was never stored keeps the term it was copied from in place.
  IntfPtr<IFuzzySet> clone = Supports<IFuzzySet>(copied->Clone());
  clone->SetName("other");
  EXPECT_EQ(v->GetFuzzySet("renamed"), copied);
  EXPECT_FALSE(v->TryGetFuzzySet("other", found));
}

// ---- Settings ----

TEST(InterfacedFuzzyVariable, BoundsDragEachOtherAndThresholdIsClampedSilently) {
  LiveObjectGuard guard;
  IntfPtr<TIFuzzyVariable> v = TIFuzzyVariable::Create("v");
  EventLog log;
  log.Attach(*v);
  v->SetMaximum(-3);
  EXPECT_EQ(v->GetMaximum(), -3);
  EXPECT_EQ(v->GetMinimum(), -3);
  EXPECT_EQ(log.changed, 2);
  EXPECT_EQ(log.variable_changed, 2);

  v->SetMinimum(4);
  EXPECT_EQ(v->GetMaximum(), 4);
  EXPECT_EQ(log.changed, 4);
  v->SetMinimum(4);
  EXPECT_EQ(log.changed, 4);

  v->SetThreshold(-0.5);
  EXPECT_EQ(v->GetThreshold(), 0.0);
  v->SetThreshold(2);
  EXPECT_EQ(v->GetThreshold(), 1.0);
  v->SetThreshold(0.25);
  EXPECT_EQ(v->GetThreshold(), 0.25);
  v->SetUnits("Celcius");
  v->SetComment("c");
  v->SetDefuzzificationMethod(dmMeanOfMaxima);
  EXPECT_EQ(log.changed, 4);
  v->SetNumFunctionValues(9);
  v->SetName("w");
  EXPECT_EQ(log.changed, 6);

  EXPECT_THROW_MSG(v->SetMaximum(std::numeric_limits<TFzyFloat>::infinity()), EFzyException,
                   "Invalid argument to SetMaximum: Value is not a finite number");
  EXPECT_THROW_MSG(v->SetThreshold(std::numeric_limits<TFzyFloat>::quiet_NaN()), EFzyException,
                   "Invalid argument to SetThreshold: Value is not a finite number");
  EXPECT_EQ(v->GetThreshold(), 0.25);
}

TEST(InterfacedFuzzyVariable, TextComesFromTheParserWhichEveryTermShares) {
  LiveObjectGuard guard;
  testing::FakeFuzzyLogicParser parser;
  IntfPtr<TIFuzzyVariable> v = TIFuzzyVariable::Create("outTemp");
  EXPECT_EQ(v->GetText(), "outTemp");
  IntfPtr<IFuzzySet> term = v->AddFuzzySet("cold");
  v->SetParser(IntfPtr<IFuzzyParser>(&parser));
  EXPECT_EQ(v->GetText(), "outTemp 0 1 cold");
  EXPECT_EQ(term->GetParser().Get(), &parser);
  IntfPtr<IFuzzySet> later = v->AddFuzzySet("hot");
  EXPECT_EQ(later->GetParser().Get(), &parser);
  v->SetParser(nullptr);
  EXPECT_FALSE(term->GetParser());
}

// ---- Copies ----

TEST(InterfacedFuzzyVariable, CloneAndAssignCopyTheSettingsAndTheTerms) {
  LiveObjectGuard guard;
  IntfPtr<TIFuzzyVariable> v = Universe(5, 65);
  v->SetUnits("Celcius");
  v->SetThreshold(0.01);
  v->SetTag(3);
  Triangle(v, "cold", 5, 10, 35);
  Triangle(v, "hot", 37, 60, 65);

  IntfPtr<IFuzzyVariable> copy = Supports<IFuzzyVariable>(v->Clone());
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->GetName(), "v");
  EXPECT_EQ(copy->GetMinimum(), 5);
  EXPECT_EQ(copy->GetMaximum(), 65);
  EXPECT_EQ(copy->GetUnits(), "Celcius");
  EXPECT_EQ(copy->GetTag(), 3);
  EXPECT_EQ(copy->GetThreshold(), 0);  // not copied
  ASSERT_EQ(copy->GetFuzzySetCount(), 2);
  IntfPtr<IFuzzySet> cold = copy->GetFuzzySet("cold");
  EXPECT_EQ(cold->GetVariable(), copy);
  EXPECT_EQ(cold->ValuesText(), v->GetFuzzySet("cold")->ValuesText());
  EXPECT_NE(cold, v->GetFuzzySet("cold"));

  copy->SetThreshold(0.5);
  EXPECT_TRUE(copy->IsEqual(v));
  copy->SetUnits("K");
  EXPECT_FALSE(copy->IsEqual(v));
  EXPECT_FALSE(copy->IsEqual(cold));

  // The term copy alone; from itself it keeps its terms.
  IntfPtr<TIFuzzyVariable> other = Universe(0, 1);
  other->AssignTermsFrom(v);
  EXPECT_EQ(other->GetFuzzySetCount(), 2);
  EXPECT_EQ(other->GetMaximum(), 1);
  other->AssignFuzzySets(*other);
  EXPECT_EQ(other->GetFuzzySetCount(), 2);

  other->Assign(static_cast<const TPersistent&>(*v));
  EXPECT_EQ(other->GetMaximum(), 65);
  TIFuzzySets loose(nullptr);
  EXPECT_THROW_MSG(other->Assign(loose), EConvertError,
                   "Cannot assign a TIFuzzySets to a TIFuzzyVariable");
}

TEST(InterfacedFuzzyVariable, TheTermTableCopiesFromOtherTablesAsTermsOfItsVariable) {
  LiveObjectGuard guard;
  IntfPtr<TIFuzzyVariable> v = Universe(0, 10);
  IntfPtr<TIFuzzyVariable> elsewhere = Universe(0, 10);
  IntfPtr<IFuzzySet> foreign = Triangle(elsewhere, "mid", 2, 5, 8);
  {
    TIStringHashTable table;
    table.PutItem("any key", foreign);
    v->AssignTermTable(table);
  }
  ASSERT_EQ(v->GetFuzzySetCount(), 1);
  IntfPtr<IFuzzySet> mid = v->GetFuzzySet("mid");
  EXPECT_NE(mid, foreign);
  EXPECT_EQ(mid->GetVariable(), v);
  EXPECT_EQ(mid->ValuesText(), foreign->ValuesText());
  EXPECT_EQ(elsewhere->GetFuzzySet("mid"), foreign);

  TGCustomLinkedList<std::string> names;
  v->AssignTermTableTo(names);
  ASSERT_EQ(names.GetCount(), 1);
  EXPECT_EQ(names.GetNode(0)->GetItem(), "mid");
}

// ---- Lifetime ----

TEST(InterfacedFuzzyVariable, AVariableHeldOnlyByItsTermsFreesItselfAndThem) {
  LiveObjectGuard guard;
  {
    IntfPtr<IFuzzyVariable> v = TIFuzzyVariable::Create("v");
    const int64_t empty = guard.Alive();  // the variable and its table's own helpers
    v->AddFuzzySet("a");
    v->AddFuzzySet("b");
    v->AddFuzzySet("c");
    EXPECT_EQ(guard.Alive(), empty + 3);
  }
  EXPECT_EQ(guard.Alive(), 0);
}

TEST(InterfacedFuzzyVariable, ATermHeldFromOutsideKeepsTheVariableWithAnEmptyTable) {
  LiveObjectGuard guard;
  IntfPtr<IFuzzySet> kept;
  int64_t empty = 0;
  {
    IntfPtr<IFuzzyVariable> v = TIFuzzyVariable::Create("v");
    empty = guard.Alive();
    kept = v->AddFuzzySet("a");
    v->AddFuzzySet("b");
  }
  EXPECT_EQ(guard.Alive(), empty + 1);  // "b" is gone
  ASSERT_TRUE(kept->GetVariable());
  EXPECT_EQ(kept->GetVariable()->GetFuzzySetCount(), 0);
  EXPECT_EQ(kept->GetVariable()->GetName(), "v");

  // Renaming would store the term again; the variable lets it go at once, so no cycle forms.
  kept->SetName("renamed");
  EXPECT_EQ(kept->GetVariable()->GetFuzzySetCount(), 0);
  kept = nullptr;
  EXPECT_EQ(guard.Alive(), 0);
}

TEST(InterfacedFuzzyVariable, AFailingChangeHandlerDoesNotStopTheVariableFromFreeingItself) {
  LiveObjectGuard guard;
  {
    IntfPtr<IFuzzyVariable> v = TIFuzzyVariable::Create("v");
    v->AddFuzzySet("a");
    v->SetOnChange([](TPersistent*) { throw Exception("handler failed"); });
  }
  EXPECT_EQ(guard.Alive(), 0);
}

// A change handler that throws at the end of a point operation's update block reaches the
// caller as any exception does; it must not end the program from a destructor.
TEST(InterfacedFuzzyVariable, AThrowingSetChangeHandlerReachesTheCaller) {
  LiveObjectGuard guard;
  {
    IntfPtr<TIFuzzyVariable> v = Universe(0, 10);
    IntfPtr<IFuzzySet> ramp = Ramp(v, "ramp", 0, 0, 10, 0.5);
    v->SetOnFuzzySetChange([](IFuzzyVariable&, IFuzzySet&) { throw Exception("handler failed"); });
    EXPECT_THROW_MSG(ramp->Normalize(), Exception, "handler failed");
    EXPECT_THROW_MSG(ramp->Correlate(false, 0.25), Exception, "handler failed");
    EXPECT_THROW_MSG(ramp->AddPoint(5, 0.2), Exception, "handler failed");
    v->SetOnFuzzySetChange(nullptr);
    // The changes themselves were made before the handler ran.
    EXPECT_DOUBLE_EQ(ramp->GetMembership(10), 0.25);
  }
  EXPECT_EQ(guard.Alive(), 0);
}

// The sets made for a variable share its storage a few at a time; any of them may outlive the
// variable, move to another or to none, and go in any order.
TEST(InterfacedFuzzyVariable, SetsMadeForAVariableOutliveItAndGoInAnyOrder) {
  LiveObjectGuard guard;
  Sets kept;
  {
    IntfPtr<TIFuzzyVariable> v = Universe(0, 10);
    IntfPtr<TIFuzzyVariable> other = Universe(0, 20);
    for (int i = 0; i < 9; ++i) {
      IntfPtr<IFuzzySet> set = Triangle(v, "t" + std::to_string(i), i, i + 0.5, i + 1);
      if (i % 2 == 0) kept.push_back(set);
    }
    kept.push_back(TIFuzzySet::Create(v, "loose"));
    kept[1]->SetVariable(other);
    kept[2]->SetVariable(nullptr);
    v->ClearFuzzySets();
  }
  for (const int i : {3, 0, 5, 1, 4, 2})
    kept[static_cast<size_t>(i)]->SetTriangle(1, 2, 3);
  EXPECT_DOUBLE_EQ(kept[0]->GetMembership(2.5), 0.5);
  for (const int i : {3, 0, 5, 1, 4, 2})
    kept[static_cast<size_t>(i)] = nullptr;
  EXPECT_EQ(guard.Alive(), 0);
}

TEST(InterfacedFuzzyVariable, RuleResultsAndClonesDoNotKeepAnythingAlive) {
  LiveObjectGuard guard;
  IntfPtr<IFuzzySet> result;
  {
    IntfPtr<TIFuzzyVariable> v = Universe(0, 10);
    IntfPtr<IFuzzySet> term = Triangle(v, "t", 0, 5, 10);
    result = v->ApplyRule(term, v->ApplyRule(term, nullptr, 0.5), 0.7);
    IntfPtr<ICloneable> copy = v->Clone();
  }
  // The result links the variable, which stays until the result goes.
  EXPECT_EQ(result->GetVariable()->GetFuzzySetCount(), 1);
  result = nullptr;
  EXPECT_EQ(guard.Alive(), 0);
}

}  // namespace
}  // namespace tapwise
