#pragma once
// In-place editors of grid cells. A view opens one editor for the focused cell when the user starts to
// edit it (F2, Enter, a typed character, a click on the cell) and closes it when the focus leaves the
// cell. The editor sits in the grid, takes the focus and is typed into like any edit; it knows its view,
// column and record, and so the data of the view it edits.
//
// Life of an editor:
//   open     the column's Properties.CreateEditor makes it (else the editor of the column's Kind); it shows
//            the cell's value and takes the focus.
//   typing   the first change puts a bound view's dataset into edit (where the data source allows it;
//            otherwise, and on read-only cells and fields, keys that would change the text are refused);
//            every change of the text runs DoChange.
//   drop-down  editors with a list or a popup open it (Alt+Down, F4, the button, or a typed character when
//            ImmediateDropDown is on) after DoInitPopup, and close it with DoCloseUp: Enter or a click on a
//            list row accepts, Esc cancels.
//   post     Enter, Tab, Up, Down, a click elsewhere or leaving the grid write a changed value into the cell
//            (through the field's text entry for bound views, so set-text handlers run). A refused value
//            is shown as an error and the editor stays open with what the user typed. Esc drops it.
//   close    the editor hides, gives the focus back to the grid and is freed once the current event is
//            over, so an editor may close itself from its own handlers. Moving the focused cell in code,
//            a dataset that scrolls, posts, cancels or reloads the row, or freeing the column or view
//            closes it without writing anything.
//
// The record of a bound view is always the dataset's current row (also a row being inserted, whose record
// index is -1); an unbound view's record is the one focused when the editor opened.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Grid.h"
#include "platform/StdCtrls.h"
#include "platform/Variant.h"

namespace jxc {

class TDataSet;
class TDataSource;

class TGridInplaceEditor : public TCustomEdit {
 public:
  // Made for the focused cell of the column's view; owned by and placed in the view's grid.
  explicit TGridInplaceEditor(TGridColumn& column);
  ~TGridInplaceEditor() override;
  std::string ClassName() const override { return "TGridInplaceEditor"; }

  // --- what is edited ------------------------------------------------------------------------------------
  // Null once the editor closed (or its view or column went away).
  TGridTableView* GridView() const { return view_; }
  TGridColumn* Column() const { return column_; }
  TGridDataController* DataController() const { return view_ ? &view_->DataController() : nullptr; }
  // The dataset of a bound view, null for unbound views.
  TDataSet* DataSet() const;
  int RecordIndex() const { return record_; }
  // The column's editor properties (a default set once the column is gone).
  const TGridEditorProperties& Properties() const;
  bool Closed() const { return closed_; }

  // --- value -----------------------------------------------------------------------------------------------
  // The value the editor holds (the cell's when it opened); null when none.
  const Variant& EditValue() const { return editValue_; }
  // Shows the value (as the cell would) and marks the editor changed.
  void SetEditValue(const Variant& value);
  // Whether the user changed the value since it was loaded or last posted.
  bool EditModified() const { return editModified_ || Modified(); }
  // Writes a changed value into the cell; raises what the cell's field raises and then keeps the value.
  virtual void PostEditValue();
  // Whether the user may change the cell now.
  bool CanModifyCell() const;

  // --- drop-down ---------------------------------------------------------------------------------------
  virtual bool HasDropDown() const { return false; }
  bool DroppedDown() const { return droppedDown_; }
  // Opens the drop-down (DoInitPopup first); nothing for editors without one or when open already.
  void DropDown();
  // Closes the drop-down, accepting the chosen entry or not, and runs DoCloseUp.
  void CloseUp(bool accept);
  // Typing opens the drop-down first.
  bool ImmediateDropDown = true;
  // Entering the editor selects its whole text.
  bool AutoSelect = true;

  // --- the user's input that reaches the editor from the grid --------------------------------------------
  // A character typed on the grid that opened this editor: it replaces the whole text.
  void ReceiveFirstChar(char32_t key);
  // Tab moves between cells when the view focuses cells on Tab.
  bool WantTabs() const override;

  void WndProc(TMessage& message) override;

 protected:
  // Before the drop-down opens: the column's OnInitPopup.
  virtual void DoInitPopup();
  // After the drop-down closed: the column's OnCloseUp.
  virtual void DoCloseUp(bool accepted);
  // The text changed: OnChange.
  virtual void DoChange();
  virtual void DoDropDown() {}
  virtual void DoCloseDropDown(bool accept) {}
  // The value shown for a value: its text.
  virtual std::string ValueText(const Variant& value) const;
  // The text shown when the editor opens on a value: a bound cell's field text, else ValueText.
  virtual std::string LoadedText(const Variant& value) const;
  // The value the typed text stands for.
  virtual Variant TextValue(const std::string& text) const;
  // Moves the drop-down's chosen entry (Up and Down while it is open).
  virtual void MoveInDropDown(int delta) {}

  void Change() final;
  void CharInput(char32_t key) override;
  void KeyDown(int& key, TShiftState shift) override;
  void DoExit() override;
  void Notification(TComponent* component, TOperation operation) override;

