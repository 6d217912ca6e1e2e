#pragma once
// The stock-out bill: wholesale and retail sales, transfers out, purchase returns. Serial-numbered goods
// leave the stock quickly: the assistant scans a serial number ("手机串号/卡号"), or types its last 5 to 10
// characters, into the quick input under the detail grid; the bill finds the unit in the current stock of
// its shop, checks that it fits the row's product and colour and is not in the bill yet, and fills a row
// from the stock record with quantity 1 and the shop's selling price. Units can also be picked from the
// stock list of the serial column, or pasted in bulk (one new row per number, or by order: one number per
// prepared row).
//
// What a caller may rely on:
//   - A look-up takes the unit the text names or none: an exact serial number first, then (5 to 10
//     characters, both included) the one unit of the bill's shop, and of the row's product and colour
//     when the row names them, whose serial number ends in the text. Several such units are refused with
//     their count. "%" and "_" are characters like any other.
//   - A refused scan or pasted number leaves the rows and the serial list as they were.
//   - A paste reads the stock of every pasted number in a fixed number of statements, whatever their
//     count; each number is then decided in paste order, and refused ones are listed with their reasons.
//   - A serial-numbered row (product types 1 and 3) is saved only with its serial number and quantity 1.
//   - A looked-up price fills only a row whose price is 0; prices are looked up once per shop, product
//     and bill kind.

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "bills/UnitFrmBaseBillFramework.h"

namespace jxc {

class TBarItem;
class TCheckBox;
class TCurrencyEdit;
class TCustomEdit;
class TEdit;

class TFrmBillOutStockFramework : public TFrmBaseBillFramework {
 public:
  explicit TFrmBillOutStockFramework(TComponent* owner = nullptr);
  ~TFrmBillOutStockFramework() override;
  std::string ClassName() const override { return "TFrmBillOutStockFramework"; }

  // --- the quick input ("快速输入", in grpBillBottom) ---
  TLabel* lblModeNO;            // "手机串号/卡号："
  TEdit* edtModeNO;             // scanned or typed serial numbers, Enter looks them up
  TLabel* lblPrice;             // "单价："
  TCurrencyEdit* edtPrice;      // a price for the units scanned (0: the shop's price)
  TCheckBox* chkAutoAppend;     // "扫描自动增行": a scan into a row that holds a unit makes a new row; hidden
  TBarItem* chkAutoCopy;        // "新增自动复制", for derived screens (not on the tool bar)
  TBarItem* dxBarButton4;       // "批量粘贴串号"
  TBarItem* dxBarButton6;       // "批量粘贴串号(按订单)"
  TClientDataSet* cdsTemp;      // the units found in stock
  TClientDataSet* cdsSalePrice; // the price function's answer
  TDataSource* dsModeNOList;    // for derived screens

  // Typed text shorter than this is refused; from it to SuffixMax characters (both included) it may be
  // the end of a serial number.
  static constexpr int SuffixMin = 5;
  static constexpr int SuffixMax = 10;
  // Pasted numbers per stock statement.
  static constexpr int PasteChunk = 500;

  // Fills the current detail row from the current row of a stock dataset (product, colour, configuration,
  // supplier into F_ROOT_ID, unit, location, in-date, quantity 1, the price, and the serial number through
  // the field's text entry, so that the bill's serial list refuses a repeat). The row is left being edited.
  virtual void OutStock(TDataSet& dataSet);

  // Counts of the last batch paste, for the assistant's summary and the benchmarks.
  int LastPasteStatements() const { return FPasteStatements; }

 protected:
  void StartQueryTimer() override;
  void UpdateOperaView(TAction* sender) override;
  void actNewExecute(TAction& sender) override;
  void CdsDetailNewRecord(TDataSet& dataSet) override;
  void F_PriceSetText(TField& sender, const std::string& text) override;
  void F_ProductValidate(TField& sender) override;
  void actSaveExecute(TAction& sender) override;
  TTotals SumDetailIntoHeader() override;
  void RestoreTotals(const TTotals& before) override;

