#include "services/SQLiteDBAccess.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "services/SchemaMigrator.h"
#include "services/ShopFunctions.h"
#include "services/StockAudit.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace jxc {

namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// A table name as the screens pass it: a plain name, optionally with "dbo.".
std::string PlainTableName(const std::string& table) {
  std::string name = table;
  while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.pop_back();
  while (!name.empty() && std::isspace(static_cast<unsigned char>(name.front()))) name.erase(name.begin());
  if (Upper(name.substr(0, 4)) == "DBO.") name = name.substr(4);
  const bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
  });
  if (!plain) throw EDatabaseError("表名无效: " + table);
  return name;
}

// A raw value as SQLite returned it, before the column's type is known.
Variant RawValue(TSQLiteStatement& statement, int column) {
  switch (statement.StorageType(column)) {
    case SQLITE_NULL: return Variant::Null();
    case SQLITE_INTEGER: return Variant(static_cast<long long>(statement.Int64(column)));
    case SQLITE_FLOAT: return Variant(statement.Double(column));
    default: return Variant(statement.Text(column));
  }
}

TFieldType TypeOfValues(const std::vector<TRowValues>& rows, size_t column) {
  bool anyInteger = false, anyReal = false;
  for (const auto& row : rows) {
    const Variant& v = row[column];
    if (v.IsNull()) continue;
    if (v.IsString()) return ftString;
    if (v.Holds<double>()) anyReal = true;
    else anyInteger = true;
  }
  if (anyReal) return ftFloat;
  return anyInteger ? ftLargeint : ftString;
}

// The raw value in the kind of the field; a value that does not fit is left for the dataset to refuse.
Variant Typed(const Variant& raw, TFieldType type) {
  if (raw.IsNull()) return raw;
  try {
    switch (type) {
      case ftLargeint: return raw.IsString() ? raw : Variant(static_cast<long long>(raw.AsInt64()));
      case ftInteger:
      case ftSmallint:
      case ftWord: return raw.IsString() ? raw : Variant(raw.AsInteger());
      case ftBoolean: return Variant(raw.AsBoolean());
      case ftCurrency:
      case ftBCD:
      case ftFMTBcd:
        if (raw.Holds<double>()) return Variant(Currency::FromDouble(raw.AsDouble()));
        if (raw.IsString()) return Currency::TryParse(raw.Get<std::string>()) ? Variant(Currency::Parse(raw.Get<std::string>())) : raw;
        return Variant(Currency::FromInt(raw.AsInt64()));
      case ftFloat: return raw.IsString() ? raw : Variant(raw.AsDouble());
      case ftDate:
      case ftTime:
      case ftDateTime:
      case ftTimeStamp:
        if (raw.IsString()) return Variant(raw.AsDateTime());
        return Variant(TDateTime(raw.AsDouble()));
      case ftString:
      case ftWideString:
      case ftMemo:
      case ftWideMemo:
      case ftFixedChar:
      case ftGuid: return raw.IsString() ? raw : Variant(raw.ToString());
      default: return raw;
    }
  } catch (const EConvertError&) {
    return raw;
  } catch (const EOverflow&) {
    return raw;
  }
}

// Runs a write. A refusal of the guards of audited bills (jxc_refuse) carries the system's own text and
// reaches the caller as it stands, without the statement.
int RunWrite(TSQLiteConnection& connection, TSQLiteStatement& statement) {
  try {
    return statement.Run();
  } catch (const EDatabaseError&) {
    if (sqlite3_extended_errcode(connection.Handle()) == SQLITE_CONSTRAINT_FUNCTION)
      throw EDatabaseError(sqlite3_errmsg(connection.Handle()));
    throw;
  }
}

}  // namespace

