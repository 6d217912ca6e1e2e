#include "bills/UnitUnitsInStock.h"

#include <algorithm>
#include <memory>

#include "foundation/DBIntf.h"
#include "platform/DataSet.h"
#include "platform/Format.h"
#include "platform/Text.h"

namespace jxc {

namespace {
constexpr const char* kInStockSQL =
    "SELECT F_MODE_NO, MIN(F_IN_DATE) AS F_IN_DATE FROM TB_SYS_STOCK WITH(nolock) WHERE F_HAVE_QTY > 0 AND F_MODE_NO IN (";
constexpr size_t kInStockChunk = 500;
}  // namespace

std::map<std::string, TDateTime> UnitsInStock(IDBAccess& db, const std::vector<std::string>& modeNOs) {
  std::map<std::string, TDateTime> found;
  for (size_t first = 0; first < modeNOs.size(); first += kInStockChunk) {
    std::string sql = kInStockSQL;
    const size_t last = std::min(modeNOs.size(), first + kInStockChunk);
    for (size_t i = first; i < last; ++i) sql += (i > first ? "," : "") + QuotedStr(modeNOs[i]);
    sql += ") GROUP BY F_MODE_NO";
    std::unique_ptr<TClientDataSet> units = db.OpenSQL(sql);
    const TField& modeNO = units->FieldByName("F_MODE_NO");
    const TField& inDate = units->FieldByName("F_IN_DATE");
    for (units->First(); !units->Eof(); units->Next())
      found[modeNO.AsString()] = inDate.IsNull() ? TDateTime() : inDate.AsDateTime();
  }
  return found;
}

std::string InStockText(const std::string& modeNO, TDateTime inDate) {
  return "[" + modeNO + "]串码已在库,入库日期" + (inDate == TDateTime() ? std::string() : FormatDateTime("yyyy-mm-dd", inDate));
}

}  // namespace jxc
