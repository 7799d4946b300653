#pragma once

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tapwise::bench {

/// A CSV file of measurements, each row echoed to standard output as it is written so that
/// a long run shows its progress.
class CsvFile {
 public:
  CsvFile(const std::string& path, const std::vector<std::string>& columns)
      : FStream(path), FName(path) {
    if (!FStream) throw std::runtime_error("cannot write " + path);
    Row(columns);
  }

  void Row(const std::vector<std::string>& cells) {
    std::string line;
    for (const std::string& cell : cells)
      line += (line.empty() ? "" : ",") + cell;
    FStream << line << '\n' << std::flush;
    std::printf("%s: %s\n", FName.c_str(), line.c_str());
    std::fflush(stdout);
  }

 private:
  std::ofstream FStream;
  std::string FName;
};

}  // namespace tapwise::bench
