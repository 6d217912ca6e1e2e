#pragma once
// The stock-out screens of the sample shop as the assistant works them: the wholesale sale "批发销售" (6),
// the retail sale "零售销售" (7), the transfer out "调拨出库" (12); units scanned into the quick input,
// pasted, saved and audited.

#include <string>
#include <vector>

#include "BillTestSupport.h"
#include "bills/UnitFrmBatchPasteModeNO.h"
#include "bills/UnitFrmBillOutStockFramework.h"
#include "platform/Keys.h"
#include "platform/StdCtrls.h"
#include "platform/ValueEdits.h"

namespace jxc::testing {

inline constexpr const char* kRetail = "零售销售";
inline constexpr const char* kMoveOut = "调拨出库";

class OutStockTest : public BillTest {
 protected:
  TFrmBillOutStockFramework* OpenOut(const std::string& caption = kSale) { return Open<TFrmBillOutStockFramework>(caption); }

  // The assistant scans (or types) a number into the quick input and presses Enter.
  void Scan(TFrmBillOutStockFramework& screen, const std::string& text) {
    screen.SetActiveControl(screen.edtModeNO);
    screen.edtModeNO->SelectAll();
    screen.TypeText(text);
    screen.PressKey(VK_RETURN);
  }
  // The assistant types a quick-input price and leaves the edit; false when it was refused.
  bool QuickPrice(TFrmBillOutStockFramework& screen, const std::string& text) {
    screen.SetActiveControl(screen.edtPrice);
    screen.edtPrice->SelectAll();
    screen.TypeText(text);
    Application().ClearShownErrors();
    Application().Dispatch([&] { screen.SetActiveControl(screen.edtModeNO); });
    return screen.ActiveControl() == screen.edtModeNO;
  }


  // The rows of the detail as "serial|product|qty|price" (the row being typed included).
  static std::vector<std::string> Rows(TFrmBillOutStockFramework& screen) {
    screen.CdsDetail->CheckBrowseMode();
    std::vector<std::string> rows;
    TClientDataSet& detail = *screen.CdsDetail;
    for (int row = 0; row < detail.RecordCount(); ++row) {
      auto at = [&](const char* name) { return detail.RowValue(row, detail.FieldByName(name).Index()).ToString(); };
      rows.push_back(at("F_MODE_NO") + "|" + at("F_PRODUCT_ID") + "|" + at("F_QTY") + "|" + at("F_PRICE"));
    }
    return rows;
  }
  std::string Row(const std::string& modeNO, int64_t product, const std::string& price) const {
    return modeNO + "|" + std::to_string(product) + "|1|" + price;
  }

  // The stock row of a serial number: "shop|location|have".
  std::string UnitRow(const std::string& modeNO) {
    const std::vector<std::string> rows =
        Lines("SELECT F_SHOP_ID, F_LOCATION_ID, F_HAVE_QTY FROM TB_SYS_STOCK WHERE F_MODE_NO = '" + modeNO + "' ORDER BY F_ID DESC");
    return rows.empty() ? std::string() : rows.front();
  }
  std::string InStock(int b, const std::string& modeNO) {
    return std::to_string(Branch(b)) + "|" + std::to_string(Counter(b)) + "|1|";
  }
  std::string Sold(int b) { return std::to_string(Branch(b)) + "|" + std::to_string(Counter(b)) + "|0|"; }

  // Every bill table of the stock-out screens and the log.
  std::vector<std::string> OutBills() {
    std::vector<std::string> all = Bills();
    for (const char* table : {"TB_OUT_STOCK", "TB_OUT_STOCK_DETAIL", "TB_RETAIL_SALE", "TB_RETAIL_SALE_DETAIL"})
      for (const std::string& line : Lines(std::string("SELECT * FROM ") + table + " ORDER BY F_ID")) all.push_back(line);
    return all;
  }
};

}  // namespace jxc::testing
