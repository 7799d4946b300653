#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "BenchInputs.h"

namespace fl {
class Engine;
class InputVariable;
class OutputVariable;
}  // namespace fl

namespace tapwise::bench {

/// The same eight-rule faucet controller built with the fuzzylite peer library, defined in
/// fuzzylite/ and linked only when the peer is installed (`TAPWISE_BENCH_FUZZYLITE`).
///
/// Mamdani: minimum conjunction and implication, maximum aggregation, centroid over the
/// output universe -1..1 at the given resolution. The terms are fuzzylite's own smooth
/// shapes (ZShape, PiShape, SShape) where Tapwise uses seven-point curves, and ramps and
/// triangles with the change_vc point lists. Inputs are crisp (fuzzylite's standard
/// fuzzification: each term evaluated at the reading), where Tapwise fuzzifies the reading
/// into a narrow triangle and takes match degrees. Every rule of non-zero strength fires
/// (fuzzylite's General activation), where Tapwise fires from 0.01 on. A valve no rule fires
/// for gets 0.
class FuzzyliteFaucetController {
 public:
  explicit FuzzyliteFaucetController(int resolution);
  ~FuzzyliteFaucetController();
  FuzzyliteFaucetController(const FuzzyliteFaucetController&) = delete;
  FuzzyliteFaucetController& operator=(const FuzzyliteFaucetController&) = delete;

  ValveChanges Tick(const OutletReading& reading);

 private:
  std::unique_ptr<fl::Engine> FEngine;
  // Owned by the engine; kept to set and read values without a look-up by name.
  fl::InputVariable* FOutTemp = nullptr;
  fl::InputVariable* FOutFlow = nullptr;
  fl::OutputVariable* FHotChange = nullptr;
  fl::OutputVariable* FColdChange = nullptr;
};

/// The textbook tipping controller (examples/tipping.fzl) in fuzzylite: Mamdani with
/// minimum and maximum, clipping implication, maximum aggregation and a centroid sampled at
/// `resolution` points.
class FuzzyliteTipping {
 public:
  explicit FuzzyliteTipping(int resolution);
  ~FuzzyliteTipping();
  FuzzyliteTipping(const FuzzyliteTipping&) = delete;
  FuzzyliteTipping& operator=(const FuzzyliteTipping&) = delete;

  double Tip(double quality, double service);

 private:
  std::unique_ptr<fl::Engine> FEngine;
};

/// Parses an FLL text with fuzzylite's importer and returns the number of input variables
/// it found (so that the work cannot be optimised away).
std::size_t ImportFll(const std::string& text);

}  // namespace tapwise::bench
