#include "filter/UnitBaseLookups.h"

#include "foundation/UnitPublicUtils.h"
#include "platform/Text.h"

namespace jxc {

namespace {

const std::string kCustomerFields = "F_ID, F_NAME, F_CODE, F_PY, F_EMPLOYEE_ID, F_EMPLOYEE";

const std::vector<std::pair<const char*, const char*>> kCustomerCopy = {
    {"F_CUSTOMER_ID", "F_ID"}, {"F_CUSTOMER", "F_NAME"}, {"F_EMPLOYEE_ID", "F_EMPLOYEE_ID"}, {"F_EMPLOYEE", "F_EMPLOYEE"}};

// A list over a table with its column list, its WHERE text and a default copy into the owner's record.
TFrameBaseFilterEx* TableLookup(TComponent* owner, const char* table, const std::string& fields, const std::string& where,
                                TDataSetCallback callback, std::vector<std::pair<const char*, const char*>> copy) {
  if (!callback) callback = CopyIntoOwnerRecord(owner, std::move(copy));
  return ServeLookup<TFrameBaseFilterEx>(owner, "", [&](TFrameBaseFilterEx& frame, bool) {
    frame.SetTableName(table);
    frame.SetSelectFields(fields);
    frame.SetFilter(where);
    frame.SQL.clear();
  }, std::move(callback));
}

}  // namespace

std::string LookupShopID(const std::string& shopID) {
  std::string shop = Trim(shopID);
  if (shop.empty()) {
    shop = UserInfo ? Trim(UserInfo->CurrentShopID()) : std::string();
    if (shop.empty()) throw Exception("当前用户没有所属店铺");
  }
  const std::optional<int64_t> number = TryStrToInt64(shop);
  if (!number) throw Exception("店铺[" + shop + "]无效");
  return IntToStr(*number);
}

TDataSetCallback CopyIntoOwnerRecord(TComponent* owner, std::vector<std::pair<const char*, const char*>> fields) {
  return [owner, fields = std::move(fields)](TDataSet& list) {
    TDataSet* record = OwnerDataSet(owner);
    if (record && record->Active()) CopyChosenFields(list, *record, fields);
  };
}

TFrameBaseFilterEx* GetBaseLookupAccount(TComponent* owner, const std::string& shopID, TDataSetCallback callback) {
  const std::string shop = LookupShopID(shopID);
  return TableLookup(owner, "TB_BAND_ACCOUNT", "", "WHERE F_SHOP_ID = " + shop + " AND F_STATUS = 0", std::move(callback),
                     {{"F_ACCOUNT_ID", "F_ID"}, {"F_ACCOUNT", "F_NAME"}});
}

TFrameBaseFilterEx* GetBaseLookupShopList(TComponent* owner, const std::string& shopID, TDataSetCallback callback) {
  const std::string shop = LookupShopID(shopID);
  if (!callback) callback = CopyIntoOwnerRecord(owner, {{"F_SHOP_ID", "F_ID"}, {"F_SHOP", "F_NAME"}});
  return ServeLookup<TFrameBaseFilterEx>(owner, "", [&](TFrameBaseFilterEx& frame, bool) {
    frame.SQL = " SELECT   a.F_ID, a.F_CODE, a.F_PY, a.F_NAME FROM TB_SHOP a , FUNC_GET_SHOP_CHILD_LIST(" + shop +
                ") b WHERE a.F_ID = b.F_ID";
  }, std::move(callback));
}

TFrameBaseFilterEx* GetBaseLookupEmployee(TComponent* owner, const std::string& shopID, TDataSetCallback callback,
                                 const std::string& fields) {
  const std::string shop = LookupShopID(shopID);
  return TableLookup(owner, "VI_GetEmployeeList", fields.empty() ? "F_ID, F_CODE, F_NAME, F_PY" : fields,
                     " WHERE F_STATUS = 0 AND ( F_SHARED = 1 OR F_ID IN (  SELECT F_MID FROM TB_EMPLOYEE_SHOP_LIST a, "
                     "FUNC_GET_SHOP_CHILD_LIST(" + shop + ") b  WHERE a.F_SHOP_ID = b.F_ID))",
                     std::move(callback), {{"F_EMPLOYEE_ID", "F_ID"}, {"F_EMPLOYEE", "F_NAME"}});
}

TFrameBaseFilterEx* GetAllCustomer(TComponent* owner, const std::string& shopID, TDataSetCallback callback,
                                 const std::string& fields) {
  const std::string shop = LookupShopID(shopID);
  return TableLookup(owner, "VI_GetCustomerList", fields.empty() ? kCustomerFields : fields,
                     " WHERE     F_STATUS = 0  AND  ( F_SHARED = 1 OR F_ID IN (  SELECT F_MID FROM TB_CUSTOMER_SHOP_LIST a, "
                     "FUNC_GET_SHOP_CHILD_LIST(" + shop + ") b  WHERE a.F_SHOP_ID = b.F_ID)) ",
                     std::move(callback), kCustomerCopy);
}

TFrameBaseFilterEx* GetBaseLookupCustomer(TComponent* owner, const std::string& shopID, TDataSetCallback callback,
                                 const std::string& fields) {
  const std::string shop = LookupShopID(shopID);
  return TableLookup(owner, "VI_GetCustomerList", fields.empty() ? kCustomerFields : fields,
                     " WHERE   (F_CUSTOMER_TYPE_ID = 2 OR F_CUSTOMER_TYPE_ID = 3) AND  ( F_SHARED = 1 OR F_ID IN (  SELECT F_MID "
                     "FROM TB_CUSTOMER_SHOP_LIST a, FUNC_GET_SHOP_CHILD_LIST(" + shop + ") b  WHERE a.F_SHOP_ID = b.F_ID)) ",
                     std::move(callback), kCustomerCopy);
}

TFrameBaseFilterEx* GetBaseLookupSupplier(TComponent* owner, const std::string& shopID, TDataSetCallback callback,
                                 const std::string& fields) {
  const std::string shop = LookupShopID(shopID);
  return TableLookup(owner, "VI_GetCustomerList", fields.empty() ? kCustomerFields : fields,
                     " WHERE   (F_CUSTOMER_TYPE_ID = 1 OR F_CUSTOMER_TYPE_ID = 3) AND F_STATUS = 0  AND  ( F_SHARED = 1 OR F_ID "
                     "IN (  SELECT F_MID FROM TB_CUSTOMER_SHOP_LIST a, FUNC_GET_SHOP_CHILD_LIST(" + shop +
                         ") b  WHERE a.F_SHOP_ID = b.F_ID))",
                     std::move(callback), kCustomerCopy);
}

}  // namespace jxc
