#pragma once
// The audit procedures: auditing a bill makes its stock movements real, un-auditing undoes exactly what
// the audit did. Both run in one transaction and either complete or change nothing.
//
// By bill type (the header table and its "<header>_DETAIL" table):
//   into stock at the bill's shop      2, 13, 14, 17 (TB_IN_STOCK)
//   out of stock at the bill's shop    3, 15 (TB_OUT_STOCK), 6 (TB_PF_SALE), 7 (TB_RETAIL_SALE)
//   transfer to F_IN_SHOP_ID           12 (TB_OUT_STOCK): the units arrive at its default location
//   sold units back into stock         5, 8 (TB_PF_RETURN); the sale row's F_USE_QTY counts the return
//   exchange with a supplier           9 (TB_PRODUCT_CHANGE): F_MODE_NO out, F_NEW_MODE_NO in
//   exchange with a customer           10, 11 (TB_PRODUCT_CHANGE): F_MODE_NO back in, F_NEW_MODE_NO out
//   status only                        1, 4, 18 (TB_ORDER), 16, 27, 28, 31 (TB_ACC_SETTELMENT)
// Serial-numbered products (types 1 and 3) move unit by unit; counted products change the quantity of
// their shop, location, product and colour. A unit keeps its own colour, configuration, cost, supplier and
// in-date through every move: a transfer re-creates it as it left, a returned unit comes back as it was
// sold. A unit that leaves stock adds 1 to F_USE_QTY of the bill row that brought it in (a customer
// exchange's row counts returns of the unit it gave out, not the unit it took back). Bills that take goods
// out (3, 6, 7, 12, 15) write into each detail row the cost price, in-date and stock row (F_STOCK_ID) of
// what left. Audit sets F_STATUS 2, F_AUDITOR and F_AUDIT_DATE; un-audit sets F_STATUS 1, clears them and
// restores every other column the audit changed.
//
// Refusals (EDatabaseError naming the row and the unit, nothing changed): the bill does not exist, has
// another type or no lines; it is already audited (audit) or not audited (un-audit); a serial number is
// empty, not in stock, in stock at another shop, or already in stock; a serial row's quantity is not 1; a
// counted product lacks the quantity; a location is missing or belongs to another shop; a return or
// exchange cites a row that is not an audited sale of its kind, sold by another shop, of another unit or
// product, or with less left to return than the row takes back; on un-audit, a row that later bills used
// (F_USE_QTY above 0), a unit the audit brought in that moved on, or a unit it took out that is back.
//
// Audited bills are closed to every other writer: the schema's guards refuse changes to their header and
// detail rows unless the connection runs an audit procedure (see jxc_audit_running()).

#include <cstdint>
#include <string>
#include <vector>

namespace jxc {

class TSQLiteDBAccess;

// How a bill type moves stock.
enum class TStockFlow { In, Out, Transfer, ReturnIn, SupplierExchange, CustomerExchange, StatusOnly };

struct TBillKind {
  int Type;
  const char* Table;  // the header table; the detail table is Table + "_DETAIL"
  TStockFlow Flow;
};

// Every bill type the audit procedures know, and the one of a type (nullptr for an unknown type).
const std::vector<TBillKind>& BillKinds();
const TBillKind* FindBillKind(int type);

// Actions of TB_SYS_STOCK_JOURNAL.F_ACTION, each what one audit step did to one stock row.
enum TStockJournalAction : int {
  jaRowCreated = 1,       // F_QTY 1: a unit came in (F_MONEY its cost); 0: an empty counted row was made
  jaUnitTakenOut = 2,     // F_QTY 1: a unit left (F_MONEY its cost)
  jaQuantityChanged = 3,  // a counted row changed by F_QTY and its cost money by F_MONEY
  jaSourceUsed = 4,       // F_USE_QTY of the row F_SOURCE_TABLE / F_SOURCE_ROW_ID grew by F_QTY
  jaDetailStamped = 5,    // the audit wrote cost price, in-date and stock row into that detail row
};

class TStockAudit {
 public:
  // Registers jxc_audit_running() and jxc_refuse(text) on the service's connection.
  explicit TStockAudit(TSQLiteDBAccess& db);
  ~TStockAudit();
  TStockAudit(const TStockAudit&) = delete;
  TStockAudit& operator=(const TStockAudit&) = delete;

  // operation 1 audits, 2 un-audits. A non-empty audit call names a procedure registered with the
  // service, called with the bill identifier, the operation and the bill type, in the transaction an
  // audit runs in: when it fails, nothing it wrote remains.
  void Run(int operation, int billType, const std::string& auditCall, int64_t billID);

  // True while this connection runs an audit procedure (the guards let its writes through).
  bool Running() const { return running_ > 0; }

 private:
  friend class TAuditScope;
  TSQLiteDBAccess& db_;
  int running_ = 0;
};

}  // namespace jxc
