#pragma once
// The batch price edit of a bill: the bill's detail summed into one line per product, configuration and
// colour (quantity summed, price averaged to four decimals), on which the user types the new price or the
// difference to the old one. The difference is always new price minus old price, whichever column was
// typed. A line is chosen once it holds a new price (a new price of 0 leaves it unchosen); OK hands every
// chosen line to the bill, also lines the product filter hides at the moment. Lines of rows without a
// product are not listed: there is nothing to price.
//
// Three modes: prices; prices with the employee price beside them (the bill receives both); employee
// prices alone (the old price column then averages the rows' employee prices).
//
// What a caller may rely on: a new price is a number from 0 to 100000 (both included); anything outside is
// refused with "单价输入有误" and the line keeps what it held. The bill's detail is read, never changed.

#include <functional>
#include <optional>

#include "foundation/UnitFrmBaseDlg.h"
#include "platform/Currency.h"
#include "platform/Variant.h"

namespace jxc {

class TDataSet;
class TDataSource;
class TEdit;
class TField;
class TGrid;
class TGridTableView;
class TkbmMemSQL;

enum class TBatchPriceMode {
  Price,              // new prices
  PriceAndEmployee,   // new prices, and the employee price of each line beside them
  EmployeePrice,      // new employee prices
};

// One chosen line as the bill receives it.
struct TBatchPrice {
  Variant ProductID, ConfigID, ColorID;
  Currency NewPrice;                       // the new price (the new employee price in that mode)
  std::optional<Currency> EmployeePrice;   // PriceAndEmployee only
};
using TBatchPriceCallback = std::function<void(const TBatchPrice& line)>;

class TFrmBatchEditPrice : public TFrmBaseDlg {
 public:
  explicit TFrmBatchEditPrice(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TFrmBatchEditPrice"; }

  TEdit* edtProduct;          // the product filter: lines whose product name contains the text
  TGrid* cxGrid1;
  TGridTableView* tvResult;   // the lines, on dsResult
  TkbmMemSQL* qryResult;      // the summed detail, registered as "Detail"
  TDataSource* dsResult;

  // Sums the detail's visible rows into the lines; a row the user is typing is posted first. Raises when
  // the detail lacks a field the mode sums.
  void SetDetail(TDataSet& detail, TBatchPriceMode mode);
  TBatchPriceMode Mode() const { return FMode; }
  // Every chosen line in line order, whatever the product filter shows; a line being typed is posted
  // first (a refused value raises and nothing is returned).
  std::vector<TBatchPrice> ChosenLines();

 protected:
  void OnNewPriceSetText(TField& sender, const std::string& text);
  void OnCESetText(TField& sender, const std::string& text);
  void OnEmployeePriceSetText(TField& sender, const std::string& text);
  void edtProductPropertiesChange();
  // Posts the line being typed; a refused value keeps the dialog open.
  void actOKExecute() override;

 private:
  void BuildColumns();
  // Sets the line's new price, its difference and whether it is chosen, then moves to the next line.
  void SetNewPrice(TDataSet& line, Currency price);

  TBatchPriceMode FMode = TBatchPriceMode::Price;
};

// Shows the price dialog (the owner's "FrmBatchEditPrice", made once) over the detail; on OK the callback
// runs once per chosen line, in line order, with the line's new price, and with withEmployee also its
// employee price. Returns the modal result.
int GetBatchEditPrice(TComponent* owner, TDataSet& detail, const TBatchPriceCallback& callback, bool withEmployee = false);
// The same dialog in employee-price mode: the callback receives the new employee price.
int GetBatchEditEmployeePrice(TComponent* owner, TDataSet& detail, const TBatchPriceCallback& callback);

}  // namespace jxc
