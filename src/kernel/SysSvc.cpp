#include "kernel/SysSvc.h"

#include <map>

#include "platform/Text.h"

namespace jxc {

namespace {

// Services by upper-cased identifier.
std::map<std::string, std::shared_ptr<void>>& Services() {
  static std::map<std::string, std::shared_ptr<void>> services;
  return services;
}

}  // namespace

std::shared_ptr<void> SysService::Find(std::string_view iid) {
  auto& services = Services();
  auto it = services.find(UpperCase(iid));
  return it == services.end() ? nullptr : it->second;
}

void SysService::Store(std::string_view iid, std::shared_ptr<void> service) {
  auto& services = Services();
  if (service) {
    services[UpperCase(iid)] = std::move(service);
  } else {
    services.erase(UpperCase(iid));
  }
}

void SysService::Clear() {
  // Released after the map is empty, so that a service's destructor sees a consistent locator.
  auto released = std::move(Services());
  Services().clear();
}

SysService::Scope::Scope() {
  for (const auto& entry : Services()) saved_.push_back(entry);
}

SysService::Scope::~Scope() {
  auto released = std::move(Services());
  Services().clear();
  for (auto& [iid, service] : saved_) Services()[iid] = std::move(service);
}

}  // namespace jxc
