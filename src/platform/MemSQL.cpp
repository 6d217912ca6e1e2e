#include "platform/MemSQL.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace jxc {

namespace {

// --- column declarations: the field type travels in the declared type, the affinity follows it ----------------

std::string Declaration(TFieldType type) {
  const std::string name = FieldTypeName(type);
  if (IsStringFieldType(type)) return name + " TEXT";
  if (IsIntegerFieldType(type) || type == ftBoolean) return name + " INT";
  if (type == ftFloat || type == ftCurrency || type == ftBCD || type == ftFMTBcd || IsDateTimeFieldType(type)) return name + " REAL";
  if (type == ftBlob) return name + " BLOB";
  return name;
}

std::optional<TFieldType> TypeFromDeclaration(const char* declared) {
  if (declared == nullptr) return std::nullopt;
  const std::string d = declared;
  const std::string first = d.substr(0, d.find(' '));
  for (int t = ftUnknown; t <= ftBlob; ++t) {
    if (SameText(first, FieldTypeName(static_cast<TFieldType>(t)))) return static_cast<TFieldType>(t);
  }
  return std::nullopt;
}

std::string QuoteName(std::string_view name) { return "\"" + StringReplace(name, "\"", "\"\"") + "\""; }

// --- money in a REAL world ----------------------------------------------------------------------------------
// Amounts go into the engine as REAL, so that expressions, comparisons and ordering treat them as the
// numbers they are. A double holds about 16 significant digits, though, and four-decimal amounts from
// about 1e11 on have more. The engine therefore remembers the exact amount behind each large double, and
// reads money results (columns, MIN, MAX, SUM) through that memory: they come back exact over the whole
// currency range. Two amounts that one run puts into the same double (amounts above about 5e11 that
// differ in the last decimal) cannot be told apart: the nearest amount is read for both.

using Wide = __int128;

class ExactAmounts {
 public:
  // The double that stands for the amount in the engine.
  double ToReal(int64_t raw) {
    const double real = Image(raw);
    if (std::fabs(real) >= kDistinctBelow) Remember(real, raw);
    return real;
  }

  // The amount the double stands for: a remembered one, or the amount whose image it is; nullopt for a
  // double that is no amount's image (a computed value such as a product or an average).
  std::optional<int64_t> RawOf(double real) const {
    if (std::fabs(real) >= kDistinctBelow) {
      const auto it = remembered_.find(Bits(real));
      if (it != remembered_.end() && !it->second.ambiguous) return it->second.raw;
    }
    const std::optional<Currency> nearest = Currency::FromBinaryValue(real);
    if (nearest && Image(nearest->Raw()) == real) return nearest->Raw();
    return std::nullopt;
  }

  void Clear() { remembered_.clear(); }

 private:
  struct Entry {
    int64_t raw;
    bool ambiguous;
  };

  // Below 2^37 a double's last place is under 0.00002: every amount has a double of its own and reads
  // back from it by rounding. From there on amounts are remembered.
  static constexpr double kDistinctBelow = 137438953472.0;

  static uint64_t Bits(double real) {
    uint64_t bits;
    std::memcpy(&bits, &real, sizeof bits);
    return bits;
  }
  static double Image(int64_t raw) { return static_cast<double>(raw) / static_cast<double>(Currency::kScale); }

  void Remember(double real, int64_t raw) {
    const auto [it, added] = remembered_.try_emplace(Bits(real), Entry{raw, false});
    if (!added && it->second.raw != raw) it->second.ambiguous = true;
  }

