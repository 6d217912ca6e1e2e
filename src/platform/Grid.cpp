#include "platform/Grid.h"

#include <algorithm>
#include <functional>

#include "platform/Application.h"
#include "platform/DataFilter.h"
#include "platform/Exceptions.h"
#include "platform/Format.h"
#include "platform/Forms.h"
#include "platform/Text.h"

namespace jxc {

// --- TGridColumn -----------------------------------------------------------------------------------------

TGridColumn::TGridColumn(TComponent* owner) : TComponent(owner) {
  // A column made with a view as its owner joins that view.
  if (auto* view = dynamic_cast<TGridTableView*>(owner)) {
    view_ = view;
    view->columns_.push_back(this);
  }
}

TGridColumn::~TGridColumn() {
  BeginDestroy();
  if (view_) view_->ColumnGone(this);
}

void TGridColumn::SetFieldName(std::string name) {
  fieldName_ = std::move(name);
  field_ = nullptr;
  if (view_ && view_->data_.source_) view_->data_.source_->ResolveFields();
}

TFieldType TGridColumn::DataType() const { return field_ ? field_->DataType() : ValueType; }

int TGridColumn::Index() const {
  if (!view_) return -1;
  auto& columns = view_->columns_;
  return static_cast<int>(std::find(columns.begin(), columns.end(), this) - columns.begin());
}

void TGridColumn::SetIndex(int index) {
  if (!view_) return;
  auto& columns = view_->columns_;
  columns.erase(std::find(columns.begin(), columns.end(), this));
  index = std::clamp(index, 0, static_cast<int>(columns.size()));
  columns.insert(columns.begin() + index, this);
}

void TGridColumn::ApplyBestFit() {
  if (view_) Width = view_->BestFitWidth(*this);
}

// --- TGridDataController ---------------------------------------------------------------------------------

TGridDataController::TGridDataController(TGridTableView& view) : view_(view) {}
TGridDataController::~TGridDataController() = default;

void TGridDataController::SetRecordSource(std::unique_ptr<TGridRecordSource> source) {
  for (TGridColumn* column : view_.ColumnList()) column->field_ = nullptr;
  source_ = std::move(source);
  values_.clear();
  focusedRecord_ = -1;
  if (source_) source_->ResolveFields();
}

int TGridDataController::RecordCount() const {
  return source_ ? source_->RecordCount() : static_cast<int>(values_.size());
}

void TGridDataController::SetRecordCount(int count) {
  if (source_) throw EInvalidOperation("The record count of a bound view follows its dataset");
  values_.resize(static_cast<size_t>(std::max(count, 0)));
  if (focusedRecord_ >= count) focusedRecord_ = count - 1;
}

Variant TGridDataController::Value(int record, const TGridColumn& column) const {
  if (record < 0 || record >= RecordCount()) return Variant::Null();
  if (source_) return source_->Value(record, column);
  for (const auto& [col, value] : values_[static_cast<size_t>(record)])
    if (col == &column) return value;
  return Variant::Null();
}

bool TGridDataController::ValidRecord(int record) const {
  if (record >= 0 && record < RecordCount()) return true;
  return record == -1 && source_ && source_->Inserting();
}

void TGridDataController::SetValue(int record, TGridColumn& column, const Variant& value) {
  if (!ValidRecord(record)) throw EArgumentError("Record index out of bounds (" + std::to_string(record) + ")");
  if (source_) {
    source_->SetValue(record, column, value);
    return;
  }
  auto& cells = values_[static_cast<size_t>(record)];
  for (auto& [col, stored] : cells)
    if (col == &column) {
      stored = value;
      return;
    }
  cells.emplace_back(&column, value);
}

void TGridDataController::SetText(int record, TGridColumn& column, const std::string& text) {
  if (source_) {
    if (!ValidRecord(record)) throw EArgumentError("Record index out of bounds (" + std::to_string(record) + ")");
    source_->SetText(record, column, text);
    return;
  }
  SetValue(record, column, text.empty() ? Variant::Null() : Variant(text));
}

namespace {
bool IsNumber(const Variant& v) {
  switch (v.Type()) {
    case VarType::Integer:
    case VarType::Int64:
    case VarType::Double:
    case VarType::Currency:
      return true;
    default:
      return false;
  }
}
}  // namespace

std::string TGridDataController::DisplayText(int record, const TGridColumn& column) const {
  std::string text;
  const std::string& format = column.Properties.DisplayFormat;
  Variant value = Value(record, column);
  if (!format.empty() && IsNumber(value)) {
    text = value.Type() == VarType::Currency ? FormatCurr(format, value.Get<Currency>()) : FormatFloat(format, value.AsDouble());
  } else if (!format.empty() && value.Type() == VarType::DateTime) {
    text = FormatDateTime(format, value.Get<TDateTime>());
  } else if (!(source_ && source_->DisplayText(record, column, text))) {
    text = value.ToString();
  }
  if (column.OnGetDisplayText) {
    auto handler = column.OnGetDisplayText;
    handler(const_cast<TGridColumn&>(column), record, text);
  }
  return text;
}

int TGridDataController::FocusedRecordIndex() const { return source_ ? source_->FocusedRecord() : focusedRecord_; }

void TGridDataController::SetFocusedRecordIndex(int record) {
  int previous = FocusedRecordIndex();
  if (record < -1 || record >= RecordCount()) record = -1;
  if (record == previous) return;
  // A bound view hears of the move from the dataset (the binding reports it).
  if (source_) {
    source_->SetFocusedRecord(record);
    return;
  }
  focusedRecord_ = record;
  view_.FocusedRecordChanged(previous, record);
}

void TGridDataController::Append() {
  if (source_) {
    source_->Append();
    return;
  }
  int previous = focusedRecord_;
  values_.emplace_back();
  focusedRecord_ = static_cast<int>(values_.size()) - 1;
  view_.FocusedRecordChanged(previous, focusedRecord_);
}

void TGridDataController::Insert() {
  if (source_) {
    source_->Insert();
    return;
  }
  int at = std::max(focusedRecord_, 0);
  values_.insert(values_.begin() + std::min<int>(at, static_cast<int>(values_.size())), {});
  focusedRecord_ = at;
}

void TGridDataController::DeleteFocused() {
  int previous = FocusedRecordIndex();
  if (previous < 0) return;
  if (source_) {
    source_->DeleteFocused();
    return;
  }
  values_.erase(values_.begin() + previous);
  if (focusedRecord_ >= static_cast<int>(values_.size())) focusedRecord_ = static_cast<int>(values_.size()) - 1;
  view_.FocusedRecordChanged(previous, focusedRecord_);
}

void TGridDataController::Post() {
  if (source_) source_->Post();
}

void TGridDataController::Cancel() {
  if (source_) source_->Cancel();
}

void TGridDataController::ColumnRemoved(const TGridColumn* column) {
  for (auto& cells : values_)
    cells.erase(std::remove_if(cells.begin(), cells.end(), [&](const auto& cell) { return cell.first == column; }),
                cells.end());
  Filter.Items.erase(std::remove_if(Filter.Items.begin(), Filter.Items.end(),
                                    [&](const TGridFilterCriteria::Item& item) { return item.Column == column; }),
                     Filter.Items.end());
}

// The criterion's value in the kind of the column's type (the bound field's, or ValueType), so that a
// value typed as text ('100') compares with an integer column as the number 100 and a number compares
// with a text column as its text. A text that is no value of that kind becomes null: it matches no row.
Variant TGridDataController::CriterionValue(const TGridFilterCriteria::Item& item) {
  if (!item.Column || item.Value.IsNullOrEmpty() || item.Value.IsArray()) return item.Value;
  const TFieldType type = item.Column->DataType();
  if (IsStringFieldType(type)) return item.Value.IsString() ? item.Value : Variant(item.Value.ToString());
  if (!item.Value.IsString()) return item.Value;
  Variant like;
  if (type == ftBoolean) like = Variant(false);
  else if (IsDateTimeFieldType(type)) like = Variant(TDateTime());
  else if (type == ftFloat) like = Variant(0.0);
  else if (IsNumericFieldType(type)) like = Variant(0);
  else return item.Value;
  return FilterTextAsKindOf(item.Value.Get<std::string>(), like).value_or(Variant::Null());
}

bool TGridDataController::PassesFilter(int record, const std::vector<Variant>& criteria) const {
  for (size_t i = 0; i < Filter.Items.size(); ++i) {
    const TGridFilterCriteria::Item& item = Filter.Items[i];
    if (!item.Column) continue;
    Variant value = Value(record, *item.Column);
    if (item.Operator == foLike || item.Operator == foNotLike) {
      const bool match = !value.IsNullOrEmpty() && LikeMatches(value.ToString(), item.Value.ToString());
      if (match != (item.Operator == foLike)) return false;
      continue;
    }
    // Null values match no comparison, as in the dataset's filter; nor does a criterion of another kind.
    const std::optional<int> order = CompareFilterValues(value, criteria[i]);
    if (!order) return false;
    bool ok = false;
    switch (item.Operator) {
      case foEqual: ok = *order == 0; break;
      case foNotEqual: ok = *order != 0; break;
      case foLess: ok = *order < 0; break;
      case foLessEqual: ok = *order <= 0; break;
      case foGreater: ok = *order > 0; break;
      case foGreaterEqual: ok = *order >= 0; break;
      default: break;
    }
    if (!ok) return false;
  }
  return true;
}

std::vector<int> TGridDataController::ComputeRows() const {
  std::vector<int> rows;
  const int count = RecordCount();
  if (Filter.Active) {
    std::vector<Variant> criteria;
    criteria.reserve(Filter.Items.size());
    for (const TGridFilterCriteria::Item& item : Filter.Items) criteria.push_back(CriterionValue(item));
    for (int r = 0; r < count; ++r)
      if (PassesFilter(r, criteria)) rows.push_back(r);
  } else {
    rows.resize(static_cast<size_t>(std::max(count, 0)));
    for (int r = 0; r < count; ++r) rows[static_cast<size_t>(r)] = r;
  }
  // Order: grouping columns by level, then sorted columns by sort index (then column order).
  std::vector<const TGridColumn*> keys;
  std::vector<const TGridColumn*> grouped, sorted;
  for (const TGridColumn* c : view_.ColumnList()) {
    if (c->GroupIndex >= 0) grouped.push_back(c);
    else if (c->SortOrder != soNone) sorted.push_back(c);
  }
  std::stable_sort(grouped.begin(), grouped.end(), [](auto* a, auto* b) { return a->GroupIndex < b->GroupIndex; });
  std::stable_sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) {
    int ia = a->SortIndex < 0 ? 1 << 30 : a->SortIndex, ib = b->SortIndex < 0 ? 1 << 30 : b->SortIndex;
    return ia < ib;
  });
  keys = grouped;
  keys.insert(keys.end(), sorted.begin(), sorted.end());
  if (keys.empty()) return rows;
  // Values read once per record and key.
  std::vector<std::vector<Variant>> values(static_cast<size_t>(count));
  for (int r : rows)
    for (const TGridColumn* c : keys) values[static_cast<size_t>(r)].push_back(Value(r, *c));
  std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
    for (size_t k = 0; k < keys.size(); ++k) {
      std::weak_ordering order = CompareVariants(values[static_cast<size_t>(a)][k], values[static_cast<size_t>(b)][k]);
      if (order == 0) continue;
      bool descending = keys[k]->SortOrder == soDescending;
      return descending ? order > 0 : order < 0;
    }
    return false;
  });
  return rows;
}