TFieldDef FieldDefForDeclaredType(const std::string& name, const std::string& declared) {
  TFieldDef def;
  def.Name = name;
  const std::string d = Upper(declared);
  if (d.empty()) def.DataType = ftUnknown;
  else if (Contains(d, "BIGINT") || d == "INTEGER" || Contains(d, "INT64")) def.DataType = ftLargeint;
  else if (Contains(d, "INT")) def.DataType = ftInteger;
  else if (Contains(d, "BIT") || Contains(d, "BOOL")) def.DataType = ftBoolean;
  else if (Contains(d, "MONEY") || Contains(d, "DEC") || Contains(d, "NUMERIC") || Contains(d, "CURR")) def.DataType = ftCurrency;
  else if (Contains(d, "REAL") || Contains(d, "FLOA") || Contains(d, "DOUB")) def.DataType = ftFloat;
  else if (Contains(d, "DATE") || Contains(d, "TIME")) def.DataType = ftDateTime;
  else if (Contains(d, "CHAR")) {
    def.DataType = ftString;
    const size_t open = d.find('(');
    if (open != std::string::npos) def.Size = std::atoi(d.c_str() + open + 1);
  } else if (Contains(d, "TEXT") || Contains(d, "CLOB")) def.DataType = ftMemo;
  else if (Contains(d, "BLOB")) def.DataType = ftBlob;
  else def.DataType = ftString;
  return def;
}

TSqlValueKind SqlValueKindOf(TFieldType type) {
  switch (type) {
    case ftLargeint:
    case ftInteger:
    case ftSmallint:
    case ftWord:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd:
    case ftFloat: return TSqlValueKind::Number;
    case ftBoolean: return TSqlValueKind::Boolean;
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp: return TSqlValueKind::DateTime;
    default: return IsStringFieldType(type) ? TSqlValueKind::Text : TSqlValueKind::Unknown;
  }
}

TSQLiteDBAccess::TSQLiteDBAccess(const std::string& fileName, const std::string& schemaFolder)
    : connection_(fileName), sequences_(connection_) {
  // The audit procedures register the functions the schema's guards call, before any script runs.
  audit_ = std::make_unique<TStockAudit>(*this);
  TSchemaMigrator(schemaFolder.empty() ? TSchemaMigrator::DefaultSchemaFolder() : schemaFolder).Migrate(connection_);
  LoadCatalog();
  dialect_.SetColumnKinds([this](std::string_view name) {
    auto found = columnKinds_.find(Upper(std::string(name)));
    return found == columnKinds_.end() ? TSqlValueKind::Unknown : found->second;
  });
  RegisterShopFunctions(dialect_);
  RegisterShopProcedures(*this);
}

TSQLiteDBAccess::~TSQLiteDBAccess() = default;

void TSQLiteDBAccess::LoadCatalog() {
  tables_.clear();
  viewNames_.clear();
  columnsByName_.clear();
  columnKinds_.clear();
  auto objects = connection_.PrepareOnce(
      "SELECT name, type FROM sqlite_master WHERE type IN ('table', 'view') AND name NOT LIKE 'sqlite_%' "
      "ORDER BY type, name");
  std::vector<std::pair<std::string, std::string>> names;
  while (objects->Step()) names.emplace_back(objects->Text(0), objects->Text(1));
  for (const auto& [name, type] : names) {
    auto info =
        connection_.PrepareOnce("SELECT name, type, pk FROM pragma_table_info(" + QuoteSqlString(name) + ")");
    auto& columns = tables_[Upper(name)];
    int keyColumns = 0;
    while (info->Step()) {
      Column column{info->Text(0), FieldDefForDeclaredType(info->Text(0), info->Text(1))};
      if (info->Int64(2) > 0) {
        ++keyColumns;
        column.OwnKey = type == "table" && Upper(info->Text(1)) == "INTEGER";
      }
      columnsByName_.emplace(Upper(column.Name), column.Def);
      AddColumnKind(Upper(column.Name), column.Def.DataType);
      columns.push_back(std::move(column));
    }
    // Only a single-column INTEGER PRIMARY KEY is the row's own number.
    if (keyColumns != 1)
      for (auto& column : columns) column.OwnKey = false;
    if (type == "view") viewNames_[Upper(name)] = name;
  }
}

