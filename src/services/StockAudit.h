#pragma once
// The audit procedures: auditing a bill makes its stock movements real, un-auditing undoes exactly what
// the audit did. Both run in one transaction and either complete or change nothing.
//
// By bill type (the header table and its "<header>_DETAIL" table):
//   into stock at the bill's shop      2, 13, 14, 17 (TB_IN_STOCK)
//   out of stock at the bill's shop    3, 15 (TB_OUT_STOCK), 6 (TB_PF_SALE), 7 (TB_RETAIL_SALE)
//   transfer to F_IN_SHOP_ID           12 (TB_OUT_STOCK)
//   sold units back into stock         5, 8 (TB_PF_RETURN); the sale row's F_USE_QTY counts the return
//   exchange with a supplier           9 (TB_PRODUCT_CHANGE): F_MODE_NO out, F_NEW_MODE_NO in
//   exchange with a customer           10, 11 (TB_PRODUCT_CHANGE): F_MODE_NO back in, F_NEW_MODE_NO out
//   status only                        1, 4, 18 (TB_ORDER), 16, 27, 28, 31 (TB_ACC_SETTELMENT)
// Serial-numbered products (types 1 and 3) move unit by unit; counted products change the quantity of
// their shop, location, product and colour. A unit that leaves stock adds 1 to F_USE_QTY of the bill row
// that brought it in. Audit sets F_STATUS 2, F_AUDITOR and F_AUDIT_DATE; un-audit sets F_STATUS 1 and
// clears them.
//
// Refusals (EDatabaseError with the reason, nothing changed): the bill does not exist or has another
// type; it is already audited (audit) or not audited (un-audit); a serial number is empty, not in stock,
// in stock at another shop, or already in stock; a counted product lacks the quantity; on un-audit, a unit
// the audit brought in has moved on, or a unit it took out is back in stock.

#include <cstdint>
#include <string>

namespace jxc {

class TSQLiteDBAccess;

class TStockAudit {
 public:
  explicit TStockAudit(TSQLiteDBAccess& db) : db_(db) {}

  // operation 1 audits, 2 un-audits. A non-empty audit call names a procedure registered with the
  // service, called with the bill identifier, the operation and the bill type.
  void Run(int operation, int billType, const std::string& auditCall, int64_t billID);

 private:
  TSQLiteDBAccess& db_;
};

}  // namespace jxc
