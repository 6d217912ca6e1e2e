#include "platform/GridInplaceEdit.h"

#include <algorithm>

#include "platform/Application.h"
#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/Text.h"

namespace jxc {

namespace {
const TGridEditorProperties& DefaultProperties() {
  static const TGridEditorProperties none;
  return none;
}

bool SameValue(const Variant& a, const Variant& b) {
  if (a.IsNullOrEmpty() || b.IsNullOrEmpty()) return a.IsNullOrEmpty() == b.IsNullOrEmpty();
  return a == b;
}
}  // namespace

// --- TGridInplaceEditor ----------------------------------------------------------------------------------

class TGridInplaceEditor::RowLink : public TDataLink {
 public:
  explicit RowLink(TGridInplaceEditor& editor) : editor_(editor) {}

 protected:
  void DataEvent(TDataEvent event, TField*) override {
    if (editor_.ownDataChange_ > 0 || editor_.closed_) return;
    switch (event) {
      case TDataEvent::DataSetScroll:
      case TDataEvent::DataSetChange:
      case TDataEvent::RecordChange:
      case TDataEvent::LayoutChange:
        editor_.Close(true);
        break;
      case TDataEvent::UpdateState:
        if (!DataSet() || (DataSet()->State() != dsEdit && DataSet()->State() != dsInsert)) editor_.Close(true);
        break;
      default:
        break;
    }
  }

