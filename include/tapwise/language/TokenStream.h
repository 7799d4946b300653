#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tapwise/foundation/Interface.h"
#include "tapwise/foundation/Stream.h"
#include "tapwise/language/StreamToken.h"
#include "tapwise/language/StreamTokenList.h"
#include "tapwise/language/TextStream.h"

namespace tapwise {

/// The tokenizer of the definition language: turns text such as
///
///     (deffuzzy outTemp
///       (range 5 65) (units Celcius) ; a comment
///       (cold (z 10 35)))
///
/// into TFuzzyStreamTokens, with the line each stood on and the blanks, line ends and
/// comments read in front of each (`WhiteSpace`). Besides the tokens it offers unlimited
/// push-back of whole tokens and an echo of the tokens of the form being read
/// (`ParsedText`), which error messages quote.
///
/// Lexical rules. Blanks are the bytes below 33; a comment runs from ";" to the end of its
/// line. At the start of a token, a double quote starts a string (a backslash takes the next
/// character literally, so \" is a quote and \\ a backslash), and each of & ( ) = [ ] | ~
/// is a token of its own. Anything else starts a word, which ends at a blank or in front of
/// one of " & ( ) ; < [ ] | ~; inside a word too a backslash takes the next character
/// literally (a\ b is the one word "a b"; a backslash that starts a word is an ordinary
/// character). So a=b is one word, a<b is the words a and <b, and <= is one word. A word is a
/// variable when it starts with "?", a number when it converts as one (65, -0.5, .05,
/// 0x1F, 1e-3), and a symbol otherwise. Every line end (CR LF, CR or LF) counts one line,
/// inside strings and comments too.
///
/// The source is not owned; it must outlive the token stream.
class TFuzzyLogicTokenStream : public TGTextStream {
 public:
  explicit TFuzzyLogicTokenStream(TStream& source);

  /// The next token; never null: at the end of the text, dtEOF tokens again and again.
  virtual IntfPtr<IFuzzyStreamToken> NextToken();
  /// Makes `token` the next one `NextToken` returns, rolls it back out of the echo and
  /// undoes its effect on `Depth`. Any number of tokens may be pushed back; the last one
  /// pushed back comes out first. A null token is ignored.
  virtual void PushBackToken(const IntfPtr<IFuzzyStreamToken>& token);
  /// The token last handed out or pushed back; when there is none yet, the next token
  /// (which is then taken).
  IntfPtr<IFuzzyStreamToken> CurrentToken();
  /// The text form of the tokens handed out for the current form, each followed by a
  /// blank, with a CR LF where the line changes: "( deffuzzy outTemp \r\n( range ".
  virtual std::string ParsedText() const;

  /// An empty token list for a group of tokens read from this stream: the list handed out
  /// last, emptied, when nobody holds it any more, else a new one.
  IntfPtr<TFuzzyStreamTokenList> NewTokenList();

  /// Reads the next token from the text itself, ignoring the look-ahead.
  virtual IntfPtr<IFuzzyStreamToken> ReadToken();
  /// Makes a token of the kind `hint` says: -1 end of the text (a word when `text` is not
  /// empty), 0 a word, 13 a line end, 34 a string, or the code of one of & ( ) = [ ] | ~.
  /// Raises EFzyParseException "Invalid Token hint for parsing token: %s" for other hints.
  virtual IntfPtr<IFuzzyStreamToken> MakeToken(int32_t hint, const std::string& text);
  /// Reads the next whole group into the look-ahead: a parenthesised form, a single token
  /// outside parentheses, or the rest of the text when the parentheses never balance. The
  /// echo restarts with each group.
  void FillLookahead();
  /// Empties the look-ahead and restarts the echo.
  virtual void ResetTokens();
  /// Skips the rest of the current line.
  virtual void SkipLine();
  /// Takes tokens until `Depth` is 0 again, or up to the end of the text.
  virtual void SkipToBalance();
  /// When the next token is "(", the keyword after it (the text of a symbol, "=" for the
  /// "=" token, "" for anything else), leaving both tokens to be read. Otherwise "" and the
  /// token is taken.
  virtual std::string PeekKeyword();
  /// The next token and the one after it, both left to be read, with the state that reading
  /// both and pushing them back (the second first) leaves: the next token is current, the
  /// echo and `Depth` are as they were. False when the look-ahead does not hold both or
  /// that state could not be had without reading (the echo would not come back the same);
  /// the caller then reads and pushes back itself.
  bool PeekTwo(IntfPtr<IFuzzyStreamToken>& first, IntfPtr<IFuzzyStreamToken>& second);
  /// `PeekTwo` for the next token alone: the state reading it and pushing it back leaves.
  bool PeekOne(IntfPtr<IFuzzyStreamToken>& next);

