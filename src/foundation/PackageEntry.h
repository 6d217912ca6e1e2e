#pragma once
// Loading and unloading the package. Start-up runs each unit's initialisation once, in the package's unit
// order: the utilities unit's globals (the current user, the system parameters, the base date of
// sequential identifiers), the plug-in unit (the module class the host gets from GetModuleClass), then
// the registration of the screen and editor classes by name. Shut-down runs the finalisations in reverse.
//
// The package may be loaded by several requirers: each PackageStartup is matched by a PackageShutdown, and
// only the first start-up and the last shut-down do the work.

namespace jxc {

void PackageStartup();
void PackageShutdown();
// True between the first start-up and the last shut-down.
bool PackageStarted();

}  // namespace jxc
