#include "bills/UnitFrmBatchEditPrice.h"

#include "bills/UnitBatchDetailLines.h"
#include "bills/UnitFrmBaseBillFramework.h"
#include "editors/UnitEditorUtils.h"
#include "platform/Actions.h"
#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/Exceptions.h"
#include "platform/Grid.h"
#include "platform/MemSQL.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"

namespace jxc {

namespace {

constexpr const char* kEmployeePriceSQL =
    "SELECT  False AS F_SELECT, 0.0 AS F_CE, F_PRODUCT_ID, F_PRODUCT, sum(F_QTY) AS F_QTY, 0.00 AS F_NEW_PRICE, "
    "AVG(F_PRICE_EMPLOYEE) AS F_PRICE, F_CONFIG_ID, F_COLOR_ID  FROM Detail GROUP BY F_PRODUCT_ID, F_PRODUCT, "
    "F_CONFIG_ID, F_COLOR_ID";
constexpr const char* kPriceAndEmployeeSQL =
    "SELECT  False AS F_SELECT, 0.0 AS F_CE, F_PRODUCT_ID, F_PRODUCT, sum(F_QTY) AS F_QTY, 0.00 AS F_NEW_PRICE, "
    "AVG(F_PRICE) AS F_PRICE, F_CONFIG_ID, F_COLOR_ID, AVG(F_PRICE_EMPLOYEE) AS F_PRICE_EMPLOYEE FROM  Detail GROUP "
    "BY F_PRODUCT_ID, F_PRODUCT, F_CONFIG_ID, F_COLOR_ID";
constexpr const char* kPriceSQL =
    "SELECT  False AS F_SELECT, 0.0 AS F_CE, F_PRODUCT_ID, F_PRODUCT, sum(F_QTY) AS F_QTY, 0.00 AS F_NEW_PRICE, "
    "AVG(F_PRICE) AS F_PRICE, F_CONFIG_ID, F_COLOR_ID  FROM Detail GROUP BY F_PRODUCT_ID, F_PRODUCT, F_CONFIG_ID, "
    "F_COLOR_ID";
constexpr const char* kBadPrice = "单价输入有误";

// A typed amount: what is no number counts as 0.
Currency TypedAmount(const std::string& text) { return Currency::TryParse(Trim(text)).value_or(Currency()); }

void CheckPrice(Currency price) {
  if (price < Currency() || price > TFrmBaseBillFramework::MaxPrice()) throw Exception(kBadPrice);
}

}  // namespace

TFrmBatchEditPrice::TFrmBatchEditPrice(TComponent* owner) : TFrmBaseDlg(owner) {
  SetCaption("批量修改价格");
  edtProduct = NewControl<TEdit>(this, "edtProduct", this);
  edtProduct->Align = TAlign::alTop;
  edtProduct->TextHint = "商品名称";
  edtProduct->OnChange = [this](TCustomEdit&) { edtProductPropertiesChange(); };

  const TDetailLinesView lines = MakeDetailLinesView(*this, *this);
  qryResult = lines.Lines;
  dsResult = lines.Source;
  cxGrid1 = lines.Grid;
  tvResult = lines.View;
  tvResult->OptionsView.Footer = true;
}

void TFrmBatchEditPrice::SetDetail(TDataSet& detail, TBatchPriceMode mode) {
  const char* sql = mode == TBatchPriceMode::EmployeePrice      ? kEmployeePriceSQL
                    : mode == TBatchPriceMode::PriceAndEmployee ? kPriceAndEmployeeSQL
                                                                : kPriceSQL;
  std::map<std::string, TFieldType> types{
      {"F_CE", ftCurrency}, {"F_NEW_PRICE", ftCurrency}, {"F_PRICE", ftCurrency}, {"F_QTY", ftLargeint}};
  if (mode == TBatchPriceMode::PriceAndEmployee) types["F_PRICE_EMPLOYEE"] = ftCurrency;
  RequireDetailFields(detail, {"F_PRODUCT_ID", "F_PRODUCT", "F_QTY", "F_CONFIG_ID", "F_COLOR_ID"});
  if (mode == TBatchPriceMode::EmployeePrice || mode == TBatchPriceMode::PriceAndEmployee)
    RequireDetailFields(detail, {"F_PRICE_EMPLOYEE"});
  if (mode != TBatchPriceMode::EmployeePrice) RequireDetailFields(detail, {"F_PRICE"});
  edtProduct->OnChange = nullptr;
  edtProduct->SetText("");
  edtProduct->OnChange = [this](TCustomEdit&) { edtProductPropertiesChange(); };
  SumDetailLines(*qryResult, detail, sql, types);
  FMode = mode;
  qryResult->FieldByName("F_NEW_PRICE").OnSetText = [this](TField& sender, const std::string& text) {
    OnNewPriceSetText(sender, text);
  };
  qryResult->FieldByName("F_CE").OnSetText = [this](TField& sender, const std::string& text) { OnCESetText(sender, text); };
  if (TField* employee = qryResult->FindField("F_PRICE_EMPLOYEE"))
    employee->OnSetText = [this](TField& sender, const std::string& text) { OnEmployeePriceSetText(sender, text); };
  BuildColumns();
}

void TFrmBatchEditPrice::BuildColumns() {
  tvResult->ClearItems();
  const bool employeeMode = FMode == TBatchPriceMode::EmployeePrice;
  auto column = [this](const char* field, const char* caption, bool editable) {
    TGridColumn* made = tvResult->CreateColumn(field, caption);
    made->Options.Editing = editable;
    return made;
  };
  TGridColumn* chosen = column("F_SELECT", "选择", true);
  chosen->Properties.Kind = TGridEditorKind::Check;
  column("F_PRODUCT", "商品名称", false);
  TGridColumn* qty = column("F_QTY", "数量", false);
  qty->Summary.Footer.Kind = skSum;
  column("F_PRICE", employeeMode ? "原员工价" : "原单价", false)->Properties.Kind = TGridEditorKind::Currency;
  column("F_NEW_PRICE", employeeMode ? "新员工价" : "新单价", true)->Properties.Kind = TGridEditorKind::Currency;
  column("F_CE", "差价", true)->Properties.Kind = TGridEditorKind::Currency;
  if (FMode == TBatchPriceMode::PriceAndEmployee)
    column("F_PRICE_EMPLOYEE", "员工价", true)->Properties.Kind = TGridEditorKind::Currency;
  if (TGridColumn* price = tvResult->FindColumnByFieldName("F_NEW_PRICE")) tvResult->SetFocusedColumn(price);
}

void TFrmBatchEditPrice::SetNewPrice(TDataSet& line, Currency price) {
  line.FieldByName("F_NEW_PRICE").SetAsCurrency(price);
  line.FieldByName("F_CE").SetAsCurrency(price - line.FieldByName("F_PRICE").AsCurrency());
  line.FieldByName("F_SELECT").SetAsBoolean(price != Currency());
  // Ready for the next line's price.
  line.Next();
}

void TFrmBatchEditPrice::OnNewPriceSetText(TField& sender, const std::string& text) {
  const Currency price = TypedAmount(text);
  CheckPrice(price);
  SetNewPrice(sender.DataSet(), price);
}

void TFrmBatchEditPrice::OnCESetText(TField& sender, const std::string& text) {
  TDataSet& line = sender.DataSet();
  const Currency difference = TypedAmount(text);
  const Currency price = line.FieldByName("F_PRICE").AsCurrency() + difference;
  CheckPrice(price);
  line.FieldByName("F_NEW_PRICE").SetAsCurrency(price);
  sender.SetAsCurrency(difference);
  line.FieldByName("F_SELECT").SetAsBoolean(difference != Currency());
  line.Next();
}

void TFrmBatchEditPrice::OnEmployeePriceSetText(TField& sender, const std::string& text) {
  const Currency price = TypedAmount(text);
  CheckPrice(price);
  sender.SetAsCurrency(price);
}

void TFrmBatchEditPrice::edtProductPropertiesChange() {
  if (!qryResult->Active()) return;
  const std::string typed = Trim(edtProduct->Text());
  qryResult->SetFilter(" F_PRODUCT LIKE " + QuotedStr("%" + typed + "%"));
  qryResult->SetFiltered(!typed.empty());
}

std::vector<TBatchPrice> TFrmBatchEditPrice::ChosenLines() {
  std::vector<TBatchPrice> chosen;
  if (!qryResult->Active()) return chosen;
  qryResult->CheckBrowseMode();
  // Lines chosen under another filter count as well.
  const bool filtered = qryResult->Filtered();
  const TBookmark at = qryResult->GetBookmark();
  qryResult->DisableControls();
  qryResult->SetFiltered(false);
  const TField* employee = qryResult->FindField("F_PRICE_EMPLOYEE");
  for (qryResult->First(); !qryResult->Eof(); qryResult->Next()) {
    if (!qryResult->FieldByName("F_SELECT").AsBoolean()) continue;
    TBatchPrice line;
    line.ProductID = qryResult->FieldByName("F_PRODUCT_ID").Value();
    line.ConfigID = qryResult->FieldByName("F_CONFIG_ID").Value();
    line.ColorID = qryResult->FieldByName("F_COLOR_ID").Value();
    line.NewPrice = qryResult->FieldByName("F_NEW_PRICE").AsCurrency();
    if (FMode == TBatchPriceMode::PriceAndEmployee && employee) line.EmployeePrice = employee->AsCurrency();
    chosen.push_back(std::move(line));
  }
  qryResult->SetFiltered(filtered);
  if (qryResult->BookmarkValid(at)) qryResult->GotoBookmark(at);
  qryResult->EnableControls();
  return chosen;
}

void TFrmBatchEditPrice::actOKExecute() {
  if (tvResult->Editing()) tvResult->PostEditValue();
  if (tvResult->Editing()) Abort();
  qryResult->CheckBrowseMode();
  TFrmBaseDlg::actOKExecute();
}

namespace {

int ShowPriceDialog(TComponent* owner, TDataSet& detail, const TBatchPriceCallback& callback, TBatchPriceMode mode) {
  auto* dialog = OwnedDialog<TFrmBatchEditPrice>(owner, "FrmBatchEditPrice");
  dialog->SetDetail(detail, mode);
  const int result = dialog->ShowModal();
  if (result != mrOk || !callback) return result;
  const std::vector<TBatchPrice> chosen = dialog->ChosenLines();
  dialog->qryResult->DisableControls();
  try {
    for (const TBatchPrice& line : chosen) callback(line);
  } catch (...) {
    dialog->qryResult->EnableControls();
    throw;
  }
  dialog->qryResult->EnableControls();
  return result;
}

}  // namespace

int GetBatchEditPrice(TComponent* owner, TDataSet& detail, const TBatchPriceCallback& callback, bool withEmployee) {
  return ShowPriceDialog(owner, detail, callback,
                         withEmployee ? TBatchPriceMode::PriceAndEmployee : TBatchPriceMode::Price);
}

int GetBatchEditEmployeePrice(TComponent* owner, TDataSet& detail, const TBatchPriceCallback& callback) {
  return ShowPriceDialog(owner, detail, callback, TBatchPriceMode::EmployeePrice);
}

}  // namespace jxc
