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
  explicit TUpdateScope(T& target) : FTarget(target) { FTarget.BeginUpdate(); }
  ~TUpdateScope() noexcept(false) {
    try {
      FTarget.EndUpdate();
    } catch (...) {
      // Leaving because of another exception: that one wins. (Asked only when EndUpdate
      // fails, so that the common way out costs nothing.)
      if (std::uncaught_exceptions() == 0) throw;
    }
  }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;

 private:
  T& FTarget;
};

}  // namespace tapwise
