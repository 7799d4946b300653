// Reading cost against the size of the text: time, peak and retained heap bytes.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <limits>
#include <string>

#include "AllocationCounter.h"
#include "BenchInputs.h"
#include "CpuTime.h"
#include "CsvFile.h"
#include "GeneratedControllers.h"
#include "ScalingCurves.h"
#include "tapwise/control/FuzzyController.h"
#include "tapwise/foundation/NumberText.h"
#if TAPWISE_BENCH_FUZZYLITE
#include "FuzzyliteEngine.h"
#endif

namespace tapwise::bench {
namespace {

constexpr int kTermsPerVariable = 7;

struct ParsePoint {
  std::size_t Bytes = 0;
  double Seconds = 0;
  std::size_t PeakBytes = 0;
  std::size_t RetainedBytes = 0;
};

// Reads `text` with `read` (which returns what it built) a few times: the least time of the
// reading alone (what it built is let go untimed), and the heap bytes on top of the text's
// at the peak and while the result lives.
template <class Read>
ParsePoint MeasureRead(const std::string& text, Read read) {
  const int repetitions = text.size() <= 2'000'000 ? 5 : text.size() <= 20'000'000 ? 2 : 1;
  ParsePoint point{.Bytes = text.size(), .Seconds = std::numeric_limits<double>::infinity()};
  for (int repetition = 0; repetition < repetitions; ++repetition) {
    const std::size_t before = LiveHeapBytes();
    ResetPeakHeapBytes();
    const double start = ThreadCpuNanoseconds();
    {
      const auto result = read(text);
      point.Seconds = std::min(point.Seconds, (ThreadCpuNanoseconds() - start) / 1e9);
      point.RetainedBytes = LiveHeapBytes() - before;
    }
    point.PeakBytes = PeakHeapBytes() - before;
  }
  return point;
}

// The text `generate` makes for the count that brings it nearest `bytes`; the texts grow
// by the same number of bytes per unit of count.
std::string TextOfSize(std::size_t bytes, const std::function<std::string(long)>& generate) {
  const auto small = static_cast<double>(generate(1000).size());
  const auto per_unit = (static_cast<double>(generate(2000).size()) - small) / 1000;
  const double count = 1000 + (static_cast<double>(bytes) - small) / per_unit;
  return generate(std::max(1L, std::lround(count)));
}

// Sizes from 50 KB up in steps of the square root of ten.
template <class Read>
void Series(const ScalingOptions& options, CsvFile& csv, const std::string& name,
            const std::function<std::string(long)>& generate, Read read,
            double stop_after_seconds = std::numeric_limits<double>::infinity()) {
  for (double bytes = 5e4; bytes <= static_cast<double>(options.MaxParseBytes) * 1.01;
       bytes *= std::sqrt(10.0)) {
    const ParsePoint point =
        MeasureRead(TextOfSize(static_cast<std::size_t>(bytes), generate), read);
    csv.Row({name, IntToStr(static_cast<long>(point.Bytes)), FormatFixed(point.Seconds, 6),
             IntToStr(static_cast<long>(point.PeakBytes)),
             IntToStr(static_cast<long>(point.RetainedBytes))});
    if (point.Seconds > stop_after_seconds) break;
  }
}

}  // namespace

void MeasureParseCurve(const ScalingOptions& options) {
  CsvFile csv(options.OutputDirectory + "/parse_size.csv",
              {"series", "bytes", "seconds", "peak_bytes", "retained_bytes"});
  const auto read_controller = [](const std::string& text) {
    return TFuzzyController::FromText(text);
  };
  // A controller whose text grows by its rules: six inputs of ten terms. The series ends
  // after a read of more than 10 s, so that a slower machine still finishes within minutes.
  Series(
      options, csv, "tapwise_rules",
      [](long rules) {
        return GeneratedControllerText({6, 10, static_cast<int>(rules)});
      },
      read_controller, 10.0);
  // Variables alone, the same text the parse benchmark reads.
  Series(
      options, csv, "tapwise_variables",
      [](long variables) {
        return GenerateDefinitionText(static_cast<int>(variables), kTermsPerVariable);
      },
      read_controller);
#if TAPWISE_BENCH_FUZZYLITE
  // The same variables in FLL, read by fuzzylite, for as long as a text takes it seconds.
  Series(
      options, csv, "fuzzylite_variables",
      [](long variables) {
        return GenerateFllText(static_cast<int>(variables), kTermsPerVariable);
      },
      [](const std::string& text) { return std::make_unique<FuzzyliteEngine>(text, 100); }, 3.0);
#endif
}

}  // namespace tapwise::bench
