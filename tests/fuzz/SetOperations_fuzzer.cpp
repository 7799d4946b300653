// Arbitrary sequences of point edits, shapes, operations between sets, hedges, operators,
// cuts and measures on plain fuzzy sets, with or without a variable. After every step the
// sets must keep their documented invariants; failures must be the library's own exceptions.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "fuzzy/FuzzySetTestVariable.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/FuzzySet.h"

namespace tapwise::fuzzing {
namespace {

constexpr int kSlots = 4;
constexpr int kMaxSteps = 64;
// Results of results can grow without end; a set this large is emptied so that one input
// stays quick to run. (Growth itself is bounded by the operations: see the merge walk.)
constexpr int kMaxPoints = 600;
constexpr int kMaxGeneratedPoints = 300;

// The set being checked, shown when a check fails so that the finding can become a test.
const TFuzzySet* g_checked = nullptr;

void Check(bool condition, const std::string& what) {
  if (condition) return;
  if (g_checked != nullptr) {
    std::fprintf(stderr, "set \"%s\", universe %.17g .. %.17g, points:\n",
                 g_checked->GetName().c_str(), g_checked->GetXRange(1), g_checked->GetXRange(0));
    for (int i = 0; i < g_checked->GetCount(); ++i)
      std::fprintf(stderr, "  (%.17g, %.17g)\n", g_checked->GetX(i), g_checked->GetY(i));
  }
  Fail(what);
}

void CheckFinite(double value, const char* what) {
  Check(std::isfinite(value), std::string(what) + " is not finite");
}

// The invariants every set keeps between operations.
void CheckSet(const TFuzzySet& set) {
  g_checked = &set;
  const TFuzzySetValues& values = set.GetValues();
  Check(values.GetUpdateCount() == 0, "an update block was left open");
  const int count = values.GetCount();
  const bool bounded = set.GetFuzzyVariable() != nullptr;
  const double min = set.GetXRange(1);
  const double max = set.GetXRange(0);
  for (int i = 0; i < count; ++i) {
    const double x = values.GetX(i);
    const double y = values.GetY(i);
    CheckFinite(x, "a point's X");
    CheckFinite(y, "a point's Y");
    Check(y >= 0, "a negative degree");
    if (bounded) Check(x >= min && x <= max, "a point outside the universe");
    if (i > 0) {
      const double px = values.GetX(i - 1);
      const double py = values.GetY(i - 1);
      Check(x >= px - FuzzyEpsilon, "points out of X order");
      // As the list compares them (SameAs of a point with the one before it): the tolerance
      // test is not symmetric at its very edge.
      Check(!(SameFloat(x, px) && SameFloat(y, py)), "two successive equal points");
    }
  }
  if (count == 0) return;
  CheckFinite(set.CenterOfGravity(), "CenterOfGravity");
  CheckFinite(set.MeanOfMaxima(), "MeanOfMaxima");
  CheckFinite(set.Defuzzify(), "Defuzzify");
  CheckFinite(set.GetMaximumYValue(), "GetMaximumYValue");
  CheckFinite(set.GetMinimumYValue(), "GetMinimumYValue");
  CheckFinite(set.GetAverageY(), "GetAverageY");
  CheckFinite(set.GetMembership(values.GetX(0) - 1), "GetMembership left of the set");
  CheckFinite(set.GetMembership(values.GetX(count - 1) + 1), "GetMembership right of the set");
}

// A set of the run: owned by the run (no variable), by the variable's term collection, or by
// the handle of the operation that made it.
struct Slot {
  std::unique_ptr<TFuzzySet> own;
  TFuzzySetResult result;
  TFuzzySet* set = nullptr;
};

class Run {
 public:
  Run(FuzzInput& in) : FIn(in) {
    if (FIn.Bool()) {
      const double a = FIn.Float();
      const double b = FIn.Float();
      if (std::isfinite(a) && std::isfinite(b)) {
        FVariable = std::make_unique<testing::TestVariable>(std::fmin(a, b), std::fmax(a, b));
        FVariable->Settings.DefuzzificationMethod = FIn.Bool() ? dmMeanOfMaxima : dmCenterOfGravity;
        FVariable->Settings.CorrelationMethod = FIn.Bool() ? fcmProduct : fcmMinimum;
        FVariable->Settings.InferenceMethod = static_cast<TFuzzyInferenceMethod>(FIn.Int(0, 5));
        FVariable->Settings.NumFunctionValues = FIn.Int(-2, 40);
      }
    }
    for (int i = 0; i < kSlots; ++i) {
      if (FVariable) {
        FSlots[i].set = &FVariable->AddTerm("s" + std::to_string(i));
      } else {
        FSlots[i].own = std::make_unique<TFuzzySet>();
        FSlots[i].set = FSlots[i].own.get();
        FSlots[i].set->SetName("s" + std::to_string(i));
      }
    }
  }

  void Go() {
    for (int step = 0; step < kMaxSteps && !FIn.Empty(); ++step) {
      try {
        Step();
      } catch (const Exception&) {
        // The library's documented failures; the sets must still be sound (checked below).
      }
      for (const Slot& slot : FSlots) {
        CheckSet(*slot.set);
        if (slot.set->GetCount() > kMaxPoints) slot.set->Clear();
      }
    }
  }

 private:
  TFuzzySet& Pick() { return *FSlots[FIn.Int(0, kSlots - 1)].set; }

  // Puts a new result into a slot, giving up what the slot held.
  void Keep(TFuzzySetResult result) {
    if (!result) return;
    CheckSet(*result);
    Slot& slot = FSlots[FIn.Int(0, kSlots - 1)];
    slot.own.reset();
    slot.set = result.Get();
    slot.result = std::move(result);
  }

