#pragma once
// The host's other services, each reached through SysService by its identifier.

#include <functional>
#include <memory>
#include <string>

#include "platform/DataSet.h"

namespace jxc {

class TComponent;
class TFrmBase;
class TGrid;
class TGridTableView;

// Stored column layouts of grids.
class IConfigGrid {
 public:
  static constexpr const char* IID = "{1F6DD33F-FC71-4F3D-BA71-A72100105834}";
  virtual ~IConfigGrid() = default;
  // Applies the stored layout of that name to the view (columns, order, captions, widths); nothing when
  // none is stored.
  virtual void LoadGridConfig(TGridTableView& view, const std::string& name) = 0;
  // Lets the user arrange the columns and stores the layout; true when stored.
  virtual bool ShowGridConfig(TGridTableView& view, const std::string& name) = 0;
  // Exports the grid's active view under the layout name.
  virtual void ExportGrid(TGrid& grid, const std::string& name) = 0;
};

// Creates the application's screens by name.
class IFormFactory {
 public:
  static constexpr const char* IID = "{074BA876-C5DA-4689-BA11-48EB3CF22CF6}";
  virtual ~IFormFactory() = default;
  // The created screen, owned by the owner (or by the application when the owner is null); null when
  // no screen of that name exists.
  virtual TFrmBase* OpenWindow(TComponent* owner, const std::string& screenName) = 0;
};

class IMainForm {
 public:
  static constexpr const char* IID = "{C3DF922D-4AA5-4874-B0A3-72699DA671C8}";
  virtual ~IMainForm() = default;
  // Text of a status-bar panel (the screens use panel 5).
  virtual void SetStatusText(int panel, const std::string& text) = 0;
};

// The local configuration database (screen configuration, query designer configuration).
// Datasets come back owned by the caller; the owner argument names the screen that asks.
class ILocalDB {
 public:
  static constexpr const char* IID = "{7C702DB8-BF72-4385-A501-38F01656AECF}";
  virtual ~ILocalDB() = default;
  virtual std::unique_ptr<TClientDataSet> OpenDataSet(TComponent* owner, const std::string& sql) = 0;
  // Rows of the table matching the condition (written without WHERE; empty for all rows).
  virtual std::unique_ptr<TClientDataSet> OpenTable(TComponent* owner, const std::string& table,
                                                    const std::string& condition) = 0;
};

// Writes a grid to an ".xlsx" file.
class IExcelExport {
 public:
  static constexpr const char* IID = "{B54CF962-F4AA-45D5-8BEF-8B747128CA2D}";
  virtual ~IExcelExport() = default;
  // Writes the grid's active view (column captions as header, every row) to the file; raises on failure.
  virtual void ExportGrid(TGrid& grid, const std::string& fileName) = 0;
};

// Lets the user pick shops; the callback receives the chosen rows.
class IShopSelector {
 public:
  static constexpr const char* IID = "{B5B0C7C0-A829-45ED-AEF2-63AF199DF17A}";
  virtual ~IShopSelector() = default;
  using Callback = std::function<void(TDataSet& chosenShops)>;
  virtual void SelectShops(TComponent* owner, TDataSet* preset, const Callback& callback, bool multiSelect) = 0;
};

// Report design and printing of bills with templates of the print-template folder.
class IPrintSystem {
 public:
  static constexpr const char* IID = "{BD197A31-0FA7-4531-8A91-A221003059E2}";
  virtual ~IPrintSystem() = default;
  // templatePath: the screen's caption + "\" + the template file name.
  virtual void DesignReport(const std::string& templatePath, const std::string& billID, int billKind,
                            const std::string& fileName, int listIndex) = 0;
  virtual void PrintReport(const std::string& templatePath, const std::string& billID, int billKind,
                           const std::string& fileName, int listIndex) = 0;
};

}  // namespace jxc