 private:
  TGridInplaceEditor& editor_;
};

TGridInplaceEditor::TGridInplaceEditor(TGridColumn& column)
    : TCustomEdit(column.View() ? column.View()->Grid() : nullptr),
      view_(column.View()),
      column_(&column),
      grid_(column.View() ? column.View()->Grid() : nullptr) {
  if (!view_ || !grid_) throw EInvalidOperation("A cell can only be edited in a view shown by a grid");
  SetParent(grid_);
  TabStop = false;
  record_ = view_->FocusedRecordIndex();
  if (TDataSource* source = view_->DataController().DataSource()) {
    rowLink_ = std::make_unique<RowLink>(*this);
    rowLink_->SetDataSource(source);
  }
  view_->FreeNotification(this);
  column.FreeNotification(this);
}

TGridInplaceEditor::~TGridInplaceEditor() {
  BeginDestroy();
  if (view_ && view_->inplaceEditor_ == this) view_->inplaceEditor_ = nullptr;
}

TDataSet* TGridInplaceEditor::DataSet() const {
  if (!view_) return nullptr;
  TDataSource* source = view_->DataController().DataSource();
  return source ? source->DataSet() : nullptr;
}

const TGridEditorProperties& TGridInplaceEditor::Properties() const {
  return column_ ? column_->Properties : DefaultProperties();
}

bool TGridInplaceEditor::CanModifyCell() const {
  if (closed_ || !view_ || !column_ || ReadOnly) return false;
  if (!view_->OptionsData.Editing || !column_->Options.Editing || column_->Properties.ReadOnly) return false;
  if (!view_->DataController().Bound()) return record_ >= 0 && record_ < view_->DataController().RecordCount();
  TDataSet* ds = DataSet();
  TField* field = column_->Field();
  if (!ds || !ds->Active() || !field || field->ReadOnly) return false;
  if (ds->State() == dsEdit || ds->State() == dsInsert) return true;
  TDataSource* source = view_->DataController().DataSource();
  return source && source->AutoEdit;
}

bool TGridInplaceEditor::BeginCellEdit() {
  if (!CanModifyCell()) return false;
  TDataSet* ds = DataSet();
  if (ds && ds->State() == dsBrowse) {
    ++ownDataChange_;
    try {
      ds->Edit();
    } catch (...) {
      --ownDataChange_;
      throw;
    }
    --ownDataChange_;
  }
  return true;
}

Variant TGridInplaceEditor::CellValue() const {
  if (!view_ || !column_) return Variant::Null();
  if (!view_->DataController().Bound()) return view_->DataController().Value(record_, *column_);
  TField* field = column_->Field();
  return field ? field->Value() : Variant::Null();
}

void TGridInplaceEditor::WriteCellText(const std::string& text) {
  if (!view_ || !column_) return;
  if (!view_->DataController().Bound()) {
    view_->DataController().SetText(record_, *column_, text);
    return;
  }
  TField* field = column_->Field();
  if (!field) throw EDatabaseError("Field '" + column_->FieldName() + "' not found");
  if (!BeginCellEdit()) {
    if (field->ReadOnly) throw EDatabaseError("Field '" + field->FieldName() + "' cannot be modified");
    throw EDatabaseError("Dataset not in edit or insert mode");
  }
  field->SetText(text);
}

std::string TGridInplaceEditor::ValueText(const Variant& value) const {
  return value.IsNullOrEmpty() ? std::string() : value.ToString();
}

std::string TGridInplaceEditor::LoadedText(const Variant& value) const {
  // A bound cell shows its field's own text.
  TField* field = view_ && view_->DataController().Bound() && column_ ? column_->Field() : nullptr;
  return field ? field->Text() : ValueText(value);
}

Variant TGridInplaceEditor::TextValue(const std::string& text) const {
  return text.empty() ? Variant::Null() : Variant(text);
}

void TGridInplaceEditor::LoadValue(const Variant& value) {
  editValue_ = value.IsEmpty() ? Variant::Null() : value;
  loading_ = true;
  try {
    SetText(LoadedText(editValue_));
  } catch (...) {
    loading_ = false;
    throw;
  }
  loading_ = false;
}

void TGridInplaceEditor::SetEditValue(const Variant& value) {
  editValue_ = value.IsEmpty() ? Variant::Null() : value;
  SetText(ValueText(editValue_));
  editModified_ = true;
}

void TGridInplaceEditor::PostEditValue() {
  if (closed_ || !EditModified()) return;
  // Text typed since the value was last set stands for the value it names.
  Variant value = Modified() ? TextValue(Text()) : editValue_;
  WriteCellText(value.IsNullOrEmpty() ? std::string() : value.ToString());
  editValue_ = value;
  editModified_ = false;
  SetModified(false);
}

void TGridInplaceEditor::DropDown() {
  if (!HasDropDown() || droppedDown_ || closed_) return;
  DoInitPopup();
  if (closed_) return;
  droppedDown_ = true;
  DoDropDown();
}

void TGridInplaceEditor::CloseUp(bool accept) {
  if (!droppedDown_) return;
  droppedDown_ = false;
  DoCloseDropDown(accept);
  DoCloseUp(accept);
}

void TGridInplaceEditor::DoInitPopup() {
  if (column_ && column_->Properties.OnInitPopup) {
    auto handler = column_->Properties.OnInitPopup;
    handler(*column_);
  }
}

void TGridInplaceEditor::DoCloseUp(bool accepted) {
  if (column_ && column_->Properties.OnCloseUp) {
    auto handler = column_->Properties.OnCloseUp;
    handler(*column_);
  }
}

void TGridInplaceEditor::DoChange() { TCustomEdit::Change(); }

void TGridInplaceEditor::Change() {
  if (!loading_) DoChange();
}

bool TGridInplaceEditor::WantTabs() const { return view_ && view_->OptionsBehavior.FocusCellOnTab; }

void TGridInplaceEditor::ReceiveFirstChar(char32_t key) {
  SelectAll();
  KeyPress(key);
  if (key != 0) CharInput(key);
}

void TGridInplaceEditor::CharInput(char32_t key) {
  const bool typing = key >= 32 || key == 8;
  if (!typing || closed_) return;
  if (!BeginCellEdit()) return;
  if (ImmediateDropDown && HasDropDown() && !droppedDown_) DropDown();
  if (closed_) return;
  TCustomEdit::CharInput(key);
}

void TGridInplaceEditor::KeyDown(int& key, TShiftState shift) {
  if (key == VK_DELETE && !closed_ && !BeginCellEdit()) {
    TWinControl::KeyDown(key, shift);  // the handler hears it; the text stays
    key = 0;
    return;
  }
  TCustomEdit::KeyDown(key, shift);  // the editor's own handler, then the caret and Delete keys
  if (key == 0 || closed_) return;
  const bool alt = (shift & ssAlt) != 0;
  if (HasDropDown() && (key == VK_F4 || (alt && (key == VK_DOWN || key == VK_UP)))) {
    if (droppedDown_)
      CloseUp(true);
    else if (key != VK_UP)
      DropDown();
    key = 0;
    return;
  }
  if (droppedDown_) {
    switch (key) {
      case VK_ESCAPE: CloseUp(false); key = 0; return;
      case VK_RETURN: CloseUp(true); key = 0; return;
      case VK_UP: MoveInDropDown(-1); key = 0; return;
      case VK_DOWN: MoveInDropDown(1); key = 0; return;
      default: break;
    }
  }
  switch (key) {
    case VK_ESCAPE:
      if (view_) view_->HideEdit(false);
      key = 0;
      return;
    case VK_RETURN:
    case VK_TAB:
    case VK_UP:
    case VK_DOWN:
      LeaveCell(key, shift);
      key = 0;
      return;
    default:
      break;
  }
}

void TGridInplaceEditor::LeaveCell(int key, TShiftState shift) {
  TGridTableView* view = view_;
  if (!view) return;
  view->HideEdit(true);  // a refused value raises here and the editor stays
  switch (key) {
    case VK_RETURN:
      if (view->OptionsBehavior.GoToNextCellOnEnter) view->FocusNextCell();
      break;
    case VK_TAB:
      view->FocusNextCell();
      break;
    case VK_UP:
    case VK_DOWN: {
      auto& data = view->DataController();
      const int row = data.FocusedRowIndex() + (key == VK_UP ? -1 : 1);
      if (row >= 0 && row < data.RowCount()) data.SetFocusedRowIndex(row);
      break;
    }
    default:
      break;
  }
}

void TGridInplaceEditor::DoExit() {
  if (!closed_) {
    if (droppedDown_) CloseUp(false);
    PostEditValue();  // a refusal keeps the focus here
    Close(false);
  }
  TWinControl::DoExit();
}

void TGridInplaceEditor::Close(bool refocus) {
  if (closed_) return;
  closed_ = true;
  if (droppedDown_) {
    droppedDown_ = false;
    DoCloseDropDown(false);
  }
  if (view_ && view_->inplaceEditor_ == this) view_->inplaceEditor_ = nullptr;
  const bool hadFocus = Focused();
  SetVisible(false);
  if (hadFocus && refocus) {
    if (grid_ && !grid_->Destroying() && grid_->CanFocus())
      grid_->SetFocus();
    else if (TCustomForm* form = Form())
      form->SetActiveControl(nullptr);
  }
  if (rowLink_) rowLink_->SetDataSource(nullptr);
  if (view_) view_->RemoveFreeNotification(this);
  if (column_) column_->RemoveFreeNotification(this);
  view_ = nullptr;
  column_ = nullptr;
  PostMessage(CM_RELEASE);
}

void TGridInplaceEditor::Notification(TComponent* component, TOperation operation) {
  TCustomEdit::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == view_ || component == column_) Close(true);
  if (component == grid_) grid_ = nullptr;
}

