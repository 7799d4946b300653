#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>

#include "tapwise/foundation/Component.h"
#include "tapwise/foundation/Events.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/FuzzyEvents.h"
#include "tapwise/fuzzy/FuzzyParserEvents.h"
#include "tapwise/fuzzy/FuzzySetResult.h"
#include "tapwise/fuzzy/FuzzyTypes.h"
#include "tapwise/fuzzy/IFuzzyParser.h"
#include "tapwise/fuzzy/StreamTokenInterfaces.h"

namespace tapwise {

class IFuzzySet;
class IFuzzyVariable;
class TCustomFuzzyLogic;
class TFuzzySet;
class TFuzzyVariable;

/// The base of every parser component of the definition language. It fixes the parser
/// contract (`IFuzzyParser` for the interfaced flavour, the pure virtual operations below
/// for both flavours), links the parser to one fuzzy-logic component, formats every parse
/// error the same way and evaluates the built-in shape functions ("(pi 36 2)", "(z 10 35)").
///
/// Lifetime. The parser is a component: its owner (or whoever created it) frees it.
/// `AddRef` and `Release` only count the references that variables and sets hold; they never
/// free the parser. A component whose `Parser` this is takes it from its stored variables
/// when the parser goes or is replaced, and from every variable that leaves it; a variable
/// that lets it go takes it from its terms and from the sets made for it (the clipped copies
/// of rule firing, results of operations and expressions), so that all of them may outlive
/// the parser. Holders outside the component's reach (a variable or set given the parser by
/// hand through `SetParser`, a copy of a variable made with `Assign` or `Clone`) must drop it
/// before the parser is destroyed.
///
/// The two flavours share operation names where their parameters differ (an `IFuzzyVariable`
/// or a `TFuzzyVariable`). `ParseFuzzyVariable(text)` exists in both flavours with the same
/// parameter; the collection flavour is `ParseFuzzyVariableItem`.
///
/// Errors. Every error raised here, and by descendants through `Error`/`ErrorFmt`, is an
/// EFzyParseException of the form
///
///     Parsing Error, <message> in <routine> at line <line>: "<text read so far>"
///
/// where the line and the text come from `CurrentLine` and `CurrentTokenText`.
class TCustomFuzzyLogicParser : public TComponent, public IFuzzyParser {
 public:
  explicit TCustomFuzzyLogicParser(TComponent* owner = nullptr);
  ~TCustomFuzzyLogicParser() override;

  std::string ClassName() const override { return "TCustomFuzzyLogicParser"; }

  /// Counts a reference; the parser's lifetime is its component lifetime.
  int32_t AddRef() noexcept override { return ++FRefCount; }
  /// Drops a counted reference; never frees the parser.
  int32_t Release() noexcept override { return --FRefCount; }
  /// The references currently held by variables, sets and other holders.
  int32_t RefCount() const noexcept { return FRefCount.load(); }

  // ---- The linked component ----

  TCustomFuzzyLogic* GetFuzzyLogic() const { return FFuzzyLogic; }
  /// Links the parser to `value` (or unlinks it with null); the link is cleared
  /// automatically when the component is destroyed.
  void SetFuzzyLogic(TCustomFuzzyLogic* value);

  // ---- Parsing ----

  /// Parses a whole definition text into the linked component: `OnBeforeParse`,
  /// `ParseFuzzyLogic`, then `OnAfterParse` (not raised when the parse fails). Without a
  /// linked component raises EFzyParseException "Fuzzy Logic component must be specified to
  /// parse" before any event.
  virtual void Parse(const std::string& text);

  /// Parses a whole definition text into the linked component, creating its variables.
  virtual void ParseFuzzyLogic(const std::string& text) = 0;

  // ---- The contract, interfaced flavour (from IFuzzyParser) ----
  //
  // EvaluateValue, EvaluateExpression, ParseFuzzySet, ParseFuzzyVariable, FuzzySetToString
  // and FuzzyVariableToString with IFuzzySet/IFuzzyVariable parameters stay pure virtual.
  // A concrete `EvaluateValue` returns the mean of maxima when the linked component's
  // `DefuzzificationMethod` is `dmMeanOfMaxima`, else the centre of gravity.

  using IFuzzyParser::EvaluateExpression;
  using IFuzzyParser::EvaluateValue;
  using IFuzzyParser::FuzzySetToString;
  using IFuzzyParser::FuzzyVariableToString;
  using IFuzzyParser::ParseFuzzySet;

