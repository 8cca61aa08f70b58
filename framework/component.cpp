#include "framework/component.h"

#include <algorithm>

namespace vantor {

TComponent::TComponent(TComponent* AOwner) : FOwner(AOwner) {}

TComponent::~TComponent() {
  DestroyComponents();
  const std::vector<TComponent*> Notifies = std::move(FFreeNotifies);
  FFreeNotifies.clear();
  for (TComponent* Other : Notifies) {
    auto& List = Other->FFreeNotifies;
    List.erase(std::remove(List.begin(), List.end(), this), List.end());
    Other->Notification(this, TOperation::opRemove);
  }
}

void TComponent::DestroyComponents() {
  Destroying();
  // Last created, first freed; each one is out of the list before its destructor runs.
  while (!FComponents.empty()) {
    std::unique_ptr<TComponent> Last = std::move(FComponents.back());
    FComponents.pop_back();
    Notification(Last.get(), TOperation::opRemove);
    Last.reset();
  }
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
  for (const auto& Component : FComponents) {
    if (!AName.empty() && Component->Name() == AName)
      return Component.get();
  }
  return nullptr;
}

void TComponent::BeginLoading() {
  FComponentState |= csLoading;
}

void TComponent::Loaded() {
  FComponentState &= static_cast<TComponentState>(~csLoading);
}

void TComponent::Destroying() {
  if (IsDestroying())
    return;
  FComponentState |= csDestroying;
  for (const auto& Component : FComponents)
    Component->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this)
    return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(AComponent);
    AComponent->FreeNotification(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  auto It = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
  if (It == FFreeNotifies.end())
    return;
  FFreeNotifies.erase(It);
  AComponent->RemoveFreeNotification(this);
}

void TComponent::Notification(TComponent* /*AComponent*/, TOperation /*Operation*/) {}

void TComponent::AdoptComponent(std::unique_ptr<TComponent> Component) {
  TComponent* Added = Component.get();
  FComponents.push_back(std::move(Component));
  Notification(Added, TOperation::opInsert);
}

}  // namespace vantor