void TGridInplaceEditor::WndProc(TMessage& message) {
  if (message.Msg == CM_RELEASE) {
    delete this;
    return;
  }
  TCustomEdit::WndProc(message);
}

// --- TGridInplaceLookupEdit ------------------------------------------------------------------------------

TGridInplaceLookupEdit::TGridInplaceLookupEdit(TGridColumn& column) : TGridInplaceEditor(column) {
  KeyFieldNames = column.Properties.KeyFieldNames;
  ListFieldNames = column.Properties.ListFieldNames;
  ListFieldIndex = column.Properties.ListFieldIndex;
  SetListSource(column.Properties.ListSource);
  for (const std::string& name : SplitString(ListFieldNames, ";", true)) ListColumns.push_back({name, 64});
}

TGridInplaceLookupEdit::~TGridInplaceLookupEdit() { BeginDestroy(); }

void TGridInplaceLookupEdit::SetListSource(TDataSource* source) {
  if (source == listSource_) return;
  if (listSource_) listSource_->RemoveFreeNotification(this);
  listSource_ = source;
  if (listSource_) listSource_->FreeNotification(this);
}

void TGridInplaceLookupEdit::Notification(TComponent* component, TOperation operation) {
  TGridInplaceEditor::Notification(component, operation);
  if (operation == TOperation::opRemove && component == listSource_) listSource_ = nullptr;
}

TDataSet* TGridInplaceLookupEdit::ListDataSet() const {
  TDataSet* ds = listSource_ ? listSource_->DataSet() : nullptr;
  return ds && ds->Active() ? ds : nullptr;
}

std::string TGridInplaceLookupEdit::ListFieldName() const {
  std::vector<std::string> names = SplitString(ListFieldNames, ";", true);
  if (names.empty()) return "";
  const size_t index = ListFieldIndex >= 0 && ListFieldIndex < static_cast<int>(names.size()) ? ListFieldIndex : 0;
  return names[index];
}

