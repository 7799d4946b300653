#pragma once

#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "tapwise/foundation/Persistent.h"

namespace tapwise {

/// What happened to the component a `Notification` is about.
enum TOperation : uint8_t { opInsert, opRemove };

/// A persistent object with an owner, a name, a loading state and free notification.
///
/// Ownership: a component created with an owner belongs to it and is destroyed with it, most
/// recently created first; such a component must live on the heap and must not also be held
/// by a `std::unique_ptr`. A component without an owner belongs to whoever created it
/// (usually a `std::unique_ptr` or a local variable). Destroying an owned component directly
/// is fine: it leaves its owner first.
///
/// Links: a component that keeps a plain pointer to another one calls
/// `other->FreeNotification(this)`; when `other` is destroyed, `Notification(other, opRemove)`
/// runs on it so that it can clear the pointer. The link is mutual, so whichever side goes
/// first, the other never keeps a dangling entry. An owner also passes every notification it
/// receives on to the components it owns, so siblings hear about each other's arrival and
/// removal without linking.
///
/// Destruction order: `delete` on a heap component (also through `std::unique_ptr`) first
/// notifies the linked components, destroys the owned ones and leaves the owner while the
/// whole object, including every derived member, is still intact; only then do the
/// destructors run. A component destroyed otherwise (a local variable) does the same steps
/// from ~TComponent, after its derived members are gone.
class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner = nullptr);
  ~TComponent() override;

  /// Runs the removal steps (see the class comment) before any destructor, then destroys
  /// and frees the object.
  static void operator delete(TComponent* component, std::destroying_delete_t);

  std::string ClassName() const override { return "TComponent"; }

  TComponent* GetOwner() const { return FOwner; }
  const std::string& GetName() const { return FName; }
  /// Renames the component. A non-empty name must be unique (ignoring letter case) among the
  /// owner's components, else EComponentError "A component named %s already exists".
  void SetName(const std::string& name);

  int GetComponentCount() const { return static_cast<int>(FComponents.size()); }
  /// The owned component at `index` (creation order); EListError when out of range.
  TComponent* GetComponent(int index) const;
  /// The owned component with this name (ignoring letter case), or null.
  TComponent* FindComponent(std::string_view name) const;

  /// Makes this component the owner of `component`, taking it from its former owner. Every
  /// owned component hears `Notification(component, opInsert)`. A component given an owner
  /// at construction is inserted from the TComponent constructor, before its own
  /// constructors have run: handlers of opInsert may keep the pointer but not use it yet.
  void InsertComponent(TComponent* component);
  /// Gives up ownership of `component` without destroying it; the caller owns it now. The
  /// owner and its components hear `Notification(component, opRemove)`.
  void RemoveComponent(TComponent* component);

  /// Asks that `listener` be told (`Notification(this, opRemove)`) when this component is
  /// destroyed. Also tells this component when `listener` goes first.
  void FreeNotification(TComponent* listener);
  /// Drops the link made by FreeNotification, in both directions.
  void RemoveFreeNotification(TComponent* listener);

  /// True while stored properties are being assigned; between `BeginLoading` and `Loaded`.
  bool IsLoading() const { return FLoading; }
  /// True from the start of the destruction steps on.
  bool IsDestroying() const { return FDestroying; }

  /// Marks this component and, recursively, the components it owns as loading, as the
  /// stored-layout loader does before it assigns their properties.
  void BeginLoading();
  /// Ends loading: calls `Loaded` on every still-loading owned component (recursively, in
  /// creation order) and then on this one. Every component leaves the loading state even
  /// when a `Loaded` fails; the first failure is raised once all have run.
  void EndLoading();

  /// Runs once all stored properties are set; clears the loading state. An override calls
  /// the base first, then does the work it postponed while loading.
  virtual void Loaded();

 protected:
  /// Tells this component that `component` was inserted or is being removed. The base drops
  /// its link to a removed component and passes the notification on to the owned
  /// components. Overrides clear their pointers to `component` and call the base.
  virtual void Notification(TComponent* component, TOperation operation);

 protected:
  /// The removal steps (notify the linked components, destroy the owned ones, leave the
  /// owner); they run once. A component whose linked components still use its derived
  /// parts while they hear of its removal calls this first in its own destructor, so that
  /// the steps run while it is whole even when it is not destroyed through `delete`.
  void BeforeDestruction() noexcept;

 private:
  void DestroyComponents() noexcept;
  void NotifyOwned(TComponent* component, TOperation operation);
  void SetLoadingTree(bool loading);
  void RemoveLink(TComponent* other);

  TComponent* FOwner = nullptr;
  std::string FName;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  bool FLoading = false;
  bool FDestroying = false;
  bool FRemovalDone = false;
};

}  // namespace tapwise
