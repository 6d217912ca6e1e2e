#include "bills/UnitBillClasses.h"

#include "bills/UnitFrmBaseBillFramework.h"
#include "bills/UnitFrmBillInStockFramework.h"
#include "platform/ClassRegistry.h"

namespace jxc {

namespace {
constexpr const char* kBaseBillFramework = "TFrmBaseBillFramework";
constexpr const char* kInStockFramework = "TFrmBillInStockFramework";
}  // namespace

void BillClassesInitialization() {
  RegisterClass<TFrmBaseBillFramework>(kBaseBillFramework);
  RegisterClass<TFrmBillInStockFramework>(kInStockFramework);
}

void BillClassesFinalization() {
  UnRegisterClass(kInStockFramework);
  UnRegisterClass(kBaseBillFramework);
}

}  // namespace jxc