int TGridDataController::RowCount() const { return static_cast<int>(ComputeRows().size()); }

int TGridDataController::RowRecordIndex(int row) const {
  std::vector<int> rows = ComputeRows();
  return row >= 0 && row < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(row)] : -1;
}

int TGridDataController::RecordRowIndex(int record) const {
  std::vector<int> rows = ComputeRows();
  auto it = std::find(rows.begin(), rows.end(), record);
  return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

void TGridDataController::SetFocusedRowIndex(int row) { SetFocusedRecordIndex(RowRecordIndex(row)); }

std::vector<TGridGroup> TGridDataController::Groups() const {
  std::vector<TGridColumn*> grouped;
  for (TGridColumn* c : view_.ColumnList())
    if (c->GroupIndex >= 0) grouped.push_back(c);
  std::stable_sort(grouped.begin(), grouped.end(), [](auto* a, auto* b) { return a->GroupIndex < b->GroupIndex; });
  if (grouped.empty()) return {};
  // Rows are ordered by the grouping columns, so each group is a run of equal values.
  std::function<std::vector<TGridGroup>(const std::vector<int>&, size_t)> build =
      [&](const std::vector<int>& records, size_t level) {
        std::vector<TGridGroup> groups;
        for (int r : records) {
          Variant value = Value(r, *grouped[level]);
          if (groups.empty() || !(groups.back().Value == value) ||
              groups.back().Value.IsNull() != value.IsNull()) {
            TGridGroup group;
            group.Level = static_cast<int>(level);
            group.Column = grouped[level];
            group.Value = value;
            group.Expanded = expanded_;
            groups.push_back(std::move(group));
          }
          groups.back().Records.push_back(r);
        }
        if (level + 1 < grouped.size())
          for (TGridGroup& g : groups) g.Children = build(g.Records, level + 1);
        return groups;
      };
  return build(ComputeRows(), 0);
}

Variant TGridDataController::Summarize(TSummaryKind kind, const std::vector<int>& records,
                                       const TGridColumn& column) const {
  if (kind == skNone) return Variant::Null();
  std::vector<Variant> values;
  for (int r : records) {
    Variant v = Value(r, column);
    if (!v.IsNullOrEmpty()) values.push_back(std::move(v));
  }
  if (kind == skCount) return Variant(static_cast<int>(values.size()));
  if (values.empty()) return Variant::Null();
  if (kind == skMin || kind == skMax) {
    Variant best = values.front();
    for (const Variant& v : values) {
      std::weak_ordering order = CompareVariants(v, best);
      if (kind == skMin ? order < 0 : order > 0) best = v;
    }
    return best;
  }
  // Sum and average: exact in currency when the column holds money, in integers when every value is one.
  bool money = column.DataType() == ftCurrency || column.DataType() == ftBCD || column.DataType() == ftFMTBcd;
  bool integral = true;
  for (const Variant& v : values) {
    money = money || v.Type() == VarType::Currency;
    integral = integral && (v.Type() == VarType::Integer || v.Type() == VarType::Int64 || v.Type() == VarType::Boolean);
  }
  const int64_t n = static_cast<int64_t>(values.size());
  if (money) {
    Currency sum;
    for (const Variant& v : values) sum += v.AsCurrency();
    return kind == skSum ? Variant(sum) : Variant(sum / n);
  }
  if (integral) {
    int64_t sum = 0;
    for (const Variant& v : values) sum += v.AsInt64();
    return kind == skSum ? Variant(static_cast<long long>(sum)) : Variant(static_cast<double>(sum) / static_cast<double>(n));
  }
  double sum = 0;
  for (const Variant& v : values) sum += v.AsDouble();
  return kind == skSum ? Variant(sum) : Variant(sum / static_cast<double>(n));
}

std::string TGridDataController::SummaryText(const Variant& value, const std::string& format) {
  if (value.IsNullOrEmpty()) return "";
  if (value.Type() == VarType::Currency) return FormatCurr(format, value.Get<Currency>());
  if (IsNumber(value)) return FormatFloat(format, value.AsDouble());
  if (value.Type() == VarType::DateTime && !format.empty()) return FormatDateTime(format, value.Get<TDateTime>());
  return value.ToString();
}

Variant TGridDataController::FooterSummaryValue(const TGridColumn& column) const {
  return Summarize(column.Summary.Footer.Kind, ComputeRows(), column);
}

std::string TGridDataController::FooterSummaryText(const TGridColumn& column) const {
  return SummaryText(FooterSummaryValue(column), column.Summary.Footer.Format);
}

Variant TGridDataController::GroupSummaryValue(const TGridGroup& group, const TGridColumn& column, bool groupRow) const {
  const TSummarySlot& slot = groupRow ? column.Summary.GroupRow : column.Summary.GroupFooter;
  return Summarize(slot.Kind, group.Records, column);
}

std::string TGridDataController::GroupSummaryText(const TGridGroup& group, const TGridColumn& column,
                                                  bool groupRow) const {
  const TSummarySlot& slot = groupRow ? column.Summary.GroupRow : column.Summary.GroupFooter;
  return SummaryText(GroupSummaryValue(group, column, groupRow), slot.Format);
}

// --- TGridTableView --------------------------------------------------------------------------------------

TGridTableView::TGridTableView(TComponent* owner) : TComponent(owner), data_(*this) {}

TGridTableView::~TGridTableView() {
  BeginDestroy();
  if (grid_) grid_->RemoveView(this);
  // Columns owned elsewhere leave the view; those the view owns go with it.
  clearing_ = true;
  for (TGridColumn* column : columns_) column->view_ = nullptr;
  columns_.clear();
  focusedColumn_ = nullptr;
}

TCustomForm* TGridTableView::Form() const {
  if (grid_)
    if (TCustomForm* form = grid_->Form()) return form;
  for (TComponent* c = Owner(); c; c = c->Owner())
    if (auto* form = dynamic_cast<TCustomForm*>(c)) return form;
  return nullptr;
}

TGridColumn* TGridTableView::CreateColumn() { return new TGridColumn(this); }

TGridColumn* TGridTableView::CreateColumn(std::string fieldName, std::string caption) {
  TGridColumn* column = CreateColumn();
  column->Caption = std::move(caption);
  column->SetFieldName(std::move(fieldName));
  return column;
}

TGridColumn* TGridTableView::FindColumnByFieldName(std::string_view fieldName) const {
  if (fieldName.empty()) return nullptr;
  for (TGridColumn* c : columns_)
    if (SameText(c->FieldName(), fieldName)) return c;
  return nullptr;
}

TGridColumn* TGridTableView::FindItemByName(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TGridColumn* c : columns_)
    if (SameText(c->Name(), name)) return c;
  return nullptr;
}

