#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

namespace tapwise::bench {

/// One side of a paired benchmark: what it runs and the counter its time is reported as.
struct PairedSide {
  std::string counter;  // reported as this counter, per iteration
  double scale;         // the counter is nanoseconds times this
  std::function<void()> run;
};

/// Each iteration runs every side back to back, starting with a different side each time,
/// and times each on the thread's CPU clock (after an untimed run that warms the caches up
/// for it). On a shared machine whose speed changes from one second to the next, the medians
/// of separately run benchmarks may come from a slow spell for one side and a quick one for
/// the other; paired sides always share the spell, so their ratio holds still.
void RunPaired(benchmark::State& state, std::vector<PairedSide> sides);

}  // namespace tapwise::bench
