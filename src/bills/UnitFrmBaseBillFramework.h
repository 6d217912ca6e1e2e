#pragma once
// The document screen: one bill is a header row in cdsMain and its detail rows in CdsDetail (the rows whose
// F_MID is the header's F_ID). Every stock, sale, return and money bill derives from it and shares its
// life: a new bill gets its defaults and the code "新增单据"; the user edits the header and the rows; the
// save button checks the rows, gives the bill its real code and writes header, rows and the operation log
// in one transaction; audit and un-audit run the server's procedure; delete removes header and rows with
// their log row in one statement text; print hands the bill to the print service with a template of the
// screen's template folder. F_STATUS 1 is a saved bill, 2 an audited one, read-only.
//
// What a caller may rely on:
//   - A refused action shows its message and leaves the database and every dataset as they were (a
//     failed save keeps the user's rows and the code "新增单据" for another attempt).
//   - The serial list (ModeNOList) holds one entry per unit in the detail; a number is never held twice.
//   - A save or delete of a bill that is audited in the database (by another screen meanwhile) is refused.
//   - Discarding changes (undo, refresh, close, browsing, a new bill) asks first whenever a header or
//     detail row is being edited or holds changes not yet saved.
//   - Loading a bill never changes the workstation's shop or stock location.
//
// Derived screens extend it at the overridable operations below: the action handlers (call the inherited
// one where they add to it), the field handlers (F_*SetText, F_*Validate), CdsDetailNewRecord,
// UIDetailConfig, the save checks (CheckDetailRows, CheckBeforeWrite) and AttachFieldHandlers.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bills/UnitBillModeNOList.h"
#include "bills/UnitFrmBatchPasteModeNO.h"
#include "editors/UnitFrmBaseEditor.h"
#include "foundation/ProgressFormIntf.h"

namespace jxc {

class ICommonUtils;
class TComboBox;
class TDBDateEdit;
class TDBEdit;
class TGrid;
class TGridBandedTableView;
class TGridColumn;
class TGroupBox;
class TImage;
class TLabel;
class TMenuItem;
class TPopupMenu;
class TPopupModbileModeNOProperties;
class TToolBar;

class TFrmBaseBillFramework : public TFrmBaseEditor {
 public:
  explicit TFrmBaseBillFramework(TComponent* owner = nullptr);
  ~TFrmBaseBillFramework() override;
  std::string ClassName() const override { return "TFrmBaseBillFramework"; }

  // The highest price (included) a bill's row, its quick input and its batch edits accept; above it
  // "单价输入有误".
  static Currency MaxPrice();

  // --- components, owned by the screen ---
  TGroupBox* grpBillHeader;       // the header box
  TLabel* lblHeader;              // the screen's caption
  TImage* imgStatus1;             // shown while F_STATUS is 1
  TImage* imgStatus2;             // shown while F_STATUS is 2
  TDBEdit* db_edtCode;            // F_CODE
  TDBDateEdit* db_edtBillDate;    // F_BILL_DATE
  TDBEdit* db_edtAddUser;         // F_ADD_USER, read-only
  TDBEdit* db_edtAuditor;         // F_AUDITOR, read-only
  TDBDateEdit* db_edtAuditDate;   // F_AUDIT_DATE, read-only
  TGroupBox* grpBillTop;          // holds the header frame of the configuration
  TGrid* cxGrid1;
  TGridBandedTableView* tvResult; // the detail rows, on dsDetail
  TGroupBox* grpBillBottom;       // holds the bottom frame of the configuration
  TComboBox* cbbReportList;       // the print templates
  TPopupMenu* ppmDetail;          // the detail grid's menu
  TToolBar* dxBarCommand;         // the main tool bar (barMain)
  TClientDataSet* CdsDetail;      // master cdsMain by F_ID, index F_MID
  TClientDataSet* cdsSumDetail;   // a summary for derived screens
  TDataSource* dsDetail;
  TDataSource* dsSumDetail;
  TDataSource* dsProductList;

