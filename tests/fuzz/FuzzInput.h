#pragma once

// What every harness shares: reading values out of the fuzzer's bytes, with a bias towards
// the numbers that break floating-point code, and reporting a broken invariant as a crash
// that libFuzzer records.

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "tapwise/foundation/Interface.h"

namespace tapwise::fuzzing {

/// Reports `what` and aborts, so that libFuzzer saves the input as a crash.
[[noreturn]] inline void Fail(const std::string& what) {
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
}

inline void Require(bool condition, const std::string& what) {
  if (!condition) Fail(what);
}

/// One fuzzing input through `body`, which must leave no counted object alive.
template <class Body>
int RunLeavingNothingAlive(Body&& body) {
  const int64_t alive = LiveObjects::Count();
  body();
  Require(LiveObjects::Count() == alive, "objects left alive after teardown");
  return 0;
}

/// As RunLeavingNothingAlive for harnesses whose first byte picks a mode and whose other
/// bytes are text: `body(mode, text)`; an empty input does nothing.
template <class Body>
int RunModeAndText(const uint8_t* data, size_t size, Body&& body) {
  if (size == 0) return 0;
  return RunLeavingNothingAlive(
      [&] { body(data[0], std::string(reinterpret_cast<const char*>(data) + 1, size - 1)); });
}

/// The fuzzer's bytes as a stream of choices and numbers.
class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : FData(data, size) {}

  bool Empty() { return FData.remaining_bytes() == 0; }
  bool Bool() { return FData.ConsumeBool(); }
  /// An integer in [low, high].
  int Int(int low, int high) { return FData.ConsumeIntegralInRange<int>(low, high); }
  std::string Text(size_t max_length) { return FData.ConsumeRandomLengthString(max_length); }
  std::string Rest() { return FData.ConsumeRemainingBytesAsString(); }

  /// A number: small whole numbers, degrees, values near the last one (within and just
  /// beyond the library's tolerance), huge and tiny magnitudes, infinities and NaN, or any
  /// double at all.
  double Float() {
    static constexpr double kInf = std::numeric_limits<double>::infinity();
    static constexpr std::array<double, 24> kSpecial = {
        0.0,
        1.0,
        -1.0,
        0.5,
        1e-4,
        5e-5,
        2e-4,
        1.0 / 3,
        2147483647.0,
        -2147483647.0,
        4294967294.0,
        1e300,
        -1e300,
        1e-300,
        std::numeric_limits<double>::max(),
        -std::numeric_limits<double>::max(),
        std::numeric_limits<double>::min(),
        std::numeric_limits<double>::denorm_min(),
        std::numeric_limits<double>::quiet_NaN(),
        kInf,
        -kInf,
        -0.0,
        1e15,
        65.0,
    };
    double value = 0;
    switch (FData.ConsumeIntegralInRange<int>(0, 6)) {
      case 0:
        value = FData.ConsumeIntegralInRange<int>(-10, 110);
        break;
      case 1:
        value = kSpecial[FData.ConsumeIntegralInRange<size_t>(0, kSpecial.size() - 1)];
        break;
      case 2:
        value = FData.ConsumeFloatingPoint<double>();
        break;
      case 3:
        value = FData.ConsumeFloatingPointInRange<double>(-100, 100);
        break;
      case 4:
        value = FData.ConsumeProbability<double>();
        break;
      case 5:
        value = FLast + FData.ConsumeIntegralInRange<int>(-4, 4) * 5e-5;
        break;
      default:
        value = FLast;
        break;
    }
    FLast = std::isfinite(value) ? value : 0;
    return value;
  }

 private:
  FuzzedDataProvider FData;
  double FLast = 0;
};

}  // namespace tapwise::fuzzing