void TGridTableView::ClearItems() {
  while (!columns_.empty()) delete columns_.back();
}

std::vector<TGridColumn*> TGridTableView::VisibleColumns() const {
  std::vector<TGridColumn*> visible;
  for (TGridColumn* c : columns_)
    if (c->Visible) visible.push_back(c);
  return visible;
}

void TGridTableView::ColumnGone(TGridColumn* column) {
  columns_.erase(std::remove(columns_.begin(), columns_.end(), column), columns_.end());
  if (focusedColumn_ == column) focusedColumn_ = nullptr;
  if (editingColumn_ == column) {
    editing_ = false;
    editingColumn_ = nullptr;
  }
  data_.ColumnRemoved(column);
}

void TGridTableView::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component == grid_) grid_ = nullptr;
}

void TGridTableView::SetFocusedColumn(TGridColumn* column) {
  if (column && column->view_ != this) return;
  if (column == focusedColumn_) return;
  if (inplaceEditor_) HideEdit(false);
  TGridColumn* previous = focusedColumn_;
  focusedColumn_ = column;
  if (OnFocusedItemChanged) {
    auto handler = OnFocusedItemChanged;
    handler(*this, previous, column);
  }
}

std::vector<int> TGridTableView::SelectedRecords() const {
  if (!selected_.empty()) return selected_;
  int focused = FocusedRecordIndex();
  return focused >= 0 ? std::vector<int>{focused} : std::vector<int>{};
}

