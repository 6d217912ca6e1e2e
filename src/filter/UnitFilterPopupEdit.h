#pragma once
// Edits whose drop-down is a search list (filter/UnitFrameBaseFilterEx.h). The edit keeps the focus while
// the list is down: what the user types into it is searched in the list after the typing pause, Up and Down
// move the list's current row, Enter chooses it and Esc closes the list without choosing. The chosen row
// reaches the caller's record through the list's callback; the typed text itself is never written into
// the record (it is a search, not a value).
//
// TDBFilterPopupEdit is the data-aware edit of a record panel: it shows its field (a customer's name, an
// account) and drops the list down on F4, Alt+Down or the first typed character.
//
// TGridInplaceFilterEdit is the in-place editor of a grid column whose cells are chosen from a search
// list, as a bill's product, colour, configuration and serial-number columns are. UseLookupEditor puts it
// on a column; the list is given, or made at each drop-down by the column's maker (so that it can follow
// the bill's shop and the row's product).

#include <functional>
#include <string>

#include "platform/DBCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/GridInplaceEdit.h"

namespace jxc {

class TFrameBaseFilterEx;

class TDBFilterPopupEdit : public TDBControl<TPopupEdit> {
 public:
  using TDBControl<TPopupEdit>::TDBControl;
  ~TDBFilterPopupEdit() override;
  std::string ClassName() const override { return "TDBFilterPopupEdit"; }

  // The search list shown as the drop-down (null: none yet).
  TFrameBaseFilterEx* Frame() const;
  // Makes the list this edit's drop-down and lets it close the drop-down once it has chosen.
  void AttachFrame(TFrameBaseFilterEx& frame);

 protected:
  void LoadFromField() override;
  void UpdateData() override {}
  void Change() override;
  void KeyDown(int& key, TShiftState shift) override;
  // Entering the edit selects its text: what the user types replaces it as a search.
  void DoEnter() override;
  void DoCloseUp() override;
  void Notification(TComponent* component, TOperation operation) override;
};

class TGridInplaceFilterEdit : public TGridInplacePopupEdit {
 public:
  explicit TGridInplaceFilterEdit(TGridColumn& column);
  ~TGridInplaceFilterEdit() override;
  std::string ClassName() const override { return "TGridInplaceFilterEdit"; }

  // The list shown while dropped down (null otherwise).
  TFrameBaseFilterEx* Frame() const;
  // Typed text is a search: nothing is written into the cell when the editor closes.
  void PostEditValue() override {}

 protected:
  void DoDropDown() override;
  void DoCloseDropDown(bool accept) override;
  void DoChange() override;
  void MoveInDropDown(int delta) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TFrameBaseFilterEx* frame_ = nullptr;  // while dropped down
};

// Makes the column's cells searched and chosen in a search list: popup editor TGridInplaceFilterEdit,
// with the list as its drop-down. A maker (when given) is asked before each drop-down for the list to show
// (typically a GetXxx look-up function with the column as owner, which reuses the column's list).
using TLookupMaker = std::function<TFrameBaseFilterEx*(TGridColumn& column)>;
void UseLookupEditor(TGridColumn& column, TFrameBaseFilterEx* frame, TLookupMaker maker = nullptr);

}  // namespace jxc
