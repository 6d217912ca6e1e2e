#pragma once
// The grid model: a grid control shows one of its table views; a view has columns and a data controller
// that supplies its records, either from a dataset through a TDataSource (bound; see GridDB.h) or from
// values the screen writes itself (unbound: a record count and a value per record and column).
//
// Records and rows. A record index is the position of a record in the source (the dataset's visible rows
// in dataset order, or the unbound records). Rows are what the view shows: the records that pass the
// view's filter criteria, ordered by the grouping columns and then by the sorted columns (stable, so
// records that compare equal keep the source order).
//
// Summaries are computed over the rows (footer) and over the rows of each group (group footer, group row)
// whenever they are read; kinds none, sum, min, max, count and average have the ordinals 0 to 5. Sum and
// average of currency values are exact; count counts the rows whose value is not null; min, max, sum and
// average of a column without values are null. The summary text is the value formatted with the slot's
// format by FormatFloat ("总计:#,##0.00", "记录数:#0条"); a null value gives "".

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Component.h"
#include "platform/Controls.h"
#include "platform/Field.h"
#include "platform/Variant.h"

namespace jxc {

class TDataSource;
class TGrid;
class TGridTableView;
class TGridColumn;
class TGridInplaceEditor;
class TCustomForm;

enum TSummaryKind { skNone = 0, skSum = 1, skMin = 2, skMax = 3, skCount = 4, skAverage = 5 };
enum TSortOrder { soNone = 0, soAscending = 1, soDescending = 2 };

struct TSummarySlot {
  TSummaryKind Kind = skNone;
  std::string Format;
};

// A column's three summary slots.
struct TGridColumnSummary {
  TSummarySlot Footer;
  TSummarySlot GroupFooter;
  TSummarySlot GroupRow;
};

enum class TGridEditorKind { Text, Currency, Date, Spin, Check, Memo, Lookup, Popup, Hyperlink, Custom };

// The cell editor of a column and how it shows values.
struct TGridEditorProperties {
  TGridEditorKind Kind = TGridEditorKind::Text;
  std::string DisplayFormat;  // number or date pattern; empty: the value's own text
  TAlignment Alignment = TAlignment::taLeftJustify;  // horizontal alignment of the cells
  bool ReadOnly = false;
  // Lookup editors: the list rows, the key field and the shown field(s) (";"-separated).
  TDataSource* ListSource = nullptr;
  std::string KeyFieldNames;
  std::string ListFieldNames;
  int ListFieldIndex = 0;
  // Popup editors: the control shown as drop-down content.
  TWinControl* PopupControl = nullptr;
  std::function<void(TGridColumn& column)> OnInitPopup;
  // Popup and lookup editors: the column's own handler when the drop-down closes.
  std::function<void(TGridColumn& column)> OnCloseUp;
  // Makes the in-place editor of the column's cells when one is edited (GridInplaceEdit.h); unset: the
  // editor of Kind.
  std::function<TGridInplaceEditor*(TGridColumn& column)> CreateEditor;
  // Hyperlink editors: a single click on a cell.
  std::function<void(TGridColumn& column)> OnClick;
};

class TGridColumn : public TComponent {
 public:
  explicit TGridColumn(TComponent* owner = nullptr);
  ~TGridColumn() override;
  std::string ClassName() const override { return "TGridColumn"; }

  TGridTableView* View() const { return view_; }

  std::string Caption;
  // The bound field's name ("" for an unbound column).
  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(std::string name);
  // The field of the view's dataset that the column shows, null when unbound or not found.
  TField* Field() const { return field_; }
  // The bound field's type, or ValueType for unbound columns.
  TFieldType DataType() const;
  TFieldType ValueType = ftString;  // unbound columns

  bool Visible = true;
  int Width = 64;
  int BandIndex = 0;  // banded views
  TSortOrder SortOrder = soNone;
  int SortIndex = -1;   // among the sorted columns; -1: after those with an index, in column order
  int GroupIndex = -1;  // grouping level; -1: not grouped
  TAlignment HeaderAlignment = TAlignment::taLeftJustify;
  struct {
    bool Editing = true;
    bool Focusing = true;
    bool Filtering = true;
    bool Moving = true;
    bool Sorting = true;
  } Options;
  TGridEditorProperties Properties;
  TGridColumnSummary Summary;

