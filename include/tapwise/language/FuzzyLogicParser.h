#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tapwise/foundation/Interface.h"
#include "tapwise/foundation/Stream.h"
#include "tapwise/fuzzy/CustomFuzzyLogicParser.h"
#include "tapwise/fuzzy/FuzzySetResult.h"
#include "tapwise/fuzzy/IFuzzySet.h"
#include "tapwise/fuzzy/IFuzzyVariable.h"
#include "tapwise/fuzzy/StreamTokenInterfaces.h"
#include "tapwise/language/TokenStream.h"

namespace tapwise {

class TFuzzySet;
class TFuzzyVariable;

namespace detail {
class TParserScratch;
template <class Flavour>
class TParserWalk;
}  // namespace detail

/// The parser of the definition language, in both flavours: interfaced (`IFuzzyVariable`,
/// `IFuzzySet`, a `TIFuzzyLogic` component) and collection-based (`TFuzzyVariable`,
/// `TFuzzySet`, a `TFuzzyLogic` component). It reads variable and term definitions,
/// evaluates fuzzy expressions over a variable's terms and writes variables and terms back
/// as text that it reads again.
///
///     (deffuzzy outTemp "outlet temperature"
///       (range 5 65) (units Celcius)
///       (values (term cold (z 10 35)) (term OK (pi 36 2)) (term hot (s 37 60))
///               (term warm not [cold or hot])            ; an expression
///               (term NB ((-0.5 1) (-0.25 0)))))         ; a point list
///
/// Grammar. A definition text is any number of "(deffuzzy Name [Comment] clause...)"
/// forms; a clause is "(range Min Max)", "(units token)" or "(values term...)", in any
/// order and number; a term is "(term Name [Comment] Body)". A body starting with two "("
/// is a point list of pairs "(X Y)", one starting with a single "(" a function call
/// "(name args...)" of the built-in table (or the `OnCalcFuzzyFunction` hooks), anything
/// else a fuzzy expression. Keywords are case-sensitive. A parse stops at the first error.
///
/// Terms. A parsed term is always stored in its variable under its own name and marked
/// `Defined`. When a body yields an existing term ("(term c2 cold)"), the new term is a
/// copy: the existing term is never renamed or changed. Sets an expression makes along the
/// way (copies for hedges and operators, number operands, parenthesised groups, results of
/// AND and OR) are scratch sets: linked to the variable but neither `Defined` nor stored,
/// so evaluating expressions never grows a variable and the writer never writes them.
///
/// Errors are EFzyParseException "Parsing Error, <message> in <routine> at line <n>:
/// \"<tokens read so far>\"" (see `TCustomFuzzyLogicParser::ParseError`); the tokenizer's,
/// the function table's and the set operations' own errors pass through unchanged.
/// Parentheses may nest `kMaxNestingDepth` deep, and "?" globals that refer to further
/// globals `kMaxGlobalDepth` deep; a global that refers to itself is an error. One "?"
/// operand may expand into at most `kMaxGlobalExpansions` globals in all, so that a few short
/// globals that each name the next twice cannot make the work grow exponentially.
///
/// Entry points that take a text run on a token stream of their own and may nest: a "?"
/// operand parses its global's text while the outer parse waits.
class TZTFuzzyLogicParser : public TCustomFuzzyLogicParser {
 public:
  /// How deep parentheses may nest inside one form.
  static constexpr int kMaxNestingDepth = 1000;
  /// How deep "?" globals may refer to further globals.
  static constexpr int kMaxGlobalDepth = 64;
  /// How many globals one "?" operand of the text being parsed may expand into, itself and
  /// the globals its text names, however deep.
  static constexpr int kMaxGlobalExpansions = 1000;

  explicit TZTFuzzyLogicParser(TComponent* owner = nullptr);
  ~TZTFuzzyLogicParser() override;

  std::string ClassName() const override { return "TZTFuzzyLogicParser"; }

  using TCustomFuzzyLogicParser::EvaluateExpression;
  using TCustomFuzzyLogicParser::EvaluateValue;
  using TCustomFuzzyLogicParser::FuzzySetToString;
  using TCustomFuzzyLogicParser::FuzzyVariableToString;
  using TCustomFuzzyLogicParser::ParseFuzzySet;

  // ---- Entry points that take a text ----

