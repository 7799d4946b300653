// Arbitrary sequences of edits, operations and hedges on counted fuzzy sets that move
// between two variables and their term tables. Besides the invariants of every set, the
// release rule is under test: once the run lets go of everything, no set and no variable may
// be left alive (a reference cycle between a variable and its terms would stay).

#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "ParserHarness.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/IFuzzySet.h"
#include "tapwise/fuzzy/InterfacedFuzzySet.h"
#include "tapwise/fuzzy/InterfacedFuzzyVariable.h"

namespace tapwise::fuzzing {
namespace {

constexpr int kSlots = 4;
constexpr int kMaxSteps = 48;
constexpr int kMaxPoints = 400;

class Run {
 public:
  explicit Run(FuzzInput& in) : FIn(in) {
    for (int v = 0; v < 2; ++v) {
      FVariables[v] = TIFuzzyVariable::Create(v == 0 ? "t" : "u");
      const double a = FIn.Float();
      const double b = FIn.Float();
      try {
        FVariables[v]->SetMinimum(a);
        FVariables[v]->SetMaximum(b);
      } catch (const Exception&) {
      }
    }
    for (int i = 0; i < kSlots; ++i)
      FSets[i] = TIFuzzySet::Create(AnyVariable(), "s" + std::to_string(i));
  }

  void Go() {
    for (int step = 0; step < kMaxSteps && !FIn.Empty(); ++step) {
      try {
        Step();
      } catch (const Exception&) {
      }
      for (auto& set : FSets) {
        CheckSet(*set);
        if (set->GetCount() > kMaxPoints) set->Clear();
      }
    }
  }

 private:
  IntfPtr<IFuzzyVariable> AnyVariable() {
    const int v = FIn.Int(0, 2);
    return v == 2 ? nullptr : FVariables[v];
  }
  IntfPtr<IFuzzySet>& Pick() { return FSets[FIn.Int(0, kSlots - 1)]; }
  void Keep(IntfPtr<IFuzzySet> result) {
    if (!result) return;
    CheckSet(*result);
    Pick() = std::move(result);
  }
  int Count() { return FIn.Int(-2, 200); }

  void Step() {
    IntfPtr<IFuzzySet> a = Pick();
    switch (FIn.Int(0, 24)) {
      case 0:
        a->AddPoint(FIn.Float(), FIn.Float());
        break;
      case 1:
        a->Clear();
        break;
      case 2:
        a->SetTriangle(FIn.Float(), FIn.Float(), FIn.Float());
        break;
      case 3:
        a->SetCurve(Count(), FIn.Bool(), FIn.Float(), FIn.Float(), FIn.Float());
        break;
      case 4:
        a->SetPICurveRange(Count(), FIn.Float(), FIn.Float());
        break;
      case 5:
        a->SetWeightedBetaCurve(Count(), FIn.Float(), FIn.Float(), FIn.Float(), FIn.Float());
        break;
      case 6:
        a->SetSetType(static_cast<TFuzzySetType>(FIn.Int(0, 5)));
        break;
      case 7:
        Keep(a->Intersection(*Pick(), static_cast<TFuzzyOperation>(FIn.Int(0, 7))));
        break;
      case 8:
        Keep(a->Union(*Pick(), static_cast<TFuzzyOperation>(FIn.Int(0, 7))));
        break;
      case 9:
        Keep(a->Aggregate(*Pick(), static_cast<TFuzzyInferenceMethod>(FIn.Int(0, 5)), FIn.Bool()));
        break;
      case 10:
        Require(std::isfinite(a->MatchDegree(*Pick())), "MatchDegree is not finite");
        break;
      case 11: {
        const int hedge = FIn.Int(-1, 20);
        const int repeats = FIn.Bool() ? 1 : FIn.Int(1, 20);
        for (int i = 0; i < repeats; ++i)
          a->ApplyHedge(hedge);
        break;
      }
      case 12:
        a->ApplyOperator(FIn.Int(-1, 9), FIn.Bool(), FIn.Float());
        break;
      case 13:
        a->Correlate(FIn.Bool(), FIn.Float());
        break;
      case 14:
        a->Normalize();
        break;
      case 15:
        Keep(a->AlphaCut(FIn.Bool(), FIn.Float()));
        break;
      case 16:
        Keep(a->CombineWithValue(FIn.Bool(), FIn.Float()));
        break;
      case 17:
        a->Densify(FIn.Int(-2, 300));
        break;
      case 18:
        a->SetVariable(AnyVariable());
        break;
      case 19:
        a->MarkDefined();
        if (a->GetVariable()) a->GetVariable()->AddFuzzySet(a);
        break;
      case 20: {
        static constexpr const char* kNames[] = {"cold", "hot", "very", "s0", "a b", ""};
        a->SetName(kNames[FIn.Int(0, 5)]);
        break;
      }
      case 21:
        Keep(a->CopyForVariable(AnyVariable()));
        break;
      case 22:
        Pick()->AssignPoints(*a);
        break;
      case 23: {
        // The variable lets go of its terms, or of one of them.
        const IntfPtr<IFuzzyVariable> variable = AnyVariable();
        if (!variable) break;
        if (FIn.Bool()) {
          variable->ClearFuzzySets();
        } else {
          variable->RemoveFuzzySet(*a);
        }
        break;
      }
      default:
        // The run lets go of a variable: its terms must keep it alive only as long as they are
        // held from outside.
        FVariables[FIn.Int(0, 1)] = TIFuzzyVariable::Create("w");
        break;
    }
  }

  FuzzInput& FIn;
  IntfPtr<IFuzzyVariable> FVariables[2];
  IntfPtr<IFuzzySet> FSets[kSlots];
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
