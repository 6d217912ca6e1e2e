#pragma once
// The package's face to the host's plug-in framework: the module class it registers and the three plain
// functions the host calls. The module class is set once at package start-up (before the host can ask for
// it) and cleared at unload.

#include <memory>

#include "kernel/RegIntf.h"
#include "kernel/SysModule.h"

namespace jxc {

// The registered module class, null until the plug-in unit is initialised. Not owned.
const TModuleClass* GetModuleClass();
// Sets (or, with null, clears) the registered module class.
void SetModuleClass(const TModuleClass* moduleClass);

// Records the package in the host registry through the module class's RegisterModule. Does nothing, and
// raises nothing, when no module class is registered yet.
void InstallModule(const std::shared_ptr<IRegistry>& reg);
// Removes the record through the module class's UnRegisterModule; nothing without a module class.
void UnInstallModule(const std::shared_ptr<IRegistry>& reg);

}  // namespace jxc
