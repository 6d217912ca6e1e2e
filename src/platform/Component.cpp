#include "platform/Component.h"

#include <algorithm>

#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace jxc {

namespace {
void Erase(std::vector<TComponent*>& list, TComponent* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}
}  // namespace

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  BeginDestroy();
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::BeginDestroy() {
  if (destroying_) return;
  destroying_ = true;
  // Observers may unregister others while being told, so work on copies.
  std::vector<TComponent*> observers = observers_;
  observers_.clear();
  for (TComponent* observer : observers) {
    Erase(observer->observing_, this);
    observer->Notification(this, TOperation::opRemove);
  }
  for (TComponent* observed : observing_) Erase(observed->observers_, this);
  observing_.clear();
}

void TComponent::DestroyComponents() {
  // Last owned first; each one leaves components_ in its own destructor.
  while (!components_.empty()) delete components_.back();
}

void TComponent::SetName(std::string name) {
  if (owner_ && !name.empty()) {
    TComponent* existing = owner_->FindComponent(name);
    if (existing && existing != this)
      throw EInvalidOperation("A component named " + name + " already exists");
  }
  name_ = std::move(name);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EArgumentError("List index out of bounds (" + std::to_string(index) + ")");
  return components_[static_cast<size_t>(index)];
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::ChangeOwner(TComponent* newOwner) {
  if (newOwner == owner_) return;
  if (newOwner && !name_.empty() && newOwner->FindComponent(name_))
    throw EInvalidOperation("A component named " + name_ + " already exists");
  if (owner_) owner_->RemoveComponent(this);
  if (newOwner) newOwner->InsertComponent(this);
}

void TComponent::FreeNotification(TComponent* observer) {
  if (!observer || observer == this) return;
  if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end()) return;
  observers_.push_back(observer);
  observer->observing_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* observer) {
  if (!observer) return;
  Erase(observers_, observer);
  Erase(observer->observing_, this);
}

void TComponent::InsertComponent(TComponent* component) {
  components_.push_back(component);
  component->owner_ = this;
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  Erase(components_, component);
  component->owner_ = nullptr;
  Notification(component, TOperation::opRemove);
}

}  // namespace jxc