void TGridTableView::SelectRecord(int record, bool selected) {
  auto it = std::find(selected_.begin(), selected_.end(), record);
  if (selected && it == selected_.end()) {
    if (!OptionsSelection.MultiSelect) selected_.clear();
    selected_.push_back(record);
  } else if (!selected && it != selected_.end()) {
    selected_.erase(it);
  }
}

void TGridTableView::FocusNextCell() {
  std::vector<TGridColumn*> cells;
  for (TGridColumn* c : columns_)
    if (c->Visible && c->Options.Focusing) cells.push_back(c);
  if (cells.empty()) return;
  auto it = std::find(cells.begin(), cells.end(), focusedColumn_);
  if (it == cells.end()) {
    SetFocusedColumn(cells.front());
    return;
  }
  if (it + 1 != cells.end()) {
    SetFocusedColumn(*(it + 1));
    return;
  }
  // Past the last cell: the first cell of the next row.
  int row = data_.FocusedRowIndex();
  if (row + 1 < data_.RowCount()) {
    data_.SetFocusedRowIndex(row + 1);
    SetFocusedColumn(cells.front());
  }
}

void TGridTableView::EditCell(int record, TGridColumn& column, const std::string& text) {
  editing_ = true;
  editingRecord_ = record;
  editingColumn_ = &column;
  editingText_ = text;
  PostEditValue();
}