  /// Every "(deffuzzy" form of `text` becomes a variable of the linked component (the
  /// interfaced flavour for a `TIFuzzyLogic`, else the collection flavour). Variables
  /// completed before an error stay in the component.
  void ParseFuzzyLogic(const std::string& text) override;
  /// The variable defined by the first form of `text`, stored in the linked `TIFuzzyLogic`
  /// (replacing one of the same name).
  IntfPtr<IFuzzyVariable> ParseFuzzyVariable(const std::string& text) override;
  /// The variable defined by the first form of `text`, added to the linked `TFuzzyLogic`.
  TFuzzyVariable* ParseFuzzyVariableItem(const std::string& text) override;
  /// The term defined by the first "(term" form of `text`, stored in `variable`.
  IntfPtr<IFuzzySet> ParseFuzzySet(const IntfPtr<IFuzzyVariable>& variable,
                                   const std::string& text) override;
  /// The term defined by the first "(term" form of `text`, added to `variable`'s terms.
  TFuzzySet* ParseFuzzySet(TFuzzyVariable& variable, const std::string& text) override;

  /// The set that `expression` stands for over the terms of `variable`. A single term name
  /// yields that very term ("NB" gives the term NB itself); anything else a scratch set
  /// linked to the variable. Reading stops at a ")" at the outer level. An empty expression
  /// yields a blank "__Empty" set.
  ///
  ///     parser.EvaluateExpression(temperature, "not [cold or hot]");
  IntfPtr<IFuzzySet> EvaluateExpression(const IntfPtr<IFuzzyVariable>& variable,
                                        const std::string& expression) override;
  /// `EvaluateExpression`, handing the set back in `fuzzy_set`; returns its mean of maxima
  /// when the linked component defuzzifies that way, else its centre of gravity.
  TFzyFloat EvaluateValue(const IntfPtr<IFuzzyVariable>& variable, const std::string& expression,
                          IntfPtr<IFuzzySet>& fuzzy_set) override;
  /// The collection flavour: an existing term comes back borrowed; a set the expression made
  /// comes back owned by the result (it belongs to no term collection, so the variable's
  /// terms stay as they were).
  TFuzzySetResult EvaluateExpression(TFuzzyVariable& variable,
                                     const std::string& expression) override;
  TFzyFloat EvaluateValue(TFuzzyVariable& variable, const std::string& expression,
                          TFuzzySetResult& fuzzy_set) override;

  // ---- The writer ----

  /// With `full_form`, the complete term "(term name [\"comment\"] shape)" (see
  /// `writer::ShapeText`); a set without a usable name (empty or "__Empty") is written as
  /// its shape alone, which `EvaluateExpression` reads back. Without, the name ("" for
  /// "__Empty").
  std::string FuzzySetToString(const IFuzzySet& fuzzy_set, bool full_form) override;
  /// The whole "(deffuzzy" form with the variable's `Defined` terms in the order they were
  /// stored (see `writer::VariableText`).
  std::string FuzzyVariableToString(const IFuzzyVariable& variable) override;
  /// As above; without `full_form` an unnamed set gives its expression text.
  std::string FuzzySetToString(const TFuzzySet& fuzzy_set, bool full_form) override;
  /// As above, with the terms in collection order.
  std::string FuzzyVariableToString(const TFuzzyVariable& variable) override;

  // ---- Reading from the token stream of the parse in progress ----
  //
  // These read from `GetTokenStream()` and are meant for descendants extending the
  // grammar while a parse runs. Without a parse in progress they raise EFzyParseException.

  /// The token stream of the parse in progress, or null at rest.
  TFuzzyLogicTokenStream* GetTokenStream() const { return FTokenStream; }

