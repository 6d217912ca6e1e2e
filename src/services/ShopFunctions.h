#pragma once
// The database functions and procedures that the screens' SQL calls, on the SQLite shop database:
//   FUNC_GET_SHOP_CHILD_LIST(shop)         table of F_ID: the shop and every shop below it
//   FUNC_GET_PROVINCE_CHILD_LIST(region)   table of F_ID: the region and every region below it
//   FUNC_GET_CONFIG_LIST(config)           table of configurations (F_ID, F_CODE, F_NAME, F_PY, F_PARENTID):
//                                          the configuration and those below it; 0 or null for all
//   FUNC_GET_PRODUCT_PRICE(shop, product, bill kind)  the selling price: the shop's own price when it
//                                          has one, else the product's; retail kinds (7, 8, 11) take the
//                                          retail price, the others the wholesale price
//   EXEC PROC_CHECK_CUSTOMER_ACCOUNT_RETUAN customer   one row, F_MONEY: what the customer still owes
//                                          on audited wholesale sales older than the collection period
//                                          (F_RETURN_DAYS days, 30 when not set)
// The functions expand in place into sub-queries, so the planner sees through them.

namespace jxc {

class TSqlDialect;
class TSQLiteDBAccess;

void RegisterShopFunctions(TSqlDialect& dialect);
void RegisterShopProcedures(TSQLiteDBAccess& db);

}  // namespace jxc
