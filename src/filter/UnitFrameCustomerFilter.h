#pragma once
// The customer and supplier search list of the bills: the units a shop deals with (shared ones and those
// listed for the shop or a shop below it), with their delivery address and phone, tax settings, salesman
// and whether serial-numbered goods may be sold to them. A user holding the rights of "往来单位管理" may add
// a unit or change the current one in the application's customer editor (TFrmCustomerEditor) without
// leaving the list; the saved unit is read back into the list and becomes current.

#include <string>

#include "filter/UnitFrameBaseFilterEx.h"

namespace jxc {

class TFrameCustomerFilter : public TFrameBaseFilterEx {
 public:
  using TFrameBaseFilterEx::TFrameBaseFilterEx;
  std::string ClassName() const override { return "TFrameCustomerFilter"; }
};

// Customer kinds as the lists use them: suppliers 1, customers 2 (units of kind 3 are both).
inline constexpr int kSupplierKind = 1;
inline constexpr int kCustomerKind = 2;

// The owner's unit list for the kind (1 suppliers, 2 customers; kind-3 units are in both) and the shop
// ("": the user's current shop). Without a callback, choosing fills the owner's record: F_CUSTOMER_ID,
// F_CUSTOMER, F_ADDRESS, F_MOBILE, F_HAVE_TAX, F_TAX_TYPE_ID, F_EMPLOYEE_ID, F_EMPLOYEE, F_CAN_SELL_MODE_NO
// (those the record has).
TFrameCustomerFilter* GetLookupCustomer(TComponent* owner, const std::string& shopID = "", int kind = kCustomerKind,
                                        TDataSetCallback callback = nullptr);
TFrameCustomerFilter* GetLookupSupplier(TComponent* owner, const std::string& shopID = "", TDataSetCallback callback = nullptr);

}  // namespace jxc
