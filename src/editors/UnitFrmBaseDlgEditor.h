#pragma once
// The dialog-style record editor: its editors are bound through dsMain to a record of the opener's
// dataset. OK saves and closes; Copy-add saves and appends the next record as a copy of the saved one,
// every field copied but F_ID, F_CODE and F_NAME, which keep the values the dataset gives a new record;
// Back runs the opener's back callback and closes. Enter moves to the next control (a memo keeps it).
//
// The save steps post the record and, when an update table is set, write the dataset's changes to it. A
// failed save shows "保存失败" with the reason, keeps the record as it was and appends nothing.

#include <functional>
#include <memory>
#include <string>

#include "foundation/UnitFrmBaseDlg.h"

namespace jxc {

class TDataSet;
class TDataSource;
class TLabel;

class TFrmBaseDlgEditor : public TFrmBaseDlg {
 public:
  explicit TFrmBaseDlgEditor(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TFrmBaseDlgEditor"; }

  TAction* actCopyAdd;  // "复制新增(&A)"
  TAction* actBack;     // "返回"
  TButton* btnCopyAdd;
  TLabel* lblTitle;
  TDataSource* dsMain;

  // The title shown above the editors (also the window's caption).
  void SetDisplayTitle(const std::string& title);
  const std::string& DisplayTitle() const { return FDisplayTitle; }
  // The table the save steps write the dataset to ("" writes nothing to the database).
  void SetUpdateTable(std::string table) { FUpdateTable = std::move(table); }
  const std::string& UpdateTable() const { return FUpdateTable; }
  // The dataset whose current record the editors show.
  void SetDataSet(TDataSet* dataSet);
  TDataSet* DataSet() const;

  // Run when the dialog is shown and when the user goes back.
  std::function<void(TFrmBaseDlgEditor& editor)> OnShowCallback;
  std::function<void(TFrmBaseDlgEditor& editor)> OnBackCallback;

 protected:
  // The save steps: true when the record was posted (and written). A failure is shown and gives false.
  virtual bool DoSave();
  virtual void actCopyAddExecute(TAction& sender);
  virtual void actBackExecute(TAction& sender);
  // Saves, then confirms the dialog; a failed save keeps it open.
  void actOKExecute() override;
  void DoShow() override;

 private:
  std::string FDisplayTitle;
  std::string FUpdateTable;
};

}  // namespace jxc
