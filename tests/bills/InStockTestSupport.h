#pragma once
// The stock-in screens of the sample shop as a receiving clerk uses them: the purchase receipt "采购入库"
// and the plain receipt "商品入库" on the stock-in bill, with the host's cache of look-up lists (colour
// names), a supplier on the bill, and the summary beside the rows read back as text.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "BillTestSupport.h"
#include "bills/UnitFrmBillInStockFramework.h"
#include "platform/MemSQL.h"
#include "services/DBCache.h"

namespace jxc::testing {

inline constexpr const char* kPlainStockIn = "商品入库";

class InStockTest : public BillTest {
 protected:
  void SetUp() override {
    BillTest::SetUp();
    cache = std::make_shared<TDBCache>(db);
    SysService::Register<ICache>(cache);
  }

  TFrmBillInStockFramework* OpenInStock(const std::string& caption = kStockIn) { return Open<TFrmBillInStockFramework>(caption); }

  // The bill's supplier typed into the header.
  void ChooseSupplier(TFrmBaseBillFramework& screen, int64_t supplier) {
    ASSERT_TRUE(TypeHeader(screen, "F_CUSTOMER_ID", std::to_string(supplier)));
  }

  // The summary's lines as "product|colour|quantity", in the order shown.
  static std::vector<std::string> SummaryLines(TFrmBillInStockFramework& screen) {
    std::vector<std::string> lines;
    TDataSet& sum = *screen.mtSum;
    for (int row = 0; row < sum.RecordCount(); ++row)
      lines.push_back(sum.RowValue(row, sum.FieldByName("F_PRODUCT_ID").Index()).ToString() + "|" +
                      sum.RowValue(row, sum.FieldByName("F_COLOR_ID").Index()).ToString() + "|" +
                      sum.RowValue(row, sum.FieldByName("F_QTY").Index()).ToString());
    std::sort(lines.begin(), lines.end());
    return lines;
  }
  // The same lines as the grouping statement of the detail gives them from scratch.
  static std::vector<std::string> RegroupedLines(TFrmBillInStockFramework& screen) {
    TkbmMemSQL regroup;
    regroup.TablesAdd(*screen.CdsDetail, "Result");
    regroup.ExecSQL("SELECT SUM(F_QTY) AS F_QTY, F_PRODUCT, F_COLOR_ID,F_PRODUCT_ID FROM Result "
                    "GROUP BY F_PRODUCT_ID, F_PRODUCT, F_COLOR_ID");
    std::vector<std::string> lines;
    for (regroup.First(); !regroup.Eof(); regroup.Next())
      lines.push_back(regroup.FieldByName("F_PRODUCT_ID").AsString() + "|" + regroup.FieldByName("F_COLOR_ID").AsString() +
                      "|" + regroup.FieldByName("F_QTY").AsString());
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  std::shared_ptr<TDBCache> cache;
};

}  // namespace jxc::testing