  std::unordered_map<uint64_t, Entry> remembered_;
};

// --- sums that stay exact for money --------------------------------------------------------------------------
// SQLite's own SUM adds doubles one by one; over many four-decimal amounts the error can reach the fourth
// decimal. This SUM adds integers exactly, amounts exactly in ten-thousandths, and everything else with
// compensated (Neumaier) summation in extended precision.

struct SumState {
  bool any;
  bool notInteger;
  bool overflow;
  bool notAmounts;  // some value was no amount: the exact amount total does not hold
  int64_t integer;
  Wide amountRaw;
  long double sum;
  long double compensation;
};

// SQLite hands aggregates zero-filled memory aligned for 8 bytes only: the state is copied in and out.
SumState LoadSum(void* memory) {
  SumState s;
  std::memcpy(&s, memory, sizeof s);
  return s;
}

void AddCompensated(SumState& s, long double x) {
  const long double t = s.sum + x;
  if (std::fabs(s.sum) >= std::fabs(x)) s.compensation += (s.sum - t) + x;
  else s.compensation += (x - t) + s.sum;
  s.sum = t;
}

void SumStep(sqlite3_context* context, int, sqlite3_value** argv) {
  void* memory = sqlite3_aggregate_context(context, sizeof(SumState));
  if (memory == nullptr) return;
  const auto& amounts = *static_cast<const ExactAmounts*>(sqlite3_user_data(context));
  SumState s = LoadSum(memory);
  const int type = sqlite3_value_numeric_type(argv[0]);
  if (type != SQLITE_NULL) {
    s.any = true;
    if (type == SQLITE_INTEGER && !s.notInteger) {
      if (__builtin_add_overflow(s.integer, sqlite3_value_int64(argv[0]), &s.integer)) s.overflow = true;
    } else {
      if (!s.notInteger) {
        s.notInteger = true;
        s.notAmounts = s.overflow;
        s.amountRaw = Wide(s.integer) * Currency::kScale;
        AddCompensated(s, static_cast<long double>(s.integer));
      }
      if (type == SQLITE_INTEGER) {
        s.amountRaw += Wide(sqlite3_value_int64(argv[0])) * Currency::kScale;
        AddCompensated(s, static_cast<long double>(sqlite3_value_int64(argv[0])));
      } else if (type == SQLITE_FLOAT) {
        const double real = sqlite3_value_double(argv[0]);
        const std::optional<int64_t> raw = s.notAmounts ? std::nullopt : amounts.RawOf(real);
        if (raw) s.amountRaw += *raw;
        else s.notAmounts = true;
        AddCompensated(s, static_cast<long double>(real));
      } else {
        s.notAmounts = true;  // text or blob: counts as 0, as in SQLite
      }
    }
  }
  std::memcpy(memory, &s, sizeof s);
}

void SumFinal(sqlite3_context* context) {
  void* memory = sqlite3_aggregate_context(context, 0);
  auto& amounts = *static_cast<ExactAmounts*>(sqlite3_user_data(context));
  if (memory == nullptr) {
    sqlite3_result_null(context);
    return;
  }
  const SumState s = LoadSum(memory);
  if (!s.any) {
    sqlite3_result_null(context);
  } else if (!s.notInteger) {
    if (s.overflow) sqlite3_result_error(context, "integer overflow", -1);
    else sqlite3_result_int64(context, s.integer);
  } else if (!s.notAmounts && s.amountRaw <= std::numeric_limits<int64_t>::max() &&
             s.amountRaw >= std::numeric_limits<int64_t>::min()) {
    sqlite3_result_double(context, amounts.ToReal(static_cast<int64_t>(s.amountRaw)));
  } else {
    sqlite3_result_double(context, static_cast<double>(s.sum + s.compensation));
  }
}

// --- a light reading of the select list, for the types of literal and aggregate columns -----------------------

struct SqlToken {
  enum Kind { Word, Quoted, String, Number, Punct } kind;
  std::string text;
};

std::vector<SqlToken> LexSql(std::string_view s) {
  std::vector<SqlToken> out;
  size_t i = 0;
  auto isWord = [](unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80; };
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (std::isspace(c)) {
      ++i;
    } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
      while (i < s.size() && s[i] != '\n') ++i;
    } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
      const size_t end = s.find("*/", i + 2);
      i = end == std::string_view::npos ? s.size() : end + 2;
    } else if (c == '\'' || c == '"' || c == '`' || c == '[') {
      const char close = c == '[' ? ']' : static_cast<char>(c);
      std::string text;
      ++i;
      while (i < s.size()) {
        if (s[i] == close) {
          if (close != ']' && i + 1 < s.size() && s[i + 1] == close) {
            text += close;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        text += s[i++];
      }
      out.push_back({c == '\'' ? SqlToken::String : SqlToken::Quoted, text});
    } else if (std::isdigit(c) || (c == '.' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
      std::string text;
      while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '.' ||
                              ((s[i] == '+' || s[i] == '-') && (s[i - 1] == 'e' || s[i - 1] == 'E')))) {
        text += s[i++];
      }
      out.push_back({SqlToken::Number, text});
    } else if (isWord(c)) {
      std::string text;
      while (i < s.size() && isWord(static_cast<unsigned char>(s[i]))) text += s[i++];
      out.push_back({SqlToken::Word, text});
    } else {
      out.push_back({SqlToken::Punct, std::string(1, static_cast<char>(c))});
      ++i;
    }
  }
  return out;
}

