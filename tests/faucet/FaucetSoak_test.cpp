// A long headless session of the faucet simulation: 100,000 timer events over runs that end
// green, stop red or are stopped from outside, with the feeds changed between runs (and now
// and then during one, as the sliders do). It must leave nothing alive and must not grow
// the heap once warmed up.

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <string>

#include "support/LiveObjectGuard.h"
#include "tapwise/faucet/FaucetDefinitions.h"
#include "tapwise/faucet/FaucetSimulation.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/foundation/StringList.h"

#if defined(__SANITIZE_ADDRESS__)
#define TAPWISE_SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAPWISE_SOAK_ASAN 1
#endif
#endif

#if defined(TAPWISE_SOAK_ASAN)
#if __has_include(<sanitizer/allocator_interface.h>)
#include <sanitizer/allocator_interface.h>
#else
// GCC's runtime has the function but ships no header for it.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif
#define TAPWISE_SOAK_HEAP 1
#elif !defined(TAPWISE_SOAK_ASAN) && defined(__GLIBC__) && __has_include(<malloc.h>)
#include <malloc.h>
#define TAPWISE_SOAK_HEAP 1
#endif

namespace tapwise {
namespace {

using testing::LiveObjectGuard;

#ifdef TAPWISE_SOAK_HEAP
// Bytes the program holds on the heap right now.
size_t HeapInUse() {
#ifdef TAPWISE_SOAK_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}
#endif

// Counts what a window would show; keeps no log, so the heap holds only the library's data.
class CountingHost : public ISimulationHost {
 public:
  void AppendLog(const std::string&) override { ++LogLines; }
  void SetStatusColor(TStatusColor color) override { Color = color; }
  void ShowMessage(const std::string&) override { ++Messages; }
  void SetTimerEnabled(bool enabled) override { TimerEnabled = enabled; }
  void SetTimerInterval(int) override {}
  void SetStartEnabled(bool) override {}

  int64_t LogLines = 0;
  int64_t Messages = 0;
  TStatusColor Color;
  bool TimerEnabled = false;
};

// Feed settings as the sliders set them: cold and hot temperature, cold and hot pressure.
struct TFeeds {
  const char* ColdTemp;
  const char* HotTemp;
  const char* ColdPress;
  const char* HotPress;
};

constexpr std::array<TFeeds, 8> kFeeds = {{
    {"20", "45", "50", "80"},  // the initial feeds
    {"20", "30", "50", "80"},  // hot feed too cold for the band
    {"60", "65", "50", "80"},  // both feeds too hot
    {"20", "45", "35", "35"},  // too little pressure for the flow band
    {"15", "60", "70", "100"},
    {"25", "50", "40", "90"},
    {"10", "55", "100", "40"},
    {"36", "36", "60", "60"},  // already mixed to the band
}};

// A run still going after this many timer events is stopped from outside.
constexpr int kMaxTicksPerRun = 400;
constexpr int64_t kTicks = 100000;
constexpr int64_t kWarmUpTicks = 1000;
// Number text of a different length and the allocator's rounding may move a few hundred
// bytes; a leak per run or per tick would show as megabytes.
constexpr int64_t kHeapSlack = 16 * 1024;

TEST(FaucetSoak, HundredThousandTicksLeaveNothingBehind) {
  LiveObjectGuard guard;
  CountingHost host;
  int64_t ticks = 0;
  int64_t runs = 0;
  int64_t green = 0;
  int64_t red = 0;
  int64_t stopped_from_outside = 0;
#ifdef TAPWISE_SOAK_HEAP
  int64_t warm_heap = -1;
  int64_t end_heap = -1;
#endif
  {
    TFaucetSimulation simulation(host);
    TStringList& variables = simulation.GetFuzzyLogic().GetVariables();
    while (ticks < kTicks) {
      const TFeeds& feeds = kFeeds[static_cast<size_t>(runs % kFeeds.size())];
      variables.SetValue(simvar::kColdTemp, feeds.ColdTemp);
      variables.SetValue(simvar::kHotTemp, feeds.HotTemp);
      variables.SetValue(simvar::kColdPress, feeds.ColdPress);
      variables.SetValue(simvar::kHotPress, feeds.HotPress);
      ++runs;
      simulation.Start();
      int run_ticks = 0;
      while (simulation.IsRunning() && run_ticks < kMaxTicksPerRun && ticks < kTicks) {
        // Every fifth run the hot slider moves half-way through.
        if (runs % 5 == 0 && run_ticks == 3) variables.SetValue(simvar::kHotTemp, "50");
        ASSERT_TRUE(simulation.Timer1Timer());
        ++run_ticks;
        ++ticks;
#ifdef TAPWISE_SOAK_HEAP
        if (ticks == kWarmUpTicks) warm_heap = static_cast<int64_t>(HeapInUse());
#endif
      }
      if (simulation.IsRunning()) {
        if (ticks < kTicks) ++stopped_from_outside;
        simulation.StopSimulation();
      } else if (host.Color == kStatusGreen) {
        ++green;
      } else {
        ++red;
      }
      ASSERT_FALSE(host.TimerEnabled);
    }
#ifdef TAPWISE_SOAK_HEAP
    end_heap = static_cast<int64_t>(HeapInUse());
#endif
  }
  EXPECT_GT(green, 0);
  EXPECT_GT(red, 0);
  EXPECT_GT(host.Messages, 0);
  std::cout << "soak: " << IntToStr(ticks) << " ticks, " << IntToStr(runs) << " runs ("
            << IntToStr(green) << " green, " << IntToStr(red) << " red, "
            << IntToStr(stopped_from_outside) << " stopped from outside)\n";
#ifdef TAPWISE_SOAK_HEAP
  std::cout << "soak: heap in use after warm-up " << IntToStr(warm_heap) << " bytes, at end "
            << IntToStr(end_heap) << " bytes\n";
  ASSERT_GE(warm_heap, 0);
  EXPECT_LE(end_heap - warm_heap, kHeapSlack)
      << "heap grew from " << warm_heap << " to " << end_heap << " bytes";
#endif
}

}  // namespace
}  // namespace tapwise
