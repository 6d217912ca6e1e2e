#include "platform/GridDB.h"

#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "platform/Format.h"

namespace jxc {

TGridDBBinding::TGridDBBinding(TGridTableView& view, TDataSource* source) : view_(view) {
  SetDataSource(source);
  lastFocused_ = FocusedRecord();
}

int TGridDBBinding::RecordCount() const {
  TDataSet* ds = DataSet();
  return ds && ds->Active() ? ds->RecordCount() : 0;
}

Variant TGridDBBinding::Value(int record, const TGridColumn& column) const {
  TDataSet* ds = DataSet();
  TField* field = column.Field();
  if (!ds || !ds->Active() || !field || record < 0 || record >= ds->RecordCount()) return Variant::Null();
  // The row being edited shows its edit buffer.
  if (record == FocusedRecord() && ds->State() != dsBrowse) return field->Value();
  return ds->RowValue(record, field->Index());
}

bool TGridDBBinding::DisplayText(int record, const TGridColumn& column, std::string& text) const {
  TField* field = column.Field();
  TDataSet* ds = DataSet();
  if (!field || !ds || !ds->Active()) return false;
  // The current row goes through the field itself, so its get-text handler has its say.
  if (record == FocusedRecord()) {
    text = field->DisplayText();
    return true;
  }
  Variant value = Value(record, column);
  if (!field->DisplayFormat.empty() && value.IsNumeric() && value.Type() != VarType::Boolean)
    text = FormatFloat(field->DisplayFormat, value.AsDouble());
  else if (!field->DisplayFormat.empty() && value.Type() == VarType::DateTime)
    text = FormatDateTime(field->DisplayFormat, value.Get<TDateTime>());
  else
    text = value.ToString();
  return true;
}

TField& TGridDBBinding::EditField(int record, TGridColumn& column) {
  TDataSet* ds = DataSet();
  TField* field = column.Field();
  if (!ds || !ds->Active()) throw EDatabaseError("Cannot perform this operation on a closed dataset");
  if (!field) throw EDatabaseError("Field '" + column.FieldName() + "' not found");
  if (record != FocusedRecord()) SetFocusedRecord(record);
  if (ds->State() == dsBrowse) {
    if (!DataSource()->AutoEdit) throw EDatabaseError("Dataset not in edit or insert mode");
    ds->Edit();
  }
  return *field;
}

void TGridDBBinding::SetValue(int record, TGridColumn& column, const Variant& value) {
  EditField(record, column).SetValue(value);
}

void TGridDBBinding::SetText(int record, TGridColumn& column, const std::string& text) {
  EditField(record, column).SetText(text);
}

int TGridDBBinding::FocusedRecord() const {
  TDataSet* ds = DataSet();
  if (!ds || !ds->Active() || ds->IsEmpty()) return -1;
  return ds->RecNo() - 1;
}

void TGridDBBinding::SetFocusedRecord(int record) {
  TDataSet* ds = DataSet();
  if (!ds || !ds->Active() || record < 0 || record >= ds->RecordCount()) return;
  ds->SetRecNo(record + 1);
}

bool TGridDBBinding::Inserting() const {
  TDataSet* ds = DataSet();
  return ds && ds->State() == dsInsert;
}

void TGridDBBinding::Append() {
  if (TDataSet* ds = DataSet()) ds->Append();
}

void TGridDBBinding::Insert() {
  if (TDataSet* ds = DataSet()) ds->Insert();
}

void TGridDBBinding::DeleteFocused() {
  TDataSet* ds = DataSet();
  if (ds && ds->Active() && !ds->IsEmpty()) ds->Delete();
}

void TGridDBBinding::Post() {
  if (TDataSet* ds = DataSet()) ds->CheckBrowseMode();
}

void TGridDBBinding::Cancel() {
  TDataSet* ds = DataSet();
  if (ds && (ds->State() == dsEdit || ds->State() == dsInsert)) ds->Cancel();
}

void TGridDBBinding::ResolveFields() {
  TDataSet* ds = DataSet();
  for (TGridColumn* column : view_.ColumnList())
    column->field_ = ds && ds->Active() && !column->FieldName().empty() ? ds->FindField(column->FieldName()) : nullptr;
}

void TGridDBBinding::DataEvent(TDataEvent event, TField* field) {
  switch (event) {
    case TDataEvent::LayoutChange:
    case TDataEvent::DataSetChange:
    case TDataEvent::UpdateState:
      ResolveFields();
      break;
    default:
      break;
  }
  int focused = FocusedRecord();
  if (focused != lastFocused_) {
    int previous = lastFocused_;
    lastFocused_ = focused;
    view_.FocusedRecordChanged(previous, focused);
  }
}

void TGridDataController::SetDataSource(TDataSource* source) {
  if (source == DataSource() && (source || !source_)) return;
  SetRecordSource(source ? std::make_unique<TGridDBBinding>(view_, source) : nullptr);
}

void TGridTableView::CreateAllItems() {
  TDataSet* ds = data_.DataSource() ? data_.DataSource()->DataSet() : nullptr;
  BeginUpdate();
  ClearItems();
  if (ds && ds->Active())
    for (int i = 0; i < ds->FieldCount(); ++i) {
      TField& field = ds->Fields(i);
      CreateColumn(field.FieldName(), field.DisplayName());
    }
  EndUpdate();
}

}  // namespace jxc
