#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tapwise {

class TFuzzySet;
class TFuzzyVariable;

/// The pieces of definition text that the parser's writer assembles. Every text made here
/// reads back through the parser: numbers use "%.4f" with a point whatever the locale, and
/// words that would not survive the tokenizer are quoted or escaped.
namespace writer {

/// Four blanks: one level of indentation.
inline constexpr std::string_view Indent = "    ";
/// CR LF: the line break of written definitions.
inline constexpr std::string_view LineBreak = "\r\n";

/// How numbers are written: `Fixed4` with four decimals (the writer's own layout); `Exact`
/// the same where those four decimals read back to the very number, and otherwise the
/// shortest text that does (a controller's variables, which must read back unchanged).
enum class TNumberForm : uint8_t { Fixed4, Exact };

/// The shape of `fuzzy_set` in the form the built-in function table reads it back:
///
///     fstTriangle       (tri Left Middle Right)
///     fstDeclineCurve   (z Left Right)
///     fstGrowthCurve    (s Left Right)
///     fstPICurve        (pi Center HalfWidth) when symmetric, else (pi Left Right Center)
///     fstBetaCurve      (beta Range Center InflectionPoint [Weight])
///     fstUserDefined    the point list ((X Y) (X Y) ), or __Empty for no points; never
///                       the expression text, which may name the set itself or sets that
///                       are gone, changed or no terms at all
///
/// A beta curve's weight is recovered from a point whose degree lies strictly between 0
/// and 1 and is written only when it differs from 1 within tolerance.
std::string ShapeText(const TFuzzySet& fuzzy_set, TNumberForm form = TNumberForm::Fixed4);

/// `name` as a word the tokenizer reads back as the same symbol: blanks and delimiters
/// after the first character are escaped with a backslash.
std::string WordText(std::string_view name);
/// Whether `WordText(name)` reads back as the one word `name`: not so for an empty name, one
/// that starts with a delimiter or reads as a number or a global. With `numbered`, a whole
/// number written as the tokenizer reads it back ("12", not "012") counts as a word.
bool ReadsBackAsWord(std::string_view name, bool numbered = false);
/// `text` as a quoted string the tokenizer reads back as `text` (quotes and backslashes
/// escaped).
std::string QuotedText(std::string_view text);
/// The units as written in a units clause: bare when they form one plain word; the text
/// form of a string token (a backslash and a quote on either side, which is how a units
/// clause holding a string stores it) as that string; anything else quoted.
std::string UnitsText(std::string_view units);

/// The full form of a term: "(term " + name + " " + optional quoted comment and blank +
/// shape + ")". A set without a usable name (empty or "__Empty") is written as its shape
/// alone, which `EvaluateExpression` reads back.
std::string TermText(std::string_view name, std::string_view comment, std::string_view shape);

/// One term line of a variable: its order number (the sort key) and its full form.
struct TTermLine {
  int64_t OrderNumber;
  std::string Text;
};

/// The whole definition of a variable, line by line:
///
///     (deffuzzy v
///         "comment"
///         (range 0.0000 1.0000)
///         (units u)
///         (values
///             (term t (z 0.0000 1.0000))
///         )
///     )
///
/// (the first line ends with a blank, as does the values line). The comment and units
/// lines are left out when empty. The terms come out by ascending order number.
std::string VariableText(std::string_view name, std::string_view comment, double minimum,
                         double maximum, std::string_view units, std::vector<TTermLine> terms,
                         TNumberForm form = TNumberForm::Fixed4);

/// `VariableText` of a variable and its defined terms that carry a usable name, in the
/// order of its term collection.
std::string FuzzyVariableText(const TFuzzyVariable& variable, TNumberForm form);

/// Whether `name` can head a term form: not empty and not "__Empty".
bool IsUsableName(std::string_view name);

}  // namespace writer
}  // namespace tapwise
