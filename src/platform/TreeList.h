#pragma once
// The tree list: a window showing nodes in a hierarchy. Top-level nodes have no parent; a node shows its
// children while it is expanded. One node at most has the focus (the selected node). Nodes belong to the
// tree: a node pointer stays valid until the node is deleted, the tree is cleared or (in the data-bound
// tree) its row goes or the dataset closes.
//
// The user's gestures are operations that a test calls as a shop assistant would act: ClickNode,
// DblClickNode, ClickExpandButton, ClickCheckBox, the drag gestures and keys pressed while the tree has
// the focus. They do nothing while the tree (or a window it sits in) is hidden or disabled, run through the
// application's dispatcher (a silent abort is swallowed, other errors are shown) and deliver the posted
// messages afterwards. The same changes made in code (SetFocusedNode, SetExpanded, MoveTo ...) raise
// their errors to the caller.
//
// Keys: Up and Down move the focus through the nodes shown, Home and End to the first and last; Right
// expands the focused node or goes to its first child, Left collapses it or goes to its parent; F2 opens
// the in-place editor; Space ticks the focused node's check box when check boxes are shown; Esc ends a
// drag. Other characters search: the focus goes to the next node shown whose text begins with the
// characters typed so far; the search starts afresh after a second without typing (the application's
// clock).
//
// In-place editing (OptionsData.Editing): the editor opens on the focused node with the node's text, all
// of it selected, and takes the focus. Enter writes the text (a refusal is shown and the editor stays
// open with the text), Esc closes it without writing, and leaving it writes as Enter does.
//
// Drag and drop (OptionsBehavior.DragDrop): a node can never go below itself or one of its own
// descendants, nor onto the parent it already has; OnDragOver may refuse further drops. Hovering over a
// collapsed node with children expands it after DragExpandDelay milliseconds. Dropping onto no node makes
// the dragged node a top-level node.
//
// Check boxes (OptionsView.CheckBoxes): each node has a check state. With CheckGroups a tick reaches every
// node below, and a parent shows checked when all its children are, unchecked when none is, and grayed
// otherwise.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Controls.h"
#include "platform/StdCtrls.h"
#include "platform/Variant.h"

namespace jxc {

class TTreeList;

enum class TCheckState { csUnchecked, csChecked, csGrayed };

class TTreeListNode {
 public:
  TTreeListNode(const TTreeListNode&) = delete;
  TTreeListNode& operator=(const TTreeListNode&) = delete;

  TTreeList& TreeList() const { return *tree_; }
  // The parent node; null for a top-level node.
  TTreeListNode* Parent() const;
  // 0 for a top-level node, 1 for its children, and so on.
  int Level() const;
  int Count() const { return static_cast<int>(children_.size()); }
  TTreeListNode* Items(int index) const { return children_.at(static_cast<size_t>(index)); }
  const std::vector<TTreeListNode*>& Children() const { return children_; }
  bool HasChildren() const { return !children_.empty(); }
  // Position among its siblings.
  int Index() const;
  TTreeListNode* NextSibling() const;
  TTreeListNode* PrevSibling() const;
  // Whether node is this node's parent, grandparent or any ancestor further up.
  bool HasAsParent(const TTreeListNode* node) const;

  const std::string& Text() const { return text_; }
  void SetText(std::string text) { text_ = std::move(text); }
  // The values the node shows (the data-bound tree: its display fields, in order).
  const std::vector<Variant>& Values() const { return values_; }
  void SetValues(std::vector<Variant> values) { values_ = std::move(values); }
  // The row's key in the data-bound tree; free for the caller's use in an unbound tree.
  const Variant& Key() const { return key_; }
  void SetKey(Variant key) { key_ = std::move(key); }

