#include "platform/TreeList.h"

#include <algorithm>

#include "platform/Application.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/Text.h"

namespace jxc {

namespace {

// Window timers of the tree.
constexpr int kSearchTimer = 1;
constexpr int kDragExpandTimer = 2;

// The given nodes and the nodes below them in tree order (a node before its children); shownOnly leaves
// out hidden nodes and the children of collapsed ones.
std::vector<TTreeListNode*> WalkNodes(const std::vector<TTreeListNode*>& starts, bool shownOnly) {
  std::vector<TTreeListNode*> out;
  std::vector<TTreeListNode*> pending(starts.rbegin(), starts.rend());
  while (!pending.empty()) {
    TTreeListNode* n = pending.back();
    pending.pop_back();
    if (shownOnly && n->Hidden()) continue;
    out.push_back(n);
    if (!shownOnly || n->Expanded()) pending.insert(pending.end(), n->Children().rbegin(), n->Children().rend());
  }
  return out;
}

}  // namespace

// --- TTreeListNode ---------------------------------------------------------------------------------------

TTreeListNode* TTreeListNode::Parent() const { return parent_ == tree_->Root() ? nullptr : parent_; }

int TTreeListNode::Level() const {
  int level = 0;
  for (const TTreeListNode* p = Parent(); p; p = p->Parent()) ++level;
  return level;
}

int TTreeListNode::Index() const {
  if (!parent_) return -1;
  const auto& siblings = parent_->children_;
  return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

TTreeListNode* TTreeListNode::NextSibling() const {
  if (!parent_) return nullptr;
  const int i = Index();
  return i + 1 < parent_->Count() ? parent_->children_[static_cast<size_t>(i + 1)] : nullptr;
}

TTreeListNode* TTreeListNode::PrevSibling() const {
  if (!parent_) return nullptr;
  const int i = Index();
  return i > 0 ? parent_->children_[static_cast<size_t>(i - 1)] : nullptr;
}

bool TTreeListNode::HasAsParent(const TTreeListNode* node) const {
  if (!node) return false;
  for (const TTreeListNode* p = Parent(); p; p = p->Parent())
    if (p == node) return true;
  return false;
}

void TTreeListNode::SetExpanded(bool expanded) {
  if (expanded == expanded_) return;
  expanded_ = expanded;
  tree_->ExpandChanged(this, expanded);
}

void TTreeListNode::Expand(bool recurse) {
  SetExpanded(true);
  if (recurse)
    for (TTreeListNode* child : std::vector<TTreeListNode*>(children_)) child->Expand(true);
}

void TTreeListNode::Collapse(bool recurse) {
  if (recurse)
    for (TTreeListNode* child : std::vector<TTreeListNode*>(children_)) child->Collapse(true);
  SetExpanded(false);
}

bool TTreeListNode::IsVisible() const {
  if (InHiddenBranch()) return false;
  for (const TTreeListNode* p = Parent(); p; p = p->Parent())
    if (!p->expanded_) return false;
  return true;
}

void TTreeListNode::MakeVisible() {
  std::vector<TTreeListNode*> ancestors;
  for (TTreeListNode* p = Parent(); p; p = p->Parent()) ancestors.push_back(p);
  // From the top down, as a user opens them.
  for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) (*it)->SetExpanded(true);
}

void TTreeListNode::SetHidden(bool hidden) {
  hidden_ = hidden;
  TTreeListNode* focused = tree_->focused_;
  if (hidden && focused && (focused == this || focused->HasAsParent(this))) tree_->ChangeFocus(nullptr);
}

bool TTreeListNode::InHiddenBranch() const {
  for (const TTreeListNode* p = this; p && p != tree_->Root(); p = p->parent_)
    if (p->hidden_) return true;
  return false;
}

bool TTreeListNode::Focused() const { return tree_->focused_ == this; }
void TTreeListNode::SetFocused() { tree_->SetFocusedNode(this); }
void TTreeListNode::SetChecked(bool checked) { tree_->SetNodeChecked(this, checked); }

// --- TTreeListInplaceEdit --------------------------------------------------------------------------------

TTreeListInplaceEdit::TTreeListInplaceEdit(TTreeList& tree) : TEdit(&tree), tree_(tree) {
  TabStop = false;
  SetParent(&tree);
  SetVisible(false);
}

void TTreeListInplaceEdit::KeyDown(int& key, TShiftState shift) {
  if (key == VK_RETURN && tree_.Editing()) {
    key = 0;
    tree_.PostEditor();
    return;
  }
  if (key == VK_ESCAPE && tree_.Editing()) {
    key = 0;
    tree_.CancelEditor();
    return;
  }
  if (key == VK_DELETE && tree_.Editing() && !tree_.EditorTyping(tree_.EditingNode())) key = 0;
  TEdit::KeyDown(key, shift);
}

void TTreeListInplaceEdit::CharInput(char32_t key) {
  const bool typing = key >= 32 || key == 8;
  if (typing && tree_.Editing() && !tree_.EditorTyping(tree_.EditingNode())) return;
  TEdit::CharInput(key);
}

void TTreeListInplaceEdit::DoExit() {
  TEdit::DoExit();
  tree_.EditorExit();
}

// --- TTreeList -------------------------------------------------------------------------------------------

TTreeList::TTreeList(TComponent* owner) : TWinControl(owner), root_(new TTreeListNode(*this)) {
  root_->expanded_ = true;
  TabStop = true;
}

TTreeList::~TTreeList() {
  BeginDestroy();
  for (TTreeListNode* node : std::vector<TTreeListNode*>(root_->children_)) FreeBranch(node);
  root_->children_.clear();
}

const std::vector<TTreeListNode*>& TTreeList::TopNodes() const { return root_->children_; }

TTreeListNode* TTreeList::NewNode() {
  ++nodeCount_;
  return new TTreeListNode(*this);
}

void TTreeList::FreeNode(TTreeListNode* node) {
  delete node;
  --nodeCount_;
}

void TTreeList::FreeBranch(TTreeListNode* node) {
  std::vector<TTreeListNode*> pending{node};
  while (!pending.empty()) {
    TTreeListNode* n = pending.back();
    pending.pop_back();
    pending.insert(pending.end(), n->children_.begin(), n->children_.end());
    FreeNode(n);
  }
}

void TTreeList::Link(TTreeListNode* node, TTreeListNode* parent) {
  if (!parent) parent = root_.get();
  parent->children_.push_back(node);
  node->parent_ = parent;
}

void TTreeList::Unlink(TTreeListNode* node) {
  if (!node->parent_) return;
  auto& siblings = node->parent_->children_;
  if (auto it = std::find(siblings.begin(), siblings.end(), node); it != siblings.end()) siblings.erase(it);
  node->parent_ = nullptr;
}

TTreeListNode* TTreeList::AddChild(TTreeListNode* parent, std::string text) {
  if (parent && &parent->TreeList() != this) throw EInvalidOperation("The parent node belongs to another tree");
  TTreeListNode* node = NewNode();
  node->text_ = std::move(text);
  Link(node, parent);
  return node;
}

void TTreeList::NodeGoing(TTreeListNode* node) {
  if (focused_ == node) focused_ = nullptr;
  if (clicked_ == node) clicked_ = nullptr;
  if (editing_ && editingNode_ == node) CloseEditorUI();
  if (dragNode_ == node) CancelDrag();
  if (dropTarget_ == node) dropTarget_ = nullptr;
  if (hovered_ == node) {
    hovered_ = nullptr;
    KillTimer(kDragExpandTimer);
  }
}

void TTreeList::DeleteNode(TTreeListNode* node) {
  if (!node) return;
  // The focus leaves a deleted branch for the next sibling, else the previous one, else the parent.
  TTreeListNode* refocus = nullptr;
  const bool focusInBranch = focused_ && (focused_ == node || focused_->HasAsParent(node));
  if (focusInBranch) {
    refocus = node->NextSibling();
    if (!refocus) refocus = node->PrevSibling();
    if (!refocus) refocus = node->Parent();
  }
  for (TTreeListNode* n : BranchNodes(node)) NodeGoing(n);
  Unlink(node);
  FreeBranch(node);
  if (focusInBranch) ChangeFocus(refocus);
}

void TTreeList::Clear() {
  const bool hadFocus = focused_ != nullptr;
  for (TTreeListNode* n : AllNodes()) NodeGoing(n);
  for (TTreeListNode* node : std::vector<TTreeListNode*>(root_->children_)) FreeBranch(node);
  root_->children_.clear();
  if (hadFocus && OnFocusedNodeChanged) {
    auto handler = OnFocusedNodeChanged;
    handler(*this, nullptr, nullptr);
  }
}

std::vector<TTreeListNode*> TTreeList::BranchNodes(TTreeListNode* node) const {
  if (!node) return {};
  return WalkNodes({node}, false);
}

std::vector<TTreeListNode*> TTreeList::AllNodes() const { return WalkNodes(root_->children_, false); }

std::vector<TTreeListNode*> TTreeList::VisibleNodes() const { return WalkNodes(root_->children_, true); }

TTreeListNode* TTreeList::FindNodeByText(std::string_view text) const {
  for (TTreeListNode* n : AllNodes())
    if (n->text_ == text) return n;
  return nullptr;
}

void TTreeList::FullExpand() {
  for (TTreeListNode* n : AllNodes()) n->expanded_ = true;
}

void TTreeList::FullCollapse() {
  for (TTreeListNode* n : AllNodes()) n->expanded_ = false;
  if (focused_ && focused_->Parent()) {
    TTreeListNode* top = focused_;
    while (top->Parent()) top = top->Parent();
    SetFocusedNode(top);
  }
}

void TTreeList::ExpandChanged(TTreeListNode* node, bool expanded) {
  if (!expanded && focused_ && focused_->HasAsParent(node)) SetFocusedNode(node);
  auto& event = expanded ? OnExpanded : OnCollapsed;
  if (event) {
    auto handler = event;
    handler(*this, node);
  }
}

// --- focus -----------------------------------------------------------------------------------------------

void TTreeList::SetFocusedNode(TTreeListNode* node) {
  if (node && &node->TreeList() != this) throw EInvalidOperation("The node belongs to another tree");
  if (node && node->InHiddenBranch()) throw EInvalidOperation("A hidden node cannot take the focus");
  if (node != focused_) DoFocusChanging(node);
  ChangeFocus(node);
}

void TTreeList::ChangeFocus(TTreeListNode* node) {
  if (node) node->MakeVisible();
  if (node == focused_) return;
  TTreeListNode* previous = focused_;
  focused_ = node;
  // The editor belongs to the node it was opened on.
  if (editing_ && editingNode_ != node) CancelEditor();
  if (OnFocusedNodeChanged) {
    auto handler = OnFocusedNodeChanged;
    handler(*this, previous, node);
  }
}

void TTreeList::MoveFocusBy(int distance) {
  std::vector<TTreeListNode*> shown = VisibleNodes();
  if (shown.empty()) return;
  auto it = std::find(shown.begin(), shown.end(), focused_);
  int target;
  if (it == shown.end())
    target = distance > 0 ? 0 : static_cast<int>(shown.size()) - 1;
  else
    target = std::clamp(static_cast<int>(it - shown.begin()) + distance, 0, static_cast<int>(shown.size()) - 1);
  SetFocusedNode(shown[static_cast<size_t>(target)]);
}

// --- the user's gestures ---------------------------------------------------------------------------------

// As for the focus: visible and enabled up to the form, which need not be shown yet.
bool TTreeList::AcceptsUserInput() const { return CanFocus(); }

bool TTreeList::UserGesture(const std::function<void()>& work) {
  if (!AcceptsUserInput()) return false;
  const bool done = Application().Dispatch(work);
  Application().ProcessMessages();
  return done;
}

void TTreeList::ClickNode(TTreeListNode* node) {
  UserGesture([&] {
    if (editing_) PostEditor();
    if (CanFocus() && !Focused()) SetFocus();
    if (node) SetFocusedNode(node);
    clicked_ = node;
    try {
      Click();
    } catch (...) {
      clicked_ = nullptr;
      throw;
    }
    clicked_ = nullptr;
  });
}

void TTreeList::DblClickNode(TTreeListNode* node) {
  UserGesture([&] {
    if (editing_) PostEditor();
    if (CanFocus() && !Focused()) SetFocus();
    if (node) SetFocusedNode(node);
    if (OnDblClick) {
      clicked_ = node;
      try {
        DblClick();
      } catch (...) {
        clicked_ = nullptr;
        throw;
      }
      clicked_ = nullptr;
    } else if (node && node->HasChildren())
      node->SetExpanded(!node->Expanded());
  });
}

void TTreeList::ClickExpandButton(TTreeListNode* node) {
  UserGesture([&] {
    if (node && node->HasChildren()) node->SetExpanded(!node->Expanded());
  });
}

void TTreeList::ClickCheckBox(TTreeListNode* node) {
  UserGesture([&] {
    if (!node || !OptionsView.CheckBoxes) return;
    SetNodeChecked(node, !node->Checked());
    if (OnNodeCheckChanged) {
      auto handler = OnNodeCheckChanged;
      handler(*this, node);
    }
  });
}

bool TTreeList::BeginDrag(TTreeListNode* node) {
  bool started = false;
  UserGesture([&] {
    if (!OptionsBehavior.DragDrop || !node || editing_) return;
    if (CanFocus() && !Focused()) SetFocus();
    SetFocusedNode(node);
    dragNode_ = node;
    dropTarget_ = nullptr;
    started = true;
  });
  return started;
}

bool TTreeList::DragOver(TTreeListNode* target) {
  if (!dragNode_) return false;
  bool accepted = false;
  UserGesture([&] {
    accepted = CanDrop(dragNode_, target);
    dropTarget_ = accepted ? target : nullptr;
    // A collapsed node with children opens when the user lingers over it.
    if (target && target->HasChildren() && !target->Expanded()) {
      if (hovered_ != target) {
        hovered_ = target;
        SetTimer(kDragExpandTimer, OptionsBehavior.DragExpandDelay);
      }
    } else {
      hovered_ = nullptr;
      KillTimer(kDragExpandTimer);
    }
  });
  return accepted;
}

bool TTreeList::EndDrag(TTreeListNode* target) {
  if (!dragNode_) return false;
  bool moved = false;
  TTreeListNode* source = dragNode_;
  CancelDrag();
  UserGesture([&] {
    if (!CanDrop(source, target)) return;
    MoveTo(source, target);
    moved = true;
    if (OnDragDrop) {
      auto handler = OnDragDrop;
      handler(*this, source, target);
    }
  });
  return moved;
}

void TTreeList::CancelDrag() {
  dragNode_ = dropTarget_ = hovered_ = nullptr;
  KillTimer(kDragExpandTimer);
}

bool TTreeList::DragNodeTo(TTreeListNode* source, TTreeListNode* target) {
  if (!BeginDrag(source)) return false;
  DragOver(target);
  return EndDrag(target);
}

// --- moving ----------------------------------------------------------------------------------------------

bool TTreeList::CanDrop(TTreeListNode* source, TTreeListNode* target) {
  if (!source || source == target) return false;
  if (target && (target->HasAsParent(source) || target->InHiddenBranch())) return false;
  if (source->Parent() == target) return false;  // nothing would change
  bool accept = true;
  if (OnDragOver) {
    auto handler = OnDragOver;
    handler(*this, source, target, accept);
  }
  return accept;
}

void TTreeList::MoveTo(TTreeListNode* node, TTreeListNode* newParent) {
  if (!node) return;
  if (&node->TreeList() != this || (newParent && &newParent->TreeList() != this))
    throw EInvalidOperation("The node belongs to another tree");
  if (newParent == node || (newParent && newParent->HasAsParent(node)))
    throw EInvalidOperation("A node cannot be moved below itself");
  DoMoveNode(node, newParent);
  if (node->Focused()) node->MakeVisible();
}

void TTreeList::DoMoveNode(TTreeListNode* node, TTreeListNode* newParent) {
  Unlink(node);
  Link(node, newParent);
}

// --- in-place editing ------------------------------------------------------------------------------------

TTreeListInplaceEdit& TTreeList::InplaceEditor() {
  if (!editor_) editor_ = new TTreeListInplaceEdit(*this);
  return *editor_;
}

bool TTreeList::ShowEditor() {
  if (editing_) return true;
  if (!OptionsData.Editing || !EnabledInParents() || !focused_ || !CanEditNode(focused_)) return false;
  bool allow = true;
  if (OnEditing) {
    auto handler = OnEditing;
    handler(*this, focused_, allow);
  }
  if (!allow) return false;
  TTreeListInplaceEdit& editor = InplaceEditor();
  editingNode_ = focused_;
  editing_ = true;
  editor.SetText(EditorText(focused_));
  editor.ClearModified();
  editor.SelectAll();
  editor.SetVisible(true);
  if (editor.CanFocus()) editor.SetFocus();
  return true;
}

void TTreeList::WriteEditorText() {
  if (!editing_ || !editor_->Modified()) return;
  DoPostEditor(editingNode_, editor_->Text());
  editor_->ClearModified();
}

void TTreeList::PostEditor() {
  if (!editing_) return;
  // Written even when untouched: Enter confirms what the editor shows.
  DoPostEditor(editingNode_, editor_->Text());
  editor_->ClearModified();
  TTreeListNode* node = editingNode_;
  CloseEditorUI();
  if (OnEdited) {
    auto handler = OnEdited;
    handler(*this, node);
  }
}

void TTreeList::CancelEditor() {
  if (!editing_) return;
  TTreeListNode* node = editingNode_;
  CloseEditorUI();
  DoCancelEditor(node);
}

void TTreeList::CloseEditorUI() {
  if (!editing_) return;
  editing_ = false;
  editingNode_ = nullptr;
  const bool hadFocus = editor_->Focused();
  editor_->SetVisible(false);
  if (hadFocus && CanFocus()) SetFocus();
}

void TTreeList::EditorExit() {
  // Leaving the editor writes it; a refusal keeps the focus there.
  if (editing_) PostEditor();
}

// --- check boxes -----------------------------------------------------------------------------------------

void TTreeList::SetNodeChecked(TTreeListNode* node, bool checked) {
  if (!node) return;
  const TCheckState state = checked ? TCheckState::csChecked : TCheckState::csUnchecked;
  if (OptionsView.CheckGroups) {
    for (TTreeListNode* n : BranchNodes(node)) n->check_ = state;
    UpdateParentChecks(node);
  } else {
    node->check_ = state;
  }
}

void TTreeList::UpdateParentChecks(TTreeListNode* node) {
  for (TTreeListNode* p = node->Parent(); p; p = p->Parent()) {
    bool all = true, none = true;
    for (TTreeListNode* c : p->children_) {
      if (c->check_ != TCheckState::csChecked) all = false;
      if (c->check_ != TCheckState::csUnchecked) none = false;
    }
    p->check_ = all ? TCheckState::csChecked : (none ? TCheckState::csUnchecked : TCheckState::csGrayed);
  }
}

std::vector<TTreeListNode*> TTreeList::CheckedNodes() const {
  std::vector<TTreeListNode*> out;
  for (TTreeListNode* n : AllNodes())
    if (n->Checked()) out.push_back(n);
  return out;
}

void TTreeList::IterateNodes(const std::function<void(bool& checked, const std::vector<Variant>& values)>& visitor) {
  for (TTreeListNode* n : AllNodes()) {
    bool checked = n->Checked();
    visitor(checked, n->values_);
    if (checked != n->Checked()) n->check_ = checked ? TCheckState::csChecked : TCheckState::csUnchecked;
  }
}

// --- keys and timers -------------------------------------------------------------------------------------

void TTreeList::KeyDown(int& key, TShiftState shift) {
  TWinControl::KeyDown(key, shift);
  if (key == 0 || !AcceptsUserInput()) return;
  TTreeListNode* node = focused_;
  switch (key) {
    case VK_UP:
      MoveFocusBy(-1);
      break;
    case VK_DOWN:
      MoveFocusBy(1);
      break;
    case VK_HOME:
      MoveFocusBy(-nodeCount_);
      break;
    case VK_END:
      MoveFocusBy(nodeCount_);
      break;
    case VK_LEFT:
      if (node && node->Expanded() && node->HasChildren())
        node->SetExpanded(false);
      else if (node && node->Parent())
        SetFocusedNode(node->Parent());
      break;
    case VK_RIGHT:
      if (node && node->HasChildren()) {
        if (!node->Expanded()) {
          node->SetExpanded(true);
        } else {
          for (TTreeListNode* child : node->children_)
            if (!child->hidden_) {
              SetFocusedNode(child);
              break;
            }
        }
      }
      break;
    case VK_F2:
      ShowEditor();
      break;
    case VK_ESCAPE:
      if (!Dragging()) return;
      CancelDrag();
      break;
    default:
      return;
  }
  key = 0;
}

void TTreeList::CharInput(char32_t key) {
  if (!AcceptsUserInput() || key < 32) return;
  if (key == U' ' && OptionsView.CheckBoxes && searchText_.empty() && focused_) {
    SetNodeChecked(focused_, !focused_->Checked());
    if (OnNodeCheckChanged) {
      auto handler = OnNodeCheckChanged;
      handler(*this, focused_);
    }
    return;
  }
  if (OptionsBehavior.IncSearch) Search(key);
}

void TTreeList::Search(char32_t key) {
  std::string wanted = searchText_;
  AppendUtf8(wanted, key);
  SetTimer(kSearchTimer, OptionsBehavior.IncSearchReset);
  std::vector<TTreeListNode*> shown = VisibleNodes();
  if (shown.empty()) return;
  const auto at = std::find(shown.begin(), shown.end(), focused_);
  const size_t start = at == shown.end() ? 0 : static_cast<size_t>(at - shown.begin());
  for (size_t i = 0; i < shown.size(); ++i) {
    TTreeListNode* candidate = shown[(start + i) % shown.size()];
    if (StartsText(wanted, candidate->text_)) {
      searchText_ = std::move(wanted);
      SetFocusedNode(candidate);
      return;
    }
  }
}

void TTreeList::WMTimer(int id) {
  KillTimer(id);
  if (id == kSearchTimer) {
    searchText_.clear();
  } else if (id == kDragExpandTimer && dragNode_ && hovered_) {
    TTreeListNode* node = hovered_;
    hovered_ = nullptr;
    Application().Dispatch([node] { node->SetExpanded(true); });
  }
}

}  // namespace jxc
