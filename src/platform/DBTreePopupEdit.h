#pragma once
// The drop-down tree editor: an edit bound to a key field (a row's parent, F_PARENTID) whose drop-down
// is a tree of the rows of a list dataset. The edit shows the text of the chosen key's node (nothing for
// the top level); the user opens the drop-down (F4, Alt+Down), walks the tree with the arrow keys or
// types the start of a node's text, and chooses with Enter or a click; Esc closes without choosing, and
// Delete on the closed edit chooses the top level (the tree's root value). Choosing writes the node's
// key into the field through its text entry, after putting the dataset into edit where the data source
// allows it.
//
// With ExcludeEditedBranch (the default) the drop-down leaves out the edited record's own node and every
// node below it, so that a node can never be made its own ancestor. Without ParentsSelectable only nodes
// without children may be chosen.

#include <functional>
#include <string>

#include "platform/DBCtrls.h"
#include "platform/DBTreeList.h"
#include "platform/ExtCtrls.h"

namespace jxc {

class TDBTreePopupEdit : public TDBControl<TPopupEdit> {
 public:
  explicit TDBTreePopupEdit(TComponent* owner = nullptr);
  ~TDBTreePopupEdit() override;
  std::string ClassName() const override { return "TDBTreePopupEdit"; }

  // The drop-down content; set its key, parent, root and display fields here.
  TDBTreeList& Tree() const { return *tree_; }
  TDataSource* ListSource() const { return tree_->DataSource(); }
  void SetListSource(TDataSource* source);

  bool ParentsSelectable = true;
  bool ExcludeEditedBranch = true;

  // The field's value (null when unbound).
  Variant EditValue() const;
  // Whether the node may be chosen now (null: the top level).
  bool CanChoose(TTreeListNode* node) const;
  // The user's choice of the node (null: the top level): written into the field, the drop-down closes.
  // A node that may not be chosen, or a field that may not be changed, leaves everything as it was.
  void ChooseNode(TTreeListNode* node);
  std::function<void(TDBTreePopupEdit& sender)> OnEditValueChanged;

 protected:
  void LoadFromField() override;
  void UpdateData() override {}
  void DoInitPopup() override;
  void DoCloseUp() override;
  void KeyDown(int& key, TShiftState shift) override;
  void CharInput(char32_t key) override;

 private:
  void ForwardToTree(unsigned msg, int64_t wParam, int64_t lParam = 0);
  TDBTreeList* tree_;
};

}  // namespace jxc
