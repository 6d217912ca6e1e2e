#pragma once
// The editors' unit of the package: registers the editor screens and frames by class name at start-up,
// so that configuration (the region frames of a function row, the screen class of a menu entry) and the
// host can make them by name, and unregisters them at unload.

#include <span>

#include "platform/ClassRegistry.h"

namespace jxc {

void EditorClassesInitialization();
void EditorClassesFinalization();

// One line of a unit's table of classes made by name.
struct TClassTableEntry {
  const char* Name;
  void (*Register)(const char* name);
};
template <class T>
void RegisterByName(const char* name) {
  RegisterClass<T>(name);
}
// Registers / unregisters every class of a unit's table.
void RegisterClassTable(std::span<const TClassTableEntry> classes);
void UnRegisterClassTable(std::span<const TClassTableEntry> classes);

}  // namespace jxc
