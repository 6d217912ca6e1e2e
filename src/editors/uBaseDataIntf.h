#pragma once
// The contracts between the grid screens, the look-ups and the application's record editors.
//
// A record editor edits one row of one table in a window of its own and tells its caller what it saved
// through a callback. IDataEditor is the set of steps such a window goes through (TFrmBaseDataEditor
// implements it and the application's editors fill in the steps); IBaseDataEditor is how a screen opens one
// for a new or an existing row; IBaseEditor is a grid screen used as a picker.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/DataSet.h"
#include "platform/Variant.h"

namespace jxc {

class TComponent;

// Called once the user saved the record: the editor's dataset positioned on it, and whether the row was
// inserted (usInserted) or changed (usModified). Not called when the user cancels or the save fails.
using TDataEditorCallback = std::function<void(TDataSet& record, TUpdateStatus status)>;

// Values a new record starts with, by field name (fields the record lacks are skipped).
using TFieldValues = std::vector<std::pair<std::string, Variant>>;

// The steps of a record editor window.
class IDataEditor {
 public:
  static constexpr const char* IID = "{F5B4ADCA-591C-410B-ADFC-C2AEEFE0D342}";
  virtual ~IDataEditor() = default;

  // Reads the editor's function row (found by its caption) and obtains the database service.
  virtual void DoInit() = 0;
  // Opens the record with that identifier, or starts a new one holding the values when there is none.
  virtual void DoAdd(int64_t id, const TFieldValues& values, TDataEditorCallback callback) = 0;
  // Opens the record with that identifier for editing.
  virtual void DoEdit(int64_t id, TDataEditorCallback callback) = 0;
  // Reads the record into the edited dataset (empty when no row has the identifier).
  virtual void DoQuery(int64_t id) = 0;
  // Validates the record; refuses with a message and a silent abort.
  virtual void DoCheck() = 0;
  // Writes the record; false when nothing could be written.
  virtual bool DoSave() = 0;
  // The edited dataset.
  virtual TDataSet* GetDataSet() = 0;
};

// Opens the application's record editor for a table.
class IBaseDataEditor {
 public:
  static constexpr const char* IID = "{1C197517-E617-4F81-A33B-5CF40A06516F}";
  virtual ~IBaseDataEditor() = default;

  // Shows the editor for a new record; true when the user saved it (the callback then ran).
  virtual bool AddRecord(TComponent* owner, const TFieldValues& values, const TDataEditorCallback& callback) = 0;
  // Shows the editor for the record with that identifier; true when the user saved it.
  virtual bool EditRecord(TComponent* owner, int64_t id, const TDataEditorCallback& callback) = 0;
};

// A grid screen serving as a picker for its opener.
class IBaseEditor {
 public:
  static constexpr const char* IID = "{545BBBFC-BEDB-4CE2-9EA6-DCCB0657CDBD}";
  virtual ~IBaseEditor() = default;

  // The text that follows the screen's SELECT (" WHERE ..."), applied by the next query.
  virtual void SetFilter(const std::string& filter) = 0;
  // Whether the user may choose several rows.
  virtual void SetIsMulSelected(bool value) = 0;
  // The chosen rows (the focused one when none is marked), with the screen's columns; empty when the
  // screen holds no rows.
  virtual void GetSelectedRows(TMemTable& rows) = 0;
};

}  // namespace jxc
