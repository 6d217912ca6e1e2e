#include "foundation/PackageEntry.h"

#include <cstddef>

#include "bills/UnitBillClasses.h"
#include "editors/UnitEditorClasses.h"
#include "filter/UnitFilterClasses.h"
#include "foundation/BasePlugin.h"
#include "foundation/UnitPublicUtils.h"

namespace jxc {

namespace {

// One unit's initialisation and the finalisation that undoes it.
struct TUnitEntry {
  void (*Initialization)();
  void (*Finalization)();
};

// The package's units in their order. A unit whose screen, frame or editor classes must be creatable by
// name adds its line here, with a pair that registers them in the class registry (RegisterClass<T>) and
// unregisters them again (UnRegisterClass), after the two units below.
constexpr TUnitEntry kUnits[] = {
    {InitializePublicUtils, FinalizePublicUtils},
    {BasePluginInitialization, BasePluginFinalization},
    {FilterClassesInitialization, FilterClassesFinalization},
    {EditorClassesInitialization, EditorClassesFinalization},
    {BillClassesInitialization, BillClassesFinalization},
};
constexpr size_t kUnitCount = sizeof(kUnits) / sizeof(kUnits[0]);

int loadCount = 0;

void FinalizeFirst(size_t count) {
  while (count > 0) kUnits[--count].Finalization();
}

void InitializeUnits() {
  size_t done = 0;
  try {
    for (; done < kUnitCount; ++done) kUnits[done].Initialization();
  } catch (...) {
    // A unit that fails leaves the package unloaded: the units before it are undone in reverse.
    FinalizeFirst(done);
    throw;
  }
}

}  // namespace

void PackageStartup() {
  // Counted only once the initialisations succeeded, so a failed start-up can be tried again.
  if (loadCount == 0) InitializeUnits();
  ++loadCount;
}

void PackageShutdown() {
  if (loadCount == 0) return;
  if (--loadCount == 0) FinalizeFirst(kUnitCount);
}

bool PackageStarted() { return loadCount > 0; }

}  // namespace jxc
