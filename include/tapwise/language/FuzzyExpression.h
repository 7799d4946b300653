#pragma once

#include <string>

#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/StreamTokenInterfaces.h"

namespace tapwise {

/// The vocabulary and ordering of fuzzy expressions ("very cold", "cold and very hot",
/// "not [cold or hot]"): how each token is classed, with which precedence, and how the
/// written (infix) order becomes evaluation (postfix) order.
///
/// Classes: the 20 hedges are prefix words with one operand; the 9 operator symbols (with or
/// without a trailing X) and the 7 AND and 7 OR words are infix; "[" and "]" group; every
/// other token is an operand (term names, numbers, "?" globals, parenthesised groups,
/// tokens carrying a set). Words compare exactly (case-sensitive).
namespace expression {

/// The precedence of a token lying on the conversion stack: "[" 4, operator or AND/OR word
/// 3, hedge 2, anything else 1.
int StackPrecedence(const IBaseStreamToken& token);
/// The precedence of an arriving token: "[" 0, operator or AND/OR word 3, anything else 1.
/// A pending token leaves the stack while its stack precedence is at most this, so all
/// infix words group from the left and a hedge applies to the operand right after it.
int InputPrecedence(const IBaseStreamToken& token);
/// Whether `token` is an operand (see the namespace comment). Numbers, whose text is empty,
/// are operands.
bool IsOperand(const IBaseStreamToken& token);
bool IsOpenBracket(const IBaseStreamToken& token);
bool IsCloseBracket(const IBaseStreamToken& token);
/// Whether the token is one of the 20 hedge words.
bool IsHedge(const IBaseStreamToken& token);

/// `items` (infix) in postfix order, flattened into one list holding the same tokens:
///
///     very cold            ->  cold very
///     cold and very hot    ->  cold hot very and
///     not [cold or hot]    ->  cold hot or not
///     cold hot             ->  cold hot     (two operands in a row: two expressions)
///
/// A "[" left open raises Exception "Missing close parenthesis"; a surplus "]" is ignored.
IntfPtr<IFuzzyStreamTokenList> ToPostfix(const IFuzzyStreamTokenList& items);

/// "FuzzySet" followed by the next value of a process-wide counter (FuzzySet1 first). Safe
/// from any thread: the counter is atomic.
std::string GenerateSetName();

}  // namespace expression
}  // namespace tapwise
