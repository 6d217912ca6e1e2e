#pragma once
// The stock-in bill: new units enter the shop here (purchases, transfers in and other receipts). The
// user chooses a product on a row and enters or pastes the serial numbers of the units received, one row
// per serial-numbered unit. Rows are priced from the product's purchase and staff prices; a summary beside
// the detail counts the units per product and colour; the save checks every row, then stamps it with its
// cost, money, supplier, shop and, for a new row, a batch number from the "PH" sequence; an audited bill
// whose units later bills have used cannot be un-audited.
//
// What a caller may rely on, beyond the bill screen's own promises:
//   - A price the row holds (typed, or from an order) is never replaced: choosing a product fills the
//     purchase price only into a row whose price is 0, and its staff price always.
//   - The summary holds one line per product and colour with the summed quantity of the rows; it follows
//     each posted or deleted row line by line and is rebuilt once after rows are entered in bulk.
//   - A refused save changes nothing; a write that fails gives the rows and the header their values back.
//   - The screen never writes F_USE_QTY: only audits count what later bills took of a unit.
//   - A paste never overwrites a row's serial number and never leaves in the serial list a number that no
//     row holds.
//   - A serial number whose unit is in stock (TB_SYS_STOCK) is refused as it is typed, scanned or pasted.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bills/UnitBillSumDetail.h"
#include "bills/UnitFrmBaseBillFramework.h"
#include "platform/DateTime.h"

namespace jxc {

class TBarItem;
class TFrameBase;
class TGridTableView;
class TMemTable;
class TPanel;
class TSplitter;

class TFrmBillInStockFramework : public TFrmBaseBillFramework {
 public:
  explicit TFrmBillInStockFramework(TComponent* owner = nullptr);
  ~TFrmBillInStockFramework() override;
  std::string ClassName() const override { return "TFrmBillInStockFramework"; }

  // --- components, owned by the screen ---
  TSplitter* cxSplitter1;       // between the detail and the summary
  TGrid* cxGrid2;               // the summary, at the right edge; shown once it holds a line
  TGridTableView* tvResultSum;  // "商品名称", "颜色" (the colour's name), "数量"; footer: sum and "记录数0条"
  TMemTable* mtSum;             // the summary lines: F_QTY, F_PRODUCT, F_COLOR_ID, F_PRODUCT_ID
  TDataSource* dsSum;
  TDataSource* dsColor;         // the cached colours, for the summary's colour names
  TBarItem* dxBarButton4;       // "批量粘贴串号"
  TBarItem* dxBarButton6;       // "批量粘贴串号(按订单)"

  // Regroups the detail into the summary, while the summary is on (GroupDetailStatus).
  void RefreshSumDetail();

  // The units of those serial numbers that are in stock now, each with its in-date.
  std::map<std::string, TDateTime> UnitsInStock(const std::vector<std::string>& modeNOs);

  // The input panel of scanned units: placed above the detail grid, working on the detail rows (a fast
  // entry panel is attached to the bill), and initialised. The screen owns it. The configuration names
  // it as the screen's top region (UI_TOP_CONFIG).
  void PlaceEntryPanel(TFrameBase* frame);
  TPanel* pnlEntry;  // above the detail grid; hidden until a panel is placed

 protected:
  void FormCreate() override;
  // The base's start, then the colour names of the summary.
  void StartQueryTimer() override;
  // The base's defaults, then: not a gift, no colour and no configuration yet (0).
  void CdsDetailNewRecord(TDataSet& dataSet) override;
  // The product's purchase price (into a row priced 0) and its staff price; the last product's prices
  // are read once per bill.
  void F_ProductValidate(TField& sender) override;
  // A serial number on a row without product is refused: "请选择商品".
  void F_ModeNOValidate(TField& sender) override;
  // A serial number typed or scanned whose unit is in stock already is refused with its in-date; then
  // the bill's own checks.
  void F_ModeNOSetText(TField& sender, const std::string& text) override;
  // The configured top region is the entry panel above the detail grid (PlaceEntryPanel).
  void UITopConfig(const TUIConfig& config) override;

