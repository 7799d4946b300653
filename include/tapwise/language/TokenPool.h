#pragma once

#include <cstddef>
#include <vector>

#include "tapwise/foundation/Interface.h"
#include "tapwise/language/StreamToken.h"

namespace tapwise {

/// The tokens of a tokenizer: blank ones to fill, each used again once nobody else holds it,
/// and the current token, kept alive for as long as it is current:
///
///     IntfPtr<TFuzzyStreamToken> token = pool.Acquire();  // as fresh as Create() makes it
///     pool.SetCurrent(token, token.Get());  // GetCurrent() stays valid after the caller lets go
///
/// Reading a long text thus costs a few hundred token objects rather than one per token, and
/// naming the current token costs no reference count of its own. The pool keeps its tokens
/// in a ring and comes round to them in the order it handed them out. A token is used again
/// only when the ring holds its last reference and it is not the current one, so a token
/// anyone still holds never changes. The ring grows to as many tokens as are in use at once
/// (a whole form waits in the look-ahead), up to a bound, so that tokens come round again
/// while they are still in the ring.
class TTokenPool {
 public:
  IntfPtr<TFuzzyStreamToken> Acquire() {
    if (!FRing.empty()) {
      TFuzzyStreamToken& oldest = *FRing[FNext].Token;
      if (&oldest != FCurrent && oldest.RefCount() == 1) {
        FNext = FNext + 1 == FRing.size() ? 0 : FNext + 1;
        Blank(oldest);
        return IntfPtr<TFuzzyStreamToken>(&oldest);
      }
    }
    return AcquireNew();
  }

  /// Makes `token` (of this pool or not) the current one; `own` is `token` as
  /// `ExactCast<const TFuzzyStreamToken>` gives it.
  void SetCurrent(const IntfPtr<IFuzzyStreamToken>& token, const TFuzzyStreamToken* own) {
    FCurrent = token.Get();
    if (own != nullptr && own->FInPool) {
      if (FCurrentHold) FCurrentHold = nullptr;
    } else {
      FCurrentHold = token;
    }
  }
  /// No token is current (the stream's current token has no object yet).
  void ClearCurrent() {
    FCurrent = nullptr;
    if (FCurrentHold) FCurrentHold = nullptr;
  }
  /// The current token; null before the first SetCurrent.
  IFuzzyStreamToken* GetCurrent() const { return FCurrent; }

 private:
  static constexpr size_t kCapacity = 256;

  // Nobody else holds `token`, so nobody sees it change: back to a blank token, keeping the
  // room of its strings.
  static void Blank(TFuzzyStreamToken& token) {
    token.FDataType = dtEOF;
    token.FLineNumber = 0;
    token.FNumber = 0;
    token.FText.clear();
    token.FTag = 0;
    token.FWhiteSpace.clear();
    if (token.FValue) token.FValue = nullptr;
    token.FObject = nullptr;
  }
  // Acquire when the oldest token is still in use.
  IntfPtr<TFuzzyStreamToken> AcquireNew();

  // A token of the ring: the reference the ring holds, and the token as its class.
  struct TSlot {
    IntfPtr<IInterface> Hold;
    TFuzzyStreamToken* Token;
  };

  // From FNext on, the tokens go from the one handed out longest ago to the newest.
  std::vector<TSlot> FRing;
  size_t FNext = 0;
  // The current token, held here only when the ring does not hold it.
  IFuzzyStreamToken* FCurrent = nullptr;
  IntfPtr<IInterface> FCurrentHold;
};

}  // namespace tapwise