bool IsWord(const SqlToken& t, const char* word) { return t.kind == SqlToken::Word && SameText(t.text, word); }
bool IsPunct(const SqlToken& t, const char* p) { return t.kind == SqlToken::Punct && t.text == p; }

// What a select item tells about its column's type.
struct ItemHint {
  enum Kind { None, Boolean, IntegerLiteral, FloatLiteral, TextLiteral, Count, Average, SameAsColumn, SumOfColumn } kind = None;
  std::string column;  // SameAsColumn / SumOfColumn: the column the aggregate reads
};

ItemHint AnalyseItem(std::vector<SqlToken> item) {
  // Strip an alias ("expr AS name", "expr name").
  const size_t n = item.size();
  if (n >= 3 && IsWord(item[n - 2], "AS")) {
    item.resize(n - 2);
  } else if (n >= 2 && (item[n - 1].kind == SqlToken::Word || item[n - 1].kind == SqlToken::Quoted) && !IsWord(item[n - 1], "END")) {
    const SqlToken& prev = item[n - 2];
    if (prev.kind != SqlToken::Punct || prev.text == ")") item.resize(n - 1);
  }
  while (item.size() >= 2 && IsPunct(item.front(), "(") && IsPunct(item.back(), ")")) item = std::vector<SqlToken>(item.begin() + 1, item.end() - 1);
  ItemHint h;
  if (item.size() == 1) {
    const SqlToken& t = item[0];
    if (IsWord(t, "TRUE") || IsWord(t, "FALSE")) h.kind = ItemHint::Boolean;
    else if (t.kind == SqlToken::Number) h.kind = t.text.find_first_of(".eE") == std::string::npos ? ItemHint::IntegerLiteral : ItemHint::FloatLiteral;
    else if (t.kind == SqlToken::String) h.kind = ItemHint::TextLiteral;
    return h;
  }
  if (item.size() == 2 && (IsPunct(item[0], "-") || IsPunct(item[0], "+")) && item[1].kind == SqlToken::Number) {
    h.kind = item[1].text.find_first_of(".eE") == std::string::npos ? ItemHint::IntegerLiteral : ItemHint::FloatLiteral;
    return h;
  }
  if (item.size() >= 3 && item[0].kind == SqlToken::Word && IsPunct(item[1], "(") && IsPunct(item.back(), ")")) {
    const std::string func = UpperCase(item[0].text);
    if (func == "COUNT") {
      h.kind = ItemHint::Count;
      return h;
    }
    if (func == "AVG") {
      h.kind = ItemHint::Average;
      return h;
    }
    if (func == "SUM" || func == "TOTAL" || func == "MIN" || func == "MAX") {
      std::vector<SqlToken> arg(item.begin() + 2, item.end() - 1);
      if (!arg.empty() && IsWord(arg[0], "DISTINCT")) arg.erase(arg.begin());
      // A column, possibly qualified: name or table.name.
      const bool plain = arg.size() == 1 || (arg.size() == 3 && IsPunct(arg[1], "."));
      if (plain && (arg.back().kind == SqlToken::Word || arg.back().kind == SqlToken::Quoted)) {
        h.kind = (func == "MIN" || func == "MAX") ? ItemHint::SameAsColumn : ItemHint::SumOfColumn;
        h.column = arg.back().text;
      }
    }
  }
  return h;
}

// The hints of the top-level select list, one per item; empty when the list cannot be read item by item
// (a "*", a compound statement, a WITH clause).
std::vector<ItemHint> SelectListHints(std::string_view sql) {
  const std::vector<SqlToken> tokens = LexSql(sql);
  if (tokens.empty() || !IsWord(tokens[0], "SELECT")) return {};
  size_t i = 1;
  if (i < tokens.size() && (IsWord(tokens[i], "DISTINCT") || IsWord(tokens[i], "ALL"))) ++i;
  std::vector<ItemHint> hints;
  std::vector<SqlToken> item;
  int depth = 0;
  for (; i <= tokens.size(); ++i) {
    const bool end = i == tokens.size() || (depth == 0 && IsWord(tokens[i], "FROM"));
    if (end || (depth == 0 && IsPunct(tokens[i], ","))) {
      if (item.empty()) return {};
      if (IsPunct(item.back(), "*")) return {};
      hints.push_back(AnalyseItem(item));
      item.clear();
      if (end) break;
      continue;
    }
    if (IsPunct(tokens[i], "(")) ++depth;
    if (IsPunct(tokens[i], ")")) --depth;
    item.push_back(tokens[i]);
  }
  // UNION and friends combine several lists: leave their typing to the values.
  for (const SqlToken& t : tokens) {
    if (IsWord(t, "UNION") || IsWord(t, "INTERSECT") || IsWord(t, "EXCEPT")) return {};
  }
  return hints;
}

