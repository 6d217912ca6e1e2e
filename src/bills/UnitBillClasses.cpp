#include "bills/UnitBillClasses.h"

#include "bills/UnitFrmBaseBillFramework.h"
#include "bills/UnitFrmBillOutStockFramework.h"
#include "platform/ClassRegistry.h"

namespace jxc {

namespace {
constexpr const char* kBaseBillFramework = "TFrmBaseBillFramework";
constexpr const char* kOutStockFramework = "TFrmBillOutStockFramework";
}  // namespace

void BillClassesInitialization() {
  RegisterClass<TFrmBaseBillFramework>(kBaseBillFramework);
  RegisterClass<TFrmBillOutStockFramework>(kOutStockFramework);
}

void BillClassesFinalization() {
  UnRegisterClass(kOutStockFramework);
  UnRegisterClass(kBaseBillFramework);
}

}  // namespace jxc
