#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tapwise/foundation/Interface.h"
#include "tapwise/foundation/Stream.h"
#include "tapwise/language/StreamToken.h"
#include "tapwise/language/StreamTokenList.h"
#include "tapwise/language/TextStream.h"
#include "tapwise/language/TokenEcho.h"
#include "tapwise/language/TokenPool.h"
#include "tapwise/language/TokenReader.h"
#include "tapwise/language/TokenView.h"

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
/// Tokens come out as objects (`NextToken`, `PeekToken`) or as views of their fields
/// (`Take`, `Peek`): a reader that only looks at tokens reads views, and the stream then
/// makes no token object at all. Both ways hand out the same tokens with the same effect on
/// the echo, the depth and the current token, and may be mixed freely. A descendant that
/// overrides how tokens are read or handed out is always asked for objects, which the views
/// then show.
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

  /// The next token as `NextToken` hands it out, seen as a view; the token gets an object
  /// only if one is asked for later (`CurrentToken`). The view is valid until the stream is
  /// used again.
  TTokenView Take() {
    // Mostly a lexed token waits, handed out without a call.
    if (FNext < FLookahead.size() && !FLookahead[FNext].Token) return HandOutLexed(FNext++);
    return TakeOther();
  }
  /// What `PeekToken` and `PeekSecondToken` show and leave, as views.
  TTokenView Peek() {
    if (FNext < FLookahead.size() && !FLookahead[FNext].Token) {
      MakeLexedCurrent(FNext);
      SettleEcho();
      return ViewOf(FLookahead[FNext].Lexed);
    }
    return PeekOther();
  }
  TTokenView PeekSecond();
  /// Pushes back the token `Take` handed out last, as `PushBackToken` with its object would.
  void PutBack();
  /// The token `ahead` places after the next one among those waiting in the look-ahead,
  /// none when fewer wait. Looking changes nothing: nothing is read and no token becomes
  /// current.
  std::optional<TTokenView> GetWaiting(size_t ahead) const {
    if (ahead >= FLookahead.size() - FNext) return std::nullopt;
    return ViewOf(FLookahead[FNext + ahead]);
  }
  /// GetWaiting's token as an object (made, when it has none, in its place: the same object
  /// comes out when it is read); null when fewer wait.
  const IFuzzyStreamToken* GetWaitingToken(size_t ahead) const;

  /// The token last handed out or pushed back; when there is none yet, the next token
  /// (which is then taken).
  IntfPtr<IFuzzyStreamToken> CurrentToken();
  /// The text form of the tokens handed out for the current form, each followed by a
  /// blank, with a CR LF where the line changes: "( deffuzzy outTemp \r\n( range ".
  virtual std::string ParsedText() const;

  /// An empty token list for a group of tokens read from this stream: the list handed out
  /// last, emptied, when nobody holds it any more, else a new one.
  IntfPtr<TFuzzyStreamTokenList> NewTokenList();

  /// Reads the next token from the text itself, ignoring the look-ahead: the stream's lexer
  /// (TTokenReader) finds it in the buffer and `MakeToken` makes it. The look-ahead fills
  /// through this function, so a descendant's ReadToken or MakeToken makes every token.
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
  /// The next token, left to be read, with the state that reading it and pushing it back
  /// leaves: the token is current, `Depth` is as it was, and the echo is as the push-back
  /// trims it (to end in one blank). The token stays valid until the stream is used again.
  const IFuzzyStreamToken& PeekToken();
  /// The token after the next one, both left to be read, with the state that reading both
  /// and pushing them back (the second first) leaves; valid as long as `PeekToken`'s.
  const IFuzzyStreamToken& PeekSecondToken();

  /// Like the text stream's, but the bytes skipped join the pending white space of the next
  /// token and a line end passed counts a line.
  bool SkipWhitespace() override;
  /// Like the text stream's, counting a line at LF.
  char ReadChar() override;
  /// Like the text stream's; the line and its line end join the pending white space, and a
  /// line end read counts a line.
  std::string ReadLine() override;

  /// The line being read, counted from 1.
  int32_t GetLineNumber() const { return FReader.GetLineNumber(); }
  /// Opening minus closing parentheses among the tokens handed out and not pushed back.
  int32_t GetDepth() const { return FDepth; }
  bool IsLookaheadEmpty() const { return FNext == FLookahead.size(); }

  static constexpr char kQuoteChar = '"';
  static constexpr char kEscapeChar = '\\';
  static constexpr char kCommentChar = ';';

 private:
  // A token as the lexer read it: where its text and white space stand in FTexts (filled by
  // the lexer in place), and its kind, line and number.
  struct TLexedToken : TTokenReader::TSpans {
    int16_t DataType = dtEOF;
    int32_t LineNumber = 0;
    double Number = 0;
  };
  // A token waiting in the look-ahead: lexed, or an object (pushed back, made for a caller
  // who asked for one, or read by a descendant). `Own` is the object as the tokenizer's own
  // class (null for another class), asked once, so that the echo, the pool and the depth
  // read an own token's fields without a virtual call.
  struct TWaiting {
    TLexedToken Lexed;
    IntfPtr<IFuzzyStreamToken> Token;
    const TFuzzyStreamToken* Own = nullptr;
  };

  // How a token of `type` changes the depth of parentheses when it is read.
  static int32_t DepthStep(int32_t type) { return type == '(' ? 1 : type == ')' ? -1 : 0; }
  // Whether this stream reads and hands out lexed tokens: only when it is of this very
  // class, since a descendant may read or hand tokens out its own way.
  bool ReadsLexed();
  // The next token from the lexer, into `waiting`.
  void ReadLexed(TWaiting& waiting);
  TTokenView ViewOf(const TLexedToken& lexed) const {
    return {lexed.DataType, lexed.LineNumber, lexed.Number,
            std::string_view(FTexts.data() + lexed.TextAt, lexed.TextSize)};
  }
  TTokenView ViewOf(const TWaiting& waiting) const {
    return waiting.Token ? ViewOfObject(waiting) : ViewOf(waiting.Lexed);
  }
  static TTokenView ViewOfObject(const TWaiting& waiting);
  // A pool token with the fields of `lexed`; `own` is it as its class.
  IntfPtr<IFuzzyStreamToken> ObjectOf(const TLexedToken& lexed, const TFuzzyStreamToken*& own);
  // Gives `waiting` its object when it has none.
  void MakeObject(TWaiting& waiting);
  // The slot in front of the next waiting token, for a token pushed back.
  TWaiting& Unshift();
  // Hands out the lexed token of look-ahead slot `slot`.
  TTokenView HandOutLexed(size_t slot) {
    // Each view is made from the slot itself: copying one made in the return value would
    // read back stores still on their way.
    const TLexedToken& lexed = FLookahead[slot].Lexed;
    EchoLexed(slot);
    FDepth += DepthStep(lexed.DataType);
    MakeLexedCurrent(slot);
    return ViewOf(lexed);
  }
  // The echo of lexed tokens handed out one after another is the run of their slots, given
  // to the echo only when something else is echoed, the text is read or the slots change.
  void EchoLexed(size_t slot) {
    if (slot != FEchoRunEnd) {
      WriteEchoRun();
      FEchoRunBegin = slot;
    }
    FEchoRunEnd = slot + 1;
  }
  // Gives the run to the echo.
  void WriteEchoRun();
  // What settling the echo does, the run included: a run that ends in a token's text form
  // and a blank is settled already.
  void SettleEcho() {
    if (FEchoRunBegin != FEchoRunEnd) {
      if (!TTokenEcho::EndsInBlank(ViewOf(FLookahead[FEchoRunEnd - 1].Lexed))) return;
      WriteEchoRun();
    }
    FEcho.Settle();
  }
  // Empties the echo and the run, for a new group.
  void ClearEcho();
  // Makes the lexed token of look-ahead slot `slot` current, without an object.
  void MakeLexedCurrent(size_t slot) {
    if (!FCurrentIsLexed) {
      FPool.ClearCurrent();
      FCurrentIsLexed = true;
    }
    FCurrentSlot = slot;
  }
  // Makes the object of `waiting` current.
  void MakeObjectCurrent(const TWaiting& waiting) {
    FCurrentIsLexed = false;
    FPool.SetCurrent(waiting.Token, waiting.Own);
  }
  // Gives the current token its object, when it is a lexed one.
  void MakeCurrentObject();
  // Take, Peek and their effects where the next token is not a lexed one waiting.
  TTokenView TakeOther();
  TTokenView PeekOther();
  void HandOutObject(const TWaiting& waiting);
  void RollbackObject(const TWaiting& waiting);

  TTokenReader FReader{*this};
  TTokenPool FPool;  // its current token is the one last handed out or pushed back, unless
                     // that one is lexed and has no object (FCurrentIsLexed)
  TTokenEcho FEcho;
  // The run of slots echoed after FEcho's text (see EchoLexed); empty when the two are equal.
  size_t FEchoRunBegin = 0;
  size_t FEchoRunEnd = 0;
  // The tokens waiting, next out at FNext; those in front of it were handed out.
  std::vector<TWaiting> FLookahead;
  size_t FNext = 0;
  // The texts and white space of the lexed tokens read since the look-ahead last ran dry.
  std::string FTexts;
  // The current token when it is a lexed one without an object: the look-ahead slot it
  // stands in (the next waiting one when it was peeked or pushed back).
  bool FCurrentIsLexed = false;
  size_t FCurrentSlot = 0;
  // The token a descendant's NextToken handed to `Take`, kept for its view and `PutBack`.
  IntfPtr<IFuzzyStreamToken> FTaken;
  int8_t FReadsLexed = -1;  // not asked yet
  int32_t FDepth = 0;
  // The list NewTokenList handed out last, held as an interface and seen as its class.
  IntfPtr<IInterface> FLastListHold;
  TFuzzyStreamTokenList* FLastList = nullptr;
};

}  // namespace tapwise
