#pragma once
// The product search list of the bills: active products with their purchase, wholesale and staff prices,
// configuration, supplier and unit. A user holding the rights of "商品资料" may add a product or change the
// current one in the application's product editor (TFrmProductEditor) from the list.

#include <string>

#include "filter/UnitFrameBaseFilterEx.h"

namespace jxc {

class TFrameGetProductList : public TFrameBaseFilterEx {
 public:
  // Ready as it is made (also by class name): the product list of every active product, and choosing a
  // row fills the owner's record as GetProductList's default does.
  explicit TFrameGetProductList(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TFrameGetProductList"; }
};

// The owner's product list, the active products that the condition (" WHERE ...", or "") leaves. Without a
// callback, choosing fills the owner's record: F_PRODUCT_ID, F_PRODUCT, F_UNIT, F_CONFIG_ID, F_CONFIG and
// F_PRODUCT_TYPE_ID (those the record has).
TFrameGetProductList* GetProductList(TComponent* owner, const std::string& condition = "", TDataSetCallback callback = nullptr);
// The same list with the retail price F_PRICE_LS too.
TFrameGetProductList* GetProductListEx(TComponent* owner, const std::string& condition = "", TDataSetCallback callback = nullptr);

}  // namespace jxc
