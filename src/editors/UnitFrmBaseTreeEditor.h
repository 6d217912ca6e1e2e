#pragma once
// The tree editor: edits a hierarchy stored as rows with F_ID, F_PARENTID (0 for the top level), F_CODE,
// F_NAME, F_PY and F_REMARK (regions, product configurations, dictionary trees), and picks a node for
// other screens. Its table is its function's F_TABLENAME, found by the caption. The tree shows every row as
// "code-name"; the node panel beside it edits the focused row (name, code, remark and the parent, chosen in
// a drop-down tree that leaves out the row's own branch, so a node never becomes its own ancestor).
//
// Editing happens in the node panel. New adds a child "新节点" under the focused node, Save-and-add a
// sibling of the node just saved; while a row is being edited or added the tree and the actions that
// would leave the row are disabled, and Save, Save-and-add and Cancel are enabled. Save refuses a blank
// name ("请填写名称") and a name another row of the table has ("名称重复,请重新填写"), then writes every
// pending change of the tree (the edited row and the moves) in one call; a failed write is shown and
// leaves the changes pending and the row in edit. The host's cache entry named by the table is replaced
// only by rows the database holds (after a save or a delete).
//
// Moving: "移动到上一级" makes the node the last child of its grandparent; a node may be dragged onto
// another node that is not its parent, itself or below it, when it has a parent and its level is not above
// the target's. Moves wait for Save.
//
// Delete removes the focused node with every node below it, in one transaction, after the question that
// names them ("确定删除[名称]及下级节点吗?"); a branch holding a system row (F_ID below 100) is refused
// ("系统默认不能删除"), and so is a delete while moves or edits wait to be saved. No row is ever left
// whose parent is gone.

#include <memory>
#include <string>

#include "foundation/DBIntf.h"
#include "foundation/UnitFrmBase.h"

namespace jxc {

class TAction;
class TActionList;
class TButton;
class TClientDataSet;
class TDBEdit;
class TDBTreeList;
class TDBTreePopupEdit;
class TDataSource;
class TLabel;
class TMenuItem;
class TPanel;
class TPopupMenu;
class TToolBar;
class TTreeListNode;

class TFrmBaseTreeEditor : public TFrmBase {
 public:
  explicit TFrmBaseTreeEditor(TComponent* owner = nullptr);
  ~TFrmBaseTreeEditor() override;
  std::string ClassName() const override { return "TFrmBaseTreeEditor"; }

  // --- components, owned by the screen ---
  TActionList* alTree;
  TAction* actNew;          // hint "增加"
  TAction* actEdit;         // "编辑"
  TAction* actDelete;       // "删除"
  TAction* actSave;         // "保存"
  TAction* actSaveAndAdd;   // "保存并添加"
  TAction* actCancel;       // "取消"
  TAction* actRefresh;      // "刷新"
  TAction* actUp;           // "移动到上一级"
  TAction* actDown;         // no caption, in no menu: the node becomes the last sibling of its grandparent
  TAction* actSelect;       // "选择" (picker)
  TAction* actClose;        // "关闭"
  TToolBar* barTree;
  TLabel* lblTitle;         // the caption
  TLabel* lblHint;          // "提示: 拖动节点可以更改上下级关系,更改完成后点击保存"
  TLabel* lblDragHint;      // "提示: 拖动完成后点击保存"
  TDBTreeList* dbTree;      // F_CODE and F_NAME joined by "-", root value 0
  TPopupMenu* ppmTree;      // New, Edit, Delete, Refresh, Move up
  TPanel* pnlNode;
  TDBEdit* edtName;
  TDBEdit* edtCode;
  TDBEdit* edtRemark;
  TDBTreePopupEdit* edtParent;  // F_PARENTID, chosen among the names of cdsParent
  TButton* btnSave;
  TClientDataSet* cdsTreeData;  // the rows, indexed on F_PARENTID
  TDataSource* dsTree;
  TClientDataSet* cdsParent;    // a copy of the rows for the parent choice
  TDataSource* dsParent;

  std::shared_ptr<IDBAccess> DBAccess;

  // --- set-up ---
  // The table used when the function row names none.
  void SetTableName(std::string table) { FTableName = std::move(table); }
  const std::string& TableName() const { return FTableName; }
  // Whether a node with children may be chosen as a parent.
  void SetCanSelectParent(bool value);
  bool CanSelectParent() const { return FCanSelectParent; }
  void SetCheckTree(bool value) { FCheckTree = value; }
  // Picker mode: "选择" offered, Delete and Move up not.
  void SetCustomTree(bool value);
  bool CustomTree() const { return FCustomTree; }
  // The current row's F_ID ("" without rows).
  std::string GetID() const;
  std::string GetRootText() const { return "全部"; }
  bool Started() const { return FStarted; }

  // --- TFrmBase ---
  // On the first call: the table ("数据表未配置" when there is none) and the rows.
  void DoOnShow() override;
  void ShowForm() override { Show(); }

 protected:
  virtual void actNewExecute(TAction& sender);
  virtual void actEditExecute(TAction& sender);
  virtual void actDeleteExecute(TAction& sender);
  virtual void actSaveExecute(TAction& sender);
  virtual void actSaveAndAddExecute(TAction& sender);
  virtual void actCancelExecute(TAction& sender);
  virtual void actRefreshExecute(TAction& sender);
  virtual void actUpExecute(TAction& sender);
  virtual void actDownExecute(TAction& sender);
  virtual void actSelectExecute(TAction& sender);
  // F_ID and F_CODE of a new row, and its parent.
  virtual void cdsTreeDataNewRecord(TDataSet& dataSet);
  // Enables and disables the actions and the tree by the edit state and the changes waiting.
  virtual void UpdateActionStatus();

  void KeyPress(char32_t& key) override;

 private:
  void Start();
  void AddNode(const Variant& parent);
  void FocusName(bool selectAll);
  // Writes the pending changes; true when written. A failure is shown and ends in a silent abort.
  void SaveTree();
  // The host's cache entry of the table takes the rows as saved.
  void PublishCache();
  void CopyToParentList();
  void AttachFieldHandlers();
  bool CanDragTo(TTreeListNode* source, TTreeListNode* target) const;

  std::string FTableName;
  bool FCanSelectParent = true;
  bool FCustomTree = false;
  bool FCheckTree = false;
  bool FStarted = false;
  Variant FNewParent = Variant(0);
};

// The tree editor of a function, kept by the application and reused per caption: the application's tree
// editor with that caption, or a new picker (named by the caption's pinyin initials, centred on its owner,
// "选择" offered) started at once. In every case the can-select-parent flag is applied. table names the
// table to use when the function row names none. A failed start raises, and no editor is kept.
TFrmBaseTreeEditor* ShowBaseTreeEditor(const std::string& caption, bool canSelectParent, const std::string& table = "");

}  // namespace jxc
