#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "tapwise/foundation/Interface.h"

namespace tapwise::testing {

/// Asserts at the end of a scope that no interface-style object created inside it is still
/// alive, so that a reference cycle is reported by the test that made it.
class LiveObjectGuard {
 public:
  LiveObjectGuard() : FStart(LiveObjects::Count()) {}
  ~LiveObjectGuard() {
    EXPECT_EQ(LiveObjects::Count(), FStart) << "interface-style objects left alive";
  }
  LiveObjectGuard(const LiveObjectGuard&) = delete;
  LiveObjectGuard& operator=(const LiveObjectGuard&) = delete;

  int64_t Alive() const { return LiveObjects::Count() - FStart; }

 private:
  int64_t FStart;
};

}  // namespace tapwise::testing
