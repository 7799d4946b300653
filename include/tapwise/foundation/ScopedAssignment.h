#pragma once

#include <utility>

namespace tapwise {

/// Gives a variable a value for the lifetime of a scope and gives it back its old value when
/// the scope ends, however it ends:
///
///     TScopedAssignment ticking(FInTick, true);  // FInTick is false again after the tick
template <class T>
class TScopedAssignment {
 public:
  TScopedAssignment(T& slot, T value)
      : FSlot(slot), FSaved(std::exchange(slot, std::move(value))) {}
  TScopedAssignment(const TScopedAssignment&) = delete;
  TScopedAssignment& operator=(const TScopedAssignment&) = delete;
  ~TScopedAssignment() { FSlot = std::move(FSaved); }

 private:
  T& FSlot;
  T FSaved;
};

}  // namespace tapwise