// --- result values -------------------------------------------------------------------------------------------

Variant CellValue(sqlite3_stmt* st, int column) {
  switch (sqlite3_column_type(st, column)) {
    case SQLITE_NULL: return Variant::Null();
    case SQLITE_INTEGER: return Variant(static_cast<long long>(sqlite3_column_int64(st, column)));
    case SQLITE_FLOAT: return Variant(sqlite3_column_double(st, column));
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
      return Variant(std::string(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(st, column))));
    }
  }
}

TFieldType TypeOfValues(const std::vector<TRowValues>& rows, size_t column) {
  bool anyInt = false, anyFloat = false;
  for (const TRowValues& r : rows) {
    const Variant& v = r[column];
    if (v.IsString()) return ftString;
    if (v.Holds<double>()) anyFloat = true;
    if (v.Holds<int64_t>()) anyInt = true;
  }
  if (anyFloat) return ftFloat;
  if (anyInt) return ftLargeint;
  return ftString;
}

bool AllFitInt32(const std::vector<TRowValues>& rows, size_t column) {
  for (const TRowValues& r : rows) {
    const Variant& v = r[column];
    if (v.Holds<int64_t>() && (v.Get<int64_t>() < std::numeric_limits<int32_t>::min() || v.Get<int64_t>() > std::numeric_limits<int32_t>::max()))
      return false;
    if (!v.IsNullOrEmpty() && !v.Holds<int64_t>()) return false;
  }
  return true;
}

// A value as SQLite gave it, in the column's type; amounts are read exactly. Raises EConvertError when it
// does not fit.
Variant ToColumnType(const Variant& v, TFieldType type, const std::string& name, const ExactAmounts& amounts) {
  if (v.IsNullOrEmpty()) return Variant::Null();
  if (IsDateTimeFieldType(type) && (v.Holds<double>() || v.Holds<int64_t>())) return Variant(TDateTime(v.AsDouble()));
  if ((type == ftCurrency || type == ftBCD || type == ftFMTBcd) && v.Holds<double>()) {
    if (const std::optional<int64_t> raw = amounts.RawOf(v.Get<double>())) return Variant(Currency::FromRaw(*raw));
    return Variant(Currency::FromDouble(v.Get<double>()));
  }
  if (type == ftBoolean && v.Holds<double>()) return Variant(v.Get<double>() != 0);
  return ConvertToFieldType(v, type, name);
}

}  // namespace

// ----------------------------------------------------------------------------------------------------------

struct TkbmMemSQL::Engine {
  struct Table {
    TDataSet* dataSet;
    std::string name;
  };
  sqlite3* db = nullptr;
  ExactAmounts amounts;
  std::vector<Table> tables;
  std::vector<std::string> loaded;  // tables created in the engine by the last run

  ~Engine() { sqlite3_close(db); }

  [[noreturn]] void Fail(std::string_view sql, const std::string& reason) const {
    throw EDatabaseError("Cannot run the statement \"" + std::string(sql) + "\": " + reason);
  }

