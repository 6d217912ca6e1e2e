#pragma once
// A grid screen for flat master data (products, customers, employees, stock locations, colours, accounts).
// It lists its function's data in the grid tvResult, narrows the rows as the user types in the quick
// search (code, name or pinyin initials containing the text) or fills the exact-search bar (one field,
// one operator, one value), deletes rows, exports and arranges the grid, and serves as a picker for other
// screens (GetBaseGridForm).
//
// New and Edit open the application's record editor when one is set (SetDataEditor); the saved row is then
// read back into the grid. Without one the rows are edited in the grid itself: New adds a row with its
// defaults and puts it in edit, Edit puts the focused row in edit, Save checks and writes every pending row with an operation
// log row for each in one transaction, and Undo drops what was not saved.
//
// Delete removes the focused row from the database together with the rows of the registered detail
// datasets that carry its F_ID in their foreign key, in one transaction, then from the grid; the other
// rows' unsaved changes stay pending. A refresh that would drop unsaved changes asks first.

#include <memory>
#include <string>

#include "editors/UnitFrmBaseEditor.h"
#include "editors/uBaseDataIntf.h"
#include "foundation/UnitPublicUtils.h"

namespace jxc {

class TCheckBox;
class TComboBox;
class TEdit;
class TGrid;
class TGridColumn;
class TGridTableView;
class TGroupBox;
class TLabel;
class TMemTable;
class TORXcxGridPopupMenu;
class TPageControl;
class TTabSheet;

class TFrmBaseDBGridEditor : public TFrmBaseEditor, public IView, public IBaseEditor {
 public:
  explicit TFrmBaseDBGridEditor(TComponent* owner = nullptr);
  ~TFrmBaseDBGridEditor() override;
  std::string ClassName() const override { return "TFrmBaseDBGridEditor"; }

  // --- components, owned by the screen ---
  TPageControl* pgcMain;
  TTabSheet* tsDetail;          // "详细列表"
  TGrid* cxGrid1;
  TGridTableView* tvResult;     // filter row hint "点击这里定义过滤项"; Tab and Enter move between cells
  TORXcxGridPopupMenu* ppmGrid;
  TLabel* lblSearch;            // "快速搜索："
  TEdit* edtSearch;             // hint "请输入编码、名称、拼音码"
  TCheckBox* chkShowStopped;    // "显示停用记录": unticked hides rows whose F_STATUS is not 0
  TGroupBox* grpFieldQuery;     // "查询字段"
  TComboBox* edtFieldList;      // "精确查询": the columns' captions, their field names as values
  TComboBox* edtOpKind;         // "相等", "大于或等于", "小于或等于", "相似"
  TEdit* edtValue;              // hint "请输入查询值"
  TCheckBox* chkShowFilter;     // "显示过滤框": the grid's filter row
  TAction* actGridConfig;       // "表格布局"

  // --- IBaseEditor ---
  // The text after "SELECT * FROM view WITH(NOLOCK) " (" WHERE ..."), used by the next query.
  void SetFilter(const std::string& filter) override { FFilter = filter; }
  void SetIsMulSelected(bool value) override;
  void GetSelectedRows(TMemTable& rows) override;
  bool IsMulSelected() const { return FIsMulSelected; }

  // A dataset that receives a copy of the chosen rows when the user selects (null: none).
  void SetDataSet(TMemTable* target) { FSelectTarget = target; }
  // The application's record editor of New and Edit; null edits in the grid.
  void SetDataEditor(std::shared_ptr<IBaseDataEditor> editor) { FDataEditor = std::move(editor); }
  // Picker use: "选择(&S)" and "取消(&S)" shown, a double click chooses the row.
  void SetPickerMode(bool picker);
  bool PickerMode() const { return FPickerMode; }

 protected:
  // The filter text of the query.
  virtual std::string GetFilter() { return FFilter; }
  // Initial values of a new row handed to the record editor (none here).
  virtual TFieldValues NewRecordValues() { return {}; }

  // Opens every registered dataset with "SELECT * FROM " + its view + " WITH(NOLOCK) " + GetFilter in one
  // call and shows "查询完成,耗时" + seconds + "秒,共" + rows + "条记录" in the status bar. A failure is
  // shown once as "查询失败" + CR LF + "失败原因：" + the reason, keeps the rows shown before and ends in a
  // silent abort. The query action is enabled again in every case.
  virtual void actQueryExecute(TAction& sender);
  // Queries again (asking first when unsaved changes would be lost) and tips "刷新成功" when it worked.
  virtual void actRefreshExecute(TAction& sender);
  virtual void actGridConfigExecute(TAction& sender);
  void actNewExecute(TAction& sender) override;
  void actEditExecute(TAction& sender) override;
  void actDeleteExecute(TAction& sender) override;
  void actExportExecute(TAction& sender) override;
  void actSaveExecute(TAction& sender) override;
  void actSelectExecute(TAction& sender) override;
  // Writes the registered datasets and a log row per new or changed master row in one transaction.
  void DoSave() override;
  void UpdateActionStatus(TAction* sender) override;
  void FocusField(TField& field) override;

  // The row filter of the quick search and the stopped rows (" " when none).
  std::string RowFilterText() const;
  void ApplyRowFilter();
  // The exact-search bar's criterion on the grid.
  void ApplyExactSearch();
  // Removes the focused master row and its detail rows from the database and from the datasets.
  virtual void DeleteCurrentRecord();
  // Reads a row the record editor saved back into the grid.
  void ShowSavedRecord(int64_t id, bool inserted);

 private:
  void BuildSearchBar();
  void SetUpColumns();
  void FillFieldList();
  TGridColumn* ChosenColumn() const;
  void SetStatusText(const std::string& text);
  void FocusEditingCell();

  std::string FFilter;
  bool FIsMulSelected = false;
  bool FPickerMode = false;
  bool FColumnsReady = false;
  TMemTable* FSelectTarget = nullptr;
  std::shared_ptr<IBaseDataEditor> FDataEditor;
};

// The grid screen of a function for picking rows, kept by the owner (the application when null) and
// reused per caption: a screen of the owner with the caption's pinyin initials as name and the same
// caption is returned as it is; otherwise a new one is made (with a distinct name when another caption
// holds those initials), initialised, given a normal window centred on the main window and put in picker
// mode. A refused or failed initialisation raises, and no screen is kept.
TFrmBaseDBGridEditor* GetBaseGridForm(TComponent* owner, const std::string& caption);

}  // namespace jxc