// A name declared with different kinds in different tables is left Unknown: its comparisons are not
// retyped. A view's computed column (no declared type) does not count.
void TSQLiteDBAccess::AddColumnKind(const std::string& upperName, TFieldType type) {
  if (type == ftUnknown) return;
  const TSqlValueKind kind = SqlValueKindOf(type);
  auto [found, added] = columnKinds_.emplace(upperName, kind);
  if (!added && found->second != kind) found->second = TSqlValueKind::Unknown;
}

const std::vector<TSQLiteDBAccess::Column>& TSQLiteDBAccess::TableColumns(const std::string& table) const {
  static const std::vector<Column> none;
  auto found = tables_.find(Upper(table));
  return found == tables_.end() ? none : found->second;
}

TFieldDef TSQLiteDBAccess::FieldDefFor(const std::string& name, const std::string& declared) const {
  if (!declared.empty()) return FieldDefForDeclaredType(name, declared);
  auto found = columnsByName_.find(Upper(name));
  if (found == columnsByName_.end()) return TFieldDef{name, ftUnknown, 0, false};
  TFieldDef def = found->second;
  def.Name = name;
  return def;
}

TDataPacket TSQLiteDBAccess::Fetch(TSQLiteStatement& statement) {
  TDataPacket packet;
  const int columns = statement.ColumnCount();
  std::map<std::string, int> seen;
  for (int c = 0; c < columns; ++c) {
    std::string name = statement.ColumnName(c);
    const int count = seen[Upper(name)]++;
    if (count > 0) name += "_" + std::to_string(count);
    packet.Fields.push_back(FieldDefFor(name, statement.ColumnDeclaredType(c)));
    packet.Fields.back().Required = false;
  }
  while (statement.Step()) {
    TRowValues row;
    row.reserve(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c) row.push_back(RawValue(statement, c));
    packet.Rows.push_back(std::move(row));
  }
  for (size_t c = 0; c < packet.Fields.size(); ++c) {
    auto& def = packet.Fields[c];
    if (def.DataType == ftUnknown) def.DataType = TypeOfValues(packet.Rows, c);
    for (auto& row : packet.Rows) row[c] = Typed(row[c], def.DataType);
  }
  return packet;
}

TDataPacket TSQLiteDBAccess::RunAdapted(const TAdaptedStatement& statement) {
  if (statement.IsProcedureCall) {
    auto found = procedures_.find(statement.Procedure);
    if (found == procedures_.end()) throw EDatabaseError("存储过程[" + statement.Procedure + "]不存在");
    return found->second(*this, statement.Arguments);
  }
  auto prepared = connection_.PrepareOnce(statement.Sql);
  return Fetch(*prepared);
}

TDataPacket TSQLiteDBAccess::Query(const std::string& sql) { return RunAdapted(dialect_.AdaptOne(sql)); }

TDataPacket TSQLiteDBAccess::QueryNative(const std::string& sql, const std::vector<Variant>& parameters) {
  auto statement = connection_.Prepare(sql);
  for (size_t i = 0; i < parameters.size(); ++i) statement->Bind(static_cast<int>(i), parameters[i]);
  return Fetch(*statement);
}

void TSQLiteDBAccess::RegisterProcedure(const std::string& name, Procedure procedure) {
  procedures_[Upper(name)] = std::move(procedure);
}

// --- reads ----------------------------------------------------------------------------------------------

void TSQLiteDBAccess::OpenDataSet(TDataSet& dataSet, const std::string& sql, bool) {
  ++calls_;
  TDataPacket packet = Query(sql);
  dataSet.LoadData(std::move(packet.Fields), std::move(packet.Rows));
}

std::unique_ptr<TClientDataSet> TSQLiteDBAccess::OpenSQL(const std::string& sql, bool) {
  ++calls_;
  TDataPacket packet = Query(sql);
  auto dataSet = std::make_unique<TClientDataSet>();
  dataSet->LoadData(std::move(packet.Fields), std::move(packet.Rows));
  return dataSet;
}