  bool Expanded() const { return expanded_; }
  // Runs the tree's OnExpanded / OnCollapsed when the state changes. Collapsing a node that holds the
  // focused node below it moves the focus to this node.
  void SetExpanded(bool expanded);
  void Expand(bool recurse = false);
  void Collapse(bool recurse = false);
  // Shown: not hidden, and every ancestor is expanded and not hidden.
  bool IsVisible() const;
  // Expands every ancestor.
  void MakeVisible();
  // A hidden node is left out of view with all its descendants; it cannot take the focus.
  bool Hidden() const { return hidden_; }
  void SetHidden(bool hidden);
  // Hidden itself or below a hidden ancestor.
  bool InHiddenBranch() const;

  bool Focused() const;
  void SetFocused();

  TCheckState CheckState() const { return check_; }
  bool Checked() const { return check_ == TCheckState::csChecked; }
  // As ClickCheckBox does, without the user's event.
  void SetChecked(bool checked);

 private:
  friend class TTreeList;
  friend class TDBTreeList;
  explicit TTreeListNode(TTreeList& tree) : tree_(&tree) {}

  TTreeList* tree_;
  TTreeListNode* parent_ = nullptr;  // the tree's hidden root for top-level nodes
  std::vector<TTreeListNode*> children_;
  std::string text_;
  std::vector<Variant> values_;
  Variant key_ = Variant::Null();
  bool expanded_ = false;
  bool hidden_ = false;
  TCheckState check_ = TCheckState::csUnchecked;
  // Bookkeeping of the data-bound tree.
  int recordIndex_ = -1;
  uint64_t seen_ = 0;
  uint64_t placed_ = 0;
  TTreeListNode* newParent_ = nullptr;
};

// The in-place editor of a tree list: an edit placed in the tree that writes its text into the node.
class TTreeListInplaceEdit : public TEdit {
 public:
  TTreeListInplaceEdit(TTreeList& tree);
  std::string ClassName() const override { return "TTreeListInplaceEdit"; }
  void ClearModified() { SetModified(false); }

 protected:
  void KeyDown(int& key, TShiftState shift) override;
  void CharInput(char32_t key) override;
  void DoExit() override;

 private:
  TTreeList& tree_;
};

class TTreeList : public TWinControl {
 public:
  explicit TTreeList(TComponent* owner = nullptr);
  ~TTreeList() override;
  std::string ClassName() const override { return "TTreeList"; }

  // --- nodes -----------------------------------------------------------------------------------------
  // Top-level nodes in order.
  const std::vector<TTreeListNode*>& TopNodes() const;
  int TopCount() const { return static_cast<int>(TopNodes().size()); }
  // Every node of the tree.
  int Count() const { return nodeCount_; }
  // A new last child of parent (null: a new top-level node), collapsed and unchecked. For unbound trees:
  // the data-bound tree makes its nodes from the rows (append a row instead).
  TTreeListNode* AddChild(TTreeListNode* parent, std::string text);
  // Removes the node with its whole branch. The data-bound tree deletes the rows of the branch.
  virtual void DeleteNode(TTreeListNode* node);
  // Frees every node.
  void Clear();
  // Every node in tree order (a node before its children), hidden ones included.
  std::vector<TTreeListNode*> AllNodes() const;
  // The nodes shown, in the order they appear from top to bottom.
  std::vector<TTreeListNode*> VisibleNodes() const;
  // The nodes of the branch: the node first, then each node below it in tree order.
  std::vector<TTreeListNode*> BranchNodes(TTreeListNode* node) const;
  // The first node (in tree order) whose text equals the text, or null.
  TTreeListNode* FindNodeByText(std::string_view text) const;
  // Expands / collapses every node; no OnExpanded or OnCollapsed runs.
  void FullExpand();
  void FullCollapse();