  // ---- The contract, collection flavour ----

  /// Evaluates `expression` over the terms of `variable` to a set, hands it back in
  /// `fuzzy_set` and returns its crisp value (see the interfaced `EvaluateValue`).
  virtual TFzyFloat EvaluateValue(TFuzzyVariable& variable, const std::string& expression,
                                  TFuzzySetResult& fuzzy_set) = 0;
  /// Evaluates `expression` ("very cold or warm") over the terms of `variable`.
  virtual TFuzzySetResult EvaluateExpression(TFuzzyVariable& variable,
                                             const std::string& expression) = 0;
  /// Builds a term of `variable` (an item of its term collection) from its definition text.
  virtual TFuzzySet* ParseFuzzySet(TFuzzyVariable& variable, const std::string& text) = 0;
  /// Builds a variable from its definition text, as an item of the linked collection-based
  /// component (`TFuzzyLogic`).
  virtual TFuzzyVariable* ParseFuzzyVariableItem(const std::string& text) = 0;
  /// The text of a term: its complete "(term ..." form when `full_form` is true, else its
  /// name.
  virtual std::string FuzzySetToString(const TFuzzySet& fuzzy_set, bool full_form) = 0;
  /// The complete definition text of a variable with its terms.
  virtual std::string FuzzyVariableToString(const TFuzzyVariable& variable) = 0;

  // ---- Function forms ----

  /// Evaluates a function form (collection flavour): `OnCalcFuzzyFunction` first, then,
  /// unless the hook set `handled`, the built-in table, which fills `fuzzy_set` in place.
  /// Returns the set the form stands for: `fuzzy_set`, or the set the hook put in its place.
  TFuzzySet* CalcFuzzyFunction(TFuzzySet& fuzzy_set, const std::string& func_name,
                               const IntfPtr<IFuzzyStreamTokenList>& list);
  /// The same for the interfaced flavour, with `OnCalcFuzzyFunctionIntf`.
  IntfPtr<IFuzzySet> CalcFuzzyFunction(const IntfPtr<IFuzzySet>& fuzzy_set,
                                       const std::string& func_name,
                                       const IntfPtr<IFuzzyStreamTokenList>& list);

  // ---- Errors ----

  /// Raises the parse error `msg` of `routine` at the current line and text.
  [[noreturn]] void Error(const std::string& routine, const std::string& msg) const;
  /// `Error` with `fmt` filled with `args` (see Format).
  template <class... Args>
  [[noreturn]] void ErrorFmt(const std::string& routine, std::string_view fmt,
                             const Args&... args) const {
    Error(routine, Format(fmt, args...));
  }
  /// Raises EFzyParseException "Parsing Error, <msg> in <routine> at line <line>:
  /// \"<token_text>\"" carrying `line`. A `token_text` longer than 255 characters is shown
  /// as its first 128 characters, "... ", a line break (CR LF) and its last 128 characters.
  [[noreturn]] virtual void ParseError(const std::string& routine, const std::string& msg, int line,
                                       const std::string& token_text) const;

  // ---- Events ----

