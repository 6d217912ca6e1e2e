#include "bills/UnitBillClasses.h"

#include "bills/UnitFrameProductFastEntryEditor.h"
#include "bills/UnitFrmBaseBillFramework.h"
#include "bills/UnitFrmBillInStockFramework.h"
#include "bills/UnitFrmBillOutStockFramework.h"
#include "platform/ClassRegistry.h"

namespace jxc {

namespace {
constexpr const char* kBaseBillFramework = "TFrmBaseBillFramework";
constexpr const char* kInStockFramework = "TFrmBillInStockFramework";
constexpr const char* kOutStockFramework = "TFrmBillOutStockFramework";
constexpr const char* kFastEntryPanel = "TFrameProductFastEntryEditor";
}  // namespace

void BillClassesInitialization() {
  RegisterClass<TFrmBaseBillFramework>(kBaseBillFramework);
  RegisterClass<TFrmBillInStockFramework>(kInStockFramework);
  RegisterClass<TFrmBillOutStockFramework>(kOutStockFramework);
  RegisterClass<TFrameProductFastEntryEditor>(kFastEntryPanel);
}

void BillClassesFinalization() {
  UnRegisterClass(kFastEntryPanel);
  UnRegisterClass(kOutStockFramework);
  UnRegisterClass(kInStockFramework);
  UnRegisterClass(kBaseBillFramework);
}

}  // namespace jxc
