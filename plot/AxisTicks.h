#pragma once

#include <string>
#include <vector>

namespace tapwise::plot {

/// The tick marks of one plot axis: positions and their labels.
struct TAxisTicks {
  std::vector<double> Values;
  std::vector<std::string> Labels;
};

/// Round tick positions within [min, max]: multiples of 1, 2, 2.5 or 5 times a power of ten,
/// about `target` of them, labelled with just the decimals the step needs
/// (AxisTicks(5, 65) gives 10, 20, ... 60; AxisTicks(-1, 1) gives -1, -0.5, 0, 0.5, 1).
/// A range without width, or one too wide for a double, gets its two ends as ticks.
TAxisTicks AxisTicks(double min, double max, int target = 6);

}  // namespace tapwise::plot
