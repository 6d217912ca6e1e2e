#include "filter/UnitFrameProductFilter.h"

#include "filter/UnitBaseLookups.h"
#include "platform/Text.h"

namespace jxc {

namespace {

constexpr const char* kFieldsHead =
    "F_ID, F_CODE,F_PY,F_NAME,F_PRICE_JH,F_CONFIG_ID,F_CUSTOMER=(SELECT F_NAME FROM TB_CUSTOMER WHERE F_ID = F_CUSTOMER_ID), "
    "F_CUSTOMER_ID, F_CONFIG = (SELECT F_NAME FROM TB_PRODUCT_CONFIG WHERE F_ID = TB_PRODUCT_ATTRIBUTE.F_CONFIG_ID), "
    "F_UNIT,F_PRICE_EMPLOYEE, F_PRICE_PF";

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
  bool created = false;
  auto* frame = FindOrCreateLookup<TFrameGetProductList>(owner, "", created);
  frame->SetSelectFields(std::string(kFieldsHead) + (withRetail ? ", F_PRICE_LS" : "") + ", F_PRODUCT_TYPE_ID");
  frame->SetFilter(ProductWhere(condition));
  if (created) {
    PlaceLookupFrame(owner, *frame);
    frame->DoInit();
  } else {
    frame->ReloadIfChanged();
  }
  if (!callback) callback = CopyProduct(owner);
  PrepareLookup(*frame, std::move(callback), true);
  return frame;
}

}  // namespace

TFrameGetProductList::TFrameGetProductList(TComponent* owner) : TFrameBaseFilterEx(owner) {
  SetTableName("TB_PRODUCT_ATTRIBUTE");
  SetSelectFields(std::string(kFieldsHead) + ", F_PRODUCT_TYPE_ID");
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
