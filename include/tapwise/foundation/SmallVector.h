#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace tapwise {

/// A vector that keeps its first `N` elements inside itself and moves them to the heap only
/// when it outgrows them: most lists hold a handful of items, and each of those then costs
/// no allocation of its own.
///
///     TSmallVector<std::unique_ptr<TItem>, 4> items;  // up to 4 without an allocation
///
/// For elements that move without throwing (the vector relies on it when it grows). Any
/// change of the size may move the elements, so iterators, pointers and references are
/// valid only until the next change; a move leaves the source empty.
template <class T, size_t N>
class TSmallVector {
  static_assert(N > 0, "a small vector keeps at least one element inside itself");
  static_assert(std::is_nothrow_move_constructible_v<T>, "elements must move without throwing");

 public:
  using value_type = T;
  using size_type = size_t;
  using iterator = T*;
  using const_iterator = const T*;

  TSmallVector() noexcept = default;
  ~TSmallVector() {
    DestroyAll();
    ReleaseHeap();
  }
  TSmallVector(TSmallVector&& other) noexcept { TakeFrom(other); }
  TSmallVector& operator=(TSmallVector&& other) noexcept {
    if (this != &other) {
      DestroyAll();
      ReleaseHeap();
      TakeFrom(other);
    }
    return *this;
  }
  TSmallVector(const TSmallVector&) = delete;
  TSmallVector& operator=(const TSmallVector&) = delete;

  size_t size() const noexcept { return FSize; }
  bool empty() const noexcept { return FSize == 0; }
  size_t capacity() const noexcept { return FCapacity; }
  /// Whether the elements are inside the vector itself (no heap storage held).
  bool IsInline() const noexcept { return FData == Inline(); }

  T* data() noexcept { return FData; }
  const T* data() const noexcept { return FData; }
  iterator begin() noexcept { return FData; }
  iterator end() noexcept { return FData + FSize; }
  const_iterator begin() const noexcept { return FData; }
  const_iterator end() const noexcept { return FData + FSize; }

  T& operator[](size_t index) noexcept { return FData[index]; }
  const T& operator[](size_t index) const noexcept { return FData[index]; }
  T& back() noexcept { return FData[FSize - 1]; }
  const T& back() const noexcept { return FData[FSize - 1]; }

  /// Makes room for `count` elements; never shrinks.
  void reserve(size_t count) {
    if (count > FCapacity) Grow(count);
  }

  void push_back(T&& value) {
    if (FSize == FCapacity) {
      // Taken first: `value` may be an element of this vector.
      T taken(std::move(value));
      Grow(FCapacity * 2);
      ::new (static_cast<void*>(FData + FSize)) T(std::move(taken));
    } else {
      ::new (static_cast<void*>(FData + FSize)) T(std::move(value));
    }
    ++FSize;
  }

  void pop_back() noexcept {
    --FSize;
    std::destroy_at(FData + FSize);
  }

  /// Removes the element at `position`, moving the later ones down; returns the position,
  /// now holding the element that followed.
  iterator erase(const_iterator position) noexcept {
    T* target = FData + (position - FData);
    std::move(target + 1, end(), target);
    pop_back();
    return target;
  }

  /// Shrinks to `count` elements (destroying the last ones) or grows with value-initialised
  /// ones.
  void resize(size_t count) {
    while (FSize > count)
      pop_back();
    if (count > FSize) {
      reserve(count);
      std::uninitialized_value_construct(FData + FSize, FData + count);
      FSize = count;
    }
  }

  /// Destroys every element, the last first; the storage stays.
  void clear() noexcept { DestroyAll(); }

 private:
  T* Inline() noexcept { return reinterpret_cast<T*>(FInline); }
  const T* Inline() const noexcept { return reinterpret_cast<const T*>(FInline); }

  void Grow(size_t capacity) {
    std::allocator<T> allocator;
    T* grown = allocator.allocate(capacity);
    std::uninitialized_move(FData, FData + FSize, grown);
    std::destroy(FData, FData + FSize);
    ReleaseHeap();
    FData = grown;
    FCapacity = capacity;
  }

  void DestroyAll() noexcept {
    while (FSize > 0)
      pop_back();
  }

  // Frees the heap storage, if any, and returns to the inline room (which holds nothing).
  void ReleaseHeap() noexcept {
    if (!IsInline()) std::allocator<T>().deallocate(FData, FCapacity);
    FData = Inline();
    FCapacity = N;
  }

  // For an empty vector without heap storage: takes over `other`'s elements, leaving it
  // empty and inline.
  void TakeFrom(TSmallVector& other) noexcept {
    if (other.IsInline()) {
      std::uninitialized_move(other.begin(), other.end(), FData);
      FSize = other.FSize;
      other.DestroyAll();
    } else {
      FData = other.FData;
      FSize = other.FSize;
      FCapacity = other.FCapacity;
      other.FData = other.Inline();
      other.FSize = 0;
      other.FCapacity = N;
    }
  }

  T* FData = Inline();
  size_t FSize = 0;
  size_t FCapacity = N;
  alignas(T) std::byte FInline[N * sizeof(T)];
};

}  // namespace tapwise
