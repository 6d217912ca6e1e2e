#include "bills/UnitFrmBillOutStockFramework.h"

#include <memory>
#include <utility>

#include "editors/UnitEditorUtils.h"
#include "editors/UnitFrameLookupSysStock.h"
#include "filter/UnitFilterPopupEdit.h"
#include "foundation/DBIntf.h"
#include "foundation/UnitModeNOSearch.h"
#include "foundation/UnitPublicUtils.h"
#include "foundation/UnitSysParams.h"
#include "platform/Actions.h"
#include "platform/DataSource.h"
#include "platform/Exceptions.h"
#include "platform/ExtCtrls.h"
#include "platform/Grid.h"
#include "platform/Keys.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"
#include "platform/ValueEdits.h"

namespace jxc {

namespace {

constexpr int kWholesale = 6;  // btPf
constexpr int kRetail = 7;     // btls
constexpr int kMoveOut = 12;   // btMoveOut: a transfer carries no selling price
constexpr const char* kCrLf = "\r\n";
constexpr const char* kShortInput = "请输入手机串号/卡号,或后5-10位";
// The stock statements carry every column a row copies from the unit, its in-date included.
constexpr const char* kStockSQL =
    "SELECT F_ID, F_MODE_NO, F_COLOR, F_CONFIG, F_CUSTOMER_ID, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID , F_COLOR_ID, "
    "F_UNIT, F_QTY, F_PRICE, F_PRODUCT  , F_CONFIG_ID, F_PRODUCT_TYPE_ID, F_PRICE_EMPLOYEE, F_IN_DATE FROM "
    "VI_GetSysStock WITH(nolock)  ";
constexpr const char* kPasteStockSQL =
    " SELECT F_ID, F_CUSTOMER_ID, F_CONFIG, F_COLOR, F_SHOP_ID, F_LOCATION_ID, F_PRODUCT_ID, F_PRODUCT, F_COLOR_ID,    "
    "F_UNIT, F_QTY, F_PRICE, F_MODE_NO,   F_CONFIG_ID, F_PRICE_EMPLOYEE,        F_PRODUCT_TYPE_ID, F_IN_DATE      FROM "
    "VI_GetSysStock WITH(nolock) ";

bool Editing(const TDataSet& dataSet) { return dataSet.State() == dsEdit || dataSet.State() == dsInsert; }

bool HasRow(const TDataSet& dataSet) { return dataSet.Active() && (!dataSet.IsEmpty() || dataSet.State() == dsInsert); }

int64_t KeyOf(const TDataSet& dataSet, const char* name) {
  const TField* field = dataSet.FindField(name);
  return field && !field->IsNull() ? field->AsLargeInt() : 0;
}

int64_t KeyAt(const TDataSet& dataSet, int row, const char* name) {
  const TField* field = dataSet.FindField(name);
  if (!field) return 0;
  const Variant value = dataSet.RowValue(row, field->Index());
  return value.IsNullOrEmpty() ? 0 : value.AsInt64();
}

bool IsSerialType(int64_t type) { return type == 1 || type == 3; }

void CopyIfPresent(const TDataSet& source, const char* from, TDataSet& dest, const char* to) {
  const TField* value = source.FindField(from);
  TField* field = dest.FindField(to);
  if (value && field) field->SetValue(value->Value());
}

}  // namespace

// --- creation ------------------------------------------------------------------------------------------------

TFrmBillOutStockFramework::TFrmBillOutStockFramework(TComponent* owner) : TFrmBaseBillFramework(owner) {
  CreateQuickInput();
  cdsTemp = new TClientDataSet(this);
  cdsTemp->SetName("cdsTemp");
  cdsSalePrice = new TClientDataSet(this);
  cdsSalePrice->SetName("cdsSalePrice");
  dsModeNOList = new TDataSource(this);
  dsModeNOList->SetName("dsModeNOList");
  actBatchPasteModeNO->OnExecute = [this](TAction& sender) { actBatchPasteModeNOExecute(sender); };
  actBatchPasteModeNOByOrder->OnExecute = [this](TAction& sender) { actBatchPasteModeNOByOrderExecute(sender); };
  dxBarButton4 = barMain->AddItem("", actBatchPasteModeNO);
  dxBarButton4->SetName("dxBarButton4");
  dxBarButton6 = barMain->AddItem("", actBatchPasteModeNOByOrder);
  dxBarButton6->SetName("dxBarButton6");
}

TFrmBillOutStockFramework::~TFrmBillOutStockFramework() {
  edtModeNO->OnKeyPress = nullptr;
  edtModeNO->OnEnter = nullptr;
  edtModeNO->OnExit = nullptr;
  edtPrice->OnValidate = nullptr;
  if (FColModeNO) FColModeNO->Properties.OnInitPopup = nullptr;
}

void TFrmBillOutStockFramework::CreateQuickInput() {
  grpBillBottom->SetCaption("快速输入");
  lblModeNO = NewControl<TLabel>(this, "lblModeNO", grpBillBottom);
  lblModeNO->SetCaption("手机串号/卡号：");
  edtModeNO = NewControl<TEdit>(this, "edtModeNO", grpBillBottom);
  edtModeNO->Hint = "请输入手机串号/卡号,回车确认";
  edtModeNO->TabStop = false;
  edtModeNO->OnKeyPress = [this](TWinControl& sender, char32_t& key) { edtModeNOKeyPress(sender, key); };
  // Enter is the scanner's end of a number, not the form's move to the next control.
  edtModeNO->OnEnter = [this](TWinControl& sender) { edtModeNOEnter(sender); };
  edtModeNO->OnExit = [this](TWinControl& sender) { edtModeNOExit(sender); };
  lblPrice = NewControl<TLabel>(this, "lblPrice", grpBillBottom);
  lblPrice->SetCaption("单价：");
  edtPrice = NewControl<TCurrencyEdit>(this, "edtPrice", grpBillBottom);
  edtPrice->DisplayFormat = ",0.00;-,0.00";
  edtPrice->SetValue(0);
  edtPrice->OnValidate = [this](TCustomEdit& sender, std::string& display, std::string& text, bool& error) {
    edtPricePropertiesValidate(sender, display, text, error);
  };
  chkAutoAppend = NewControl<TCheckBox>(this, "chkAutoAppend", grpBillBottom);
  chkAutoAppend->SetCaption("扫描自动增行");
  chkAutoAppend->SetChecked(true);
  chkAutoAppend->SetVisible(false);
  chkAutoCopy = new TBarItem(this);
  chkAutoCopy->SetName("chkAutoCopy");
  chkAutoCopy->SetCaption("新增自动复制");
  chkAutoCopy->CheckButton = true;
}

void TFrmBillOutStockFramework::StartQueryTimer() {
  TFrmBaseBillFramework::StartQueryTimer();
  if (!FColModeNO) {
    if ((FColModeNO = tvResult->FindColumnByFieldName("F_MODE_NO"))) {
      UseLookupEditor(*FColModeNO, nullptr, [this](TGridColumn& column) -> TFrameBaseFilterEx* {
        DoModeNOInitPop(column);
        return dynamic_cast<TFrameBaseFilterEx*>(column.Properties.PopupControl);
      });
    }
  }
  // The price column is typed into only where the bill kind's parameter allows it.
  if (TGridColumn* price = tvResult->FindColumnByFieldName("F_PRICE")) {
    const bool locked = PriceLocked(FormParams.F_BILL_CONFIG.F_BILL_TYPE);
    price->Options.Editing = !locked;
    price->Options.Focusing = !locked;
  }
}

void TFrmBillOutStockFramework::UpdateOperaView(TAction* sender) {
  TFrmBaseBillFramework::UpdateOperaView(sender);
  if (!cdsMain->Active()) return;
  // The quick input is there while the bill can take units.
  grpBillBottom->SetVisible(BillStatus() != 2 && !ReadOnlyView());
}

void TFrmBillOutStockFramework::DoModeNOInitPop(TGridColumn& sender) {
  TStockLookupFilter filter;
  if (HasRow(*CdsDetail)) {
    filter.ProductID = KeyOf(*CdsDetail, "F_PRODUCT_ID");
    filter.ColorID = KeyOf(*CdsDetail, "F_COLOR_ID");
  }
  const int64_t shop = BillShopID();
  sender.Properties.PopupControl =
      GetLookupSysStock(&sender, sender.Field(), shop ? IntToStr(shop) : std::string(), filter, [this](TDataSet& unit) {
        // The unit chosen goes into the row being edited, through the same checks as a scan.
        const std::string modeNO = unit.FieldByName("F_MODE_NO").AsString();
        CheckModeNO(modeNO, false);
        if (!HasRow(*CdsDetail)) CdsDetail->Append();
        else if (CdsDetail->State() == dsBrowse) CdsDetail->Edit();
        FillRowFrom(unit);
      });
}

void TFrmBillOutStockFramework::actNewExecute(TAction& sender) {
  // Each bill asks the price list afresh once per product.
  FPrices.clear();
  TFrmBaseBillFramework::actNewExecute(sender);
}

// --- rows ------------------------------------------------------------------------------------------------------

void TFrmBillOutStockFramework::CdsDetailNewRecord(TDataSet& dataSet) {
  TFrmBaseBillFramework::CdsDetailNewRecord(dataSet);
  if (TField* present = dataSet.FindField("F_PRESENT")) present->SetAsInteger(0);
  if (TField* location = dataSet.FindField("F_LOCATION_ID"); location && location->IsNull())
    if (const int64_t counter = StrToInt64Def(SysConfig.LocationID, 0)) location->SetAsLargeInt(counter);
  const TField* remark = HasRow(*cdsMain) ? cdsMain->FindField("F_REMARK") : nullptr;
  if (TField* rowRemark = remark ? dataSet.FindField("F_REMARK") : nullptr) rowRemark->SetValue(remark->Value());
}

void TFrmBillOutStockFramework::OutStock(TDataSet& dataSet) {
  if (CdsDetail->State() == dsBrowse) CdsDetail->Edit();
  // Writing the product prices the row.
  for (const char* name : {"F_PRODUCT_ID", "F_PRODUCT", "F_PRODUCT_TYPE_ID", "F_CONFIG_ID", "F_COLOR_ID", "F_CONFIG", "F_COLOR"})
    CopyIfPresent(dataSet, name, *CdsDetail, name);
  CopyIfPresent(dataSet, "F_CUSTOMER_ID", *CdsDetail, "F_ROOT_ID");
  CopyIfPresent(dataSet, "F_UNIT", *CdsDetail, "F_UNIT");
  CopyIfPresent(dataSet, "F_LOCATION_ID", *CdsDetail, "F_LOCATION_ID");
  CdsDetail->FieldByName("F_Qty").SetAsInteger(1);
  if (TField* money = CdsDetail->FindField("F_MONEY")) {
    const TField* price = CdsDetail->FindField("F_PRICE");
    money->SetAsCurrency(price ? price->AsCurrency() : Currency());
  }
  CopyIfPresent(dataSet, "F_IN_DATE", *CdsDetail, "F_IN_DATE");
  CdsDetail->FieldByName("F_MODE_NO").SetText(dataSet.FieldByName("F_MODE_NO").AsString());
}

void TFrmBillOutStockFramework::FillRowFrom(TDataSet& stock) {
  try {
    OutStock(stock);
  } catch (...) {
    // No half-filled row stays behind.
    if (Editing(*CdsDetail)) CdsDetail->Cancel();
    throw;
  }
}

bool TFrmBillOutStockFramework::CurrentRowHoldsUnit() const {
  if (!HasRow(*CdsDetail)) return false;
  const TField* modeNO = CdsDetail->FindField("F_MODE_NO");
  return modeNO && !Trim(modeNO->AsString()).empty();
}

bool TFrmBillOutStockFramework::CurrentRowIsCounted() const {
  if (!HasRow(*CdsDetail) || KeyOf(*CdsDetail, "F_PRODUCT_ID") == 0) return false;
  const TField* type = CdsDetail->FindField("F_PRODUCT_TYPE_ID");
  return type && !type->IsNull() && !IsSerialType(type->AsLargeInt());
}

TFrmBillOutStockFramework::TRowFit TFrmBillOutStockFramework::FitOfCurrentRow() const {
  TRowFit fit;
  if (!HasRow(*CdsDetail)) return fit;
  fit.ProductID = KeyOf(*CdsDetail, "F_PRODUCT_ID");
  fit.ColorID = KeyOf(*CdsDetail, "F_COLOR_ID");
  return fit;
}

// --- the stock look-up -----------------------------------------------------------------------------------------

int TFrmBillOutStockFramework::OpenStock(const std::string& condition) {
  if (!DBAccess) throw Exception("没有数据库服务");
  cdsTemp->Close();
  DBAccess->OpenDataSet(*cdsTemp, kStockSQL + condition);
  return cdsTemp->RecordCount();
}

std::string TFrmBillOutStockFramework::Misfit(const TDataSet& stock, int row, const TRowFit& fit) const {
  if (KeyAt(stock, row, "F_SHOP_ID") != BillShopID()) return "]不属于此店铺";
  if (fit.ProductID != 0 && KeyAt(stock, row, "F_PRODUCT_ID") != fit.ProductID)
    return std::string("]不属于此机型") + kCrLf + "请检查商品是否正确";
  if (fit.ColorID != 0 && KeyAt(stock, row, "F_COLOR_ID") != fit.ColorID)
    return std::string("]不属于此机型") + kCrLf + "请检查颜色是否正确";
  return "";
}

std::string TFrmBillOutStockFramework::FindStockUnit(const std::string& modeNO, const TRowFit& fit) {
  // A whole serial number names one unit wherever it lies, so that the refusal can say why.
  int found = OpenStock(" WHERE  F_MODE_NO = " + QuotedStr(modeNO));
  if (found == 0 && CharCount(modeNO) <= static_cast<size_t>(SuffixMax)) {
    // The end of a serial number: only a unit the bill can take, and only one.
    std::string scope = " WHERE  F_SHOP_ID = " + IntToStr(BillShopID());
    if (fit.ProductID != 0) scope += " AND F_PRODUCT_ID = " + IntToStr(fit.ProductID);
    if (fit.ColorID != 0) scope += " AND F_COLOR_ID = " + IntToStr(fit.ColorID);
    found = OpenStock(scope + " AND " + SuffixLikeCondition("F_MODE_NO", modeNO));
    if (found > 1) return "手机串号/卡号[" + modeNO + "]匹配到" + IntToStr(found) + "个库存串号,请输入更多位数";
    // None here: one unit elsewhere is named with the reason it does not fit.
    if (found == 0 && OpenStock(" WHERE  " + SuffixLikeCondition("F_MODE_NO", modeNO)) == 1) found = 1;
  }
  if (found != 1) return "手机串号/卡号[" + modeNO + "]库存不足,请重新输入";
  cdsTemp->First();
  const std::string misfit = Misfit(*cdsTemp, 0, fit);
  return misfit.empty() ? misfit : "手机串号/卡号[" + cdsTemp->FieldByName("F_MODE_NO").AsString() + misfit;
}

std::string TFrmBillOutStockFramework::PasteMisfit(int row, const TRowFit& fit) const {
  // The failed list names the number already: the reason goes on its line.
  const std::string misfit = Misfit(*cdsTemp, row, fit);
  return misfit.empty() ? misfit : StringReplace(misfit.substr(1), kCrLf, ",");
}

// --- the quick input -------------------------------------------------------------------------------------------

void TFrmBillOutStockFramework::edtModeNOKeyPress(TWinControl&, char32_t& key) {
  if (key != U'\r') return;
  key = 0;
  try {
    ScanModeNO();
  } catch (...) {
    FocusQuickInput();
    throw;
  }
  FocusQuickInput();
}

void TFrmBillOutStockFramework::edtModeNOEnter(TWinControl& sender) { cxGrid1Enter(sender); }

void TFrmBillOutStockFramework::edtModeNOExit(TWinControl& sender) { cxGrid1Exit(sender); }

void TFrmBillOutStockFramework::FocusQuickInput() {
  if (!edtModeNO->CanFocus()) return;
  SetActiveControl(edtModeNO);
  edtModeNO->SelectAll();
}

void TFrmBillOutStockFramework::ScanModeNO() {
  const std::string modeNO = UpperCase(Trim(edtModeNO->Text()));
  if (CharCount(modeNO) < static_cast<size_t>(SuffixMin)) {
    ShowWarningMessage(MsgBox.get(), kShortInput);
    return;
  }
  bool rowError = false;
  const std::string refusal = TakeModeNO(modeNO, rowError);
  if (refusal.empty()) return;
  if (rowError) ShowErrorMessage(MsgBox.get(), refusal);
  else ShowInfoMessage(MsgBox.get(), refusal);
}

std::string TFrmBillOutStockFramework::TakeModeNO(const std::string& modeNO, bool& rowError) {
  rowError = false;
  // An audited bill, or one only viewed, takes no unit.
  if (!CdsDetail->Active() || BillStatus() == 2 || ReadOnlyView()) return "";
  // The unit goes into a new row when the current one holds a unit or a counted product; with auto-append
  // on, or after a counted product, that new row is the one it must fit.
  const bool counted = CurrentRowIsCounted();
  const bool newRow = counted || CurrentRowHoldsUnit();
  const TRowFit fit = counted || (newRow && chkAutoAppend->Checked()) ? TRowFit{} : FitOfCurrentRow();
  const std::string refusal = FindStockUnit(modeNO, fit);
  if (!refusal.empty()) return refusal;
  try {
    CheckModeNO(cdsTemp->FieldByName("F_MODE_NO").AsString(), false);
    if (newRow || !HasRow(*CdsDetail)) CdsDetail->Append();
    else if (CdsDetail->State() == dsBrowse) CdsDetail->Edit();
    FillRowFrom(*cdsTemp);
    CdsDetail->Post();
  } catch (const EAbort&) {
    throw;
  } catch (const std::exception& error) {
    if (Editing(*CdsDetail)) CdsDetail->Cancel();
    rowError = true;
    return error.what();
  }
  AdvanceAfterScan();
  return "";
}

void TFrmBillOutStockFramework::AdvanceAfterScan() {
  const TField* price = CdsDetail->FindField("F_PRICE");
  const bool priced = price && price->AsCurrency() != Currency();
  CdsDetail->Next();
  if (CdsDetail->Eof() && priced && chkAutoAppend->Checked()) actDetailAppend->Execute();
  if (FColModeNO) tvResult->SetFocusedColumn(FColModeNO);
}

void TFrmBillOutStockFramework::edtModeNOPropertiesValidate(TCustomEdit&, std::string& displayValue, std::string& errorText,
                                                            bool& error) {
  // The same rules as the quick input: upper case, at least five characters, one unit of the bill.
  const std::string modeNO = UpperCase(Trim(displayValue));
  if (modeNO.empty()) {
    ShowWarningMessage(MsgBox.get(), "请输入手机串号/卡号");
    error = false;
    return;
  }
  bool rowError = false;
  errorText = CharCount(modeNO) < static_cast<size_t>(SuffixMin) ? std::string(kShortInput) : TakeModeNO(modeNO, rowError);
  error = !errorText.empty();
}

void TFrmBillOutStockFramework::edtPricePropertiesValidate(TCustomEdit&, std::string& displayValue, std::string& errorText,
                                                           bool& error) {
  const std::optional<Currency> price = Currency::TryParse(StringReplace(Trim(displayValue), ",", ""));
  if (price && *price > MaxPrice()) {
    errorText = "单价输入有误";
    error = true;
  }
}

// --- prices ----------------------------------------------------------------------------------------------------

int TFrmBillOutStockFramework::HeaderKind() const { return AuditType(); }

bool TFrmBillOutStockFramework::PriceLocked(int kind) const {
  return (kind == kWholesale && !SysParamBoolean(kSpEditWholesalePrice)) ||
         (kind == kRetail && !SysParamBoolean(kSpEditRetailPrice));
}

void TFrmBillOutStockFramework::F_PriceSetText(TField& sender, const std::string& text) {
  const int kind = HeaderKind();
  if (PriceLocked(kind)) {
    ShowTipMessage(MsgBox.get(), kind == kWholesale ? "系统设置不允许修改批发价" : "系统设置不允许修改零售价");
    return;
  }
  TFrmBaseBillFramework::F_PriceSetText(sender, text);
}

Currency TFrmBillOutStockFramework::PriceOf(int64_t shopID, int64_t productID, int kind) {
  const auto key = std::make_tuple(shopID, productID, kind);
  if (auto known = FPrices.find(key); known != FPrices.end()) return known->second;
  if (!DBAccess) throw Exception("没有数据库服务");
  cdsSalePrice->Close();
  DBAccess->OpenDataSet(*cdsSalePrice, "SELECT dbo.FUNC_GET_PRODUCT_PRICE(" + IntToStr(shopID) + ", " +
                                           IntToStr(productID) + "," + IntToStr(kind) + ")");
  const Variant value = cdsSalePrice->IsEmpty() ? Variant::Null() : cdsSalePrice->Fields(0).Value();
  cdsSalePrice->Close();
  const Currency price = value.IsNullOrEmpty() ? Currency() : value.AsCurrency();
  FPrices.emplace(key, price);
  return price;
}

void TFrmBillOutStockFramework::F_ProductValidate(TField& sender) {
  TFrmBaseBillFramework::F_ProductValidate(sender);
  TDataSet& row = sender.DataSet();
  TField* price = row.FindField("F_PRICE");
  // A price the row holds (typed, pasted, from an order) is the user's: only a row at 0 is priced.
  if (!price || (!price->IsNull() && price->AsCurrency() != Currency())) return;
  const int64_t product = sender.IsNull() ? 0 : sender.AsLargeInt();
  if (product == 0) return;
  Currency found;
  const std::optional<Currency> quick = Currency::TryParse(StringReplace(Trim(edtPrice->Text()), ",", ""));
  if (quick && *quick != Currency()) {
    found = *quick;
  } else {
    const int kind = HeaderKind();
    if (kind == kMoveOut) return;
    found = PriceOf(BillShopID(), product, kind);
  }
  price->SetAsCurrency(found);
  if (TField* money = row.FindField("F_MONEY")) {
    const TField* qty = row.FindField("F_QTY");
    money->SetAsCurrency(found * (qty && !qty->IsNull() ? qty->AsLargeInt() : int64_t{1}));
  }
}

// --- batch paste -----------------------------------------------------------------------------------------------

void TFrmBillOutStockFramework::ReadStockOf(const std::vector<std::string>& modeNOs) {
  if (!DBAccess) throw Exception("没有数据库服务");
  FPastedStock.clear();
  std::vector<std::string> statements;
  for (size_t start = 0; start < modeNOs.size(); start += PasteChunk) {
    std::string list;
    const size_t end = std::min(modeNOs.size(), start + PasteChunk);
    for (size_t i = start; i < end; ++i) list += (i == start ? "" : ",") + QuotedStr(modeNOs[i]);
    statements.push_back(std::string(kPasteStockSQL) + "WHERE F_MODE_NO IN (" + list + ")");
  }
  // One request for every chunk; the rows are gathered in cdsTemp.
  std::vector<std::unique_ptr<TClientDataSet>> chunks;
  std::vector<TDataSet*> targets;
  for (size_t i = 0; i < statements.size(); ++i) {
    chunks.push_back(std::make_unique<TClientDataSet>());
    targets.push_back(chunks.back().get());
  }
  DBAccess->OpenDataSets(targets, statements);
  FPasteStatements = static_cast<int>(statements.size());
  cdsTemp->Close();
  if (chunks.empty()) return;
  TDataPacket all = chunks.front()->Data();
  for (size_t i = 1; i < chunks.size(); ++i) {
    TDataPacket more = chunks[i]->Data();
    for (TRowValues& row : more.Rows) all.Rows.push_back(std::move(row));
  }
  cdsTemp->LoadData(std::move(all.Fields), std::move(all.Rows));
  const int serial = cdsTemp->FieldByName("F_MODE_NO").Index();
  for (int row = 0, rows = cdsTemp->RecordCount(); row < rows; ++row)
    FPastedStock.emplace(cdsTemp->RowValue(row, serial).ToString(), row);
}

int TFrmBillOutStockFramework::PastedUnit(const std::string& modeNO, std::string& reason) {
  CheckModeNOEx(modeNO, false);  // a number the bill holds is refused with the bill's own message
  const auto unit = FPastedStock.find(modeNO);
  if (unit == FPastedStock.end()) {
    reason = "库存不足";
    return -1;
  }
  return unit->second;
}

void TFrmBillOutStockFramework::FillPastedRow(int stockRow) {
  try {
    cdsTemp->SetRecNo(stockRow + 1);
    FillRowFrom(*cdsTemp);
    CdsDetail->Post();
  } catch (...) {
    if (Editing(*CdsDetail)) CdsDetail->Cancel();
    throw;
  }
}

void TFrmBillOutStockFramework::RunPaste(TModeNOPasteHandler::TPaste paste) {
  tvResult->BeginUpdate();
  cdsTemp->Close();
  TModeNOPasteHandler handler;
  handler.Prepare = [this](const std::vector<std::string>& modeNOs) { ReadStockOf(modeNOs); };
  handler.Paste = std::move(paste);
  auto done = [this] {
    cdsTemp->Close();
    FPastedStock.clear();
    tvResult->EndUpdate();
  };
  try {
    PasteModeNO(handler);
  } catch (...) {
    done();
    throw;
  }
  done();
}

void TFrmBillOutStockFramework::actBatchPasteModeNOExecute(TAction&) {
  if (!CdsDetail->Active()) return;
  // A row of a counted product names neither the product nor the price of the units pasted after it.
  const bool counted = CurrentRowIsCounted();
  const TRowFit fit = counted ? TRowFit{} : FitOfCurrentRow();
  const TField* priceField = HasRow(*CdsDetail) && !counted ? CdsDetail->FindField("F_PRICE") : nullptr;
  const Currency batchPrice = priceField && !priceField->IsNull() ? priceField->AsCurrency() : Currency();
  RunPaste([this, fit, batchPrice](const std::string& rowID, const std::string& modeNO, std::string& reason) {
    const int unit = PastedUnit(modeNO, reason);
    if (unit < 0) return false;
    reason = PasteMisfit(unit, fit);
    if (!reason.empty()) return false;
    // The first number may take the row the paste started on, when it holds no unit yet.
    if (CurrentRowHoldsUnit() || CurrentRowIsCounted() || !HasRow(*CdsDetail)) CdsDetail->Append();
    else if (CdsDetail->State() == dsBrowse) CdsDetail->Edit();
    CdsDetail->FieldByName("F_PRICE").SetAsCurrency(batchPrice);
    CdsDetail->FieldByName("F_ID").SetAsString(rowID);
    FillPastedRow(unit);
    return true;
  });
  if (CdsDetail->State() == dsBrowse) CdsDetail->Last();
}

void TFrmBillOutStockFramework::actBatchPasteModeNOByOrderExecute(TAction&) {
  if (!CdsDetail->Active()) return;
  CdsDetail->CheckBrowseMode();
  if (!HasRow(*CdsDetail) || KeyOf(*CdsDetail, "F_PRODUCT_ID") == 0) {
    ShowInfoMessage(MsgBox.get(), "请先选择商品");
    return;
  }
  // Rows that take a number: serial-numbered products without one, from the current row on.
  auto nextOpenRow = [this] {
    while (!CdsDetail->Eof()) {
      if (IsSerialType(KeyOf(*CdsDetail, "F_PRODUCT_TYPE_ID")) && !CurrentRowHoldsUnit()) return true;
      CdsDetail->Next();
    }
    return false;
  };
  RunPaste([this, nextOpenRow](const std::string&, const std::string& modeNO, std::string& reason) {
    const int unit = PastedUnit(modeNO, reason);
    if (unit < 0) return false;
    if (!nextOpenRow()) {
      reason = "没有可填串号的明细行";
      return false;
    }
    // A number that does not fit leaves the row to the next one.
    reason = PasteMisfit(unit, FitOfCurrentRow());
    if (!reason.empty()) return false;
    // A row of several units gives one to this number; the others stay ordered in a row of their own.
    const int64_t ordered = KeyOf(*CdsDetail, "F_QTY");
    const TBookmark filled = CdsDetail->GetBookmark();
    CdsDetail->Edit();
    FillPastedRow(unit);
    if (ordered > 1) {
      AppendCurrentRecord(*CdsDetail, [](const std::string& name) {
        return !SameText(name, "F_ID") && !SameText(name, "F_MODE_NO") && !SameText(name, "F_PH");
      });
      CdsDetail->FieldByName("F_MODE_NO").Clear();
      CdsDetail->FieldByName("F_QTY").SetAsLargeInt(ordered - 1);
      if (TField* money = CdsDetail->FindField("F_MONEY"))
        money->SetAsCurrency(CdsDetail->FieldByName("F_PRICE").AsCurrency() * (ordered - 1));
      CdsDetail->Post();
      CdsDetail->GotoBookmark(filled);
    }
    CdsDetail->Next();
    return true;
  });
}

// --- saving ----------------------------------------------------------------------------------------------------

void TFrmBillOutStockFramework::actSaveExecute(TAction& sender) {
  CdsDetail->CheckBrowseMode();
  const TField* type = CdsDetail->FindField("F_PRODUCT_TYPE_ID");
  const TField* modeNO = CdsDetail->FindField("F_MODE_NO");
  const TField* qty = CdsDetail->FindField("F_QTY");
  const TField* price = CdsDetail->FindField("F_PRICE");
  const TField* present = CdsDetail->FindField("F_PRESENT");
  auto refuse = [this](int row, const std::string& text) {
    CdsDetail->SetRecNo(row + 1);  // the user finds the row where it is
    ShowErrorMessage(MsgBox.get(), text);
    Abort();
  };
  Currency moneyTotal;
  int64_t qtyTotal = 0;
  for (int row = 0, rows = CdsDetail->RecordCount(); row < rows; ++row) {
    const int64_t rowQty = qty ? KeyAt(*CdsDetail, row, "F_QTY") : 0;
    if (type && IsSerialType(KeyAt(*CdsDetail, row, "F_PRODUCT_TYPE_ID"))) {
      if (modeNO && Trim(CdsDetail->RowValue(row, modeNO->Index()).ToString()).empty())
        refuse(row, "第" + IntToStr(row + 1) + "行手机串号/卡号不能为空");
      // One unit per serial number: neither more nor none.
      if (rowQty != 1) refuse(row, "第" + IntToStr(row + 1) + "行商品数量必须等于1");
    }
    qtyTotal += rowQty;
    const bool gift = present && KeyAt(*CdsDetail, row, "F_PRESENT") == 1;
    if (!gift && price) {
      const Variant value = CdsDetail->RowValue(row, price->Index());
      moneyTotal += (value.IsNullOrEmpty() ? Currency() : value.AsCurrency()) * rowQty;
    }
  }
  if (SysParamBoolean(kSpConfirmBillAmount)) {
    // The average is told only where there is a quantity to divide by.
    const std::string text =
        qtyTotal == 0 ? "本单总额为" + moneyTotal.ToString() + "元,确定吗？"
                      : "本单总额为" + moneyTotal.ToString() + "元, 平均单价 " +
                            (moneyTotal / qtyTotal).ToString() + "元,确定吗？";
    if (!ConfirmMessage(MsgBox.get(), "提示", text)) Abort();
  }
  TFrmBaseBillFramework::actSaveExecute(sender);
}

TFrmBaseBillFramework::TTotals TFrmBillOutStockFramework::SumDetailIntoHeader() {
  FWrittenDefaults.clear();
  const int64_t counter = DefaultLocationOf(BillShopID());
  const int64_t workstation = StrToInt64Def(SysConfig.LocationID, 0);
  IteraDataSet(*CdsDetail, [&](TDataSet& row) {
    const int64_t type = KeyOf(row, "F_PRODUCT_TYPE_ID");
    TField* location = row.FindField("F_LOCATION_ID");
    TField* source = row.FindField("F_SOURCE_ID");
    TField* present = row.FindField("F_PRESENT");
    TField* money = row.FindField("F_MONEY");
    const bool gift = present && !present->IsNull() && present->AsInteger() == 1;
    const Currency rowMoney = gift ? Currency() : row.FieldByName("F_PRICE").AsCurrency() * KeyOf(row, "F_QTY");
    const bool placeRow = location && !IsSerialType(type) && type != 4 && KeyOf(row, "F_LOCATION_ID") == 0;
    const bool change = placeRow || (source && source->IsNull()) || (present && present->IsNull()) ||
                        (money && (money->IsNull() || money->AsCurrency() != rowMoney));
    if (!change) return;
    FWrittenDefaults.push_back({row.GetBookmark(), location ? location->Value() : Variant::Null(),
                                source ? source->Value() : Variant::Null(), present ? present->Value() : Variant::Null(),
                                money ? money->Value() : Variant::Null()});
    row.Edit();
    if (placeRow) location->SetAsLargeInt(counter ? counter : workstation);
    if (source && source->IsNull()) source->SetValue(row.FieldByName("F_ID").Value());
    if (present && present->IsNull()) present->SetAsInteger(0);
    if (money) money->SetAsCurrency(rowMoney);
    row.Post();
  });
  return TFrmBaseBillFramework::SumDetailIntoHeader();
}

void TFrmBillOutStockFramework::RestoreTotals(const TTotals& before) {
  TFrmBaseBillFramework::RestoreTotals(before);
  if (FWrittenDefaults.empty() || !CdsDetail->Active()) return;
  CdsDetail->DisableControls();
  try {
    for (const TRowDefaults& written : FWrittenDefaults) {
      if (!CdsDetail->BookmarkValid(written.Row)) continue;
      CdsDetail->GotoBookmark(written.Row);
      CdsDetail->Edit();
      if (TField* field = CdsDetail->FindField("F_LOCATION_ID")) field->SetValue(written.Location);
      if (TField* field = CdsDetail->FindField("F_SOURCE_ID")) field->SetValue(written.SourceID);
      if (TField* field = CdsDetail->FindField("F_PRESENT")) field->SetValue(written.Present);
      if (TField* field = CdsDetail->FindField("F_MONEY")) field->SetValue(written.Money);
      CdsDetail->Post();
    }
  } catch (...) {
    CdsDetail->EnableControls();
    FWrittenDefaults.clear();
    throw;
  }
  CdsDetail->EnableControls();
  FWrittenDefaults.clear();
}

}  // namespace jxc
