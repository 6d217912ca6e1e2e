#include "foundation/uKestrumModule.h"

namespace jxc {

namespace {
const TModuleClass* registeredModuleClass = nullptr;
}  // namespace

const TModuleClass* GetModuleClass() { return registeredModuleClass; }

void SetModuleClass(const TModuleClass* moduleClass) { registeredModuleClass = moduleClass; }

void InstallModule(const std::shared_ptr<IRegistry>& reg) {
  if (registeredModuleClass != nullptr) registeredModuleClass->RegisterModule(reg);
}

void UnInstallModule(const std::shared_ptr<IRegistry>& reg) {
  if (registeredModuleClass != nullptr) registeredModuleClass->UnRegisterModule(reg);
}

}  // namespace jxc
