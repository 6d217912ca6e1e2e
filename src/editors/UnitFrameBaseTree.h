#pragma once
// The tree panel that screens embed to choose rows by a node of a hierarchy (shops, regions, product
// configurations): a read-only tree of a table's rows, each node showing "code - name". Rows whose parent
// is not among those read (a branch user's own shop) are top-level nodes. A click on a node runs
// OnNodeClick (DoNodeClick); a click beside the nodes does nothing. The context menu's "刷新" reads the
// rows again with the same statement (the same restriction) and keeps what the user had expanded.

#include <functional>
#include <string>

#include "editors/UnitFrameBase.h"

namespace jxc {

class TDBTreeList;
class TMenuItem;
class TPopupMenu;
class TTreeListNode;

class TFrameBaseTree : public TFrameBase {
 public:
  explicit TFrameBaseTree(TComponent* owner = nullptr);
  ~TFrameBaseTree() override;
  std::string ClassName() const override { return "TFrameBaseTree"; }

  // --- components, owned by the frame ---
  TClientDataSet* cdsTree;
  TDataSource* dsTree;
  TDBTreeList* dbTreeList;  // F_CODE and F_NAME joined by " - "
  TPopupMenu* ppmTree;
  TMenuItem* ppmRefresh;    // "刷新"

  // The table shown: the one set here, else the configuration's F_VIEW_DATA.
  void SetTableName(std::string table) { FTableName = std::move(table); }
  std::string GetTableName() const;
  // Stored for descendants.
  void SetRootFilter(std::string filter) { FRootFilter = std::move(filter); }
  const std::string& RootFilter() const { return FRootFilter; }
  void SetID(std::string id) { FID = std::move(id); }
  // The focused node's F_ID as text; "0" with no node focused.
  std::string GetID() const;
  // The text appended after the table name (" WHERE ..."): the one set here in the base.
  void SetFilterStr(std::string filter) { FFilterStr = std::move(filter); }
  virtual std::string GetFilterStr() { return FFilterStr; }

  // The base initialisation, then the rows: "SELECT F_ID,F_CODE,F_NAME,F_PARENTID FROM " + table +
  // GetFilterStr + " ORDER BY F_PARENTID, F_CODE". Raises "数据表未配置" without a table.
  void DoInit() override;
  // Reads the rows again with DoInit's statement.
  void OpenTree();
  // "刷新": OpenTree, then the tip "刷新成功".
  void RefreshTree();

  // Focuses the node and does what a click on it does.
  void ChooseNode(TTreeListNode& node);

  std::function<void(TFrameBaseTree& sender, TTreeListNode& node)> OnNodeClick;

 protected:
  // The user clicked a node: OnNodeClick.
  virtual void DoNodeClick(TTreeListNode& node);

 private:
  std::string FTableName;
  std::string FRootFilter;
  std::string FID;
  std::string FFilterStr;
};

}  // namespace jxc
