#pragma once
// The database services that the host supplies: IDBAccess runs SQL and writes client datasets back,
// ICommonUtils walks and copies records. Screens send complete SQL text (the server's dialect; the service
// adapts it) and client datasets. Interfaces are reference counted: hold them in std::shared_ptr.
//
// Failures raise EDatabaseError carrying the database's message; a failed write leaves the database as it
// was and the datasets with their pending changes, so the user can correct and save again.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/DataSet.h"
#include "platform/Variant.h"

namespace jxc {

class IDBAccess {
 public:
  static constexpr const char* IID = "{0DDB2D82-7BF5-4833-B1DD-FE2089648922}";
  virtual ~IDBAccess() = default;

  // Opens the dataset with the rows of the SELECT; its fields are shaped and typed by the result.
  virtual void OpenDataSet(TDataSet& dataSet, const std::string& sql, bool flag = false) = 0;
  // A new dataset with the rows; the caller owns it.
  virtual std::unique_ptr<TClientDataSet> OpenSQL(const std::string& sql, bool flag = false) = 0;
  // Runs one statement or several joined by line breaks, all in one transaction.
  virtual void ExecSQL(const std::string& sql, bool flag = false) = 0;
  // Writes the pending inserts, edits and deletes to the table by F_ID and merges the change log.
  // Returns the number of rows written.
  virtual int ApplyUpdates(TClientDataSet& dataSet, const std::string& tableName, bool flag = false) = 0;
  // Opens each dataset with its SELECT, in one call.
  virtual void OpenDataSets(const std::vector<TDataSet*>& dataSets, const std::vector<std::string>& sqls) = 0;
  // Writes all datasets' changes in one transaction; on failure nothing is written and every change log
  // is kept.
  virtual void ApplyUpdatesList(const std::vector<TClientDataSet*>& dataSets,
                                const std::vector<std::string>& tableNames) = 0;
  // A new unique code for the prefix (the pinyin initials of a screen's caption).
  virtual std::string GetNewCode(const std::string& prefix, bool flag = false) = 0;
  // A dataset of count new values of the named sequence ("PH" for batch numbers), in order, one per row.
  virtual std::unique_ptr<TClientDataSet> GetNewIDs(const std::string& sequence, bool flag, int count) = 0;
  // A dataset of count new identifiers in its first field.
  virtual std::unique_ptr<TClientDataSet> GetNewIDList(const std::string& name, int count) = 0;
  // A new unique identifier (signed 64-bit, as decimal text) for the table or sequence.
  virtual std::string GetNewID(const std::string& tableOrSequence) = 0;
  // The field of the first row matching the condition (written without WHERE); Null when none.
  virtual Variant GetFieldValue(const std::string& table, const std::string& field,
                                const std::string& condition) = 0;
  // True when another row of the table (F_ID other than id) has that F_NAME.
  virtual bool NameExists(const std::string& table, const std::string& id, const std::string& name) = 0;
  // Runs the server-side audit (operation 1) or un-audit (2) of a bill; true on success. A refusal raises
  // EDatabaseError with the reason.
  virtual bool AuditBill(int operation, int billType, const std::string& auditCall, const std::string& billID) = 0;
  // Replaces the dataset's current row by the row the SELECT reads (no change-log entry).
  virtual void RefreshRecord(TClientDataSet& dataSet, const std::string& sql) = 0;
};

class ICommonUtils {
 public:
  static constexpr const char* IID = "{4E70C771-E2AD-4DF8-9069-9021FD06D6E7}";
  virtual ~ICommonUtils() = default;

  using FieldFilter = std::function<bool(const std::string& fieldName)>;
  // Appends a record holding the current record's fields for which the filter returns true (the others
  // keep their new-record values). The new record stays in insert state.
  virtual void CopyAppendRecord(TDataSet& dataSet, const FieldFilter& copyField) = 0;
  // Calls the callback once per visible record, from the first; the cursor is left after the last.
  virtual void ForEachRecord(TDataSet& dataSet, const std::function<void(TDataSet&)>& callback) = 0;
  // Copies the same-named fields of the source's current record into the destination's current record
  // (which must be in edit or insert state), those for which the filter returns true.
  virtual void CopyRecordFields(const TDataSet& source, TDataSet& destination, const FieldFilter& copyField) = 0;
};

}  // namespace jxc
