#pragma once

#include <string_view>

namespace tapwise::bench {

/// Prints, per engine case, the allocations per evaluation of every side and each side's
/// largest difference to a reference (fuzzylite at resolution 100,000) over the first
/// vectors; the modes of the benchmark binary that bench/run.sh uses. Returns the exit code.
int EngineReport();

/// One sweep of case `name`'s vectors through side `side` (tapwise, tapwise_as_written,
/// fuzzylite100, fuzzylite1000) inside a function named TapwiseBenchSweep..., for
/// callgrind's --toggle-collect='TapwiseBenchSweep*'. Returns the exit code.
int EngineCallgrind(std::string_view name, std::string_view side);

}  // namespace tapwise::bench
