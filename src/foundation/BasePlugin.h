#pragma once
// The package's module class. Installing the package writes one string value under the host registry key
// "SYSTEM\LOADMODULE\USER": its name is the package file's name, its data "Module=" + the file's full
// path + ";load=True", which tells the host to load the package at its next start. Writing again
// overwrites that value, so the key holds one value per package file.

#include <memory>

#include "kernel/RegIntf.h"
#include "kernel/SysModule.h"

namespace jxc {

inline constexpr const char* kLoadModuleKey = "SYSTEM\\LOADMODULE\\USER";

class TBasePlugin : public TModule {
 public:
  // Writes the package's value and commits. A null registry, or a key that cannot be opened, does
  // nothing (no message).
  static void RegisterModule(const std::shared_ptr<IRegistry>& reg);
  // Deletes the package's value and commits; commits nothing when the key or the value is missing.
  static void UnRegisterModule(const std::shared_ptr<IRegistry>& reg);

  // The descriptor the host receives from GetModuleClass.
  static const TModuleClass& Class();
};

// The plug-in unit's initialisation: TBasePlugin becomes the registered module class. The finalisation
// clears it again.
void BasePluginInitialization();
void BasePluginFinalization();

}  // namespace jxc
