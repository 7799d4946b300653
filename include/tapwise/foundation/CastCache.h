#pragma once

#include <cstddef>
#include <typeinfo>

namespace tapwise {

/// `dynamic_cast<To*>` from a `From*` that knows one dynamic type's answer in advance.
///
/// Casting across virtual bases (from an `IInterface*` to another interface of the object)
/// searches the whole class graph every time. Objects of one dynamic type all keep a given
/// interface at the same distance from their `From` part, so an owner that learns that
/// distance for free (it converted the other way, from `To` to `From`, when an item came in)
/// can `Remember` it, and later casts of objects of that type are a type check and an
/// addition. Casting never writes, so concurrent casts are as safe as concurrent reads of the
/// owner; `Remember` is a change of the owner.
template <class To, class From>
class TCastCache {
 public:
  /// `dynamic_cast<To*>(object)`; null for a null object or one that does not offer `To`.
  To* Cast(From* object) const {
    if (object == nullptr) return nullptr;
    if (FType != nullptr && typeid(*object) == *FType) {
      return reinterpret_cast<To*>(reinterpret_cast<char*>(object) + FOffset);
    }
    return dynamic_cast<To*>(object);
  }
  /// Records that `view` is the `To` part of `object` (both of one live object, or null).
  void Remember(From* object, To* view) {
    if (object == nullptr || view == nullptr) return;
    FType = &typeid(*object);
    FOffset = reinterpret_cast<char*>(view) - reinterpret_cast<char*>(object);
  }
  /// Whether objects of `object`'s dynamic type are cast without a search.
  bool Knows(From* object) const {
    return object != nullptr && FType != nullptr && typeid(*object) == *FType;
  }

 private:
  const std::type_info* FType = nullptr;
  std::ptrdiff_t FOffset = 0;
};

}  // namespace tapwise