  // Saving: the summary is off meanwhile (rebuilt afterwards); the parameters are read once.
  void actBeforeSaveExecute(TAction& sender) override;
  // The stock-in rows' checks, then the base's: serial rows hold one unit with its number, handsets a
  // colour, rows a purchase price above 0 (unless "进货价为0") and, with "启用员工成本价", a staff price
  // above 0. Refuses at the first failing row and changes nothing.
  void CheckDetailRows() override;
  // The base's checks, then the amount confirmation ("提示单据金额").
  void CheckBeforeWrite() override;
  // Stamps every row (cost, money, supplier, shop, location, source, batch number of a new row) and
  // puts the totals into the header; RestoreTotals gives all of it back after a failed write.
  TTotals SumDetailIntoHeader() override;
  void RestoreTotals(const TTotals& before) override;

  // Refused with "反审核失败" CR LF "失败原因:库存已变动,如需修改请使用纠正功能" once a unit of the bill moved on.
  void actUnAuditExecute(TAction& sender) override;
  void actNewExecute(TAction& sender) override;
  void actUndoExecute(TAction& sender) override;

  // One new row per pasted serial number, each a copy of the current row (product, colour, price ...).
  virtual void actBatchPasteModeNOExecute(TAction& sender);
  // The pasted serial numbers into the rows from the current one on, one per row without a number.
  virtual void actBatchPasteModeNOByOrderExecute(TAction& sender);

  // --- the detail's events, for the summary ---
  void CdsDetailAfterOpen(TDataSet& dataSet);
  void CdsDetailAfterPost(TDataSet& dataSet);
  void CdsDetailAfterDelete(TDataSet& dataSet);
  void CdsDetailAfterCancel(TDataSet& dataSet);
  // The summary's indicator shows the line numbers.
  void tvResultSumCustomDrawIndicatorCell(TGridTableView& view, int row, bool& done);

 private:
  // What a row's save stamp changes, kept to give it back.
  struct TStampedRow {
    TBookmark Row;
    std::vector<std::pair<int, Variant>> Before;  // field index, value before the stamp
  };
  // The money of the rows as the save stamps them.
  struct TBillSums {
    int64_t Qty = 0;
    Currency Money, CostMoney, GoodsMoney;
  };
  TBillSums SumRows() const;
  // Whether the summary follows the rows as they change now.
  bool SummaryFollows() const { return GroupDetailStatus() && !BatchEnter(); }
  void ShowSummary();
  // Runs the paste dialog with the handler's decision for each number: refused when its unit is in stock
  // or the bill holds it already, else handed to take (which writes and posts it, raising when it cannot).
  // The product's validation is off meanwhile (pasted rows keep the price they were copied with), the
  // summary is rebuilt once at the end, and the grid shows the rows again, whatever happened.
  void PasteInto(const std::function<bool(const std::string& rowID, const std::string& modeNO, std::string& reason)>& take);
  // Moves the detail to the next row that waits for a serial number (a serial-numbered product, no number
  // yet), from the current row on; false when there is none.
  bool FindRowWithoutModeNO();
  // The current row holds a product.
  bool CurrentRowHasProduct() const;

  std::unique_ptr<TBillSumDetail> FSum;
  // The last product priced: its identifier and its master prices.
  std::optional<int64_t> FPricedProduct;
  Currency FPurchasePrice, FEmployeePrice;
  // Read when a save begins.
  bool FAllowZeroPrice = false;
  bool FEmployeeCostPrice = false;
  // What the last save stamped, until its write ends.
  std::vector<TStampedRow> FStamped;
  std::vector<std::pair<std::string, Variant>> FHeaderBefore;
  // The units in stock among the numbers being pasted.
  std::map<std::string, TDateTime> FPastedInStock;
};

}  // namespace jxc
