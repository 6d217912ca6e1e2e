#pragma once
// The base of the panels embedded in screens (region frames, editor panels, look-up lists). A frame edits
// the current record of its main dataset, through its data source dsMain, and writes the dataset back to
// its updating table. Before it saves, DoCheck validates the record: its name (not blank, stored trimmed
// in upper case, not used by another row of the table) and the mandatory fields that the owning screen's
// function lists in TB_SYS_FIELD_LIST, all named in one message.
//
// The frame learns its function from the screen that owns it (an editor screen or a record editor), or
// from SetFunctionID when it lives elsewhere.

#include <memory>
#include <string>

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

 protected:
  // The caption of the screen the frame serves ("" without one).
  std::string ScreenCaption() const;
  // Services, obtained on first need when DoInit did not run.
  IDBAccess& Database();
  ICache& Cache();

  TClientDataSet* FMainDataSet = nullptr;
  std::string FUpdatingTable;
  TUIConfig FConfig;

 private:
  std::string FFunctionID;
};

}  // namespace jxc