int TGridInplaceLookupEdit::ListRowCount() const {
  TDataSet* ds = ListDataSet();
  return ds ? ds->RecordCount() : 0;
}

int TGridInplaceLookupEdit::ListRow() const {
  TDataSet* ds = ListDataSet();
  return ds && !ds->IsEmpty() ? ds->RecNo() - 1 : -1;
}

void TGridInplaceLookupEdit::SyncLookupKeyWithList() {
  TDataSet* ds = ListDataSet();
  TField* key = ds ? ds->FindField(KeyFieldNames) : nullptr;
  lookupKey_ = key && !ds->IsEmpty() ? key->Value() : Variant::Null();
}

void TGridInplaceLookupEdit::SetListRow(int row) {
  TDataSet* ds = ListDataSet();
  if (!ds || row < 0 || row >= ds->RecordCount()) return;
  ds->SetRecNo(row + 1);
  SyncLookupKeyWithList();
}

void TGridInplaceLookupEdit::ClickListRow(int row) {
  Application().Dispatch([&] {
    if (!DroppedDown()) return;
    TDataSet* ds = ListDataSet();
    if (!ds || row < 0 || row >= ds->RecordCount())
      throw EArgumentError("List index out of bounds (" + std::to_string(row) + ")");
    ds->SetRecNo(row + 1);
    SyncLookupKeyWithList();
    CloseUp(true);
  });
  Application().ProcessMessages();
}

void TGridInplaceLookupEdit::MoveInDropDown(int delta) {
  const int count = ListRowCount();
  if (count == 0) return;
  // With no row chosen yet the first key chooses the first row.
  const int row = ListRow() < 0 || lookupKey_.IsNullOrEmpty() ? 0 : std::clamp(ListRow() + delta, 0, count - 1);
  SetListRow(row);
}

std::string TGridInplaceLookupEdit::GetDisplayLookupText(const Variant& key) const {
  TDataSet* ds = ListDataSet();
  if (!ds || key.IsNullOrEmpty() || KeyFieldNames.empty() || ListFieldName().empty()) return "";
  return ds->Lookup(KeyFieldNames, key, ListFieldName()).ToString();
}

std::string TGridInplaceLookupEdit::ValueText(const Variant& value) const { return GetDisplayLookupText(value); }

Variant TGridInplaceLookupEdit::TextValue(const std::string& text) const {
  if (text.empty()) return Variant::Null();
  if (TDataSet* ds = ListDataSet()) {
    TField* list = ds->FindField(ListFieldName());
    TField* key = ds->FindField(KeyFieldNames);
    if (list && key)
      for (int row = 0; row < ds->RecordCount(); ++row)
        if (SameText(ds->RowValue(row, list->Index()).ToString(), text)) return ds->RowValue(row, key->Index());
  }
  // Text that names no row: where the shown field is the key itself, the text is the key (the cell's
  // own text entry judges it); otherwise the value stays what it was.
  if (SameText(ListFieldName(), KeyFieldNames)) return Variant(text);
  return EditValue();
}

void TGridInplaceLookupEdit::DoInitPopup() {
  TGridInplaceEditor::DoInitPopup();
  lookupKey_ = EditValue();
  TDataSet* ds = ListDataSet();
  if (ds && !lookupKey_.IsNullOrEmpty() && !KeyFieldNames.empty() && ds->FindField(KeyFieldNames))
    ds->Locate(KeyFieldNames, lookupKey_);
}

void TGridInplaceLookupEdit::DoCloseDropDown(bool accept) {
  if (accept) return;
  // Cancelled: back to the value and text from before the list opened.
  lookupKey_ = EditValue();
  if (!Closed() && Modified()) LoadValue(EditValue());
}

void TGridInplaceLookupEdit::DoCloseUp(bool accepted) {
  if (accepted && !lookupKey_.IsNullOrEmpty() && !SameValue(lookupKey_, EditValue())) SetEditValue(lookupKey_);
  TGridInplaceEditor::DoCloseUp(accepted);
}

void TGridInplaceLookupEdit::CharInput(char32_t key) {
  if (DropDownListStyle == TDropDownListStyle::lsFixedList && key != 8) return;
  TGridInplaceEditor::CharInput(key);
  if (key >= 32 && DroppedDown() && IncrementalSearch && !Closed()) Complete();
}