  // --- focus -----------------------------------------------------------------------------------------
  TTreeListNode* FocusedNode() const { return focused_; }
  // Focuses the node (null: none) and makes it visible. A hidden node is refused (EInvalidOperation).
  // The data-bound tree moves the dataset to the node's row first; when that fails (a pending edit that
  // cannot be posted) the focus stays where it was and the error propagates.
  void SetFocusedNode(TTreeListNode* node);
  std::function<void(TTreeList& sender, TTreeListNode* previous, TTreeListNode* focused)> OnFocusedNodeChanged;

  // --- the user's gestures -----------------------------------------------------------------------------
  // A click on the node (null: on the empty area below the nodes): the tree takes the focus, the node is
  // focused, then OnClick runs (with the focus unchanged when the click hits no node).
  void ClickNode(TTreeListNode* node);
  // Focuses the node, then runs OnDblClick; without a handler the node is expanded or collapsed.
  void DblClickNode(TTreeListNode* node);
  // While OnClick or OnDblClick runs for ClickNode or DblClickNode: the node clicked, null when the click
  // hit the empty area (the focused node may still be set then).
  TTreeListNode* ClickedNode() const { return clicked_; }
  void ClickExpandButton(TTreeListNode* node);
  void ClickCheckBox(TTreeListNode* node);
  // Drag and drop, step by step: take the node (it gets the focus), move over a target (null: the empty
  // area; tells whether a drop there is accepted), let it go (true when the node was moved).
  bool BeginDrag(TTreeListNode* node);
  bool DragOver(TTreeListNode* target);
  bool EndDrag(TTreeListNode* target);
  void CancelDrag();
  // The whole gesture at once.
  bool DragNodeTo(TTreeListNode* source, TTreeListNode* target);
  bool Dragging() const { return dragNode_ != nullptr; }
  TTreeListNode* DragNode() const { return dragNode_; }
  TTreeListNode* DropTarget() const { return dropTarget_; }

  // --- moving ----------------------------------------------------------------------------------------
  // Whether the source may be dropped onto the target (null: made a top-level node): never onto itself,
  // a node below it or its present parent; then OnDragOver decides.
  bool CanDrop(TTreeListNode* source, TTreeListNode* target);
  // Makes the node the last child of newParent (null: a top-level node). Raises EInvalidOperation when
  // newParent is the node itself or below it. The data-bound tree writes the parent field.
  void MoveTo(TTreeListNode* node, TTreeListNode* newParent);
  std::function<void(TTreeList& sender, TTreeListNode* source, TTreeListNode* target, bool& accept)> OnDragOver;
  // After a drop moved the node.
  std::function<void(TTreeList& sender, TTreeListNode* source, TTreeListNode* target)> OnDragDrop;

  // --- in-place editing -------------------------------------------------------------------------------
  // Opens the editor on the focused node; false when editing is off, the tree is disabled (a disabled
  // tree's editor could take no keys), no node has the focus, or OnEditing refuses.
  bool ShowEditor();
  // Writes the editor's text; a refusal propagates and leaves the editor open. Nothing when not editing.
  void PostEditor();
  void CancelEditor();
  bool Editing() const { return editing_; }
  TTreeListNode* EditingNode() const { return editing_ ? editingNode_ : nullptr; }
  // The in-place editor (created on first use; shown only while editing).
  TTreeListInplaceEdit& InplaceEditor();
  std::function<void(TTreeList& sender, TTreeListNode* node, bool& allow)> OnEditing;
  std::function<void(TTreeList& sender, TTreeListNode* node)> OnEdited;

  // --- check boxes -----------------------------------------------------------------------------------
  // Sets the node's state (with CheckGroups, its branch and its ancestors follow); no OnNodeCheckChanged,
  // which runs for the user's ticks only.
  void SetNodeChecked(TTreeListNode* node, bool checked);
  std::vector<TTreeListNode*> CheckedNodes() const;
  // Walks every node in tree order with its check state (which the visitor may change) and its values.
  void IterateNodes(const std::function<void(bool& checked, const std::vector<Variant>& values)>& visitor);
  std::function<void(TTreeList& sender, TTreeListNode* node)> OnNodeCheckChanged;

