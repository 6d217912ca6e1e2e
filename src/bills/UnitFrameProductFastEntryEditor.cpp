#include "bills/UnitFrameProductFastEntryEditor.h"

#include "bills/UnitBatchDetailLines.h"
#include "bills/UnitEntryPopups.h"
#include "bills/UnitFrmBaseBillFramework.h"
#include "bills/UnitUnitsInStock.h"
#include "editors/UnitEditorUtils.h"
#include "foundation/UnitSysParams.h"
#include "platform/Application.h"
#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/DBCtrls.h"
#include "platform/Exceptions.h"
#include "platform/ExtCtrls.h"
#include "platform/Format.h"
#include "platform/Keys.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"
#include "platform/ValueEdits.h"

namespace jxc {

namespace {

constexpr const char* kLocationSQL = "SELECT F_ID, F_NAME, F_PY FROM TB_STOCK_LOCATION";
constexpr const char* kUnitSQL = "SELECT F_ID, F_NAME FROM TB_PRODUCT_UNIT";
constexpr const char* kProductSQL =
    "SELECT F_ID, F_CODE, F_NAME,F_PY, F_UNIT, F_PRICE_JH, F_PRODUCT_TYPE_ID, F_CONFIG_ID FROM TB_PRODUCT_ATTRIBUTE "
    "WHERE F_STATUS = 0";
constexpr const char* kLocationSelectable = "入库库位可选";
constexpr const char* kNoColor = "请选择颜色";

int64_t HintID(const TControl& control) { return TryStrToInt64(control.Hint).value_or(0); }

Variant Id(int64_t id) { return Variant(static_cast<long long>(id)); }

// The row with that F_ID in the list, made current; false when none.
bool LocateID(TDataSet& list, int64_t id) { return list.Active() && list.Locate("F_ID", Id(id)); }

}  // namespace


TFrameProductFastEntryEditor::TFrameProductFastEntryEditor(TComponent* owner) : TFrameBase(owner) {
  auto label = [this](const char* name, const char* caption) {
    auto* made = NewControl<TLabel>(this, name, pnlContent);
    made->SetCaption(caption);
    return made;
  };
  lblProduct = label("lblProduct", "商品名称：");
  PopupProduct = NewControl<TPopupEdit>(this, "PopupProduct", pnlContent);
  label("lblConfig", "配置：");
  PopupConfig = NewControl<TPopupEdit>(this, "PopupConfig", pnlContent);
  label("lblColor", "颜色：");
  PopupColor = NewControl<TPopupEdit>(this, "PopupColor", pnlContent);
  label("lblLocation", "库位：");
  db_LookupLocation = NewControl<TLookupComboBox>(this, "db_LookupLocation", pnlContent);
  db_LookupLocation->KeyFieldNames = "F_ID";
  db_LookupLocation->ListFieldNames = "F_NAME";
  label("lblUnit", "单位：");
  db_LookupUnit = NewControl<TLookupComboBox>(this, "db_LookupUnit", pnlContent);
  db_LookupUnit->KeyFieldNames = "F_NAME";
  db_LookupUnit->ListFieldNames = "F_NAME";
  label("lblPrice", "单价：");
  edtPrice = NewControl<TCurrencyEdit>(this, "edtPrice", pnlContent);
  edtPrice->OnValidate = [this](TCustomEdit&, std::string& display, std::string& errorText, bool& error) {
    edtPricePropertiesValidate(display, errorText, error);
  };
  label("lblModeNo", "手机串码/卡号：");
  edtMobileModeNo = NewControl<TEdit>(this, "edtMobileModeNo", pnlContent);
  edtMobileModeNo->CharCase = TEditCharCase::ecUpperCase;
  // The scanner ends each number with Enter.
  edtMobileModeNo->OnKeyDown = [this](TWinControl&, int& key, TShiftState) {
    if (key != VK_RETURN) return;
    key = 0;
    btnAddToDetailClick();
    // The screen moves on from an edit at Enter; the scanner's next number belongs here all the same.
    Application().Scheduler().Post([alive = std::weak_ptr<bool>(FAlive), this] {
      if (!alive.expired()) ReadyForNextScan();
    });
  };
  chkBatchEnter = NewControl<TCheckBox>(this, "chkBatchEnter", pnlContent);
  chkBatchEnter->SetCaption("批量录入");
  btnAddToDetail = NewControl<TButton>(this, "btnAddToDetail", pnlContent);
  btnAddToDetail->SetCaption("加入明细");
  btnAddToDetail->OnClick = [this](TControl&) { btnAddToDetailClick(); };

  lstProduct = NewControl<TListBox>(this, "lstProduct", this);
  lstConfig = NewControl<TListBox>(this, "lstConfig", this);
  lstColor = NewControl<TListBox>(this, "lstColor", this);
  cdsTemp = new TClientDataSet(this);
  cdsTemp->SetName("cdsTemp");
  cdsProduct = new TClientDataSet(this);
  cdsProduct->SetName("cdsProduct");

  MakeEntryPopup(*PopupProduct, *lstProduct, [this](int64_t id) { ChooseProduct(id); }, [this] { return cdsProduct; });
  MakeEntryPopup(*PopupConfig, *lstConfig, [this](int64_t id) { ChooseConfig(id); },
             [this]() -> TDataSet* { return CacheHelper ? &CacheHelper->GetConfigs() : nullptr; });
  MakeEntryPopup(*PopupColor, *lstColor, [this](int64_t id) { ChooseColor(id); },
             [this]() -> TDataSet* { return CacheHelper ? &CacheHelper->GetColors() : nullptr; });
}

TFrameProductFastEntryEditor::~TFrameProductFastEntryEditor() = default;

void TFrameProductFastEntryEditor::AttachToBill(TFrmBaseBillFramework& bill) {
  FBill = &bill;
  SetParent(&bill);
  Align = TAlign::alTop;
  SetMainDataSet(bill.CdsDetail);
  DoInit();
}

void TFrameProductFastEntryEditor::DoInit() {
  TFrameBase::DoInit();
  auto source = [this](const char* name, TDataSet& rows) {
    auto* made = new TDataSource(this);
    made->SetName(name);
    made->SetDataSet(&rows);
    return made;
  };
  db_LookupLocation->SetListSource(source("dsLocation", Cache().GetCacheItem("TB_STOCK_LOCATION", kLocationSQL, 30)->GetDataSet()));
  db_LookupUnit->SetListSource(source("dsUnit", Cache().GetCacheItem("TB_PRODUCT_UNIT", kUnitSQL, 30)->GetDataSet()));
  std::unique_ptr<TClientDataSet> products = Database().OpenSQL(kProductSQL);
  cdsProduct->SetData(products->Data());
  db_LookupLocation->SetEnabled(SysParamBoolean(kLocationSelectable));
}

int64_t TFrameProductFastEntryEditor::ProductID() const { return HintID(*PopupProduct); }
int64_t TFrameProductFastEntryEditor::ConfigID() const { return HintID(*PopupConfig); }
int64_t TFrameProductFastEntryEditor::ColorID() const { return HintID(*PopupColor); }

void TFrameProductFastEntryEditor::ChooseProduct(int64_t productID) {
  if (!LocateID(*cdsProduct, productID)) throw Exception("商品[" + IntToStr(productID) + "]不存在");
  PopupProduct->Hint = IntToStr(productID);
  PopupProduct->SetText(cdsProduct->FieldByName("F_NAME").AsString());
  FProductTypeID = cdsProduct->FieldByName("F_PRODUCT_TYPE_ID").AsLargeInt();
  FUnit = cdsProduct->FieldByName("F_UNIT").AsString();
  db_LookupUnit->SetEditValue(FUnit.empty() ? Variant::Null() : Variant(FUnit));
  edtPrice->SetValue(cdsProduct->FieldByName("F_PRICE_JH").AsCurrency().ToDouble());
  const TField& config = cdsProduct->FieldByName("F_CONFIG_ID");
  if (config.IsNull() || config.AsLargeInt() == 0) {
    PopupConfig->Hint.clear();
    PopupConfig->SetText("");
  } else {
    ChooseConfig(config.AsLargeInt());
  }
}

void TFrameProductFastEntryEditor::ChooseConfig(int64_t configID) {
  TDataSet& configs = Cache().GetConfigs();
  if (!LocateID(configs, configID)) throw Exception("配置[" + IntToStr(configID) + "]不存在");
  PopupConfig->Hint = IntToStr(configID);
  PopupConfig->SetText(configs.FieldByName("F_NAME").AsString());
}

void TFrameProductFastEntryEditor::ChooseColor(int64_t colorID) {
  TDataSet& colors = Cache().GetColors();
  if (!LocateID(colors, colorID)) throw Exception("颜色[" + IntToStr(colorID) + "]不存在");
  PopupColor->Hint = IntToStr(colorID);
  PopupColor->SetText(colors.FieldByName("F_NAME").AsString());
}

Currency TFrameProductFastEntryEditor::Price() const {
  return Currency::TryParse(StringReplace(Trim(edtPrice->Text()), ",", "")).value_or(Currency());
}

void TFrameProductFastEntryEditor::edtPricePropertiesValidate(std::string& displayValue, std::string& errorText, bool& error) {
  const std::string typed = StringReplace(Trim(displayValue), ",", "");
  if (typed.empty()) return;
  const std::optional<Currency> price = Currency::TryParse(typed);
  if (!price || *price < Currency() || *price > TFrmBaseBillFramework::MaxPrice()) {
    error = true;
    errorText = "单价输入有误";
  }
}

void TFrameProductFastEntryEditor::CheckNotInStock(const std::string& modeNO) {
  const std::map<std::string, TDateTime> inStock = UnitsInStock(Database(), {modeNO});
  if (!inStock.empty()) throw Exception(InStockText(modeNO, inStock.begin()->second));
}

void TFrameProductFastEntryEditor::btnAddToDetailClick() {
  if (!FBill || !FBill->CdsDetail->Active()) return;
  const std::string modeNO = UpperCase(Trim(edtMobileModeNo->Text()));
  // The price typed last counts, and must be a price.
  edtPrice->ValidateEdit();
  if (chkBatchEnter->Checked()) {
    if (modeNO.empty()) {
      edtMobileModeNo->SetFocus();
      throw Exception("请输入串号或卡号");
    }
    CheckNotInStock(modeNO);
    FillNextRow(modeNO);
    ReadyForNextScan();
    return;
  }
  if (ProductID() == 0) {
    ShowTipMessage(MsgBox.get(), "请输入商品");
    PopupProduct->SetFocus();
    Abort();
  }
  if (ColorID() == 0) throw Exception(kNoColor);
  if (modeNO.empty()) {
    edtMobileModeNo->SetFocus();
    throw Exception("请输入串号或卡号");
  }
  if (Price() == Currency()) throw Exception("请输入单价");
  CheckNotInStock(modeNO);
  AddRow(modeNO);
  ReadyForNextScan();
}

void TFrameProductFastEntryEditor::AddRow(const std::string& modeNO) {
  TClientDataSet& detail = *FBill->CdsDetail;
  const TField* product = detail.FindField("F_PRODUCT_ID");
  const bool editing = detail.State() == dsEdit || detail.State() == dsInsert;
  const bool hasRow = editing || !detail.IsEmpty();
  // A row that already holds a product stays as it is: the unit gets a row of its own.
  if (!hasRow || (product && !product->IsNull())) detail.Append();
  else if (!editing) detail.Edit();
  try {
    SetFieldIfPresent(detail, "F_PRODUCT_ID", Id(ProductID()));
    SetFieldIfPresent(detail, "F_PRODUCT", Variant(PopupProduct->Text()));
    SetFieldIfPresent(detail, "F_PRODUCT_TYPE_ID", Id(FProductTypeID));
    SetFieldIfPresent(detail, "F_CONFIG_ID", ConfigID() ? Id(ConfigID()) : Variant::Null());
    SetFieldIfPresent(detail, "F_CONFIG", ConfigID() ? Variant(PopupConfig->Text()) : Variant::Null());
    SetFieldIfPresent(detail, "F_COLOR_ID", Id(ColorID()));
    SetFieldIfPresent(detail, "F_COLOR", Variant(PopupColor->Text()));
    if (!db_LookupLocation->EditValue().IsNullOrEmpty()) SetFieldIfPresent(detail, "F_LOCATION_ID", db_LookupLocation->EditValue());
    const Variant unit = db_LookupUnit->EditValue();
    SetFieldIfPresent(detail, "F_UNIT", unit.IsNullOrEmpty() ? Variant(FUnit) : unit);
    if (TField* price = detail.FindField("F_PRICE")) price->SetText(Price().ToString());
    if (TField* qty = detail.FindField("F_QTY")) qty->SetText("1");
    // Through the bill's serial entry: its duplicate check and serial list.
    detail.FieldByName("F_MODE_NO").SetText(modeNO);
    detail.Post();
  } catch (...) {
    detail.Cancel();
    throw;
  }
  if (FCallback) FCallback(detail);
}

void TFrameProductFastEntryEditor::FillNextRow(const std::string& modeNO) {
  TClientDataSet& detail = *FBill->CdsDetail;
  const TField* product = detail.FindField("F_PRODUCT_ID");
  if (detail.IsEmpty() && detail.State() != dsInsert) throw Exception("请输入商品");
  if (!product || product->IsNull()) throw Exception("请输入商品");
  TField* color = detail.FindField("F_COLOR_ID");
  const bool rowHasColor = color && !color->IsNull() && color->AsLargeInt() != 0;
  if (color && !rowHasColor && ColorID() == 0) throw Exception(kNoColor);
  if (detail.State() == dsBrowse) detail.Edit();
  try {
    detail.FieldByName("F_MODE_NO").SetText(modeNO);
    if (color && !rowHasColor) {
      color->SetValue(Id(ColorID()));
      SetFieldIfPresent(detail, "F_COLOR", Variant(PopupColor->Text()));
    }
    if (Price() > Currency())
      if (TField* price = detail.FindField("F_PRICE")) price->SetText(Price().ToString());
    detail.Post();
  } catch (...) {
    detail.Cancel();
    throw;
  }
  if (FCallback) FCallback(detail);
  detail.Next();
}

void TFrameProductFastEntryEditor::ReadyForNextScan() {
  edtMobileModeNo->SetFocus();
  edtMobileModeNo->SelectAll();
}

}  // namespace jxc
