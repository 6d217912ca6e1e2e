#pragma once
// The editors' unit of the package: registers the editor screens and frames by class name at start-up,
// so that configuration (the region frames of a function row, the screen class of a menu entry) and the
// host can make them by name, and unregisters them at unload.

namespace jxc {

void EditorClassesInitialization();
void EditorClassesFinalization();

}  // namespace jxc
