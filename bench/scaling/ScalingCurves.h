#pragma once

#include <cstddef>
#include <string>

namespace tapwise::bench {

/// What a scaling run measures and where its CSV files go.
struct ScalingOptions {
  std::string OutputDirectory = ".";
  /// Timed batches per point; the least counts (see `LeastNanosecondsPerCall`).
  int Repetitions = 5;
  double BatchNanoseconds = 2e7;
  /// The largest definition text the parse curve reads.
  std::size_t MaxParseBytes = 50'000'000;
};

/// process_rules.csv, process_inputs.csv, process_terms.csv: nanoseconds per evaluation of
/// generated controllers of growing size, Tapwise beside fuzzylite at resolution 100.
void MeasureProcessCurves(const ScalingOptions& options);
/// parse_size.csv: seconds, peak and retained heap bytes to read definition texts of growing
/// size.
void MeasureParseCurve(const ScalingOptions& options);
/// memory_terms.csv: heap bytes retained per term by variables of growing term counts.
void MeasureMemoryCurve(const ScalingOptions& options);

}  // namespace tapwise::bench
