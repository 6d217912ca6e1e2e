#pragma once
// The base of every editing screen that works on a master dataset read from the database: the grid
// editors, the tree grid, the grid lists and the bill frameworks. A screen is set up from its function row
// in TB_SYS_FUNCTION (found by its caption), owns its master dataset cdsMain ("CdsMaster") and the list of
// datasets a save writes back (DataSetMgr, the master first), asks the rights service before each action,
// writes the operation log TB_SYS_LOG and places the frames its configuration names beside its content.
//
// Life of a screen: the opener creates it, sets the caption, hands in what it has and calls DoOnShow,
// which asks CanOpen, runs the initialisation (actInit) once and starts the 200 ms timer StartQuery, whose
// first firing runs actQuery when a derived screen gave it a handler. A screen refused by the rights
// service, or whose initialisation fails, is released at once with its actions disabled and its name
// cleared, and the error is raised to the opener: no half-built screen stays behind.
//
// Actions a derived screen extends: every handler is a virtual actXxxExecute. The base handlers of New,
// Edit, Delete, Export, Print, Audit and Un-audit only check the right (a refusal shows caption +
// "[操作]权限未授权" and ends in a silent abort, so an override that calls the base first stops there).
// Save checks the master's pending rows (DoCheck), then writes every registered dataset in one call; a
// failure is shown once as "保存失败" + CR LF + "失败原因：" + the reason and ends in a silent abort, with
// every dataset keeping its changes for another attempt.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/DBIntf.h"
#include "foundation/UnitFrmBase.h"
#include "foundation/UnitPublicUtils.h"

namespace jxc {

class TAction;
class TActionList;
class TClientDataSet;
class TDataSource;
class TFrameBase;
class TSplitter;
class TTimer;
class TToolBar;

// One dataset that a save writes back.
class TDataSetItem {
 public:
  TClientDataSet* DataSet = nullptr;  // owned by the screen
  std::string UpdateTable;            // the table its changes go to
  std::string ViewTable;              // the view or table it is read from
  // The field that holds the master's F_ID when the rows belong to the master's current row; "" when the
  // dataset is no detail of the master (deleting a master then leaves its rows alone).
  std::string ForeignKey;
};

class TFrmBaseEditor : public TFrmBase {
 public:
  explicit TFrmBaseEditor(TComponent* owner = nullptr);
  ~TFrmBaseEditor() override;
  std::string ClassName() const override { return "TFrmBaseEditor"; }

  // --- components, owned by the screen ---
  TActionList* alMain;
  TAction* actInit;             // "进入", tag 100: the initialisation
  TAction* actNew;              // "新建(&F1)", F1, tag 2
  TAction* actEdit;             // "编辑(F2)", F2, tag 3
  TAction* actDelete;           // "删除(&F4)", F4, tag 4
  TAction* actAudit;            // "审核", tag 5
  TAction* actUnAudit;          // "反审核", tag 6
  TAction* actExport;           // "导出", tag 7
  TAction* actPrint;            // "打印", Ctrl+Alt+P, tag 8
  TAction* actSave;             // "保存", tag 20
  TAction* actUndo;             // "取消", tag 21
  TAction* actRefresh;          // "刷新(&F5)", F5
  TAction* actQuery;            // "查询", F9; no handler here
  TAction* actSelect;           // "选择"
  TAction* actBack;             // "返回"
  TAction* actPrevRecord;       // "上一条记录"
  TAction* actNextRecord;       // "下一条记录"
  TAction* actSaveAndCreate;    // "保存并新增"
  TAction* actScriptDesign;     // "脚本设置", Ctrl+F12
  TAction* actBillRuleConfig;   // "单据规则", Shift+F12
  TAction* actMainRecordChanged;
  TAction* actExecScript;
  TAction* actClose;            // "关闭(&C)"
  TToolBar* barMain;            // New, Edit, Delete, Refresh, Export, Close
  TTimer* StartQuery;           // 200 ms, one shot: the first query
  TDataSource* dsMain;          // does not put cdsMain into edit by itself
  TClientDataSet* cdsMain;      // "CdsMaster", the first registered dataset