void TGridTableView::PostEditValue() {
  if (!editing_ || !editingColumn_) return;
  TGridColumn& column = *editingColumn_;
  int record = editingRecord_;
  std::string text = editingText_;
  if (Application().Dispatch([&] { data_.SetText(record, column, text); })) editing_ = false;
}

std::string TGridTableView::FocusedCellText() const {
  int record = FocusedRecordIndex();
  if (record < 0 || !focusedColumn_) return "";
  return data_.DisplayText(record, *focusedColumn_);
}

int TGridTableView::BestFitWidth(const TGridColumn& column) const {
  size_t longest = Utf16Length(column.Caption);
  for (int record : data_.Rows()) {
    std::string text = data_.DisplayText(record, column);
    // Characters outside ASCII are drawn about twice as wide.
    size_t units = 0;
    for (char32_t ch : Utf8ToUtf32(text)) units += ch < 0x80 ? 1 : 2;
    longest = std::max(longest, units);
  }
  size_t captionUnits = 0;
  for (char32_t ch : Utf8ToUtf32(column.Caption)) captionUnits += ch < 0x80 ? 1 : 2;
  longest = std::max(longest, captionUnits);
  return std::max(20, static_cast<int>(longest) * 7 + 12);
}

void TGridTableView::ApplyBestFit() {
  for (TGridColumn* c : columns_)
    if (c->Visible) c->Width = BestFitWidth(*c);
}

