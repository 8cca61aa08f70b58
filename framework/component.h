// Components: named objects with an owner that frees them, and a life-cycle state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/object.h"

namespace vantor {

enum TComponentStateFlag : std::uint8_t {
  csLoading = 1 << 0,     // the stored description is being read into it
  csDestroying = 1 << 1,  // its destruction has begun
  csDesigning = 1 << 2,   // it is being edited in a designer (never set in this program)
};
using TComponentState = std::uint8_t;

enum class TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;  // marks itself and its components destroying, frees them last-first
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // Creates a component owned by this one: Form.MakeOwned<TTimer>(). The owner frees it.
  template <class T, class... Args>
  T* MakeOwned(Args&&... ConstructorArgs) {
    auto Owned = std::make_unique<T>(this, std::forward<Args>(ConstructorArgs)...);
    T* Result = Owned.get();
    AdoptComponent(std::move(Owned));
    return Result;
  }

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const { return FComponents.at(Index).get(); }
  TComponent* FindComponent(const std::string& AName) const;

  TComponentState ComponentState() const { return FComponentState; }
  bool IsDestroying() const { return (FComponentState & csDestroying) != 0; }
  bool IsLoading() const { return (FComponentState & csLoading) != 0; }

  // Stored-description loading: BeginLoading, set the properties, then Loaded.
  void BeginLoading();
  virtual void Loaded();  // clears csLoading

  // Marks this component and every component it owns as being destroyed.
  void Destroying();

  // Asks AComponent to tell this one (through Notification) when it is freed.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

 protected:
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Marks this component destroying and frees its components, last created first. A
  // derived class whose components use it (a form and its controls) calls this first
  // thing in its own destructor.
  void DestroyComponents();

 private:
  void AdoptComponent(std::unique_ptr<TComponent> Component);

  TComponent* FOwner;
  std::string FName;
  TComponentState FComponentState = 0;
  std::vector<std::unique_ptr<TComponent>> FComponents;
  std::vector<TComponent*> FFreeNotifies;
};

}  // namespace vantor
