// Arbitrary bytes through the definition-language tokenizer until the end of the text, with
// push-backs and the other look-ahead operations mixed in as the first byte chooses. The
// tokenizer must end, fail only with its documented parse errors and leave nothing alive;
// read through views, it must hand out what it hands out as objects.

#include <bit>
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

// What a reader sees of a token and of the stream after a step.
std::string Seen(const TTokenView& token, TFuzzyLogicTokenStream& stream) {
  return std::to_string(token.DataType) + "|" + std::string(token.Text) + "|" +
         std::to_string(std::bit_cast<uint64_t>(token.Number)) + "|" +
         std::to_string(token.LineNumber) + "|" + stream.ParsedText() + "|" +
         std::to_string(stream.GetDepth());
}

// Two streams over the text in lock step, one read through views and one through objects,
// with takes, peeks and push-backs as the text's own bytes choose: they must see the same.
void CompareViews(const std::string& text) {
  TZTStringStream view_source(text);
  TZTStringStream object_source(text);
  TFuzzyLogicTokenStream views(view_source);
  TFuzzyLogicTokenStream objects(object_source);
  const size_t limit = 4 * text.size() + 64;
  bool taken = false;
  for (size_t step = 0; step < limit; ++step) {
    const int action = step < text.size() ? static_cast<unsigned char>(text[step]) % 5 : 0;
    std::string viewed;
    std::string made;
    std::string view_error;
    std::string object_error;
    try {
      if (action == 1) {
        viewed = Seen(views.Peek(), views);
      } else if (action == 2) {
        viewed = Seen(views.PeekSecond(), views);
      } else if (action == 3 && taken) {
        views.PutBack();
        viewed = Seen(*views.GetWaiting(0), views);
      } else {
        viewed = Seen(views.Take(), views);
      }
    } catch (const EFzyParseException& error) {
      view_error = error.what();
    }
    try {
      if (action == 1) {
        made = Seen(TTokenView::Of(objects.PeekToken()), objects);
      } else if (action == 2) {
        made = Seen(TTokenView::Of(objects.PeekSecondToken()), objects);
      } else if (action == 3 && taken) {
        objects.PushBackToken(objects.CurrentToken());
        made = Seen(*objects.GetWaiting(0), objects);
      } else {
        made = Seen(TTokenView::Of(*objects.NextToken()), objects);
      }
    } catch (const EFzyParseException& error) {
      object_error = error.what();
    }
    Require(viewed == made && view_error == object_error,
            "a view and an object of the same token differ");
    taken = action == 0 || action == 4;
    if (views.IsLookaheadEmpty() && views.GetDepth() == 0 && made.starts_with("0|EOF|")) break;
  }
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
    if ((mode & 64) != 0) tapwise::fuzzing::CompareViews(text);
  });
}
