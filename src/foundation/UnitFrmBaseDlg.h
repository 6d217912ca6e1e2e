#pragma once
// The base of the package's dialogs. A dialog is shown modally, previews keys (Enter moves to the next
// control except in a memo, where it breaks the line) and closes with isOK 1 after OK and 2 after Cancel,
// which is also its modal result. Its once-only initialisation is deferred: actInit starts the timer
// startTime, which fires once 500 ms later; descendants override startTimeTimer, call the inherited one
// first and do their initialisation there.

#include "foundation/UnitFrmBase.h"

namespace jxc {

class TAction;
class TActionList;
class TButton;
class TGroupBox;
class TPanel;
class TTimer;

class TFrmBaseDlg : public TFrmBase {
 public:
  explicit TFrmBaseDlg(TComponent* owner = nullptr);
  ~TFrmBaseDlg() override;
  std::string ClassName() const override { return "TFrmBaseDlg"; }

  // 0 while shown, 1 once confirmed, 2 once cancelled. Setting it also sets the modal result, which
  // ends a modal show.
  int isOK() const { return FisOK; }
  void SetisOK(int value);

  // --- components, owned by the dialog ---
  TGroupBox* grpOperation;  // bottom group holding the buttons
  TButton* btnOK;           // runs actOK
  TButton* btnCancel;       // runs actCancel
  TPanel* pnlBottom;        // bottom spacer, 7 high
  TActionList* ActionDlg;
  TAction* actInit;    // "初始化": starts startTime
  TAction* actOK;      // "确定(&Y)", image 1: isOK := 1
  TAction* actCancel;  // "取消(&C)", image 0: isOK := 2
  TAction* actCheck;   // "检查数据": no handler here; descendants attach their validation
  TAction* actSave;    // "actSave": no handler here
  TTimer* startTime;   // 500 ms, off until actInit

  // A dialog reference for descendants; never set here.
  TFrmBaseDlg* frmQuery = nullptr;

 protected:
  virtual void actInitExecute();
  virtual void actOKExecute();
  virtual void actCancelExecute();
  // The deferred start: stops startTime, so that it fires once.
  virtual void startTimeTimer();

  void DoShow() override;
  // Enter outside a memo becomes code 10 and a Tab key-down is posted, moving to the next control.
  void KeyPress(char32_t& key) override;

 private:
  int FisOK = 0;
};

}  // namespace jxc
