#pragma once
// The common search lists of the screens: bank accounts, shops, employees, customers and suppliers, each
// limited to what the user's shop may see. A shop sees its own rows and those of every shop below it
// (FUNC_GET_SHOP_CHILD_LIST); customers, suppliers and employees marked shared are seen by every shop.
//
// Each function takes the owner (a popup edit, a data-aware one, or a grid column), a shop identifier ("":
// the user's current shop), an optional dataset callback and, for customers, suppliers and employees, the
// columns to read when the caller needs more than the list's own, and returns the owner's search list, reused
// when the owner has one (loaded again when the shop changed its statement). The shop must be a whole
// number: anything else is refused before a statement is built. Without a callback, choosing a row copies
// it into the owner's record (see each function); fields the record or the list lacks are left alone.

#include <string>

#include "filter/UnitFrameBaseFilterEx.h"

namespace jxc {

// The shop as it goes into a statement: the given identifier, or the user's current shop when it is
// blank. Raises "店铺[x]无效" for text that is no whole number, and "当前用户没有所属店铺" when the user has
// none.
std::string LookupShopID(const std::string& shopID);

// The shop's open accounts (TB_BAND_ACCOUNT); chosen: F_ACCOUNT_ID, F_ACCOUNT.
TFrameBaseFilterEx* GetBaseLookupAccount(TComponent* owner, const std::string& shopID = "", TDataSetCallback callback = nullptr);
// The shop and the shops below it; chosen: F_SHOP_ID, F_SHOP.
TFrameBaseFilterEx* GetBaseLookupShopList(TComponent* owner, const std::string& shopID = "", TDataSetCallback callback = nullptr);
// Active employees of the shop tree and shared ones; chosen: F_EMPLOYEE_ID, F_EMPLOYEE.
TFrameBaseFilterEx* GetBaseLookupEmployee(TComponent* owner, const std::string& shopID = "", TDataSetCallback callback = nullptr,
                                 const std::string& fields = "");
// Active customers and suppliers of every type; chosen as GetBaseLookupCustomer.
TFrameBaseFilterEx* GetAllCustomer(TComponent* owner, const std::string& shopID = "", TDataSetCallback callback = nullptr,
                                 const std::string& fields = "");
// Customers (types 2 and 3); chosen: F_CUSTOMER_ID, F_CUSTOMER, and F_EMPLOYEE_ID, F_EMPLOYEE.
TFrameBaseFilterEx* GetBaseLookupCustomer(TComponent* owner, const std::string& shopID = "", TDataSetCallback callback = nullptr,
                                 const std::string& fields = "");
// Active suppliers (types 1 and 3); chosen as GetBaseLookupCustomer.
TFrameBaseFilterEx* GetBaseLookupSupplier(TComponent* owner, const std::string& shopID = "", TDataSetCallback callback = nullptr,
                                 const std::string& fields = "");

// The default callback of a list: copies the pairs (record field, list field) from the chosen row into the
// owner's record (CopyChosenFields). A record that is not open is left alone.
TDataSetCallback CopyIntoOwnerRecord(TComponent* owner, std::vector<std::pair<const char*, const char*>> fields);

}  // namespace jxc
