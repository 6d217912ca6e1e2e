#include "editors/UnitFrameShopTree.h"

#include <unordered_map>
#include <unordered_set>

#include "editors/UnitEditorUtils.h"
#include "foundation/ProgressFormIntf.h"
#include "foundation/UnitPublicUtils.h"
#include "kernel/SysSvc.h"
#include "platform/DBTreeList.h"
#include "platform/DataSet.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"

namespace jxc {

TFrameShopTree::TFrameShopTree(TComponent* owner) : TFrameBaseTree(owner) {
  btnByRegion = NewControl<TButton>(this, "btnByRegion", grpContent);
  btnByRegion->SetCaption("按地区");
  btnByRegion->OnClick = [this](TControl&) { ChangeGroup(TShopTreeGroup::ByRegion); };
  btnByShop = NewControl<TButton>(this, "btnByShop", grpContent);
  btnByShop->SetCaption("按店铺");
  btnByShop->OnClick = [this](TControl&) { ChangeGroup(TShopTreeGroup::ByShop); };
}

std::string TFrameShopTree::UserShop() const {
  const std::string shop = UserInfo ? Trim(UserInfo->DefaultShopID()) : std::string();
  const std::optional<int64_t> id = TryStrToInt64(shop);
  if (!id) throw Exception("当前用户没有所属店铺, 不能读取店铺资料");
  return IntToStr(*id);
}

void TFrameShopTree::ChangeGroup(TShopTreeGroup group) {
  if (group == FGroup && cdsTree->Active()) return;
  FGroup = group;
  DoInit();
}

void TFrameShopTree::DoInit() {
  SetTableName(FGroup == TShopTreeGroup::ByShop ? "TB_SHOP" : "TB_PROVINCE");
  TFrameBaseTree::DoInit();
}

std::string TFrameShopTree::GetFilterStr() {
  if (FGroup == TShopTreeGroup::ByShop)
    return " WHERE F_ID IN (  SELECT  F_ID FROM FUNC_GET_SHOP_CHILD_LIST(" + UserShop() + "))";
  const std::string userShops = "SELECT F_ID FROM FUNC_GET_SHOP_CHILD_LIST(" + UserShop() + ")";
  // Regions are no shops: the regions that hold the user's shops, with every region above them so that
  // the tree keeps its shape.
  std::unique_ptr<TClientDataSet> holding =
      Database().OpenSQL("SELECT DISTINCT F_PROVINCE_ID FROM TB_SHOP WHERE F_PROVINCE_ID IS NOT NULL AND F_ID IN (" + userShops + ")");
  std::unique_ptr<TClientDataSet> regions = Database().OpenSQL("SELECT F_ID, F_PARENTID FROM TB_PROVINCE");
  std::unordered_map<int64_t, int64_t> parentOf;
  for (regions->First(); !regions->Eof(); regions->Next()) {
    const TField& parent = regions->Fields(1);
    parentOf[regions->Fields(0).AsLargeInt()] = parent.IsNull() ? 0 : parent.AsLargeInt();
  }
  std::unordered_set<int64_t> shown;
  std::string list;
  for (holding->First(); !holding->Eof(); holding->Next()) {
    for (int64_t region = holding->Fields(0).AsLargeInt(); region != 0 && parentOf.count(region) && shown.insert(region).second;
         region = parentOf[region])
      list += (list.empty() ? "" : ",") + IntToStr(region);
  }
  return list.empty() ? std::string(" WHERE 1 = 0") : " WHERE F_ID IN (" + list + ")";
}

std::string TFrameShopTree::ShopsOfNode(const std::string& nodeID) const {
  if (FGroup == TShopTreeGroup::ByShop)
    return "SELECT b.* FROM FUNC_GET_SHOP_CHILD_LIST(" + nodeID + ") a, TB_SHOP b WHERE a.F_ID = b.F_ID";
  return "SELECT b.* FROM FUNC_GET_PROVINCE_CHILD_LIST(" + nodeID +
         ") a, TB_SHOP b WHERE a.F_ID = b.F_PROVINCE_ID  AND b.F_ID IN (  SELECT  F_ID FROM FUNC_GET_SHOP_CHILD_LIST(" +
         UserShop() + "))";
}

void TFrameShopTree::DoNodeClick(TTreeListNode& node) {
  TFrameBaseTree::DoNodeClick(node);
  if (!FMainDataSet || node.Key().IsNullOrEmpty()) return;
  const bool pending = FMainDataSet->State() == dsEdit || FMainDataSet->State() == dsInsert ||
                       (FMainDataSet->Active() && FMainDataSet->ChangeCount() > 0);
  if (pending && !ConfirmMessage(MsgBox.get(), "提示", "您正在编辑数据,是否继续?")) return;
  const std::string statement = ShopsOfNode(IntToStr(node.Key().AsInt64()));
  std::shared_ptr<IProgressForm> progress = SysService::Get<IProgressForm>();
  if (progress) progress->ShowProgress("正在查询数据,请稍候...");
  try {
    if (FMainDataSet->State() == dsEdit || FMainDataSet->State() == dsInsert) FMainDataSet->Cancel();
    Database().OpenDataSet(*FMainDataSet, statement);
  } catch (...) {
    if (progress) progress->HideProgress();
    throw;
  }
  if (progress) progress->HideProgress();
}

}  // namespace jxc
