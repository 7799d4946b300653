#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "tapwise/foundation/InterfaceList.h"

namespace tapwise {

/// The five questions `InfixToPostfix` asks about a token.
struct TPostfixRules {
  std::function<bool(const IntfPtr<IInterface>& token)> IsOpen;
  std::function<bool(const IntfPtr<IInterface>& token)> IsClose;
  std::function<bool(const IntfPtr<IInterface>& token)> IsOperand;
  /// The priority of a pending operator on the stack.
  std::function<int(const IntfPtr<IInterface>& token)> StackPriority;
  /// The priority of an arriving operator or opening token. A pending operator leaves the
  /// stack while its stack priority is at most the arriving token's priority, so a lower
  /// number binds more tightly.
  std::function<int(const IntfPtr<IInterface>& token)> TokenPriority;
};

/// Converts `tokens` from infix to postfix order by operator precedence. The result is a
/// list of segments: two operands in a row end one expression and start the next segment.
/// Closing tokens are dropped, opening ones leave with their closing token.
///
///     a + b * c   (with * binding more tightly)  ->  [a b c * +]
///     a b                                        ->  [a] [b]
///
/// An opening token still open when a segment ends raises Exception "Missing close
/// parenthesis"; a surplus closing token is ignored.
std::vector<std::unique_ptr<TIList>> InfixToPostfix(const TGInterfaceList& tokens,
                                                    const TPostfixRules& rules);

}  // namespace tapwise