void TGridInplaceLookupEdit::Complete() {
  TDataSet* ds = ListDataSet();
  const std::string typed = Text();
  if (!ds || typed.empty() || SelStart() != static_cast<int>(CharCount(typed))) return;
  TField* list = ds->FindField(ListFieldName());
  if (!list) return;
  for (int row = 0; row < ds->RecordCount(); ++row) {
    const std::string text = ds->RowValue(row, list->Index()).ToString();
    if (!StartsText(typed, text)) continue;
    ds->SetRecNo(row + 1);
    SyncLookupKeyWithList();
    const int typedChars = static_cast<int>(CharCount(typed));
    // The user's own characters stay as typed; the completed tail is selected, so typing on replaces it.
    SetText(typed + Utf32ToUtf8(Utf8ToUtf32(text).substr(static_cast<size_t>(typedChars))));
    SetSelStart(typedChars);
    SetSelLength(static_cast<int>(CharCount(Text())) - typedChars);
    SetModified(true);
    return;
  }
}

// --- TGridInplacePopupEdit -------------------------------------------------------------------------------

void TGridInplacePopupEdit::DoDropDown() {
  popupControl_ = Properties().PopupControl;
  if (!popupControl_) return;
  popupControl_->FreeNotification(this);
  popupControl_->SetVisible(true);
}

void TGridInplacePopupEdit::DoCloseDropDown(bool accept) {
  if (!popupControl_) return;
  popupControl_->SetVisible(false);
  popupControl_->RemoveFreeNotification(this);
  popupControl_ = nullptr;
}

void TGridInplacePopupEdit::Notification(TComponent* component, TOperation operation) {
  TGridInplaceEditor::Notification(component, operation);
  if (operation == TOperation::opRemove && component == popupControl_) popupControl_ = nullptr;
}

// --- the view's editing lifecycle ------------------------------------------------------------------------

TGridInplaceEditor* TGridTableView::ShowEdit() {
  TGridColumn* column = focusedColumn_;
  if (inplaceEditor_ && inplaceEditor_->Column() == column) return inplaceEditor_;
  if (inplaceEditor_) HideEdit(true);
  if (!column || !grid_ || !column->Visible || !OptionsData.Editing || !column->Options.Editing ||
      column->Properties.ReadOnly)
    return nullptr;
  if (FocusedRecordIndex() < 0) {
    // Only the row a bound view's dataset is inserting has no record index.
    TDataSource* source = data_.DataSource();
    if (!source || !source->DataSet() || source->DataSet()->State() != dsInsert) return nullptr;
  }
  TGridInplaceEditor* editor;
  if (column->Properties.CreateEditor) {
    auto make = column->Properties.CreateEditor;
    editor = make(*column);
  } else if (column->Properties.Kind == TGridEditorKind::Lookup) {
    editor = new TGridInplaceLookupEdit(*column);
  } else if (column->Properties.Kind == TGridEditorKind::Popup) {
    editor = new TGridInplacePopupEdit(*column);
  } else {
    editor = new TGridInplaceEditor(*column);
  }
  if (!editor) return nullptr;
  inplaceEditor_ = editor;
  try {
    editor->LoadValue(editor->CellValue());
    if (editor->CanFocus()) editor->SetFocus();
  } catch (...) {
    editor->Close(true);
    throw;
  }
  if (editor->AutoSelect)
    editor->SelectAll();
  else
    editor->SetSelStart(static_cast<int>(CharCount(editor->Text())));
  return editor;
}

void TGridTableView::HideEdit(bool post) {
  TGridInplaceEditor* editor = inplaceEditor_;
  if (!editor) return;
  if (post) {
    if (editor->DroppedDown()) editor->CloseUp(false);
    editor->PostEditValue();
  }
  editor->Close(true);
}

void TGridTableView::ClickCell(int record, TGridColumn& column) {
  Application().Dispatch([&] {
    if (column.View() != this) return;
    if (inplaceEditor_) {
      if (inplaceEditor_->Column() == &column && record == FocusedRecordIndex()) return;
      HideEdit(true);
    }
    if (grid_ && grid_->CanFocus() && !grid_->Focused()) grid_->SetFocus();
    if (record != FocusedRecordIndex()) SetFocusedRecordIndex(record);
    SetFocusedColumn(&column);
    if (OptionsBehavior.ImmediateEditor) ShowEdit();
  });
  Application().ProcessMessages();
}

void TGrid::CharInput(char32_t key) {
  if ((key < 32 && key != 8) || !active_) return;
  if (TGridInplaceEditor* editor = active_->ShowEdit()) editor->ReceiveFirstChar(key);
}

}  // namespace jxc
