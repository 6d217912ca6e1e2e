#pragma once
// The base of the panels embedded in screens (region frames, editor panels, look-up lists). A frame edits
// the current record of its main dataset, through its data source dsMain, and writes the dataset back to
// its updating table. Before it saves, DoCheck validates the record: its name (not blank, stored trimmed
// in upper case, not used by another row of the table) and the mandatory fields that the owning screen's
// function lists in TB_SYS_FIELD_LIST, all named in one message.
//
// The frame learns its function from the screen that owns it (an editor screen or a record editor), or
// from SetFunctionID when it lives elsewhere.

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/CacheIntf.h"
#include "foundation/DBIntf.h"
#include "foundation/DialogIntf.h"
#include "foundation/UnitPublicUtils.h"
#include "platform/Forms.h"

namespace jxc {

class TClientDataSet;
class TDataSource;
class TGroupBox;
class TPanel;
class TPopupEdit;

class TFrameBase : public TFrame {
 public:
  explicit TFrameBase(TComponent* owner = nullptr);
  ~TFrameBase() override;
  std::string ClassName() const override { return "TFrameBase"; }

  // --- components, owned by the frame ---
  TGroupBox* grpContent;
  TPanel* pnlContent;
  TDataSource* dsMain;  // its dataset is the record being edited

  // --- services (DoInit obtains them) ---
  std::shared_ptr<ICache> CacheHelper;
  std::shared_ptr<IDialog> MsgBox;
  std::shared_ptr<IDBAccess> DBAccess;

  // --- overridable operations ---
  // Sets the dataset the frame saves and binds dsMain to it.
  virtual void SetMainDataSet(TClientDataSet* dataSet);
  // Obtains the database, dialog and cache services.
  virtual void DoInit();
  // Writes the main dataset back to the updating table; true when the write reports 0 rows or more.
  virtual bool DoSave();
  // Validates the edited record before a save (see the top of this unit): a refusal shows its message,
  // moves the focus to the field concerned and ends in a silent abort; nothing is written.
  virtual void DoCheck();
  // Appends a record to the main dataset.
  virtual void DoAdd();
  // Cancels the main dataset's pending edit or insert.
  virtual void DoCancel();
  virtual void DoShow() {}
  virtual void DoDelete() {}

  void SetConfig(const TUIConfig& config) { FConfig = config; }
  const TUIConfig& Config() const { return FConfig; }
  void SetUpdatingTable(std::string table) { FUpdatingTable = std::move(table); }
  const std::string& UpdatingTable() const { return FUpdatingTable; }
  TClientDataSet* MainDataSet() const { return FMainDataSet; }

  // The function whose mandatory fields DoCheck applies: the one given here, else the owning screen's.
  void SetFunctionID(std::string id) { FFunctionID = std::move(id); }
  std::string FunctionID() const;

  // --- look-ups ---
  // The user's bank accounts (cached as "TB_BAND_ACCOUNT").
  TDataSet& GetBandList();
  // The user's shop and the shops below it (cached as "VI_DICT_SHOP").
  TDataSet& GetShopList();
  // Loads the dictionary items under the parent, their code serving as their integer key F_ID.
  void GetDict_ConvetCodeToID(TDataSet& dataSet, const std::string& parentID);
  // The tax types (dictionary parent 969702).
  void GET_DICT_TAX_TYPE(TDataSet& dataSet);

  // --- search lists on the record's edits ---
  // Each makes the edit's drop-down a search list of the user's current shop; choosing a row copies it
  // into the edited record (dsMain's dataset), each field only where both the row and the record have it,
  // so a list without a column never clears the record's value:
  // accounts: F_ACCOUNT_ID, F_ACCOUNT;
  // customers and suppliers: F_CUSTOMER_ID, F_CUSTOMER, F_ADDRESS, F_MOBILE, F_CONTRACTOR;
  // every unit (DoInitAllCustomer): those, and F_EMPLOYEE_ID, F_EMPLOYEE, F_HAVE_TAX, F_TAX_TYPE_ID;
  // employees: F_EMPLOYEE_ID, F_EMPLOYEE.
  void DoInitPopupAccount(TPopupEdit& edit);
  void DoInitPopupCustomer(TPopupEdit& edit);
  void DoInitPopupEmployee(TPopupEdit& edit);
  void DoInitPopupSupplier(TPopupEdit& edit);
  void DoInitAllCustomer(TPopupEdit& edit);

 protected:
  // The caption of the screen the frame serves ("" without one).
  std::string ScreenCaption() const;
  // Services, obtained on first need when DoInit did not run.
  IDBAccess& Database();
  ICache& Cache();
  // Copies the chosen row's fields (record field, list field) into the edited record.
  std::function<void(TDataSet&)> CopyIntoRecord(std::vector<std::pair<const char*, const char*>> fields);

  TClientDataSet* FMainDataSet = nullptr;
  std::string FUpdatingTable;
  TUIConfig FConfig;

 private:
  std::string FFunctionID;
};

}  // namespace jxc
