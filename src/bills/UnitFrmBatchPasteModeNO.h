#pragma once
// The batch paste of serial numbers ("批量串号粘贴"): the user pastes a column of serial numbers (copied
// from a spreadsheet or a supplier's list) into the memo and confirms. Blanks around a number and blank
// lines are dropped, letters become upper case, and a number pasted twice is taken once (the repeat is
// listed as failed). The bill decides about each number through its handler:
//   Prepare  sees every number to decide once, in paste order, before the first decision, so that the bill
//            can read what it needs about all of them in a few statements;
//   Paste    decides one number, with a fresh row identifier for the row it may make, in paste order.
// A number the bill refuses (Paste returns false, or raises) goes to the failed box with its reason; the
// numbers taken stay in the bill whatever happens to the others. A summary "批量粘贴成功N条,失败M条"
// counts both. The dialog closes (OK) when nothing failed and stays open on the failed list otherwise;
// nothing pasted at all closes it without a word.
//
// What a caller may rely on: Paste is called once per distinct number, never for a blank one and never
// after Prepare raised; an error raised by Prepare ends the paste before any number is decided.

#include <functional>
#include <string>
#include <vector>

#include "foundation/UnitFrmBaseDlg.h"

namespace jxc {

class TMemo;
class TProgressBar;

struct TModeNOPasteHandler {
  // Every number the paste will decide, upper case, without repeats, in paste order. May be null.
  std::function<void(const std::vector<std::string>& modeNOs)> Prepare;
  // Takes one number into the bill: true when taken; false (with the reason, when there is one) when not.
  // An error it raises refuses the number with the error's message as the reason.
  using TPaste = std::function<bool(const std::string& rowID, const std::string& modeNO, std::string& reason)>;
  TPaste Paste;
};

class TFrmBatchPasteModeNO : public TFrmBaseDlg {
 public:
  explicit TFrmBatchPasteModeNO(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TFrmBatchPasteModeNO"; }

  TGroupBox* grpModeNO;       // "批量串号粘贴"
  TMemo* mmoModeNO;           // what the user pastes; letters upper case
  TGroupBox* grpFailed;       // "批量粘贴失败串号"
  TMemo* mmo2;                // the failed numbers, one a line with its reason; read-only, letters lower case
  TProgressBar* ProgressBar;  // hidden until the work starts

  // Set by the opener before the dialog is shown; without a Paste function OK does nothing.
  void SetPasteHandler(TModeNOPasteHandler handler) { FHandler = std::move(handler); }

  // What the last OK did.
  struct TFailedModeNO {
    std::string ModeNO;  // as pasted (a repeat) or as decided (upper case)
    std::string Reason;  // "" when the bill gave none
  };
  int SuccessCount() const { return FSuccessCount; }
  const std::vector<TFailedModeNO>& Failed() const { return FFailed; }

  // How many numbers pass between two turns of the message pump while the dialog works.
  static constexpr int PumpEvery = 200;

 protected:
  void actOKExecute() override;
  void DoShow() override;

 private:
  // The numbers of the memo to decide, in paste order; repeats go to the failed list.
  std::vector<std::string> TakeModeNOs();
  void Fail(std::string modeNO, std::string reason);
  void Step(int done);

  TModeNOPasteHandler FHandler;
  int FSuccessCount = 0;
  std::vector<TFailedModeNO> FFailed;
};

// Shows the paste dialog modally, owned by owner, with the handler; returns the dialog's modal result
// (mrOk once everything pasted was taken or nothing was pasted, else mrCancel). The dialog is freed.
int ShowBatchPasteModeNO(TComponent* owner, TModeNOPasteHandler handler);

}  // namespace jxc
