#pragma once
// The host's service locator. A service is reached by the identifier (IID) of its interface; a service
// nobody registered yields null, and every caller copes with that. Programs and tests register the
// implementations they want; a registration replaces the previous one of that identifier.
//
//   SysService::Register<IDialog>(std::make_shared<TRecordingDialog>());
//   std::shared_ptr<IDialog> dialog = SysService::Get<IDialog>();   // null when none is registered
//
// The locator holds counted references: a service lives while it is registered or held by a caller.
// Used from the user-interface thread only.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace jxc {

class SysService {
 public:
  SysService() = delete;

  // The service registered under the identifier (compared without case), or null.
  static std::shared_ptr<void> Find(std::string_view iid);
  static bool Exists(std::string_view iid) { return Find(iid) != nullptr; }

  template <class I>
  static std::shared_ptr<I> Get() {
    return std::static_pointer_cast<I>(Find(I::IID));
  }

  // Registers the service under I's identifier; a null service removes the registration.
  template <class I>
  static void Register(std::shared_ptr<I> service) {
    Store(I::IID, std::static_pointer_cast<void>(std::move(service)));
  }
  template <class I>
  static void Unregister() {
    Store(I::IID, nullptr);
  }
  // Removes every registration.
  static void Clear();

  // Keeps the registrations of the moment it is made and puts them back when it goes, whatever was
  // registered or removed in between (one test's services do not leak into the next).
  class Scope {
   public:
    Scope();
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    std::vector<std::pair<std::string, std::shared_ptr<void>>> saved_;
  };

 private:
  static void Store(std::string_view iid, std::shared_ptr<void> service);
};

}  // namespace jxc