void TSQLiteDBAccess::OpenDataSets(const std::vector<TDataSet*>& dataSets, const std::vector<std::string>& sqls) {
  ++calls_;
  if (dataSets.size() != sqls.size()) throw EDatabaseError("数据集个数与查询语句个数不一致");
  // Every query runs before any dataset changes, so a failing one leaves them all as they were.
  std::vector<TDataPacket> packets;
  for (const auto& sql : sqls) packets.push_back(Query(sql));
  for (size_t i = 0; i < dataSets.size(); ++i)
    dataSets[i]->LoadData(std::move(packets[i].Fields), std::move(packets[i].Rows));
}

Variant TSQLiteDBAccess::GetFieldValue(const std::string& table, const std::string& field, const std::string& condition) {
  ++calls_;
  std::string sql = "SELECT " + field + " FROM " + PlainTableName(table);
  if (condition.find_first_not_of(" \t\r\n") != std::string::npos) sql += " WHERE " + condition;
  TDataPacket packet = Query(sql);
  if (packet.Rows.empty() || packet.Rows[0].empty()) return Variant::Null();
  return packet.Rows[0][0];
}

bool TSQLiteDBAccess::NameExists(const std::string& table, const std::string& id, const std::string& name) {
  ++calls_;
  const std::string plain = PlainTableName(table);
  int64_t key = 0;
  if (!id.empty()) key = Variant(id).AsInt64();
  // Names are told apart as the user reads them: without surrounding blanks and without ASCII case. The
  // expression is the one the master tables index their names by (schema version 3).
  auto statement = connection_.Prepare("SELECT 1 FROM " + plain +
                                       " WHERE UPPER(TRIM(F_NAME, char(32, 9, 10, 13))) = ?1 AND F_ID <> ?2 LIMIT 1");
  statement->BindText(0, UpperCase(Trim(name))).BindInt64(1, key);
  return statement->Step();
}

void TSQLiteDBAccess::RefreshRecord(TClientDataSet& dataSet, const std::string& sql) {
  ++calls_;
  TDataPacket packet = Query(sql);
  if (packet.Rows.empty()) throw EDatabaseError("记录已不存在, 无法刷新");
  if (dataSet.IsEmpty()) throw EDatabaseError("没有当前记录, 无法刷新");
  TRowValues values;
  for (int i = 0; i < dataSet.FieldCount(); ++i) values.push_back(dataSet.Fields(i).Value());
  const auto& defs = dataSet.FieldDefs();
  for (size_t c = 0; c < packet.Fields.size(); ++c) {
    const int index = defs.IndexOf(packet.Fields[c].Name);
    if (index >= 0 && static_cast<size_t>(index) < values.size()) values[static_cast<size_t>(index)] = packet.Rows[0][c];
  }
  dataSet.ReplaceCurrentRecord(values);
}

// --- writes ---------------------------------------------------------------------------------------------

void TSQLiteDBAccess::ExecSQL(const std::string& sql, bool) {
  ++calls_;
  const auto statements = dialect_.Adapt(sql);
  TSQLiteTransaction transaction(connection_);
  for (const auto& statement : statements) {
    if (statement.IsProcedureCall) {
      RunAdapted(statement);
      continue;
    }
    auto prepared = connection_.PrepareOnce(statement.Sql);
    RunWrite(connection_, *prepared);
  }
  transaction.Commit();
  if (std::any_of(statements.begin(), statements.end(), [](const TAdaptedStatement& s) {
        const auto first = s.Sql.find_first_not_of(" \t\r\n(");
        if (first == std::string::npos) return false;
        const std::string word = Upper(s.Sql.substr(first, 6));
        return word == "CREATE" || word.rfind("DROP", 0) == 0 || word.rfind("ALTER", 0) == 0;
      })) {
    connection_.ClearStatementCache();
    LoadCatalog();
  }
}

