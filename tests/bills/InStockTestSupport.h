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
#include "bills/UnitFrmBatchPasteModeNO.h"
#include "bills/UnitFrmBillInStockFramework.h"
#include "platform/ClassRegistry.h"
#include "platform/StdCtrls.h"
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

  // The numbers new-serial first .. last, one a line.
  static std::string NewSerials(int first, int last) {
    std::string text;
    for (int n = first; n <= last; ++n) text += NewSerial(n) + "\r\n";
    return text;
  }
  // The detail's serial numbers in row order ("" for a row without one).
  static std::vector<std::string> RowSerials(TFrmBillInStockFramework& screen) {
    std::vector<std::string> serials;
    const TDataSet& rows = *screen.CdsDetail;
    for (int row = 0; row < rows.RecordCount(); ++row)
      serials.push_back(rows.RowValue(row, rows.FieldByName("F_MODE_NO").Index()).ToString());
    return serials;
  }

  // A screen opened as the host's menu opens it: the class its function row names.
  TFrmBaseBillFramework* OpenByFunctionRow(const std::string& caption) {
    const std::string className =
        Text("SELECT F_ClassName FROM TB_SYS_FUNCTION WHERE F_NAME = " + QuotedStr(caption));
    auto* screen = dynamic_cast<TFrmBaseBillFramework*>(CreateComponentByClassName(className, &Application()));
    EXPECT_NE(screen, nullptr) << caption << ": " << className;
    if (!screen) return nullptr;
    screen->SetName(ScreenName(Application(), caption));
    screen->SetCaption(caption);
    screen->DoOnShow();
    screen->ShowForm();
    Application().Advance(100);
    return screen;
  }

  std::shared_ptr<TDBCache> cache;
};

}  // namespace jxc::testing
