#pragma once
// The fast entry panel of a receipt: placed above a bill's detail grid, it keeps a product, configuration,
// colour, stock location, unit and price chosen once, and every serial number scanned into it becomes a
// detail row of that product ("加入明细"), one unit each. In batch mode the scanned numbers fill the bill's
// rows in turn instead (rows prepared with product and quantity, say from an order), taking the panel's
// colour where a row has none and its price where one is given.
//
// What a caller may rely on:
//   - A serial number is taken trimmed and upper case, through the bill's own serial entry: one the bill
//     already holds is refused as the bill refuses it.
//   - A unit that is in stock (TB_SYS_STOCK, F_HAVE_QTY above 0) is refused with its in-date; a number
//     that only sits in a saved receipt not yet audited is not in stock and is taken.
//   - A refused scan leaves the bill's rows and serial list as they were; the panel keeps its choices.
//   - A price is a number from 0 to 100000 (both included).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "editors/UnitFrameBase.h"
#include "platform/Currency.h"

namespace jxc {

class TButton;
class TCheckBox;
class TCurrencyEdit;
class TDataSet;
class TEdit;
class TFrmBaseBillFramework;
class TLabel;
class TListBox;
class TLookupComboBox;
class TPopupEdit;

class TFrameProductFastEntryEditor : public TFrameBase {
 public:
  explicit TFrameProductFastEntryEditor(TComponent* owner = nullptr);
  ~TFrameProductFastEntryEditor() override;
  std::string ClassName() const override { return "TFrameProductFastEntryEditor"; }

  // --- components, owned by the panel. A popup keeps the chosen identifier in its Hint, the name in its
  // text; its drop-down lists the entries whose name or initials contain the typed text.
  TPopupEdit* PopupProduct;
  TPopupEdit* PopupConfig;
  TPopupEdit* PopupColor;
  TListBox* lstProduct;               // the drop-downs' lists
  TListBox* lstConfig;
  TListBox* lstColor;
  TLookupComboBox* db_LookupLocation;  // enabled when "入库库位可选" is set
  TLookupComboBox* db_LookupUnit;
  TCurrencyEdit* edtPrice;
  TEdit* edtMobileModeNo;             // the scanner writes here; Enter adds the unit
  TCheckBox* chkBatchEnter;
  TButton* btnAddToDetail;            // "加入明细"
  TLabel* lblProduct;
  TClientDataSet* cdsTemp;            // the configurations and colours the lists show
  TClientDataSet* cdsProduct;         // the active products

  // Places the panel above the bill's detail grid and makes the bill's detail the rows it adds to; then
  // DoInit. The panel belongs to the bill from then on.
  void AttachToBill(TFrmBaseBillFramework& bill);
  TFrmBaseBillFramework* Bill() const { return FBill; }

  // Loads the lists (see the class comment); the services are obtained here.
  void DoInit() override;

  // Chooses an entry as a click in the drop-down does; raises when there is no such entry. Choosing a
  // product also takes its configuration, unit, purchase price and product type.
  void ChooseProduct(int64_t productID);
  void ChooseConfig(int64_t configID);
  void ChooseColor(int64_t colorID);
  // The chosen identifiers, 0 when none.
  int64_t ProductID() const;
  int64_t ConfigID() const;
  int64_t ColorID() const;
  // The price the panel holds (0 when none or not a number).
  Currency Price() const;

  // Run after each row the panel filled, with the bill's detail on that row.
  std::function<void(TDataSet& row)> FCallback;

 protected:
  void btnAddToDetailClick();
  void edtPricePropertiesValidate(std::string& displayValue, std::string& errorText, bool& error);

 private:
  // "[S]串码已在库,入库日期" + date when the unit is in stock.
  void CheckNotInStock(const std::string& modeNO);
  void AddRow(const std::string& modeNO);
  void FillNextRow(const std::string& modeNO);
  void ReadyForNextScan();

  TFrmBaseBillFramework* FBill = nullptr;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);  // work posted for later checks the panel lives
  int64_t FProductTypeID = 0;
  std::string FUnit;
};

}  // namespace jxc
