#include "bills/UnitFrmFasteEnterProduct.h"

#include <vector>

#include "bills/UnitBatchDetailLines.h"
#include "bills/UnitEntryPopups.h"
#include "bills/UnitFrmBaseBillFramework.h"
#include "editors/UnitEditorUtils.h"
#include "foundation/CacheIntf.h"
#include "foundation/UnitPublicUtils.h"
#include "platform/Actions.h"
#include "platform/DBCtrls.h"
#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/Exceptions.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "platform/Text.h"

namespace jxc {

namespace {

constexpr const char* kUnitSQL = "SELECT F_ID, F_NAME FROM TB_PRODUCT_UNIT";


bool NoValue(const Variant& value) { return value.IsNullOrEmpty() || value.ToString() == "0"; }

}  // namespace

TFrmFasteEnterProduct::TFrmFasteEnterProduct(TComponent* owner) : TFrmBaseDlgEditor(owner) {
  SetDisplayTitle("商品录入");
  FBill = dynamic_cast<TFrmBaseBillFramework*>(owner);
  auto source = [this](const char* name) {
    auto* made = new TDataSource(this);
    made->SetName(name);
    return made;
  };
  dsLookupColor = source("dsLookupColor");
  dsLookupConfig = source("dsLookupConfig");
  dsLookupUnit = source("dsLookupUnit");
  dsProductList = source("dsProductList");
  dsSupplierList = source("dsSupplierList");
  auto label = [this](const char* name, const char* caption) { NewControl<TLabel>(this, name, this)->SetCaption(caption); };

  label("lblProduct", "商品名称：");
  db_PopupProduct = NewControl<TPopupEdit>(this, "db_PopupProduct", this);
  db_PopupProduct->ReadOnly = false;
  lstProduct = NewControl<TListBox>(this, "lstProduct", this);
  MakeEntryPopup(*db_PopupProduct, *lstProduct, [this](int64_t id) { ChooseProduct(id); },
                 [this] { return dsProductList->DataSet(); });
  label("lblConfig", "配        置：");
  db_LookupConfig = Lookup("db_LookupConfig", "F_CONFIG_ID", dsLookupConfig, "F_ID", "F_NAME");
  label("lblColor", "颜       色：");
  db_LookupColor = Lookup("db_LookupColor", "F_COLOR_ID", dsLookupColor, "F_ID", "F_NAME");
  label("lblUnit", "单        位：");
  db_LookupUnit = Lookup("db_LookupUnit", "F_UNIT", dsLookupUnit, "F_NAME", "F_NAME");
  label("lblJHPrice", "进  货  价：");
  db_edtJHPrice = NewControl<TDBCurrencyEdit>(this, "db_edtJHPrice", this);
  db_edtJHPrice->SetDataSource(dsMain);
  db_edtJHPrice->SetDataField("F_COST_PRICE");
  label("lblEmployeePrice", "员工成本价：");
  cxDBCurrencyEdit1 = NewControl<TDBCurrencyEdit>(this, "cxDBCurrencyEdit1", this);
  cxDBCurrencyEdit1->SetDataSource(dsMain);
  cxDBCurrencyEdit1->SetDataField("F_PRICE_EMPLOYEE");
  label("lblSupplier", "供   应  商：");
  db_Customer = Lookup("db_Customer", "F_ROOT_ID", dsSupplierList, "F_ID", "F_NAME;F_PY");
  db_Customer->DropDownRows = 12;
  label("lblModeNO", "手机串码/卡号：");
  db_edtModeNO = NewControl<TDBEdit>(this, "db_edtModeNO", this);
  db_edtModeNO->SetDataSource(dsMain);
  db_edtModeNO->SetDataField("F_MODE_NO");
  db_edtModeNO->CharCase = TEditCharCase::ecUpperCase;
  label("lblPrice", "单        价：");
  db_edtPrice = NewControl<TDBCurrencyEdit>(this, "db_edtPrice", this);
  db_edtPrice->SetDataSource(dsMain);
  db_edtPrice->SetDataField("F_PRICE");
  cxDBDateEdit1 = NewControl<TDBDateEdit>(this, "cxDBDateEdit1", this);
  cxDBDateEdit1->SetDataSource(dsMain);
  cxDBDateEdit1->SetDataField("F_IN_DATE");
}

TFrmFasteEnterProduct::~TFrmFasteEnterProduct() { RestoreModeNOHandler(); }

TDBLookupComboBox* TFrmFasteEnterProduct::Lookup(const char* name, const char* field, TDataSource* list, const char* key,
                                                const char* shown) {
  auto* lookup = NewControl<TDBLookupComboBox>(this, name, this);
  lookup->SetListSource(list);
  lookup->KeyFieldNames = key;
  lookup->ListFieldNames = shown;
  lookup->SetDataSource(dsMain);
  lookup->SetDataField(field);
  return lookup;
}

void TFrmFasteEnterProduct::DoShow() {
  TFrmBaseDlgEditor::DoShow();
  if (ICache* cache = CacheHelper().get()) {
    dsLookupColor->SetDataSet(&cache->GetColors());
    dsLookupConfig->SetDataSet(&cache->GetConfigs());
    dsProductList->SetDataSet(&cache->GetProducts());
    dsSupplierList->SetDataSet(&cache->GetSuppliers());
    dsLookupUnit->SetDataSet(&cache->GetCacheItem("TB_PRODUCT_UNIT", kUnitSQL, 30)->GetDataSet());
  }
  TDataSet* detail = DataSet();
  if (!detail || !detail->Active()) return;
  // The number is decided here, once, while the dialog shows.
  if (TField* modeNO = detail->FindField("F_MODE_NO"); modeNO && !FHandlerOff) {
    FModeNOHandler = modeNO->OnSetText;
    modeNO->OnSetText = nullptr;
    FDetail = detail;
    FHandlerOff = true;
  }
  AppendOwnRow();
  SetActiveControl(db_PopupProduct);
}

void TFrmFasteEnterProduct::AppendOwnRow() {
  TDataSet& detail = *DataSet();
  detail.Append();
  FOwnRow = true;
}

bool TFrmFasteEnterProduct::TypingOwnRow() const {
  const TDataSet* detail = DataSet();
  return FOwnRow && detail && detail->State() == dsInsert;
}

void TFrmFasteEnterProduct::RestoreModeNOHandler() {
  if (!FHandlerOff) return;
  FHandlerOff = false;
  if (TField* modeNO = FDetail && FDetail->Active() ? FDetail->FindField("F_MODE_NO") : nullptr)
    modeNO->OnSetText = std::move(FModeNOHandler);
  FModeNOHandler = nullptr;
  FDetail = nullptr;
}

void TFrmFasteEnterProduct::ChooseProduct(int64_t productID) {
  TDataSet* products = dsProductList->DataSet();
  TDataSet* row = DataSet();
  if (!row || !products || !products->Active() || !products->Locate("F_ID", Variant(static_cast<long long>(productID))))
    throw Exception("商品[" + IntToStr(productID) + "]不存在");
  if (row->State() == dsBrowse) row->Edit();
  SetFieldIfPresent(*row, "F_PRODUCT_ID", products->FieldByName("F_ID").Value());
  SetFieldIfPresent(*row, "F_PRODUCT", products->FieldByName("F_NAME").Value());
  SetFieldIfPresent(*row, "F_CONFIG_ID", products->FieldByName("F_CONFIG_ID").Value());
  SetFieldIfPresent(*row, "F_UNIT", products->FieldByName("F_UNIT").Value());
  SetFieldIfPresent(*row, "F_PRODUCT_TYPE_ID", products->FieldByName("F_PRODUCT_TYPE_ID").Value());
  const Variant purchase = products->FieldByName("F_PRICE_JH").Value();
  SetFieldIfPresent(*row, "F_COST_PRICE", purchase);
  SetFieldIfPresent(*row, "F_PRICE", purchase);
  if (const TField* employee = products->FindField("F_PRICE_EMPLOYEE")) SetFieldIfPresent(*row, "F_PRICE_EMPLOYEE", employee->Value());
  if (const TField* supplier = products->FindField("F_CUSTOMER_ID"); supplier && !NoValue(supplier->Value()))
    db_Customer->SetEditValue(supplier->Value());
  db_PopupProduct->SetText(products->FieldByName("F_NAME").AsString());
}

bool TFrmFasteEnterProduct::DoSave() {
  TDataSet* row = DataSet();
  if (!row || !row->Active()) return false;
  // Leaving the focused editor hands its text to the field.
  SetActiveControl(nullptr);
  if (row->State() == dsBrowse) {
    if (row->IsEmpty()) return false;
    row->Edit();
  }
  const TField* supplier = row->FindField("F_ROOT_ID");
  if (!supplier || NoValue(supplier->Value()) || Trim(db_Customer->Text()).empty()) throw Exception("请选择供应商");
  TField& modeNOField = row->FieldByName("F_MODE_NO");
  const std::string modeNO = UpperCase(Trim(modeNOField.AsString()));
  if (modeNO.empty()) throw Exception("请输入串码");
  if (FBill) FBill->CheckModeNO(modeNO, false);

  // What the row held, given back when it cannot be posted.
  std::vector<Variant> before;
  for (int i = 0; i < row->FieldCount(); ++i) before.push_back(row->Fields(i).Value());
  auto restore = [&] {
    for (int i = 0; i < row->FieldCount(); ++i) row->Fields(i).SetValue(before[static_cast<size_t>(i)]);
  };
  try {
    modeNOField.SetAsString(modeNO);
    if (row->FindField("F_IN_OUT")) {
      row->FieldByName("F_IN_OUT").SetAsString("I");
      SetFieldIfPresent(*row, "F_QTY", Variant(0));
    } else {
      SetFieldIfPresent(*row, "F_QTY", Variant(1));
    }
    if (TField* actual = row->FindField("F_QTY_ACTUAL")) actual->SetText("1");
    const Currency price = row->FindField("F_PRICE") ? row->FieldByName("F_PRICE").AsCurrency() : Currency();
    if (TField* cost = row->FindField("F_COST_PRICE"); cost && cost->AsCurrency() <= Currency()) cost->SetAsCurrency(price);
    SetFieldIfPresent(*row, "F_MONEY", Variant(Currency()));
    if (TField* costMoney = row->FindField("F_COST_MONEY")) {
      costMoney->SetAsCurrency(price * 1);
      SetFieldIfPresent(*row, "F_GOODS_MONEY", Variant(price * 1));
    }
    SetFieldIfPresent(*row, "F_REMARK", Variant("新串码"));
    if (TField* location = row->FindField("F_LOCATION_ID"); location && NoValue(location->Value()))
      location->SetValue(Variant(SysConfig.LocationID));
  } catch (...) {
    restore();
    throw;
  }
  if (!TFrmBaseDlgEditor::DoSave()) {
    if (row->State() != dsBrowse) restore();
    return false;
  }
  FOwnRow = false;
  if (FBill) FBill->CheckModeNO(modeNO, true);
  return true;
}

void TFrmFasteEnterProduct::actCopyAddExecute(TAction&) {
  if (!DoSave()) return;
  AppendCurrentRecord(*DataSet(), [](const std::string& name) { return !SameText(name, "F_ID") && !SameText(name, "F_MODE_NO"); });
  FOwnRow = true;
  // The next unit of the same product only needs its serial number.
  SetActiveControl(db_edtModeNO);
}

void TFrmFasteEnterProduct::btnCancelClick() {
  if (TypingOwnRow()) DataSet()->Cancel();
  FOwnRow = false;
  TFrmBaseDlgEditor::actCancelExecute();
}

void TFrmFasteEnterProduct::FormClose(TCloseAction& action) {
  if (TypingOwnRow()) DataSet()->Cancel();
  FOwnRow = false;
  RestoreModeNOHandler();
  TFrmBaseDlgEditor::FormClose(action);
}

TFrmFasteEnterProduct* GetFasteEnterProduct(TComponent* owner) {
  return OwnedDialog<TFrmFasteEnterProduct>(owner, "FrmFasteEnterProduct");
}

}  // namespace jxc