  // Position in the view's column list; setting it moves the column.
  int Index() const;
  void SetIndex(int index);

  // Replaces the shown text of a cell (the toolkit's get-display-text event).
  std::function<void(TGridColumn& column, int recordIndex, std::string& text)> OnGetDisplayText;

  // Width fitting the caption and every row's text (see TGridTableView::ApplyBestFit).
  void ApplyBestFit();

 private:
  friend class TGridTableView;
  friend class TGridDataController;
  friend class TGridDBBinding;
  TGridTableView* view_ = nullptr;
  std::string fieldName_;
  TField* field_ = nullptr;
};

enum TFilterOperator { foEqual, foNotEqual, foLess, foLessEqual, foGreater, foGreaterEqual, foLike, foNotLike };

// The view's own row filter: items joined by AND, applied while Active. A value compares in the kind of
// the column's type (TGridColumn::DataType), whichever way it was typed: '100' against an integer column
// is the number 100, 7 against a text column the text "7"; a value that is not one of that kind, like a
// null on either side, matches no comparison. LIKE compares texts.
struct TGridFilterCriteria {
  struct Item {
    TGridColumn* Column = nullptr;
    TFilterOperator Operator = foEqual;
    Variant Value;
    std::string DisplayValue;
  };
  std::vector<Item> Items;
  bool Active = false;
  void Clear() { Items.clear(); }
  void AddItem(TGridColumn* column, TFilterOperator op, Variant value, std::string displayValue = "") {
    Items.push_back(Item{column, op, std::move(value), std::move(displayValue)});
  }
};

// One group of rows: the value of its grouping column and the records in it (record indices, in row
// order), with the groups of the next level inside.
struct TGridGroup {
  int Level = 0;
  TGridColumn* Column = nullptr;
  Variant Value;
  std::vector<int> Records;
  std::vector<TGridGroup> Children;
  bool Expanded = true;
};

// Where a bound data controller gets its records; made by the dataset binding (GridDB.h).
class TGridRecordSource {
 public:
  virtual ~TGridRecordSource() = default;
  virtual int RecordCount() const = 0;
  virtual Variant Value(int record, const TGridColumn& column) const = 0;
  // The bound field's own display text of the record; false when the column has no field.
  virtual bool DisplayText(int record, const TGridColumn& column, std::string& text) const = 0;
  // A plain write of the record's field / a text entry into it (set-text handlers run).
  virtual void SetValue(int record, TGridColumn& column, const Variant& value) = 0;
  virtual void SetText(int record, TGridColumn& column, const std::string& text) = 0;
  virtual int FocusedRecord() const = 0;
  virtual void SetFocusedRecord(int record) = 0;
  // True while the focused row is a new one not yet posted: its record index is -1.
  virtual bool Inserting() const { return false; }
  virtual void Append() = 0;
  virtual void Insert() = 0;
  virtual void DeleteFocused() = 0;
  virtual void Post() = 0;
  virtual void Cancel() = 0;
  // Resolves the columns' fields after the dataset's structure changed.
  virtual void ResolveFields() = 0;
  // The data source followed (null once it was freed).
  virtual TDataSource* LinkedDataSource() const = 0;
};

class TGridDataController {
 public:
  explicit TGridDataController(TGridTableView& view);
  ~TGridDataController();
  TGridDataController(const TGridDataController&) = delete;
  TGridDataController& operator=(const TGridDataController&) = delete;

  // --- bound (implemented with the dataset binding, GridDB.cpp) --------------------------------------
  TDataSource* DataSource() const { return source_ ? source_->LinkedDataSource() : nullptr; }
  // Binds the view to the data source's dataset (null: unbound again, with no records).
  void SetDataSource(TDataSource* source);
  bool Bound() const { return static_cast<bool>(source_); }
  // Used by the binding.
  void SetRecordSource(std::unique_ptr<TGridRecordSource> source);
  TGridRecordSource* RecordSource() const { return source_.get(); }