  /// When the tokens waiting next are numbers of this stream's own making (at most
  /// `values.size()` of them) and then ")", takes the numbers as `NextToken` would (echo,
  /// lines and `Depth` included), writes their values into `values` and returns how many
  /// there were; the ")" is left next in the state that reading it and pushing it back
  /// leaves. Otherwise -1 with nothing taken (the look-ahead filled, as reading would).
  /// This is what reading the argument list of a call with only numbers comes to.
  int TakeNumbersBeforeClose(std::span<double> values);

  /// Like the text stream's, but the bytes skipped join the pending white space of the next
  /// token and a line end passed counts a line.
  bool SkipWhitespace() override;
  /// Like the text stream's, counting a line at LF.
  char ReadChar() override;
  /// Like the text stream's; the line and its line end join the pending white space, and a
  /// line end read counts a line.
  std::string ReadLine() override;

  /// The line being read, counted from 1.
  int32_t GetLineNumber() const { return FLineNumber; }
  /// Opening minus closing parentheses among the tokens handed out and not pushed back.
  int32_t GetDepth() const { return FDepth; }
  bool IsLookaheadEmpty() const { return FLookahead.empty(); }

  static constexpr char kQuoteChar = '"';
  static constexpr char kEscapeChar = '\\';
  static constexpr char kCommentChar = ';';

 private:
  // Reads a quoted string after its opening quote into FTokenText.
  void ReadString();
  // Counts the line end `ch` (CR or LF) just read: a CR followed by LF leaves the count to
  // the LF, which is left unread.
  void CountLineEnd(int ch);
  // Keeps the line end that starts with `ch` (CR or LF, just read) in the pending white space,
  // reading the LF of a CR LF too, and counts one line.
  void KeepLineEnd(int ch);
  // Appends to `into` the run of bytes straight from the block that `in_run` accepts; a byte
  // after the run stays unread.
  template <class InRun>
  void TakeRun(std::string& into, InRun in_run);
  // The token of the word `text` (as MakeToken makes it for hint 0).
  IntfPtr<IFuzzyStreamToken> MakeWord(std::string_view text);
  // Gives a blank token the kind, number and text of the word `text`.
  static void FillWord(TFuzzyStreamToken& token, std::string_view text);
  // NewToken for a token read from the block, with `blanks` (and `stop`, when not null)
  // joining the pending white space; held by its recycling slot only.
  TFuzzyStreamToken* NewBlockToken(std::string_view blanks, const char* stop);
  // Whether this stream is of this very class, whose reading `TryReadTokenInBlock` may stand
  // in for: a descendant may read blanks or make tokens its own way.
  bool LexesFromBlock() const;
  // The next token read straight from the block, as ReadToken would read it, when it lies
  // whole in the block and needs no byte-by-byte care (no string, comment or escape, nothing
  // the block's end might cut); null, with nothing read, otherwise. The token is held by its
  // recycling slot only.
  TFuzzyStreamToken* TryReadTokenInBlock();
  // A blank token on the current line carrying the pending white space.
  IntfPtr<TFuzzyStreamToken> NewToken();
  // A blank token held by its recycling slot: a recycled one when the slot the stream comes
  // to holds the only reference left to its token, else a new one (see RecycledTokenSlow).
  TFuzzyStreamToken* RecycledToken() {
    if (!FRecycled.empty()) {
      TRecycleSlot& slot = FRecycled[FRecycleNext];
      TFuzzyStreamToken* const old = slot.Token;
      if (old->RefCount() == 1 && old != FLastPlain) {
        if (++FRecycleNext == FRecycled.size()) FRecycleNext = 0;
        // Nobody else holds it, so nobody can see it change: back to a fresh token.
        old->FDataType = dtEOF;
        old->FNumber = 0;
        old->FText.clear();
        old->FTag = 0;
        old->FValue = nullptr;
        old->FObject = nullptr;
        return old;
      }
    }
    return RecycledTokenSlow();
  }
  // RecycledToken when the slot's token is still in use (or there is no slot yet): a new
  // token in a slot of its own while there are fewer than kRecycleSlots, else in that slot.
  TFuzzyStreamToken* RecycledTokenSlow();
  // Writes the numbers still waiting in FEchoNumbers into the echo text.
  void FlushEcho() const;

