#include "editors/UnitLookupColumns.h"

#include "editors/UnitFrameBaseLookupConfig.h"
#include "editors/UnitFrameLookupSysStock.h"
#include "filter/UnitFilterPopupEdit.h"
#include "filter/UnitFrameProductFilter.h"
#include "platform/DataSource.h"
#include "platform/Grid.h"
#include "platform/Text.h"

namespace jxc {

namespace {

using TColumnLookupMaker = TFrameBaseFilterEx* (*)(TGridColumn& column, const TColumnLookupContext& context);

// The row's value of a key field; 0 when the row lacks it or it is empty.
int64_t RowKey(TGridColumn& column, const char* fieldName) {
  TDataSource* source = column.View() ? column.View()->DataController().DataSource() : nullptr;
  TDataSet* row = source ? source->DataSet() : nullptr;
  TField* field = row && row->Active() ? row->FindField(fieldName) : nullptr;
  return field && !field->IsNull() ? StrToInt64Def(field->AsString(), 0) : 0;
}

TFrameBaseFilterEx* StockOfRow(TGridColumn& column, const TColumnLookupContext& context) {
  TStockLookupFilter filter;
  filter.ProductID = RowKey(column, "F_PRODUCT_ID");
  filter.ColorID = RowKey(column, "F_COLOR_ID");
  return GetLookupSysStock(&column, column.Field(), context.ShopID ? context.ShopID() : std::string(), filter,
                           context.OnChoose);
}

struct TColumnLookup {
  const char* Name;
  TColumnLookupMaker Make;
};

constexpr TColumnLookup kLookups[] = {
    {"GetProductList", [](TGridColumn& c, const TColumnLookupContext& x) -> TFrameBaseFilterEx* { return GetProductList(&c, "", x.OnChoose); }},
    {"GetProductListEx", [](TGridColumn& c, const TColumnLookupContext& x) -> TFrameBaseFilterEx* { return GetProductListEx(&c, "", x.OnChoose); }},
    {"GetLookupProductColor", [](TGridColumn& c, const TColumnLookupContext& x) -> TFrameBaseFilterEx* { return GetLookupProductColor(&c, x.OnChoose); }},
    {"GetLookupProductConfig", [](TGridColumn& c, const TColumnLookupContext& x) -> TFrameBaseFilterEx* { return GetLookupProductConfig(&c, x.OnChoose); }},
    {"GetLookupSysStock", &StockOfRow},
};

}  // namespace

bool AssignColumnLookup(TGridColumn& column, std::string_view name, TColumnLookupContext context) {
  for (const TColumnLookup& lookup : kLookups) {
    if (!SameText(lookup.Name, name)) continue;
    const TColumnLookupMaker make = lookup.Make;
    UseLookupEditor(column, nullptr, [make, context](TGridColumn& owner) { return make(owner, context); });
    return true;
  }
  return false;
}

std::vector<std::string> ColumnLookupNames() {
  std::vector<std::string> names;
  for (const TColumnLookup& lookup : kLookups) names.emplace_back(lookup.Name);
  return names;
}

}  // namespace jxc