  // --- records ---------------------------------------------------------------------------------------
  int RecordCount() const;
  // Unbound only: grows or shrinks the records (new values are null). Raises EInvalidOperation when bound.
  void SetRecordCount(int count);
  Variant Value(int record, const TGridColumn& column) const;
  // Unbound: stores the value. Bound: moves the dataset's cursor to the record, puts it into edit and
  // writes the field (SetValue plainly, SetText through the field's text entry so set-text handlers run).
  // A bound row being inserted is record -1, as FocusedRecordIndex gives it.
  void SetValue(int record, TGridColumn& column, const Variant& value);
  void SetText(int record, TGridColumn& column, const std::string& text);
  std::string DisplayText(int record, const TGridColumn& column) const;

  int FocusedRecordIndex() const;
  void SetFocusedRecordIndex(int record);
  void Append();
  void Insert();
  void DeleteFocused();
  void Post();
  void Cancel();

  // --- rows ------------------------------------------------------------------------------------------
  TGridFilterCriteria Filter;
  int RowCount() const;
  int RowRecordIndex(int row) const;
  // Record indices of all rows, in row order (cheaper than RowRecordIndex in a loop).
  std::vector<int> Rows() const { return ComputeRows(); }
  // Row of the record, -1 when filtered out.
  int RecordRowIndex(int record) const;
  int FocusedRowIndex() const { return RecordRowIndex(FocusedRecordIndex()); }
  void SetFocusedRowIndex(int row);

  // --- groups and summaries ---------------------------------------------------------------------------
  std::vector<TGridGroup> Groups() const;
  void FullExpand() { expanded_ = true; }
  void FullCollapse() { expanded_ = false; }
  bool Expanded() const { return expanded_; }
  bool SortGroupsBySummary = false;  // stored: groups ordered by their summary
  void BeginSummaryUpdate() { ++summaryUpdate_; }
  void EndSummaryUpdate() { if (summaryUpdate_ > 0) --summaryUpdate_; }
  int SummaryUpdateCount() const { return summaryUpdate_; }

  Variant FooterSummaryValue(const TGridColumn& column) const;
  std::string FooterSummaryText(const TGridColumn& column) const;
  // Group footer (groupRow false) or group row (true) summary of the column over the group's rows.
  Variant GroupSummaryValue(const TGridGroup& group, const TGridColumn& column, bool groupRow = false) const;
  std::string GroupSummaryText(const TGridGroup& group, const TGridColumn& column, bool groupRow = false) const;
  // The summary of any kind over the given records.
  Variant Summarize(TSummaryKind kind, const std::vector<int>& records, const TGridColumn& column) const;
  // A summary value as text with the format ("" for null).
  static std::string SummaryText(const Variant& value, const std::string& format);

 private:
  friend class TGridTableView;
  friend class TGridColumn;
  std::vector<int> ComputeRows() const;
  static Variant CriterionValue(const TGridFilterCriteria::Item& item);
  // The record against the active filter, given each item's value as CriterionValue made it.
  bool PassesFilter(int record, const std::vector<Variant>& criteria) const;
  // A record a write may address: a listed one, or -1 for a bound row being inserted.
  bool ValidRecord(int record) const;
  void ColumnRemoved(const TGridColumn* column);

  TGridTableView& view_;
  std::unique_ptr<TGridRecordSource> source_;
  // Unbound values: record -> (column -> value).
  std::vector<std::vector<std::pair<const TGridColumn*, Variant>>> values_;
  int focusedRecord_ = -1;
  bool expanded_ = true;
  int summaryUpdate_ = 0;
};

enum class TGroupFootersMode { gfInvisible, gfVisibleWhenExpanded, gfAlwaysVisible };

class TGridTableView : public TComponent {
 public:
  explicit TGridTableView(TComponent* owner = nullptr);
  ~TGridTableView() override;
  std::string ClassName() const override { return "TGridTableView"; }

  TGrid* Grid() const { return grid_; }
  // The form the view's grid sits in, or else the form that owns the view; null when neither exists.
  TCustomForm* Form() const;
  TGridDataController& DataController() { return data_; }
  const TGridDataController& DataController() const { return data_; }

