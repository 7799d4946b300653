#pragma once

#include <time.h>

#include <algorithm>
#include <limits>

namespace tapwise::bench {

/// The CPU time this thread has used, in nanoseconds: a busy neighbour on a shared machine
/// does not count in it.
inline double ThreadCpuNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

/// The CPU nanoseconds one call of `run` takes: the least, over `repetitions`, of the mean
/// over as many calls as fill `batch_nanoseconds`. The least, because on a machine shared
/// with other work a disturbance only ever adds time.
template <class Run>
double LeastNanosecondsPerCall(Run run, int repetitions, double batch_nanoseconds) {
  run();  // caches and first-use allocations
  double least = std::numeric_limits<double>::infinity();
  for (int repetition = 0; repetition < repetitions; ++repetition) {
    const double start = ThreadCpuNanoseconds();
    double elapsed = 0;
    long calls = 0;
    do {
      run();
      ++calls;
      elapsed = ThreadCpuNanoseconds() - start;
    } while (elapsed < batch_nanoseconds);
    least = std::min(least, elapsed / static_cast<double>(calls));
  }
  return least;
}

}  // namespace tapwise::bench