  // Puts a bound view's dataset into edit where allowed; false when the cell may not change.
  bool BeginCellEdit();
  // Writes text into the cell through its text entry (a bound view: the field of the current row).
  void WriteCellText(const std::string& text);
  // The cell's current value.
  Variant CellValue() const;
  // Shows the value; what the user typed is no longer pending.
  void LoadValue(const Variant& value);

 private:
  friend class TGridTableView;
  // Hides the editor, gives the focus back to the grid when it had it (refocus) and frees it after the
  // current event.
  void Close(bool refocus);
  // Posts, closes and moves the focused cell as the key says (Enter, Tab, Up, Down).
  void LeaveCell(int key, TShiftState shift);

  class RowLink;
  // Follows a bound view's dataset: the editor closes when its row goes (scroll, cancel, post, reload).
  std::unique_ptr<RowLink> rowLink_;
  int ownDataChange_ = 0;  // the editor itself is putting the dataset into edit
  TGridTableView* view_ = nullptr;
  TGridColumn* column_ = nullptr;
  TGrid* grid_ = nullptr;
  int record_ = -1;
  Variant editValue_ = Variant::Null();
  bool editModified_ = false;
  bool droppedDown_ = false;
  bool closed_ = false;
  bool loading_ = false;
};

// A column of a lookup editor's drop-down list.
struct TGridLookupListColumn {
  std::string FieldName;
  int Width = 64;
};

enum class TDropDownListStyle { lsEditList, lsFixedList };

// A lookup editor: the cell holds a key of the list dataset (ListSource), shown as the row's list field.
// While the list is open its chosen row is the list dataset's current row; Up and Down move it, and
// choosing a row makes its key the lookup key, which becomes the edit value when the list closes
// accepted. In an editable list (lsEditList) typing searches the list incrementally: the text is completed
// with the first row whose shown field begins with it (the completed tail selected) and that row is chosen.
class TGridInplaceLookupEdit : public TGridInplaceEditor {
 public:
  // Takes list source, key and list fields from the column's properties.
  explicit TGridInplaceLookupEdit(TGridColumn& column);
  ~TGridInplaceLookupEdit() override;
  std::string ClassName() const override { return "TGridInplaceLookupEdit"; }

  bool HasDropDown() const override { return true; }
  TDataSource* ListSource() const { return listSource_; }
  void SetListSource(TDataSource* source);
  TDataSet* ListDataSet() const;
  std::string KeyFieldNames;
  std::string ListFieldNames;  // ";"-separated
  int ListFieldIndex = 0;
  // The drop-down's columns, in order (made from ListFieldNames when none are given).
  std::vector<TGridLookupListColumn> ListColumns;
  TDropDownListStyle DropDownListStyle = TDropDownListStyle::lsEditList;
  bool IncrementalSearch = true;
  int DropDownRows = 8;
  bool DropDownSizeable = false;
  bool DropDownAutoSize = true;
  int DropDownWidth = 0;
  int DropDownHeight = 0;
  bool ListHeaderVisible = true;
  bool GridMode = false;

  // The field shown in the edit (ListFieldNames' ListFieldIndex-th).
  std::string ListFieldName() const;
  // The list rows the drop-down shows now: the list dataset's visible rows.
  int ListRowCount() const;
  // The chosen row (0-based among the visible rows), -1 when none.
  int ListRow() const;
  // Chooses a row as the arrow keys do.
  void SetListRow(int row);
  // The user clicks a row of the open list: it is chosen and the list closes accepted.
  void ClickListRow(int row);
  // The key of the chosen row while the list is open; the edit value otherwise.
  const Variant& LookupKey() const { return lookupKey_; }
  // The text shown for a key: the list field of the row with that key ("" when none).
  virtual std::string GetDisplayLookupText(const Variant& key) const;

 protected:
  void DoInitPopup() override;
  void DoCloseDropDown(bool accept) override;
  // Accepted: the lookup key becomes the edit value; then the column's OnCloseUp.
  void DoCloseUp(bool accepted) override;
  std::string ValueText(const Variant& value) const override;
  std::string LoadedText(const Variant& value) const override { return ValueText(value); }
  Variant TextValue(const std::string& text) const override;
  void MoveInDropDown(int delta) override;
  void CharInput(char32_t key) override;
  void Notification(TComponent* component, TOperation operation) override;
  // Makes the current row of the list the chosen one.
  void SyncLookupKeyWithList();

 private:
  void Complete();

  TDataSource* listSource_ = nullptr;
  Variant lookupKey_ = Variant::Null();
};

// A popup editor: its drop-down is another control (often a frame), Properties.PopupControl, which the
// column's OnInitPopup may rebuild or replace before each opening. The control shows while the popup is
// open; whoever chooses in it writes the cell's record and closes the popup (CloseUp) through the view's
// InplaceEditor().
class TGridInplacePopupEdit : public TGridInplaceEditor {
 public:
  using TGridInplaceEditor::TGridInplaceEditor;
  std::string ClassName() const override { return "TGridInplacePopupEdit"; }
  bool HasDropDown() const override { return true; }
  TWinControl* PopupControl() const { return popupControl_; }

 protected:
  void DoDropDown() override;
  void DoCloseDropDown(bool accept) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TWinControl* popupControl_ = nullptr;
};

}  // namespace jxc
