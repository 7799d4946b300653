#include "PairedRuns.h"

#include "CpuTime.h"

namespace tapwise::bench {

void RunPaired(benchmark::State& state, std::vector<PairedSide> sides) {
  std::vector<double> nanoseconds(sides.size(), 0.0);
  size_t first = 0;
  for (auto _ : state) {
    for (size_t k = 0; k < sides.size(); ++k) {
      const size_t side = (first + k) % sides.size();
      // Once untimed first, so that neither side pays for the caches the other one left.
      sides[side].run();
      const double start = ThreadCpuNanoseconds();
      sides[side].run();
      nanoseconds[side] += ThreadCpuNanoseconds() - start;
    }
    first = (first + 1) % sides.size();
  }
  const auto iterations = static_cast<double>(state.iterations());
  for (size_t side = 0; side < sides.size(); ++side)
    state.counters[sides[side].counter] = nanoseconds[side] / iterations * sides[side].scale;
}

}  // namespace tapwise::bench
