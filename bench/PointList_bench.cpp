// How the point list grows: a set built point by point with AddPoint, as a reader of a long
// point list or a sampled shape does. Each point is checked against its neighbours only, so
// the time per point stays flat as the list grows.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "tapwise/fuzzy/FuzzySetValues.h"

namespace tapwise::bench {
namespace {

void BM_AddPoint_LongList(benchmark::State& state) {
  const auto count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    TFuzzySetValues values;
    for (int i = 0; i < count; ++i)
      values.AddPoint(i * 0.001, (i % 7) / 7.0);
    benchmark::DoNotOptimize(values.GetCount());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(count));
}
BENCHMARK(BM_AddPoint_LongList)->Arg(1000)->Arg(20000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tapwise::bench