void TGridTableView::DblClick() {
  if (OnDblClick) {
    auto handler = OnDblClick;
    handler(*this);
  }
}

void TGridTableView::FocusedRecordChanged(int previous, int current) {
  if (previous == current) return;
  if (inplaceEditor_) HideEdit(false);
  if (!OnFocusedRecordChanged) return;
  auto handler = OnFocusedRecordChanged;
  handler(*this, previous, current);
}

// --- banded view -----------------------------------------------------------------------------------------

int TGridBandedTableView::AddBand(std::string caption) {
  bands_.push_back(TGridBand{std::move(caption), true, 0});
  return static_cast<int>(bands_.size()) - 1;
}

std::vector<TGridColumn*> TGridBandedTableView::BandColumns(int bandIndex) const {
  std::vector<TGridColumn*> columns;
  for (TGridColumn* c : ColumnList())
    if (c->BandIndex == bandIndex) columns.push_back(c);
  return columns;
}

// --- TGrid -----------------------------------------------------------------------------------------------

TGrid::TGrid(TComponent* owner) : TWinControl(owner) { TabStop = true; }

TGrid::~TGrid() {
  BeginDestroy();
  for (TGridTableView* view : views_) {
    view->grid_ = nullptr;
    view->RemoveFreeNotification(this);
  }
  views_.clear();
  active_ = nullptr;
}

void TGrid::AddView(TGridTableView* view) {
  if (!view || view->grid_ == this) return;
  if (view->grid_) view->grid_->RemoveView(view);
  view->grid_ = this;
  views_.push_back(view);
  view->FreeNotification(this);
  if (!active_) active_ = view;
}

void TGrid::RemoveView(TGridTableView* view) {
  auto it = std::find(views_.begin(), views_.end(), view);
  if (it == views_.end()) return;
  views_.erase(it);
  view->grid_ = nullptr;
  view->RemoveFreeNotification(this);
  if (active_ == view) active_ = views_.empty() ? nullptr : views_.front();
}

void TGrid::SetActiveView(TGridTableView* view) {
  if (view && view->grid_ != this) AddView(view);
  active_ = view;
}

void TGrid::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  auto it = std::find(views_.begin(), views_.end(), component);
  if (it == views_.end()) return;
  views_.erase(it);
  if (active_ == component) active_ = views_.empty() ? nullptr : views_.front();
}

void TGrid::KeyDown(int& key, TShiftState shift) {
  TWinControl::KeyDown(key, shift);
  if (!active_ || key == 0) return;
  if (key == VK_RETURN && active_->OptionsBehavior.GoToNextCellOnEnter) {
    active_->FocusNextCell();
    key = 0;
  } else if (key == VK_F2 || key == VK_RETURN) {
    if (active_->ShowEdit()) key = 0;
  } else if (key == VK_DOWN) {
    int row = active_->DataController().FocusedRowIndex();
    if (row + 1 < active_->DataController().RowCount()) active_->DataController().SetFocusedRowIndex(row + 1);
    key = 0;
  } else if (key == VK_UP) {
    int row = active_->DataController().FocusedRowIndex();
    if (row > 0) active_->DataController().SetFocusedRowIndex(row - 1);
    key = 0;
  }
}

void TGrid::KeyPress(char32_t& key) {
  TWinControl::KeyPress(key);
  if (active_ && key != 0 && active_->OnKeyPress) {
    auto handler = active_->OnKeyPress;
    handler(*active_, key);
  }
}

}  // namespace jxc
