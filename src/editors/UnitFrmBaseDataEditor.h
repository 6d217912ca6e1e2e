#pragma once
// The record editor: a window that adds or edits one row of its screen's table and reports the result to
// its caller through a callback. Its caption names the function (the screen whose table it edits), whose
// row in TB_SYS_FUNCTION gives the table and whose mandatory fields the check applies. The application's
// editors derive from it, place their data-aware controls on dsMain and, where a table needs more, replace
// the query, check and save steps.
//
// OK saves and closes; Copy-add saves and starts the next record as a copy of the saved one (its F_ID,
// F_CODE and F_NAME take new-record values); Cancel asks before it drops changes. A refused or failed save
// keeps the window open with the user's values in edit, and the callback is not called.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editors/uBaseDataIntf.h"
#include "foundation/DBIntf.h"
#include "foundation/UnitFrmBase.h"

namespace jxc {

class TAction;
class TActionList;
class TButton;
class TDataSource;
class TLookupComboBox;

class TFrmBaseDataEditor : public TFrmBase, public IDataEditor {
 public:
  explicit TFrmBaseDataEditor(TComponent* owner = nullptr);
  ~TFrmBaseDataEditor() override;
  std::string ClassName() const override { return "TFrmBaseDataEditor"; }

  // --- components, owned by the editor ---
  TActionList* alEditor;
  TAction* actOK;       // "确定(&O)"
  TAction* actCancel;   // "取消(&C)"
  TAction* actCopyAdd;  // "复制新增(&A)"
  TButton* btnOK;
  TButton* btnCancel;
  TButton* btnCopyAdd;
  TClientDataSet* cdsMain;  // the edited record
  TDataSource* dsMain;

  std::shared_ptr<IDBAccess> DBAccess;

  // --- the function row, read by DoInit ---
  const std::string& F_ID() const { return FID; }
  const std::string& F_CODE() const { return FCode; }
  const std::string& F_GRID_NAME() const { return FGridName; }
  const std::string& F_DATA() const { return FData; }
  const std::string& F_TABLENAME() const { return FTableName; }

  // --- IDataEditor ---
  // Reads the function row with the data editor's statement through the local database.
  void DoInit() override;
  // Opens the row with the identifier, or appends a new record (with its defaults, then the values) when
  // there is none.
  void DoAdd(int64_t id, const TFieldValues& values, TDataEditorCallback callback) override;
  // Opens the row with the identifier in edit; raises "记录不存在" when there is none.
  void DoEdit(int64_t id, TDataEditorCallback callback) override;
  // "SELECT * FROM " + the table + " WHERE F_ID = " + the identifier, into cdsMain.
  void DoQuery(int64_t id) override;
  // The name and mandatory-field checks of the editors (editors/UnitRecordCheck.h).
  void DoCheck() override;
  // Writes cdsMain to the table; true when the write reports 0 rows or more.
  bool DoSave() override;
  TDataSet* GetDataSet() override { return cdsMain; }

  // --- helpers of the application's editors ---
  // A list for a look-up box: a dataset and data source owned by the editor, opened with the SELECT.
  void GetLookupData(TLookupComboBox& lookupBox, const std::string& sql);
  // The field's values from the first row to the last, appended to the strings.
  static void DataSetFillList(TDataSet& dataSet, const std::string& fieldName, std::vector<std::string>& strings);
  // Full-width characters (U+FF01 to U+FF5E and the ideographic space) as their half-width forms.
  static std::string SbcToDbc(std::string_view text);

  void ShowForm() override { Show(); }

 protected:
  virtual void actOKExecute(TAction& sender);
  virtual void actCancelExecute(TAction& sender);
  virtual void actCopyAddExecute(TAction& sender);
  virtual void cdsMainNewRecord(TDataSet& dataSet);
  // The steps of OK and Copy-add: the controls hand over what was typed, the record is checked, posted and
  // written; "保存成功" and the callback follow. A refusal or a failure shows its message, puts the record
  // back in edit with the user's values and ends in a silent abort.
  void SaveRecord();
  // True when the record holds changes not yet written.
  bool HasChanges() const;
  // The table the record is read from and written to: F_TABLENAME, else F_DATA.
  std::string Table() const;

  TDataEditorCallback FCallback;

 private:
  void CloseWith(int result);

  std::string FID, FCode, FGridName, FData, FTableName;
};

// Opens an application's record editor for a screen's table: makes the editor with the creator, owned by
// the given owner, gives it the screen's caption, initialises it, shows it modally and frees it when it
// closes. True when the user saved at least one record.
class TDataEditorLauncher : public IBaseDataEditor {
 public:
  using Creator = std::function<TFrmBaseDataEditor*(TComponent* owner)>;
  TDataEditorLauncher(std::string caption, Creator creator);

  bool AddRecord(TComponent* owner, const TFieldValues& values, const TDataEditorCallback& callback) override;
  bool EditRecord(TComponent* owner, int64_t id, const TDataEditorCallback& callback) override;

 private:
  bool Run(TComponent* owner, const std::function<void(TFrmBaseDataEditor&, const TDataEditorCallback&)>& open,
           const TDataEditorCallback& callback);

  std::string caption_;
  Creator creator_;
};

}  // namespace jxc
