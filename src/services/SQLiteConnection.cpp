#include "services/SQLiteConnection.h"

#include <sqlite3.h>

#include <cmath>

#include "platform/DateTime.h"
#include "platform/Exceptions.h"

namespace jxc {

namespace {

// Reverses by characters (UTF-8 sequences kept whole), as the server's reverse() does.
void ReverseFunction(sqlite3_context* context, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  const int bytes = sqlite3_value_bytes(argv[0]);
  std::string result(static_cast<size_t>(bytes), '\0');
  int out = bytes;
  for (int i = 0; i < bytes;) {
    int length = 1;
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead >= 0xF0) length = 4;
    else if (lead >= 0xE0) length = 3;
    else if (lead >= 0xC0) length = 2;
    if (i + length > bytes) length = bytes - i;
    out -= length;
    result.replace(static_cast<size_t>(out), static_cast<size_t>(length), text + i, static_cast<size_t>(length));
    i += length;
  }
  sqlite3_result_text(context, result.data(), bytes, SQLITE_TRANSIENT);
}

// The current time of the system clock (a virtual one in tests), in the stored form.
void GetDateFunction(sqlite3_context* context, int, sqlite3_value**) {
  const std::string text = SqlDateTimeText(Now());
  sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// Characters without trailing blanks, as the server's LEN().
void LenFunction(sqlite3_context* context, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  int bytes = sqlite3_value_bytes(argv[0]);
  while (bytes > 0 && text[bytes - 1] == ' ') --bytes;
  int64_t characters = 0;
  for (int i = 0; i < bytes; ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++characters;
  sqlite3_result_int64(context, characters);
}

}  // namespace

std::string SqlDateTimeText(TDateTime value) {
  int y, mo, d, h, mi, s, ms;
  DecodeDateTime(value, y, mo, d, h, mi, s, ms);
  char buffer[40];
  if (ms != 0)
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03d", y, mo, d, h, mi, s, ms);
  else
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", y, mo, d, h, mi, s);
  return buffer;
}

// --- statement ------------------------------------------------------------------------------------------

TSQLiteStatement::TSQLiteStatement(TSQLiteConnection& connection, sqlite3_stmt* statement, std::string sql)
    : connection_(connection), statement_(statement), sql_(std::move(sql)) {}

TSQLiteStatement::~TSQLiteStatement() {
  auto cached = connection_.cacheInUse_.find(statement_);
  if (cached != connection_.cacheInUse_.end()) {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
    cached->second = false;
  } else {
    sqlite3_finalize(statement_);
  }
}

TSQLiteStatement& TSQLiteStatement::Bind(int index, const Variant& value) {
  const int i = index + 1;
  int rc = SQLITE_OK;
  switch (value.Type()) {
    case VarType::Empty:
    case VarType::Null: rc = sqlite3_bind_null(statement_, i); break;
    case VarType::Boolean: rc = sqlite3_bind_int(statement_, i, value.AsBoolean() ? 1 : 0); break;
    case VarType::Integer:
    case VarType::Int64: rc = sqlite3_bind_int64(statement_, i, value.AsInt64()); break;
    case VarType::Double: rc = sqlite3_bind_double(statement_, i, value.AsDouble()); break;
    case VarType::Currency: rc = sqlite3_bind_double(statement_, i, value.AsCurrency().ToDouble()); break;
    case VarType::DateTime: {
      const std::string text = SqlDateTimeText(value.AsDateTime());
      rc = sqlite3_bind_text(statement_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
      break;
    }
    case VarType::String: {
      const std::string& text = value.Get<std::string>();
      rc = sqlite3_bind_text(statement_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
      break;
    }
    case VarType::Array: throw EDatabaseError("数组不能作为SQL参数: " + sql_);
  }
  if (rc != SQLITE_OK) connection_.Fail(rc, sql_);
  return *this;
}

TSQLiteStatement& TSQLiteStatement::BindInt64(int index, int64_t value) {
  const int rc = sqlite3_bind_int64(statement_, index + 1, value);
  if (rc != SQLITE_OK) connection_.Fail(rc, sql_);
  return *this;
}

TSQLiteStatement& TSQLiteStatement::BindText(int index, const std::string& value) {
  const int rc = sqlite3_bind_text(statement_, index + 1, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) connection_.Fail(rc, sql_);
  return *this;
}

bool TSQLiteStatement::Step() {
  const int rc = sqlite3_step(statement_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(statement_);
  connection_.Fail(rc, sql_);
}

int TSQLiteStatement::Run() {
  while (Step()) {
  }
  return sqlite3_changes(connection_.db_);
}

void TSQLiteStatement::Reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

int TSQLiteStatement::ColumnCount() const { return sqlite3_column_count(statement_); }
std::string TSQLiteStatement::ColumnName(int column) const {
  const char* name = sqlite3_column_name(statement_, column);
  return name ? name : "";
}
std::string TSQLiteStatement::ColumnDeclaredType(int column) const {
  const char* type = sqlite3_column_decltype(statement_, column);
  return type ? type : "";
}
bool TSQLiteStatement::IsNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
int64_t TSQLiteStatement::Int64(int column) const { return sqlite3_column_int64(statement_, column); }
double TSQLiteStatement::Double(int column) const { return sqlite3_column_double(statement_, column); }
std::string TSQLiteStatement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
  return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement_, column))) : std::string();
}
int TSQLiteStatement::StorageType(int column) const { return sqlite3_column_type(statement_, column); }

// --- connection -----------------------------------------------------------------------------------------

TSQLiteConnection::TSQLiteConnection(const std::string& fileName, int busyTimeoutMs) : fileName_(fileName) {
  const int rc = sqlite3_open_v2(fileName.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    throw EDatabaseError("无法打开数据库[" + fileName + "]: " + message);
  }
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, busyTimeoutMs);
  try {
    RegisterFunctions();
    // Reading the schema here finds a file that is not a database before anything is written.
    ExecScript("PRAGMA foreign_keys = ON; PRAGMA synchronous = NORMAL;");
    if (fileName != ":memory:" && !fileName.empty()) ExecScript("PRAGMA journal_mode = WAL;");
    ExecScript("SELECT count(*) FROM sqlite_master;");
  } catch (...) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  }
}

