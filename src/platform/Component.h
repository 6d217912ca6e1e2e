#pragma once
// A component has a name and an owner. The owner frees what it owns when it is destroyed (last owned
// first); a component freed earlier leaves its owner's list by itself. Observers registered with
// FreeNotification are told before a component goes, so that they can forget it.

#include <string>
#include <string_view>
#include <vector>

namespace jxc {

enum class TOperation { opInsert, opRemove };

class TComponent {
 public:
  explicit TComponent(TComponent* owner = nullptr);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const { return name_; }
  // Any text is accepted (names made of pinyin initials may hold brackets). A name already used by another
  // component of the same owner raises EInvalidOperation "A component named X already exists".
  void SetName(std::string name);

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;
  // The owned component of that name (ASCII case-insensitive), or null. Empty names never match.
  TComponent* FindComponent(std::string_view name) const;
  template <class T>
  T* FindComponentAs(std::string_view name) const { return dynamic_cast<T*>(FindComponent(name)); }

  // Moves the component to another owner (or none); the caller then owns it when newOwner is null.
  void ChangeOwner(TComponent* newOwner);

  // The observer's Notification(this, opRemove) runs when this component is destroyed.
  void FreeNotification(TComponent* observer);
  void RemoveFreeNotification(TComponent* observer);

  int Tag = 0;

  // The class's name as registered with the class registry ("TComponent" here).
  virtual std::string ClassName() const { return "TComponent"; }

  // True while the destructor chain runs (owned components are being freed).
  bool Destroying() const { return destroying_; }

 protected:
  // Called on observers and on the owner when a component they know goes away.
  virtual void Notification(TComponent* component, TOperation operation) {}
  // Called first thing by the destructors of derived classes that must tell observers while they still
  // are fully themselves; safe to call more than once.
  void BeginDestroy();
  // Frees the owned components, last first, while the owner is still fully itself (for owners whose
  // components reach back into them when they go). The destructor does it otherwise.
  void DestroyComponents();

 private:
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  std::string name_;
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> observers_;   // told when this one goes
  std::vector<TComponent*> observing_;   // this one is told when those go
  bool destroying_ = false;
};

}  // namespace jxc
