#pragma once
// Bills written to a shop database as the bill screens write them, and views of what the database holds,
// for the tests of audits, their guards and the consistency check.

#include <cstdint>
#include <string>
#include <vector>

namespace jxc {
class TSQLiteDBAccess;
}

namespace jxc::testing {

// A row's source when it names itself, as the return and exchange screens fill an empty source.
constexpr int64_t kOwnRow = -1;

struct BillLine {
  std::string ModeNo;       // empty for a counted product
  int64_t Product = 0;
  int Qty = 1;
  std::string NewModeNo;    // exchanges: the unit given in place
  int64_t Source = 0;       // returns and exchanges: the sale row (kOwnRow: the row itself)
  int64_t NewProduct = 0;   // exchanges: the product given in place (default: Product)
  int64_t Color = 0;        // 0: none
  int64_t Location = -1;    // -1: the default location of the bill's shop; 0: none
  std::string Price = "1999.5";
};

// A serial-numbered unit; a quantity of a counted product; a unit taken back against a sale row (kOwnRow
// for none); a unit exchanged for another.
BillLine Unit(const std::string& serial, int64_t product);
BillLine Counted(int64_t product, int qty);
BillLine Returned(const std::string& serial, int64_t product, int64_t source);
BillLine Exchanged(const std::string& serial, int64_t product, const std::string& newSerial, int64_t newProduct);

// Saves a header and its lines in one ApplyUpdatesList, with F_MONEY = quantity x price on every line (and
// F_COST_PRICE = price on stock-in lines) and the header's F_TOTAL_QTY and F_TOTAL_MONEY their sums. Returns the bill's F_ID; its code is "B" + F_ID.
int64_t SaveBill(TSQLiteDBAccess& db, const std::string& table, int kind, int64_t shop,
                 const std::vector<BillLine>& lines, int64_t inShop = 0);

// The F_IDs of a bill's lines, in row order.
std::vector<int64_t> BillLines(TSQLiteDBAccess& db, const std::string& table, int64_t bill);

// Every row of the tables, column by column, in row order: equal texts mean equal contents.
std::string TablesText(TSQLiteDBAccess& db, const std::vector<std::string>& tables);

// The tables a save or an audit may write: stock, journal, ledger, sequences and every bill table.
std::vector<std::string> StockAndBillTables();

}  // namespace jxc::testing
