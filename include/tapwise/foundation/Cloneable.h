#pragma once

#include <concepts>
#include <cstdint>
#include <utility>

#include "tapwise/foundation/Interface.h"
#include "tapwise/foundation/Persistent.h"

namespace tapwise {

/// Copy and compare through an interface. Fuzzy sets, fuzzy variables, stream tokens and
/// token lists offer it, each with its own rules of what their content is.
///
/// An implementing class is usually a TPersistent as well: its `Assign(const TPersistent&)`
/// and `AssignTo` serve both bases, so it overrides them once.
class ICloneable : public virtual IInterface {
 public:
  /// Copies the content of `source`, reached through the interface of this object's kind
  /// (for example `IFuzzySet`); a source that does not offer it is refused like an
  /// unsupported persistent source.
  virtual void AssignFromInterface(const IntfPtr<IInterface>& source) = 0;
  /// The persistent copy operation.
  virtual void Assign(const TPersistent& source) = 0;
  /// The persistent copy-to operation.
  virtual void AssignTo(TPersistent& dest) const = 0;
  /// A new object of the same class with the same content.
  virtual IntfPtr<ICloneable> Clone() const = 0;
  /// Content equality with `other`; false when `other` does not offer this object's kind of
  /// interface.
  virtual bool IsEqual(const IntfPtr<IInterface>& other) const = 0;
  virtual int32_t GetTag() const = 0;
  virtual void SetTag(int32_t value) = 0;
};

/// A new object made by `create` and assigned from `source`. `create` plays the part of a
/// class reference and is called with `source`, so that it can build its kind properly: a
/// component with `source`'s owner, a collection item without a collection, anything else
/// with its plain constructor. It returns an owning pointer (`std::unique_ptr` or `IntfPtr`).
///
///     auto copy = ClonePersistent(list, [](const TPersistent&) { return MakeList(); });
template <class Factory>
requires std::invocable<Factory, const TPersistent&>
auto ClonePersistent(const TPersistent& source, Factory&& create) {
  auto result = std::forward<Factory>(create)(source);
  result->Assign(source);
  return result;
}

}  // namespace tapwise
