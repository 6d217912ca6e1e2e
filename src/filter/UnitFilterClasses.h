#pragma once
// The filter unit of the package: registers the filter frames and the search-list edit by class name at
// start-up (so that configuration and the bill framework can make them by name) and unregisters them at
// unload.

namespace jxc {

void FilterClassesInitialization();
void FilterClassesFinalization();

}  // namespace jxc
