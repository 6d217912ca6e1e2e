#pragma once
// The batch colour (or stock location) change of a bill: the detail summed into one line per product, all
// lines chosen at first; the user picks the new colour (location) on the lines that should change and
// confirms. Every detail row of a chosen line's product then takes the new value; for colours the row's
// colour name F_COLOR follows. A line without a new value changes nothing, so that confirming the dialog
// as it opened never erases a colour. Lines of rows without a product are not listed.
//
// What a caller may rely on: OK changes the detail's rows in one pass and leaves the detail's filter,
// cursor and controls as they were; when a row refuses its new value (its dataset raises), every row
// changed so far gets its old value back and the error is shown. A new value that is not in the list is
// refused before any row changes.

#include <string>

#include "foundation/UnitFrmBaseDlg.h"

namespace jxc {

class TDataSet;
class TDataSource;
class TGrid;
class TGridTableView;
class TkbmMemSQL;
class TLabel;

class TFrmBatchModifyColor : public TFrmBaseDlg {
 public:
  explicit TFrmBatchModifyColor(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TFrmBatchModifyColor"; }

  TGrid* cxGrid1;
  TGridTableView* tvResult;   // the lines, on dsResult
  TkbmMemSQL* qryResult;      // the summed detail, registered as "Detail"
  TDataSource* dsResult;
  TDataSource* dsList;        // the colours or the stock locations
  TLabel* lblStatus;          // "处理中..." while OK works

  // Sums the detail into the lines; fieldName is the detail's field to change, F_COLOR_ID (colours, with
  // the name in F_COLOR) or F_LOCATION_ID (stock locations). The detail must stay alive while the dialog
  // shows.
  void SetDetail(TDataSet& detail, const std::string& fieldName);
  const std::string& FieldName() const { return FFieldName; }

 protected:
  // Writes the chosen lines' new values into the detail, then closes; a refusal keeps the dialog open.
  void actOKExecute() override;

 private:
  bool Colours() const;
  // The list's name for a value; false when the list has no such entry.
  bool ListName(const Variant& id, std::string& name) const;

  TDataSet* FDetail = nullptr;
  std::string FFieldName;
  std::string FNameField;  // "F_COLOR" for colours, else ""
};

// Shows the colour dialog ("FrmBatchModifyColor" of the owner, made once) over the detail; fieldName is
// normally "F_COLOR_ID". Returns the modal result.
int GetBatchModifyColor(TComponent* owner, TDataSet& detail, const std::string& fieldName = "F_COLOR_ID");
// The same for stock locations ("FrmBatchModifyLocation"); fieldName is normally "F_LOCATION_ID".
int GetBatchModifyLocation(TComponent* owner, TDataSet& detail, const std::string& fieldName = "F_LOCATION_ID");

}  // namespace jxc
