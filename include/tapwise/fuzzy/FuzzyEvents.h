#pragma once

#include <functional>

#include "tapwise/foundation/Events.h"

namespace tapwise {

class IFuzzySet;
class IFuzzyVariable;

/// A term of a variable was added, deleted or changed: `sender` is the variable, `fuzzy_set`
/// the term. Both are passed as plain references, so raising the event costs no reference
/// counting; a handler that keeps either wraps it in an `IntfPtr`.
using TIFuzzySetEvent = std::function<void(IFuzzyVariable& sender, IFuzzySet& fuzzy_set)>;

/// A variable changed (or, on a component, was added or deleted).
using TIFuzzyVariableEvent = std::function<void(IFuzzyVariable& fuzzy_variable)>;

}  // namespace tapwise