int TSQLiteDBAccess::WriteDelta(TClientDataSet& dataSet, const std::string& tableName) {
  const std::string table = PlainTableName(tableName);
  if (viewNames_.count(Upper(table))) throw EDatabaseError("[" + table + "]是视图, 不能写入");
  const auto& columns = TableColumns(table);
  if (columns.empty()) throw EDatabaseError("表[" + table + "]不存在");
  const auto& defs = dataSet.FieldDefs().Items();
  // Dataset field position -> column name, for the fields the table has.
  std::vector<std::pair<size_t, std::string>> mapped;
  size_t idField = defs.size();
  const bool ownKey = std::any_of(columns.begin(), columns.end(),
                                  [](const Column& c) { return c.OwnKey && Upper(c.Name) == "F_ID"; });
  for (size_t f = 0; f < defs.size(); ++f) {
    for (const auto& column : columns) {
      if (Upper(column.Name) != Upper(defs[f].Name)) continue;
      mapped.emplace_back(f, column.Name);
      if (Upper(column.Name) == "F_ID") idField = f;
      break;
    }
  }
  const auto delta = dataSet.GetDelta();
  if (delta.empty()) return 0;
  // Updates and deletes find their row by F_ID; inserts need one unless the table numbers its own rows.
  const bool keyNeeded = !ownKey || std::any_of(delta.begin(), delta.end(),
                                                [](const TDeltaRecord& c) { return c.Status != usInserted; });
  if (idField == defs.size() && keyNeeded)
    throw EDatabaseError("数据集没有F_ID字段, 不能写入表[" + table + "]");
  int written = 0;
  for (const auto& change : delta) {
    if (change.Status == usInserted) {
      std::string names, marks;
      std::vector<Variant> values;
      for (const auto& [f, name] : mapped) {
        if (f >= change.NewValues.size() || change.NewValues[f].IsNullOrEmpty()) continue;
        names += (names.empty() ? "" : ", ") + name;
        marks += (marks.empty() ? "?" : ", ?");
        values.push_back(change.NewValues[f]);
      }
      if (names.empty()) throw EDatabaseError("新增的记录没有任何值, 不能写入表[" + table + "]");
      auto insert = connection_.Prepare("INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")");
      for (size_t i = 0; i < values.size(); ++i) insert->Bind(static_cast<int>(i), values[i]);
      written += RunWrite(connection_, *insert);
    } else if (change.Status == usModified) {
      std::string sets;
      std::vector<Variant> values;
      for (const auto& [f, name] : mapped) {
        const Variant& before = f < change.OldValues.size() ? change.OldValues[f] : Variant::Null();
        const Variant& after = f < change.NewValues.size() ? change.NewValues[f] : Variant::Null();
        if (before.IsNullOrEmpty() && after.IsNullOrEmpty()) continue;
        if (before.Type() == after.Type() && before == after) continue;
        sets += (sets.empty() ? "" : ", ") + name + " = ?";
        values.push_back(after);
      }
      if (sets.empty()) continue;
      const Variant& key = change.OldValues[idField];
      auto update = connection_.Prepare("UPDATE " + table + " SET " + sets + " WHERE F_ID = ?");
      for (size_t i = 0; i < values.size(); ++i) update->Bind(static_cast<int>(i), values[i]);
      update->Bind(static_cast<int>(values.size()), key);
      if (RunWrite(connection_, *update) == 0)
        throw EDatabaseError("表[" + table + "]中F_ID = " + key.ToString() + "的记录已不存在(可能已被他人删除), 修改未保存");
      ++written;
    } else if (change.Status == usDeleted) {
      auto remove = connection_.Prepare("DELETE FROM " + table + " WHERE F_ID = ?");
      remove->Bind(0, change.OldValues[idField]);
      RunWrite(connection_, *remove);  // a row someone else already deleted is gone as wished
      ++written;
    }
  }
  return written;
}

int TSQLiteDBAccess::ApplyUpdates(TClientDataSet& dataSet, const std::string& tableName, bool) {
  ++calls_;
  // A record still in edit or insert is posted first (its BeforePost and checks run), so what the screen
  // shows is what is written; a post that fails raises before anything is sent.
  dataSet.CheckBrowseMode();
  TSQLiteTransaction transaction(connection_);
  const int written = WriteDelta(dataSet, tableName);
  transaction.Commit();
  dataSet.MergeChangeLog();
  return written;
}

