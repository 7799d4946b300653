// Heap bytes a term costs once read, against the number of terms per variable.

#include <cstddef>
#include <memory>
#include <string>

#include "AllocationCounter.h"
#include "BenchInputs.h"
#include "CsvFile.h"
#include "ScalingCurves.h"
#include "tapwise/control/FuzzyController.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"
#include "tapwise/language/FuzzyLogicParser.h"
#if TAPWISE_BENCH_FUZZYLITE
#include "FuzzyliteEngine.h"
#endif

namespace tapwise::bench {
namespace {

constexpr int kVariables = 100;

// The heap bytes that what `build` makes holds while it lives.
template <class Build>
std::size_t RetainedBytes(Build build) {
  const std::size_t before = LiveHeapBytes();
  const auto built = build();
  return LiveHeapBytes() - before;
}

// The interfaced component with its parser, as the parse benchmark reads into it: only the
// text's own terms (no automatic ones).
struct ComponentWithParser {
  explicit ComponentWithParser(const std::string& text) {
    parser.SetFuzzyLogic(&logic);
    logic.SetParser(&parser);
    logic.SetAutoTerms(false);
    parser.ParseFuzzyLogic(text);
  }
  TZTFuzzyLogicParser parser;
  TIFuzzyLogic logic;
};

}  // namespace

void MeasureMemoryCurve(const ScalingOptions& options) {
  CsvFile csv(options.OutputDirectory + "/memory_terms.csv",
              {"terms", "variables", "tapwise_controller_bytes_per_term",
               "tapwise_component_bytes_per_term", "fuzzylite_bytes_per_term"});
  for (int terms : {2, 5, 10, 20, 50, 100, 200}) {
    const auto per_term = [terms](std::size_t bytes) {
      return FormatFixed(static_cast<double>(bytes) / (kVariables * terms), 1);
    };
    const std::string text = GenerateDefinitionText(kVariables, terms);
    const std::size_t controller = RetainedBytes([&] { return TFuzzyController::FromText(text); });
    const std::size_t component =
        RetainedBytes([&] { return std::make_unique<ComponentWithParser>(text); });
    std::string peer;
#if TAPWISE_BENCH_FUZZYLITE
    const std::string fll = GenerateFllText(kVariables, terms);
    peer = per_term(RetainedBytes([&] { return std::make_unique<FuzzyliteEngine>(fll, 100); }));
#endif
    csv.Row(
        {IntToStr(terms), IntToStr(kVariables), per_term(controller), per_term(component), peer});
  }
}

}  // namespace tapwise::bench
