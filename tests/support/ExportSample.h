#pragma once
// A grid's worth of export rows like a shop's stock list: serial numbers, Chinese product names and
// colours, quantities, money with and without a format, dates and date-times, remarks with markup
// characters and blanks. Deterministic, so every reader can be checked against the same cells.

#include <string>

#include "platform/ExportTable.h"

namespace jxc::testing {

inline ExportTable MakeStockExportTable(size_t rows) {
  ExportTable table({
      {"串码", ExportKind::Text, "", 120},
      {"商品名称", ExportKind::Text, "", 160},
      {"颜色", ExportKind::Text, "", 64},
      {"数量", ExportKind::Number, "", 48},
      {"单价", ExportKind::Currency, "#,##0.00", 80},
      {"金额", ExportKind::Currency, "#,##0.00", 80},
      {"成本", ExportKind::Currency, "", 80},
      {"入库日期", ExportKind::Date, "yyyy-mm-dd", 80},
      {"开单时间", ExportKind::DateTime, "yyyy-mm-dd hh:nn:ss", 130},
      {"备注", ExportKind::Text, "", 120},
  });
  static const char* const kModels[] = {"华为Mate60 Pro", "小米14 Ultra", "苹果iPhone 15", "OPPO Find X7",
                                        "vivo X100", "荣耀Magic6"};
  static const char* const kColours[] = {"雅川青", "黑色", "白色", "钛金属原色", "远峰蓝", "星河银"};
  table.Reserve(rows);
  for (size_t r = 0; r < rows; ++r) {
    const auto n = static_cast<int64_t>(r);
    std::string serial = std::to_string(860000000000000LL + n * 7919);
    std::string name = std::string(kModels[r % 6]) + (r % 3 == 0 ? " 256G" : " 512G") + " 第" + std::to_string(r) + "台";
    Currency price = Currency::FromRaw((1999 + n % 5000) * 10000 + (n % 100) * 100);
    int qty = static_cast<int>(r % 5) + 1;
    Currency cost = Currency::FromRaw(price.Raw() * 9 / 10 + n % 7);
    TDateTime day(45000 + static_cast<double>(n % 700));
    TDateTime at(45000 + static_cast<double>(n % 700) + static_cast<double>((n * 37) % 86400) / 86400.0);
    Variant remark;
    if (r % 7 == 1) remark = "含<特殊>&\"字符'";
    else if (r % 7 != 0) remark = "备注" + std::to_string(r % 50);
    table.AddRow({serial, name, kColours[r % 6], qty, price, price * static_cast<int64_t>(qty), cost, day, at, remark});
  }
  return table;
}

}  // namespace jxc::testing