  TAction* actBeforeSave;               // "保存(&S)": the save button
  TAction* actQueryBillCode;            // "单据查询"
  TAction* actPrevBill;                 // "上一张"
  TAction* actNextBill;                 // "下一张"
  TAction* actConfigGrid;               // "配置列"
  TAction* actDesign;                   // "报表设计", Ctrl+Alt+L
  TAction* actDetailAppend;             // "增行(&A)"
  TAction* actDetailCopyAdd;            // "复制新增"
  TAction* actDetailDelete;             // "删行(&A)"
  TAction* actCopyModeNO;               // "复制串码"
  TAction* actBatchPasteModeNO;         // "批量粘贴串号"
  TAction* actBatchPasteModeNOByOrder;  // "批量粘贴串号(按订单)"
  TAction* actQueryModeNO;              // "全文匹配"
  TAction* actDetailDataImport;         // "数据导入"
  TAction* actTrackModeNO;              // "串码追踪"
  TAction* actBatchUpdateRemark;        // "批量更新备注"

  // --- state ---
  bool BatchEnter() const { return FBatchEnter; }
  void SetBatchEnter(bool value) { FBatchEnter = value; }
  int BillType() const { return FBillType; }
  void SetBillType(int value) { FBillType = value; }
  const TModeNOList& ModeNOList() const { return FModeNOList; }
  // The bills chosen in the bill query, browsed with "上一张" and "下一张"; null before a choice.
  TDataSet* QueryBillDS() const { return FQueryBillDS; }
  // Called at the end of the screen's first start.
  std::function<void()> OnAfterInit;
  // For openers and derived screens; the screen itself never calls it.
  std::function<void()> OnAfterQuery;
  // A viewer: nothing can be changed (ViewBill's window).
  void SetReadOnlyView(bool value);
  bool ReadOnlyView() const { return FReadOnlyView; }

  // --- operations for callers ---
  // Opens the bill of that code: ID becomes its F_ID ("0" when none) and the tool bar hides.
  void ViewRecordByCode(const std::string& code) override;
  // Refuses a serial number the bill holds ("手机串码/卡号[" + number + "]重复"); otherwise adds it when
  // add is true. The serial column and derived screens call them.
  void CheckModeNO(const std::string& modeNO, bool add);
  void CheckModeNOEx(const std::string& modeNO, bool add);
  // The batch paste of serial numbers: shows the paste dialog (TFrmBatchPasteModeNO) with the handler,
  // which decides about each pasted number. BatchEnter is on and the detail's controls are disabled while
  // the dialog is shown; both are as they were afterwards, whatever happened. Then the clipboard is emptied
  // and the detail stands on its last row. Returns the dialog's modal result.
  int PasteModeNO(TModeNOPasteHandler handler);
  // The grid's footer information: "当前第[n]条记录,共 [count]条" with the current detail row and the rows.
  std::string FooterInfoText() const;
  // The footer summary of the column bound to the field, in the column's own kind (money stays money);
  // 0 when there is none.
  Variant GetFooterValue(const std::string& fieldName) const;
  // Whether derived screens keep their summary of the detail up to date as rows change (on by default).
  bool GroupDetailStatus() const { return FGroupDetailStatus; }
  void SetGroupDetailStatus(bool value) { FGroupDetailStatus = value; }
  // The base editor's walk, with the detail's group status off meanwhile.
  void IteraDataSet2(TDataSet& dataSet, const std::function<void(TDataSet&)>& procedure) override;
  // Writes the product row of source into the current row of dest (put in edit): F_PRODUCT,
  // F_PRODUCT_ID, F_PRODUCT_TYPE_ID, F_CONFIG_ID, F_COLOR_ID, F_UNIT, F_PRESENT, F_QTY, F_PRICE, F_MONEY
  // and F_LOCATION_ID, where both have them. With split, a product of type 1 or 3 becomes rows of
  // quantity 1 (each appended after the previous; source's F_QTY counts down to 0); anything else, or
  // split false, is one row with the whole quantity. A quantity of 0 or less writes one row as it is.
  // procedure runs for every row written. The last row is left being edited.
  void SetProductInfo(TDataSet& source, TDataSet& dest, const std::function<void(TDataSet&)>& procedure, bool split);
  // The default stock location of the shop (its counter), cached per screen; 0 when it has none.
  int64_t DefaultLocationOf(int64_t shopID);
  // The shop of the bill (header F_SHOP_ID), 0 when none.
  int64_t BillShopID() const;
  // The serial column's in-place look-up of the units in stock, wired to this bill (null before
  // AssignModeNOPopup).
  const std::shared_ptr<TPopupModbileModeNOProperties>& ModeNOPopup() const { return FModeNOPopup; }