  // The stock list of the serial column, brought up to date at every drop-down (the bill's shop, the
  // row's product and colour); a unit chosen fills the row.
  virtual void DoModeNOInitPop(TGridColumn& sender);
  // Enter in the quick input: looks the text up and fills a row (see the top of this unit).
  void edtModeNOKeyPress(TWinControl& sender, char32_t& key);
  // The quick input keeps Enter for itself while it has the focus.
  void edtModeNOEnter(TWinControl& sender);
  void edtModeNOExit(TWinControl& sender);
  // The same look-up as a validation, for derived screens that bind the serial field: a refusal sets
  // error with its message instead of showing it.
  void edtModeNOPropertiesValidate(TCustomEdit& sender, std::string& displayValue, std::string& errorText, bool& error);
  void edtPricePropertiesValidate(TCustomEdit& sender, std::string& displayValue, std::string& errorText, bool& error);
  virtual void actBatchPasteModeNOExecute(TAction& sender);
  virtual void actBatchPasteModeNOByOrderExecute(TAction& sender);

 private:
  // The row a unit must fit: the product and colour it names (0: any).
  struct TRowFit {
    int64_t ProductID = 0;
    int64_t ColorID = 0;
  };
  void CreateQuickInput();
  // Looks the number up for a row that fits; "" with cdsTemp on the unit, else the refusal.
  std::string FindStockUnit(const std::string& modeNO, const TRowFit& fit);
  // Opens cdsTemp on the stock statement with the condition; the number of units found.
  int OpenStock(const std::string& condition);
  // Why the unit of the stock row cannot go into a row that fits (empty when it can).
  // The end of the refusal after the number ("]不属于此店铺" ...), empty when it can.
  std::string Misfit(const TDataSet& stock, int row, const TRowFit& fit) const;
  // The same as the reason of a pasted number (one line, without the number).
  std::string PasteMisfit(int row, const TRowFit& fit) const;
  TRowFit FitOfCurrentRow() const;
  bool CurrentRowHoldsUnit() const;
  // The current row is of a product counted without serial numbers (it takes no unit).
  bool CurrentRowIsCounted() const;
  // The quick input: the look-up, the row and the focus back for the next scan.
  void ScanModeNO();
  // Looks the number up and puts its unit into a row, ready for the next; "" when taken, else the
  // refusal (rowError: the row refused it, not the look-up).
  std::string TakeModeNO(const std::string& modeNO, bool& rowError);
  void FocusQuickInput();
  // Fills the current row from the stock row, cancelling the row's changes when that fails.
  void FillRowFrom(TDataSet& stock);
  // After a unit went into a row: the next row, a new one when the last is done.
  void AdvanceAfterScan();
  // Reads the stock rows of the numbers in chunked statements; serial number -> row of cdsTemp.
  void ReadStockOf(const std::vector<std::string>& modeNOs);
  // The paste dialog with the stock of the pasted numbers read first; the grid updates once at the end.
  void RunPaste(TModeNOPasteHandler::TPaste paste);
  // The row of cdsTemp holding the pasted number's unit; -1 with the reason when it is not in stock.
  // Raises the bill's refusal of a number it holds.
  int PastedUnit(const std::string& modeNO, std::string& reason);
  // The current row (being edited) filled from that unit and posted; nothing of it stays on failure.
  void FillPastedRow(int stockRow);
  Currency PriceOf(int64_t shopID, int64_t productID, int kind);
  int HeaderKind() const;
  bool PriceLocked(int kind) const;

  TGridColumn* FColModeNO = nullptr;
  // Prices looked up: (shop, product, bill kind) -> price.
  std::map<std::tuple<int64_t, int64_t, int>, Currency> FPrices;
  std::unordered_map<std::string, int> FPastedStock;  // serial number -> row of cdsTemp
  int FPasteStatements = 0;
  // What the save wrote into the rows, given back when the write fails.
  struct TRowDefaults {
    TBookmark Row;
    Variant Location, SourceID, Present, Money;
  };
  std::vector<TRowDefaults> FWrittenDefaults;
};

}  // namespace jxc
