#include "services/ShopFunctions.h"

#include "services/SQLiteDBAccess.h"
#include "services/SqlDialect.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"

namespace jxc {

namespace {

std::string TreeBelow(const std::string& table) {
  // UNION (not UNION ALL) stops at a parent loop instead of running for ever.
  return "WITH RECURSIVE jxc_tree(F_ID) AS (SELECT F_ID FROM " + table + " WHERE F_ID = {0} UNION SELECT t.F_ID FROM " +
         table + " t JOIN jxc_tree p ON t.F_PARENTID = p.F_ID AND t.F_ID <> t.F_PARENTID) SELECT F_ID FROM jxc_tree";
}

}  // namespace

void RegisterShopFunctions(TSqlDialect& dialect) {
  dialect.AddMacro("FUNC_GET_SHOP_CHILD_LIST", {TreeBelow("TB_SHOP"), 1});
  dialect.AddMacro("FUNC_GET_PROVINCE_CHILD_LIST", {TreeBelow("TB_PROVINCE"), 1});
  dialect.AddMacro(
      "FUNC_GET_CONFIG_LIST",
      {"WITH RECURSIVE jxc_tree(F_ID) AS (SELECT F_ID FROM TB_PRODUCT_CONFIG WHERE IFNULL({0}, 0) IN (0, F_ID) "
       "UNION SELECT t.F_ID FROM TB_PRODUCT_CONFIG t JOIN jxc_tree p ON t.F_PARENTID = p.F_ID AND t.F_ID <> t.F_PARENTID) "
       "SELECT c.F_ID, c.F_CODE, c.F_NAME, c.F_PY, c.F_PARENTID FROM TB_PRODUCT_CONFIG c JOIN jxc_tree t ON t.F_ID = c.F_ID",
       1});
  dialect.AddMacro(
      "FUNC_GET_PRODUCT_PRICE",
      {"SELECT CASE WHEN {2} IN (7, 8, 11) THEN COALESCE(sp.F_PRICE_LS, p.F_PRICE_LS) "
       "ELSE COALESCE(sp.F_PRICE_PF, p.F_PRICE_PF) END FROM TB_PRODUCT_ATTRIBUTE p "
       "LEFT JOIN TB_PRODUCT_SHOP_PRICE sp ON sp.F_PRODUCT_ID = p.F_ID AND sp.F_SHOP_ID = {0} WHERE p.F_ID = {1}",
       3});
}

void RegisterShopProcedures(TSQLiteDBAccess& db) {
  db.RegisterProcedure("PROC_CHECK_CUSTOMER_ACCOUNT_RETUAN", [](TSQLiteDBAccess& service, const std::vector<std::string>& args) {
    if (args.size() != 1) throw EDatabaseError("PROC_CHECK_CUSTOMER_ACCOUNT_RETUAN 需要1个参数(往来单位)");
    const int64_t customer = Variant(args[0]).AsInt64();
    const std::string now = SqlDateTimeText(Now());
    TDataPacket packet = service.QueryNative(
        "SELECT CAST(IFNULL(SUM(owed), 0) AS REAL_MONEY) AS F_MONEY FROM ("
        " SELECT h.F_TOTAL_MONEY - IFNULL(h.F_PAY, 0) - IFNULL((SELECT SUM(d.F_MONEY_PAIED) FROM TB_ACC_SETTELMENT_DETAIL d"
        "   JOIN TB_ACC_SETTELMENT s ON s.F_ID = d.F_MID AND s.F_STATUS = 2 WHERE d.F_BILL_ID = h.F_ID), 0) AS owed"
        " FROM TB_PF_SALE h JOIN TB_CUSTOMER c ON c.F_ID = h.F_CUSTOMER_ID"
        " WHERE h.F_CUSTOMER_ID = ?1 AND h.F_STATUS = 2"
        "   AND julianday(h.F_BILL_DATE) < julianday(?2) - IFNULL(c.F_RETURN_DAYS, 30)) WHERE owed > 0",
        {Variant(static_cast<long long>(customer)), Variant(now)});
    packet.Fields[0].DataType = ftCurrency;
    for (auto& row : packet.Rows) row[0] = Variant(row[0].IsNull() ? Currency() : row[0].AsCurrency());
    return packet;
  });
}

}  // namespace jxc
