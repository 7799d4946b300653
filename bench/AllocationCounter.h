#pragma once

#include <cstddef>

namespace tapwise::bench {

/// How many times the global operator new ran on this thread since the program started.
/// The benchmark binaries replace the global allocation functions to count (the library is
/// untouched); take the difference around the code to measure.
std::size_t AllocationCount() noexcept;

/// Heap bytes this thread holds through the global operator new: each block counts its
/// usable size as the allocator reports it, from allocation until it is deleted (on this
/// thread: the benchmarks free what they allocate on the same thread).
std::size_t LiveHeapBytes() noexcept;
/// The most `LiveHeapBytes` has been since the last `ResetPeakHeapBytes`.
std::size_t PeakHeapBytes() noexcept;
/// Starts a new peak from the bytes live now.
void ResetPeakHeapBytes() noexcept;

}  // namespace tapwise::bench
