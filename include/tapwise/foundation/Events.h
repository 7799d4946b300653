#pragma once

#include <functional>

#include "tapwise/foundation/Persistent.h"

namespace tapwise {

/// A change notification; `sender` is the object that changed. Raised only when assigned.
using TNotifyEvent = std::function<void(TPersistent* sender)>;

}  // namespace tapwise
