#pragma once
// TDataSet is an in-memory table seen through a cursor. The rows a caller sees are the stored rows in
// index order (IndexFieldNames, stable, nulls first), narrowed by the master-detail range and by the
// filter; RecordCount, RecNo, IsEmpty, navigation and Locate all work on those visible rows.
//
// States: dsInactive (closed), dsBrowse, dsEdit, dsInsert. Field writes need edit or insert state. Moving
// the cursor, appending, inserting or locating first ends a pending edit as the toolkit does: a record
// written since Edit (or, for a new record, since OnNewRecord) is posted, an untouched one is cancelled;
// an explicit Post always posts. Event order, as the toolkit's:
//   Append/Insert: (post of a pending edit), BeforeInsert, BeforeScroll, new buffer (master key filled),
//                  state insert, OnNewRecord, AfterInsert, AfterScroll
//   Edit:          BeforeEdit, AfterEdit (Edit on an empty dataset becomes Insert)
//   Post:          BeforePost, required-field check and store, AfterPost; a failure of the check or the
//                  store goes through OnPostError (BeforePost may still fill a required field)
//   Cancel:        BeforeCancel, restore (a cancelled insert leaves no row), AfterCancel, and AfterScroll
//                  when a cancelled insert put the cursor back on its old row
//   Delete:        BeforeDelete, remove (cursor on the next row, or the previous when it was last),
//                  AfterDelete, AfterScroll
//   Open:          BeforeOpen, fields created, cursor on the first row, AfterOpen
//   Close:         BeforeClose, pending edits dropped, fields freed, AfterClose
//
// Controls and grids follow a dataset through TDataSource. DisableControls/EnableControls nest; while
// disabled, data sources are not told of scrolls and data changes (one whole-dataset change is sent when
// the count returns to zero), but state changes still reach TDataSource::OnStateChange. Master-detail
// links follow their master even while its controls are disabled.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Component.h"
#include "platform/Exceptions.h"
#include "platform/Field.h"
#include "platform/Variant.h"

namespace jxc {

class TDataSource;

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };
enum TUpdateStatus { usUnmodified, usModified, usInserted, usDeleted };
enum TDataAction { daFail, daAbort, daRetry };

enum TLocateOption : unsigned { loCaseInsensitive = 1u, loPartialKey = 2u };
using TLocateOptions = unsigned;

// A remembered row: stays valid while the row exists (BookmarkValid tells), whatever else changes.
struct TBookmark {
  int64_t RowId = -1;
  bool Empty() const { return RowId < 0; }
  bool operator==(const TBookmark&) const = default;
};

// What a data source tells the controls, grids and detail datasets that follow it.
enum class TDataEvent {
  FieldChange,      // a field of the current record changed (the field is given)
  RecordChange,     // the current record changed as a whole
  DataSetChange,    // rows, order, filter or range changed
  DataSetScroll,    // the cursor moved
  LayoutChange,     // fields were created or freed (open, close)
  UpdateState,      // the state changed
  UpdateRecord,     // about to post: controls write their pending edits
  FocusControl,     // the control bound to the given field should take the focus
};

// One row of structure and values, for filling a dataset and for data packets.
using TRowValues = std::vector<Variant>;

// The whole content of a dataset: its field definitions and its rows, in storage order. Opaque to screens.
struct TDataPacket {
  std::vector<TFieldDef> Fields;
  std::vector<TRowValues> Rows;
};

class TDataSet : public TComponent {
 public:
  explicit TDataSet(TComponent* owner = nullptr);
  ~TDataSet() override;
  std::string ClassName() const override { return "TDataSet"; }

  // --- structure ---------------------------------------------------------------------------------------
  TFieldDefs& FieldDefs() { return fieldDefs_; }
  const TFieldDefs& FieldDefs() const { return fieldDefs_; }
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  TField& Fields(int index) const;
  // Raises EDatabaseError "Field 'X' not found" (ASCII case-insensitive lookup).
  TField& FieldByName(std::string_view name) const;
  TField* FindField(std::string_view name) const;
  std::vector<std::string> FieldNames() const;

  // --- lifetime ----------------------------------------------------------------------------------------
  // Open creates the fields from FieldDefs and keeps the stored rows; Close drops pending edits, frees the
  // fields and the rows.
  virtual void Open();
  void Close();
  bool Active() const { return state_ != dsInactive; }
  void SetActive(bool active) { active ? Open() : Close(); }
  // Closes, replaces structure and rows, opens with a clean change log and the cursor on the first row,
  // and fires AfterOpen. This is how the database services fill a dataset.
  void LoadData(std::vector<TFieldDef> fields, std::vector<TRowValues> rows);
  // Structure and rows as stored (all rows, not only the visible ones).
  TDataPacket Data() const;
  // LoadData of a packet.
  void SetData(const TDataPacket& packet) { LoadData(packet.Fields, packet.Rows); }

