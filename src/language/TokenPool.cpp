#include "tapwise/language/TokenPool.h"

#include <cstddef>
#include <utility>

#include "tapwise/foundation/ExactType.h"

namespace tapwise {

IntfPtr<TFuzzyStreamToken> TTokenPool::Acquire() {
  if (!FRing.empty()) {
    TFuzzyStreamToken& oldest = *FRing[FNext].Token;
    if (&oldest != FCurrent && oldest.RefCount() == 1) {
      FNext = FNext + 1 == FRing.size() ? 0 : FNext + 1;
      // Nobody else holds it, so nobody sees it change: back to a blank token, keeping the
      // room of its strings.
      oldest.FDataType = dtEOF;
      oldest.FLineNumber = 0;
      oldest.FNumber = 0;
      oldest.FText.clear();
      oldest.FTag = 0;
      oldest.FWhiteSpace.clear();
      if (oldest.FValue) oldest.FValue = nullptr;
      oldest.FObject = nullptr;
      return IntfPtr<TFuzzyStreamToken>(&oldest);
    }
  }
  // The oldest token is still in use: a new one, which becomes the newest of the ring.
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

void TTokenPool::SetCurrent(const IntfPtr<IFuzzyStreamToken>& token) {
  FCurrent = token.Get();
  const auto* own = ExactCast<const TFuzzyStreamToken>(FCurrent);
  if (own != nullptr && own->FInPool) {
    if (FCurrentHold) FCurrentHold = nullptr;
  } else {
    FCurrentHold = token;
  }
}

}  // namespace tapwise
