#pragma once
// The bill screens creatable by class name (the configuration names them in TB_SYS_FUNCTION): registered
// with the class registry when the package starts and removed when it unloads.

namespace jxc {

void BillClassesInitialization();
void BillClassesFinalization();

}  // namespace jxc
