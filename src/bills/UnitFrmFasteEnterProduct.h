#pragma once
// Fast product entry ("商品录入"): a small editor over a bill's detail in which the user enters a unit
// that cannot be traced to a sale (forced returns and exchanges): product, configuration, colour, unit,
// supplier, prices and the serial number. The dialog appends a row of its own when it is shown and edits
// only that row: OK completes and posts it; copy-add posts it and starts the next one with everything
// but the serial number; cancel (or closing the window) removes the row it was typing, and nothing else.
//
// The serial number is taken trimmed and upper case and must not be one the bill holds already
// ("手机串码/卡号[S]重复"); a row it posts enters the bill's serial list. While the dialog shows, the bill's
// own serial text handler is off, so the number is decided here once; it is back when the dialog closes.
//
// What a caller may rely on: a refused OK or copy-add leaves the row being typed as it was and the dialog
// open; rows of the bill the dialog did not make are never changed.

#include <functional>
#include <string>

#include "editors/UnitFrmBaseDlgEditor.h"
#include "platform/Field.h"

namespace jxc {

class TDBCurrencyEdit;
class TDBDateEdit;
class TDBEdit;
class TDBLookupComboBox;
class TFrmBaseBillFramework;
class TListBox;
class TPopupEdit;

class TFrmFasteEnterProduct : public TFrmBaseDlgEditor {
 public:
  explicit TFrmFasteEnterProduct(TComponent* owner = nullptr);
  ~TFrmFasteEnterProduct() override;
  std::string ClassName() const override { return "TFrmFasteEnterProduct"; }

  // --- editors on the detail row (dsMain) ---
  TPopupEdit* db_PopupProduct;            // F_PRODUCT; the drop-down lists the products
  TListBox* lstProduct;
  TDBLookupComboBox* db_LookupConfig;     // F_CONFIG_ID
  TDBLookupComboBox* db_LookupColor;      // F_COLOR_ID
  TDBLookupComboBox* db_LookupUnit;       // F_UNIT
  TDBCurrencyEdit* db_edtJHPrice;         // F_COST_PRICE
  TDBCurrencyEdit* cxDBCurrencyEdit1;     // F_PRICE_EMPLOYEE
  TDBLookupComboBox* db_Customer;         // F_ROOT_ID, the supplier
  TDBEdit* db_edtModeNO;                  // F_MODE_NO
  TDBCurrencyEdit* db_edtPrice;           // F_PRICE
  TDBDateEdit* cxDBDateEdit1;             // F_IN_DATE
  TDataSource* dsLookupColor;
  TDataSource* dsLookupConfig;
  TDataSource* dsLookupUnit;
  TDataSource* dsProductList;
  TDataSource* dsSupplierList;

  // The bill whose serial list the dialog keeps (the owner when it is a bill). May be null: then only
  // the row is checked.
  void SetBill(TFrmBaseBillFramework* bill) { FBill = bill; }
  // Chooses the product as a click in the product list does: the row takes its identifier, name,
  // configuration, unit, type, purchase price (as cost and price) and employee price, and its supplier
  // when the product names one. Raises when there is no such product.
  void ChooseProduct(int64_t productID);

 protected:
  void DoShow() override;
  void FormClose(TCloseAction& action) override;
  // Checks and completes the row, posts it and enters its serial number into the bill's list.
  bool DoSave() override;
  void actCopyAddExecute(TAction& sender) override;
  // Cancel: the row the dialog was typing goes (closing the window does the same).
  void actCancelExecute() override { btnCancelClick(); }
  void btnCancelClick();

 private:
  TDBLookupComboBox* Lookup(const char* name, const char* field, TDataSource* list, const char* key, const char* shown);
  // The row is the dialog's own and not yet posted.
  bool TypingOwnRow() const;
  void AppendOwnRow();
  void RestoreModeNOHandler();

  TFrmBaseBillFramework* FBill = nullptr;
  TDataSet* FDetail = nullptr;         // the dataset whose handler is off
  std::function<void(TField&, const std::string&)> FModeNOHandler;  // the serial field's, while it is off
  bool FHandlerOff = false;
  bool FOwnRow = false;  // the dialog appended the row being typed
};

// The owner's fast entry dialog ("FrmFasteEnterProduct"), made on first need; the opener binds it to the
// detail (SetDataSet) and shows it modally, then frees it.
TFrmFasteEnterProduct* GetFasteEnterProduct(TComponent* owner);

}  // namespace jxc
