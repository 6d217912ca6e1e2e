#include "services/XlsxExcelExport.h"

#include "services/XlsxWriter.h"
#include "platform/Exceptions.h"
#include "platform/Grid.h"
#include "platform/GridExport.h"

namespace jxc {

void TXlsxExcelExport::ExportGrid(TGrid& grid, const std::string& fileName) {
  TGridTableView* view = grid.ActiveView();
  if (!view) throw Exception("没有可导出的数据");
  WriteXlsxFile(ExportTableOfView(*view), fileName);
}

}  // namespace jxc
