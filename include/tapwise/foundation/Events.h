#pragma once

#include <functional>

namespace tapwise {

class TPersistent;

/// A plain change event: the object that changed (the sender) is passed along. Like every
/// event of the library it is a `std::function` that is raised only when assigned; bind the
/// target object into it (a lambda capturing it) to get a callback bound to an object.
using TNotifyEvent = std::function<void(TPersistent* sender)>;

}  // namespace tapwise
