#include "platform/GridExport.h"

#include "platform/Grid.h"
#include "platform/SpreadsheetXmlWriter.h"
#include "platform/TextExport.h"

namespace jxc {

ExportKind ExportKindOf(const TGridColumn& column) {
  if (column.Properties.Kind == TGridEditorKind::Lookup || column.OnGetDisplayText) return ExportKind::Text;
  switch (column.DataType()) {
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftLargeint: case ftFloat:
      return ExportKind::Number;
    case ftCurrency: case ftBCD: case ftFMTBcd:
      return ExportKind::Currency;
    case ftDate:
      return ExportKind::Date;
    case ftDateTime: case ftTimeStamp:
      return ExportKind::DateTime;
    default:
      return ExportKind::Text;
  }
}

ExportTable ExportTableOfView(const TGridTableView& view) {
  std::vector<TGridColumn*> columns = view.VisibleColumns();
  std::vector<ExportColumn> exported;
  for (const TGridColumn* column : columns)
    exported.emplace_back(column->Caption, ExportKindOf(*column), column->Properties.DisplayFormat, column->Width);
  ExportTable table(std::move(exported));
  const TGridDataController& data = view.DataController();
  std::vector<int> rows = data.Rows();
  table.Reserve(rows.size());
  for (int record : rows) {
    std::vector<Variant> values;
    values.reserve(columns.size());
    for (size_t c = 0; c < columns.size(); ++c) {
      if (table.Columns()[c].Kind == ExportKind::Text) values.emplace_back(data.DisplayText(record, *columns[c]));
      else values.push_back(data.Value(record, *columns[c]));
    }
    table.AddRow(std::move(values));
  }
  return table;
}

void ExportGridToFile(TGridExportFormat format, const TGridTableView& view, const std::string& fileName,
                      const XlsPageSetup& page) {
  ExportTable table = ExportTableOfView(view);
  switch (format) {
    case TGridExportFormat::Xls: WriteXlsFile(table, fileName, page); break;
    case TGridExportFormat::Xml: WriteXmlFile(table, fileName); break;
    case TGridExportFormat::Text: WriteTextFile(table, fileName); break;
    case TGridExportFormat::Html: WriteHtmlFile(table, fileName); break;
  }
}

}  // namespace jxc
