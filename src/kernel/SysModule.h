#pragma once
// The host's plug-in modules. A package hands the host one module class; the host creates a module object
// from it when the package is loaded (constructor, then Init), tells it of host events (Notify) and calls
// final before freeing it. The class itself, without an object, records the package in the host registry
// (RegisterModule) and removes it again (UnRegisterModule): these are operations of the class, so they are
// reached through a module-class descriptor, TModuleClass, of which each module class has one instance.

#include <memory>
#include <string>

#include "kernel/RegIntf.h"

namespace jxc {

class TModule {
 public:
  TModule() = default;
  virtual ~TModule() = default;
  TModule(const TModule&) = delete;
  TModule& operator=(const TModule&) = delete;

  // After construction, once the host has its services in place.
  virtual void Init() {}
  // Before the host frees the module.
  virtual void final() {}
  // A host event: flags say what happened; the interface, when given, is what it concerns.
  virtual void Notify(int flags, const std::shared_ptr<void>& intf) {}

  // The class operations' defaults: a module that keeps nothing in the registry.
  static void RegisterModule(const std::shared_ptr<IRegistry>& reg) {}
  static void UnRegisterModule(const std::shared_ptr<IRegistry>& reg) {}
};

// What the host knows of a module class: its name, how to make an object of it, and its class operations.
class TModuleClass {
 public:
  virtual ~TModuleClass() = default;
  virtual std::string ClassName() const = 0;
  virtual std::unique_ptr<TModule> Create() const = 0;
  virtual void RegisterModule(const std::shared_ptr<IRegistry>& reg) const = 0;
  virtual void UnRegisterModule(const std::shared_ptr<IRegistry>& reg) const = 0;
};

// The descriptor of module class T: T is default-constructible and may hide TModule's static
// RegisterModule / UnRegisterModule with its own.
template <class T>
class TModuleClassOf final : public TModuleClass {
 public:
  explicit TModuleClassOf(std::string className) : className_(std::move(className)) {}
  std::string ClassName() const override { return className_; }
  std::unique_ptr<TModule> Create() const override { return std::make_unique<T>(); }
  void RegisterModule(const std::shared_ptr<IRegistry>& reg) const override { T::RegisterModule(reg); }
  void UnRegisterModule(const std::shared_ptr<IRegistry>& reg) const override { T::UnRegisterModule(reg); }

 private:
  std::string className_;
};

}  // namespace jxc
