#pragma once

#include <memory>
#include <span>
#include <string>

namespace fl {
class Engine;
}  // namespace fl

namespace tapwise::bench {

/// A fuzzylite engine read from text, for the scaling curves; defined in fuzzylite/ and
/// linked only when the peer is installed (`TAPWISE_BENCH_FUZZYLITE`).
class PeerEngine {
 public:
  /// The engine of a FIS text (the one format both libraries write and read), every output
  /// defuzzified by a centroid over `resolution` points.
  static PeerEngine FromFis(const std::string& text, int resolution);
  /// The engine of an FLL text, as fuzzylite's importer builds it.
  static PeerEngine FromFll(const std::string& text);

  PeerEngine(PeerEngine&&) noexcept;
  ~PeerEngine();

  /// Sets the input variables to `inputs`, in order, and processes: the first output's
  /// value (NaN where no rule fired).
  double Process(std::span<const double> inputs);

 private:
  explicit PeerEngine(fl::Engine* engine);
  std::unique_ptr<fl::Engine> FEngine;
};

}  // namespace tapwise::bench
