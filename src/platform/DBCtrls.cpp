#include "platform/DBCtrls.h"

#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "platform/Format.h"
#include "platform/Text.h"

namespace jxc {

// --- TFieldDataLink --------------------------------------------------------------------------------------

void TFieldDataLink::SetFieldName(std::string name) {
  fieldName_ = std::move(name);
  Resolve();
}

void TFieldDataLink::Resolve() {
  TDataSet* ds = DataSet();
  field_ = ds && ds->Active() && !fieldName_.empty() ? ds->FindField(fieldName_) : nullptr;
}

bool TFieldDataLink::CanModify() const {
  TDataSet* ds = DataSet();
  if (!ds || !ds->Active() || !field_ || field_->ReadOnly) return false;
  return ds->State() == dsEdit || ds->State() == dsInsert || (DataSource() && DataSource()->AutoEdit);
}

bool TFieldDataLink::Edit() {
  TDataSet* ds = DataSet();
  if (!ds || !ds->Active()) return false;
  if (ds->State() == dsBrowse && DataSource() && DataSource()->AutoEdit) ds->Edit();
  return ds->State() == dsEdit || ds->State() == dsInsert;
}

void TFieldDataLink::DataEvent(TDataEvent event, TField* field) {
  switch (event) {
    case TDataEvent::FieldChange:
      if (field == field_ && OnDataChange) OnDataChange();
      break;
    case TDataEvent::RecordChange:
    case TDataEvent::DataSetChange:
    case TDataEvent::DataSetScroll:
    case TDataEvent::LayoutChange:
      Resolve();
      if (OnDataChange) OnDataChange();
      if (event == TDataEvent::LayoutChange && OnActiveChange) OnActiveChange();
      break;
    case TDataEvent::UpdateState:
      // Going into edit keeps what the user is typing; the field itself is unchanged.
      Resolve();
      break;
    case TDataEvent::UpdateRecord:
      if (OnUpdateData) OnUpdateData();
      break;
    case TDataEvent::FocusControl:
      if (field && field == field_ && OnFocusControl) OnFocusControl();
      break;
  }
}

// --- text controls ---------------------------------------------------------------------------------------

void TDBEdit::LoadFromField() { SetText(Field() ? Field()->Text() : std::string()); }

void TDBMemo::LoadFromField() { SetText(Field() ? Field()->AsString() : std::string()); }

void TDBCurrencyEdit::LoadFromField() {
  TField* field = Field();
  if (!field || field->IsNull())
    SetText("");
  else
    SetValue(field->AsFloat());
}

std::string TDBCurrencyEdit::FieldText() const { return Text().empty() ? std::string() : FloatToStr(Value()); }

void TDBDateEdit::LoadFromField() {
  TField* field = Field();
  SetEditValue(!field || field->IsNull() ? Variant::Null() : Variant(field->AsDateTime()));
}

std::string TDBDateEdit::FieldText() const {
  Variant value = EditValue();
  return value.IsNull() ? std::string() : DateToStr(Date());
}

// --- TDBCheckBox -----------------------------------------------------------------------------------------

void TDBCheckBox::LoadFromField() {
  TField* field = Field();
  bool checked = field && !field->IsNull() && field->AsBoolean();
  // Showing the field is no click: the state is set without running OnClick.
  if (checked != Checked()) {
    auto handler = std::move(OnClick);
    OnClick = nullptr;
    SetChecked(checked);
    OnClick = std::move(handler);
  }
}

void TDBCheckBox::Click() {
  if (!Enabled() || !link_.CanModify() || !link_.Edit()) return;
  Field()->SetAsBoolean(!Checked());  // the field change shows the new state
  TControl::Click();
}

// --- TLookupComboBox -------------------------------------------------------------------------------------

TLookupComboBox::TLookupComboBox(TComponent* owner) : TCustomEdit(owner) {
  list_.OnDataChange = [this] { RefreshText(); };
}

TLookupComboBox::~TLookupComboBox() { list_.SetDataSource(nullptr); }

void TLookupComboBox::SetListSource(TDataSource* source) {
  list_.SetDataSource(source);
  RefreshText();
}

std::string TLookupComboBox::ListFieldName() const {
  std::vector<std::string> names = SplitString(ListFieldNames, ";", true);
  if (names.empty()) return "";
  size_t index = ListFieldIndex >= 0 && ListFieldIndex < static_cast<int>(names.size()) ? ListFieldIndex : 0;
  return names[index];
}

void TLookupComboBox::RefreshText() {
  TDataSet* ds = list_.DataSet();
  std::string text;
  if (ds && ds->Active() && !editValue_.IsNullOrEmpty() && !KeyFieldNames.empty() && !ListFieldName().empty())
    text = ds->Lookup(KeyFieldNames, editValue_, ListFieldName()).ToString();
  SetText(text);
}

void TLookupComboBox::SetEditValue(const Variant& key) {
  bool changed = !(key == editValue_) || key.IsNull() != editValue_.IsNull();
  editValue_ = key.IsEmpty() ? Variant::Null() : key;
  RefreshText();
  if (changed && OnEditValueChanged) {
    auto handler = OnEditValueChanged;
    handler(*this);
  }
}

void TLookupComboBox::SelectListRow(int row) {
  TDataSet* ds = list_.DataSet();
  if (!ds || !ds->Active() || row < 0 || row >= ds->RecordCount())
    throw EArgumentError("List index out of bounds (" + std::to_string(row) + ")");
  TField& key = ds->FieldByName(KeyFieldNames);
  SetEditValue(ds->RowValue(row, key.Index()));
}

void TLookupComboBox::ValidateEdit() {
  bool pending = Modified();
  TCustomEdit::ValidateEdit();
  if (!pending) return;
  TDataSet* ds = list_.DataSet();
  std::string typed = Text();
  if (!ds || !ds->Active()) return;
  TField* listField = ds->FindField(ListFieldName());
  TField* keyField = ds->FindField(KeyFieldNames);
  if (!listField || !keyField) return;
  for (int row = 0; row < ds->RecordCount(); ++row)
    if (ds->RowValue(row, listField->Index()).ToString() == typed) {
      SetEditValue(ds->RowValue(row, keyField->Index()));
      return;
    }
  if (DropDownListStyle) {
    RefreshText();  // only list entries may be chosen: back to the chosen one
    return;
  }
  SetEditValue(Variant::Null());
  SetText(typed);
}

void TLookupComboBox::CharInput(char32_t key) {
  if (DropDownListStyle) return;
  TCustomEdit::CharInput(key);
}

// --- TDBLookupComboBox -----------------------------------------------------------------------------------

void TDBLookupComboBox::LoadFromField() {
  TField* field = Field();
  loading_ = true;
  try {
    TLookupComboBox::SetEditValue(field ? field->Value() : Variant::Null());
  } catch (...) {
    loading_ = false;
    throw;
  }
  loading_ = false;
}

void TDBLookupComboBox::SetEditValue(const Variant& key) {
  if (loading_) {
    TLookupComboBox::SetEditValue(key);
    return;
  }
  TField* field = Field();
  if (!field || !link_.CanModify() || !link_.Edit()) return;
  // The field change shows the chosen row.
  field->SetText(key.IsNullOrEmpty() ? std::string() : key.ToString());
  if (!(EditValue() == field->Value())) LoadFromField();
}

void TDBLookupComboBox::CharInput(char32_t key) {
  if (key >= 32 && (!link_.CanModify() || !link_.Edit())) return;
  TLookupComboBox::CharInput(key);
}

}  // namespace jxc
