// Side-by-side timings of one faucet controller tick and of reading definition texts, Tapwise
// against the fuzzylite peer. One iteration of a tick benchmark sweeps the fixed list of 1000
// outlet readings, so the time per tick is the iteration time divided by 1000.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "BenchInputs.h"
#include "FuzzyliteFaucetController.h"
#include "TapwiseFaucetController.h"
#include "tapwise/foundation/Stream.h"
#include "tapwise/fuzzy/StreamTokenInterfaces.h"
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

// The Tapwise side of the parse comparison reads GenerateDefinitionText (the same 500
// variables of 7 triangles) with TZTFuzzyLogicParser into a TIFuzzyLogic; it is added as
// BM_Parse_Tapwise once the parser and the component exist. Until then the tokenizer alone
// reads that text, which bounds what the parser can reach.
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