  // A number of the echo kept as its value: the echo is read only by error messages, so the
  // text of a number is made when the echo is read, or when a push-back must cut into it.
  struct TEchoNumber {
    size_t Offset;  // where its text goes in FEchoText
    double Number;
    bool Integer;
  };

  // A token with the stream's own view of it when the stream made it: such a token's
  // fields are read directly, and its echo is written without a string of its own.
  struct TQueuedToken {
    IntfPtr<IFuzzyStreamToken> Token;
    TFuzzyStreamToken* Plain = nullptr;
  };
  // The view of `token` when it is the token made last, null otherwise.
  TFuzzyStreamToken* PlainView(const IFuzzyStreamToken* token) const {
    return token != nullptr && token == FMadeView ? FMade : nullptr;
  }
  void Echo(const IFuzzyStreamToken& token, const TFuzzyStreamToken* plain);
  // Whether pushing back a token just read gives back the present echo unchanged.
  bool EchoSurvivesPushBack() const;

  // How many tokens the stream keeps for recycling at most. Each stays in its slot until the
  // stream comes round to it again; it is reused only when the slot holds its last reference,
  // so a token anyone still holds is never touched. The slots are added as they are needed:
  // as many as there are tokens in use at once (a whole group waits in the look-ahead), so
  // that the tokens come round again while they are still in the cache.
  static constexpr size_t kRecycleSlots = 256;

  std::vector<TQueuedToken> FLookahead;  // the top (next out) is the back
  int32_t FLineNumber = 1;
  // LexesFromBlock's answer once asked: -1 not yet, else 0 or 1.
  mutable signed char FLexesFromBlock = -1;
  std::string FTokenText;
  // The echo; a push-back cuts it short. Its numbers may still wait in FEchoNumbers (in
  // ascending offsets), which is why both change when the echo is read.
  mutable std::string FEchoText;
  mutable std::vector<TEchoNumber> FEchoNumbers;
  // The token last handed out or pushed back, and the stream's own view of it when there is
  // one. A token in a recycling slot lives as long as its slot holds it, and the slot is
  // never reused while the token is the current one (it hands its reference to FLastHold
  // when it moves on), so such a token needs no reference of its own here; any other
  // token is held by FLastHold.
  IFuzzyStreamToken* FLast = nullptr;
  TFuzzyStreamToken* FLastPlain = nullptr;
  IntfPtr<IInterface> FLastHold;
  void SetLast(const IntfPtr<IFuzzyStreamToken>& token, TFuzzyStreamToken* plain) {
    FLast = token.Get();
    FLastPlain = plain;
    if (plain != nullptr && plain->FInRecycling) {
      FLastHold = nullptr;
    } else {
      FLastHold = token;
    }
  }
  int32_t FDepth = 0;
  // A recycling slot: the reference it holds, and the same token as the stream's own class.
  struct TRecycleSlot {
    IntfPtr<IInterface> Hold;
    TFuzzyStreamToken* Token = nullptr;
  };
  // The slots in a ring: from FRecycleNext on, the tokens go from the one made longest ago
  // to the one made last.
  std::vector<TRecycleSlot> FRecycled;
  size_t FRecycleNext = 0;
  // The list NewTokenList handed out last, held as an interface and seen as its class.
  IntfPtr<IInterface> FLastListHold;
  TFuzzyStreamTokenList* FLastList = nullptr;
  // The token made last (held by its recycling slot) and the same token as an interface.
  TFuzzyStreamToken* FMade = nullptr;
  const IFuzzyStreamToken* FMadeView = nullptr;
  std::string FPendingWhiteSpace;
  std::string FPushedText;  // the text of the token being pushed back, kept for its buffer
  // The line of the token echoed last, and the lines of those echoed before it, so that a
  // push-back restores what the next token's line is compared with.
  int32_t FEchoLine = 0;
  std::vector<int32_t> FEchoLines;
};

}  // namespace tapwise