  /// Reads "( keyword Name [Comment]": `token` is left on the first token after it.
  /// Raises `error_message` in `context` unless the form starts with "(" and `keyword`, and
  /// "Missing name" unless a word follows.
  void ParseHeader(std::string& name, std::string& comment, IntfPtr<IFuzzyStreamToken>& token,
                   const std::string& error_message, const std::string& context,
                   const std::string& keyword, bool want_comment);
  /// A "(deffuzzy" form into the linked `TIFuzzyLogic`.
  IntfPtr<IFuzzyVariable> ParseFuzzyVariable();
  /// A "(deffuzzy" form into the linked `TFuzzyLogic`. The variable stays in the component's
  /// collection even when the form is wrong.
  TFuzzyVariable* ParseFuzzyVariableItem();
  /// A "(term" form, stored in `variable` under its name.
  IntfPtr<IFuzzySet> ParseFuzzySet(const IntfPtr<IFuzzyVariable>& variable);
  TFuzzySet* ParseFuzzySet(TFuzzyVariable& variable);
  /// A term body: a point list, a function call or an expression. The result may be an
  /// existing term (never change it) or a set the body made.
  IntfPtr<IFuzzySet> ParseSetBody(const IntfPtr<IFuzzyVariable>& variable);
  TFuzzySet* ParseSetBody(TFuzzyVariable& variable);
  /// "((X Y) ...)" into a new scratch set of `variable`. A pair is closed by whatever token
  /// follows its two numbers.
  IntfPtr<IFuzzySet> ParseFuzzyValuePairs(const IntfPtr<IFuzzyVariable>& variable);
  TFuzzySet* ParseFuzzyValuePairs(TFuzzyVariable& variable);
  /// "(name args...)": the function hooks or the built-in table shape a new scratch set.
  IntfPtr<IFuzzySet> ParseFuzzyFunction(const IntfPtr<IFuzzyVariable>& variable);
  TFuzzySet* ParseFuzzyFunction(TFuzzyVariable& variable);
  /// The items of an expression up to a ")" or the end of the text (which is left to be
  /// read): single tokens, and parenthesised groups as dtTokenList tokens carrying their
  /// items.
  IntfPtr<IFuzzyStreamTokenList> ReadExpressionList();

  // ---- Expressions over token lists ----

  /// The set that `items` (an expression as `ReadExpressionList` gives it) stands for over
  /// `variable`. `items` is left holding the expression in postfix order.
  IntfPtr<IFuzzySet> EvalFuzzyExpression(const IntfPtr<IFuzzyVariable>& variable,
                                         IFuzzyStreamTokenList& items);
  TFuzzySet* EvalFuzzyExpression(TFuzzyVariable& variable, IFuzzyStreamTokenList& items);
  /// Adds one point to `fuzzy_set` for each item of `list`, which must be a group of two
  /// numbers: "Invalid X/Y value pair: %s" or "Expected number" in "ConvertListToValues"
  /// otherwise.
  IntfPtr<IFuzzySet> ConvertListToValues(const IntfPtr<IFuzzySet>& fuzzy_set,
                                         const IFuzzyStreamTokenList& list);
  TFuzzySet* ConvertListToValues(TFuzzySet& fuzzy_set, const IFuzzyStreamTokenList& list);

  /// "FuzzySet" and the next value of the process-wide counter (FuzzySet1 first).
  static std::string GenerateSetName();

 protected:
  /// Reads one top-level form of `ParseFuzzyLogic`, whose "(" is the next token and whose
  /// keyword (see `TFuzzyLogicTokenStream::PeekKeyword`) is `keyword`; `interfaced` tells
  /// the component's flavour. Every form is a "(deffuzzy" form here; descendants that
  /// extend the language read their own forms and hand the rest to this one.
  virtual void ParseDefinitionForm(const std::string& keyword, bool interfaced);
  /// The token stream an entry point reads `source` with; a `TFuzzyLogicTokenStream` by
  /// default.
  virtual std::unique_ptr<TFuzzyLogicTokenStream> CreateTokenStream(TStream& source);
  /// The echo of the form being parsed, or the base's when no parse runs.
  std::string CurrentTokenText() const override;
  /// The line of the current token, or the base's 0 when no parse runs.
  int CurrentLine() const override;

 private:
  template <class Flavour>
  friend class detail::TParserWalk;

  // ParseHeader, handing back the first token after the header as a view.
  TTokenView ReadHeader(std::string& name, std::string& comment, const std::string& error_message,
                        const std::string& context, const std::string& keyword, bool want_comment);
  // Runs `body` with a token stream over `text` installed, restoring the previous one
  // afterwards, also after an error.
  template <class Body>
  auto WithText(const std::string& text, Body&& body);
  // Asked before every token the walk reads, so inline, with the failure out of line.
  TFuzzyLogicTokenStream& Stream(const char* operation) const {
    if (FTokenStream == nullptr) NoParseInProgress(operation);
    return *FTokenStream;
  }
  [[noreturn]] static void NoParseInProgress(const char* operation);
  void RequireFuzzyLogic() const;

  TFuzzyLogicTokenStream* FTokenStream = nullptr;
  // The scratch sets of the evaluation in progress; null at rest.
  detail::TParserScratch* FScratch = nullptr;
  // The "?" globals being resolved, innermost last (self-reference and depth checks).
  std::vector<std::string> FGlobals;
  // The globals expanded since the outermost one of `FGlobals` began.
  int FGlobalExpansions = 0;
};

}  // namespace tapwise
