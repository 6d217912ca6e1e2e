#pragma once
// The database access service over one SQLite file: runs the screens' server-dialect SQL (adapted by
// TSqlDialect), fills datasets with fields typed by the schema, writes client datasets' changes back by
// F_ID, issues identifiers and codes, and runs the audit procedures. The schema is created or migrated
// when the file is opened.
//
// Every write runs in one transaction: on failure it is rolled back, EDatabaseError carries the reason and
// the datasets keep their change logs. Audited bills (stored F_STATUS 2) are closed to every writer but the
// audit procedures: a save or delete that would change their header or detail rows is refused with
// "单据[" + code + "]已审核,不能修改" (or "...,不能删除") and writes nothing. Field types: declared column types for direct column references;
// for expressions, the type the schema gives a column of the same name (an alias such as F_HAVE_QTY), else
// the kind of the values (integers, reals, texts). Repeated column names get "_1", "_2" appended.
//
// One service object per thread; several processes may share the file.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/DBIntf.h"
#include "services/SQLiteConnection.h"
#include "services/SequenceSource.h"
#include "services/SqlDialect.h"

namespace jxc {

class TStockAudit;

class TSQLiteDBAccess : public IDBAccess, public ICommonUtils {
 public:
  // A procedure reached by EXEC: the arguments as text, the result rows (possibly none).
  using Procedure = std::function<TDataPacket(TSQLiteDBAccess& db, const std::vector<std::string>& arguments)>;

  // Opens (creating when missing) the file and brings its schema to the current version; ":memory:"
  // gives a private in-memory database. Raises EDatabaseError when the file cannot be opened or is not
  // a database.
  explicit TSQLiteDBAccess(const std::string& fileName, const std::string& schemaFolder = "");
  ~TSQLiteDBAccess() override;
  TSQLiteDBAccess(const TSQLiteDBAccess&) = delete;
  TSQLiteDBAccess& operator=(const TSQLiteDBAccess&) = delete;

  // --- IDBAccess ---------------------------------------------------------------------------------------
  void OpenDataSet(TDataSet& dataSet, const std::string& sql, bool flag = false) override;
  std::unique_ptr<TClientDataSet> OpenSQL(const std::string& sql, bool flag = false) override;
  void ExecSQL(const std::string& sql, bool flag = false) override;
  int ApplyUpdates(TClientDataSet& dataSet, const std::string& tableName, bool flag = false) override;
  void OpenDataSets(const std::vector<TDataSet*>& dataSets, const std::vector<std::string>& sqls) override;
  void ApplyUpdatesList(const std::vector<TClientDataSet*>& dataSets,
                        const std::vector<std::string>& tableNames) override;
  std::string GetNewCode(const std::string& prefix, bool flag = false) override;
  std::unique_ptr<TClientDataSet> GetNewIDs(const std::string& sequence, bool flag, int count) override;
  std::unique_ptr<TClientDataSet> GetNewIDList(const std::string& name, int count) override;
  std::string GetNewID(const std::string& tableOrSequence) override;
  Variant GetFieldValue(const std::string& table, const std::string& field, const std::string& condition) override;
  // Names compare without surrounding blanks and without ASCII case ("north " finds "NORTH").
  bool NameExists(const std::string& table, const std::string& id, const std::string& name) override;
  bool AuditBill(int operation, int billType, const std::string& auditCall, const std::string& billID) override;
  void RefreshRecord(TClientDataSet& dataSet, const std::string& sql) override;

  // --- ICommonUtils ------------------------------------------------------------------------------------
  void CopyAppendRecord(TDataSet& dataSet, const FieldFilter& copyField) override;
  void ForEachRecord(TDataSet& dataSet, const std::function<void(TDataSet&)>& callback) override;
  void CopyRecordFields(const TDataSet& source, TDataSet& destination, const FieldFilter& copyField) override;

  // --- for the host, the sample shop and tests ---------------------------------------------------------
  // The rows of one SELECT (server dialect) or EXEC, typed as for OpenDataSet.
  TDataPacket Query(const std::string& sql);
  // The rows of a statement SQLite reads as it stands, with bound parameters (no adaptation).
  TDataPacket QueryNative(const std::string& sql, const std::vector<Variant>& parameters = {});
  void RegisterProcedure(const std::string& name, Procedure procedure);
  int64_t NewID() { return sequences_.NextID(); }
  TSequenceSource& Sequences() { return sequences_; }
  TSQLiteConnection& Connection() { return connection_; }
  const TSqlDialect& Dialect() const { return dialect_; }
  // Calls made to the IDBAccess operations since the service was opened (screens' round trips).
  int64_t CallCount() const { return calls_; }

  // The columns of a table as the schema declares them; empty when there is no such table.
  struct Column {
    std::string Name;
    TFieldDef Def;
    // The table's own integer key (INTEGER PRIMARY KEY): an insert that leaves it out gets the next number.
    bool OwnKey = false;
  };
  const std::vector<Column>& TableColumns(const std::string& table) const;

 private:
  void LoadCatalog();
  void AddColumnKind(const std::string& upperName, TFieldType type);
  TFieldDef FieldDefFor(const std::string& name, const std::string& declared) const;
  TDataPacket Fetch(TSQLiteStatement& statement);
  TDataPacket RunAdapted(const TAdaptedStatement& statement);
  int WriteDelta(TClientDataSet& dataSet, const std::string& tableName);

  TSQLiteConnection connection_;
  TSqlDialect dialect_;
  TSequenceSource sequences_;
  std::unique_ptr<TStockAudit> audit_;
  std::map<std::string, Procedure> procedures_;      // by upper-case name
  std::map<std::string, std::vector<Column>> tables_;  // by upper-case name (tables and views)
  std::map<std::string, std::string> viewNames_;       // upper-case names of views
  std::map<std::string, TFieldDef> columnsByName_;    // by upper-case column name, first table wins
  std::map<std::string, TSqlValueKind> columnKinds_;  // by upper-case column name, where the tables agree
  int64_t calls_ = 0;
};

// The field definition for a declared column type (BIGINT and INTEGER 64-bit identifiers, INT 32-bit,
// BIT boolean, *MONEY*, DECIMAL and NUMERIC currency, REAL/FLOAT/DOUBLE float, DATE/TIME date-time,
// CHAR text with its size, TEXT memo, BLOB binary); ftUnknown for an empty declaration.
TFieldDef FieldDefForDeclaredType(const std::string& name, const std::string& declared);
// What comparisons make of a field type: numbers (identifiers, counts, money), flags, date-times, texts.
TSqlValueKind SqlValueKindOf(TFieldType type);

}  // namespace jxc
