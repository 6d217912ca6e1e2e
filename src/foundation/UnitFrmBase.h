#pragma once
// The root of every screen. A screen's identity is its caption: rights are asked with it and its
// configuration row is found by it. The opener creates the screen (which obtains the dialog and cache
// services), sets the caption, hands in ID, SysFuncID, OperaRights, GroupRights and CacheHelper, calls
// DoOnShow once and shows the screen with ShowForm (inside the main window) or ShowModelForm (modal).
//
// A service the locator cannot supply leaves its field null; the screens that use one say what they do
// without it. Closing a child window of the main window frees the screen; any other screen is hidden and
// its opener frees it.

#include <memory>
#include <string>

#include "foundation/CacheIntf.h"
#include "foundation/DialogIntf.h"
#include "foundation/RightsIntf.h"
#include "platform/Forms.h"

namespace jxc {

class TActionList;
class TDataSet;

class TFrmBase : public TForm {
 public:
  explicit TFrmBase(TComponent* owner = nullptr);
  ~TFrmBase() override;
  std::string ClassName() const override { return "TFrmBase"; }

  // --- what the opener hands in; each setter only stores its argument ---
  const std::string& ID() const { return FID; }
  void SetID(std::string value) { FID = std::move(value); }
  const std::shared_ptr<ICache>& CacheHelper() const { return FCacheHelper; }
  void SetCacheHelper(std::shared_ptr<ICache> value) { FCacheHelper = std::move(value); }
  const std::string& OperaRights() const { return FOperaRights; }
  void SetOperaRights(std::string value) { FOperaRights = std::move(value); }
  const std::string& SysFuncID() const { return FSysFuncID; }
  void SetSysFuncID(std::string value) { FSysFuncID = std::move(value); }
  const std::shared_ptr<IGroupRights>& GroupRights() const { return FGroupRights; }
  void SetGroupRights(std::shared_ptr<IGroupRights> value) { FGroupRights = std::move(value); }

  // --- the screen's operations, in the order descendants override them ---
  // The screen itself.
  virtual TCustomForm* GetInstance();
  // Shows the screen inside the main window. Every concrete screen implements it; calling it on a class
  // that does not raises EAbstractError.
  virtual void ShowForm();
  // Shows the screen modally and returns its modal result.
  virtual int ShowModelForm();
  // The screen's main dataset; null here.
  virtual TDataSet* GetMainDataSet();
  // The screen's action list; null here.
  virtual TActionList* GetActionList();
  // The screen's initialisation, run once by the opener before showing; nothing here. Overrides call
  // the inherited one first.
  virtual void DoOnShow();
  // Opens the record with that identifier / code; nothing here.
  virtual void ViewRecordByID(const std::string& id);
  virtual void ViewRecordByCode(const std::string& code);

  // The dialog service: every message of a derived screen goes through it. Null when the host has none.
  std::shared_ptr<IDialog> MsgBox;

 protected:
  // Creation: obtains the dialog service into MsgBox and the cache service into CacheHelper from the
  // service locator. Overrides call the inherited one first.
  virtual void FormCreate();
  // Closing: a child window of the main window is freed; other screens keep the proposed action.
  virtual void FormClose(TCloseAction& action);

  void DoCreate() override;
  void DoClose(TCloseAction& action) override;

 private:
  std::string FID;
  std::shared_ptr<ICache> FCacheHelper;
  std::string FOperaRights;
  std::string FSysFuncID;
  std::shared_ptr<IGroupRights> FGroupRights;
};

}  // namespace jxc
