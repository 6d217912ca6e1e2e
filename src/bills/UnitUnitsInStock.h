#pragma once
// Whether units are in stock now. A serial-numbered unit in stock cannot come in a second time: the
// stock-in screen (typed, scanned and pasted numbers) and the fast entry panel ask here.

#include <map>
#include <string>
#include <vector>

#include "platform/DateTime.h"

namespace jxc {

class IDBAccess;

// The units of those serial numbers that are in stock now (in any shop, TB_SYS_STOCK with F_HAVE_QTY > 0),
// each with its in-date (zero when the stock row has none). One statement per 500 numbers.
std::map<std::string, TDateTime> UnitsInStock(IDBAccess& db, const std::vector<std::string>& modeNOs);

// The refusal of a serial number whose unit is in stock: "[" + number + "]串码已在库,入库日期" + in-date.
std::string InStockText(const std::string& modeNO, TDateTime inDate);

}  // namespace jxc
