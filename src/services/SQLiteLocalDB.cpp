#include "services/SQLiteLocalDB.h"

#include <sqlite3.h>

#include <cctype>

#include <vector>

#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "platform/Format.h"
#include "platform/Text.h"

namespace jxc {

namespace {

TFieldType TypeFromDeclaration(const char* declared) {
  const std::string d = UpperCase(declared ? declared : "");
  if (d.empty()) return ftUnknown;
  if (Contains(d, "BIGINT") || d == "INTEGER" || Contains(d, "INT64")) return ftLargeint;
  if (Contains(d, "INT")) return ftInteger;
  if (Contains(d, "BIT") || Contains(d, "BOOL")) return ftBoolean;
  if (Contains(d, "MONEY") || Contains(d, "DEC") || Contains(d, "NUMERIC") || Contains(d, "CURR")) return ftCurrency;
  if (Contains(d, "REAL") || Contains(d, "FLOA") || Contains(d, "DOUB")) return ftFloat;
  if (Contains(d, "DATE") || Contains(d, "TIME")) return ftDateTime;
  if (Contains(d, "CHAR")) return ftString;
  if (Contains(d, "TEXT") || Contains(d, "CLOB")) return ftMemo;
  if (Contains(d, "BLOB")) return ftBlob;
  return ftString;
}

TFieldType TypeFromStorage(int storage) {
  switch (storage) {
    case SQLITE_INTEGER: return ftLargeint;
    case SQLITE_FLOAT: return ftFloat;
    case SQLITE_BLOB: return ftBlob;
    default: return ftString;
  }
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement, column))) : std::string();
}

// The column's value in the field's kind; values that do not fit the kind are kept as SQLite gave them
// (the dataset converts or refuses them).
Variant ColumnValue(sqlite3_stmt* statement, int column, TFieldType type) {
  const int storage = sqlite3_column_type(statement, column);
  if (storage == SQLITE_NULL) return Variant::Null();
  switch (type) {
    case ftLargeint:
    case ftInteger:
      if (storage == SQLITE_INTEGER) {
        const int64_t value = sqlite3_column_int64(statement, column);
        if (type == ftInteger) return Variant(static_cast<int>(value));
        return Variant(static_cast<long long>(value));
      }
      break;
    case ftBoolean:
      if (storage == SQLITE_INTEGER) return Variant(sqlite3_column_int64(statement, column) != 0);
      break;
    case ftCurrency:
      if (storage == SQLITE_INTEGER) return Variant(Currency::FromInt(sqlite3_column_int64(statement, column)));
      if (storage == SQLITE_TEXT) {
        if (auto value = Currency::TryParse(ColumnText(statement, column))) return Variant(*value);
      }
      if (storage == SQLITE_FLOAT) return Variant(Currency::FromDouble(sqlite3_column_double(statement, column)));
      break;
    case ftFloat:
      if (storage != SQLITE_TEXT && storage != SQLITE_BLOB) return Variant(sqlite3_column_double(statement, column));
      break;
    case ftDateTime:
      if (storage == SQLITE_TEXT) {
        TDateTime value;
        if (TryStrToDateTime(ColumnText(statement, column), value)) return Variant(value);
      }
      break;
    default:
      break;
  }
  switch (storage) {
    case SQLITE_INTEGER: return Variant(static_cast<long long>(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT: return Variant(sqlite3_column_double(statement, column));
    default: return Variant(ColumnText(statement, column));
  }
}

bool IsPlainName(const std::string& name) {
  if (name.empty()) return false;
  for (unsigned char c : name) {
    if (!(std::isalnum(c) || c == '_' || c == '.')) return false;
  }
  return true;
}

}  // namespace

TSQLiteLocalDB::TSQLiteLocalDB(const std::string& fileName) {
  if (sqlite3_open_v2(fileName.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    db_ = nullptr;
    throw EDatabaseError("Cannot open the local database '" + fileName + "': " + message);
  }
  sqlite3_busy_timeout(db_, 2000);
}

TSQLiteLocalDB::~TSQLiteLocalDB() { sqlite3_close(db_); }

std::unique_ptr<TClientDataSet> TSQLiteLocalDB::OpenDataSet(TComponent* owner, const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    throw EDatabaseError(sqlite3_errmsg(db_));
  }
  struct Finaliser {
    sqlite3_stmt* s;
    ~Finaliser() { sqlite3_finalize(s); }
  } finaliser{statement};

  const int columns = sqlite3_column_count(statement);
  std::vector<TFieldDef> fields(static_cast<size_t>(columns));
  for (int c = 0; c < columns; ++c) {
    fields[c].Name = sqlite3_column_name(statement, c);
    fields[c].DataType = TypeFromDeclaration(sqlite3_column_decltype(statement, c));
  }
  std::vector<TRowValues> rows;
  int step;
  while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
    TRowValues values(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c) {
      if (fields[c].DataType == ftUnknown && sqlite3_column_type(statement, c) != SQLITE_NULL) {
        fields[c].DataType = TypeFromStorage(sqlite3_column_type(statement, c));
      }
      values[c] = ColumnValue(statement, c, fields[c].DataType);
    }
    rows.push_back(std::move(values));
  }
  if (step != SQLITE_DONE) throw EDatabaseError(sqlite3_errmsg(db_));
  for (auto& field : fields) {
    if (field.DataType == ftUnknown) field.DataType = ftString;
  }
  auto dataSet = std::make_unique<TClientDataSet>();
  dataSet->LoadData(std::move(fields), std::move(rows));
  return dataSet;
}

std::string TableSelectSQL(const std::string& table, const std::string& condition) {
  if (!IsPlainName(table)) throw EDatabaseError("Invalid table name '" + table + "'");
  std::string sql = "SELECT * FROM " + table;
  if (!Trim(condition).empty()) sql += " WHERE " + condition;
  return sql;
}

std::unique_ptr<TClientDataSet> TSQLiteLocalDB::OpenTable(TComponent* owner, const std::string& table,
                                                          const std::string& condition) {
  return OpenDataSet(owner, TableSelectSQL(table, condition));
}

void TSQLiteLocalDB::ExecSQL(const std::string& sql) {
  char* error = nullptr;
  const std::string script = "BEGIN;\n" + sql + "\n;COMMIT;";
  if (sqlite3_exec(db_, script.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = error ? error : sqlite3_errmsg(db_);
    sqlite3_free(error);
    sqlite3_exec(db_, "ROLLBACK;", nullptr, nullptr, nullptr);
    throw EDatabaseError(message);
  }
}

}  // namespace jxc
