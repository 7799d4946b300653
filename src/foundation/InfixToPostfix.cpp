#include "tapwise/foundation/InfixToPostfix.h"

#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Messages.h"

namespace tapwise {

std::vector<std::unique_ptr<TIList>> InfixToPostfix(const TGInterfaceList& tokens,
                                                    const TPostfixRules& rules) {
  std::vector<std::unique_ptr<TIList>> result;
  result.push_back(std::make_unique<TIList>());
  TIList* segment = result.back().get();
  TIStack pending;
  int depth = 0;
  bool after_operand = false;

  auto flush = [&] {
    if (depth > 0) throw Exception(messages::kMissingCloseParenthesis);
    while (!pending.IsEmpty())
      segment->Add(pending.Pop());
  };

  for (int i = 0; i < tokens.GetCount(); ++i) {
    IntfPtr<IInterface> token = tokens.Get(i);
    if (rules.IsClose(token)) {
      --depth;
      while (!pending.IsEmpty() && !rules.IsOpen(pending.Peek()))
        segment->Add(pending.Pop());
      if (!pending.IsEmpty()) pending.Pop();  // the matching opening token
      after_operand = true;
    } else if (rules.IsOperand(token)) {
      if (after_operand) {
        flush();
        result.push_back(std::make_unique<TIList>());
        segment = result.back().get();
      }
      segment->Add(token);
      after_operand = true;
    } else {
      if (rules.IsOpen(token)) ++depth;
      while (!pending.IsEmpty() &&
             rules.StackPriority(pending.Peek()) <= rules.TokenPriority(token)) {
        segment->Add(pending.Pop());
      }
      pending.Push(token);
      after_operand = false;
    }
  }
  flush();
  return result;
}

}  // namespace tapwise
