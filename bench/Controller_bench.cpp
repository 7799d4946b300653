// Side-by-side timings of one faucet controller tick and of reading definition texts, Tapwise
// against the fuzzylite peer. One iteration of a tick benchmark sweeps the fixed list of 1000
// outlet readings, so the time per tick is the iteration time divided by 1000.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "BenchInputs.h"
#include "FuzzyliteFaucetController.h"
#include "PairedRuns.h"
#include "TapwiseFaucetController.h"
#include "tapwise/faucet/FaucetDefinitions.h"
#include "tapwise/foundation/Stream.h"
#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"
#include "tapwise/fuzzy/StreamTokenInterfaces.h"
#include "tapwise/language/FuzzyLogicParser.h"
#include "tapwise/language/TokenStream.h"

namespace tapwise::bench {
namespace {

// One sweep of a controller over the fixed readings.
template <typename Controller>
void SweepReadingsOnce(Controller& controller) {
  for (const OutletReading& reading : OutletReadings()) {
    ValveChanges changes = controller.Tick(reading);
    benchmark::DoNotOptimize(changes);
  }
}

template <typename Controller>
void SweepReadings(benchmark::State& state, Controller& controller) {
  for (auto _ : state)
    SweepReadingsOnce(controller);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(OutletReadings().size()));
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

// Reads a text into a fresh TIFuzzyLogic with its own TZTFuzzyLogicParser, as the peer's
// importer builds a fresh engine; `read` does the reading.
template <class Read>
void ReadIntoFreshLogic(Read read) {
  TZTFuzzyLogicParser parser;
  TIFuzzyLogic logic;
  parser.SetFuzzyLogic(&logic);
  logic.SetParser(&parser);
  read(parser, logic);
  benchmark::DoNotOptimize(logic.GetVariableCount());
}

// The Tapwise side of the parse comparison. The component adds no automatic terms, so that
// both sides build exactly the variables and terms of the text.
void ParseGeneratedText(const std::string& text) {
  ReadIntoFreshLogic([&](TZTFuzzyLogicParser& parser, TIFuzzyLogic& logic) {
    logic.SetAutoTerms(false);
    parser.ParseFuzzyLogic(text);
  });
}

// GenerateDefinitionText: the same 500 variables of 7 triangles as the peer's FLL text.
void BM_Parse_Tapwise(benchmark::State& state) {
  const std::string text = GenerateDefinitionText(kParseVariables, kParseTermsPerVariable);
  for (auto _ : state)
    ParseGeneratedText(text);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Parse_Tapwise)->Unit(benchmark::kMillisecond);

// The demo's own definition text, read as the demo reads it: through the component's
// Strings, with its automatic terms.
void BM_Parse_TapwiseDemoText(benchmark::State& state) {
  for (auto _ : state) {
    ReadIntoFreshLogic(
        [](TZTFuzzyLogicParser&, TIFuzzyLogic& logic) { logic.SetStrings(kFaucetDefinitions); });
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kFaucetDefinitions.size()));
}
BENCHMARK(BM_Parse_TapwiseDemoText)->Unit(benchmark::kMicrosecond);

// The tokenizer alone over the same text, its tokens taken as the parser takes them (as
// views): the bound of what the parser can reach.
void BM_Tokenize_Tapwise(benchmark::State& state) {
  const std::string text = GenerateDefinitionText(kParseVariables, kParseTermsPerVariable);
  for (auto _ : state) {
    TZTStringStream source(text);
    TFuzzyLogicTokenStream tokens(source);
    int64_t count = 0;
    while (tokens.Take().DataType != dtEOF)
      ++count;
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Tokenize_Tapwise)->Unit(benchmark::kMillisecond);

#if TAPWISE_BENCH_FUZZYLITE
// ---- Paired timings (PairedRuns.h) ----

// Nanoseconds per tick of each controller.
void BM_Paired_Tick(benchmark::State& state) {
  TapwiseFaucetController tapwise;
  FuzzyliteFaucetController fuzzylite100(100);
  FuzzyliteFaucetController fuzzylite1000(1000);
  const double per_tick = 1.0 / static_cast<double>(OutletReadings().size());
  RunPaired(state, {{"tapwise", per_tick, [&] { SweepReadingsOnce(tapwise); }},
                    {"fuzzylite100", per_tick, [&] { SweepReadingsOnce(fuzzylite100); }},
                    {"fuzzylite1000", per_tick, [&] { SweepReadingsOnce(fuzzylite1000); }}});
}
BENCHMARK(BM_Paired_Tick)->Unit(benchmark::kMillisecond);

// Nanoseconds per parse of the generated text and of its FLL twin.
void BM_Paired_Parse(benchmark::State& state) {
  const std::string text = GenerateDefinitionText(kParseVariables, kParseTermsPerVariable);
  const std::string fll = GenerateFllText(kParseVariables, kParseTermsPerVariable);
  state.counters["tapwise_bytes"] = static_cast<double>(text.size());
  state.counters["fuzzylite_bytes"] = static_cast<double>(fll.size());
  RunPaired(state, {{"tapwise", 1.0, [&] { ParseGeneratedText(text); }},
                    {"fuzzylite", 1.0, [&] { benchmark::DoNotOptimize(ImportFll(fll)); }}});
}
BENCHMARK(BM_Paired_Parse)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace tapwise::bench