 protected:
  // --- set-up ---
  void FormCreate() override;
  void DoShow() override;
  void actInitExecute(TAction& sender) override;
  void cdsMainNewRecord(TDataSet& dataSet) override;
  void UIBottomConfig(const TUIConfig& config) override;
  void UIEditorConfig(const TUIConfig& config) override;
  // Registers CdsDetail with the page's view and update tables.
  virtual void UIDetailConfig(const TUIDetailConfig& config);
  // The first firing of StartQuery: the bill, the grid's columns, a new bill when none was asked for, the
  // column look-ups, the print templates, OnAfterInit.
  void StartQueryTimer() override;
  // Puts the serial look-up of units in stock on the F_MODE_NO column (bills that take units out).
  void AssignModeNOPopup();
  // Whether the serial column looks units up in stock; false here.
  virtual bool ModeNOFromStock() const { return false; }
  // Gives the fields their handlers; runs after every load. Derived screens add theirs after calling it.
  virtual void AttachFieldHandlers();

  // While the grid (or another control that takes Enter for itself) has the focus its keys are its own:
  // the form stops previewing them, and previews them again when the control is left.
  void cxGrid1Enter(TWinControl& sender) { KeyPreview = false; }
  void cxGrid1Exit(TWinControl& sender) { KeyPreview = true; }

  // --- the view state ---
  // Enables the actions and boxes for the bill's status and for sender: actEdit, actNew, actDelete and
  // actDetailDelete mean the bill is being edited.
  virtual void UpdateOperaView(TAction* sender);
  void UpdateActionStatus(TAction* sender) override {}
  void dsMainStateChange(TDataSource& sender);

  // --- actions ---
  virtual void actQueryExecute(TAction& sender);
  virtual void actRefreshExecute(TAction& sender);
  void actNewExecute(TAction& sender) override;
  void actEditExecute(TAction& sender) override;
  void actDeleteExecute(TAction& sender) override;
  void actAuditExecute(TAction& sender) override;
  void actUnAuditExecute(TAction& sender) override;
  void actPrintExecute(TAction& sender) override;
  void actSaveExecute(TAction& sender) override;
  void actUndoExecute(TAction& sender) override;
  void actCloseExecute(TAction& sender) override;
  virtual void actBeforeSaveExecute(TAction& sender);
  virtual void actQueryBillCodeExecute(TAction& sender);
  virtual void actBrowseBillExecute(TAction& sender);
  virtual void actConfigGridExecute(TAction& sender);
  virtual void actDetailAppendExecute(TAction& sender);
  virtual void actDetailCopyAddExecute(TAction& sender);
  virtual void actDetailDeleteExecute(TAction& sender);
  virtual void actCopyModeNOExecute(TAction& sender);
  virtual void actDetailDataImportExecute(TAction& sender);
  virtual void actTrackModeNOExecute(TAction& sender);
  virtual void actBatchUpdateRemarkExecute(TAction& sender);

  // --- the bill's rows ---
  virtual void CdsDetailNewRecord(TDataSet& dataSet);
  // Reads the bill ID names into every registered dataset; false when the header holds that bill
  // already and nothing was read.
  bool QueryBill();
  // The first stage's row checks (product, colour and configuration, zero prices); refuses with a
  // message and a silent abort, changing nothing.
  virtual void CheckDetailRows();
  // The second stage's checks before the write (units, duplicate serial numbers, the stored status).
  virtual void CheckBeforeWrite();
  // Before the write: the header's F_TOTAL_QTY and F_TOTAL_MONEY (where it has them) become the sums of
  // the rows' F_QTY and F_MONEY, so that no bill is stored with totals its rows contradict. Returns what
  // they were, given back (RestoreTotals) when the write fails. Screens whose totals are made otherwise
  // override both; what else such a screen writes into its rows before the write it gives back in its
  // RestoreTotals, so that a failed save leaves the rows as they were.
  struct TTotals {
    bool Set = false;  // the totals were changed
    Variant Qty, Money;
  };
  virtual TTotals SumDetailIntoHeader();
  virtual void RestoreTotals(const TTotals& before);
  // The bill does nothing with them here; derived screens fill them.
  void DoCheck() override {}
  virtual void OnModeNOValidate(TField& sender, Variant& displayValue, std::string& errorText, bool& error) {}

