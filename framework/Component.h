#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "convert/Exceptions.h"
#include "framework/Persistent.h"

namespace orlit {

ORLIT_EXCEPTION_CLASS(EComponentError, Exception);

enum TOperation { opInsert, opRemove };

using TComponentState = unsigned;
// Being built: layout and automatic sizing wait until the form has been loaded whole.
inline constexpr TComponentState csLoading = 1u << 0;
inline constexpr TComponentState csDestroying = 1u << 1;

// A named object that can own others. An owner holds what it owns and frees it with itself,
// last created first. Components that asked for it (FreeNotification) hear of each other's end.
class TComponent : public TPersistent {
 public:
  TComponent() = default;
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  // Empty, or an identifier unique among the owner's components (case-insensitive); throws
  // EComponentError otherwise.
  void SetName(const std::string& name);

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;
  // An owned component by name, case-insensitive; null when there is none.
  TComponent* FindComponent(std::string_view name) const;

  TComponentState ComponentState() const { return state_; }
  bool Loading() const { return (state_ & csLoading) != 0; }

  // Creates a T owned by this component, the way the framework builds every component.
  template <typename T, typename... Args>
  T* Create(Args&&... args) {
    static_assert(std::is_base_of_v<TComponent, T>);
    auto component = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = component.get();
    InsertComponent(std::move(component));
    raw->AfterConstruction();
    return raw;
  }
  // Takes ownership; a component created while its owner is loading is loading too.
  void InsertComponent(std::unique_ptr<TComponent> component);
  // Gives up ownership; null when `component` is not owned here.
  std::unique_ptr<TComponent> RemoveComponent(TComponent* component);
  void DestroyComponents();

  // Links this component and `component` so that each is told (Notification, opRemove) when the
  // other is destroyed. For references between components of different owners.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Ends the loading phase of everything this component owns, then of itself; each is told
  // through Loaded.
  void EndLoading();

 protected:
  // Told of components inserted into or removed from the owner, and of linked components going
  // away. The default passes it on to every owned component.
  virtual void Notification(TComponent* component, TOperation operation);
  // The loading phase has ended; the default clears csLoading.
  virtual void Loaded();
  void BeginLoading() { state_ |= csLoading; }

 private:
  void Unlink(TComponent* component);

  TComponent* owner_ = nullptr;
  std::string name_;
  std::vector<std::unique_ptr<TComponent>> components_;
  std::vector<TComponent*> free_notifies_;
  TComponentState state_ = 0;
};

// Creates a component without an owner, the way the framework builds every component.
template <typename T, typename... Args>
std::unique_ptr<T> MakeComponent(Args&&... args) {
  static_assert(std::is_base_of_v<TComponent, T>);
  auto component = std::make_unique<T>(std::forward<Args>(args)...);
  component->AfterConstruction();
  return component;
}

}  // namespace orlit
