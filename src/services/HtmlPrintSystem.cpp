#include "services/HtmlPrintSystem.h"

#include <filesystem>
#include <optional>
#include <utility>

#include "foundation/DBIntf.h"
#include "foundation/HostServicesIntf.h"
#include "foundation/UnitFunctionConfig.h"
#include "platform/DataSet.h"
#include "platform/Exceptions.h"
#include "platform/FileOutput.h"
#include "platform/Format.h"
#include "platform/Text.h"
#include "platform/ExportOutput.h"

namespace jxc {

namespace {

constexpr const char* kMoneyFormat = "#,##0.00";

struct THeaderItem {
  const char* Field;
  const char* Label;
};
constexpr THeaderItem kHeaderItems[] = {
    {"F_CODE", "单据号"},      {"F_BILL_DATE", "开单日期"}, {"F_SHOP_NAME", "店铺"},    {"F_CUSTOMER", "往来单位"},
    {"F_EMPLOYEE", "经手人"},  {"F_STATUS_TEXT", "状态"},   {"F_ADD_USER", "制单人"},  {"F_AUDITOR", "审核人"},
    {"F_AUDIT_DATE", "审核日期"}, {"F_REMARK", "备注"},
};

struct TColumn {
  const char* Field;
  const char* Label;
  bool Money;
};
constexpr TColumn kColumns[] = {
    {"F_PRODUCT_NAME", "商品", false}, {"F_COLOR_NAME", "颜色", false}, {"F_MODE_NO", "串码", false},
    {"F_UNIT", "单位", false},         {"F_QTY", "数量", false},        {"F_PRICE", "单价", true},
    {"F_MONEY", "金额", true},          {"F_REMARK", "备注", false},
};

std::string HtmlEscaped(std::string_view text) {
  std::string out;
  AppendMarkupEscaped(out, text, false);
  return out;
}

std::string CellText(const TField& field, bool money) {
  if (field.IsNull()) return "";
  if (money) return FormatCurr(kMoneyFormat, field.AsCurrency());
  if (IsDateTimeFieldType(field.DataType())) return FormatDateTime("yyyy-mm-dd", field.AsDateTime());
  return field.AsString();
}

// The template's name without its extension ("销售单.rmf" -> "销售单").
std::string TemplateTitle(const std::string& fileName) {
  const size_t dot = fileName.rfind('.');
  return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

// A file name made of the parts, without characters a folder cannot hold.
std::string PageName(const std::vector<std::string>& parts) {
  std::string name;
  for (const std::string& part : parts) {
    if (!name.empty()) name += "_";
    for (char c : part) name += (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"') ? '-' : c;
  }
  return name + ".html";
}

std::string PageStart(const std::string& title) {
  return "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>" + HtmlEscaped(title) +
         "</title>\n<style>body{font-family:sans-serif;margin:2em}table{border-collapse:collapse}"
         "td,th{border:1px solid #888;padding:2px 8px}td.n{text-align:right}th{background:#eee}"
         ".head td{border:none}</style></head><body>\n<h1>" +
         HtmlEscaped(title) + "</h1>\n";
}

}  // namespace

struct THtmlPrintSystem::TScreenTables {
  std::string Caption;
  std::string Header;  // the view the bill's header is read from
  std::string Detail;  // the view of its rows ("" when the screen has none)
};

THtmlPrintSystem::THtmlPrintSystem(std::shared_ptr<IDBAccess> db, std::shared_ptr<ILocalDB> local, std::string folder)
    : db_(std::move(db)), local_(std::move(local)), folder_(std::move(folder)) {
  if (!db_ || !local_) throw EArgumentError("THtmlPrintSystem: no database service");
}

THtmlPrintSystem::TScreenTables THtmlPrintSystem::ScreenTables(const std::string& templatePath) {
  const size_t separator = templatePath.find('\\');
  TScreenTables tables;
  tables.Caption = separator == std::string::npos ? templatePath : templatePath.substr(0, separator);
  const TFunctionConfig config = ReadFunctionConfig(*local_, nullptr, tables.Caption);
  if (!config.Found || config.Params.F_Data.empty()) throw Exception("没有找到[" + tables.Caption + "]的功能配置, 无法打印");
  tables.Header = config.Params.F_Data;
  tables.Detail = config.Params.F_DETAIL_CONFIG.F_VIEW_TABLE;
  return tables;
}

std::string THtmlPrintSystem::WritePage(const std::string& name, const std::string& html) {
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  const std::string path = (std::filesystem::path(folder_) / name).string();
  FileOutput out(path);
  out.Write(html);
  out.Commit();
  files_.push_back(path);
  return path;
}

void THtmlPrintSystem::PrintReport(const std::string& templatePath, const std::string& billID, int billKind,
                                   const std::string& fileName, int listIndex) {
  const std::optional<int64_t> id = TryStrToInt64(Trim(billID));
  if (!id) throw Exception("单据ID无效: " + billID);
  const TScreenTables tables = ScreenTables(templatePath);
  std::unique_ptr<TClientDataSet> header = db_->OpenSQL(
      "SELECT h.*, s.F_NAME AS F_SHOP_NAME, CASE h.F_STATUS WHEN 2 THEN '已审核' ELSE '未审核' END AS F_STATUS_TEXT "
      "FROM " + tables.Header + " h WITH(nolock) LEFT JOIN TB_SHOP s WITH(nolock) ON s.F_ID = h.F_SHOP_ID WHERE h.F_ID = " +
      IntToStr(*id));
  if (header->IsEmpty()) throw Exception("单据[" + billID + "]不存在, 无法打印");
  const std::string code = header->FieldByName("F_CODE").AsString();
  const std::string title = tables.Caption + " - " + TemplateTitle(fileName);

  std::string html = PageStart(title);
  html += "<table class=\"head\">\n";
  for (const THeaderItem& item : kHeaderItems)
    if (const TField* field = header->FindField(item.Field))
      html += "<tr><td>" + std::string(item.Label) + "：</td><td>" + HtmlEscaped(CellText(*field, false)) + "</td></tr>\n";
  html += "</table>\n";

  if (!tables.Detail.empty()) {
    std::unique_ptr<TClientDataSet> rows = db_->OpenSQL(
        "SELECT d.*, p.F_NAME AS F_PRODUCT_NAME, c.F_NAME AS F_COLOR_NAME FROM " + tables.Detail +
        " d WITH(nolock) LEFT JOIN TB_PRODUCT_ATTRIBUTE p WITH(nolock) ON p.F_ID = d.F_PRODUCT_ID "
        "LEFT JOIN TB_PRODUCT_COLOR c WITH(nolock) ON c.F_ID = d.F_COLOR_ID WHERE d.F_MID = " + IntToStr(*id) +
        " ORDER BY d.F_ID");
    std::vector<const TColumn*> columns;
    for (const TColumn& column : kColumns)
      if (rows->FindField(column.Field)) columns.push_back(&column);
    html += "<table>\n<tr><th>行</th>";
    for (const TColumn* column : columns) html += "<th>" + std::string(column->Label) + "</th>";
    html += "</tr>\n";
    int64_t qty = 0;
    Currency money;
    int number = 0;
    for (rows->First(); !rows->Eof(); rows->Next()) {
      html += "<tr><td class=\"n\">" + IntToStr(++number) + "</td>";
      for (const TColumn* column : columns) {
        const TField& field = rows->FieldByName(column->Field);
        const bool numeric = column->Money || SameText(column->Field, "F_QTY");
        html += std::string(numeric ? "<td class=\"n\">" : "<td>") + HtmlEscaped(CellText(field, column->Money)) + "</td>";
      }
      html += "</tr>\n";
      if (const TField* q = rows->FindField("F_QTY")) qty += q->AsLargeInt();
      if (const TField* m = rows->FindField("F_MONEY")) money += m->AsCurrency();
    }
    html += "</table>\n<p>合计: " + IntToStr(number) + " 行, 数量 " + IntToStr(qty) + ", 金额 " +
            FormatCurr(kMoneyFormat, money) + "</p>\n";
  }
  html += "<p class=\"foot\">模板: " + HtmlEscaped(templatePath) + "</p>\n</body></html>\n";
  WritePage(PageName({tables.Caption, code, TemplateTitle(fileName)}), html);
  TRecordingPrintSystem::PrintReport(templatePath, billID, billKind, fileName, listIndex);
}

void THtmlPrintSystem::DesignReport(const std::string& templatePath, const std::string& billID, int billKind,
                                    const std::string& fileName, int listIndex) {
  const TScreenTables tables = ScreenTables(templatePath);
  std::string html = PageStart(tables.Caption + " - " + TemplateTitle(fileName) + " (报表设计)");
  auto fields = [&](const std::string& title, const std::string& table) {
    if (table.empty()) return;
    std::unique_ptr<TClientDataSet> empty = db_->OpenSQL("SELECT * FROM " + table + " WITH(nolock) WHERE 1 = 0");
    html += "<h2>" + HtmlEscaped(title) + " (" + HtmlEscaped(table) + ")</h2>\n<ul>\n";
    for (const std::string& name : empty->FieldNames()) html += "<li>" + HtmlEscaped(name) + "</li>\n";
    html += "</ul>\n";
  };
  fields("单据头", tables.Header);
  fields("明细", tables.Detail);
  html += "</body></html>\n";
  WritePage(PageName({tables.Caption, TemplateTitle(fileName), "设计"}), html);
  TRecordingPrintSystem::DesignReport(templatePath, billID, billKind, fileName, listIndex);
}

}  // namespace jxc