  // --- columns ---------------------------------------------------------------------------------------
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  TGridColumn* Columns(int index) const { return columns_.at(static_cast<size_t>(index)); }
  const std::vector<TGridColumn*>& ColumnList() const { return columns_; }
  // A new last column owned by the view.
  TGridColumn* CreateColumn();
  TGridColumn* CreateColumn(std::string fieldName, std::string caption);
  // First column bound to the field (ASCII case-insensitive), or null.
  TGridColumn* FindColumnByFieldName(std::string_view fieldName) const;
  // The column of that component name, or null.
  TGridColumn* FindItemByName(std::string_view name) const;
  // Frees every column.
  void ClearItems();
  // Bound views: one column per field of the dataset, caption = the field's display name (GridDB.cpp).
  void CreateAllItems();
  std::vector<TGridColumn*> VisibleColumns() const;

  // --- options ---------------------------------------------------------------------------------------
  struct {
    bool Footer = false;
    TGroupFootersMode GroupFooters = TGroupFootersMode::gfInvisible;
    bool GroupByBox = true;
    bool ColumnAutoWidth = false;
    bool CellAutoHeight = false;
    bool Indicator = false;
    bool Header = true;
    bool GroupRowsVisible = true;
    int DataRowHeight = 0;
    bool FilterRow = false;
    std::string FilterRowInfoText;
  } OptionsView;
  struct {
    bool Editing = true;
    bool Appending = false;
    bool Inserting = true;
    bool Deleting = true;
  } OptionsData;
  struct {
    bool CellSelect = true;
    bool MultiSelect = false;
    bool CellMultiSelect = false;
    bool HideSelection = false;
  } OptionsSelection;
  struct {
    bool GoToNextCellOnEnter = false;
    bool FocusCellOnTab = false;
    bool FocusFirstCellOnNewRecord = false;
    bool ImmediateEditor = true;
    bool IncSearch = false;
  } OptionsBehavior;

  // --- focus and selection ---------------------------------------------------------------------------
  TGridColumn* FocusedColumn() const { return focusedColumn_; }
  void SetFocusedColumn(TGridColumn* column);
  int FocusedRecordIndex() const { return data_.FocusedRecordIndex(); }
  void SetFocusedRecordIndex(int record) { data_.SetFocusedRecordIndex(record); }
  // Selected records (multi-select); the focused record alone when nothing else is selected.
  std::vector<int> SelectedRecords() const;
  void SelectRecord(int record, bool selected = true);
  void ClearSelection() { selected_.clear(); }
  // Moves the focused column to the next focusable visible column, wrapping to the next row after the last
  // (Enter with GoToNextCellOnEnter, Tab with FocusCellOnTab).
  void FocusNextCell();

  // --- editing ---------------------------------------------------------------------------------------
  // The user types a value into a cell: through the data controller's SetValue. An error is shown (the
  // application records it) and the editor stays open with the text (EditingText, Editing true).
  void EditCell(int record, TGridColumn& column, const std::string& text);
  bool Editing() const { return editing_; }
  const std::string& EditingText() const { return editingText_; }
  // Posts the open editor's text again (and the record); the editor closes when it succeeds.
  void PostEditValue();
  // Display text of the focused cell ("" without a focused record or column).
  std::string FocusedCellText() const;

  // --- in-place editor of the focused cell (GridInplaceEdit.cpp) -----------------------------------------
  // The open editor, null when none. Moving the focused cell closes it: the user's own moves (keys and
  // clicks) write its pending value first, moves made in code drop it.
  TGridInplaceEditor* InplaceEditor() const { return inplaceEditor_; }
  // Opens the editor of the focused cell and gives it the focus (F2, Enter, a typed character or a click
  // do so); null when the cell cannot be edited. The open editor of that cell is returned as it is.
  TGridInplaceEditor* ShowEdit();
  // Closes the open editor; with post its pending value is written first, and a refused value raises
  // and leaves the editor open.
  void HideEdit(bool post);
  // The user clicks a cell: the open editor is posted (a refusal is shown and keeps it), the cell is
  // focused and, with ImmediateEditor, its editor opens. The record of a bound view's row being inserted
  // is -1.
  void ClickCell(int record, TGridColumn& column);

