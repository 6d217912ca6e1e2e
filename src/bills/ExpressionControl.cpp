#include "bills/ExpressionControl.h"

#include "foundation/CacheIntf.h"
#include "kernel/SysSvc.h"
#include "platform/ClassRegistry.h"
#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "platform/Format.h"
#include "platform/Text.h"

namespace jxc {

namespace {

// The editor goes into the container, fills it and takes the focus when it can. A date editor is aligned
// before it is placed, the others after.
void Place(TWinControl& editor, TWinControl* container, bool alignFirst = false) {
  if (alignFirst) editor.Align = TAlign::alClient;
  editor.SetParent(container);
  editor.Align = TAlign::alClient;
  if (container && editor.CanFocus()) editor.SetFocus();
}

bool SameKey(const Variant& a, const Variant& b) {
  if (a.IsNullOrEmpty() || b.IsNullOrEmpty()) return a.IsNullOrEmpty() == b.IsNullOrEmpty();
  return a == b;
}

std::shared_ptr<ICache> HostCache(const std::shared_ptr<ICache>& given) {
  std::shared_ptr<ICache> cache = given ? given : SysService::Get<ICache>();
  if (!cache) throw EInvalidOperation("缓存服务未注册");
  return cache;
}

// A table or view name: letters, digits and underscores, parts joined by dots.
bool IsTableName(std::string_view name) {
  if (name.empty() || name.front() == '.' || name.back() == '.') return false;
  for (char c : name)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.'))
      return false;
  return true;
}

}  // namespace

// --- date editors ----------------------------------------------------------------------------------------

TExpressionDateEdit::TExpressionDateEdit(TComponent* owner) : TDateEdit(owner) { SetDate(jxc::Date()); }

void TExpressionDateEdit::DoInit(const std::string&) { SetDate(Date()); }

void TExpressionDateEdit::DoShow(TWinControl* container) {
  Place(*this, container, true);
  SetDate(Date());
}

Variant TExpressionDateEdit::DoGetValue() {
  if (Modified()) ValidateEdit();
  if (EditValue().IsNull()) SetDate(Date());
  // The value goes into SQL text: one format whatever the user's date settings.
  return Variant(FormatDateTime("yyyy-mm-dd", Date()));
}

std::string TExpressionDateEdit::DoGetDisplayValue() {
  if (Modified()) ValidateEdit();
  if (EditValue().IsNull()) SetDate(Date());
  return FormatDateTime(FormatSettings().ShortDateFormat, Date());
}

void TStartDateEdit::DoInit(const std::string& params) {
  TExpressionDateEdit::DoInit(params);
  SetDate(Date() - 7);
}

// --- check box -------------------------------------------------------------------------------------------

void TExpressionCheckBox::DoInit(const std::string&) { SetChecked(false); }

// (A box that stayed out of the panel could not be ticked: it is placed as the other editors are.)
void TExpressionCheckBox::DoShow(TWinControl* container) { Place(*this, container); }

void TExpressionCheckBox::DoHide() { SetChecked(false); }

Variant TExpressionCheckBox::DoGetValue() { return Variant(Checked() ? 1 : 0); }

std::string TExpressionCheckBox::DoGetDisplayValue() { return Checked() ? "是" : "否"; }

// --- text editors ----------------------------------------------------------------------------------------

void TExpressionTextEdit::DoInit(const std::string&) { TextHint = "无"; }

void TExpressionTextEdit::DoShow(TWinControl* container) {
  Place(*this, container);
  SetText("");
}

void TExpressionTextEdit::DoHide() { SetText(""); }

Variant TExpressionTextEdit::DoGetValue() {
  if (Modified()) ValidateEdit();
  return Variant(Text());
}

std::string TExpressionTextEdit::DoGetDisplayValue() { return Text(); }

void TTextEditModeNO::DoInit(const std::string& params) {
  TExpressionTextEdit::DoInit(params);
  TextHint = "请输入串码或串码后5位";
}

Variant TTextEditModeNO::DoGetValue() {
  if (Modified()) ValidateEdit();
  const std::string modeNO = Trim(Text());
  if (CharCount(modeNO) < static_cast<size_t>(MinLength)) throw Exception("请输入5位以上串码");
  return Variant(modeNO);
}

std::string TTextEditModeNO::DoGetDisplayValue() { return Trim(Text()); }

// --- currency editor -------------------------------------------------------------------------------------

void TExpressionCurrencyEdit::DoInit(const std::string&) { SetValue(0); }

void TExpressionCurrencyEdit::DoShow(TWinControl* container) {
  Place(*this, container);
  SetText("");
}

void TExpressionCurrencyEdit::DoHide() { SetValue(0); }

Variant TExpressionCurrencyEdit::DoGetValue() {
  if (Modified()) ValidateEdit();
  return Variant(Value());
}

std::string TExpressionCurrencyEdit::DoGetDisplayValue() {
  if (Modified()) ValidateEdit();
  return FloatToStr(Value());
}

// --- lookup editors --------------------------------------------------------------------------------------

TExpressionLookupCombobox::TExpressionLookupCombobox(TComponent* owner) : TLookupComboBox(owner) {
  KeyFieldNames = "F_ID";
  ListFieldNames = "F_NAME;F_PY";
  ListFieldIndex = 0;
}

TExpressionLookupCombobox::~TExpressionLookupCombobox() {
  BeginDestroy();
  SetListSource(nullptr);
}

std::shared_ptr<ICache> TExpressionLookupCombobox::Cache() const { return HostCache(nullptr); }

void TExpressionLookupCombobox::UseList(TDataSet& list) {
  if (FDataSource) {
    SetListSource(nullptr);
    delete FDataSource;
  }
  FDataSource = new TDataSource(this);
  FDataSource->SetDataSet(&list);
}

void TExpressionLookupCombobox::DoInit(const std::string& params) {
  // The parameter goes into SQL text: only a plain name is let through.
  if (!IsTableName(params)) throw Exception("查询参数[" + params + "]不是有效的表名");
  item_ = Cache()->GetCacheItem(params, "SELECT F_ID, F_NAME, F_PY FROM " + params, 30, false);
  UseList(item_->GetDataSet());
}

void TExpressionLookupCombobox::DoShow(TWinControl* container) {
  Place(*this, container);
  SetListSource(FDataSource);
  SetEditValue(Variant::Null());
}

void TExpressionLookupCombobox::DoHide() {
  SetListSource(nullptr);
  delete FDataSource;
  FDataSource = nullptr;
  SetEditValue(Variant::Null());
}

Variant TExpressionLookupCombobox::DoGetValue() {
  if (Modified()) ValidateEdit();
  return EditValue();
}

std::string TExpressionLookupCombobox::DoGetDisplayValue() {
  if (Modified()) ValidateEdit();
  return Text();
}

void TPopupProductEdit::DoInit(const std::string&) { UseList(Cache()->GetProducts()); }
void TPopupCustomer::DoInit(const std::string&) { UseList(Cache()->GetCustomers()); }
void TPopupSupplier::DoInit(const std::string&) { UseList(Cache()->GetSuppliers()); }
void TPopupEmployeeEdit::DoInit(const std::string&) { UseList(Cache()->GetEmployees()); }

// --- registration ----------------------------------------------------------------------------------------

namespace {
const char* const kRegisteredEditors[] = {
    "TExpressionCurrencyEdit", "TExpressionDateEdit", "TExpressionLookupCombobox",
    "TTextEditModeNO",         "TExpressionTextEdit", "TPopupEmployeeEdit",
    "TPopupProductEdit",       "TPopupSupplier",      "TPopupCustomer"};
}  // namespace

void RegisterExpressionControls() {
  RegisterClass<TExpressionCurrencyEdit>("TExpressionCurrencyEdit");
  RegisterClass<TExpressionDateEdit>("TExpressionDateEdit");
  RegisterClass<TExpressionLookupCombobox>("TExpressionLookupCombobox");
  RegisterClass<TTextEditModeNO>("TTextEditModeNO");
  RegisterClass<TExpressionTextEdit>("TExpressionTextEdit");
  RegisterClass<TPopupEmployeeEdit>("TPopupEmployeeEdit");
  RegisterClass<TPopupProductEdit>("TPopupProductEdit");
  RegisterClass<TPopupSupplier>("TPopupSupplier");
  RegisterClass<TPopupCustomer>("TPopupCustomer");
}

void UnRegisterExpressionControls() {
  for (const char* name : kRegisteredEditors) UnRegisterClass(name);
}

// --- TPopupModbileModeNOProperties -----------------------------------------------------------------------

TPopupModbileModeNOProperties::TPopupModbileModeNOProperties(std::shared_ptr<ICache> cache)
    : cache_(std::move(cache)), listSource_(new TDataSource(nullptr)) {}

TPopupModbileModeNOProperties::~TPopupModbileModeNOProperties() {
  delete listSource_;
  list_.reset();
}

std::shared_ptr<TPopupModbileModeNOProperties> TPopupModbileModeNOProperties::Assign(TGridColumn& column,
                                                                                   std::shared_ptr<ICache> cache) {
  auto properties = std::make_shared<TPopupModbileModeNOProperties>(std::move(cache));
  TGridEditorProperties& p = column.Properties;
  p.Kind = TGridEditorKind::Lookup;
  p.ListSource = properties->ListSource();
  p.KeyFieldNames = "F_MODE_NO";
  p.ListFieldNames = "F_MODE_NO;F_PRODUCT";
  p.ListFieldIndex = 0;
  p.CreateEditor = [properties](TGridColumn& edited) -> TGridInplaceEditor* {
    return new TPopupModbileModeNO(edited, properties);
  };
  return properties;
}

TDataSet& TPopupModbileModeNOProperties::GetModeNOList(const std::string& productID) {
  const int64_t shop = OnGetShopID ? OnGetShopID() : 0;
  if (!list_ || stale_ || productID != listProduct_ || shop != listShop_) {
    std::unique_ptr<TClientDataSet> fresh = HostCache(cache_)->GetModeNOList(productID, shop);
    list_ = std::move(fresh);
    listProduct_ = productID;
    listShop_ = shop;
    stale_ = false;
  }
  return *list_;
}

std::string TPopupModbileModeNOProperties::GetDisplayLookupText(const Variant& key) {
  try {
    return key.IsNullOrEmpty() ? std::string() : key.ToString();
  } catch (const std::exception&) {
    return "";
  }
}

// --- TPopupModbileModeNO ---------------------------------------------------------------------------------

TPopupModbileModeNO::TPopupModbileModeNO(TGridColumn& column,
                                         std::shared_ptr<TPopupModbileModeNOProperties> properties)
    : TGridInplaceLookupEdit(column), properties_(std::move(properties)) {
  if (!properties_) properties_ = std::make_shared<TPopupModbileModeNOProperties>();
  AutoSelect = false;
  DropDownListStyle = TDropDownListStyle::lsEditList;
  DropDownRows = 12;
  DropDownSizeable = true;
  ListFieldNames = "F_MODE_NO;F_PRODUCT";
  KeyFieldNames = "F_MODE_NO";
  ListFieldIndex = 0;
  ListHeaderVisible = false;
  GridMode = true;
  DropDownAutoSize = false;
  DropDownWidth = 180;
  DropDownHeight = 280;
  ListColumns = {{"F_MODE_NO", 100}, {"F_PRODUCT", 120}};
  SetListSource(properties_->ListSource());
}

TPopupModbileModeNO::~TPopupModbileModeNO() {
  BeginDestroy();
  // The list belongs to the column and outlives this editor: no handler of ours may stay on it.
  StopFiltering();
}

std::string TPopupModbileModeNO::GetDisplayLookupText(const Variant& key) const {
  return TPopupModbileModeNOProperties::GetDisplayLookupText(key);
}

const std::vector<TField*>& TPopupModbileModeNO::GetFieldList() {
  if (!FFieldList) {
    FFieldList = std::make_unique<std::vector<TField*>>();
    if (TDataSet* list = ListDataSet())
      for (const TGridLookupListColumn& column : ListColumns)
        if (!column.FieldName.empty())
          if (TField* field = list->FindField(column.FieldName)) FFieldList->push_back(field);
  }
  return *FFieldList;
}

void TPopupModbileModeNO::UpdateFilterFields() {
  FFieldList.reset();
  GetFieldList();
}

void TPopupModbileModeNO::DoInitPopup() {
  StopFiltering();
  if (ListSource() && !Properties().OnInitPopup) {
    TDataSet* detail = DataSet();
    if (detail && detail->Active()) {
      TField* kind = detail->FindField("F_KIND");
      const int billKind = kind && !kind->IsNull() ? kind->AsInteger() : 0;
      FModeNO = &detail->FieldByName(billKind == 10 || billKind == 11 ? "F_NEW_MODE_NO" : "F_MODE_NO");
      FProduct = &FModeNO->DataSet().FieldByName("F_PRODUCT_ID");
      ListSource()->SetDataSet(&properties_->GetModeNOList(FProduct->AsString()));
    }
  }
  // The list may be another dataset than at the last drop-down (or the same one read again): the search
  // fields are always those of the list shown now.
  if (ListSource() && ListSource()->DataSet()) UpdateFilterFields();
  FOldEditValue = EditValue();
  TGridInplaceLookupEdit::DoInitPopup();
}

void TPopupModbileModeNO::DoChange() {
  if (Focused() && DroppedDown()) {
    KillTimer(FilterTimerID);
    SetTimer(FilterTimerID, FilterPause);
  }
  TGridInplaceLookupEdit::DoChange();
}

void TPopupModbileModeNO::WMTimer(int id) {
  if (id != FilterTimerID) {
    TGridInplaceLookupEdit::WMTimer(id);
    return;
  }
  KillTimer(FilterTimerID);
  if (Focused() && DroppedDown()) _FilterListSource();
}

void TPopupModbileModeNO::_FilterListSource() {
  TDataSet* list = ListDataSet();
  if (!list) return;
  list->DisableControls();
  try {
    list->SetFiltered(false);
    list->SetOnFilterRecord([this](TDataSet& dataSet, bool& accept) { _OnFilterRecord(dataSet, accept); });
    filtering_ = list;
    // Auto-completion selects the completed tail: only what the user typed before it counts. Emptied
    // text shows the whole list again.
    const std::string text = Text();
    FFindText = SelLength() > 0 ? Utf32ToUtf8(Utf8ToUtf32(text).substr(0, static_cast<size_t>(SelStart()))) : text;
    list->SetFiltered(!FFindText.empty());
  } catch (...) {
    list->EnableControls();
    throw;
  }
  list->EnableControls();
  SetModified(true);
  SyncLookupKeyWithList();
}

void TPopupModbileModeNO::_OnFilterRecord(TDataSet&, bool& accept) {
  const std::vector<TField*>& fields = GetFieldList();
  accept = true;
  if (FFindText.empty() || fields.empty()) return;
  // Plain text, found anywhere, without case: the last digits of a serial number find it.
  for (TField* field : fields)
    if (ContainsText(field->AsString(), FFindText)) return;
  accept = false;
}

void TPopupModbileModeNO::StopFiltering() {
  if (!filtering_) return;
  TDataSet* list = filtering_;
  filtering_ = nullptr;
  list->SetFiltered(false);
  list->SetOnFilterRecord(nullptr);
}

void TPopupModbileModeNO::DoCloseDropDown(bool accept) {
  KillTimer(FilterTimerID);
  // Accepted, the close-up still needs the filtered list's chosen row; it stops filtering itself.
  if (!accept) StopFiltering();
  TGridInplaceLookupEdit::DoCloseDropDown(accept);
}

void TPopupModbileModeNO::DoCloseUp(bool accepted) {
  // The list is left unfiltered and without our handler whatever happens below.
  StopFiltering();
  if (Properties().OnCloseUp) {
    TGridInplaceLookupEdit::DoCloseUp(accepted);
    return;
  }
  TDataSet* list = ListDataSet();
  const Variant key = LookupKey();
  TGridTableView* view = GridView();
  if (ListSource() && list && (list->IsEmpty() || key.IsNullOrEmpty())) {
    TGridInplaceLookupEdit::DoCloseUp(accepted);
    return;  // nothing chosen: no change
  }
  if (ListSource() && list && FProduct && FModeNO) {
    if (SameKey(FModeNO->Value(), key)) {
      TGridInplaceLookupEdit::DoCloseUp(accepted);
      return;  // the row holds that unit already
    }
    if (!list->Locate("F_MODE_NO", key)) return;  // the unit is not in the list: nothing is taken from another
    FillRow(FModeNO->DataSet(), *list, key);
    if (view) view->DataController().Append();  // ready for the next unit
  }
  TGridInplaceLookupEdit::DoCloseUp(accepted);
  if (FOnEditValueChanged && !SameKey(EditValue(), FOldEditValue)) {
    auto handler = FOnEditValueChanged;
    handler(*this);
  }
}

void TPopupModbileModeNO::FillRow(TDataSet& detail, TDataSet& list, const Variant& key) {
  const std::string modeNO = key.ToString();
  if (properties_->OnCheckModeNO) properties_->OnCheckModeNO(modeNO);

  const TDataSetState stateBefore = detail.State();
  std::vector<Variant> before;
  before.reserve(static_cast<size_t>(detail.FieldCount()));
  for (int i = 0; i < detail.FieldCount(); ++i) before.push_back(detail.Fields(i).Value());
  try {
    if (detail.State() == dsBrowse) detail.Edit();
    TField* kindField = detail.FindField("F_KIND");
    const int kind = kindField && !kindField->IsNull() ? kindField->AsInteger() : 0;
    auto copy = [&](const char* to, const char* from) { detail.FieldByName(to).SetValue(list.FieldByName(from).Value()); };
    auto enter = [&](const char* to, const char* from) { detail.FieldByName(to).SetText(list.FieldByName(from).AsString()); };
    if (kind == 10 || kind == 11) {
      // An exchange: the unit goes to the new side of the row.
      enter("F_NEW_PRODUCT_ID", "F_PRODUCT_ID");
      copy("F_NEW_PRODUCT", "F_PRODUCT");
      copy("F_NEW_COLOR_ID", "F_COLOR_ID");
      copy("F_NEW_CONFIG_ID", "F_CONFIG_ID");
      copy("F_NEW_LOCATION_ID", "F_LOCATION_ID");
    } else {
      if (kind == 9) {
        detail.FieldByName("F_NEW_PRICE_EMPLOYEE").SetAsCurrency(list.FieldByName("F_PRICE_EMPLOYEE").AsCurrency());
        enter("F_PRICE", "F_PRICE");
      } else if (kind == 23 || kind == 26) {
        copy("F_SHOP_ID", "F_SHOP_ID");
        enter("F_PRICE", "F_PRICE");
      }
      for (const char* name : {"F_LOCATION_ID", "F_PRODUCT_TYPE_ID", "F_PRODUCT_ID", "F_PRODUCT", "F_COLOR_ID",
                               "F_CONFIG_ID", "F_UNIT"})
        copy(name, name);
    }
    FModeNO->SetText(modeNO);  // the bill's own serial-number handler decides
  } catch (...) {
    // Refused: the row goes back to what it held, with none of the row's handlers run again.
    if (stateBefore == dsBrowse && detail.State() == dsEdit) {
      detail.Cancel();
    } else if (detail.State() != dsBrowse) {
      for (int i = 0; i < detail.FieldCount() && i < static_cast<int>(before.size()); ++i) {
        TField& field = detail.Fields(i);
        if (SameKey(field.Value(), before[static_cast<size_t>(i)]) &&
            field.Value().IsNull() == before[static_cast<size_t>(i)].IsNull())
          continue;
        auto validate = std::move(field.OnValidate);
        auto change = std::move(field.OnChange);
        field.OnValidate = nullptr;
        field.OnChange = nullptr;
        try {
          field.SetValue(before[static_cast<size_t>(i)]);
        } catch (...) {
        }
        field.OnValidate = std::move(validate);
        field.OnChange = std::move(change);
      }
    }
    throw;
  }
}

}  // namespace jxc