  void Step() {
    TFuzzySet& a = Pick();
    const int operation = FIn.Int(0, 27);
    // TAPWISE_FUZZ_TRACE=1 shows the operations of an input, to turn a finding into a test.
    if (FTrace) std::fprintf(stderr, "operation %d on \"%s\"\n", operation, a.GetName().c_str());
    switch (operation) {
      case 0:
        a.AddPoint(FIn.Float(), FIn.Float());
        break;
      case 1: {
        const int n = FIn.Int(0, 40);
        a.BeginUpdate();
        try {
          for (int i = 0; i < n; ++i)
            a.AddPoint(FIn.Float(), FIn.Float());
        } catch (...) {
          a.EndUpdate();
          throw;
        }
        a.EndUpdate();
        break;
      }
      case 2:
        a.Clear();
        break;
      case 3:
        a.SetTriangle(FIn.Float(), FIn.Float(), FIn.Float());
        break;
      case 4:
        a.SetCurve(Count(), FIn.Bool(), FIn.Float(), FIn.Float(), FIn.Float());
        break;
      case 5:
        a.SetPICurve(Count(), FIn.Float(), FIn.Float(), FIn.Float());
        break;
      case 6:
        a.SetPICurveRange(Count(), FIn.Float(), FIn.Float());
        break;
      case 7:
        a.SetWeightedBetaCurve(Count(), FIn.Float(), FIn.Float(), FIn.Float(), FIn.Float());
        break;
      case 8:
        a.SetCrispValue(FIn.Float());
        break;
      case 9:
        a.SetSetType(static_cast<TFuzzySetType>(FIn.Int(0, 5)));
        break;
      case 10:
        Keep(a.Intersection(Pick(), static_cast<TFuzzyOperation>(FIn.Int(0, 7))));
        break;
      case 11:
        Keep(a.Union(Pick(), static_cast<TFuzzyOperation>(FIn.Int(0, 7))));
        break;
      case 12:
        if (FIn.Bool()) {
          Keep(a.Aggregate(Pick(), static_cast<TFuzzyInferenceMethod>(FIn.Int(0, 5)), FIn.Bool()));
        } else {
          Keep(a.AggregateByComponent(Pick(), FIn.Bool()));
        }
        break;
      case 13: {
        TFuzzySet& b = Pick();
        const double degree = a.MatchDegree(b);
        CheckFinite(degree, "MatchDegree");
        Require(degree >= 0, "a negative match degree");
        (void)a.Overlaps(b);
        if (FVariable) (void)a.ReachesThreshold(b);
        break;
      }
      case 14: {
        // Hedges, also many in a row: the work must stay proportional to the repeats.
        const int hedge = FIn.Int(-1, 20);
        const int repeats = FIn.Bool() ? 1 : FIn.Int(1, 30);
        for (int i = 0; i < repeats; ++i)
          a.ApplyHedge(hedge);
        break;
      }
      case 15:
        a.ApplyOperator(FIn.Int(-1, 9), FIn.Bool(), FIn.Float());
        break;
      case 16:
        if (FIn.Bool()) {
          a.Correlate(FIn.Bool(), FIn.Float());
        } else {
          a.Correlate(FIn.Float());
        }
        break;
      case 17:
        a.Normalize();
        break;
      case 18:
        Keep(a.AlphaCut(FIn.Bool(), FIn.Float()));
        break;
      case 19:
        Keep(a.CombineWithValue(FIn.Bool(), FIn.Float()));
        break;
      case 20:
        a.GetValues().Densify(FIn.Int(-2, kMaxGeneratedPoints));
        break;
      case 21:
        Pick().Assign(a);
        break;
      case 22:
        if (FVariable) {
          TFuzzySet* copy = a.Clone();
          Require(copy != nullptr, "Clone gave nothing");
          FSlots[FIn.Int(0, kSlots - 1)].set = copy;
        }
        break;
      case 23:
        CheckFinite(a.GetMembership(FIn.Float()), "GetMembership");
        break;
      case 24: {
        static constexpr const char* kNames[] = {"cold", "very", "or-sum", "*X", "hot air", ""};
        a.SetName(kNames[FIn.Int(0, 5)]);
        break;
      }
      case 25:
        if (a.GetCount() > 0) {
          TFuzzySetValue& point = *a.GetValues().GetPoint(FIn.Int(0, a.GetCount() - 1));
          switch (FIn.Int(0, 2)) {
            case 0:
              point.SetX(FIn.Float());
              break;
            case 1:
              point.SetY(FIn.Float());
              break;
            default:
              point.SetXY(FIn.Float(), FIn.Float());
              break;
          }
        }
        break;
      case 26:
        if (a.GetCount() > 0) a.GetValues().Delete(FIn.Int(0, a.GetCount() - 1));
        break;
      default: {
        TFuzzySet& source = Pick();
        a.GetValues().CopyPoints(source.GetValues(), FIn.Int(-2, 50), FIn.Int(-2, 50));
        break;
      }
    }
  }

  int Count() { return FIn.Int(-2, kMaxGeneratedPoints); }

  FuzzInput& FIn;
  const bool FTrace = std::getenv("TAPWISE_FUZZ_TRACE") != nullptr;
  std::unique_ptr<testing::TestVariable> FVariable;
  Slot FSlots[kSlots];
};

}  // namespace
}  // namespace tapwise::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return tapwise::fuzzing::RunLeavingNothingAlive([&] {
    tapwise::fuzzing::FuzzInput in(data, size);
    tapwise::fuzzing::Run run(in);
    run.Go();
  });
}