  // --- field handlers ---
  virtual void F_QTYSetText(TField& sender, const std::string& text);
  virtual void F_PriceSetText(TField& sender, const std::string& text);
  virtual void F_ProductIDSetText(TField& sender, const std::string& text);
  virtual void F_ProductSetText(TField& sender, const std::string& text) {}
  virtual void F_ModeNOSetText(TField& sender, const std::string& text);
  virtual void F_ShopSetText(TField& sender, const std::string& text);
  virtual void F_RemarkSetText(TField& sender, const std::string& text);
  virtual void F_ShopValidate(TField& sender);
  virtual void F_ProductValidate(TField& sender) {}
  virtual void F_ModeNOValidate(TField& sender) {}
  // The column pop-ups' init handlers: the look-up lists registered with the host.
  virtual void DoProductInitPopup(TGridColumn& sender);
  virtual void DoProductConfigInitPopup(TGridColumn& sender);
  virtual void DoProductColorInitPopup(TGridColumn& sender);

  // --- helpers for derived screens ---
  // The header is inserted and was never saved.
  bool HeaderIsNew() const;
  // The header's F_STATUS (0 when the header is empty).
  int BillStatus() const;
  std::string BillCode() const;
  // The type passed to the audit procedure: the header's F_KIND, else the configured bill type.
  int AuditType() const;
  // Asks before pending changes are dropped ("提示", text); false when the user keeps them. True at once
  // when nothing is pending.
  bool ConfirmDiscard(const std::string& caption, const std::string& text);
  // Drops every pending change of every registered dataset.
  void CancelPendingChanges();
  // Deletes every detail row with BatchEnter on (no new row follows each delete) and empties the serial
  // list.
  void ClearDetail();
  // Re-reads the header and its rows from the database, keeping ID; tips "单据[code]已刷新" when asked.
  void RefreshBill(bool tip);
  void ShowProgress(const std::string& text);
  void HideProgress();

  std::shared_ptr<IProgressForm> FProgressForm;
  std::shared_ptr<ICommonUtils> FCommonUtils;
  TClientDataSet* FQueryBillDS = nullptr;
  TGridColumn* FCol_Product = nullptr;
  TGridColumn* FCol_ProductColor = nullptr;
  TGridColumn* FCol_ProductConfig = nullptr;
  bool FGroupDetailStatus = true;

 private:
  void CreateActions();
  void CreateAreas();
  void CreateDetailMenu();
  void SetUpColumns();
  void SetUpColumnPopups();
  void LoadPrintTemplates();
  void BrowseTo(bool first);
  void PlaceFrame(TFrameBase* frame, TGroupBox* box, TClientDataSet* dataSet, const std::string& updateTable,
                  const TUIConfig& config);
  // Runs the audit procedure (1) or its reversal (2) on the bill with the wait window showing the text;
  // true when it ran, else false with the reason it gave.
  bool RunAuditProcedure(int operation, const std::string& progress, std::string& reason);
  // The stored F_STATUS of the bill in the database: -1 when the bill is not stored.
  int StoredStatus();
  // The INSERT of the operation log row of this bill, for a statement text.
  std::string LogStatement(int kind) const;
  void DetailAfterDelete();
  void DetailAfterCancel();
  void AppendWhenEmpty();
  int64_t NextDetailID();
  int NeedDays(const char* key) const;
  // Rows without a colour or configuration are written with 0; a save that fails gives them their blanks
  // back.
  struct TFilledBlank {
    TBookmark Row;
    bool Config = false;
    bool Color = false;
  };
  std::vector<TFilledBlank> FillBlankColourAndConfig();
  void ClearFilledBlanks(const std::vector<TFilledBlank>& filled);

  bool FBatchEnter = false;
  int FBillType = 0;
  TModeNOList FModeNOList;
  bool FFirstStart = true;
  bool FPopupsReady = false;
  bool FReadOnlyView = false;
  bool FFillingDefaults = false;
  int FAppending = 0;
  std::string FDeletingModeNO;
  TFrameBase* FEditorFrame = nullptr;
  TFrameBase* FBottomFrame = nullptr;
  std::shared_ptr<TPopupModbileModeNOProperties> FModeNOPopup;
  std::map<int64_t, int64_t> FDefaultLocations;  // shop -> its counter
  struct TProductAttributes {
    Variant Unit, ConfigID, ProductTypeID;
  };
  std::map<int64_t, TProductAttributes> FProducts;  // read once per bill
  std::vector<int64_t> FDetailIDs;  // identifiers reserved for new detail rows, next last
};

// Shows one bill read-only in a modal window of the owner: the owner's bill window named by the
// caption's pinyin initials shows that bill, or a new one is made, centred on the main window, with the
// caption, that name and the bill as ID. Returns the modal result. A refused or failed start raises.
int ViewBill(TComponent& owner, const std::string& billID, const std::string& caption);

}  // namespace jxc
