#pragma once
// The grid exporter: a table view written to a file as the user sees it. The visible columns in their
// order with their captions, and every row of the view (filtered and sorted as shown, all groups
// expanded). Number, money and date columns keep their values and display formats; every other column
// (lookups and columns with their own display text included) is written as the text the grid shows.

#include <string>

#include "platform/ExportTable.h"
#include "platform/XlsWriter.h"

namespace jxc {

class TGridTableView;
class TGridColumn;

enum class TGridExportFormat { Xls, Xml, Text, Html };

// The kind a column is exported as, from its data type (the bound field's, or the unbound value type).
ExportKind ExportKindOf(const TGridColumn& column);
ExportTable ExportTableOfView(const TGridTableView& view);

// Writes the view in the format; page only applies to ".xls". Raises the writers' errors ("无法写入文件" +
// file name, "Excel97-2003文件最多256列"); a failed export leaves no file behind.
void ExportGridToFile(TGridExportFormat format, const TGridTableView& view, const std::string& fileName,
                      const XlsPageSetup& page = {});

}  // namespace jxc
