#include "filter/UnitFrameCustomerFilter.h"

#include "filter/UnitBaseLookups.h"
#include "platform/Text.h"

namespace jxc {

namespace {

constexpr const char* kFields =
    " F_ID,F_NAME, F_CODE,F_PY,  F_ADDRESS = F_RECV_ADDRESS, F_MOBILE = F_RECV_MOBILE,F_HAVE_TAX , F_EMPLOYEE_ID, "
    "F_EMPLOYEE = (SELECT F_NAME FROM TB_EMPLOYEE WHERE F_ID = F_EMPLOYEE_ID) ,F_TAX_TYPE_ID, F_CAN_SELL_MODE_NO";

}  // namespace

TFrameCustomerFilter* GetLookupCustomer(TComponent* owner, const std::string& shopID, int kind, TDataSetCallback callback) {
  if (kind != kSupplierKind && kind != kCustomerKind) throw Exception("往来单位类型[" + IntToStr(kind) + "]无效");
  const std::string shop = LookupShopID(shopID);
  if (!callback)
    callback = CopyIntoOwnerRecord(owner, {{"F_CUSTOMER_ID", "F_ID"},
                                           {"F_CUSTOMER", "F_NAME"},
                                           {"F_ADDRESS", "F_ADDRESS"},
                                           {"F_MOBILE", "F_MOBILE"},
                                           {"F_HAVE_TAX", "F_HAVE_TAX"},
                                           {"F_TAX_TYPE_ID", "F_TAX_TYPE_ID"},
                                           {"F_EMPLOYEE_ID", "F_EMPLOYEE_ID"},
                                           {"F_EMPLOYEE", "F_EMPLOYEE"},
                                           {"F_CAN_SELL_MODE_NO", "F_CAN_SELL_MODE_NO"}});
  return ServeLookup<TFrameCustomerFilter>(owner, "", [&](TFrameCustomerFilter& frame, bool) {
    frame.SetTableName("TB_CUSTOMER");
    frame.SetSelectFields(kFields);
    frame.SetFilter(" WHERE (F_CUSTOMER_TYPE_ID = " + IntToStr(kind) +
                    "  OR F_CUSTOMER_TYPE_ID = 3) AND F_STATUS = 0  AND  ( F_SHARED = 1 OR F_ID IN ( " +
                    " SELECT F_MID FROM TB_CUSTOMER_SHOP_LIST a, FUNC_GET_SHOP_CHILD_LIST(" + shop +
                    ") b  WHERE a.F_SHOP_ID = b.F_ID))");
    frame.OfferRecordEditor("往来单位管理", "TFrmCustomerEditor");
    frame.NewRecordValues = {{"F_CUSTOMER_TYPE_ID", Variant(kind)}};
  }, std::move(callback));
}

TFrameCustomerFilter* GetLookupSupplier(TComponent* owner, const std::string& shopID, TDataSetCallback callback) {
  return GetLookupCustomer(owner, shopID, kSupplierKind, std::move(callback));
}

}  // namespace jxc
