#include "tapwise/foundation/Interface.h"

namespace tapwise {

#if defined(TAPWISE_LIVE_OBJECT_COUNT)
namespace {
// Diagnostic counter for leak tests only; compiled out of ordinary builds.
std::atomic<int64_t> live_object_count{0};
}  // namespace

bool LiveObjects::IsCounting() noexcept {
  return true;
}
int64_t LiveObjects::Count() noexcept {
  return live_object_count.load();
}
void LiveObjects::Add(int64_t delta) noexcept {
  live_object_count += delta;
}
#else
bool LiveObjects::IsCounting() noexcept {
  return false;
}
int64_t LiveObjects::Count() noexcept {
  return 0;
}
#endif

}  // namespace tapwise
