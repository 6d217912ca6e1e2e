#pragma once
// The small node editor: name, code and parent of one row of a tree, in a modal window. The parent is
// chosen in a drop-down tree of the rows that leaves out the edited row and its own branch, so a node can
// never become its own ancestor. OK refuses a blank name ("请填写名称") and otherwise posts the row and
// closes with OK; Cancel drops the pending edit and closes with Cancel. Writing to the database is the
// caller's.

#include <string>

#include "foundation/UnitFrmBase.h"

namespace jxc {

class TAction;
class TActionList;
class TButton;
class TClientDataSet;
class TDBEdit;
class TDBTreePopupEdit;
class TDataSet;
class TDataSource;

class TFrmBaseTreePopEditor : public TFrmBase {
 public:
  explicit TFrmBaseTreePopEditor(TComponent* owner = nullptr);
  ~TFrmBaseTreePopEditor() override;
  std::string ClassName() const override { return "TFrmBaseTreePopEditor"; }

  TActionList* alEditor;
  TAction* actOK;      // "确定"
  TAction* actCancel;  // "取消"
  TDBEdit* edtName;
  TDBEdit* edtCode;
  TDBTreePopupEdit* edtParent;
  TButton* btnOK;
  TButton* btnCancel;
  TDataSource* dsMain;           // the edited rows
  TClientDataSet* cdsParent;     // a copy of the rows for the parent choice
  TDataSource* dsParent;

  // Binds the edited dataset (its current row is edited) and copies its rows into the parent list.
  void SetDataSet(TDataSet* dataSet);
  // Stores the title and shows it as the caption.
  void SetTitle(std::string title);
  const std::string& Title() const { return FTitle; }

  void ShowForm() override { Show(); }

 protected:
  virtual void actOKExecute(TAction& sender);
  virtual void actCancelExecute(TAction& sender);

 private:
  void CloseWith(int result);
  std::string FTitle;
};

}  // namespace jxc
