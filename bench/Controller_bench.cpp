// Side-by-side timings of one faucet controller tick and of reading definition texts, Tapwise
// against the fuzzylite peer. One iteration of a tick benchmark sweeps the fixed list of 1000
// outlet readings, so the time per tick is the iteration time divided by 1000.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "BenchInputs.h"
#include "FuzzyliteFaucetController.h"
#include "TapwiseFaucetController.h"
#include "tapwise/faucet/FaucetDefinitions.h"
#include "tapwise/foundation/Stream.h"
#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"
#include "tapwise/fuzzy/StreamTokenInterfaces.h"
#include "tapwise/language/FuzzyLogicParser.h"
#include "tapwise/language/TokenStream.h"

namespace tapwise::bench {
namespace {

template <typename Controller>
void SweepReadings(benchmark::State& state, Controller& controller) {
  const auto& readings = OutletReadings();
  for (auto _ : state) {
    for (const OutletReading& reading : readings) {
      ValveChanges changes = controller.Tick(reading);
      benchmark::DoNotOptimize(changes);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(readings.size()));
}

void BM_Tick_Tapwise(benchmark::State& state) {
  TapwiseFaucetController controller;
  SweepReadings(state, controller);
}
BENCHMARK(BM_Tick_Tapwise)->Unit(benchmark::kMicrosecond);

#if TAPWISE_BENCH_FUZZYLITE
void BM_Tick_Fuzzylite(benchmark::State& state) {
  FuzzyliteFaucetController controller(static_cast<int>(state.range(0)));
  SweepReadings(state, controller);
}
BENCHMARK(BM_Tick_Fuzzylite)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_Parse_FuzzyliteFll(benchmark::State& state) {
  const std::string text = GenerateFllText(kParseVariables, kParseTermsPerVariable);
  for (auto _ : state)
    benchmark::DoNotOptimize(ImportFll(text));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Parse_FuzzyliteFll)->Unit(benchmark::kMillisecond);
#endif

// Reads `text` into a fresh TIFuzzyLogic with its own TZTFuzzyLogicParser per iteration, as
// the peer's importer builds a fresh engine; `read` does the reading.
template <class Read>
void ParseIntoFreshLogic(benchmark::State& state, std::string_view text, Read read) {
  for (auto _ : state) {
    TZTFuzzyLogicParser parser;
    TIFuzzyLogic logic;
    parser.SetFuzzyLogic(&logic);
    logic.SetParser(&parser);
    read(parser, logic);
    benchmark::DoNotOptimize(logic.GetVariableCount());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

// The Tapwise side of the parse comparison: GenerateDefinitionText (the same 500 variables
// of 7 triangles as the peer's FLL text). The component adds no automatic terms, so that
// both sides build exactly the variables and terms of the text.
void BM_Parse_Tapwise(benchmark::State& state) {
  const std::string text = GenerateDefinitionText(kParseVariables, kParseTermsPerVariable);
  ParseIntoFreshLogic(state, text, [&](TZTFuzzyLogicParser& parser, TIFuzzyLogic& logic) {
    logic.SetAutoTerms(false);
    parser.ParseFuzzyLogic(text);
  });
}
BENCHMARK(BM_Parse_Tapwise)->Unit(benchmark::kMillisecond);

// The demo's own definition text, read as the demo reads it: through the component's
// Strings, with its automatic terms.
void BM_Parse_TapwiseDemoText(benchmark::State& state) {
  ParseIntoFreshLogic(state, kFaucetDefinitions, [](TZTFuzzyLogicParser&, TIFuzzyLogic& logic) {
    logic.SetStrings(kFaucetDefinitions);
  });
}
BENCHMARK(BM_Parse_TapwiseDemoText)->Unit(benchmark::kMicrosecond);

// The tokenizer alone over the same text: the bound of what the parser can reach.
void BM_Tokenize_Tapwise(benchmark::State& state) {
  const std::string text = GenerateDefinitionText(kParseVariables, kParseTermsPerVariable);
  for (auto _ : state) {
    TZTStringStream source(text);
    TFuzzyLogicTokenStream tokens(source);
    int64_t count = 0;
    while (tokens.NextToken()->GetDataType() != dtEOF)
      ++count;
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Tokenize_Tapwise)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tapwise::bench
