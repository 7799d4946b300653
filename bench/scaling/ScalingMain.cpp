// The scaling binary: measures how evaluation, reading and memory grow with the size of a
// controller and writes one CSV file per curve (bench/scaling.sh draws them).
//
//   tapwise_scaling [--out=DIR] [--curves=process,parse,memory] [--max-parse-bytes=N]
//                   [--repetitions=N]

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

#include "ScalingCurves.h"

int main(int argc, char** argv) {
  tapwise::bench::ScalingOptions options;
  std::string curves = "process,parse,memory";
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    const auto value = [&](std::string_view prefix) {
      return argument.starts_with(prefix) ? std::string(argument.substr(prefix.size()))
                                          : std::string();
    };
    if (argument.starts_with("--out=")) {
      options.OutputDirectory = value("--out=");
    } else if (argument.starts_with("--curves=")) {
      curves = value("--curves=");
    } else if (argument.starts_with("--max-parse-bytes=")) {
      options.MaxParseBytes = std::strtoull(value("--max-parse-bytes=").c_str(), nullptr, 10);
    } else if (argument.starts_with("--repetitions=")) {
      options.Repetitions = std::atoi(value("--repetitions=").c_str());
    } else {
      std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
      return 2;
    }
  }
#if !TAPWISE_BENCH_FUZZYLITE
  std::fputs("note: fuzzylite is not built in; the peer columns stay empty\n", stderr);
#endif
  const auto wanted = [&curves](std::string_view curve) {
    return ("," + curves + ",").find("," + std::string(curve) + ",") != std::string::npos;
  };
  try {
    if (wanted("process")) tapwise::bench::MeasureProcessCurves(options);
    if (wanted("parse")) tapwise::bench::MeasureParseCurve(options);
    if (wanted("memory")) tapwise::bench::MeasureMemoryCurve(options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tapwise_scaling: %s\n", error.what());
    return 1;
  }
  return 0;
}
