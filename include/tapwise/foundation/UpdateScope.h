#pragma once

#include <exception>

namespace tapwise {

/// Holds a BeginUpdate/EndUpdate bracket of any list or table for one scope, so that the
/// bracket is closed on every way out:
///
///   {
///     TUpdateScope scope(list);  // list.BeginUpdate()
///     list.Clear();
///     list.Add("x");
///   }                            // list.EndUpdate(): one change notification
///
/// An exception thrown by EndUpdate (a change handler's) propagates, unless the scope is being
/// left because of another exception, which then wins.
template <class T>
class TUpdateScope {
 public:
  explicit TUpdateScope(T& target) : FTarget(target), FExceptions(std::uncaught_exceptions()) {
    FTarget.BeginUpdate();
  }
  ~TUpdateScope() noexcept(false) {
    if (std::uncaught_exceptions() > FExceptions) {
      try {
        FTarget.EndUpdate();
      } catch (...) {  // NOLINT(bugprone-empty-catch): the exception in flight wins
      }
    } else {
      FTarget.EndUpdate();
    }
  }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;

 private:
  T& FTarget;
  int FExceptions;
};

}  // namespace tapwise