  const TFuzzySetEvent& GetOnParseFuzzySet() const { return FOnParseFuzzySet; }
  void SetOnParseFuzzySet(TFuzzySetEvent value) { FOnParseFuzzySet = std::move(value); }
  const TFuzzyVariableEvent& GetOnParseFuzzyVariable() const { return FOnParseFuzzyVariable; }
  void SetOnParseFuzzyVariable(TFuzzyVariableEvent value) {
    FOnParseFuzzyVariable = std::move(value);
  }
  const TFuzzyExpressionEvent& GetOnEvalExpression() const { return FOnEvalExpression; }
  void SetOnEvalExpression(TFuzzyExpressionEvent value) { FOnEvalExpression = std::move(value); }
  const TCalcFuzzyFunctionEvent& GetOnCalcFuzzyFunction() const { return FOnCalcFuzzyFunction; }
  void SetOnCalcFuzzyFunction(TCalcFuzzyFunctionEvent value) {
    FOnCalcFuzzyFunction = std::move(value);
  }
  const TIFuzzySetEvent& GetOnParseFuzzySetIntf() const { return FOnParseFuzzySetIntf; }
  void SetOnParseFuzzySetIntf(TIFuzzySetEvent value) { FOnParseFuzzySetIntf = std::move(value); }
  const TIFuzzyVariableEvent& GetOnParseFuzzyVariableIntf() const {
    return FOnParseFuzzyVariableIntf;
  }
  void SetOnParseFuzzyVariableIntf(TIFuzzyVariableEvent value) {
    FOnParseFuzzyVariableIntf = std::move(value);
  }
  const TCalcFuzzyFunctionIntfEvent& GetOnCalcFuzzyFunctionIntf() const {
    return FOnCalcFuzzyFunctionIntf;
  }
  void SetOnCalcFuzzyFunctionIntf(TCalcFuzzyFunctionIntfEvent value) {
    FOnCalcFuzzyFunctionIntf = std::move(value);
  }
  const TIFuzzyExpressionEvent& GetOnEvalExpressionIntf() const { return FOnEvalExpressionIntf; }
  void SetOnEvalExpressionIntf(TIFuzzyExpressionEvent value) {
    FOnEvalExpressionIntf = std::move(value);
  }
  const TNotifyEvent& GetOnAfterParse() const { return FOnAfterParse; }
  void SetOnAfterParse(TNotifyEvent value) { FOnAfterParse = std::move(value); }
  const TNotifyEvent& GetOnBeforeParse() const { return FOnBeforeParse; }
  void SetOnBeforeParse(TNotifyEvent value) { FOnBeforeParse = std::move(value); }

 protected:
  /// The built-in table, collection flavour: "pi", "tri", "s", "z" and "beta" (names
  /// compared case-sensitively) with numeric arguments fill `fuzzy_set` through its shape
  /// generators; the number of points of curves is the component's `NumFunctionValues`
  /// (7 without a component). Errors are raised with the routine "CalcFuzzyFunction".
  ///
  ///     (pi 36 2)        SetPICurveRange: centre 36, half-width 2 (34..38)
  ///     (pi 30 40 35)    SetPICurve: left 30, right 40, centre 35
  ///     (tri 1 2 3)      SetTriangle
  ///     (s 37 60)        growth curve over 37..60, inflection point 60
  ///     (z 10 35)        decline curve over 10..35, inflection point 35
  ///     (beta 4 10 2)    SetBetaCurve: range, centre, inflection point
  ///     (beta 4 10 2 3)  SetWeightedBetaCurve with weight 3
  virtual void CalcBuiltInFunction(const std::string& func_name,
                                   const IntfPtr<IFuzzyStreamTokenList>& list,
                                   TFuzzySet& fuzzy_set);
  /// The same table for the interfaced flavour, through `IFuzzySet`'s generators.
  virtual void CalcBuiltInFunction(const std::string& func_name,
                                   const IntfPtr<IFuzzyStreamTokenList>& list,
                                   IFuzzySet& fuzzy_set);

  /// The built-in table over arguments already known to be the numbers `values`, exactly as
  /// `CalcBuiltInFunction` runs on a list of number tokens of those values: for a parser whose
  /// calls go straight to the table, so that no token list is needed.
  void CalcBuiltInNumbers(const std::string& func_name, std::span<const TFzyFloat> values,
                          TFuzzySet& fuzzy_set) const;
  void CalcBuiltInNumbers(const std::string& func_name, std::span<const TFzyFloat> values,
                          IFuzzySet& fuzzy_set) const;

  /// The text read so far of the form being parsed, for error messages; the base has none.
  virtual std::string CurrentTokenText() const { return {}; }
  /// The line of the current token, for error messages; the base answers 0.
  virtual int CurrentLine() const { return 0; }

  void Notification(TComponent* component, TOperation operation) override;

 private:
  TFuzzySetEvent FOnParseFuzzySet;
  TFuzzyVariableEvent FOnParseFuzzyVariable;
  TCustomFuzzyLogic* FFuzzyLogic = nullptr;
  TFuzzyExpressionEvent FOnEvalExpression;
  TCalcFuzzyFunctionEvent FOnCalcFuzzyFunction;
  TIFuzzySetEvent FOnParseFuzzySetIntf;
  TIFuzzyVariableEvent FOnParseFuzzyVariableIntf;
  TCalcFuzzyFunctionIntfEvent FOnCalcFuzzyFunctionIntf;
  TIFuzzyExpressionEvent FOnEvalExpressionIntf;
  TNotifyEvent FOnAfterParse;
  TNotifyEvent FOnBeforeParse;
  std::atomic<int32_t> FRefCount{0};
};

}  // namespace tapwise
