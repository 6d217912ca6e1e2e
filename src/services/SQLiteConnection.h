#pragma once
// One connection to the shop database file: WAL journal, a busy timeout, foreign keys on, the
// application functions the schema and the adapted statements need (reverse, GETDATE, LEN), and a cache
// of prepared statements. Every failure raises EDatabaseError in the system's words with SQLite's message
// appended; a busy, full, read-only or corrupt file says so. Not for use from several threads at once.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Variant.h"

struct sqlite3;
struct sqlite3_stmt;

namespace jxc {

class TSQLiteConnection;

// A prepared statement, reset when released. Columns and parameters count from 0.
class TSQLiteStatement {
 public:
  TSQLiteStatement(TSQLiteConnection& connection, sqlite3_stmt* statement, std::string sql);
  ~TSQLiteStatement();
  TSQLiteStatement(const TSQLiteStatement&) = delete;
  TSQLiteStatement& operator=(const TSQLiteStatement&) = delete;

  // Binds a value: null and empty as NULL, booleans as 0/1, currency as a real with four decimals,
  // date-times as "yyyy-mm-dd hh:nn:ss[.zzz]" text.
  TSQLiteStatement& Bind(int index, const Variant& value);
  TSQLiteStatement& BindInt64(int index, int64_t value);
  TSQLiteStatement& BindText(int index, const std::string& value);
  // One step: true while a row is available, false when done.
  bool Step();
  // Steps to the end (for statements that return no rows); returns the rows changed.
  int Run();
  void Reset();

  int ColumnCount() const;
  std::string ColumnName(int column) const;
  // The declared type of a column that reads a table or view column directly; empty otherwise.
  std::string ColumnDeclaredType(int column) const;
  bool IsNull(int column) const;
  int64_t Int64(int column) const;
  double Double(int column) const;
  std::string Text(int column) const;
  int StorageType(int column) const;  // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB, SQLITE_NULL
  const std::string& Sql() const { return sql_; }

 private:
  TSQLiteConnection& connection_;
  sqlite3_stmt* statement_;
  std::string sql_;
};

class TSQLiteConnection {
 public:
  // Opens (creating when missing) the file; ":memory:" gives a private in-memory database.
  explicit TSQLiteConnection(const std::string& fileName, int busyTimeoutMs = 10000);
  ~TSQLiteConnection();
  TSQLiteConnection(const TSQLiteConnection&) = delete;
  TSQLiteConnection& operator=(const TSQLiteConnection&) = delete;

  const std::string& FileName() const { return fileName_; }
  sqlite3* Handle() const { return db_; }

  // Runs SQL text as SQLite reads it (schema scripts), without adaptation.
  void ExecScript(const std::string& sql);
  // A prepared statement for the text; the same text reuses the cached preparation. The statement is
  // reset when the returned holder goes.
  std::shared_ptr<TSQLiteStatement> Prepare(const std::string& sql);
  // Prepared once per call, never cached (statements built from screen text).
  std::unique_ptr<TSQLiteStatement> PrepareOnce(const std::string& sql);

  bool InTransaction() const;
  int64_t LastInsertRowId() const;
  // Drops cached statements (after schema changes).
  void ClearStatementCache();

  // Raises EDatabaseError for an SQLite result code, in the system's words, quoting the statement.
  [[noreturn]] void Fail(int code, const std::string& statement) const;

 private:
  friend class TSQLiteStatement;
  void RegisterFunctions();

  std::string fileName_;
  sqlite3* db_ = nullptr;
  std::map<std::string, sqlite3_stmt*> cache_;
  std::map<sqlite3_stmt*, bool> cacheInUse_;
};

// A write transaction: BEGIN IMMEDIATE (so two writers queue on the busy timeout instead of failing
// half way), or a savepoint when one is already open. Rolled back unless committed.
class TSQLiteTransaction {
 public:
  explicit TSQLiteTransaction(TSQLiteConnection& connection);
  ~TSQLiteTransaction();
  TSQLiteTransaction(const TSQLiteTransaction&) = delete;
  TSQLiteTransaction& operator=(const TSQLiteTransaction&) = delete;

  void Commit();
  bool Outermost() const { return savepoint_.empty(); }

 private:
  TSQLiteConnection& connection_;
  std::string savepoint_;
  bool done_ = false;
};

// "yyyy-mm-dd hh:nn:ss", with ".zzz" when the milliseconds are not zero: the stored form of date-times.
std::string SqlDateTimeText(TDateTime value);

}  // namespace jxc
