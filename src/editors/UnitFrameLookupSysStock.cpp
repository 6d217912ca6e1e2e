#include "editors/UnitFrameLookupSysStock.h"

#include "filter/UnitBaseLookups.h"
#include "platform/Grid.h"
#include "platform/Text.h"

namespace jxc {

namespace {

const std::vector<std::pair<const char*, const char*>> kUnitCopy = {
    {"F_PRODUCT_ID", "F_PRODUCT_ID"}, {"F_PRODUCT", "F_PRODUCT"},       {"F_COLOR_ID", "F_COLOR_ID"},
    {"F_COLOR", "F_COLOR"},           {"F_CONFIG_ID", "F_CONFIG_ID"},   {"F_CONFIG", "F_CONFIG"},
    {"F_LOCATION_ID", "F_LOCATION_ID"}, {"F_UNIT", "F_UNIT"},           {"F_PRODUCT_TYPE_ID", "F_PRODUCT_TYPE_ID"}};

// The unit into the owner's record, its serial number into the field through the field's text entry.
TDataSetCallback CopyUnit(TComponent* owner, TField* field) {
  TDataSet* fieldRecord = field ? &field->DataSet() : nullptr;
  const std::string fieldName = field ? field->FieldName() : std::string();
  return [owner, fieldRecord, fieldName](TDataSet& list) {
    TDataSet* record = fieldRecord ? fieldRecord : OwnerDataSet(owner);
    if (!record || !record->Active()) return;
    CopyChosenFields(list, *record, kUnitCopy);
    if (TField* serial = fieldName.empty() ? nullptr : record->FindField(fieldName))
      serial->SetText(list.FieldByName("F_MODE_NO").AsString());
  };
}

std::string StockWhere(const std::string& shop, const TStockLookupFilter& filter) {
  std::string conditions;
  if (filter.ProductID != 0) conditions += " AND F_PRODUCT_ID = " + IntToStr(filter.ProductID);
  if (filter.ColorID != 0) conditions += " AND F_COLOR_ID = " + IntToStr(filter.ColorID);
  conditions += filter.Condition;
  if (shop == "0") return " WHERE 1= 1   " + conditions;
  return " WHERE  F_SHOP_ID  = " + shop + conditions;
}

TFrameLookupSysStock* StockList(TComponent* owner, const char* name, const std::string& where, TDataSetCallback callback) {
  return ServeLookup<TFrameLookupSysStock>(owner, name, [&](TFrameLookupSysStock& frame, bool) { frame.SetFilter(where); },
                                           std::move(callback));
}

}  // namespace

TModeNOMatch ModeNOSearchKind(const std::string& text) {
  const size_t length = CharCount(Trim(text));
  if (length == 0) return TModeNOMatch::None;
  if (length >= static_cast<size_t>(TFrameLookupSysStock::MinSuffix) && length <= static_cast<size_t>(TFrameLookupSysStock::MaxSuffix))
    return TModeNOMatch::Suffix;
  return TModeNOMatch::Exact;
}

bool ModeNOMatches(const std::string& serial, const std::string& text, TModeNOMatch match) {
  const std::string wanted = UpperCase(Trim(text));
  switch (match) {
    case TModeNOMatch::Exact: return UpperCase(serial) == wanted;
    case TModeNOMatch::Suffix: return !wanted.empty() && EndsText(wanted, serial);
    default: return false;
  }
}

TFrameLookupSysStock::TFrameLookupSysStock(TComponent* owner) : TFrameBaseFilterEx(owner) {
  SetTableName("VI_GetSysStock");
  tvFilterColumn1->SetFieldName("F_MODE_NO");
  tvFilterColumn1->Caption = "串码";
  tvFilterColumn2->SetFieldName("F_PRODUCT");
  tvFilterColumn2->Caption = "商品";
  tvFilterColumn3->SetFieldName("F_COLOR");
  tvFilterColumn3->Caption = "颜色";
  tvFilter->CreateColumn("F_SHOP", "店铺");
  tvFilter->CreateColumn("F_LOCATION", "库位");
  tvFilter->CreateColumn("F_QTY", "数量");
}

void TFrameLookupSysStock::UpdateColumns() {
  for (TGridColumn* column : tvFilter->ColumnList())
    column->Visible = !cdsMain->Active() || cdsMain->FindField(column->FieldName());
}

void TFrameLookupSysStock::DoFilter(const std::string& text) {
  if (!cdsMain->Active()) return;
  const std::string wanted = UpperCase(Trim(text));
  TModeNOMatch match = ModeNOSearchKind(wanted);
  // A unit carrying the whole text wins over units that only end with it.
  if (match == TModeNOMatch::Suffix && cdsMain->FindField("F_MODE_NO")) {
    cdsMain->SetFiltered(false);
    if (cdsMain->Locate("F_MODE_NO", Variant(wanted), loCaseInsensitive)) match = TModeNOMatch::Exact;
  }
  tvFilter->BeginUpdate();
  cdsMain->DisableControls();
  try {
    cdsMain->SetFiltered(false);
    cdsMain->SetOnFilterRecord(nullptr);
    if (!wanted.empty()) {
      cdsMain->SetOnFilterRecord([wanted, match](TDataSet& list, bool& accept) {
        const TField* serial = list.FindField("F_MODE_NO");
        accept = serial && !serial->IsNull() && ModeNOMatches(serial->AsString(), wanted, match);
      });
      cdsMain->SetFiltered(true);
    }
    cdsMain->First();
  } catch (...) {
    cdsMain->EnableControls();
    tvFilter->EndUpdate();
    throw;
  }
  cdsMain->EnableControls();
  tvFilter->EndUpdate();
}

TFrameLookupSysStock* GetLookupSysStock(TComponent* owner, TField* field, const std::string& shopID,
                                        const TStockLookupFilter& filter, TDataSetCallback callback) {
  const std::string shop = Trim(shopID) == "0" ? std::string("0") : LookupShopID(shopID);
  return StockList(owner, "StockLookup", StockWhere(shop, filter),
                   callback ? std::move(callback) : CopyUnit(owner, field));
}

TFrameLookupSysStock* GetLookupModeNOList(TComponent* owner, const std::string& text, bool allShops,
                                          TDataSetCallback callback) {
  const std::string shop = allShops ? std::string("0") : LookupShopID("");
  TStockLookupFilter filter;
  filter.Condition = " AND F_MODE_NO IS NOT NULL";
  TFrameLookupSysStock* frame = StockList(owner, "ModeListLookup", StockWhere(shop, filter),
                                          callback ? std::move(callback) : CopyUnit(owner, nullptr));
  frame->SearchFor(text);
  return frame;
}

}  // namespace jxc