  // --- updates and layout ----------------------------------------------------------------------------
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate() { if (updateCount_ > 0) --updateCount_; }
  int UpdateCount() const { return updateCount_; }
  // Every visible column gets the width that fits its caption and every row's text: 7 pixels per UTF-16
  // unit of the longest text (Chinese characters count two) plus 12, at least 20.
  void ApplyBestFit();
  // The best-fit width of one column.
  int BestFitWidth(const TGridColumn& column) const;

  // --- events (stored and raised by the model's own operations) -----------------------------------------
  std::function<void(TGridTableView& view, int previousRecord, int focusedRecord)> OnFocusedRecordChanged;
  std::function<void(TGridTableView& view, TGridColumn* previous, TGridColumn* focused)> OnFocusedItemChanged;
  std::function<void(TGridTableView& view)> OnDblClick;
  std::function<void(TGridTableView& view, char32_t& key)> OnKeyPress;
  // Presentation hooks that the screens set and the grid popup menu saves and restores.
  std::function<void(TGridTableView& view, TGridColumn& column, int record, bool& done)> OnCustomDrawCell;
  std::function<void(TGridTableView& view, int row, bool& done)> OnCustomDrawIndicatorCell;
  // The user double-clicks the focused row.
  void DblClick();
  // Used by the data controller when the focused record moved.
  void FocusedRecordChanged(int previous, int current);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TGrid;
  friend class TGridColumn;
  void ColumnGone(TGridColumn* column);

  TGrid* grid_ = nullptr;
  TGridDataController data_;
  std::vector<TGridColumn*> columns_;
  TGridColumn* focusedColumn_ = nullptr;
  std::vector<int> selected_;
  bool editing_ = false;
  int editingRecord_ = -1;
  TGridColumn* editingColumn_ = nullptr;
  std::string editingText_;
  TGridInplaceEditor* inplaceEditor_ = nullptr;
  friend class TGridInplaceEditor;
  int updateCount_ = 0;
  bool clearing_ = false;
};

struct TGridBand {
  std::string Caption;
  bool Visible = true;
  int Width = 0;
};

class TGridBandedTableView : public TGridTableView {
 public:
  using TGridTableView::TGridTableView;
  std::string ClassName() const override { return "TGridBandedTableView"; }

  int BandCount() const { return static_cast<int>(bands_.size()); }
  TGridBand& Bands(int index) { return bands_.at(static_cast<size_t>(index)); }
  const TGridBand& Bands(int index) const { return bands_.at(static_cast<size_t>(index)); }
  // Returns the new band's index.
  int AddBand(std::string caption);
  void ClearBands() { bands_.clear(); }
  // Columns placed in the band, in column order.
  std::vector<TGridColumn*> BandColumns(int bandIndex) const;

 private:
  std::vector<TGridBand> bands_;
};

// The grid control: a window that shows one of its views (its levels).
class TGrid : public TWinControl {
 public:
  explicit TGrid(TComponent* owner = nullptr);
  ~TGrid() override;
  std::string ClassName() const override { return "TGrid"; }

  int ViewCount() const { return static_cast<int>(views_.size()); }
  TGridTableView* Views(int index) const { return views_.at(static_cast<size_t>(index)); }
  // Shows the view in this grid (the first view added becomes the active one).
  void AddView(TGridTableView* view);
  void RemoveView(TGridTableView* view);
  TGridTableView* ActiveView() const { return active_; }
  void SetActiveView(TGridTableView* view);
  // A new view of class T owned by owner (null: the grid's owner), added to the grid.
  template <class T = TGridTableView>
  T* CreateView(TComponent* owner = nullptr) {
    T* view = new T(owner ? owner : Owner());
    AddView(view);
    return view;
  }

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  // Enter moves to the next cell when the active view asks for it; characters reach the view's handler.
  void KeyDown(int& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  // A typed character opens the focused cell's editor, which takes it (GridInplaceEdit.cpp).
  void CharInput(char32_t key) override;

 private:
  std::vector<TGridTableView*> views_;
  TGridTableView* active_ = nullptr;
};

}  // namespace jxc
