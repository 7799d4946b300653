// The rule accumulator gives the points of a chain of ApplyRule calls, and never writes a set
// that someone else still holds.

#include "tapwise/fuzzy/RuleAccumulator.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "support/LiveObjectGuard.h"
#include "tapwise/fuzzy/InterfacedFuzzySet.h"
#include "tapwise/fuzzy/InterfacedFuzzyVariable.h"

namespace tapwise {
namespace {

using testing::LiveObjectGuard;

// An output of -1..1 with overlapping terms: triangles, a shoulder with a vertical edge and a
// spike, so that caps meet plateaus, edges and crossings.
struct Output {
  Output() {
    Variable->SetMaximum(1);
    Variable->SetMinimum(-1);
    Add("NB", {{-1, 1}, {-0.5, 1}, {-0.5, 0.4}, {0, 0}});
    Add("Z", {{-0.5, 0}, {0, 1}, {0.5, 0}});
    Add("PS", {{0, 0}, {0.25, 1}, {0.5, 0}});
    Add("PB", {{0.3, 0}, {0.7, 1}, {1, 1}});
    Add("Spike", {{0.1, 0}, {0.1, 0.8}, {0.1, 0}});
  }
  void Add(const std::string& name, std::initializer_list<std::array<double, 2>> points) {
    IntfPtr<TIFuzzySet> set = TIFuzzySet::Create(Variable, name);
    for (const auto& [x, y] : points)
      set->AddPoint(x, y);
    set->MarkDefined();
    Variable->AddFuzzySet(set);
  }
  IntfPtr<IFuzzySet> Term(const std::string& name) const { return Variable->GetFuzzySet(name); }

  IntfPtr<TIFuzzyVariable> Variable = TIFuzzyVariable::Create("change");
};

void ExpectSamePoints(const IFuzzySet& actual, const IFuzzySet& expected) {
  ASSERT_EQ(actual.GetCount(), expected.GetCount());
  for (int i = 0; i < expected.GetCount(); ++i) {
    EXPECT_EQ(actual.GetX(i), expected.GetX(i)) << i;
    EXPECT_EQ(actual.GetY(i), expected.GetY(i)) << i;
  }
}

struct Rule {
  const char* Term;
  double Strength;
};

TEST(RuleAccumulator, StepAfterStepGivesTheSetsOfApplyRule) {
  LiveObjectGuard guard;
  Output out;
  TRuleAccumulator accumulator;
  const std::array<std::array<Rule, 4>, 4> steps = {{
      {{{"Z", 0.6}, {"PS", 0.3}, {"PB", 1.0}, {"NB", 0.25}}},
      {{{"Spike", 0.5}, {"NB", 0.4}, {"Z", 1.0}, {"PS", 0.05}}},
      {{{"PB", 0.123456789}, {"PB", 0.9}, {"Z", 0.3}, {"Spike", 1.0}}},
      {{{"NB", 1.0}, {"PS", 0.7}, {"Z", 0.7}, {"PB", 0.2}}},
  }};
  for (int seeded = 0; seeded < 2; ++seeded) {
    for (const auto& step : steps) {
      IntfPtr<IFuzzySet> expected = seeded ? out.Term("Z") : nullptr;
      accumulator.Restart(expected);
      for (const Rule& rule : step) {
        const IntfPtr<IFuzzySet> capped = accumulator.Apply(*out.Term(rule.Term), rule.Strength);
        expected = out.Variable->ApplyRule(out.Term(rule.Term), expected, rule.Strength);
        ExpectSamePoints(*capped,
                         *out.Variable->ApplyRule(out.Term(rule.Term), nullptr, rule.Strength));
        EXPECT_EQ(capped->GetName(), rule.Term);
        ExpectSamePoints(*accumulator.GetAggregate(), *expected);
        EXPECT_EQ(accumulator.GetAggregate()->CenterOfGravity(), expected->CenterOfGravity());
      }
    }
  }
  // The seed and the terms are read, never written.
  ExpectSamePoints(*out.Term("Z"), *out.Variable->ApplyRule(out.Term("Z"), nullptr, 1.0));
  accumulator.Restart();
}

TEST(RuleAccumulator, ASetStillHeldElsewhereIsNeverWrittenAgain) {
  LiveObjectGuard guard;
  Output out;
  TRuleAccumulator accumulator;
  accumulator.Restart();
  const IntfPtr<IFuzzySet> kept_capped = accumulator.Apply(*out.Term("Z"), 0.5);
  accumulator.Apply(*out.Term("PS"), 0.8);
  const IntfPtr<IFuzzySet> kept_aggregate = accumulator.GetAggregate();
  const IntfPtr<IFuzzySet> capped_copy = out.Variable->ApplyRule(out.Term("Z"), nullptr, 0.5);
  const IntfPtr<IFuzzySet> aggregate_copy =
      out.Variable->ApplyRule(out.Term("PS"), capped_copy, 0.8);
  for (int step = 0; step < 3; ++step) {
    accumulator.Restart();
    const IntfPtr<IFuzzySet> capped = accumulator.Apply(*out.Term("PB"), 0.9);
    accumulator.Apply(*out.Term("NB"), 0.2);
    accumulator.Apply(*out.Term("Spike"), 0.6);
    EXPECT_NE(capped.Get(), kept_capped.Get());
    EXPECT_NE(accumulator.GetAggregate().Get(), kept_aggregate.Get());
  }
  ExpectSamePoints(*kept_capped, *capped_copy);
  ExpectSamePoints(*kept_aggregate, *aggregate_copy);
  // Let go of, a set is written again in place.
  accumulator.Restart();
  const IFuzzySet* first = accumulator.Apply(*out.Term("Z"), 0.5).Get();
  accumulator.Restart();
  EXPECT_EQ(accumulator.Apply(*out.Term("PB"), 0.5).Get(), first);
  accumulator.Restart();
}

}  // namespace
}  // namespace tapwise
