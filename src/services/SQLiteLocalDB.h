#pragma once
// The local configuration database (screen and query-designer configuration) kept in an SQLite file on
// the workstation. Reads come back as client datasets owned by the caller, with fields typed by the
// columns' declared types (BIGINT/INTEGER -> Largeint, INT -> Integer, BIT/BOOLEAN -> Boolean,
// MONEY/DECIMAL/NUMERIC -> Currency, REAL/FLOAT/DOUBLE -> Float, DATE/TIME -> DateTime, TEXT/CLOB -> Memo,
// CHAR/VARCHAR -> String, BLOB -> Blob); a computed column takes the kind of its first value that is not
// null (String when all are null). A failing statement raises EDatabaseError with SQLite's message and
// returns nothing.

#include <memory>
#include <string>

#include "foundation/HostServicesIntf.h"

struct sqlite3;

namespace jxc {

// The statement of OpenTable: "SELECT * FROM " + table, with " WHERE " + condition when the condition is
// not blank. The table name must be a plain name (letters, digits, '_', '.'); anything else raises
// EDatabaseError.
std::string TableSelectSQL(const std::string& table, const std::string& condition);

class TSQLiteLocalDB : public ILocalDB {
 public:
  // Opens (creating when missing) the database file; ":memory:" gives a private in-memory database.
  // Raises EDatabaseError when the file cannot be opened.
  explicit TSQLiteLocalDB(const std::string& fileName);
  ~TSQLiteLocalDB() override;
  TSQLiteLocalDB(const TSQLiteLocalDB&) = delete;
  TSQLiteLocalDB& operator=(const TSQLiteLocalDB&) = delete;

  // The owner only names the asking screen: the dataset belongs to the caller.
  std::unique_ptr<TClientDataSet> OpenDataSet(TComponent* owner, const std::string& sql) override;
  // The rows of TableSelectSQL.
  std::unique_ptr<TClientDataSet> OpenTable(TComponent* owner, const std::string& table,
                                            const std::string& condition) override;

  // Runs statements (several separated by ';') in one transaction: all or nothing. For setting up and
  // maintaining the configuration tables.
  void ExecSQL(const std::string& sql);

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace jxc
