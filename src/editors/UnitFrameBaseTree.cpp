#include "editors/UnitFrameBaseTree.h"

#include "editors/UnitEditorUtils.h"
#include "platform/DBTreeList.h"
#include "platform/DataSource.h"
#include "platform/Menus.h"
#include "platform/Text.h"

namespace jxc {

TFrameBaseTree::TFrameBaseTree(TComponent* owner) : TFrameBase(owner) {
  cdsTree = new TClientDataSet(this);
  cdsTree->SetName("cdsTree");
  dsTree = new TDataSource(this);
  dsTree->SetName("dsTree");
  dsTree->SetDataSet(cdsTree);
  dsTree->AutoEdit = false;

  dbTreeList = NewControl<TDBTreeList>(this, "dbTreeList", pnlContent);
  dbTreeList->Align = TAlign::alClient;
  dbTreeList->SetRootValue(Variant::Null());
  dbTreeList->SetDisplayFields("F_CODE;F_NAME");
  dbTreeList->SetSeparator(" - ");
  dbTreeList->OptionsData.Editing = false;
  dbTreeList->SetDataSource(dsTree);
  dbTreeList->OnClick = [this](TControl&) {
    // A click beside the nodes chooses nothing.
    if (TTreeListNode* node = dbTreeList->ClickedNode()) DoNodeClick(*node);
  };

  ppmTree = new TPopupMenu(this);
  ppmTree->SetName("ppmTree");
  ppmRefresh = ppmTree->Items().AddItem("刷新", [this](TMenuItem&) { RefreshTree(); }, this);
  ppmRefresh->SetName("ppmRefresh");
  dbTreeList->PopupMenu = ppmTree;
}

TFrameBaseTree::~TFrameBaseTree() { dbTreeList->OnClick = nullptr; }

std::string TFrameBaseTree::GetTableName() const { return FTableName.empty() ? FConfig.F_VIEW_DATA : FTableName; }

std::string TFrameBaseTree::GetID() const {
  TTreeListNode* node = dbTreeList->FocusedNode();
  return node && !node->Key().IsNullOrEmpty() ? node->Key().ToString() : "0";
}

void TFrameBaseTree::DoInit() {
  TFrameBase::DoInit();
  OpenTree();
}

void TFrameBaseTree::OpenTree() {
  const std::string table = Trim(GetTableName());
  if (table.empty()) throw Exception("数据表未配置");
  cdsTree->SetIndexFieldNames("F_PARENTID");
  Database().OpenDataSet(*cdsTree, "SELECT F_ID,F_CODE,F_NAME,F_PARENTID FROM " + table + GetFilterStr() +
                                       " ORDER BY F_PARENTID, F_CODE");
}

void TFrameBaseTree::RefreshTree() {
  OpenTree();
  ShowTipMessage(MsgBox.get(), "刷新成功");
}

void TFrameBaseTree::ChooseNode(TTreeListNode& node) {
  dbTreeList->SetFocusedNode(&node);
  DoNodeClick(node);
}

void TFrameBaseTree::DoNodeClick(TTreeListNode& node) {
  if (OnNodeClick) {
    auto handler = OnNodeClick;
    handler(*this, node);
  }
}

}  // namespace jxc
