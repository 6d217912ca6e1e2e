#pragma once
// The sample shop's master-data screens: the TB_SYS_FUNCTION rows of the grid editors for products,
// customers and suppliers, employees, stock locations, colours and bank accounts, with their configuration
// (the query panel: grid layout name, data and picker use) and sort order, and the fields that
// TB_SYS_FIELD_LIST makes mandatory in them.

#include <cstdint>
#include <string>
#include <vector>

namespace jxc {

class TSQLiteDBAccess;

struct TSampleScreenField {
  const char* Field;  // F_NAME of the constraint row
  const char* Label;  // F_CONSTRAINTS_MESSAGE
};

struct TSampleScreen {
  const char* Caption;
  const char* Table;  // F_TableName: where the screen writes
  const char* Data;   // F_DATA: what the screen reads
  std::vector<TSampleScreenField> Mandatory;
};

// The screens CreateSampleShopScreens writes, in menu order.
const std::vector<TSampleScreen>& SampleShopScreens();

// Writes the rows into the open database (inside the caller's transaction when there is one), after the
// function rows already there, and puts the sample bill screens on the bill framework. Raises
// EDatabaseError on failure.
void CreateSampleShopScreens(TSQLiteDBAccess& db);

// What the tree screens and the shop tree need beyond the shops: the system's default configuration
// "通用" (F_ID 1, below 100, never deleted), a region holding no shop ("北京市"), and the shop screen's
// left panel (the shop tree over TB_SHOP). Raises EDatabaseError on failure.
inline constexpr int64_t kSampleSystemConfig = 1;
void CreateSampleTreeScreens(TSQLiteDBAccess& db);

// The stock-in screens of the sample shop, on the stock-in bill (TFrmBillInStockFramework): the purchase
// receipt "采购入库" (bill type 2, from a supplier; its units are scanned into the fast entry panel above
// the rows, TFrameProductFastEntryEditor) and the plain receipt "商品入库" (bill type 17). The stock-out
// screens run on the stock-out bill (TFrmBillOutStockFramework): the wholesale sale "批发销售" (6), the
// retail sale "零售销售" (7), the transfer out "调拨出库" (12) and the purchase return "采购退货" (3).
const std::vector<std::string>& SampleInStockScreens();
// Names the stock-in bill as the class of those screens, adding the plain receipt's function row when the
// database lacks it. Raises EDatabaseError on failure.
void UseInStockFramework(TSQLiteDBAccess& db);

}  // namespace jxc
