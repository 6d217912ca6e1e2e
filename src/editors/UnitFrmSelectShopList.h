#pragma once
// The shop picker: the user's shop tree on the left and, on the right, the shops of the node clicked,
// each with a tick (all ticked when the list is filled; only the first without multiple selection). OK
// stores the ticked shops in UserInfo.ShopListEx as identifiers joined by "," and closes; with no shop
// ticked it refuses ("请选择店铺"). Grouped by shop, the clicked shop comes first when it is ticked; grouped
// by region only ticked shops are stored, never the region itself.

#include <string>

#include "foundation/UnitFrmBase.h"

namespace jxc {

class TAction;
class TActionList;
class TButton;
class TCheckListBox;
class TClientDataSet;
class TFrameShopTree;

class TFrmSelectShopList : public TFrmBase {
 public:
  explicit TFrmSelectShopList(TComponent* owner = nullptr);
  ~TFrmSelectShopList() override;
  std::string ClassName() const override { return "TFrmSelectShopList"; }

  TFrameShopTree* FrameShopTree1;
  TCheckListBox* chkShopList;
  TClientDataSet* cdsShopList;  // the shops of the node clicked
  TActionList* alSelect;
  TAction* actOK;      // "确定"
  TAction* actCancel;  // "取消"
  TButton* btnOK;
  TButton* btnCancel;

  void SetMultSelected(bool value);
  bool MultSelected() const { return FMultSelected; }
  // The shop whose node is clicked when the picker first opens ("": the user's own shop).
  void SetID(std::string id) { FShopID = std::move(id); }
  // The ticked shops as the list to store (see the top of this unit); "" when none is ticked. A list
  // that is not empty is stored in UserInfo.ShopListEx.
  std::string GetSelectList();

  // On the first call the tree is read and the starting shop's node clicked.
  void DoOnShow() override;
  void ShowForm() override { Show(); }

 protected:
  virtual void actOKExecute(TAction& sender);

 private:
  void RebuildList();
  void ClickStartNode();
  bool FMultSelected = true;
  bool FStarted = false;
  std::string FShopID;
};

// The application's shop picker "FrmSelectShopList", made (and started) when there is none.
TFrmSelectShopList* GetSelectShopList();
// Shows the picker modally with the selection mode; its modal result.
int ShowSelectShopList(bool multiSelect);

}  // namespace jxc
