#include "foundation/PackageEntry.h"

#include "foundation/BasePlugin.h"

namespace jxc {

namespace {

int loadCount = 0;

void InitializeUnits() {
  // TODO(utils): the utilities unit's initialisation (UserInfo, SysParams, base date) runs here first,
  // once its functions are on main.
  BasePluginInitialization();
  // TODO(ui): registration of the package's classes by name, once the class registry is on main.
}

void FinalizeUnits() {
  BasePluginFinalization();
}

}  // namespace

void PackageStartup() {
  // Counted only once the initialisations succeeded, so a failed start-up can be tried again.
  if (loadCount == 0) InitializeUnits();
  ++loadCount;
}

void PackageShutdown() {
  if (loadCount == 0) return;
  if (--loadCount == 0) FinalizeUnits();
}

bool PackageStarted() { return loadCount > 0; }

}  // namespace jxc