  // --- cursor (over visible rows) ----------------------------------------------------------------------
  void First();
  void Last();
  void Next();   // after the last row: Eof becomes true and the cursor stays on the last row
  void Prior();  // before the first row: Bof becomes true
  void MoveBy(int distance);
  bool Eof() const;
  bool Bof() const;
  bool IsEmpty() const;  // also true on a closed dataset
  int RecordCount() const;
  int RecNo() const;  // 1-based position among visible rows; 0 when empty or inserting a new row
  void SetRecNo(int recNo);

  // --- editing -----------------------------------------------------------------------------------------
  TDataSetState State() const { return state_; }
  void Edit();
  void Append();
  void Insert();
  void Post();
  void Cancel();
  void Delete();
  // Ends a pending edit or insert: posts it when a field was written, cancels it otherwise; nothing in
  // browse state.
  void CheckBrowseMode();
  bool Modified() const;
  // Append, write the values in field order (fewer values leave the rest as OnNewRecord set them), Post.
  void AppendRecord(const TRowValues& values);

  // --- search ------------------------------------------------------------------------------------------
  // Fields "A;B" with an array of values for several fields. Moves the cursor to the first visible match
  // and returns true; leaves it where it was and returns false otherwise. loCaseInsensitive compares
  // ASCII letters without case; loPartialKey matches a text that starts with the key. A locate on the
  // first index field with no options uses the index.
  bool Locate(std::string_view keyFields, const Variant& keyValues, TLocateOptions options = 0);
  // The result field(s) of the first visible match (an array for several fields), Null when none; the
  // cursor does not move.
  Variant Lookup(std::string_view keyFields, const Variant& keyValues, std::string_view resultFields) const;

  TBookmark GetBookmark() const;
  bool BookmarkValid(const TBookmark& bookmark) const;
  // Raises EDatabaseError "Record not found" when the row is gone or not visible.
  void GotoBookmark(const TBookmark& bookmark);

  // --- random access without moving the cursor (grids, exporters, SQL engine) -----------------------------
  // Value of a field in the visible row at a 0-based position.
  Variant RowValue(int row, int fieldIndex) const;

  // --- filter ------------------------------------------------------------------------------------------
  // The filter text: field names, single-quoted strings (quotes doubled), numbers, = <> < > <= >=, LIKE
  // (case-insensitive, % and _), IS [NOT] NULL, AND, OR, NOT, parentheses; keywords in any case. Null
  // values never match a comparison. Text that cannot be parsed raises EDatabaseError naming the text
  // when the filter is applied (SetFilter while Filtered, or SetFiltered(true)).
  const std::string& Filter() const { return filter_; }
  void SetFilter(std::string filter);
  bool Filtered() const { return filtered_; }
  void SetFiltered(bool filtered);
  // Record filter handler, applied together with the filter text while Filtered. Reassigning it while
  // Filtered re-filters.
  using FilterRecordHandler = std::function<void(TDataSet& dataSet, bool& accept)>;
  void SetOnFilterRecord(FilterRecordHandler handler);
  const FilterRecordHandler& OnFilterRecord() const { return onFilterRecord_; }
  // Re-evaluates filter and range (after rows changed in ways the filter depends on).
  void Refilter();

  // --- order ---------------------------------------------------------------------------------------------
  // Sort order by fields "A;B" (ascending, stable, nulls first, text by ASCII-upper-cased bytes); empty
  // text: storage order.
  const std::string& IndexFieldNames() const { return indexFieldNames_; }
  void SetIndexFieldNames(std::string fields);
  // The same order with an explicit direction for all fields.
  void SortOn(std::string_view fields, bool descending);

