#pragma once
// A grid editor with a tree on its left (shops by their parent shop, products by category): a click on a
// node narrows the grid to the node's own row and the rows directly below it, together with the quick
// search; a new row is placed below the focused node. The tree's table is the left region's configured
// data, else the screen's own data.

#include <string>

#include "editors/UnitFrmBaseDBGridEditor.h"

namespace jxc {

class TFrameBaseTree;
class TTreeListNode;

class TFrmBaseTreeGrid : public TFrmBaseDBGridEditor {
 public:
  explicit TFrmBaseTreeGrid(TComponent* owner = nullptr);
  ~TFrmBaseTreeGrid() override;
  std::string ClassName() const override { return "TFrmBaseTreeGrid"; }

  TFrameBaseTree* FrameBaseTree1;

  // The node filter of the grid: "F_ID=<id> or F_PARENTID =<id>" ("" before a node was clicked).
  const std::string& NodeFilter() const { return FNodeFilter; }

 protected:
  // The tree takes the left region's configuration and the master dataset, and reads its rows.
  void UILeftConfig(const TUIConfig& config) override;
  // The base defaults, then F_PARENTID := the focused node's F_ID ("0" with none).
  void cdsMainNewRecord(TDataSet& dataSet) override;
  std::string RowFilterText() const override;
  virtual void TreeNodeClick(TTreeListNode& node);

 private:
  std::string FNodeFilter;
};

}  // namespace jxc
