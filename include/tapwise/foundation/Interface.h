#pragma once

#include <atomic>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace tapwise {

/// Root of every interface-style object. Objects are counted intrusively: `AddRef` and
/// `Release` return the new count, and the object frees itself when `Release` brings the
/// count to zero. Interfaces derive virtually from IInterface so that one object offering
/// several interfaces has exactly one count.
class IInterface {
 public:
  virtual int32_t AddRef() noexcept = 0;
  virtual int32_t Release() noexcept = 0;

 protected:
  IInterface() = default;
  IInterface(const IInterface&) = default;
  IInterface& operator=(const IInterface&) = default;
  virtual ~IInterface() = default;
};

/// A counted reference to an interface-style object: adds a reference on copy and drops it
/// on destruction, like a `std::shared_ptr` whose count lives in the object.
template <class T>
class IntfPtr {
 public:
  IntfPtr() noexcept = default;
  IntfPtr(std::nullptr_t) noexcept {}  // NOLINT(google-explicit-constructor)
  /// Takes a new reference to `object` (which may be null).
  explicit IntfPtr(T* object) noexcept : FObject(object) {
    if (FObject != nullptr) FObject->AddRef();
  }
  IntfPtr(const IntfPtr& other) noexcept : IntfPtr(other.FObject) {}
  IntfPtr(IntfPtr&& other) noexcept : FObject(std::exchange(other.FObject, nullptr)) {}
  template <class U>
  IntfPtr(const IntfPtr<U>& other) noexcept : IntfPtr(other.Get()) {}  // NOLINT
  template <class U>
  IntfPtr(IntfPtr<U>&& other) noexcept : FObject(other.Detach()) {}  // NOLINT
  ~IntfPtr() { Reset(); }

  IntfPtr& operator=(const IntfPtr& other) noexcept {
    // Taking the object already held changes no count: spare the pair of calls.
    if (other.FObject != FObject) IntfPtr(other).Swap(*this);
    return *this;
  }
  IntfPtr& operator=(IntfPtr&& other) noexcept {
    IntfPtr(std::move(other)).Swap(*this);
    return *this;
  }
  IntfPtr& operator=(std::nullptr_t) noexcept {
    Reset();
    return *this;
  }

  /// Drops the reference held (if any); the pointer becomes null.
  void Reset() noexcept {
    if (T* object = std::exchange(FObject, nullptr)) object->Release();
  }
  /// Gives up the held reference without releasing it; the caller now owns it.
  [[nodiscard]] T* Detach() noexcept { return std::exchange(FObject, nullptr); }
  /// Takes over a reference the caller already owns, without adding another.
  static IntfPtr Adopt(T* object) noexcept {
    IntfPtr result;
    result.FObject = object;
    return result;
  }
  void Swap(IntfPtr& other) noexcept { std::swap(FObject, other.FObject); }

  T* Get() const noexcept { return FObject; }
  T* operator->() const noexcept { return FObject; }
  T& operator*() const noexcept { return *FObject; }
  explicit operator bool() const noexcept { return FObject != nullptr; }

  template <class U>
  bool operator==(const IntfPtr<U>& other) const noexcept {
    return static_cast<const IInterface*>(FObject) == static_cast<const IInterface*>(other.Get());
  }
  bool operator==(std::nullptr_t) const noexcept { return FObject == nullptr; }

 private:
  T* FObject = nullptr;
};

/// Another interface of the same object, or null when the object does not offer it.
template <class T, class U>
IntfPtr<T> Supports(const IntfPtr<U>& object) {
  return IntfPtr<T>(dynamic_cast<T*>(object.Get()));
}
template <class T, class U>
IntfPtr<T> Supports(U* object) {
  return IntfPtr<T>(dynamic_cast<T*>(object));
}

/// The count of live interface-style objects, kept in builds with TAPWISE_LIVE_OBJECT_COUNT so
/// that tests can prove a scenario leaves nothing behind (a reference cycle shows up here).
class LiveObjects {
 public:
  static bool IsCounting() noexcept;
  static int64_t Count() noexcept;

 private:
  friend class TInterfacedObject;
#if defined(TAPWISE_LIVE_OBJECT_COUNT)
  static void Add(int64_t delta) noexcept;
#else
  // Nothing to count: every object construction and destruction would call it.
  static void Add(int64_t /*delta*/) noexcept {}
#endif
};

/// The usual implementation of IInterface: an atomic count, freeing itself at zero.
/// Create objects through a factory that returns an IntfPtr (see `CreateInterfaced`), so the
/// object is already held while it initialises (after its constructor) and may hand itself
/// to others.
class TInterfacedObject : public virtual IInterface {
 public:
  int32_t AddRef() noexcept override { return ++FRefCount; }
  int32_t Release() noexcept override {
    const int32_t count = --FRefCount;
    if (count == 0) delete this;
    return count;
  }
  int32_t RefCount() const noexcept { return FRefCount.load(); }

 protected:
  TInterfacedObject() noexcept { LiveObjects::Add(1); }
  TInterfacedObject(const TInterfacedObject&) = delete;
  TInterfacedObject& operator=(const TInterfacedObject&) = delete;
  ~TInterfacedObject() override { LiveObjects::Add(-1); }

  /// Drops one reference without freeing the object at zero, for descendants whose
  /// `Release` follows a rule of its own; returns the new count.
  int32_t DecrementRefCount() noexcept { return --FRefCount; }

 private:
  std::atomic<int32_t> FRefCount{0};
};

/// Builds a counted object and returns the first reference to it. Classes with protected
/// constructors befriend this function.
///
/// The count is 0 while the constructor runs, so a constructor must not hand `this` to
/// others: dropping such a reference would free the half-built object. Work of that kind
/// (a term storing itself in its variable) goes into a member `void AfterConstruction()`,
/// which this function calls once it holds the first reference.
template <class T, class... Args>
IntfPtr<T> CreateInterfaced(Args&&... args) {
  IntfPtr<T> object(new T(std::forward<Args>(args)...));
  if constexpr (requires(T & t) { t.AfterConstruction(); }) object->AfterConstruction();
  return object;
}

}  // namespace tapwise
