#pragma once
// The data-bound tree list: one node per visible row of a data source's dataset. A row's key field names
// its node and its parent field names the parent's key; rows whose parent field holds the root value are
// top-level nodes, and so are rows whose parent is not among the rows (a branch user sees his own shop at
// the top) and rows that would otherwise sit in a loop of parents: no row is ever left out of the tree.
// A node shows its display fields' texts joined by the separator (empty texts left out).
//
// The tree follows the dataset both ways: the focused node is the node of the dataset's current row, and
// focusing a node moves the dataset to its row (posting a pending edit as any cursor move does). The node
// index is built in one pass over the rows and kept up to date on every change: nodes of rows that stay
// keep their place among their siblings, their expansion and their check state (also across a close and
// reopen), a row that is new or got another parent comes last under its parent, a deleted row's node goes.
// A row being inserted shows as a node (last under its parent) from Append on; Cancel removes it again.
//
// Changes made through the tree are changes of the dataset: MoveTo (and a drop) writes the parent field
// and posts; DeleteNode deletes the rows of the whole branch, the deepest first, so an interrupted delete
// never leaves a row whose parent is gone; the in-place editor writes EditField through the field's text
// entry (set-text handlers run) after putting the dataset into edit where the data source allows it. None
// of them reaches a database by itself: the screen saves the dataset.

#include <memory>
#include <string>
#include <vector>

#include "platform/DataSource.h"
#include "platform/TreeList.h"

namespace jxc {

class TDBTreeList : public TTreeList {
 public:
  explicit TDBTreeList(TComponent* owner = nullptr);
  ~TDBTreeList() override;
  std::string ClassName() const override { return "TDBTreeList"; }

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* source);
  TDataSet* DataSet() const;

  // Changing any of these rebuilds the nodes.
  const std::string& KeyField() const { return keyField_; }
  void SetKeyField(std::string name);
  const std::string& ParentField() const { return parentField_; }
  void SetParentField(std::string name);
  // The parent value of top-level rows (0, or null).
  const Variant& RootValue() const { return rootValue_; }
  void SetRootValue(Variant value);
  // Fields shown, ";"-separated ("F_CODE;F_NAME").
  const std::string& DisplayFields() const { return displayFields_; }
  void SetDisplayFields(std::string names);
  const std::string& Separator() const { return separator_; }
  void SetSeparator(std::string separator);
  // The field the in-place editor writes; empty: the last display field.
  std::string EditField;

  // The node of the row with that key, or null.
  TTreeListNode* FindNodeByKey(const Variant& key) const;
  // The keys of the node's branch, the node's own first (tree order).
  std::vector<Variant> BranchKeys(TTreeListNode* node) const;
  // Leaves the node of that key and every node below it out of view (null: none). Used by pickers of a
  // parent, where a node may not choose itself or one of its own descendants.
  const Variant& HiddenBranchKey() const { return hiddenKey_; }
  void SetHiddenBranchKey(Variant key);

  // Deletes the rows of the node's branch, the deepest first (a node being inserted is cancelled). A
  // pending edit is posted first. A refusal (BeforeDelete raising) stops the walk and propagates; the rows
  // deleted before it stay deleted in the dataset.
  void DeleteNode(TTreeListNode* node) override;
  // Builds every node again from the rows.
  void Rebuild();

 protected:
  void DoFocusChanging(TTreeListNode* node) override;
  void DoMoveNode(TTreeListNode* node, TTreeListNode* newParent) override;
  std::string EditorText(TTreeListNode* node) const override;
  bool CanEditNode(TTreeListNode* node) const override;
  void DoPostEditor(TTreeListNode* node, const std::string& text) override;
  // The first keystroke puts the dataset into edit, where the data source allows it.
  bool EditorTyping(TTreeListNode* node) override;

 private:
  class Link;
  struct Index;
  friend class Link;
  void DataEvent(TDataEvent event, TField* field);
  void ResolveFields();
  // Brings the nodes in line with the rows (the one-pass diff described above).
  void Resync();
  // The node of the row being inserted: made, moved and retitled from the edit buffer.
  void SyncInsertNode();
  // The insert is over: its node joins the index (posted) or goes (cancelled).
  void SettleInsertNode();
  // The row being edited changed a field: its node follows at once.
  void UpdateEditedNode(TField* field);
  // Focuses the node of the dataset's current row.
  void FollowCursor();
  // Moves the dataset's cursor to the node's row; false when the row is gone.
  bool GotoNode(TTreeListNode* node);
  void DropAllNodes();
  TField* EditFieldOf() const;

  std::unique_ptr<Link> link_;
  std::unique_ptr<Index> index_;
  std::string keyField_ = "F_ID";
  std::string parentField_ = "F_PARENTID";
  Variant rootValue_ = Variant(0);
  std::string displayFields_;
  std::string separator_ = "-";
  Variant hiddenKey_ = Variant::Null();
  TTreeListNode* insertNode_ = nullptr;
};

}  // namespace jxc
