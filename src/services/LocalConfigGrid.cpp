#include "services/LocalConfigGrid.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <vector>

#include "services/SQLiteLocalDB.h"
#include "platform/Exceptions.h"
#include "platform/Field.h"
#include "platform/Grid.h"
#include "platform/GridExport.h"
#include "platform/SystemDialogs.h"
#include "platform/Text.h"

namespace jxc {

namespace {

const char* const kLayoutTable = "TB_SYS_GRID_CONFIG";

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

// A column is known by its field; an unbound one by its caption.
std::string ColumnKey(const TGridColumn& column) {
  return column.FieldName().empty() ? "caption:" + column.Caption : column.FieldName();
}

TGridColumn* FindByKey(const TGridTableView& view, const std::string& key) {
  for (int i = 0; i < view.ColumnCount(); ++i)
    if (ColumnKey(*view.Columns(i)) == key) return view.Columns(i);
  return nullptr;
}

std::string LowerExtension(const std::string& fileName) {
  const auto dot = fileName.find_last_of('.');
  if (dot == std::string::npos) return "";
  std::string ext = fileName.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

}  // namespace

TLocalConfigGrid::TLocalConfigGrid(std::shared_ptr<TSQLiteLocalDB> local, std::shared_ptr<IExcelExport> excel)
    : local_(std::move(local)), excel_(std::move(excel)) {
  if (!local_) throw EArgumentError("grid layouts need the local configuration database");
  local_->ExecSQL(std::string("CREATE TABLE IF NOT EXISTS ") + kLayoutTable +
                  " (F_NAME VARCHAR(200) NOT NULL PRIMARY KEY, F_LAYOUT TEXT NOT NULL)");
}

bool TLocalConfigGrid::HasGridConfig(const std::string& name) const {
  return local_->OpenTable(nullptr, kLayoutTable, "F_NAME = " + Quoted(name))->RecordCount() > 0;
}

void TLocalConfigGrid::SaveGridConfig(const TGridTableView& view, const std::string& name) {
  nlohmann::json columns = nlohmann::json::array();
  for (int i = 0; i < view.ColumnCount(); ++i) {
    const TGridColumn& column = *view.Columns(i);
    columns.push_back({{"key", ColumnKey(column)},
                       {"caption", column.Caption},
                       {"visible", column.Visible},
                       {"width", column.Width}});
  }
  const std::string layout = columns.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  local_->ExecSQL(std::string("DELETE FROM ") + kLayoutTable + " WHERE F_NAME = " + Quoted(name) + ";" +
                  "INSERT INTO " + kLayoutTable + " (F_NAME, F_LAYOUT) VALUES (" + Quoted(name) + ", " +
                  Quoted(layout) + ")");
}

void TLocalConfigGrid::LoadGridConfig(TGridTableView& view, const std::string& name) {
  if (name.empty()) return;
  std::unique_ptr<TClientDataSet> row = local_->OpenTable(nullptr, kLayoutTable, "F_NAME = " + Quoted(name));
  if (row->RecordCount() == 0) return;
  const nlohmann::json columns = nlohmann::json::parse(row->FieldByName("F_LAYOUT").AsString(), nullptr, false);
  // A damaged layout is ignored rather than half applied: the view keeps its design-time columns.
  if (!columns.is_array()) return;
  struct Placed {
    TGridColumn* Column;
    std::string Caption;
    bool Visible;
    int Width;
  };
  std::vector<Placed> placed;
  for (const auto& entry : columns) {
    if (!entry.is_object() || !entry.contains("key") || !entry["key"].is_string()) return;
    TGridColumn* column = FindByKey(view, entry["key"].get<std::string>());
    if (!column) continue;
    placed.push_back({column, entry.value("caption", column->Caption), entry.value("visible", column->Visible),
                      entry.value("width", column->Width)});
  }
  int index = 0;
  for (const Placed& p : placed) {
    p.Column->Caption = p.Caption;
    p.Column->Visible = p.Visible;
    p.Column->Width = std::max(0, p.Width);
    p.Column->SetIndex(index++);
  }
}

bool TLocalConfigGrid::ShowGridConfig(TGridTableView& view, const std::string& name) {
  if (!arranger_ || !arranger_(view)) return false;
  SaveGridConfig(view, name);
  return true;
}

void TLocalConfigGrid::ExportGrid(TGrid& grid, const std::string& name) {
  TGridTableView* view = grid.ActiveView();
  if (!view) return;
  TSaveDialog dialog;
  dialog.Filter =
      "Excel 97-2003 (*.xls)|*.xls|Excel (*.xlsx)|*.xlsx|XML (*.xml)|*.xml|文本文件 (*.txt)|*.txt|网页 (*.html)|*.html";
  dialog.FileName = name;
  if (!dialog.Execute()) return;
  static const char* const kExtensions[] = {".xls", ".xlsx", ".xml", ".txt", ".html"};
  std::string fileName = dialog.FileName;
  std::string ext = LowerExtension(fileName);
  if (ext.empty() && dialog.FilterIndex >= 1 && dialog.FilterIndex <= 5) {
    ext = kExtensions[dialog.FilterIndex - 1];
    fileName += ext;
  }
  if (ext == ".xlsx") {
    if (!excel_) throw EInvalidOperation("没有Excel导出服务");
    excel_->ExportGrid(grid, fileName);
  } else if (ext == ".xml") {
    ExportGridToFile(TGridExportFormat::Xml, *view, fileName);
  } else if (ext == ".txt") {
    ExportGridToFile(TGridExportFormat::Text, *view, fileName);
  } else if (ext == ".html" || ext == ".htm") {
    ExportGridToFile(TGridExportFormat::Html, *view, fileName);
  } else {
    ExportGridToFile(TGridExportFormat::Xls, *view, fileName);
  }
}

}  // namespace jxc
