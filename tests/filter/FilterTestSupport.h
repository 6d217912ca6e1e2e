#pragma once
// Small builders shared by the filter tests: conditions, a one-leaf tree, and a scratch SQLite table to
// run generated conditions against.

#include <sqlite3.h>

#include <stdexcept>
#include <string>

#include "filter/CustomFilterUtils.h"
#include "filter/UnitFilterItem.h"
#include "platform/Text.h"
#include "platform/Variant.h"

namespace jxc::filtertest {

inline TFilterItem Item(std::string fieldName, std::string operatorKind, Variant value, std::string caption = "",
                        Variant displayText = Variant()) {
  TFilterItem item;
  item.SetFieldName(std::move(fieldName));
  item.SetOperatorKind(std::move(operatorKind));
  item.SetValue(std::move(value));
  item.SetCaption(std::move(caption));
  item.SetDisplayText(std::move(displayText));
  return item;
}

inline Variant Arr(std::initializer_list<Variant> items) { return Variant::Array(std::vector<Variant>(items)); }

// An in-memory SQLite database with the server's Reverse function (by characters); Count runs
// "SELECT COUNT(*) FROM <table> WHERE <condition>".
class ScratchDb {
 public:
  ScratchDb() {
    if (sqlite3_open(":memory:", &db_) != SQLITE_OK) throw std::runtime_error("sqlite open");
    sqlite3_create_function(db_, "Reverse", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &Reverse, nullptr,
                            nullptr);
  }
  ~ScratchDb() { sqlite3_close(db_); }
  ScratchDb(const ScratchDb&) = delete;
  ScratchDb& operator=(const ScratchDb&) = delete;

  void Exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      std::string message = error != nullptr ? error : "?";
      sqlite3_free(error);
      throw std::runtime_error(message + " in: " + sql);
    }
  }
  // Prepares exactly one statement; any text left after it (a smuggled second statement) is an error.
  long long Count(const std::string& table, const std::string& condition) {
    const std::string sql = "SELECT COUNT(*) FROM " + table + " WHERE " + condition;
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, &tail) != SQLITE_OK)
      throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in: " + sql);
    const bool trailing = tail != nullptr && *tail != '\0';
    long long count = -1;
    if (sqlite3_step(stmt) == SQLITE_ROW) count = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    if (trailing) throw std::runtime_error("text after the statement: " + sql);
    return count;
  }

 private:
  static void Reverse(sqlite3_context* context, int, sqlite3_value** args) {
    if (sqlite3_value_type(args[0]) == SQLITE_NULL) return sqlite3_result_null(context);
    const std::string text(reinterpret_cast<const char*>(sqlite3_value_text(args[0])),
                           static_cast<size_t>(sqlite3_value_bytes(args[0])));
    const std::string reversed = ReverseChars(text);
    sqlite3_result_text(context, reversed.c_str(), static_cast<int>(reversed.size()), SQLITE_TRANSIENT);
  }
  sqlite3* db_ = nullptr;
};

}  // namespace jxc::filtertest