  std::function<void(TTreeList& sender, TTreeListNode* node)> OnExpanded, OnCollapsed;

  // --- options ---------------------------------------------------------------------------------------
  struct {
    bool Editing = false;  // in-place editing of node texts
  } OptionsData;
  struct {
    bool CheckBoxes = false;
    bool CheckGroups = false;
  } OptionsView;
  struct {
    bool DragDrop = false;
    int DragExpandDelay = 500;  // milliseconds of hovering before a collapsed target expands
    bool IncSearch = true;
    int IncSearchReset = 1000;  // milliseconds without typing that end a search
  } OptionsBehavior;

  // The text typed so far by the incremental search.
  const std::string& SearchText() const { return searchText_; }

 protected:
  void KeyDown(int& key, TShiftState shift) override;
  void CharInput(char32_t key) override;
  void WMTimer(int id) override;

  // --- for the data-bound tree -------------------------------------------------------------------------
  // Called before the focus moves to node (in code or by the user); may raise to refuse.
  virtual void DoFocusChanging(TTreeListNode* node) {}
  // Moves the node in the tree (the unbound tree relinks it; the data-bound one writes the row).
  virtual void DoMoveNode(TTreeListNode* node, TTreeListNode* newParent);
  // The text the editor opens with, and what writing it does.
  virtual std::string EditorText(TTreeListNode* node) const { return node->Text(); }
  virtual bool CanEditNode(TTreeListNode* node) const { return true; }
  virtual void DoPostEditor(TTreeListNode* node, const std::string& text) { node->SetText(text); }
  // The user is about to change the editor's text; false refuses the keystroke.
  virtual bool EditorTyping(TTreeListNode* node) { return true; }
  virtual void DoCancelEditor(TTreeListNode* node) {}

  TTreeListNode* Root() const { return root_.get(); }
  TTreeListNode* NewNode();
  // Frees the node and its branch without touching the focus, the editor or the drag (callers do).
  void FreeBranch(TTreeListNode* node);
  // Frees one node; its children must have been taken away.
  void FreeNode(TTreeListNode* node);
  // Appends the node as the last child of parent (null: the root); the node must not be linked.
  void Link(TTreeListNode* node, TTreeListNode* parent);
  void Unlink(TTreeListNode* node);
  // Sets the focus without asking DoFocusChanging (the data-bound tree following its cursor).
  void ChangeFocus(TTreeListNode* node);
  // Forgets references to a node that goes (focus, editor, drag, search position).
  void NodeGoing(TTreeListNode* node);
  void SetNodeCount(int count) { nodeCount_ = count; }
  // Runs the work as a user's gesture (see above).
  bool UserGesture(const std::function<void()>& work);
  bool AcceptsUserInput() const;
  // Writes the editor's text when the user changed it since it was last written; the editor stays open.
  void WriteEditorText();
  // Hides the editor (the focus goes back to the tree) without writing.
  void CloseEditorUI();

 private:
  friend class TTreeListNode;
  friend class TTreeListInplaceEdit;
  void EditorExit();
  void ExpandChanged(TTreeListNode* node, bool expanded);
  void UpdateParentChecks(TTreeListNode* node);
  void MoveFocusBy(int distance);
  void Search(char32_t key);

  std::unique_ptr<TTreeListNode> root_;
  int nodeCount_ = 0;
  TTreeListNode* focused_ = nullptr;
  TTreeListNode* dragNode_ = nullptr;
  TTreeListNode* dropTarget_ = nullptr;
  TTreeListNode* hovered_ = nullptr;  // waiting to expand while dragging
  TTreeListNode* clicked_ = nullptr;
  TTreeListInplaceEdit* editor_ = nullptr;
  TTreeListNode* editingNode_ = nullptr;
  bool editing_ = false;
  std::string searchText_;
};

}  // namespace jxc
