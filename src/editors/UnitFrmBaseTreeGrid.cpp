#include "editors/UnitFrmBaseTreeGrid.h"

#include "editors/UnitFrameBaseTree.h"
#include "platform/DBTreeList.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"

namespace jxc {

namespace {
constexpr int kTreeWidth = 250;
}

TFrmBaseTreeGrid::TFrmBaseTreeGrid(TComponent* owner) : TFrmBaseDBGridEditor(owner) {
  SetCaption("FrmBaseTreeGrid");
  FrameBaseTree1 = new TFrameBaseTree(this);
  FrameBaseTree1->SetName("FrameBaseTree1");
  FrameBaseTree1->SetParent(this);
  FrameBaseTree1->Align = TAlign::alLeft;
  FrameBaseTree1->Width = kTreeWidth;
  auto* splitter = new TSplitter(this);
  splitter->SetParent(this);
  splitter->Align = TAlign::alLeft;
  FrameBaseTree1->OnNodeClick = [this](TFrameBaseTree&, TTreeListNode& node) { TreeNodeClick(node); };
}

TFrmBaseTreeGrid::~TFrmBaseTreeGrid() { FrameBaseTree1->OnNodeClick = nullptr; }

void TFrmBaseTreeGrid::UILeftConfig(const TUIConfig& config) {
  TUIConfig tree = config;
  if (Trim(tree.F_VIEW_DATA).empty()) tree.F_VIEW_DATA = FormParams.F_Data;
  FrameBaseTree1->SetMainDataSet(cdsMain);
  FrameBaseTree1->SetConfig(tree);
  FrameBaseTree1->DoInit();
}

void TFrmBaseTreeGrid::TreeNodeClick(TTreeListNode& node) {
  if (node.Key().IsNullOrEmpty()) return;
  const std::string id = IntToStr(node.Key().AsInt64());
  FNodeFilter = "F_ID=" + id + " or F_PARENTID =" + id;
  ApplyRowFilter();
}

std::string TFrmBaseTreeGrid::RowFilterText() const {
  const std::string rows = TFrmBaseDBGridEditor::RowFilterText();
  if (FNodeFilter.empty()) return rows;
  if (rows.empty()) return FNodeFilter;
  return "(" + FNodeFilter + ") AND (" + rows + ")";
}

void TFrmBaseTreeGrid::cdsMainNewRecord(TDataSet& dataSet) {
  TFrmBaseDBGridEditor::cdsMainNewRecord(dataSet);
  if (TField* parent = dataSet.FindField("F_PARENTID")) parent->SetAsString(FrameBaseTree1->GetID());
}

}  // namespace jxc
