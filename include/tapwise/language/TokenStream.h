#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tapwise/foundation/Interface.h"
#include "tapwise/foundation/Stream.h"
#include "tapwise/language/StreamToken.h"
#include "tapwise/language/StreamTokenList.h"
#include "tapwise/language/TextStream.h"
#include "tapwise/language/TokenEcho.h"
#include "tapwise/language/TokenPool.h"
#include "tapwise/language/TokenReader.h"

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
  /// The token `ahead` places after the next one among those waiting in the look-ahead, null
  /// when fewer wait. Looking changes nothing: nothing is read and no token becomes current.
  const IFuzzyStreamToken* GetWaitingToken(size_t ahead) const {
    return ahead < FLookahead.size() ? FLookahead[FLookahead.size() - 1 - ahead].Token.Get()
                                     : nullptr;
  }

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
  bool IsLookaheadEmpty() const { return FLookahead.empty(); }

  static constexpr char kQuoteChar = '"';
  static constexpr char kEscapeChar = '\\';
  static constexpr char kCommentChar = ';';

 private:
  // A blank token on the current line carrying the pending white space.
  IntfPtr<TFuzzyStreamToken> NewToken();

  TTokenReader FReader{*this};
  TTokenPool FPool;  // its current token is the one last handed out or pushed back
  TTokenEcho FEcho;
  // A token and the token as the tokenizer's own class (null when it is of another class),
  // asked once when it is read or pushed back: the echo, the pool and the depth read an own
  // token's fields without a virtual call or a type check of their own.
  struct TKnownToken {
    explicit TKnownToken(IntfPtr<IFuzzyStreamToken> token);
    int32_t GetDataType() const { return Own != nullptr ? Own->FDataType : Token->GetDataType(); }

    IntfPtr<IFuzzyStreamToken> Token;
    const TFuzzyStreamToken* Own;
  };
  // Hands `known` out: the echo, the depth and the current token take it.
  void HandOut(const TKnownToken& known);

  std::vector<TKnownToken> FLookahead;  // the top (next out) is the back
  int32_t FDepth = 0;
  // The list NewTokenList handed out last, held as an interface and seen as its class.
  IntfPtr<IInterface> FLastListHold;
  TFuzzyStreamTokenList* FLastList = nullptr;
};

}  // namespace tapwise
