#include "framework/Component.h"

#include <algorithm>
#include <cctype>

namespace orlit {

namespace {

bool IsValidIdent(std::string_view name) {
  if (name.empty()) return false;
  const auto first = static_cast<unsigned char>(name.front());
  if (!std::isalpha(first) && first != '_') return false;
  return std::all_of(name.begin() + 1, name.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || u == '_';
  });
}

bool SameText(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

TComponent::~TComponent() {
  state_ |= csDestroying;
  const std::vector<TComponent*> notifies = std::move(free_notifies_);
  free_notifies_.clear();
  for (TComponent* other : notifies) {
    other->Unlink(this);
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (owner_ != nullptr) {
    // Destroyed directly rather than through the owner: the owner must not free it again.
    TComponent* owner = owner_;
    auto it = std::find_if(owner->components_.begin(), owner->components_.end(),
                           [this](const auto& c) { return c.get() == this; });
    if (it != owner->components_.end()) {
      it->release();
      owner->components_.erase(it);
    }
    owner_ = nullptr;
    owner->Notification(this, opRemove);
  }
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name)) {
    throw EComponentError("'" + name + "' is not a valid component name");
  }
  if (owner_ != nullptr && !name.empty()) {
    TComponent* existing = owner_->FindComponent(name);
    if (existing != nullptr && existing != this) {
      throw EComponentError("A component named " + name + " already exists");
    }
  }
  name_ = name;
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) return nullptr;
  return components_[static_cast<std::size_t>(index)].get();
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (const auto& component : components_) {
    if (SameText(component->name_, name)) return component.get();
  }
  return nullptr;
}

void TComponent::InsertComponent(std::unique_ptr<TComponent> component) {
  if (!component) return;
  if (!component->name_.empty() && FindComponent(component->name_) != nullptr) {
    throw EComponentError("A component named " + component->name_ + " already exists");
  }
  TComponent* raw = component.get();
  raw->owner_ = this;
  if (Loading()) raw->BeginLoading();
  components_.push_back(std::move(component));
  Notification(raw, opInsert);
}

std::unique_ptr<TComponent> TComponent::RemoveComponent(TComponent* component) {
  auto it = std::find_if(components_.begin(), components_.end(),
                         [component](const auto& c) { return c.get() == component; });
  if (it == components_.end()) return nullptr;
  std::unique_ptr<TComponent> removed = std::move(*it);
  components_.erase(it);
  removed->owner_ = nullptr;
  Notification(removed.get(), opRemove);
  return removed;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    std::unique_ptr<TComponent> last = std::move(components_.back());
    components_.pop_back();
    last->owner_ = nullptr;
    last.reset();
  }
}

void TComponent::FreeNotification(TComponent* component) {
  if (component == nullptr || component == this) return;
  if (std::find(free_notifies_.begin(), free_notifies_.end(), component) == free_notifies_.end()) {
    free_notifies_.push_back(component);
  }
  auto& theirs = component->free_notifies_;
  if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (component == nullptr) return;
  Unlink(component);
  component->Unlink(this);
}

void TComponent::Unlink(TComponent* component) {
  free_notifies_.erase(std::remove(free_notifies_.begin(), free_notifies_.end(), component),
                       free_notifies_.end());
}

void TComponent::EndLoading() {
  // By index: a Loaded handler may create components of its own.
  for (std::size_t i = 0; i < components_.size(); ++i) components_[i]->EndLoading();
  if (Loading()) Loaded();
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove) RemoveFreeNotification(component);
  for (std::size_t i = components_.size(); i-- > 0;) {
    if (i < components_.size()) components_[i]->Notification(component, operation);
  }
}

void TComponent::Loaded() { state_ &= ~csLoading; }

}  // namespace orlit