  void Exec(const std::string& statement, std::string_view sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, statement.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      const std::string reason = error ? error : "unknown error";
      sqlite3_free(error);
      Fail(sql, reason);
    }
  }

  void EnsureOpen(std::string_view sql) {
    if (db) return;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
      const std::string reason = db ? sqlite3_errmsg(db) : "out of memory";
      sqlite3_close(db);
      db = nullptr;
      Fail(sql, "the SQL engine cannot start: " + reason);
    }
    sqlite3_create_function(db, "sum", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, &amounts, nullptr, SumStep, SumFinal);
  }

  // Copies the visible rows of every registered dataset into a table of the same name.
  void LoadTables(std::string_view sql) {
    Exec("BEGIN", sql);
    amounts.Clear();
    try {
      for (const std::string& name : loaded) Exec("DROP TABLE IF EXISTS " + QuoteName(name), sql);
      loaded.clear();
      for (const Table& t : tables) LoadTable(t, sql);
      Exec("COMMIT", sql);
    } catch (...) {
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
  }

  void LoadTable(const Table& t, std::string_view sql) {
    const TDataSet& ds = *t.dataSet;
    std::vector<TFieldDef> defs;
    if (ds.FieldCount() > 0) {
      for (int i = 0; i < ds.FieldCount(); ++i) defs.push_back(ds.Fields(i).Def());
    } else {
      defs = ds.FieldDefs().Items();
    }
    std::string create = "CREATE TABLE " + QuoteName(t.name) + " (";
    std::string insert = "INSERT INTO " + QuoteName(t.name) + " VALUES (";
    for (size_t i = 0; i < defs.size(); ++i) {
      create += (i ? ", " : "") + QuoteName(defs[i].Name) + " " + Declaration(defs[i].DataType);
      insert += i ? ", ?" : "?";
    }
    if (defs.empty()) create += "\"_\" TEXT";
    Exec(create + ")", sql);
    loaded.push_back(t.name);
    if (!ds.Active() || defs.empty()) return;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, (insert + ")").c_str(), -1, &st, nullptr) != SQLITE_OK) Fail(sql, sqlite3_errmsg(db));
    const int rows = ds.RecordCount();
    const int fields = static_cast<int>(defs.size());
    for (int r = 0; r < rows; ++r) {
      for (int f = 0; f < fields; ++f) Bind(st, f + 1, ds.RowValue(r, f));
      if (sqlite3_step(st) != SQLITE_DONE) {
        const std::string reason = sqlite3_errmsg(db);
        sqlite3_finalize(st);
        Fail(sql, reason);
      }
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
  }

  void Bind(sqlite3_stmt* st, int index, const Variant& v) {
    switch (v.Type()) {
      case VarType::Empty:
      case VarType::Null: sqlite3_bind_null(st, index); break;
      case VarType::Boolean:
      case VarType::Integer:
      case VarType::Int64: sqlite3_bind_int64(st, index, v.AsInt64()); break;
      case VarType::Double: sqlite3_bind_double(st, index, v.Get<double>()); break;
      case VarType::Currency: sqlite3_bind_double(st, index, amounts.ToReal(v.Get<Currency>().Raw())); break;
      case VarType::DateTime: sqlite3_bind_double(st, index, v.Get<TDateTime>().Value()); break;
      default: {
        const std::string text = v.ToString();
        sqlite3_bind_text(st, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
      }
    }
  }

  // The type of a registered column of that name (the first table that has it).
  std::optional<TFieldType> ColumnType(const std::string& column) const {
    for (const Table& t : tables) {
      if (const TField* f = t.dataSet->FindField(column)) return f->DataType();
      const int i = t.dataSet->FieldDefs().IndexOf(column);
      if (i >= 0) return t.dataSet->FieldDefs()[i].DataType;
    }
    return std::nullopt;
  }
};

TkbmMemSQL::TkbmMemSQL(TComponent* owner) : TMemTable(owner), engine_(std::make_unique<Engine>()) {}

TkbmMemSQL::~TkbmMemSQL() {
  for (const Engine::Table& t : engine_->tables) t.dataSet->RemoveFreeNotification(this);
}

void TkbmMemSQL::TablesClear() {
  for (const Engine::Table& t : engine_->tables) t.dataSet->RemoveFreeNotification(this);
  engine_->tables.clear();
}

void TkbmMemSQL::TablesAdd(TDataSet& dataSet, std::string name) {
  auto& tables = engine_->tables;
  std::erase_if(tables, [&](const Engine::Table& t) { return SameText(t.name, name); });
  tables.push_back({&dataSet, std::move(name)});
  dataSet.FreeNotification(this);
}

int TkbmMemSQL::TablesCount() const { return static_cast<int>(engine_->tables.size()); }

void TkbmMemSQL::Notification(TComponent* component, TOperation operation) {
  TMemTable::Notification(component, operation);
  if (operation == TOperation::opRemove)
    std::erase_if(engine_->tables, [&](const Engine::Table& t) { return t.dataSet == component; });
}

void TkbmMemSQL::Open() {
  if (SQL.empty()) TMemTable::Open();
  else ExecSQL();
}

void TkbmMemSQL::ExecSQL(std::string_view sql) {
  SQL = std::string(sql);
  ExecSQL();
}

