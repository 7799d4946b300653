#pragma once

#include <cstddef>

namespace tapwise::bench {

/// How many times the global operator new ran on this thread since the program started.
/// The benchmark binary replaces the global allocation functions to count (the library is
/// untouched); take the difference around the code to measure.
std::size_t AllocationCount() noexcept;

}  // namespace tapwise::bench
