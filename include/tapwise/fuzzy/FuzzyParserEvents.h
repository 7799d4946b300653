#pragma once

#include <functional>
#include <string>

#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/FuzzySetResult.h"
#include "tapwise/fuzzy/StreamTokenInterfaces.h"

namespace tapwise {

class IFuzzySet;
class IFuzzyVariable;
class TFuzzySet;
class TFuzzyVariable;
class TPersistent;

/// The parser built a term (collection flavour); `sender` is the parser.
using TFuzzySetEvent = std::function<void(TPersistent* sender, TFuzzySet& fuzzy_set)>;

/// The parser built a variable (collection flavour); `sender` is the parser.
using TFuzzyVariableEvent =
    std::function<void(TPersistent* sender, TFuzzyVariable& fuzzy_variable)>;

/// Answers a function form such as "(pi 36 2)" before the built-in table is consulted
/// (collection flavour). `list` holds the argument tokens in source order. On entry `result`
/// is the fresh set the form fills; the handler may fill that set, or point `result` at
/// another set of the same variable, and sets `handled` to keep the built-in table out.
using TCalcFuzzyFunctionEvent = std::function<void(
    TPersistent* sender, const std::string& func_name, const IntfPtr<IFuzzyStreamTokenList>& list,
    TFuzzySet*& result, bool& handled)>;

/// The interfaced counterpart of `TCalcFuzzyFunctionEvent`: `result` starts as the set the
/// form fills and may be replaced by another set.
using TCalcFuzzyFunctionIntfEvent = std::function<void(
    TPersistent* sender, const std::string& func_name, const IntfPtr<IFuzzyStreamTokenList>& list,
    IntfPtr<IFuzzySet>& result, bool& handled)>;

/// Evaluates an expression text over the terms of `fuzzy_variable` (collection flavour);
/// the handler puts the set it made into `result`.
using TFuzzyExpressionEvent =
    std::function<void(TPersistent* sender, TFuzzyVariable& fuzzy_variable,
                       const std::string& expression, TFuzzySetResult& result)>;

/// Evaluates an expression text over the terms of `sender` (interfaced flavour).
using TIFuzzyExpressionEvent = std::function<void(
    IFuzzyVariable& sender, const std::string& expression, IntfPtr<IFuzzySet>& result)>;

}  // namespace tapwise
