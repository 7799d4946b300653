#pragma once

#include <string>
#include <string_view>

#include "tapwise/fuzzy/FuzzyTypes.h"

// How derived sets are named and described: a result's name and its linguistic expression
// are built from the operands' names and expressions, grouping multi-word parts in brackets
// so that "[very cold] and warm" reads unambiguously.

namespace tapwise {

/// The longest operand text that goes into a derived name or expression whole. A longer one
/// is cut to this many bytes (at a character boundary) and marked "..." in brackets, so that
/// a set combined with itself again and again gets names that stop growing instead of
/// doubling with every step.
inline constexpr size_t kMaxOperandTextLength = 1024;

/// `text` in "[" and "]" when it contains a blank, else unchanged; a text longer than
/// kMaxOperandTextLength is shortened as said there.
std::string BracketIfSpaced(std::string_view text);

/// The trimmed text, or the untrimmed text in brackets when the trimmed one contains a blank
/// and is not already one bracketed group ("[a b]" stays, "[a] and [b]" gets brackets); a
/// text longer than kMaxOperandTextLength is shortened as said there.
std::string CleanExpression(std::string_view text);

/// The name of a combination: "cold and warm", "[very cold] or-product warm".
std::string DerivedName(std::string_view name, std::string_view operation,
                        std::string_view other_name);

/// The name of a set combined with a constant: "cold - 2.0000", "[very cold] *X 0.5000".
std::string ValueName(std::string_view name, std::string_view symbol, TFzyFloat value);

}  // namespace tapwise
