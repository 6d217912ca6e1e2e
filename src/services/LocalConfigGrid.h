#pragma once
// The host's grid-layout service over the local configuration database. A layout is stored under its
// name in TB_SYS_GRID_CONFIG: for each column, by its bound field (or, unbound, its caption), the caption,
// visibility, width and position. Loading applies a stored layout to a view: columns it names take their
// stored caption, visibility, width and order; columns it does not name keep theirs and follow; names the
// view lacks are skipped. Nothing is stored under a name until the user arranges the columns.
//
// Arranging is the user's work in a dialog; here the arranger callback plays the user: it changes the view
// and returns true to keep the layout. With no arranger the dialog is cancelled.
//
// Exporting asks for a file through the save dialog (".xls", ".xlsx", ".xml", ".txt", ".html") and writes
// the grid's active view; a cancelled dialog writes nothing.

#include <functional>
#include <memory>
#include <string>

#include "foundation/HostServicesIntf.h"

namespace jxc {

class TSQLiteLocalDB;

class TLocalConfigGrid : public IConfigGrid {
 public:
  using Arranger = std::function<bool(TGridTableView& view)>;

  // Creates the layout table when missing. Raises EArgumentError when local is null.
  explicit TLocalConfigGrid(std::shared_ptr<TSQLiteLocalDB> local, std::shared_ptr<IExcelExport> excel = nullptr);

  void LoadGridConfig(TGridTableView& view, const std::string& name) override;
  bool ShowGridConfig(TGridTableView& view, const std::string& name) override;
  void ExportGrid(TGrid& grid, const std::string& name) override;

  void SetArranger(Arranger arranger) { arranger_ = std::move(arranger); }
  // Stores the view's present layout under the name, replacing what was stored.
  void SaveGridConfig(const TGridTableView& view, const std::string& name);
  bool HasGridConfig(const std::string& name) const;

 private:
  std::shared_ptr<TSQLiteLocalDB> local_;
  std::shared_ptr<IExcelExport> excel_;
  Arranger arranger_;
};

}  // namespace jxc