  std::shared_ptr<IDBAccess> DBAccess;  // obtained by the initialisation
  TFormParams FormParams;               // the screen's set-up, from its function row
  bool HideRightUI = false;             // stored for derived screens

  // --- registered datasets ---
  const std::vector<TDataSetItem>& DataSetMgr() const { return FDataSetMgr; }
  // Appends the dataset to the list a save writes back; a dataset registered already is left as it is.
  void RegisteDataSet(const std::string& viewTable, const std::string& updateTable, TClientDataSet* dataSet,
                      const std::string& foreignKey = "");

  // --- operation log ---
  // Writes one TB_SYS_LOG row for the current master record: its F_ID, F_KIND and F_CODE, the user, now,
  // and the message caption + " [" + user + "] " + msg + the kind's text + the code. Kinds: 1 new, 2 edit,
  // 3 audit, 4 un-audit, 5 delete, anything else "other". Database failures propagate.
  void AddLog(int kind, const std::string& msg);
  // The kind's text: " [新增] ", " [编辑] ", " [审核] ", " [反审] ", " [删除] ", else " [其它]".
  static std::string LogKindText(int kind);
  // The message of a log row: caption + " [" + user + "] " + msg + the kind's text + the code.
  std::string LogMessage(int kind, const std::string& msg, const std::string& billCode) const;

  // --- walking datasets ---
  // Posts a pending edit, then calls the procedure for every visible row from the first, with controls
  // and constraints disabled; afterwards (also when the procedure raises) the cursor returns to the row it
  // was on when that row still exists, and constraints and controls are enabled again.
  void IteraDataSet(TDataSet& dataSet, const std::function<void(TDataSet&)>& procedure);
  virtual void IteraDataSet2(TDataSet& dataSet, const std::function<void(TDataSet&)>& procedure);
  // Deletes every visible row, controls disabled meanwhile.
  void ClearDataSet(TDataSet& dataSet);

  // Objects freed with the screen, last pushed first (helpers that other code hands the screen).
  template <class T>
  T* AutoFree(std::unique_ptr<T> object) {
    T* raw = object.get();
    FAutoFreeStack.push_back(std::shared_ptr<void>(std::move(object)));
    return raw;
  }

  // The frames the configuration placed left and right (null when none).
  TFrameBase* LeftFrame() const { return FLeftFrame; }
  TFrameBase* RightFrame() const { return FRightFrame; }
  bool IsFirstLoad() const { return FIsFirstLoad; }
  // True when a registered dataset is being edited or holds changes not yet saved.
  bool HasPendingChanges() const;

  // --- TFrmBase ---
  TDataSet* GetMainDataSet() override;
  TActionList* GetActionList() override;
  // Rights, the initialisation once, then the query timer (see the top of this unit).
  void DoOnShow() override;
  // Shows the screen inside the main window.
  void ShowForm() override;

 protected:
  // --- overridable steps, in the order the screen meets them ---
  virtual void actInitExecute(TAction& sender);
  // The new master record's defaults (see FillNewRecordDefaults).
  virtual void cdsMainNewRecord(TDataSet& dataSet);
  virtual void UILeftConfig(const TUIConfig& config);
  virtual void UIRightConfig(const TUIConfig& config);
  virtual void UITopConfig(const TUIConfig& config) {}
  virtual void UIBottomConfig(const TUIConfig& config) {}
  virtual void UIQueryConfig(const TQueryConfig& config) {}
  virtual void UIEditorConfig(const TUIConfig& config) {}
  // Not called here: the bill screens hand their bill configuration to it.
  virtual void UIBillConfig(const TBillConfig& config) {}
  // Enables and disables derived screens' actions; sender is the action that changed things (actEdit when
  // the master went into edit or insert, actUndo when it returned to browse). Nothing here.
  virtual void UpdateActionStatus(TAction* sender) {}
  // The first firing of StartQuery: stops the timer and runs actQuery when it has a handler.
  virtual void StartQueryTimer();
  // Checks the master's pending rows before a save: each inserted or changed row passes the name test and
  // the function's mandatory fields; the first row refused stays current. Refuses with a message and a
  // silent abort.
  virtual void DoCheck();
  // Where the focus goes for a field a check refused: the field's own control here.
  virtual void FocusField(TField& field);
  // Writes what the save writes: every registered dataset, in one call (ApplyDataSets). Raises on failure.
  virtual void DoSave() { ApplyDataSets(); }