void TkbmMemSQL::ExecSQL() {
  Engine& e = *engine_;
  const std::string sql = SQL;
  if (Trim(sql).empty()) throw EDatabaseError("Cannot run an empty statement");
  e.EnsureOpen(sql);
  e.LoadTables(sql);

  sqlite3_stmt* st = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(e.db, sql.c_str(), static_cast<int>(sql.size()), &st, &tail) != SQLITE_OK) e.Fail(sql, sqlite3_errmsg(e.db));
  if (st == nullptr) e.Fail(sql, "no statement");
  if (tail != nullptr && !Trim(StringReplace(tail, ";", "")).empty()) {
    sqlite3_finalize(st);
    e.Fail(sql, "only one statement can be run");
  }
  if (!sqlite3_stmt_readonly(st)) {
    sqlite3_finalize(st);
    e.Fail(sql, "only SELECT statements can be run");
  }
  const int columns = sqlite3_column_count(st);
  std::vector<TFieldDef> defs(static_cast<size_t>(columns));
  std::vector<std::optional<TFieldType>> declared(static_cast<size_t>(columns));
  for (int c = 0; c < columns; ++c) {
    std::string name = sqlite3_column_name(st, c);
    // Names must be unique for FieldByName: a repeated one gets a suffix.
    for (int k = 1; std::any_of(defs.begin(), defs.begin() + c, [&](const TFieldDef& d) { return SameText(d.Name, name); }); ++k)
      name = std::string(sqlite3_column_name(st, c)) + "_" + std::to_string(k);
    defs[static_cast<size_t>(c)].Name = name;
    declared[static_cast<size_t>(c)] = TypeFromDeclaration(sqlite3_column_decltype(st, c));
  }
  std::vector<TRowValues> rows;
  while (true) {
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) {
      const std::string reason = sqlite3_errmsg(e.db);
      sqlite3_finalize(st);
      e.Fail(sql, reason);
    }
    TRowValues row;
    row.reserve(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c) row.push_back(CellValue(st, c));
    rows.push_back(std::move(row));
  }
  sqlite3_finalize(st);

  std::vector<ItemHint> hints = SelectListHints(sql);
  if (hints.size() != static_cast<size_t>(columns)) hints.assign(static_cast<size_t>(columns), ItemHint{});
  for (size_t c = 0; c < defs.size(); ++c) {
    TFieldDef& d = defs[c];
    std::optional<TFieldType> type;
    for (const auto& [hintName, hintType] : TypeHints) {
      if (SameText(hintName, d.Name)) type = hintType;
    }
    if (!type) type = declared[c];
    if (!type) {
      const ItemHint& h = hints[c];
      switch (h.kind) {
        case ItemHint::Boolean: type = ftBoolean; break;
        case ItemHint::IntegerLiteral: type = ftLargeint; break;
        case ItemHint::FloatLiteral: type = ftFloat; break;
        case ItemHint::TextLiteral: type = ftString; break;
        case ItemHint::Count: type = ftInteger; break;
        case ItemHint::Average: type = ftFloat; break;
        case ItemHint::SameAsColumn: type = e.ColumnType(h.column); break;
        case ItemHint::SumOfColumn: {
          const std::optional<TFieldType> source = e.ColumnType(h.column);
          if (source && IsIntegerFieldType(*source)) type = (*source != ftLargeint && AllFitInt32(rows, c)) ? ftInteger : ftLargeint;
          else if (source && (*source == ftCurrency || *source == ftBCD || *source == ftFMTBcd || *source == ftFloat)) type = source;
          break;
        }
        case ItemHint::None: break;
      }
    }
    if (!type) type = TypeOfValues(rows, c);
    d.DataType = *type;
    // Values that do not fit the chosen type (SQLite columns may mix kinds) retype the column by its values.
    std::vector<Variant> converted;
    converted.reserve(rows.size());
    try {
      for (const TRowValues& r : rows) converted.push_back(ToColumnType(r[c], d.DataType, d.Name, e.amounts));
    } catch (const Exception&) {
      d.DataType = TypeOfValues(rows, c);
      converted.clear();
      for (const TRowValues& r : rows) converted.push_back(ToColumnType(r[c], d.DataType, d.Name, e.amounts));
    }
    for (size_t r = 0; r < rows.size(); ++r) rows[r][c] = std::move(converted[r]);
  }
  LoadData(std::move(defs), std::move(rows));
}

}  // namespace jxc
