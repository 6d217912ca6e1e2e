#include "filter/UnitFrameProductFilter.h"

#include "filter/UnitBaseLookups.h"
#include "platform/Text.h"

namespace jxc {

namespace {

constexpr const char* kFields =
    "F_ID, F_CODE,F_PY,F_NAME,F_PRICE_JH,F_CONFIG_ID,F_CUSTOMER=(SELECT F_NAME FROM TB_CUSTOMER WHERE F_ID = F_CUSTOMER_ID), "
    "F_CUSTOMER_ID, F_CONFIG = (SELECT F_NAME FROM TB_PRODUCT_CONFIG WHERE F_ID = TB_PRODUCT_ATTRIBUTE.F_CONFIG_ID), "
    "F_UNIT,F_PRICE_EMPLOYEE, F_PRICE_PF, F_PRODUCT_TYPE_ID";
// The same with the retail price.
constexpr const char* kFieldsEx =
    "F_ID, F_CODE,F_PY,F_NAME,F_PRICE_JH,F_CONFIG_ID,F_CUSTOMER=(SELECT F_NAME FROM TB_CUSTOMER WHERE F_ID = F_CUSTOMER_ID), "
    "F_CUSTOMER_ID, F_CONFIG = (SELECT F_NAME FROM TB_PRODUCT_CONFIG WHERE F_ID = TB_PRODUCT_ATTRIBUTE.F_CONFIG_ID), "
    "F_UNIT,F_PRICE_EMPLOYEE, F_PRICE_PF, F_PRICE_LS, F_PRODUCT_TYPE_ID";

// The default choice: the product into the owner's record.
TDataSetCallback CopyProduct(TComponent* owner) {
  return CopyIntoOwnerRecord(owner, {{"F_PRODUCT_ID", "F_ID"},
                                     {"F_PRODUCT", "F_NAME"},
                                     {"F_UNIT", "F_UNIT"},
                                     {"F_CONFIG_ID", "F_CONFIG_ID"},
                                     {"F_CONFIG", "F_CONFIG"},
                                     {"F_PRODUCT_TYPE_ID", "F_PRODUCT_TYPE_ID"}});
}

std::string ProductWhere(const std::string& condition) {
  return Trim(condition).empty() ? std::string(" WHERE F_STATUS = 0") : condition + " AND F_STATUS = 0";
}

TFrameGetProductList* ProductList(TComponent* owner, const std::string& condition, bool withRetail,
                                  TDataSetCallback callback) {
  if (!callback) callback = CopyProduct(owner);
  return ServeLookup<TFrameGetProductList>(owner, "", [&](TFrameGetProductList& frame, bool) {
    frame.SetSelectFields(withRetail ? kFieldsEx : kFields);
    frame.SetFilter(ProductWhere(condition));
  }, std::move(callback));
}

}  // namespace

TFrameGetProductList::TFrameGetProductList(TComponent* owner) : TFrameBaseFilterEx(owner) {
  SetTableName("TB_PRODUCT_ATTRIBUTE");
  SetSelectFields(kFields);
  SetFilter(ProductWhere(""));
  SetDataSetCallback(CopyProduct(owner));
  OfferRecordEditor("商品资料", "TFrmProductEditor");
}

TFrameGetProductList* GetProductList(TComponent* owner, const std::string& condition, TDataSetCallback callback) {
  return ProductList(owner, condition, false, std::move(callback));
}

TFrameGetProductList* GetProductListEx(TComponent* owner, const std::string& condition, TDataSetCallback callback) {
  return ProductList(owner, condition, true, std::move(callback));
}

}  // namespace jxc
