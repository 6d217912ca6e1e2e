#include "editors/UnitFrmSelectShopList.h"

#include <any>

#include "editors/UnitEditorUtils.h"
#include "editors/UnitFrameShopTree.h"
#include "foundation/UnitPublicUtils.h"
#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/DBTreeList.h"
#include "platform/DataSet.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"

namespace jxc {

TFrmSelectShopList::TFrmSelectShopList(TComponent* owner) : TFrmBase(owner) {
  SetCaption("选择店铺");
  Position = TPosition::poMainFormCenter;
  cdsShopList = new TClientDataSet(this);
  cdsShopList->SetName("cdsShopList");
  cdsShopList->AfterOpen = [this](TDataSet&) { RebuildList(); };

  FrameShopTree1 = new TFrameShopTree(this);
  FrameShopTree1->SetName("FrameShopTree1");
  FrameShopTree1->SetParent(this);
  FrameShopTree1->Align = TAlign::alLeft;
  chkShopList = NewControl<TCheckListBox>(this, "chkShopList", this);
  chkShopList->Align = TAlign::alClient;
  chkShopList->OnClickCheck = [this](TCheckListBox& list, int index) {
    // One shop at a time without multiple selection.
    if (FMultSelected || !list.Checked(index)) return;
    for (int i = 0; i < list.Count(); ++i)
      if (i != index) list.SetChecked(i, false);
  };

  alSelect = new TActionList(this);
  alSelect->SetName("alSelect");
  actOK = alSelect->AddAction("actOK", "确定");
  actOK->OnExecute = [this](TAction& sender) { actOKExecute(sender); };
  actCancel = alSelect->AddAction("actCancel", "取消");
  actCancel->OnExecute = [this](TAction&) {
    SetModalResult(mrCancel);
    if (!Modal()) Close();
  };
  btnOK = NewControl<TButton>(this, "btnOK", this);
  btnOK->SetAction(actOK);
  btnCancel = NewControl<TButton>(this, "btnCancel", this);
  btnCancel->SetAction(actCancel);
}

TFrmSelectShopList::~TFrmSelectShopList() {
  cdsShopList->AfterOpen = nullptr;
  chkShopList->OnClickCheck = nullptr;
}

void TFrmSelectShopList::SetMultSelected(bool value) {
  FMultSelected = value;
  if (!value) {
    bool first = true;
    for (int i = 0; i < chkShopList->Count(); ++i) {
      if (chkShopList->Checked(i) && first) first = false;
      else chkShopList->SetChecked(i, false);
    }
  }
}

void TFrmSelectShopList::DoOnShow() {
  TFrmBase::DoOnShow();
  if (FStarted) return;
  FrameShopTree1->SetMainDataSet(cdsShopList);
  FrameShopTree1->DoInit();
  FStarted = true;
  ClickStartNode();
}

void TFrmSelectShopList::ClickStartNode() {
  TDBTreeList& tree = *FrameShopTree1->dbTreeList;
  std::string shop = Trim(FShopID);
  if (shop.empty() && UserInfo) shop = UserInfo->DefaultShopID();
  TTreeListNode* node = nullptr;
  if (FrameShopTree1->Group() == TShopTreeGroup::ByShop)
    if (std::optional<int64_t> id = TryStrToInt64(shop)) node = tree.FindNodeByKey(Variant(static_cast<long long>(*id)));
  if (!node && tree.TopCount() > 0) node = tree.TopNodes().front();
  if (node) FrameShopTree1->ChooseNode(*node);
}

void TFrmSelectShopList::RebuildList() {
  chkShopList->Clear();
  if (!cdsShopList->Active()) return;
  TField& id = cdsShopList->FieldByName("F_ID");
  TField& name = cdsShopList->FieldByName("F_NAME");
  for (cdsShopList->First(); !cdsShopList->Eof(); cdsShopList->Next()) {
    const int index = chkShopList->Add(name.AsString(), std::any(id.AsLargeInt()));
    chkShopList->SetChecked(index, FMultSelected || index == 0);
  }
  cdsShopList->First();
}

std::string TFrmSelectShopList::GetSelectList() {
  std::vector<int64_t> shops;
  auto add = [&shops](int64_t shop) {
    for (int64_t listed : shops)
      if (listed == shop) return;
    shops.push_back(shop);
  };
  std::vector<int64_t> ticked;
  for (int i = 0; i < chkShopList->Count(); ++i)
    if (chkShopList->Checked(i)) ticked.push_back(std::any_cast<int64_t>(chkShopList->Items(i).Data));
  // Grouped by shop the clicked shop leads the list; a region is never a shop.
  if (FrameShopTree1->Group() == TShopTreeGroup::ByShop) {
    const std::optional<int64_t> node = TryStrToInt64(FrameShopTree1->GetID());
    for (int64_t shop : ticked)
      if (node && shop == *node) add(shop);
  }
  for (int64_t shop : ticked) add(shop);
  std::string list;
  for (int64_t shop : shops) list += (list.empty() ? "" : ",") + IntToStr(shop);
  if (!list.empty() && UserInfo) UserInfo->SetShopListEx(list);
  return list;
}

void TFrmSelectShopList::actOKExecute(TAction&) {
  if (GetSelectList().empty()) {
    ShowWarningMessage(MsgBox.get(), "请选择店铺");
    Abort();
  }
  SetModalResult(mrOk);
  if (!Modal()) Close();
}

TFrmSelectShopList* GetSelectShopList() {
  if (auto* found = dynamic_cast<TFrmSelectShopList*>(Application().FindComponent("FrmSelectShopList"));
      found && !found->Released())
    return found;
  std::unique_ptr<TFrmSelectShopList> made(CreateForm<TFrmSelectShopList>(&Application()));
  made->SetName("FrmSelectShopList");
  made->DoOnShow();
  return made.release();
}

int ShowSelectShopList(bool multiSelect) {
  TFrmSelectShopList* picker = GetSelectShopList();
  picker->SetMultSelected(multiSelect);
  return picker->ShowModal();
}

}  // namespace jxc
