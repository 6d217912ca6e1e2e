#pragma once
// The host's ".xlsx" export service: the grid's active view, as the grid exporter flattens it, written
// with libxlsxwriter (see XlsxWriter.h).

#include "foundation/HostServicesIntf.h"

namespace jxc {

class TXlsxExcelExport : public IExcelExport {
 public:
  // Raises Exception "没有可导出的数据" when the grid shows no view; otherwise the writer's errors.
  void ExportGrid(TGrid& grid, const std::string& fileName) override;
};

}  // namespace jxc