TSQLiteConnection::~TSQLiteConnection() {
  for (auto& entry : cache_) sqlite3_finalize(entry.second);
  sqlite3_close(db_);
}

void TSQLiteConnection::RegisterFunctions() {
  const int deterministic = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  sqlite3_create_function(db_, "reverse", 1, deterministic, nullptr, ReverseFunction, nullptr, nullptr);
  sqlite3_create_function(db_, "LEN", 1, deterministic, nullptr, LenFunction, nullptr, nullptr);
  sqlite3_create_function(db_, "GETDATE", 0, SQLITE_UTF8, nullptr, GetDateFunction, nullptr, nullptr);
}

void TSQLiteConnection::ExecScript(const std::string& sql) {
  char* error = nullptr;
  const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error);
  if (rc != SQLITE_OK) {
    sqlite3_free(error);
    Fail(rc, sql);
  }
}

std::shared_ptr<TSQLiteStatement> TSQLiteConnection::Prepare(const std::string& sql) {
  auto found = cache_.find(sql);
  if (found != cache_.end() && !cacheInUse_[found->second]) {
    cacheInUse_[found->second] = true;
    return std::make_shared<TSQLiteStatement>(*this, found->second, sql);
  }
  sqlite3_stmt* statement = nullptr;
  const int rc = sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                                    &statement, nullptr);
  if (rc != SQLITE_OK) Fail(rc, sql);
  if (found == cache_.end()) {
    cache_[sql] = statement;
    cacheInUse_[statement] = true;
  }
  return std::make_shared<TSQLiteStatement>(*this, statement, sql);
}

std::unique_ptr<TSQLiteStatement> TSQLiteConnection::PrepareOnce(const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  const char* tail = nullptr;
  const int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &statement, &tail);
  if (rc != SQLITE_OK) Fail(rc, sql);
  if (!statement) throw EDatabaseError("SQL语句为空: " + sql);
  return std::make_unique<TSQLiteStatement>(*this, statement, sql);
}

bool TSQLiteConnection::InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }
int64_t TSQLiteConnection::LastInsertRowId() const { return sqlite3_last_insert_rowid(db_); }

void TSQLiteConnection::ClearStatementCache() {
  for (auto it = cache_.begin(); it != cache_.end();) {
    if (cacheInUse_[it->second]) { ++it; continue; }
    cacheInUse_.erase(it->second);
    sqlite3_finalize(it->second);
    it = cache_.erase(it);
  }
}

void TSQLiteConnection::Fail(int code, const std::string& statement) const {
  const std::string detail = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
  std::string reason;
  switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: reason = "数据库正忙(被其他程序锁定), 请稍后重试"; break;
    case SQLITE_FULL: reason = "磁盘已满, 数据未写入"; break;
    case SQLITE_READONLY: reason = "数据库文件只读, 数据未写入"; break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: reason = "数据库文件已损坏或不是数据库文件"; break;
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN: reason = "数据库文件读写失败"; break;
    case SQLITE_CONSTRAINT: reason = "数据违反约束"; break;
    default: reason = "数据库执行失败"; break;
  }
  throw EDatabaseError(reason + ": " + detail + "\r\nSQL: " + statement);
}

// --- transaction ----------------------------------------------------------------------------------------

TSQLiteTransaction::TSQLiteTransaction(TSQLiteConnection& connection) : connection_(connection) {
  if (connection_.InTransaction()) {
    savepoint_ = "jxc_nested";  // nested savepoints of one name release innermost first
    connection_.ExecScript("SAVEPOINT " + savepoint_);
  } else {
    connection_.ExecScript("BEGIN IMMEDIATE");
  }
}

TSQLiteTransaction::~TSQLiteTransaction() {
  if (done_) return;
  try {
    if (savepoint_.empty()) {
      if (connection_.InTransaction()) connection_.ExecScript("ROLLBACK");
    } else {
      connection_.ExecScript("ROLLBACK TO " + savepoint_ + "; RELEASE " + savepoint_);
    }
  } catch (...) {
    // A failed roll-back leaves SQLite's own automatic roll-back; nothing more can be done here.
  }
}

void TSQLiteTransaction::Commit() {
  connection_.ExecScript(savepoint_.empty() ? "COMMIT" : "RELEASE " + savepoint_);
  done_ = true;
}

}  // namespace jxc
