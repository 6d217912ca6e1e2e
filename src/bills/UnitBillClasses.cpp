#include "bills/UnitBillClasses.h"

#include "bills/UnitFrmBaseBillFramework.h"
#include "platform/ClassRegistry.h"

namespace jxc {

namespace {
constexpr const char* kBaseBillFramework = "TFrmBaseBillFramework";
}  // namespace

void BillClassesInitialization() { RegisterClass<TFrmBaseBillFramework>(kBaseBillFramework); }

void BillClassesFinalization() { UnRegisterClass(kBaseBillFramework); }

}  // namespace jxc
