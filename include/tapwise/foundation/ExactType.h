#pragma once

#include <type_traits>
#include <typeinfo>

namespace tapwise {

/// Exact-type questions, asked in one place.
///
/// A fast path that holds only for objects of one class (and not for its descendants, which
/// may override what the path skips) asks `IsExactly<T>(object)`; where it needs the object
/// as that class it takes `ExactCast<T>(object)`, which is a type check and an adjustment
/// of the pointer, where a `dynamic_cast` across virtual bases searches the class graph.
///
///     if (const auto* plain = ExactCast<TFuzzySetValue>(item)) UsePlain(*plain);
///     else UseVirtuals(*item);

/// Whether the dynamic type of `object` is `T` itself, not a descendant of it.
template <class T, class U>
requires(!std::is_pointer_v<U>) bool IsExactly(const U& object) noexcept {
  static_assert(std::is_polymorphic_v<U>, "IsExactly needs a polymorphic type");
  return typeid(object) == typeid(T);
}

/// `IsExactly` for a pointer; false for null.
template <class T, class U>
bool IsExactly(const U* object) noexcept {
  return object != nullptr && IsExactly<T>(*object);
}

/// `object` as `T` when its dynamic type is exactly `T`; null otherwise (and for null).
template <class T, class U>
T* ExactCast(U* object) noexcept {
  static_assert(std::is_const_v<T> || !std::is_const_v<U>, "ExactCast would drop const");
  if (!IsExactly<std::remove_const_t<T>>(object)) return nullptr;
  // The complete object is a T, so its start is the T's start.
  using Void = std::conditional_t<std::is_const_v<U>, const void, void>;
  return static_cast<T*>(dynamic_cast<Void*>(object));
}

/// `dynamic_cast<T*>(object)`, answered by `ExactCast` for an object of class `Usual` (a
/// class derived from T): hot look-ups nearly always meet that one class.
template <class T, class Usual, class U>
T* CastExpecting(U* object) noexcept {
  static_assert(std::is_base_of_v<T, Usual>, "the usual class must be a T");
  if (Usual* usual = ExactCast<Usual>(object)) return usual;
  return dynamic_cast<T*>(object);
}

}  // namespace tapwise
