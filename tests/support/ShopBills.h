#pragma once
// Bills written to a shop database as the bill screens write them, and views of what the database holds,
// for the tests of audits, their guards and the consistency check.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/DataSet.h"
#include "services/SampleShop.h"

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

// A bill as a screen holds it: its header and its lines.
struct BillDataSets {
  std::string Table;
  int64_t Id = 0;
  std::unique_ptr<TClientDataSet> Head, Lines;
  // Writes the pending changes of both in one ApplyUpdatesList, as the screen's save does.
  void Save(TSQLiteDBAccess& db);
};

// A new bill typed in and not yet saved: F_MONEY = quantity x price on every line (and F_COST_PRICE = price
// on stock-in lines), the header's F_TOTAL_QTY and F_TOTAL_MONEY their sums, its code "B" + F_ID.
BillDataSets NewBill(TSQLiteDBAccess& db, const std::string& table, int kind, int64_t shop,
                     const std::vector<BillLine>& lines, int64_t inShop = 0);
// The same saved; returns its F_ID.
int64_t SaveBill(TSQLiteDBAccess& db, const std::string& table, int kind, int64_t shop,
                 const std::vector<BillLine>& lines, int64_t inShop = 0);
// A saved bill read back as a screen opens it.
BillDataSets ReadBill(TSQLiteDBAccess& db, const std::string& table, int64_t id);

// The F_IDs of a bill's lines, in row order.
std::vector<int64_t> BillLines(TSQLiteDBAccess& db, const std::string& table, int64_t bill);

// Every row of the tables, column by column, in row order: equal texts mean equal contents.
std::string TablesText(TSQLiteDBAccess& db, const std::vector<std::string>& tables);

// The tables a save or an audit may write: stock, journal, ledger, sequences and every bill table.
std::vector<std::string> StockAndBillTables();

// Every rule of the stock consistency check holds.
void ExpectConsistent(TSQLiteDBAccess& db);

// A test on a scratch sample shop (the opening stock of `units` units over `branches` branches) that must
// pass the consistency check at its end; the file goes with the test.
class ShopTest : public ::testing::Test {
 protected:
  ShopTest(int64_t units, int branches);
  void SetUp() override;
  void TearDown() override;

  const int64_t units_;
  const int branches_;
  std::string path_;
  std::unique_ptr<TSQLiteDBAccess> db_;
  TSampleShop shop_;
};

}  // namespace jxc::testing
