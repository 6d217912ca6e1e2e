#pragma once
// What a bill screen borrows from outside: the drop-down lists of its product, colour and configuration
// columns, and the bill query with which the user chooses bills to browse, registered with the host's
// service locator. Without column lists of the host's, the columns drop down the package's own search
// lists (editors/UnitLookupColumns.h); without a bill query, choosing bills chooses nothing.

#include <string>

namespace jxc {

class TComponent;
class TDataSet;
class TFrmBase;
class TGridColumn;
class TWinControl;

class IBillColumnLookups {
 public:
  static constexpr const char* IID = "{59874315-B268-4F2B-A3F0-DB6B2AA53280}";
  virtual ~IBillColumnLookups() = default;

  enum class TKind { Product, Color, Config };
  // The drop-down content of the column's editor, made or refreshed before each opening; null leaves the
  // column without one. The content writes the chosen row into the current detail row and closes the
  // column's editor (TGridTableView::InplaceEditor()).
  virtual TWinControl* InitPopup(TFrmBase& screen, TGridColumn& column, TKind kind) = 0;
};

class IBillQuery {
 public:
  static constexpr const char* IID = "{1C1A83EC-82B4-47D5-9FA4-9850676E4A14}";
  virtual ~IBillQuery() = default;

  // Lets the user choose bills of the screen named by the caption; the chosen bills (F_ID in each row) in
  // a dataset the query keeps (the caller copies what it needs), null when the user chose none.
  virtual TDataSet* GetBaseBillQuery(TComponent* owner, const std::string& caption) = 0;
};

}  // namespace jxc
