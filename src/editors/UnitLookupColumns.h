#pragma once
// The search lists a grid column can drop down, by name, so that a screen whose columns are configured
// (the bill framework's detail grid) finds them without knowing their units:
//   "GetProductList"          products; fills F_PRODUCT_ID, F_PRODUCT, F_UNIT, F_CONFIG_ID, F_CONFIG,
//                             F_PRODUCT_TYPE_ID
//   "GetProductListEx"        the same with the retail price listed
//   "GetLookupProductColor"   colours; fills F_COLOR_ID, F_COLOR
//   "GetLookupProductConfig"  configurations; fills F_CONFIG_ID, F_CONFIG
//   "GetLookupSysStock"       units in stock of the bill's shop, of the row's product and colour when the
//                             row names them (F_PRODUCT_ID, F_COLOR_ID not 0); fills the unit's product,
//                             colour, configuration, location, unit and type, and enters the serial number
//                             into the column's own field through its text entry
// Each list belongs to its column and is made or brought up to date (shop, product, colour) at every
// drop-down; the cells are searched by typing, as filter/UnitFilterPopupEdit.h describes.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "filter/UnitFrameBaseFilterEx.h"

namespace jxc {

class TGridColumn;

struct TColumnLookupContext {
  // The shop whose stock is listed, asked at each drop-down ("": the user's current shop; "0": every shop).
  std::function<std::string()> ShopID;
  // Replaces the default filling of the row (null: the default).
  TDataSetCallback OnChoose;
};

// Puts the named list on the column; false when no list has that name (the column is left as it was).
bool AssignColumnLookup(TGridColumn& column, std::string_view name, TColumnLookupContext context = {});
// The names AssignColumnLookup knows, in the order above.
std::vector<std::string> ColumnLookupNames();

}  // namespace jxc
