#include "tapwise/language/TokenPool.h"

#include <cstddef>
#include <utility>

namespace tapwise {

IntfPtr<TFuzzyStreamToken> TTokenPool::AcquireNew() {
  // A new token, which becomes the newest of the ring.
  IntfPtr<TFuzzyStreamToken> made = TFuzzyStreamToken::Create();
  made->FInPool = true;
  TSlot slot{made, made.Get()};
  if (FRing.size() < kCapacity) {
    // In front of the oldest, which stays next to be looked at.
    FRing.insert(FRing.begin() + static_cast<std::ptrdiff_t>(FNext), std::move(slot));
  } else {
    // The oldest leaves the ring to whoever holds it.
    TSlot& oldest = FRing[FNext];
    oldest.Token->FInPool = false;
    if (oldest.Token == FCurrent) FCurrentHold = std::move(oldest.Hold);
    oldest = std::move(slot);
  }
  FNext = (FNext + 1) % FRing.size();
  return made;
}

}  // namespace tapwise