  // --- controls ----------------------------------------------------------------------------------------
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return disableCount_ > 0; }
  void DisableConstraints() { ++constraintsDisabled_; }
  void EnableConstraints() { if (constraintsDisabled_ > 0) --constraintsDisabled_; }

  // --- events ------------------------------------------------------------------------------------------
  using DataSetHandler = std::function<void(TDataSet&)>;
  DataSetHandler BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  DataSetHandler BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  DataSetHandler BeforePost, AfterPost, BeforeCancel, AfterCancel;
  DataSetHandler BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
  DataSetHandler OnNewRecord;
  // daFail (default) re-raises, daAbort turns the failure into a silent EAbort, daRetry posts again.
  std::function<void(TDataSet&, const Exception& error, TDataAction& action)> OnPostError;

  // --- for data sources ----------------------------------------------------------------------------------
  void AttachDataSource(TDataSource* source);
  void DetachDataSource(TDataSource* source);
  // Sends an event to every data source of this dataset (subject to DisableControls).
  void DataEvent(TDataEvent event, TField* field = nullptr);

 protected:
  // Storage and cursor machinery; the implementation is free to shape it.
  struct Impl;
  std::unique_ptr<Impl> impl_;

  // Hooks for derived kinds (change log, master-detail range). DoBeforeStore runs while the stored row
  // still holds its previous values (for usInserted the row does not exist yet, rowId is the new row's);
  // DoAfterStore runs once the values are stored (for usDeleted: once the row is gone from view).
  virtual void DoBeforeStore(int64_t rowId, TUpdateStatus kind) {}
  virtual void DoAfterStore(int64_t rowId, TUpdateStatus kind) {}
  // A range on the leading index fields: fills the field numbers and the values those fields must equal
  // and returns true; false when there is no range. A null value matches no row.
  virtual bool RangeKey(std::vector<int>& fields, std::vector<Variant>& values) const { return false; }
  // True while deleted rows must stay restorable (a change log holds them).
  virtual bool KeepsDeletedRows() const { return false; }
  // Called when the last Close, LoadData or EmptyTable dropped every stored row.
  virtual void DoRowsCleared() {}

  // Storage access for derived kinds; row ids are those of bookmarks.
  Variant StoredValue(int64_t rowId, int fieldIndex) const;
  TRowValues StoredRow(int64_t rowId) const;
  bool RowAlive(int64_t rowId) const;
  // Overwrites a stored row's values (converted to the field types); no events, no hooks.
  void WriteStoredRow(int64_t rowId, const TRowValues& values);
  // Brings a deleted row back in its old place / removes a row; no events, no hooks.
  void ReviveRow(int64_t rowId);
  void KillRow(int64_t rowId);
  // The row under the cursor (-1 when none, or while inserting).
  int64_t CurrentRowId() const;
  // Re-evaluates order, range and filter, keeping the cursor on its row when it is still visible, and
  // tells the data sources.
  void Resync();

 private:
  friend class TField;
  friend class TClientDataSet;

  // The current record as fields read it / write it.
  Variant CurrentValue(int fieldIndex) const;
  void WriteCurrentValue(int fieldIndex, Variant converted);

  TFieldDefs fieldDefs_;
  std::vector<std::unique_ptr<TField>> fields_;
  TDataSetState state_ = dsInactive;
  std::string filter_;
  bool filtered_ = false;
  FilterRecordHandler onFilterRecord_;
  std::string indexFieldNames_;
  int disableCount_ = 0;
  int constraintsDisabled_ = 0;
  std::vector<TDataSource*> dataSources_;
};

// An in-memory table (the toolkit's TkbmMemTable and TdxMemData).
class TMemTable : public TDataSet {
 public:
  using TDataSet::TDataSet;
  std::string ClassName() const override { return "TMemTable"; }
  // Creates the fields from FieldDefs, with no rows, and opens.
  void CreateDataSet();
  // Removes every row (stays open).
  void EmptyTable();
  // Copies the visible rows of the source (at most maxRows when not negative); with copyStructure the
  // structure is taken from the source first. Opens.
  void LoadFromDataSet(const TDataSet& source, int maxRows = -1, bool copyStructure = true);
};
using TkbmMemTable = TMemTable;
using TdxMemData = TMemTable;

// One pending change of a client dataset, for the database service that writes it back.
struct TDeltaRecord {
  TUpdateStatus Status = usUnmodified;  // usInserted, usModified or usDeleted
  TRowValues OldValues;  // usModified and usDeleted: the values as last opened or merged; empty for inserts
  TRowValues NewValues;  // usInserted and usModified: the current values; empty for deletes
};

// A client dataset: an in-memory table with a change log and master-detail links.
//
// The change log records every insert, edit and delete since the last open, SetData or MergeChangeLog.
// An edited row counts once however often it is edited; a row inserted and then deleted leaves nothing.
// CancelUpdates returns to the state after the last open or merge.
//
// Master-detail: with MasterSource set and MasterFields "F_ID", the rows shown are those whose first
// index fields (IndexFieldNames "F_MID") equal the master's current values, also while the master row is
// being inserted; a row appended to the detail gets the master's values in those fields before
// OnNewRecord runs.
class TClientDataSet : public TMemTable {
 public:
  explicit TClientDataSet(TComponent* owner = nullptr);
  ~TClientDataSet() override;
  std::string ClassName() const override { return "TClientDataSet"; }

  bool LogChanges = true;
  int PacketRecords = -1;  // stored only

  // Number of pending changes (rows inserted, modified or deleted).
  int ChangeCount() const;
  int GetChangeCount() const { return ChangeCount(); }
  // Status of the current row.
  TUpdateStatus UpdateStatus() const;
  void MergeChangeLog();
  void CancelUpdates();
  // Pending changes in the order the rows were first changed.
  std::vector<TDeltaRecord> GetDelta() const;
  // Replaces the current row's values without a change-log entry (a row re-read from the database).
  void ReplaceCurrentRecord(const TRowValues& values);

  // The master's data source; null when none or when that data source has been freed.
  TDataSource* MasterSource() const;
  void SetMasterSource(TDataSource* source);
  const std::string& MasterFields() const { return masterFields_; }
  void SetMasterFields(std::string fields);

 protected:
  void DoBeforeStore(int64_t rowId, TUpdateStatus kind) override;
  void DoAfterStore(int64_t rowId, TUpdateStatus kind) override;
  bool RangeKey(std::vector<int>& fields, std::vector<Variant>& values) const override;
  bool KeepsDeletedRows() const override;
  void DoRowsCleared() override;

 private:
  struct LogImpl;
  std::unique_ptr<LogImpl> log_;
  std::string masterFields_;
};

}  // namespace jxc
