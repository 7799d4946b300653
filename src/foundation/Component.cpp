#include "tapwise/foundation/Component.h"

#include <algorithm>
#include <exception>

#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"

namespace tapwise {
namespace {

// Component names follow identifier rules, so ASCII case folding is all that is needed, and it
// stays independent of the process locale.
bool SameText(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}

void Erase(std::vector<TComponent*>& list, const TComponent* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

TComponent::TComponent(TComponent* owner) {
  if (owner != nullptr) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  BeforeDestruction();
}

void TComponent::operator delete(TComponent* component, std::destroying_delete_t) {
  if (component == nullptr) return;
  // The most derived object starts here; it is what operator new handed out.
  void* storage = dynamic_cast<void*>(component);
  component->BeforeDestruction();
  component->~TComponent();
  ::operator delete(storage);
}

void TComponent::BeforeDestruction() noexcept {
  if (FRemovalDone) return;
  FRemovalDone = true;
  FDestroying = true;
  // Each linked component is taken off the list before it hears of the removal, so it is
  // told once, and whatever it does to the links meanwhile cannot upset this loop.
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    Erase(other->FFreeNotifies, this);
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

void TComponent::DestroyComponents() noexcept {
  while (!FComponents.empty()) {
    TComponent* component = FComponents.back();
    RemoveComponent(component);
    delete component;
  }
}

void TComponent::SetName(const std::string& name) {
  if (name == FName) return;
  if (FOwner != nullptr && !name.empty()) {
    const TComponent* same = FOwner->FindComponent(name);
    if (same != nullptr && same != this) {
      throw EComponentError(Format(messages::kDuplicateComponentName, name));
    }
  }
  FName = name;
}

TComponent* TComponent::GetComponent(int index) const {
  if (index < 0 || index >= GetComponentCount()) {
    throw EListError(Format(messages::kListIndexOutOfBounds, index));
  }
  return FComponents[static_cast<size_t>(index)];
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* component : FComponents) {
    if (SameText(component->FName, name)) return component;
  }
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (component == nullptr || component->FOwner == this) return;
  for (const TComponent* owner = this; owner != nullptr; owner = owner->FOwner) {
    if (owner == component) {
      throw EComponentError(Format(messages::kComponentOwnerCycle, component->FName));
    }
  }
  if (const TComponent* same = FindComponent(component->FName); same != nullptr) {
    throw EComponentError(Format(messages::kDuplicateComponentName, component->FName));
  }
  if (component->FOwner != nullptr) component->FOwner->RemoveComponent(component);
  FComponents.push_back(component);
  component->FOwner = this;
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (component == nullptr || component->FOwner != this) return;
  Erase(FComponents, component);
  component->FOwner = nullptr;
  Notification(component, opRemove);
}

void TComponent::FreeNotification(TComponent* listener) {
  if (listener == nullptr || listener == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), listener) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(listener);
  }
  auto& back_links = listener->FFreeNotifies;
  if (std::find(back_links.begin(), back_links.end(), this) == back_links.end()) {
    back_links.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* listener) {
  if (listener != nullptr) RemoveLink(listener);
}

void TComponent::RemoveLink(TComponent* other) {
  Erase(FFreeNotifies, other);
  Erase(other->FFreeNotifies, this);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component != nullptr) RemoveLink(component);
  NotifyOwned(component, operation);
}

void TComponent::NotifyOwned(TComponent* component, TOperation operation) {
  // Backwards and re-checked on every step: a handler may remove components from the list.
  for (size_t i = FComponents.size(); i-- > 0;) {
    if (i < FComponents.size()) FComponents[i]->Notification(component, operation);
  }
}

void TComponent::BeginLoading() {
  SetLoadingTree(true);
}

void TComponent::SetLoadingTree(bool loading) {
  FLoading = loading;
  for (TComponent* component : FComponents)
    component->SetLoadingTree(loading);
}

void TComponent::EndLoading() {
  std::exception_ptr first_error;
  // By index: a Loaded may add or remove components.
  for (size_t i = 0; i < FComponents.size(); ++i) {
    try {
      FComponents[i]->EndLoading();
    } catch (...) {
      if (!first_error) first_error = std::current_exception();
    }
  }
  if (FLoading) {
    try {
      Loaded();
    } catch (...) {
      if (!first_error) first_error = std::current_exception();
    }
    FLoading = false;
  }
  if (first_error) std::rethrow_exception(first_error);
}

void TComponent::Loaded() {
  FLoading = false;
}

}  // namespace tapwise
