#include "editors/UnitFrameOwnerShopList.h"

#include "editors/UnitEditorUtils.h"
#include "foundation/HostServicesIntf.h"
#include "kernel/SysSvc.h"
#include "platform/Actions.h"
#include "platform/DataSource.h"
#include "platform/Grid.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"

namespace jxc {

TFrameOwnerShopList::TFrameOwnerShopList(TComponent* owner) : TFrameBase(owner) {
  cdsShopList = new TClientDataSet(this);
  cdsShopList->SetName("cdsShopList");
  dsShopList = new TDataSource(this);
  dsShopList->SetName("dsShopList");
  dsShopList->SetDataSet(cdsShopList);
  cdsShops = new TClientDataSet(this);
  cdsShops->SetName("cdsShops");
  dsShops = new TDataSource(this);
  dsShops->SetName("dsShops");
  dsShops->SetDataSet(cdsShops);

  grdShops = NewControl<TGrid>(this, "grdShops", pnlContent);
  grdShops->Align = TAlign::alClient;
  tvShops = grdShops->CreateView<TGridTableView>(this);
  tvShops->SetName("tvShops");
  tvShops->DataController().SetDataSource(dsShopList);
  tvShops->OptionsData.Editing = false;
  TGridColumn* shop = tvShops->CreateColumn("F_SHOP_ID", "店铺");
  shop->Properties.Kind = TGridEditorKind::Lookup;
  shop->Properties.ListSource = dsShops;
  shop->Properties.KeyFieldNames = "F_ID";
  shop->Properties.ListFieldNames = "F_NAME";
  tvShops->CreateColumn("F_SHARED", "共享")->Properties.Kind = TGridEditorKind::Check;

  alShops = new TActionList(this);
  alShops->SetName("alShops");
  actAddShop = alShops->AddAction("actAddShop", "添加店铺");
  actAddShop->OnExecute = [this](TAction&) { AddShops(); };
  actDeleteShop = alShops->AddAction("actDeleteShop", "删除店铺");
  actDeleteShop->OnExecute = [this](TAction&) { DoDelete(); };
}

void TFrameOwnerShopList::DoInit() {
  TFrameBase::DoInit();
  Database().OpenDataSet(*cdsShops, "SELECT F_ID, F_CODE, F_NAME FROM TB_SHOP");
}

std::string TFrameOwnerShopList::MasterID() const {
  if (!FMainDataSet || !FMainDataSet->Active()) return {};
  const TField* id = FMainDataSet->FindField("F_ID");
  return id && !id->IsNull() ? id->AsString() : std::string();
}

void TFrameOwnerShopList::DoShow() {
  TFrameBase::DoShow();
  if (Trim(FUpdatingTable).empty()) throw Exception("查询表名不能为空");
  Database().OpenDataSet(*cdsShopList, "SELECT * FROM " + FUpdatingTable + " WHERE F_MID =" + QuotedStr(MasterID()));
}

void TFrameOwnerShopList::AddShops() {
  const std::string master = MasterID();
  if (master.empty()) throw Exception("没有正在编辑的记录");
  if (!cdsShopList->Active()) DoShow();
  std::shared_ptr<IShopSelector> selector = SysService::Get<IShopSelector>();
  if (!selector) throw Exception("没有店铺选择服务");
  selector->SelectShops(this, nullptr, [this, &master](TDataSet& chosen) {
    TField& chosenID = chosen.FieldByName("F_ID");
    for (chosen.First(); !chosen.Eof(); chosen.Next()) {
      const Variant shop = chosenID.Value();
      if (shop.IsNull() || cdsShopList->Locate("F_SHOP_ID", shop)) continue;  // listed already
      cdsShopList->Append();
      cdsShopList->FieldByName("F_ID").SetAsString(Database().GetNewID(FUpdatingTable));
      cdsShopList->FieldByName("F_MID").SetAsString(master);
      cdsShopList->FieldByName("F_SHOP_ID").SetValue(shop);
      if (TField* shared = cdsShopList->FindField("F_SHARED")) shared->SetAsBoolean(false);
      cdsShopList->Post();
    }
  }, true);
}

void TFrameOwnerShopList::DoDelete() {
  if (!cdsShopList->Active() || cdsShopList->IsEmpty()) return;
  cdsShopList->Delete();
}

bool TFrameOwnerShopList::DoSave() {
  if (!cdsShopList->Active()) return true;
  return Database().ApplyUpdates(*cdsShopList, FUpdatingTable) >= 0;
}

void TFrameOwnerShopList::DoCancel() {
  if (cdsShopList->Active()) cdsShopList->CancelUpdates();
}

TFrameOwnerShopList* GetOwnerShopList(TComponent* owner, TWinControl* parent, TClientDataSet* master,
                                      const std::string& tableName) {
  if (Trim(tableName).empty()) throw Exception("查询表名不能为空");
  auto* frame = new TFrameOwnerShopList(owner);
  try {
    frame->SetName("FrameOwnerShopList");
    frame->SetParent(parent);
    frame->Align = TAlign::alClient;
    frame->SetUpdatingTable(tableName);
    frame->SetMainDataSet(master);
    frame->DoInit();
    frame->DoShow();
  } catch (...) {
    delete frame;
    throw;
  }
  return frame;
}

}  // namespace jxc