void TSQLiteDBAccess::ApplyUpdatesList(const std::vector<TClientDataSet*>& dataSets,
                                       const std::vector<std::string>& tableNames) {
  ++calls_;
  if (dataSets.size() != tableNames.size()) throw EDatabaseError("数据集个数与表名个数不一致");
  for (auto* dataSet : dataSets) dataSet->CheckBrowseMode();
  {
    TSQLiteTransaction transaction(connection_);
    for (size_t i = 0; i < dataSets.size(); ++i) WriteDelta(*dataSets[i], tableNames[i]);
    transaction.Commit();
  }
  for (auto* dataSet : dataSets) dataSet->MergeChangeLog();
}

// --- identifiers and codes ------------------------------------------------------------------------------

std::string TSQLiteDBAccess::GetNewCode(const std::string& prefix, bool) {
  ++calls_;
  return sequences_.NewCode(prefix, Date());
}

namespace {
std::unique_ptr<TClientDataSet> ValuesDataSet(int64_t first, int count) {
  std::vector<TRowValues> rows;
  rows.reserve(static_cast<size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) rows.push_back({Variant(static_cast<long long>(first + i))});
  auto dataSet = std::make_unique<TClientDataSet>();
  dataSet->LoadData({TFieldDef{"F_ID", ftLargeint, 0, false}}, std::move(rows));
  return dataSet;
}
}  // namespace

std::unique_ptr<TClientDataSet> TSQLiteDBAccess::GetNewIDs(const std::string& sequence, bool, int count) {
  ++calls_;
  const std::string name = sequence.empty() ? "ID" : Upper(sequence);
  return ValuesDataSet(count > 0 ? sequences_.Reserve(name, count) : 0, count);
}

std::unique_ptr<TClientDataSet> TSQLiteDBAccess::GetNewIDList(const std::string&, int count) {
  ++calls_;
  return ValuesDataSet(count > 0 ? sequences_.Reserve("ID", count) : 0, count);
}

std::string TSQLiteDBAccess::GetNewID(const std::string&) {
  ++calls_;
  return std::to_string(sequences_.NextID());
}

// --- audits ---------------------------------------------------------------------------------------------

bool TSQLiteDBAccess::AuditBill(int operation, int billType, const std::string& auditCall, const std::string& billID) {
  ++calls_;
  int64_t id = 0;
  try {
    id = Variant(billID).AsInt64();
  } catch (const Exception&) {
    throw EDatabaseError("单据ID无效: " + billID);
  }
  audit_->Run(operation, billType, auditCall, id);
  return true;
}

// --- common utilities -----------------------------------------------------------------------------------

void TSQLiteDBAccess::CopyAppendRecord(TDataSet& dataSet, const FieldFilter& copyField) {
  std::vector<std::pair<int, Variant>> copied;
  for (int i = 0; i < dataSet.FieldCount(); ++i) {
    TField& field = dataSet.Fields(i);
    if (field.FieldKind != fkData || !copyField(field.FieldName())) continue;
    copied.emplace_back(i, field.Value());
  }
  dataSet.Append();
  for (const auto& [index, value] : copied) dataSet.Fields(index).SetValue(value);
}

void TSQLiteDBAccess::ForEachRecord(TDataSet& dataSet, const std::function<void(TDataSet&)>& callback) {
  dataSet.First();
  while (!dataSet.Eof()) {
    callback(dataSet);
    dataSet.Next();
  }
}

void TSQLiteDBAccess::CopyRecordFields(const TDataSet& source, TDataSet& destination, const FieldFilter& copyField) {
  for (int i = 0; i < source.FieldCount(); ++i) {
    const TField& field = source.Fields(i);
    if (!copyField(field.FieldName())) continue;
    if (TField* target = destination.FindField(field.FieldName())) target->SetValue(field.Value());
  }
}

}  // namespace jxc