  virtual void actNewExecute(TAction& sender);
  virtual void actEditExecute(TAction& sender);
  virtual void actDeleteExecute(TAction& sender);
  virtual void actAuditExecute(TAction& sender);
  virtual void actUnAuditExecute(TAction& sender);
  virtual void actExportExecute(TAction& sender);
  virtual void actPrintExecute(TAction& sender);
  virtual void actSaveExecute(TAction& sender);
  virtual void actUndoExecute(TAction& sender);
  virtual void actSelectExecute(TAction& sender);
  virtual void actBackExecute(TAction& sender);
  virtual void actCloseExecute(TAction& sender);

  // --- for derived screens ---
  // Asks HasRight with the caption and the operation; refuses with caption + "[" + operation +
  // "]权限未授权" and a silent abort.
  void CheckRight(const std::string& operation);
  // The rights text test of audit and un-audit: the action's tag as position; refuses as CheckRight.
  void CheckRightsText(TAction& action);
  // Posts every registered dataset's pending edit and writes them all, with the extra datasets after
  // them, in one call (ApplyUpdates for one, ApplyUpdatesList for several). Raises on failure; the
  // datasets then keep their changes.
  void ApplyDataSets(const std::vector<std::pair<TClientDataSet*, std::string>>& extra = {});
  // An empty TB_SYS_LOG dataset to append log rows to, read with the log statement.
  std::unique_ptr<TClientDataSet> OpenLogDataSet();
  // Appends and posts one log row.
  void AppendLogRow(TClientDataSet& log, int kind, const std::string& msg, const Variant& billID,
                    const Variant& billKind, const std::string& billCode);
  // Writes one log row for the bill or record given.
  void WriteLog(int kind, const std::string& msg, const Variant& billID, const Variant& billKind,
                const std::string& billCode);
  std::shared_ptr<IGroupRights> Rights();
  // Creates the frame the region names, owned and parented by the screen; EClassNotFound for an unknown
  // class name, Exception for a class that is no frame.
  TFrameBase* CreateRegionFrame(const TUIConfig& config);

  void FormCreate() override;
  // Enter in any control but a memo or a grid moves to the next control and is swallowed.
  void KeyPress(char32_t& key) override;

 private:
  void ReleaseHalfBuilt();
  void Walk(TDataSet& dataSet, const std::function<void(TDataSet&)>& procedure);
  void DataStateChanged();

  std::vector<std::shared_ptr<void>> FAutoFreeStack;
  bool FIsFirstLoad = true;
  bool FCahcehDataSet = false;
  std::vector<TDataSetItem> FDataSetMgr;
  TFrameBase* FLeftFrame = nullptr;
  TFrameBase* FRightFrame = nullptr;
  TSplitter* FLeftSplitter = nullptr;
  TSplitter* FRightSplitter = nullptr;
  int FLastState = 0;  // dsMain's state at the last change
};

// The component name an opener gives a screen: the pinyin initials of its caption, with "_2", "_3" ... added
// when the owner already holds a component of that name (another caption may share the initials).
std::string ScreenName(const TComponent& owner, const std::string& caption);

// What the host's menu does to show an editor screen inside the main window: the screen made, owned by the
// owner, named (ScreenName) and captioned, DoOnShow, ShowForm. A refused or failed start raises, the
// screen then released. The first query follows 200 ms later.
template <class T>
T* OpenEditor(TComponent& owner, const std::string& caption) {
  T* screen = CreateForm<T>(&owner);
  screen->SetName(ScreenName(owner, caption));
  screen->SetCaption(caption);
  screen->DoOnShow();
  screen->ShowForm();
  return screen;
}

}  // namespace jxc
