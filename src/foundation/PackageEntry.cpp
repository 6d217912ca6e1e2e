#include "foundation/PackageEntry.h"

#include "foundation/BasePlugin.h"
#include "foundation/UnitPublicUtils.h"

namespace jxc {

namespace {

int loadCount = 0;

void InitializeUnits() {
  InitializePublicUtils();
  BasePluginInitialization();
  // TODO(ui): registration of the package's classes by name, once the class registry is on main.
}

void FinalizeUnits() {
  BasePluginFinalization();
  FinalizePublicUtils();
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
