// Arbitrary bytes through the definition-language tokenizer until the end of the text, with
// push-backs and the other look-ahead operations mixed in as the first byte chooses. The
// tokenizer must end, fail only with its documented parse errors and leave nothing alive.

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/foundation/Stream.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/StreamTokenInterfaces.h"
#include "tapwise/language/TokenStream.h"

namespace tapwise::fuzzing {
namespace {

void Tokenize(uint8_t mode, const std::string& text) {
  TZTStringStream source(text);
  TFuzzyLogicTokenStream tokens(source);
  std::vector<IntfPtr<IFuzzyStreamToken>> taken;
  // Each byte ends at most one token, and each push-back is taken again once: a bound far
  // above what a sound tokenizer needs, so that a loop that does not end is reported.
  const size_t limit = 4 * text.size() + 64;
  size_t steps = 0;
  for (;;) {
    Require(++steps <= limit, "the tokenizer did not reach the end of the text");
    const IntfPtr<IFuzzyStreamToken> token = tokens.NextToken();
    Require(token != nullptr, "NextToken gave no token");
    if (token->GetDataType() == dtEOF) break;
    Require(std::isfinite(token->GetNumber()), "a token carries a number that is not finite");
    Require(token->GetLineNumber() >= 1, "a token before the first line");
    taken.push_back(token);
    // Push back the last one or two tokens now and then; they must come out again in order.
    if ((mode & 1) != 0 && steps % 3 == 0) {
      const size_t back = (mode & 2) != 0 && taken.size() >= 2 ? 2 : 1;
      for (size_t i = 0; i < back; ++i) {
        tokens.PushBackToken(taken.back());
        taken.pop_back();
      }
      for (size_t i = 0; i < back; ++i)
        taken.push_back(tokens.NextToken());
    }
    if ((mode & 4) != 0 && steps % 5 == 0) (void)tokens.PeekKeyword();
    if ((mode & 8) != 0 && steps % 7 == 0) (void)tokens.CurrentToken();
    if ((mode & 32) != 0 && steps % 4 == 0) (void)tokens.PeekToken();
    (void)tokens.ParsedText();
  }
  if ((mode & 16) != 0) tokens.SkipToBalance();
  // After the end, the end again.
  Require(tokens.NextToken()->GetDataType() == dtEOF, "text after the end of the text");
}

}  // namespace
}  // namespace tapwise::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return tapwise::fuzzing::RunModeAndText(data, size, [](uint8_t mode, const std::string& text) {
    try {
      tapwise::fuzzing::Tokenize(mode, text);
    } catch (const tapwise::EFzyParseException&) {
      // An unterminated string; the only failure the tokenizer has.
    }
  });
}
